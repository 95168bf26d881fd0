#pragma once

#include <QString>

// The style handed to every window's theme; the only style there is.
enum class TUIStyle : unsigned char { FromThemeFile };

// The application's settings, kept in Config.ini in the application folder. One instance,
// created first in main and destroyed last; every change through a setter is written at once.
class TGlobalManager {
public:
    // Loads Config.ini from the given application folder; writes nothing.
    explicit TGlobalManager(const QString &appDir);
    // Writes Config.ini once more; a failure is reported on stderr, never thrown.
    ~TGlobalManager();

    TGlobalManager(const TGlobalManager &) = delete;
    TGlobalManager &operator=(const TGlobalManager &) = delete;

    QString PubVersion;
    int AppVersion = 1;
    TUIStyle UIStyle = TUIStyle::FromThemeFile;
    QString ThemeFile;
    QString AppPath;
    QString BlockConfig;
    QString FlashConfig;
    QString AppDate;
    int ContentMaxWordCount = 50000; // read as 50000 when the file holds a value below 1

    // Each setter stores a value that differs from the held one and then saves; the same
    // value writes nothing. A failed save raises EWriteError; the new value stays in memory.
    void SetAppPath(const QString &value);
    void SetThemeFile(const QString &value);
    void SetBlockConfig(const QString &value);
    void SetFlashConfig(const QString &value);

    void Load();
    // Writes every key; raises EWriteError("写 <path> 失败") when the file cannot be written.
    void Save();

    QString AppDir() const { return FAppDir; }
    QString ConfigPath() const;

    static const QString DefaultBlockConfig;
    static const QString DefaultFlashConfig;

private:
    // Stores a value that differs from the field's and saves; the same value writes nothing.
    void StoreChanged(QString &field, const QString &value);

    QString FAppDir;
};

#pragma once

#include <QString>
#include <QTemporaryDir>

// A temporary application folder: what the program finds beside its executable, in a
// directory of its own that disappears with the object.
class TempAppFolder {
public:
    TempAppFolder();

    bool IsValid() const { return FDir.isValid(); }
    QString Path() const { return FDir.path(); }
    // The full path of a file inside the folder ("db/Lumo.db", "Config.ini").
    QString FilePath(const QString &relative) const;

    // Writes a file inside the folder, creating its parent folders; returns its path.
    QString WriteFile(const QString &relative, const QByteArray &bytes) const;
    QByteArray ReadFile(const QString &relative) const;
    bool Exists(const QString &relative) const;

    // Copies the shipped themes into the folder's themes/.
    void CopyThemes() const;

private:
    QTemporaryDir FDir;
};

#pragma once

#include <QList>
#include <QString>

class QWidget;

// The program's file dialogs. Each returns the chosen path, or an empty text when the user
// cancelled.
namespace FileDialog {

// Filters are written "description|pattern", several joined by "|" ("文章包 (*.eap)|*.eap").
QString GetOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter, const QString &defaultSuffix = QString());

// Asks before overwriting an existing file.
QString GetSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter, const QString &defaultSuffix = QString());

QString GetExistingDirectory(QWidget *parent, const QString &caption, const QString &directory);

// "a|*.a|b|*.b" in the dialog's own form ("a (*.a);;b (*.b)").
QString ToQtFilter(const QString &filter);

} // namespace FileDialog

// The test hook of the file dialogs. While it is installed no dialog opens: every request is
// recorded and answered with the next queued path (an empty path, a cancel, when none is
// queued).
class TFileDialogHook {
public:
    enum class TKind { Open, Save, Directory };

    struct TRequest {
        TKind Kind;
        QString Caption;
        QString Directory;
        QString Filter;
        QString DefaultSuffix;
    };

    static void Install();
    static void Uninstall();
    static bool IsInstalled();

    // An empty path answers as a cancel.
    static void QueueAnswer(const QString &path);
    static QList<TRequest> Requests();
};

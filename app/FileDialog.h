#pragma once

#include "app/DialogHook.h"

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

// What a file dialog was asked for, as its test hook records it.
struct TFileDialogRequest {
    enum class TKind { Open, Save, Directory };
    TKind Kind;
    QString Caption;
    QString Directory;
    QString Filter;
    QString DefaultSuffix;
};

// The test hook of the file dialogs: every request is recorded and answered with the next
// queued path (an empty path, a cancel, when none is queued).
class TFileDialogHook : public TDialogHook<QString, TFileDialogRequest> {
public:
    using TKind = TFileDialogRequest::TKind;
    using TRequest = TFileDialogRequest;

    static QList<TRequest> Requests() { return Records(); }
};

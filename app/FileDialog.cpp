#include "app/FileDialog.h"

#include <QFileDialog>

namespace {

// Runs a dialog, or answers from the hook while it is installed.
QString Run(QWidget *parent, const TFileDialogHook::TRequest &request) {
    if (const std::optional<QString> answer = TFileDialogHook::Answer(request)) {
        return *answer;
    }
    QFileDialog dialog(parent, request.Caption, request.Directory,
                       FileDialog::ToQtFilter(request.Filter));
    dialog.setDefaultSuffix(request.DefaultSuffix);
    dialog.setSizeGripEnabled(true);
    switch (request.Kind) {
    case TFileDialogHook::TKind::Open:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case TFileDialogHook::TKind::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        break;
    case TFileDialogHook::TKind::Directory:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        break;
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace

namespace FileDialog {

QString GetOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter, const QString &defaultSuffix) {
    return Run(parent, {TFileDialogHook::TKind::Open, caption, directory, filter, defaultSuffix});
}

QString GetSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter, const QString &defaultSuffix) {
    return Run(parent, {TFileDialogHook::TKind::Save, caption, directory, filter, defaultSuffix});
}

QString GetExistingDirectory(QWidget *parent, const QString &caption, const QString &directory) {
    return Run(parent, {TFileDialogHook::TKind::Directory, caption, directory, {}, {}});
}

QString ToQtFilter(const QString &filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        const QString patterns =
            QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString suffix = QStringLiteral("(%1)").arg(patterns);
        entries.append(description.endsWith(suffix) ? description
                                                    : description + QLatin1Char(' ') + suffix);
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace FileDialog

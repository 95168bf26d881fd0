// The main window's batch-import command: the import window on the chosen book.
#include "app/MainForm.h"

#include "textimport/FileLoaderForm.h"

#include <QTreeWidgetItem>

void TMainForm::FileToArticleExecute() {
    const QTreeWidgetItem *bookNode = ChosenBookNode();
    TFileLoaderForm form(FSettings, this);
    form.SetService(FBlockService);
    form.SetDirName(bookNode != nullptr ? bookNode->text(0) : QString());
    if (form.exec() == QDialog::Accepted) {
        RefreshTree();
        ShowLibrarySummary();
    }
}

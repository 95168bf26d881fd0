// The library commands of the main window: add, delete, save and rename, and the small
// tools of the article editor.
#include "app/MainForm.h"

#include "app/Const.h"
#include "app/EditorText.h"
#include "app/FileDialog.h"
#include "app/GlobalManager.h"
#include "app/MessageBox.h"
#include "app/TreeNodes.h"
#include "app/WaitingForm.h"
#include "packages/PackageFormat.h"
#include "packages/ZipBreakForm.h"
#include "packages/ZipBuildForm.h"
#include "util/Tools.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTreeWidget>

namespace {

// From this many articles on, a deletion shows the waiting window.
constexpr int WaitingWindowFrom = 6;

} // namespace

void TMainForm::AddArticleExecute() {
    QTreeWidgetItem *bookNode = ChosenBookNode();
    if (bookNode == nullptr) {
        MessageBox::Notice(this, Const::Message(Const::ChooseBook));
        return;
    }
    if (!LeaveShownArticle()) {
        return;
    }
    TDir *book = TreeNodes::Book(bookNode);
    TArticle *article = book->Articles.Add(
        QString::number(0), std::make_unique<TArticle>(NewLibraryArticle(
                                book->Name, QStringLiteral("新文章"), QStringLiteral("佚名"))));
    // The replace rule removes a stored article of the same title: its node goes too.
    QTreeWidgetItem *replaced = ReplacedArticleNode(*article);
    FBlockService->SaveNewArticle(*article, TLineList::FromLines({QStringLiteral("  ")}));
    AddAndSelectNode(bookNode, TreeNodes::MakeArticle(article));
    if (replaced != nullptr) {
        DropArticleNode(replaced);
    }
}

void TMainForm::ExportArticlesExecute() {
    const QList<TArticle *> articles = GetCheckedArticles();
    if (articles.isEmpty()) {
        MessageBox::Notice(this, Const::Message(Const::ChooseArticles));
        return;
    }
    const QString path =
        FileDialog::GetSaveFileName(this, ExportArticles->text(), QString(),
                                    PackageFormat::FileFilter, PackageFormat::Extension);
    if (path.isEmpty()) {
        return;
    }
    TZipBuildForm form(FSettings, this);
    form.SetService(FBlockService);
    form.SetArticleList(articles);
    form.SetFileName(path);
    if (form.exec() == QDialog::Accepted) {
        MessageBox::Notice(this, Const::Message(Const::ExportDone));
    }
}

void TMainForm::ImportArticlesExecute() {
    if (FBlockService->IsReadOnly()) {
        MessageBox::Notice(this, Const::Message(Const::ReadOnlyLibraryImport));
        return;
    }
    const QString path =
        FileDialog::GetOpenFileName(this, ImportArticles->text(), QString(),
                                    PackageFormat::FileFilter, PackageFormat::Extension);
    if (path.isEmpty()) {
        return;
    }
    TZipBreakForm form(FSettings, this);
    form.SetService(FBlockService);
    form.SetFileName(path);
    if (form.exec() == QDialog::Accepted) {
        MessageBox::Notice(this, Const::Message(Const::ImportDone));
        RefreshTree();
        ShowLibrarySummary();
    }
}

void TMainForm::DeleteArticlesExecute() {
    const QList<TArticle *> articles = GetCheckedArticles();
    if (articles.isEmpty()) {
        MessageBox::Notice(this, Const::Message(Const::ChooseArticles));
        return;
    }
    const int count = static_cast<int>(articles.size());
    if (!MessageBox::Ask(this, Const::Message(Const::DeleteQuestion, count))) {
        return;
    }
    // The rebuild leaves the shown article; its edits do not matter when it goes as well.
    const bool shownGoes = FCurrentArticleNode != nullptr &&
                           articles.contains(TreeNodes::Article(FCurrentArticleNode));
    if (!shownGoes && !LeaveShownArticle()) {
        return;
    }
    if (count < WaitingWindowFrom) {
        FBlockService->DeleteArticles(&articles);
    } else {
        // Gone when the deletion ends, also when it fails.
        TWaitingForm waiting(FSettings, this);
        waiting.SetMessage(Const::Message(Const::PleaseWait));
        waiting.ShowAndPaint();
        FBlockService->DeleteArticles(&articles);
    }
    RefreshTree();
    ShowLibrarySummary();
}

void TMainForm::AddDirExecute() {
    if (!LeaveShownArticle()) {
        return;
    }
    if (RzCheckTree1->topLevelItemCount() == 0) {
        // The tree was never filled (the database failed at start): give the book its root.
        RzCheckTree1->addTopLevelItem(TreeNodes::MakeRoot());
    }
    auto book = std::make_unique<TDir>();
    book->Name = QStringLiteral("未命名");
    TDir *added = book.get();
    FAddedDirs.push_back(std::move(book));
    AddAndSelectNode(RzCheckTree1->topLevelItem(0), TreeNodes::MakeBook(added));
}

void TMainForm::RzBitBtn1Click() {
    SaveShownArticle();
}

void TMainForm::RzBitBtn3Click() {
    if (FCurrentBookNode == nullptr) {
        return;
    }
    TDir *book = TreeNodes::Book(FCurrentBookNode);
    const QString newName = EdtDir->text();
    FBlockService->RenameDir(book->Name, newName);
    book->Name = newName;
    // The loaded records follow the stored ones, so that a later save keeps the new name.
    for (const auto &entry : book->Articles) {
        entry.Item->Dir = newName;
    }
    FCurrentBookNode->setText(0, newName);
}

void TMainForm::EditCutCmdExecute() {
    if (MmText != nullptr) {
        MmText->cut();
    }
}

void TMainForm::EditCopyCmdExecute() {
    if (MmText != nullptr) {
        MmText->copy();
    }
}

void TMainForm::EditPasteCmdExecute() {
    if (MmText != nullptr) {
        MmText->paste();
    }
}

void TMainForm::EditUndoCmdExecute() {
    if (MmText != nullptr) {
        MmText->undo();
    }
}

void TMainForm::RzToolbarButton2Click() {
    if (MmText->lineWrapMode() == QPlainTextEdit::NoWrap) {
        MmText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        MmText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    } else {
        MmText->setLineWrapMode(QPlainTextEdit::NoWrap);
        MmText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
}

void TMainForm::RzToolbarButton6Click() {
    const QString text = MmText->toPlainText();
    const QString kept = EditorText::RemoveBlankLines(text);
    if (kept == text) {
        return;
    }
    // Replaced as one edit, so that one undo brings the blank lines back.
    QTextCursor cursor(MmText->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(kept);
    cursor.endEditBlock();
}

void TMainForm::RzToolbarButton7Click() {
    MessageBox::Notice(this,
                       Const::Message(Const::WordCountNotice, CountWords(MmText->toPlainText())));
}

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
    TDir *book = TreeNodes::Book(bookNode);
    TArticle *article = book->Articles.Add(
        QString::number(0), std::make_unique<TArticle>(NewLibraryArticle(
                                book->Name, QStringLiteral("新文章"), QStringLiteral("佚名"))));
    FBlockService->SaveNewArticle(*article, TLineList::FromLines({QStringLiteral("  ")}));
    AddAndSelectNode(bookNode, TreeNodes::MakeArticle(article));
}

// The batch import window arrives later; its action stays disabled.
void TMainForm::FileToArticleExecute() {}

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
    if (FCurrentArticleNode == nullptr) {
        return;
    }
    const QString text = MmText->toPlainText();
    const int wordCount = CountWords(text);
    const int limit = FSettings.ContentMaxWordCount;
    if (wordCount > limit &&
        !MessageBox::Ask(this, Const::Message(Const::TooLongQuestion, limit))) {
        return;
    }
    TArticle *article = TreeNodes::Article(FCurrentArticleNode);
    article->Title = EdtTitle->text();
    article->Author = EdtAuthor->text();
    // The save counted the text anyway: the stored count follows the stored text.
    article->WordCount = wordCount;
    FBlockService->UpdateArticle(*article, TLineList::FromEditorText(text));
    FCurrentArticleNode->setText(0, article->Title);
    MessageBox::Notice(this, Const::Message(Const::Saved));
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
    const QStringList lines = MmText->toPlainText().split(QLatin1Char('\n'));
    const QStringList kept = EditorText::RemoveBlankLines(lines);
    if (kept.size() == lines.size()) {
        return;
    }
    // Replaced as one edit, so that one undo brings the blank lines back.
    QTextCursor cursor(MmText->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(kept.join(QLatin1Char('\n')));
    cursor.endEditBlock();
}

void TMainForm::RzToolbarButton7Click() {
    MessageBox::Notice(this,
                       Const::Message(Const::WordCountNotice, CountWords(MmText->toPlainText())));
}

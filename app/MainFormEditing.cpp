// Saving the shown article, the question about its unsaved edits, and keeping the tree in
// step with the rows that a save or an add replaced.
#include "app/MainForm.h"

#include "app/Application.h"
#include "app/CheckCascade.h"
#include "app/Const.h"
#include "app/GlobalManager.h"
#include "app/MessageBox.h"
#include "app/TreeNodes.h"
#include "store/BookName.h"
#include "util/Tools.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTreeWidget>

bool TMainForm::SaveShownArticle() {
    if (FCurrentArticleNode == nullptr) {
        return false;
    }
    const QString text = MmText->toPlainText();
    const int wordCount = CountWords(text);
    const int limit = FSettings.ContentMaxWordCount;
    if (wordCount > limit &&
        !MessageBox::Ask(this, Const::Message(Const::TooLongQuestion, limit))) {
        return false;
    }
    TArticle *article = TreeNodes::Article(FCurrentArticleNode);
    article->Title = EdtTitle->text();
    article->Author = EdtAuthor->text();
    // The save counted the text anyway: the stored count follows the stored text.
    article->WordCount = wordCount;
    const TLineList lines = TLineList::FromEditorText(text);
    if (FBlockService->UpdateArticle(*article, lines) == 0) {
        // The row is gone (replaced or deleted meanwhile): the page is stored as a new
        // article of its book, and the node now stands for that row.
        QTreeWidgetItem *replaced = ReplacedArticleNode(*article);
        FBlockService->SaveNewArticle(*article, lines);
        if (replaced != nullptr) {
            DropArticleNode(replaced);
        }
    }
    FCurrentArticleNode->setText(0, article->Title);
    RememberShownArticle();
    MessageBox::Notice(this, Const::Message(Const::Saved));
    return true;
}

void TMainForm::RememberShownArticle() {
    // Taken from the controls, so that what they make of a text compares equal.
    FShownArticle = {EdtTitle->text(), EdtAuthor->text(), MmText->toPlainText()};
}

bool TMainForm::ArticleEdited() const {
    return FCurrentArticleNode != nullptr &&
           (EdtTitle->text() != FShownArticle.Title || EdtAuthor->text() != FShownArticle.Author ||
            MmText->toPlainText() != FShownArticle.Text);
}

bool TMainForm::LeaveShownArticle() {
    if (!ArticleEdited()) {
        return true;
    }
    if (MessageBox::Ask(this, Const::Message(Const::SaveEditsQuestion))) {
        return SaveShownArticle();
    }
    // Dropped: the page shows the article as it was shown, should it come into sight again.
    EdtTitle->setText(FShownArticle.Title);
    EdtAuthor->setText(FShownArticle.Author);
    MmText->setPlainText(FShownArticle.Text);
    return true;
}

void TMainForm::closeEvent(QCloseEvent *event) {
    // A failed save keeps the window, and the edits, for another try.
    bool leave = false;
    try {
        leave = LeaveShownArticle();
    } catch (...) {
        TApplication::ReportException(std::current_exception(), this, event);
    }
    if (!leave) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

QTreeWidgetItem *TMainForm::ReplacedArticleNode(const TArticle &stored) const {
    // The replace rule removes the first row of the title in the book: the one with the
    // smallest ID, titles compared exactly and book names as the database compares them.
    QTreeWidgetItem *replaced = nullptr;
    int replacedId = 0;
    const QTreeWidgetItem *root = RzCheckTree1->topLevelItem(0);
    for (int b = 0; root != nullptr && b < root->childCount(); ++b) {
        QTreeWidgetItem *bookNode = root->child(b);
        for (int a = 0; a < bookNode->childCount(); ++a) {
            QTreeWidgetItem *node = bookNode->child(a);
            const TArticle *article = TreeNodes::Article(node);
            if (article == &stored || article->Id <= 0 || article->Type != LibraryType ||
                article->Title != stored.Title || !SameBookName(article->Dir, stored.Dir)) {
                continue;
            }
            if (replaced == nullptr || article->Id < replacedId) {
                replaced = node;
                replacedId = article->Id;
            }
        }
    }
    return replaced;
}

void TMainForm::DropArticleNode(QTreeWidgetItem *node) {
    FDroppedArticles.insert(TreeNodes::Article(node));
    if (FCurrentArticleNode == node) {
        FCurrentArticleNode = nullptr;
    }
    QTreeWidgetItem *bookNode = node->parent();
    {
        const QSignalBlocker quiet(RzCheckTree1);
        delete node;
    }
    if (bookNode->childCount() > 0) {
        FCheckCascade->UpdateAncestors(bookNode->child(0));
    }
}

int TMainForm::KeptArticleCount(const TDir &book) const {
    int count = book.Articles.Count();
    if (!FDroppedArticles.empty()) {
        for (const auto &entry : book.Articles) {
            count -= static_cast<int>(FDroppedArticles.count(entry.Item.get()));
        }
    }
    return count;
}

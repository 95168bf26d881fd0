// The library tree of the main window: filling it from the article service, the pages shown
// for the selected node, and the checked articles for the commands that work on many.
#include "app/MainForm.h"

#include "app/Application.h"
#include "app/CheckCascade.h"
#include "app/Const.h"
#include "app/TreeIcons.h"
#include "app/TreeNodes.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>

namespace {

constexpr int TreeIndentation = 40;

QString CountText(qsizetype count, const QString &unit) {
    return QString::number(count) + unit;
}

// Unlocks a widget's painting when a rebuild ends, also when it ends by an exception.
class TPaintPause {
public:
    explicit TPaintPause(QWidget *widget) : FWidget(widget) { FWidget->setUpdatesEnabled(false); }
    ~TPaintPause() { FWidget->setUpdatesEnabled(true); }
    TPaintPause(const TPaintPause &) = delete;
    TPaintPause &operator=(const TPaintPause &) = delete;

private:
    QWidget *FWidget;
};

} // namespace

void TMainForm::SetUpLibraryTree() {
    RzCheckTree1->setColumnCount(1);
    RzCheckTree1->setHeaderHidden(true);
    RzCheckTree1->setIndentation(TreeIndentation);
    RzCheckTree1->setRootIsDecorated(true);
    RzCheckTree1->setItemsExpandable(true);
    RzCheckTree1->setIconSize(QSize(TreeIcons::Size, TreeIcons::Size));
    RzCheckTree1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RzCheckTree1->setSelectionMode(QAbstractItemView::SingleSelection);
    RzCheckTree1->setMouseTracking(true); // hot tracking
    RzCheckTree1->viewport()->setAttribute(Qt::WA_Hover);
    RzCheckTree1->setUniformRowHeights(true);
    QPalette colours = RzCheckTree1->palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    RzCheckTree1->setPalette(colours);

    FCheckCascade = new TCheckCascade(RzCheckTree1);
    // Guarded like every command: a failing text read must not unwind through the tree.
    connect(RzCheckTree1, &QTreeWidget::currentItemChanged, this, Guarded(RzCheckTree1, [this] {
                try {
                    RzCheckTree1Change(RzCheckTree1->currentItem());
                } catch (...) {
                    MarkShownNodeLater();
                    throw;
                }
            }));
}

QTreeWidgetItem *TMainForm::ShownNode() const {
    QWidget *page = RzPageControl1->currentWidget();
    if (page == BlockPage) {
        return FCurrentArticleNode;
    }
    if (page == DirPage) {
        return FCurrentBookNode;
    }
    return RzCheckTree1->topLevelItem(0);
}

void TMainForm::MarkShownNodeLater() {
    // Once the click or key that moved the selection is done with it: a mouse press selects
    // its node after the selection handler has run.
    QTimer::singleShot(0, this, [this] {
        QTreeWidgetItem *shown = ShownNode();
        if (shown != nullptr && RzCheckTree1->currentItem() != shown) {
            const QSignalBlocker quiet(RzCheckTree1);
            RzCheckTree1->setCurrentItem(shown);
        }
    });
}

void TMainForm::RefreshTree() {
    // The new list first: when the database fails, the tree and the old list stay as they are
    // and the error goes on to the caller.
    std::unique_ptr<TBookList> books = FBlockService->GetArticles();

    const QSignalBlocker quiet(RzCheckTree1);
    const TPaintPause pause(RzCheckTree1);
    RzCheckTree1->clear();
    FCurrentBookNode = nullptr;
    FCurrentArticleNode = nullptr;
    FAddedDirs.clear();
    FDroppedArticles.clear();
    FBooks = std::move(books);

    // Each level is made outside the tree and added at once: one insertion for the library.
    QTreeWidgetItem *root = TreeNodes::MakeRoot();
    QList<QTreeWidgetItem *> bookNodes;
    bookNodes.reserve(FBooks->Count());
    for (const auto &bookEntry : *FBooks) {
        TDir *book = bookEntry.Item.get();
        QTreeWidgetItem *bookNode = TreeNodes::MakeBook(book);
        QList<QTreeWidgetItem *> articleNodes;
        articleNodes.reserve(book->Articles.Count());
        for (const auto &articleEntry : book->Articles) {
            articleNodes.append(TreeNodes::MakeArticle(articleEntry.Item.get()));
        }
        bookNode->addChildren(articleNodes);
        bookNodes.append(bookNode);
    }
    root->addChildren(bookNodes);
    RzCheckTree1->addTopLevelItem(root);
}

void TMainForm::RzCheckTree1Change(QTreeWidgetItem *node) {
    if (node == nullptr) {
        return;
    }
    if (node != FCurrentArticleNode) {
        // Saving the edits may take a replaced row's node out of the tree: the chosen one too.
        const TArticle *chosen = TreeNodes::Article(node);
        if (!LeaveShownArticle() || (chosen != nullptr && FDroppedArticles.count(chosen) > 0)) {
            MarkShownNodeLater();
            return;
        }
    }
    switch (TreeNodes::Level(node)) {
    case 0:
        ShowLibrarySummary();
        break;
    case 1:
        FCurrentBookNode = node;
        ShowBook(TreeNodes::Book(node));
        break;
    default: {
        TArticle *article = TreeNodes::Article(node);
        // Read every time. The node becomes the save's target only with its text on the
        // page: after a failed read the page and the target still belong together.
        const TLineList lines = FBlockService->GetArticleText(article->Id);
        FCurrentArticleNode = node;
        ShowArticle(article, lines);
        break;
    }
    }
}

void TMainForm::ShowArticle(TArticle *article, const TLineList &lines) {
    RzPageControl1->setCurrentWidget(BlockPage);
    EdtTitle->setText(article->Title);
    EdtAuthor->setText(article->Author);
    MmText->setPlainText(lines.Lines().join(QLatin1Char('\n')));
    RememberShownArticle();
    EdtTitle->setFocus();
}

void TMainForm::ShowBook(TDir *book) {
    RzPageControl1->setCurrentWidget(DirPage);
    EdtDir->setText(book->Name);
    const int articleCount = KeptArticleCount(*book);
    LbBlockCount2->setText(CountText(articleCount, QStringLiteral("篇")));
    LbTip->setText(articleCount < 1 ? Const::Message(Const::EmptyBookTip) : QString());
    EdtDir->setFocus();
}

void TMainForm::ShowLibrarySummary() {
    RzPageControl1->setCurrentWidget(MyBookPage);
    int bookCount = 0;
    qsizetype articleCount = 0;
    if (FBooks) {
        bookCount = FBooks->Count();
        for (const auto &bookEntry : *FBooks) {
            articleCount += KeptArticleCount(*bookEntry.Item);
        }
    }
    LbDirCount->setText(CountText(bookCount, QStringLiteral("本")));
    LbBlockCount->setText(CountText(articleCount, QStringLiteral("篇")));
}

QList<TArticle *> TMainForm::GetCheckedArticles() const {
    // The tree has three levels: walking root, books and articles is the display order.
    QList<TArticle *> checked;
    for (int r = 0; r < RzCheckTree1->topLevelItemCount(); ++r) {
        const QTreeWidgetItem *root = RzCheckTree1->topLevelItem(r);
        for (int b = 0; b < root->childCount(); ++b) {
            const QTreeWidgetItem *bookNode = root->child(b);
            for (int a = 0; a < bookNode->childCount(); ++a) {
                const QTreeWidgetItem *articleNode = bookNode->child(a);
                if (articleNode->checkState(0) == Qt::Checked) {
                    checked.append(TreeNodes::Article(articleNode));
                }
            }
        }
    }
    return checked;
}

QTreeWidgetItem *TMainForm::SelectedNode() const {
    const QList<QTreeWidgetItem *> selected = RzCheckTree1->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

QTreeWidgetItem *TMainForm::ChosenBookNode() const {
    QTreeWidgetItem *node = SelectedNode();
    if (node == nullptr) {
        return nullptr;
    }
    switch (TreeNodes::Level(node)) {
    case 1:
        return node;
    case 2:
        return node->parent();
    default:
        return nullptr;
    }
}

void TMainForm::AddAndSelectNode(QTreeWidgetItem *parent, QTreeWidgetItem *node) {
    parent->addChild(node);
    // A new unchecked node makes a checked parent partial.
    FCheckCascade->UpdateAncestors(node);
    {
        // Selected quietly, then shown once: the page must not depend on how the tree's
        // selection signal is wired.
        const QSignalBlocker quiet(RzCheckTree1);
        RzCheckTree1->setCurrentItem(node);
    }
    RzCheckTree1Change(node);
}

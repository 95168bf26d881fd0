// The library tree: filling it, the pages of the selected node, the check boxes and the
// checked articles.
#include "app/CheckCascade.h"
#include "app/Const.h"
#include "test_library_window.h"
#include "util/Errors.h"

namespace {

// Two books, their articles met in this order: 红楼梦 first, although its second article
// comes after 西游记's.
void FillTwoBooks(TStoreFixture &store) {
    store.InsertArticle(QStringLiteral("红楼梦"), QStringLiteral("第一回"),
                        QStringLiteral("甄士隐梦幻识通灵"));
    store.InsertArticle(QStringLiteral("西游记"), QStringLiteral("灵根孕育"),
                        QStringLiteral("诗曰"));
    store.InsertArticle(QStringLiteral("红楼梦"), QStringLiteral("第二回"),
                        QStringLiteral("贾夫人仙逝扬州城"));
    store.InsertArticle(QStringLiteral("红楼梦"), QStringLiteral("第三回"),
                        QStringLiteral("托内兄如海荐西宾"));
}

QString StateName(Qt::CheckState state) {
    switch (state) {
    case Qt::Checked:
        return QStringLiteral("C");
    case Qt::PartiallyChecked:
        return QStringLiteral("P");
    case Qt::Unchecked:
        break;
    }
    return QStringLiteral("U");
}

// The states of root, 红楼梦, 西游记 as letters: "P C U".
QString States(const TLibraryWindow &window) {
    return QStringList{StateName(window.Root()->checkState(0)),
                       StateName(window.Node(QStringLiteral("红楼梦"))->checkState(0)),
                       StateName(window.Node(QStringLiteral("西游记"))->checkState(0))}
        .join(QLatin1Char(' '));
}

// Where a click lands on a node's check box.
QPoint CheckBoxCentre(QTreeWidget *tree, QTreeWidgetItem *node) {
    QStyleOptionViewItem option;
    option.initFrom(tree);
    option.rect = tree->visualItemRect(node);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay |
                      QStyleOptionViewItem::HasDecoration;
    option.decorationSize = tree->iconSize();
    option.text = node->text(0);
    return tree->style()
        ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree)
        .center();
}

// Whether anything but the tree's background is drawn on a stretch of the picture.
bool DrawnOn(const QImage &picture, const QPoint &from, const QPoint &to) {
    const QRgb background = picture.pixel(0, picture.height() - 1);
    const int steps = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
    for (int i = 0; i <= steps; ++i) {
        const QPoint at = from + (to - from) * i / std::max(steps, 1);
        if (picture.valid(at) && picture.pixel(at) != background) {
            return true;
        }
    }
    return false;
}

} // namespace

class TestLibraryTree : public QObject {
    Q_OBJECT

private slots:
    void emptyLibraryShowsTheRootAlone();
    void treeFollowsTheLibrary();
    void selectionShowsThePageOfTheNode();
    void selectingAnArticleAgainReadsItsTextAgain();
    void checkBoxesCascade_data();
    void checkBoxesCascade();
    void clickOnAPartialBookChecksIt();
    void rebuildForgetsChecksAndSelection();
    void failedRebuildKeepsTheOldTree();
    void failedTextReadKeepsThePage_data();
    void failedTextReadKeepsThePage();
    void failedSelectionIsReportedAndTheWindowGoesOn();
    void linesJoinTheNodes_data();
    void linesJoinTheNodes();
};

void TestLibraryTree::emptyLibraryShowsTheRootAlone() {
    TLibraryWindow window;
    QCOMPARE(window.Tree()->topLevelItemCount(), 1);
    QCOMPARE(window.Root()->text(0), QStringLiteral("我的书籍"));
    QCOMPARE(window.Root()->childCount(), 0);
    QCOMPARE(window.Page(), window.Form->MyBookPage);
    QCOMPARE(window.Form->LbDirCount->text(), QStringLiteral("0本"));
    QCOMPARE(window.Form->LbBlockCount->text(), QStringLiteral("0篇"));
    QVERIFY(window.Form->GetCheckedArticles().isEmpty());
}

void TestLibraryTree::treeFollowsTheLibrary() {
    TLibraryWindow window(FillTwoBooks);
    QCOMPARE(window.Captions(window.Root()), (QStringList{"红楼梦", "西游记"}));
    QCOMPARE(window.Captions(window.Node(QStringLiteral("红楼梦"))),
             (QStringList{"第一回", "第二回", "第三回"}));
    QCOMPARE(window.Captions(window.Node(QStringLiteral("西游记"))), QStringList{"灵根孕育"});
    QCOMPARE(window.Form->LbDirCount->text(), QStringLiteral("2本"));
    QCOMPARE(window.Form->LbBlockCount->text(), QStringLiteral("4篇"));

    // Collapsed, every node unchecked, pointing at the loaded records.
    QVERIFY(!window.Root()->isExpanded());
    QCOMPARE(States(window), QStringLiteral("U U U"));
    const TBookList *books = window.Form->Books();
    QCOMPARE(books->Count(), 2);
    QCOMPARE(window.Node(QStringLiteral("西游记/灵根孕育"))->checkState(0), Qt::Unchecked);

    // Captions are not edited in place; levels are indented by 40 pixels.
    QCOMPARE(window.Tree()->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(window.Tree()->indentation(), 40);
    QCOMPARE(window.Tree()->iconSize(), QSize(18, 18));
    for (const char *path : {"", "红楼梦", "红楼梦/第一回"}) {
        QVERIFY2(!window.Node(QString::fromUtf8(path))->icon(0).isNull(), path);
    }
}

void TestLibraryTree::selectionShowsThePageOfTheNode() {
    TLibraryWindow window(FillTwoBooks);
    TMainForm &form = *window.Form;

    window.Select(QStringLiteral("红楼梦"));
    QCOMPARE(window.Page(), form.DirPage);
    QCOMPARE(form.EdtDir->text(), QStringLiteral("红楼梦"));
    QCOMPARE(form.LbBlockCount2->text(), QStringLiteral("3篇"));
    QCOMPARE(form.LbTip->text(), QString());
    QCOMPARE(form.CurrentBookNode(), window.Node(QStringLiteral("红楼梦")));

    window.Select(QStringLiteral("红楼梦/第二回"));
    QCOMPARE(window.Page(), form.BlockPage);
    QCOMPARE(form.EdtTitle->text(), QStringLiteral("第二回"));
    QCOMPARE(form.MmText->toPlainText(), QStringLiteral("贾夫人仙逝扬州城"));
    QCOMPARE(form.CurrentArticleNode(), window.Node(QStringLiteral("红楼梦/第二回")));

    // The root shows the summary; the remembered book and article stay.
    window.Select(window.Root());
    QCOMPARE(window.Page(), form.MyBookPage);
    QCOMPARE(form.CurrentBookNode(), window.Node(QStringLiteral("红楼梦")));
    QCOMPARE(form.CurrentArticleNode(), window.Node(QStringLiteral("红楼梦/第二回")));
}

void TestLibraryTree::selectingAnArticleAgainReadsItsTextAgain() {
    int id = 0;
    TLibraryWindow window([&id](TStoreFixture &store) {
        id =
            store.InsertArticle(QStringLiteral("书"), QStringLiteral("文"), QStringLiteral("旧的"));
        store.InsertArticle(QStringLiteral("书"), QStringLiteral("别的"), QStringLiteral("x"));
    });
    window.Select(QStringLiteral("书/文"));
    window.Form->MmText->setPlainText(QStringLiteral("没保存的修改"));
    window.Store.Exec(
        QStringLiteral("UPDATE EARTICLE SET [TEXT]='新的\r\n第二行\r\n' WHERE ID=%1").arg(id));

    window.Select(QStringLiteral("书/别的"));
    window.Select(QStringLiteral("书/文"));
    QCOMPARE(window.Form->MmText->toPlainText(), QStringLiteral("新的\n第二行"));
}

void TestLibraryTree::checkBoxesCascade_data() {
    QTest::addColumn<QStringList>("toggles");
    QTest::addColumn<QString>("states");      // root, 红楼梦, 西游记
    QTest::addColumn<QStringList>("checked"); // GetCheckedArticles, in tree order

    const QStringList all{"第一回", "第二回", "第三回", "灵根孕育"};
    QTest::newRow("root checks everything") << QStringList{""} << "C C C" << all;
    QTest::newRow("root twice clears everything")
        << QStringList{"", ""} << "U U U" << QStringList{};
    QTest::newRow("a book checks its articles")
        << QStringList{"红楼梦"} << "P C U" << QStringList{"第一回", "第二回", "第三回"};
    QTest::newRow("one article of a book")
        << QStringList{"红楼梦/第二回"} << "P P U" << QStringList{"第二回"};
    QTest::newRow("every article of a book checks the book")
        << QStringList{"红楼梦/第一回", "红楼梦/第二回", "红楼梦/第三回"} << "P C U"
        << QStringList{"第一回", "第二回", "第三回"};
    QTest::newRow("the only article of a book")
        << QStringList{"西游记/灵根孕育"} << "P U C" << QStringList{"灵根孕育"};
    QTest::newRow("a partial book becomes checked")
        << QStringList{"红楼梦/第一回", "红楼梦"} << "P C U"
        << QStringList{"第一回", "第二回", "第三回"};
    QTest::newRow("an article unchecked under a checked root")
        << QStringList{"", "红楼梦/第三回"} << "P P C"
        << QStringList{"第一回", "第二回", "灵根孕育"};
    QTest::newRow("a partial root becomes checked") << QStringList{"西游记", ""} << "C C C" << all;
    QTest::newRow("last checked article unchecked")
        << QStringList{"西游记/灵根孕育", "西游记/灵根孕育"} << "U U U" << QStringList{};
}

void TestLibraryTree::checkBoxesCascade() {
    QFETCH(QStringList, toggles);
    QFETCH(QString, states);
    QFETCH(QStringList, checked);

    TLibraryWindow window(FillTwoBooks);
    for (const QString &path : toggles) {
        window.Toggle(path);
    }
    QCOMPARE(States(window), states);
    QCOMPARE(window.CheckedTitles(), checked);
}

void TestLibraryTree::clickOnAPartialBookChecksIt() {
    TLibraryWindow window(FillTwoBooks);
    QVERIFY(QTest::qWaitForWindowExposed(window.Form.get()));
    window.Tree()->expandAll();
    QTreeWidgetItem *book = window.Node(QStringLiteral("红楼梦"));
    QTreeWidgetItem *article = window.Node(QStringLiteral("红楼梦/第一回"));

    QTest::mouseClick(window.Tree()->viewport(), Qt::LeftButton, {},
                      CheckBoxCentre(window.Tree(), article));
    QCOMPARE(article->checkState(0), Qt::Checked);
    QCOMPARE(book->checkState(0), Qt::PartiallyChecked);

    QTest::mouseClick(window.Tree()->viewport(), Qt::LeftButton, {},
                      CheckBoxCentre(window.Tree(), book));
    QCOMPARE(book->checkState(0), Qt::Checked);
    QCOMPARE(window.CheckedTitles(), (QStringList{"第一回", "第二回", "第三回"}));
}

void TestLibraryTree::rebuildForgetsChecksAndSelection() {
    TLibraryWindow window(FillTwoBooks);
    window.Select(QStringLiteral("红楼梦"));
    window.Toggle(QStringLiteral("西游记/灵根孕育"));
    window.Root()->setExpanded(true);

    window.Form->RefreshTree();
    QCOMPARE(States(window), QStringLiteral("U U U"));
    QVERIFY(!window.Root()->isExpanded());
    QCOMPARE(window.Form->CurrentBookNode(), nullptr);
    QCOMPARE(window.Form->CurrentArticleNode(), nullptr);
}

void TestLibraryTree::failedRebuildKeepsTheOldTree() {
    TLibraryWindow window(FillTwoBooks);
    window.Toggle(QStringLiteral("红楼梦/第一回"));
    window.Select(QStringLiteral("红楼梦/第二回"));
    const TBookList *books = window.Form->Books();

    window.Store.RemoveDatabase();
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, window.Form->RefreshTree());

    // The old list and its nodes stay, and still work.
    QCOMPARE(window.Form->Books(), books);
    QCOMPARE(window.Captions(window.Root()), (QStringList{"红楼梦", "西游记"}));
    QCOMPARE(window.CheckedTitles(), QStringList{"第一回"});
    QCOMPARE(window.Form->CurrentArticleNode(), window.Node(QStringLiteral("红楼梦/第二回")));
    window.Form->ShowLibrarySummary();
    QCOMPARE(window.Form->LbBlockCount->text(), QStringLiteral("4篇"));
}

void TestLibraryTree::failedTextReadKeepsThePage_data() {
    QTest::addColumn<QString>("shown"); // the node shown before the failing selection

    QTest::newRow("from an article") << "红楼梦/第一回";
    QTest::newRow("from a book") << "红楼梦";
}

void TestLibraryTree::failedTextReadKeepsThePage() {
    QFETCH(QString, shown);
    TLibraryWindow window(FillTwoBooks);
    TMainForm &form = *window.Form;
    window.Select(shown);
    QWidget *page = window.Page();
    QTreeWidgetItem *article = form.CurrentArticleNode();

    // The library file is away for a moment: the text of 第二回 cannot be read.
    const QString path = window.Store.DatabasePath();
    QVERIFY(QFile::rename(path, path + QStringLiteral(".away")));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                             form.RzCheckTree1Change(window.Node(QStringLiteral("红楼梦/第二回"))));
    QCOMPARE(form.CurrentArticleNode(), article);
    QCOMPARE(window.Page(), page);

    // Chosen in the tree, the failure is reported and the tree marks the shown node again.
    window.Select(QStringLiteral("红楼梦/第二回"));
    QCOMPARE(window.TakeShown().size(), 1);
    QCOMPARE(form.CurrentArticleNode(), article);
    QCOMPARE(window.Page(), page);
    QTRY_COMPARE(window.Tree()->currentItem(), window.Node(shown));
    QCOMPARE(window.Tree()->selectedItems(), QList<QTreeWidgetItem *>{window.Node(shown)});

    // A click selects its node after the selection handler has run: the mark comes back too.
    QVERIFY(QTest::qWaitForWindowExposed(window.Form.get()));
    window.Tree()->expandAll();
    const QRect caption =
        window.Tree()->visualItemRect(window.Node(QStringLiteral("红楼梦/第二回")));
    QTest::mouseClick(window.Tree()->viewport(), Qt::LeftButton, {},
                      QPoint(caption.right() - 4, caption.center().y()));
    QCOMPARE(window.TakeShown().size(), 1);
    QTRY_COMPARE(window.Tree()->currentItem(), window.Node(shown));
    QCOMPARE(window.Tree()->selectedItems(), QList<QTreeWidgetItem *>{window.Node(shown)});
    QCOMPARE(window.Page(), page);

    // Back in place, a save writes the shown article's own row, or nothing.
    QVERIFY(QFile::rename(path + QStringLiteral(".away"), path));
    form.RzBitBtn1Click();
    const QList<TStoreRow> rows = window.Store.Rows(QStringLiteral("DIR='红楼梦'"));
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).Title, QStringLiteral("第一回"));
    QCOMPARE(rows.at(0).Text, QStringLiteral("甄士隐梦幻识通灵"));
    QCOMPARE(rows.at(1).Title, QStringLiteral("第二回"));
    QCOMPARE(rows.at(1).Text, QStringLiteral("贾夫人仙逝扬州城"));
    QCOMPARE(window.TakeShown(), article != nullptr ? QStringList{"已经保存!"} : QStringList{});
}

void TestLibraryTree::failedSelectionIsReportedAndTheWindowGoesOn() {
    TLibraryWindow window(FillTwoBooks);
    window.Select(QStringLiteral("红楼梦"));
    window.Store.RemoveDatabase();

    // A click in the tree reaches the error box instead of unwinding through the tree.
    window.Select(QStringLiteral("红楼梦/第二回"));
    const QList<TMessageBoxHook::TShown> shown = TMessageBoxHook::Shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().Kind, TMessageBoxHook::TKind::Error);
    QCOMPARE(window.Page(), window.Form->DirPage);

    // The tree still answers: the book is shown again once selected.
    window.Select(QStringLiteral("西游记"));
    QCOMPARE(window.Page(), window.Form->DirPage);
    QCOMPARE(window.Form->EdtDir->text(), QStringLiteral("西游记"));
}

void TestLibraryTree::linesJoinTheNodes_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("level"); // the level whose column of the row is looked at
    QTest::addColumn<QString>("part");
    QTest::addColumn<bool>("drawn");

    // 红楼梦 has three articles and a book after it; 西游记 is the last book.
    QTest::newRow("line on to the next article") << "红楼梦/第一回" << 2 << "below" << true;
    QTest::newRow("line up to the article before") << "红楼梦/第三回" << 2 << "above" << true;
    QTest::newRow("nothing below the last article") << "红楼梦/第三回" << 2 << "below" << false;
    QTest::newRow("line from the line to the node") << "红楼梦/第二回" << 2 << "across" << true;
    QTest::newRow("the book's line passes its articles")
        << "红楼梦/第二回" << 1 << "through" << true;
    QTest::newRow("no line past the last book") << "西游记/灵根孕育" << 1 << "through" << false;
}

void TestLibraryTree::linesJoinTheNodes() {
    QFETCH(QString, path);
    QFETCH(int, level);
    QFETCH(QString, part);
    QFETCH(bool, drawn);

    TLibraryWindow window(FillTwoBooks);
    QVERIFY(QTest::qWaitForWindowExposed(window.Form.get()));
    window.Tree()->expandAll();
    const QImage picture = window.Tree()->viewport()->grab().toImage();

    // The column of a level: one indentation wide, the root's first.
    const int indent = window.Tree()->indentation();
    const QRect row = window.Tree()->visualItemRect(window.Node(path));
    const int middle = level * indent + indent / 2;
    const int centre = row.center().y();
    QPoint from;
    QPoint to;
    if (part == QLatin1String("below")) {
        from = {middle, centre + 1};
        to = {middle, row.bottom()};
    } else if (part == QLatin1String("above")) {
        from = {middle, row.top()};
        to = {middle, centre - 1};
    } else if (part == QLatin1String("across")) {
        from = {middle + 1, centre};
        to = {(level + 1) * indent - 1, centre};
    } else {
        from = {middle, row.top()};
        to = {middle, row.bottom()};
    }
    QCOMPARE(DrawnOn(picture, from, to), drawn);
}

QTEST_MAIN(TestLibraryTree)
#include "test_library_tree.moc"

// The library commands: adding, deleting, saving and renaming, and the editor's tools.
#include "app/Const.h"
#include "app/TreeNodes.h"
#include "app/WaitingForm.h"
#include "test_library_window.h"
#include "util/Errors.h"

#include <QApplication>
#include <QClipboard>
#include <QTimer>

namespace {

void FillTwoBooks(TStoreFixture &store) {
    store.InsertArticle(QStringLiteral("红楼梦"), QStringLiteral("第一回"),
                        QStringLiteral("甄士隐"));
    store.InsertArticle(QStringLiteral("西游记"), QStringLiteral("灵根孕育"),
                        QStringLiteral("诗曰"));
}

// Records every waiting window that is shown, with its text at that moment.
class TWaitingWindowSpy : public QObject {
public:
    TWaitingWindowSpy() { qApp->installEventFilter(this); }
    ~TWaitingWindowSpy() override { qApp->removeEventFilter(this); }

    TWaitingWindowSpy(const TWaitingWindowSpy &) = delete;
    TWaitingWindowSpy &operator=(const TWaitingWindowSpy &) = delete;

    QStringList Shown;

    static bool AnyLeft() {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.begin(), windows.end(),
                           [](QWidget *w) { return qobject_cast<TWaitingForm *>(w) != nullptr; });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show) {
            if (auto *waiting = qobject_cast<TWaitingForm *>(watched)) {
                Shown << waiting->Message();
            }
        }
        return false;
    }
};

// A library of one book with the given number of articles, all checked in the window.
void CheckArticles(TLibraryWindow &window, int count) {
    for (int i = 1; i <= count; ++i) {
        window.Store.InsertArticle(QStringLiteral("书"), QStringLiteral("文%1").arg(i));
    }
    window.Form->RefreshTree();
    window.Toggle(QStringLiteral("书"));
}

} // namespace

class TestLibraryCommands : public QObject {
    Q_OBJECT

private slots:
    void addArticleNeedsABook_data();
    void addArticleNeedsABook();
    void addArticleStoresTheNewArticle_data();
    void addArticleStoresTheNewArticle();
    void addArticleTwiceReplacesTheStoredOne_data();
    void addArticleTwiceReplacesTheStoredOne();
    void saveOfAVanishedRowStoresItAnew_data();
    void saveOfAVanishedRowStoresItAnew();
    void addDirAddsAnUnsavedBook();
    void deleteAsksAndDeletesTheChecked_data();
    void deleteAsksAndDeletesTheChecked();
    void deleteWithNothingCheckedOnlyTells();
    void failedDeleteClosesTheWaitingWindow();
    void waitingWindowLayout();
    void saveAsksAboveTheLimit_data();
    void saveAsksAboveTheLimit();
    void saveStoresWhatWasTyped();
    void saveWithoutAnArticleDoesNothing();
    void renameOntoAnotherBookMergesThem();
    void saveAfterRenameKeepsTheNewName();
    void editsAreAskedAboutBeforeLeaving_data();
    void editsAreAskedAboutBeforeLeaving();
    void declinedLongSaveStaysOnTheArticle();
    void endingAsksAboutEdits_data();
    void endingAsksAboutEdits();
    void wordCount_data();
    void wordCount();
    void removeBlankLines_data();
    void removeBlankLines();
    void wrappingSwitches();
    void clipboardAndUndo();
};

void TestLibraryCommands::addArticleNeedsABook_data() {
    QTest::addColumn<bool>("selectRoot");
    QTest::newRow("nothing selected") << false;
    QTest::newRow("root selected") << true;
}

void TestLibraryCommands::addArticleNeedsABook() {
    QFETCH(bool, selectRoot);
    TLibraryWindow window(FillTwoBooks);
    if (selectRoot) {
        window.Select(window.Root());
    }
    window.Form->AddArticleExecute();
    QCOMPARE(window.TakeShown(), QStringList{"请选择一本书！"});
    QCOMPARE(window.Store.RowCount(), 2);
    QCOMPARE(window.Node(QStringLiteral("红楼梦"))->childCount(), 1);
}

void TestLibraryCommands::addArticleStoresTheNewArticle_data() {
    QTest::addColumn<QString>("selected");
    QTest::newRow("book selected") << "红楼梦";
    QTest::newRow("article selected") << "红楼梦/第一回";
}

void TestLibraryCommands::addArticleStoresTheNewArticle() {
    QFETCH(QString, selected);
    TLibraryWindow window(FillTwoBooks);
    window.Select(selected);
    window.Form->AddArticleExecute();
    QVERIFY(window.TakeShown().isEmpty());

    const QList<TStoreRow> rows = window.Store.Rows(QStringLiteral("TITLE='新文章'"));
    QCOMPARE(rows.size(), 1);
    const TStoreRow &row = rows.first();
    QCOMPARE(row.Lang, QStringLiteral("zh"));
    QCOMPARE(row.EditionName, QStringLiteral("PS.A.0"));
    QCOMPARE(row.Grade, 3);
    QCOMPARE(row.Type, 3);
    QCOMPARE(row.UseRate.toInt(), 0);
    QCOMPARE(row.Author, QStringLiteral("佚名"));
    QCOMPARE(row.Dir, QStringLiteral("红楼梦"));
    QCOMPARE(row.WordCount.toInt(), 0);
    QCOMPARE(row.Text, QStringLiteral("  \r\n"));

    // The new node is selected and its page shows the record and the text read back.
    QTreeWidgetItem *node = window.Node(QStringLiteral("红楼梦/新文章"));
    QVERIFY(node != nullptr);
    QCOMPARE(window.Tree()->currentItem(), node);
    QCOMPARE(window.Form->CurrentArticleNode(), node);
    QCOMPARE(window.Page(), window.Form->BlockPage);
    QCOMPARE(window.Form->EdtTitle->text(), QStringLiteral("新文章"));
    QCOMPARE(window.Form->EdtAuthor->text(), QStringLiteral("佚名"));
    QCOMPARE(window.Form->MmText->toPlainText(), QStringLiteral("  "));

    // The record joins its book at once: the summary counts it.
    const TDir *book = window.Form->Books()->Find(QStringLiteral("红楼梦"));
    QCOMPARE(book->Articles.Count(), 2);
    QCOMPARE(book->Articles.At(1)->Id, row.Id);
    window.Form->ShowLibrarySummary();
    QCOMPARE(window.Form->LbBlockCount->text(), QStringLiteral("3篇"));
}

void TestLibraryCommands::addArticleTwiceReplacesTheStoredOne_data() {
    QTest::addColumn<QString>("chosenBy"); // the node selected for the second add
    QTest::newRow("book selected") << "红楼梦";
    QTest::newRow("first new article selected") << "红楼梦/新文章";
}

void TestLibraryCommands::addArticleTwiceReplacesTheStoredOne() {
    QFETCH(QString, chosenBy);
    TLibraryWindow window(FillTwoBooks);
    window.Select(QStringLiteral("红楼梦"));
    window.Form->AddArticleExecute();
    window.Select(chosenBy);
    window.Form->AddArticleExecute();

    // One row, one node: the first node's row was replaced, so the node went with it.
    const QList<TStoreRow> rows = window.Store.Rows(QStringLiteral("TITLE='新文章'"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(window.Captions(window.Node(QStringLiteral("红楼梦"))),
             (QStringList{"第一回", "新文章"}));
    QTreeWidgetItem *node = window.Node(QStringLiteral("红楼梦/新文章"));
    QCOMPARE(window.Form->CurrentArticleNode(), node);
    QCOMPARE(window.Tree()->currentItem(), node);
    QCOMPARE(TreeNodes::Article(node)->Id, rows.first().Id);

    // The counts follow the tree.
    window.Select(QStringLiteral("红楼梦"));
    QCOMPARE(window.Form->LbBlockCount2->text(), QStringLiteral("2篇"));
    window.Form->ShowLibrarySummary();
    QCOMPARE(window.Form->LbBlockCount->text(), QStringLiteral("3篇"));

    // A save of the remaining node writes that row.
    window.Select(node);
    window.Form->MmText->setPlainText(QStringLiteral("留下的字"));
    window.Form->RzBitBtn1Click();
    QCOMPARE(window.Store.Value(rows.first().Id, QStringLiteral("TEXT")).toString(),
             QStringLiteral("留下的字"));

    window.Form->RefreshTree();
    QCOMPARE(window.Captions(window.Node(QStringLiteral("红楼梦"))),
             (QStringList{"第一回", "新文章"}));
}

void TestLibraryCommands::saveOfAVanishedRowStoresItAnew_data() {
    QTest::addColumn<bool>("sibling"); // another loaded article of the book has the title

    QTest::newRow("row deleted meanwhile") << false;
    QTest::newRow("row deleted, a namesake replaced") << true;
}

void TestLibraryCommands::saveOfAVanishedRowStoresItAnew() {
    QFETCH(bool, sibling);
    int id = 0;
    TLibraryWindow window([&id, sibling](TStoreFixture &store) {
        id =
            store.InsertArticle(QStringLiteral("书"), QStringLiteral("同名"), QStringLiteral("旧"));
        store.InsertArticle(QStringLiteral("书"),
                            sibling ? QStringLiteral("同名") : QStringLiteral("别的"),
                            QStringLiteral("另一篇"));
    });
    QTreeWidgetItem *node = window.Node(QStringLiteral("书"))->child(0);
    window.Select(node);
    window.Store.Exec(QStringLiteral("DELETE FROM EARTICLE WHERE ID=%1").arg(id));

    window.Form->EdtAuthor->setText(QStringLiteral("我"));
    window.Form->MmText->setPlainText(QStringLiteral("打好的字"));
    window.Form->RzBitBtn1Click();

    // Stored anew, and reported only now that a row holds it.
    QCOMPARE(window.TakeShown(), QStringList{"已经保存!"});
    const QList<TStoreRow> saved = window.Store.Rows(QStringLiteral("TEXT='打好的字'"));
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.first().Title, QStringLiteral("同名"));
    QCOMPARE(saved.first().Author, QStringLiteral("我"));
    QCOMPARE(saved.first().Dir, QStringLiteral("书"));
    QCOMPARE(saved.first().Type, 3);
    QCOMPARE(saved.first().EditionName, QStringLiteral("PS.A.0"));
    QCOMPARE(TreeNodes::Article(node)->Id, saved.first().Id);
    QCOMPARE(window.Form->CurrentArticleNode(), node);

    // The replace rule took the namesake's row: its node is gone too.
    QCOMPARE(window.Store.RowCount(), sibling ? 1 : 2);
    QCOMPARE(window.Captions(window.Node(QStringLiteral("书"))),
             sibling ? QStringList{"同名"} : (QStringList{"同名", "别的"}));

    // The node is bound to the new row: the next save updates it in place.
    window.Form->MmText->setPlainText(QStringLiteral("再改"));
    window.Form->RzBitBtn1Click();
    QCOMPARE(window.Store.RowCount(), sibling ? 1 : 2);
    QCOMPARE(window.Store.Value(saved.first().Id, QStringLiteral("TEXT")).toString(),
             QStringLiteral("再改"));
}

void TestLibraryCommands::addDirAddsAnUnsavedBook() {
    TLibraryWindow window(FillTwoBooks);
    window.Toggle(QString()); // a checked root turns partial under an unchecked new book
    window.Form->AddDirExecute();

    QTreeWidgetItem *node = window.Node(QStringLiteral("未命名"));
    QVERIFY(node != nullptr);
    QCOMPARE(window.Tree()->currentItem(), node);
    QCOMPARE(node->checkState(0), Qt::Unchecked);
    QCOMPARE(window.Root()->checkState(0), Qt::PartiallyChecked);
    QCOMPARE(window.Page(), window.Form->DirPage);
    QCOMPARE(window.Form->LbBlockCount2->text(), QStringLiteral("0篇"));
    QCOMPARE(window.Form->LbTip->text(), Const::Message(Const::EmptyBookTip));
    QCOMPARE(window.Store.RowCount(), 2);
    window.Form->ShowLibrarySummary();
    QCOMPARE(window.Form->LbDirCount->text(), QStringLiteral("2本"));

    // An article added under it stores the book; a rebuild then lists it.
    window.Select(node);
    window.Form->AddArticleExecute();
    window.Form->AddDirExecute();
    window.Form->RefreshTree();
    QCOMPARE(window.Captions(window.Root()), (QStringList{"红楼梦", "西游记", "未命名"}));
    QCOMPARE(window.Captions(window.Node(QStringLiteral("未命名"))), QStringList{"新文章"});
}

void TestLibraryCommands::deleteAsksAndDeletesTheChecked_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("waits");
    QTest::newRow("5 without waiting window") << 5 << true << false;
    QTest::newRow("6 with waiting window") << 6 << true << true;
    QTest::newRow("6 cancelled") << 6 << false << false;
}

void TestLibraryCommands::deleteAsksAndDeletesTheChecked() {
    QFETCH(int, count);
    QFETCH(bool, answer);
    QFETCH(bool, waits);
    TLibraryWindow window;
    window.Store.InsertArticle(QStringLiteral("留"), QStringLiteral("不删"));
    CheckArticles(window, count);
    window.Select(QStringLiteral("书"));

    TWaitingWindowSpy spy;
    TMessageBoxHook::QueueAnswer(answer);
    window.Form->DeleteArticlesExecute();

    QCOMPARE(window.TakeShown(),
             QStringList{QStringLiteral("即将删除%1篇文章，是否继续？").arg(count)});
    QCOMPARE(spy.Shown, waits ? QStringList{"正在处理，请稍候..."} : QStringList{});
    QVERIFY(!TWaitingWindowSpy::AnyLeft());
    QCOMPARE(window.Store.RowCount(), answer ? 1 : count + 1);
    if (answer) {
        // Rebuilt and back on the summary.
        QCOMPARE(window.Captions(window.Root()), QStringList{"留"});
        QCOMPARE(window.Page(), window.Form->MyBookPage);
        QCOMPARE(window.Form->LbBlockCount->text(), QStringLiteral("1篇"));
    } else {
        QCOMPARE(window.CheckedTitles().size(), count);
        QCOMPARE(window.Page(), window.Form->DirPage);
    }
}

void TestLibraryCommands::deleteWithNothingCheckedOnlyTells() {
    TLibraryWindow window(FillTwoBooks);
    window.Form->DeleteArticlesExecute();
    QCOMPARE(window.TakeShown(), QStringList{"请先选择一篇或者多篇文章！"});
    QCOMPARE(window.Store.RowCount(), 2);
}

void TestLibraryCommands::failedDeleteClosesTheWaitingWindow() {
    TLibraryWindow window;
    CheckArticles(window, 6);
    TWaitingWindowSpy spy;
    window.Store.RemoveDatabase();
    TMessageBoxHook::QueueAnswer(true);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, window.Form->DeleteArticlesExecute());
    QCOMPARE(spy.Shown.size(), 1);
    QVERIFY(!TWaitingWindowSpy::AnyLeft());
}

void TestLibraryCommands::waitingWindowLayout() {
    TStoreFixture store;
    QWidget main;
    main.setGeometry(100, 100, 1000, 700);
    TWaitingForm waiting(store.Settings(), &main);
    QCOMPARE(waiting.size(), QSize(418, 239));
    QVERIFY(waiting.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(waiting.parentWidget(), nullptr);
    QCOMPARE(waiting.frameGeometry().center(), main.frameGeometry().center());
    QCOMPARE(waiting.RzLabel1->pos(), QPoint(32, 40));
    QCOMPARE(waiting.Message(), QStringLiteral("..."));
    waiting.SetMessage(QStringLiteral("正在处理，请稍候..."));
    QCOMPARE(waiting.RzLabel1->text(), QStringLiteral("正在处理，请稍候..."));
}

void TestLibraryCommands::saveAsksAboveTheLimit_data() {
    QTest::addColumn<int>("words");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<bool>("saves");
    QTest::newRow("at the limit") << 50000 << false << false << true;
    QTest::newRow("above, saved") << 50001 << true << true << true;
    QTest::newRow("above, cancelled") << 50001 << false << true << false;
}

void TestLibraryCommands::saveAsksAboveTheLimit() {
    QFETCH(int, words);
    QFETCH(bool, answer);
    QFETCH(bool, asks);
    QFETCH(bool, saves);
    int id = 0;
    TLibraryWindow window([&id](TStoreFixture &store) {
        id =
            store.InsertArticle(QStringLiteral("书"), QStringLiteral("长文"), QStringLiteral("短"));
    });
    QCOMPARE(window.Store.Settings().ContentMaxWordCount, 50000);
    window.Select(QStringLiteral("书/长文"));
    // Half Chinese characters, half ASCII words, a line break in the middle.
    const int half = words / 2;
    const QString text = QString(half, QChar(u'字')) + QStringLiteral("\n") +
                         QStringLiteral("w ").repeated(words - half);
    window.Form->MmText->setPlainText(text);

    TMessageBoxHook::QueueAnswer(answer);
    window.Form->RzBitBtn1Click();

    QStringList expected;
    if (asks) {
        expected << QStringLiteral(
            "本篇文章超过50000字，建议您分篇保存，以优化性能。是否继续保存？");
    }
    if (saves) {
        expected << QStringLiteral("已经保存!");
    }
    QCOMPARE(window.TakeShown(), expected);
    QCOMPARE(window.Store.Value(id, QStringLiteral("WORD_COUNT")).toInt(), saves ? words : 0);
}

void TestLibraryCommands::saveStoresWhatWasTyped() {
    int id = 0;
    TLibraryWindow window([&id](TStoreFixture &store) {
        id =
            store.InsertArticle(QStringLiteral("书"), QStringLiteral("旧题"), QStringLiteral("旧"));
    });
    window.Select(QStringLiteral("书/旧题"));
    window.Form->EdtTitle->setText(QStringLiteral(" 新题 "));
    window.Form->EdtAuthor->setText(QString());
    window.Form->MmText->setPlainText(QStringLiteral("第一行 one\n\n第三行"));
    window.Form->RzBitBtn1Click();

    QCOMPARE(window.TakeShown(), QStringList{"已经保存!"});
    const std::optional<TStoreRow> row = window.Store.Row(id);
    QVERIFY(row.has_value());
    QCOMPARE(row->Title, QStringLiteral(" 新题 "));
    QCOMPARE(row->Author, QString());
    QCOMPARE(row->Text, QStringLiteral("第一行 one\r\n\r\n第三行"));
    QCOMPARE(row->WordCount.toInt(), 7); // the stored count follows the saved text
    QCOMPARE(window.Form->CurrentArticleNode()->text(0), QStringLiteral(" 新题 "));
}

void TestLibraryCommands::saveWithoutAnArticleDoesNothing() {
    TLibraryWindow window(FillTwoBooks);
    window.Select(QStringLiteral("红楼梦"));
    window.Form->RzBitBtn1Click();
    window.Form->EdtDir->setText(QStringLiteral("别名"));
    window.Form->RefreshTree();
    window.Form->RzBitBtn3Click(); // the rebuild forgot the book
    QVERIFY(window.TakeShown().isEmpty());
    QCOMPARE(window.Store.Rows(QStringLiteral("DIR='红楼梦'")).size(), 1);
}

void TestLibraryCommands::renameOntoAnotherBookMergesThem() {
    TLibraryWindow window(FillTwoBooks);
    window.Select(QStringLiteral("红楼梦"));
    window.Form->EdtDir->setText(QStringLiteral("西游记"));
    window.Form->RzBitBtn3Click();

    QVERIFY(window.TakeShown().isEmpty());
    QCOMPARE(window.Store.Rows(QStringLiteral("DIR='西游记'")).size(), 2);
    QCOMPARE(window.Captions(window.Root()), (QStringList{"西游记", "西游记"}));
    window.Form->RefreshTree();
    QCOMPARE(window.Captions(window.Root()), QStringList{"西游记"});
    QCOMPARE(window.Root()->child(0)->childCount(), 2);
}

void TestLibraryCommands::saveAfterRenameKeepsTheNewName() {
    int id = 0;
    TLibraryWindow window([&id](TStoreFixture &store) {
        id = store.InsertArticle(QStringLiteral("旧书名"), QStringLiteral("文"),
                                 QStringLiteral("x"));
    });
    window.Select(QStringLiteral("旧书名/文"));
    window.Select(QStringLiteral("旧书名"));
    window.Form->EdtDir->setText(QStringLiteral("新书名"));
    window.Form->RzBitBtn3Click();
    QCOMPARE(window.Node(QStringLiteral("新书名"))->childCount(), 1);

    window.Select(QStringLiteral("新书名/文"));
    window.Form->RzBitBtn1Click();
    QCOMPARE(window.Store.Value(id, QStringLiteral("DIR")).toString(), QStringLiteral("新书名"));
}

void TestLibraryCommands::editsAreAskedAboutBeforeLeaving_data() {
    QTest::addColumn<QString>("edit"); // title, author, text, undone or nothing
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("answer");

    QTest::newRow("text, to another article, saved") << "text"
                                                     << "红楼梦/第二回" << true;
    QTest::newRow("text, to another article, dropped") << "text"
                                                       << "红楼梦/第二回" << false;
    QTest::newRow("title, to a book, saved") << "title"
                                             << "西游记" << true;
    QTest::newRow("author, to the root, dropped") << "author"
                                                  << "" << false;
    QTest::newRow("author, to the root, saved") << "author"
                                                << "" << true;
    QTest::newRow("typed and undone by hand") << "undone"
                                              << "红楼梦/第二回" << true;
    QTest::newRow("nothing changed") << "nothing"
                                     << "西游记" << true;
}

void TestLibraryCommands::editsAreAskedAboutBeforeLeaving() {
    QFETCH(QString, edit);
    QFETCH(QString, target);
    QFETCH(bool, answer);

    int id = 0;
    TLibraryWindow window([&id](TStoreFixture &store) {
        id = store.InsertArticle(QStringLiteral("红楼梦"), QStringLiteral("第一回"),
                                 QStringLiteral("原文"));
        store.InsertArticle(QStringLiteral("红楼梦"), QStringLiteral("第二回"),
                            QStringLiteral("第二回的字"));
        store.InsertArticle(QStringLiteral("西游记"), QStringLiteral("灵根孕育"));
    });
    TMainForm &form = *window.Form;
    window.Select(QStringLiteral("红楼梦/第一回"));
    const std::optional<TStoreRow> before = window.Store.Row(id);
    if (edit == QLatin1String("title")) {
        form.EdtTitle->setText(QStringLiteral("第一回 改"));
    } else if (edit == QLatin1String("author")) {
        form.EdtAuthor->setText(QStringLiteral("曹雪芹"));
    } else if (edit == QLatin1String("text")) {
        form.MmText->setPlainText(QStringLiteral("改过的字"));
    } else if (edit == QLatin1String("undone")) {
        form.MmText->setPlainText(QStringLiteral("改过的字"));
        form.MmText->setPlainText(QStringLiteral("原文"));
    }
    const bool edited = edit != QLatin1String("undone") && edit != QLatin1String("nothing");

    TMessageBoxHook::QueueAnswer(answer);
    window.Select(target);

    QStringList expected;
    if (edited) {
        expected << QStringLiteral("文章已修改，是否保存？");
        if (answer) {
            expected << QStringLiteral("已经保存!");
        }
    }
    QCOMPARE(window.TakeShown(), expected);
    QCOMPARE(window.Tree()->currentItem(), window.Node(target));
    const std::optional<TStoreRow> after = window.Store.Row(id);
    if (edited && answer) {
        QCOMPARE(after->Title, edit == QLatin1String("title") ? QStringLiteral("第一回 改")
                                                              : QStringLiteral("第一回"));
        QCOMPARE(after->Author,
                 edit == QLatin1String("author") ? QStringLiteral("曹雪芹") : QString());
        QCOMPARE(after->Text, edit == QLatin1String("text") ? QStringLiteral("改过的字")
                                                            : QStringLiteral("原文"));
    } else {
        QCOMPARE(after->Title, before->Title);
        QCOMPARE(after->Author, before->Author);
        QCOMPARE(after->Text, before->Text);
    }

    // Back on the article: what is stored, and nothing to ask when leaving it unchanged.
    QTreeWidgetItem *first =
        window.Tree()
            ->findItems(edit == QLatin1String("title") && answer ? QStringLiteral("第一回 改")
                                                                 : QStringLiteral("第一回"),
                        Qt::MatchExactly | Qt::MatchRecursive)
            .value(0);
    QVERIFY(first != nullptr);
    window.Select(first);
    QCOMPARE(form.MmText->toPlainText(), after->Text);
    window.Select(QStringLiteral("西游记"));
    QCOMPARE(window.TakeShown(), QStringList{});
}

void TestLibraryCommands::declinedLongSaveStaysOnTheArticle() {
    int id = 0;
    TLibraryWindow window([&id](TStoreFixture &store) {
        id = store.InsertArticle(QStringLiteral("书"), QStringLiteral("甲"), QStringLiteral("短"));
        store.InsertArticle(QStringLiteral("书"), QStringLiteral("乙"), QStringLiteral("乙文"));
    });
    TMainForm &form = *window.Form;
    window.Store.Settings().ContentMaxWordCount = 3;
    QTreeWidgetItem *first = window.Node(QStringLiteral("书/甲"));
    window.Select(first);
    form.MmText->setPlainText(QStringLiteral("一二三四"));

    // Save, then no to the length question: the edits stay on the page.
    TMessageBoxHook::QueueAnswer(true);
    TMessageBoxHook::QueueAnswer(false);
    window.Select(QStringLiteral("书/乙"));
    QCOMPARE(window.TakeShown(),
             (QStringList{"文章已修改，是否保存？",
                          "本篇文章超过3字，建议您分篇保存，以优化性能。是否继续保存？"}));
    QCOMPARE(form.CurrentArticleNode(), first);
    QCOMPARE(window.Page(), form.BlockPage);
    QCOMPARE(form.MmText->toPlainText(), QStringLiteral("一二三四"));
    QTRY_COMPARE(window.Tree()->currentItem(), first);
    QCOMPARE(window.Store.Value(id, QStringLiteral("TEXT")).toString(), QStringLiteral("短"));
}

void TestLibraryCommands::endingAsksAboutEdits_data() {
    QTest::addColumn<bool>("byExitCommand");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<QString>("stored");

    const QList<bool> save{true};
    const QList<bool> drop{false};
    const QList<bool> saveButNotThatLong{true, false};
    QTest::newRow("exit, saved") << true << save << true << "改过的字啊";
    QTest::newRow("exit, dropped") << true << drop << true << "原文";
    QTest::newRow("exit, long save declined") << true << saveButNotThatLong << false << "原文";
    QTest::newRow("close button, saved") << false << save << true << "改过的字啊";
    QTest::newRow("close button, long save declined")
        << false << saveButNotThatLong << false << "原文";
}

void TestLibraryCommands::endingAsksAboutEdits() {
    QFETCH(bool, byExitCommand);
    QFETCH(QList<bool>, answers);
    QFETCH(bool, ends);
    QFETCH(QString, stored);

    int id = 0;
    TLibraryWindow window([&id](TStoreFixture &store) {
        id =
            store.InsertArticle(QStringLiteral("书"), QStringLiteral("甲"), QStringLiteral("原文"));
    });
    TMainForm &form = *window.Form;
    window.Select(QStringLiteral("书/甲"));
    form.MmText->setPlainText(QStringLiteral("改过的字啊"));
    if (answers.size() > 1) {
        window.Store.Settings().ContentMaxWordCount = 3;
    }
    for (bool answer : answers) {
        TMessageBoxHook::QueueAnswer(answer);
    }

    QTimer::singleShot(0, &form, [&] {
        if (byExitCommand) {
            form.ExitAction->trigger();
        } else {
            form.close();
        }
    });
    // A loop that the command does not end is ended by this timer, with another code.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(7); });
    guard.start(ends ? 5000 : 300);
    QCOMPARE(QApplication::exec(), ends ? 0 : 7);
    QCOMPARE(form.isVisible(), !ends);
    QCOMPARE(window.TakeShown().value(0), QStringLiteral("文章已修改，是否保存？"));
    QCOMPARE(window.Store.Value(id, QStringLiteral("TEXT")).toString(), stored);
}

void TestLibraryCommands::wordCount_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::newRow("words, characters, full-width marks") << "Hello world 你好，世界！" << 8;
    QTest::newRow("letters and digits run together") << "abc123" << 1;
    QTest::newRow("ASCII punctuation splits") << "a-b" << 2;
    QTest::newRow("line breaks and spaces count nothing") << " \n\n  " << 0;
}

void TestLibraryCommands::wordCount() {
    QFETCH(QString, text);
    QFETCH(int, count);
    TLibraryWindow window;
    window.Form->MmText->setPlainText(text);
    window.Form->RzToolbarButton7Click();
    QCOMPARE(window.TakeShown(), QStringList{QStringLiteral("共%1个字").arg(count)});
}

void TestLibraryCommands::removeBlankLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty and space lines") << "a\n\n   \nb"
                                           << "a\nb";
    QTest::newRow("a tab line") << "a\n\t\nb"
                                << "a\nb";
    QTest::newRow("control characters") << "a\n\x01 \x1f\nb"
                                        << "a\nb";
    QTest::newRow("full-width spaces stay") << "a\n\u3000\u3000\nb"
                                            << "a\n\u3000\u3000\nb";
    QTest::newRow("own spaces of a line stay") << "  a  \n \nb "
                                               << "  a  \nb ";
    QTest::newRow("blank at both ends") << "\n a\n"
                                        << " a\n";
    QTest::newRow("final line break stays") << "a\n\nb\n"
                                            << "a\nb\n";
    QTest::newRow("blank lines before the final break") << "a\n\n \n"
                                                        << "a\n";
    QTest::newRow("nothing but blank lines") << "\n \n\t\n"
                                             << "";
    QTest::newRow("nothing to remove") << "a\nb"
                                       << "a\nb";
}

void TestLibraryCommands::removeBlankLines() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    TLibraryWindow window;
    QPlainTextEdit *memo = window.Form->MmText;
    memo->setPlainText(text);
    window.Form->RzToolbarButton6Click();
    QCOMPARE(memo->toPlainText(), expected);
    if (text != expected) {
        // One undo brings the blank lines back.
        window.Form->EditUndoCmdExecute();
        QCOMPARE(memo->toPlainText(), text);
    }
}

void TestLibraryCommands::wrappingSwitches() {
    TLibraryWindow window;
    QPlainTextEdit *memo = window.Form->MmText;
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    window.Form->RzToolbarButton2Click();
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    window.Form->RzToolbarButton2Click();
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

void TestLibraryCommands::clipboardAndUndo() {
    TLibraryWindow window;
    QPlainTextEdit *memo = window.Form->MmText;
    memo->setPlainText(QStringLiteral("剪贴"));
    memo->selectAll();
    window.Form->EditCutCmdExecute();
    QCOMPARE(memo->toPlainText(), QString());
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("剪贴"));
    window.Form->EditPasteCmdExecute();
    window.Form->EditPasteCmdExecute();
    QCOMPARE(memo->toPlainText(), QStringLiteral("剪贴剪贴"));
    window.Form->EditUndoCmdExecute();
    QCOMPARE(memo->toPlainText(), QStringLiteral("剪贴"));
    memo->selectAll();
    QApplication::clipboard()->clear();
    window.Form->EditCopyCmdExecute();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("剪贴"));
}

QTEST_MAIN(TestLibraryCommands)
#include "test_library_commands.moc"

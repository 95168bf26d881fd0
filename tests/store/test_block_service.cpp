#include "support/StoreFixture.h"

#include "store/DatabaseSetup.h"
#include "util/Errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtTest>

#include <algorithm>
#include <functional>

Q_DECLARE_METATYPE(TLineList)

namespace {

TArticle MakeArticle(const QString &dir, const QString &title, int wordCount = 0) {
    TArticle article = NewLibraryArticle(dir, title, QStringLiteral("佚名"));
    article.WordCount = wordCount;
    return article;
}

QStringList Titles(const QList<TStoreRow> &rows) {
    QStringList titles;
    for (const TStoreRow &row : rows) {
        titles.append(row.Title);
    }
    return titles;
}

QString WithoutLineBreaks(QString text) {
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

QSet<QString> CaseFolded(const QStringList &names) {
    QSet<QString> folded;
    for (const QString &name : names) {
        folded.insert(FoldBookName(name));
    }
    return folded;
}

// Runs one operation of the service by name, so that a table can go over all of them.
void RunOperation(IBlockService &service, const QString &operation) {
    TArticle article = MakeArticle(QStringLiteral("书"), QStringLiteral("题"), 5);
    article.Id = 1;
    const TLineList lines = TLineList::FromLines({QStringLiteral("甲乙丙丁戊")});
    if (operation == u"GetDirNames") {
        service.GetDirNames();
    } else if (operation == u"GetArticles") {
        service.GetArticles();
    } else if (operation == u"GetArticleText") {
        service.GetArticleText(1);
    } else if (operation == u"IncreaseUseRate") {
        service.IncreaseUseRate(1);
    } else if (operation == u"SaveNewArticle") {
        service.SaveNewArticle(article, lines);
    } else if (operation == u"SaveLongArticle") {
        service.SaveLongArticle(article, lines);
    } else if (operation == u"UpdateArticle") {
        service.UpdateArticle(article, lines);
    } else if (operation == u"RenameDir") {
        service.RenameDir(QStringLiteral("书"), QStringLiteral("新书"));
    } else if (operation == u"DeleteArticles") {
        const QList<TArticle *> list{&article};
        service.DeleteArticles(&list);
    } else {
        QFAIL(qPrintable(QStringLiteral("unknown operation ") + operation));
    }
}

// The message of the EDatabaseError that the call raises, or a failure when it raises none.
QString DatabaseErrorOf(const std::function<void()> &call) {
    try {
        call();
    } catch (const EDatabaseError &error) {
        return error.Message();
    }
    return QString();
}

const QString MissingFileMessage = QStringLiteral("unable to open database file");

} // namespace

class TestBlockService : public QObject {
    Q_OBJECT

private slots:
    void replaceRule_data();
    void replaceRule();
    void saveNewArticleStoresEveryColumn();
    void failedInsertKeepsReplacedArticle();
    void newIdsKeepGrowing();

    void saveLongArticle_data();
    void saveLongArticle();
    void saveLongArticleAgainReplacesPartsByTitle();
    void saveLongArticleStoresAllPartsOrNone();
    void saveLongArticleRefusesLimitBelowOne_data();
    void saveLongArticleRefusesLimitBelowOne();

    void storedTextForms_data();
    void storedTextForms();
    void readTextForms_data();
    void readTextForms();
    void getArticleTextOfMissingId();

    void listingsShowOnlyThisLibraryGroupedByBook();
    void bookNamesCompareAsTheDatabaseDoes_data();
    void bookNamesCompareAsTheDatabaseDoes();
    void updateArticleOverwritesEveryColumn();
    void renameDirReachesEveryRowOfTheBook();
    void renameDirOfUnknownNameChangesNothing();
    void increaseUseRate_data();
    void increaseUseRate();
    void increaseUseRateOfMissingId();
    void deleteArticles();
    void deleteManyArticles();
    void deleteArticlesIsAllOrNothing();
    void deleteArticlesWithoutListTouchesNothing_data();
    void deleteArticlesWithoutListTouchesNothing();

    void missingDatabaseFailsEachTime_data();
    void missingDatabaseFailsEachTime();
    void databaseFileIsLookedUpAtEachOperation();
};

// --- The replace rule --------------------------------------------------------------------

void TestBlockService::replaceRule_data() {
    QTest::addColumn<QString>("existingDir");
    QTest::addColumn<int>("existingType");
    QTest::addColumn<QString>("existingEdition");
    QTest::addColumn<bool>("replaced");

    QTest::newRow("same title and book") << "Prose 散文" << 3 << "PS.A.0" << true;
    QTest::newRow("book name in other letter case") << "PROSE 散文" << 3 << "PS.A.0" << true;
    QTest::newRow("other edition, same book") << "Prose 散文" << 3 << "PS.B.1" << true;
    QTest::newRow("other book") << "诗歌" << 3 << "PS.A.0" << false;
    QTest::newRow("same book, other type") << "Prose 散文" << 2 << "PS.A.0" << false;
}

void TestBlockService::replaceRule() {
    QFETCH(QString, existingDir);
    QFETCH(int, existingType);
    QFETCH(QString, existingEdition);
    QFETCH(bool, replaced);

    TStoreFixture store;
    TStoreRow existing;
    existing.Dir = existingDir;
    existing.Type = existingType;
    existing.EditionName = existingEdition;
    existing.Title = QStringLiteral("春");
    existing.Text = QStringLiteral("旧文\r\n");
    const int oldId = store.InsertRow(existing);

    TArticle article = MakeArticle(QStringLiteral("Prose 散文"), QStringLiteral("春"), 2);
    store.Service()->SaveNewArticle(article, TLineList::FromLines({QStringLiteral("新文")}));

    QVERIFY(article.Id > oldId);
    QCOMPARE(store.Row(article.Id)->Text, QStringLiteral("新文\r\n"));
    QCOMPARE(store.Row(oldId).has_value(), !replaced);
    QCOMPARE(store.RowCount(), replaced ? 1 : 2);
    QVERIFY(!store.ServiceImpl().DataModule().Connected());
}

void TestBlockService::saveNewArticleStoresEveryColumn() {
    TStoreFixture store;
    TArticle article;
    article.Lang = QStringLiteral("en");
    article.EditionName = QStringLiteral("PS.A.0");
    article.Grade = 7;
    article.Type = 3;
    article.UseRate = 4;
    article.Title = QStringLiteral("Title 标题");
    article.Author = QStringLiteral("作者");
    article.Dir = QStringLiteral("书目");
    article.WordCount = 12;
    article.Id = 999; // plays no part
    store.Service()->SaveNewArticle(article, TLineList::FromLines({QStringLiteral("x")}));

    const QList<TStoreRow> rows = store.Rows();
    QCOMPARE(rows.size(), 1);
    const TStoreRow &row = rows.first();
    QCOMPARE(article.Id, row.Id);
    QCOMPARE(row.Lang, article.Lang);
    QCOMPARE(row.EditionName, article.EditionName);
    QCOMPARE(row.Grade, 7);
    QCOMPARE(row.Type, 3);
    QCOMPARE(row.UseRate.toInt(), 4);
    QCOMPARE(row.Title, article.Title);
    QCOMPARE(row.Author, article.Author);
    QCOMPARE(row.Dir, article.Dir);
    QCOMPARE(row.WordCount.toInt(), 12);

    // Saved again through the same operation: the stored one is replaced under a new ID.
    const int firstId = article.Id;
    store.Service()->SaveNewArticle(article, TLineList::FromLines({QStringLiteral("y")}));
    QVERIFY(article.Id > firstId);
    QCOMPARE(store.RowCount(), 1);
}

void TestBlockService::failedInsertKeepsReplacedArticle() {
    TStoreFixture store;
    TArticle first = MakeArticle(QStringLiteral("书"), QStringLiteral("题"), 1);
    store.Service()->SaveNewArticle(first, TLineList::FromLines({QStringLiteral("原文")}));

    store.Exec(QStringLiteral("CREATE TRIGGER refuse_insert BEFORE INSERT ON EARTICLE "
                              "BEGIN SELECT RAISE(ABORT, 'insert refused by test'); END"));
    TArticle second = MakeArticle(QStringLiteral("书"), QStringLiteral("题"), 1);
    const QString message = DatabaseErrorOf([&] {
        store.Service()->SaveNewArticle(second, TLineList::FromLines({QStringLiteral("新文")}));
    });

    QVERIFY2(message.contains(QStringLiteral("insert refused by test")), qPrintable(message));
    QCOMPARE(second.Id, 0);
    QVERIFY(!store.ServiceImpl().DataModule().Connected());
    const QList<TStoreRow> rows = store.Rows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().Id, first.Id);
    QCOMPARE(rows.first().Text, QStringLiteral("原文\r\n"));

    // Nothing of the failed transaction is left behind: the next save goes through.
    store.Exec(QStringLiteral("DROP TRIGGER refuse_insert"));
    store.Service()->SaveNewArticle(second, TLineList::FromLines({QStringLiteral("新文")}));
    QCOMPARE(store.Rows().size(), 1);
    QCOMPARE(store.Row(second.Id)->Text, QStringLiteral("新文\r\n"));
}

void TestBlockService::newIdsKeepGrowing() {
    TStoreFixture store;
    TArticle a = MakeArticle(QStringLiteral("书"), QStringLiteral("甲"));
    TArticle b = MakeArticle(QStringLiteral("书"), QStringLiteral("乙"));
    store.Service()->SaveNewArticle(a, TLineList());
    store.Service()->SaveNewArticle(b, TLineList());
    const QList<TArticle *> largest{&b};
    store.Service()->DeleteArticles(&largest);

    TArticle c = MakeArticle(QStringLiteral("书"), QStringLiteral("丙"));
    store.Service()->SaveNewArticle(c, TLineList());
    QVERIFY(c.Id > b.Id);
    QCOMPARE(store.Row(c.Id)->Title, QStringLiteral("丙"));
}

// --- The splitting rule ------------------------------------------------------------------

void TestBlockService::saveLongArticle_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("wordCount");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("W = L: whole, own title")
        << 3 << QStringList{"甲乙丙"} << 3 << QStringList{"长文"} << QList<int>{3}
        << QStringList{"甲乙丙\r\n"};
    QTest::newRow("W = 2L") << 3 << QStringList{"甲乙丙丁戊己"} << 6
                            << QStringList{"长文_1", "长文_2"} << QList<int>{3, 3}
                            << QStringList{"甲乙丙\r\n", "丁戊己\r\n"};
    QTest::newRow("W = 2L + 1") << 3 << QStringList{"甲乙丙丁", "戊己庚"} << 7
                                << QStringList{"长文_1", "长文_2", "长文_3"} << QList<int>{3, 3, 1}
                                << QStringList{"甲乙丙\r\n", "丁\r\n戊己\r\n", "庚\r\n"};
    QTest::newRow("rest after the last word")
        << 2 << QStringList{"ab cd ef. !"} << 3 << QStringList{"长文_1", "长文_2"}
        << QList<int>{2, 1} << QStringList{"ab cd\r\n", " ef. !\r\n"};
    QTest::newRow("& - @ count only when cutting")
        << 2 << QStringList{"a & b - c @ d"} << 4 << QStringList{"长文_1", "长文_2"}
        << QList<int>{2, 2} << QStringList{"a &\r\n", " b - c @ d\r\n"};
    QTest::newRow("text runs out before the parts")
        << 2 << QStringList{"甲乙丙"} << 6 << QStringList{"长文_1", "长文_2", "长文_3"}
        << QList<int>{2, 2, 2} << QStringList{"甲乙\r\n", "丙\r\n", ""};
}

void TestBlockService::saveLongArticle() {
    QFETCH(int, limit);
    QFETCH(QStringList, lines);
    QFETCH(int, wordCount);
    QFETCH(QStringList, titles);
    QFETCH(QList<int>, counts);
    QFETCH(QStringList, texts);

    TStoreFixture store;
    store.Settings().ContentMaxWordCount = limit;
    TArticle article = MakeArticle(QStringLiteral("书"), QStringLiteral("长文"), wordCount);
    const TLineList text = TLineList::FromLines(lines);
    store.Service()->SaveLongArticle(article, text);

    const QList<TStoreRow> rows = store.Rows();
    QCOMPARE(Titles(rows), titles);
    // Stored whole, the caller's record carries the new row's Id; cut, it stays unstored.
    QCOMPARE(article.Id, rows.size() == 1 && titles.first() == article.Title ? rows[0].Id : 0);
    QString joined;
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i].WordCount.toInt(), counts[i]);
        QCOMPARE(rows[i].Text, texts[i]);
        QCOMPARE(rows[i].Dir, article.Dir);
        QCOMPARE(rows[i].Author, article.Author);
        joined += rows[i].Text;
    }
    // No text is lost or doubled between the parts.
    QCOMPARE(WithoutLineBreaks(joined), WithoutLineBreaks(text.Text()));
}

void TestBlockService::saveLongArticleAgainReplacesPartsByTitle() {
    TStoreFixture store;
    store.Settings().ContentMaxWordCount = 2;
    TArticle first = MakeArticle(QStringLiteral("书"), QStringLiteral("长文"), 6);
    store.Service()->SaveLongArticle(first, TLineList::FromLines({QStringLiteral("甲乙丙丁戊己")}));
    TArticle second = MakeArticle(QStringLiteral("书"), QStringLiteral("长文"), 4);
    store.Service()->SaveLongArticle(second, TLineList::FromLines({QStringLiteral("子丑寅卯")}));

    // The two new parts replace theirs; the surplus third part of the first run stays.
    const QList<TStoreRow> rows = store.Rows();
    QCOMPARE(Titles(rows), (QStringList{"长文_3", "长文_1", "长文_2"}));
    QCOMPARE(rows[0].Text, QStringLiteral("戊己\r\n"));
    QCOMPARE(rows[1].Text, QStringLiteral("子丑\r\n"));
    QCOMPARE(rows[2].Text, QStringLiteral("寅卯\r\n"));
}

void TestBlockService::saveLongArticleStoresAllPartsOrNone() {
    TStoreFixture store;
    store.Settings().ContentMaxWordCount = 2;
    TArticle first = MakeArticle(QStringLiteral("书"), QStringLiteral("长文"), 4);
    store.Service()->SaveLongArticle(first, TLineList::FromLines({QStringLiteral("甲乙丙丁")}));
    const QList<TStoreRow> before = store.Rows();

    // The last part cannot be stored: no part of the new text may be, and the parts it was
    // going to replace stay as they were.
    store.Exec(QStringLiteral("CREATE TRIGGER refuse_part BEFORE INSERT ON EARTICLE "
                              "WHEN NEW.TITLE = '长文_3' "
                              "BEGIN SELECT RAISE(ABORT, 'part refused by test'); END"));
    TArticle second = MakeArticle(QStringLiteral("书"), QStringLiteral("长文"), 6);
    const QString message = DatabaseErrorOf([&] {
        store.Service()->SaveLongArticle(second,
                                         TLineList::FromLines({QStringLiteral("子丑寅卯辰巳")}));
    });
    QVERIFY2(message.contains(QStringLiteral("part refused by test")), qPrintable(message));
    QVERIFY(!store.ServiceImpl().DataModule().Connected());
    const QList<TStoreRow> after = store.Rows();
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i) {
        QCOMPARE(after[i].Id, before[i].Id);
        QCOMPARE(after[i].Text, before[i].Text);
    }

    // The failed run left nothing open: the next one goes through whole.
    store.Exec(QStringLiteral("DROP TRIGGER refuse_part"));
    store.Service()->SaveLongArticle(second,
                                     TLineList::FromLines({QStringLiteral("子丑寅卯辰巳")}));
    QCOMPARE(Titles(store.Rows()), (QStringList{"长文_1", "长文_2", "长文_3"}));
}

void TestBlockService::saveLongArticleRefusesLimitBelowOne_data() {
    QTest::addColumn<int>("limit");
    QTest::newRow("0") << 0;
    QTest::newRow("-5") << -5;
}

void TestBlockService::saveLongArticleRefusesLimitBelowOne() {
    QFETCH(int, limit);
    TStoreFixture store;
    store.Settings().ContentMaxWordCount = limit;
    TArticle article = MakeArticle(QStringLiteral("书"), QStringLiteral("长文"), 5);
    QVERIFY_THROWS_EXCEPTION(EMxError,
                             store.Service()->SaveLongArticle(
                                 article, TLineList::FromLines({QStringLiteral("甲乙丙丁戊")})));
    QCOMPARE(store.RowCount(), 0);
}

// --- How texts are stored and read -------------------------------------------------------

void TestBlockService::storedTextForms_data() {
    QTest::addColumn<TLineList>("lines");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("readBack");

    QTest::newRow("plain list") << TLineList::FromLines({"a", "b"}) << "a\r\nb\r\n"
                                << QStringList{"a", "b"};
    QTest::newRow("editor text") << TLineList::FromEditorText("a\nb") << "a\r\nb"
                                 << QStringList{"a", "b"};
    QTest::newRow("editor text with CR LF")
        << TLineList::FromEditorText("a\r\nb") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("editor text ending in a break") << TLineList::FromEditorText("a\n") << "a\r\n"
                                                   << QStringList{"a"};
    QTest::newRow("empty list") << TLineList() << "" << QStringList{};

    // A NUL (pasted, or read from a file) is stored as U+FFFD, and nothing after it is lost.
    const QString withNul = QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b");
    QTest::newRow("plain list with NUL")
        << TLineList::FromLines({withNul, "c"}) << QStringLiteral("a\uFFFDb\r\nc\r\n")
        << QStringList{QStringLiteral("a\uFFFDb"), "c"};
    QTest::newRow("editor text with NUL")
        << TLineList::FromEditorText(withNul + QStringLiteral("\nc"))
        << QStringLiteral("a\uFFFDb\r\nc") << QStringList{QStringLiteral("a\uFFFDb"), "c"};
}

void TestBlockService::storedTextForms() {
    QFETCH(TLineList, lines);
    QFETCH(QString, stored);
    QFETCH(QStringList, readBack);

    TStoreFixture store;
    TArticle article = MakeArticle(QStringLiteral("书"), QStringLiteral("新"));
    store.Service()->SaveNewArticle(article, lines);
    QCOMPARE(store.Row(article.Id)->Text, stored);
    QCOMPARE(store.Service()->GetArticleText(article.Id).Lines(), readBack);

    // An update writes the same form.
    const int otherId =
        store.InsertArticle(QStringLiteral("书"), QStringLiteral("旧"), QStringLiteral("x"));
    TArticle other = MakeArticle(QStringLiteral("书"), QStringLiteral("旧"));
    other.Id = otherId;
    store.Service()->UpdateArticle(other, lines);
    QCOMPARE(store.Row(otherId)->Text, stored);
}

void TestBlockService::readTextForms_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("LF only, no final break") << "a\nb" << QStringList{"a", "b"};
    QTest::newRow("lone CR") << "a\rb\r" << QStringList{"a", "b"};
    QTest::newRow("empty line kept") << "a\r\n\r\nb\r\n" << QStringList{"a", "", "b"};
    // A NUL never cuts a text: it reads as U+FFFD and the rest follows.
    QTest::newRow("NUL inside a line")
        << QString(QStringLiteral("a\r\nb") + QChar(u'\0') + QStringLiteral("c\r\nd"))
        << QStringList{"a", QStringLiteral("b\uFFFDc"), "d"};
    QTest::newRow("NUL alone on a line") << QString(QStringLiteral("a\n") + QChar(u'\0'))
                                         << QStringList{"a", QStringLiteral("\uFFFD")};
    QTest::newRow("empty text") << "" << QStringList{};
    QTest::newRow("NULL text") << QString() << QStringList{};
}

void TestBlockService::readTextForms() {
    QFETCH(QString, stored);
    QFETCH(QStringList, lines);

    TStoreFixture store;
    TStoreRow row;
    row.Dir = QStringLiteral("书");
    row.Title = QStringLiteral("外来");
    row.Text = stored;
    const int id = store.InsertRow(row);
    QCOMPARE(store.Service()->GetArticleText(id).Lines(), lines);
    QVERIFY(!store.ServiceImpl().DataModule().Connected());
}

void TestBlockService::getArticleTextOfMissingId() {
    TStoreFixture store;
    const int id =
        store.InsertArticle(QStringLiteral("书"), QStringLiteral("有"), QStringLiteral("文"));
    QVERIFY(store.Service()->GetArticleText(id + 1).IsEmpty());
    QVERIFY(!store.ServiceImpl().DataModule().Connected());
}

// --- Listings ----------------------------------------------------------------------------

void TestBlockService::listingsShowOnlyThisLibraryGroupedByBook() {
    TStoreFixture store;
    TStoreRow full;
    full.Lang = QStringLiteral("en");
    full.Grade = 5;
    full.Title = QStringLiteral("t1");
    full.Author = QStringLiteral("A. Author");
    full.Dir = QStringLiteral("Book");
    full.WordCount = 120;
    full.UseRate = 9;
    const int id1 = store.InsertRow(full);
    const int id2 = store.InsertArticle(QStringLiteral("其他"), QStringLiteral("t2"));
    const int id3 = store.InsertArticle(QStringLiteral("book"), QStringLiteral("t3"));
    const int id4 = store.InsertArticle(QString(QLatin1String("")), QStringLiteral("t4"));
    TStoreRow hidden;
    hidden.Title = QStringLiteral("hidden");
    hidden.Dir = QStringLiteral("Book");
    hidden.Type = 2;
    store.InsertRow(hidden);
    hidden.Dir = QStringLiteral("OnlyType2");
    store.InsertRow(hidden);
    hidden.Dir = QStringLiteral("OtherEdition");
    hidden.Type = 3;
    hidden.EditionName = QStringLiteral("PS.B.1");
    store.InsertRow(hidden);

    const std::unique_ptr<TBookList> books = store.Service()->GetArticles();
    QVERIFY(!store.ServiceImpl().DataModule().Connected());
    QStringList names;
    for (const auto &entry : *books) {
        QCOMPARE(entry.Key, entry.Item->Name);
        names.append(entry.Item->Name);
    }
    QCOMPARE(names, (QStringList{"Book", "其他", ""}));

    const TDir *book = books->At(0);
    QCOMPARE(book->Articles.Count(), 2);
    QCOMPARE(book->Articles.Key(0), QString::number(id1));
    QCOMPARE(book->Articles.Key(1), QString::number(id3));
    const TArticle *article = book->Articles.At(0);
    QCOMPARE(article->Id, id1);
    QCOMPARE(article->Lang, QStringLiteral("en"));
    QCOMPARE(article->EditionName, QStringLiteral("PS.A.0"));
    QCOMPARE(article->Grade, 5);
    QCOMPARE(article->Type, 3);
    QCOMPARE(article->Title, QStringLiteral("t1"));
    QCOMPARE(article->Author, QStringLiteral("A. Author"));
    QCOMPARE(article->Dir, QStringLiteral("Book"));
    QCOMPARE(article->WordCount, 120);
    QCOMPARE(article->UseRate, 9);
    QCOMPARE(book->Articles.At(1)->Dir, QStringLiteral("book"));
    QCOMPARE(books->At(1)->Articles.At(0)->Id, id2);
    QCOMPARE(books->At(2)->Articles.At(0)->Id, id4);

    // Both listings name the same books, letter case aside.
    const QStringList dirNames = store.Service()->GetDirNames();
    QCOMPARE(CaseFolded(dirNames), CaseFolded(names));
    QCOMPARE(dirNames.size(), 3);
}

void TestBlockService::bookNamesCompareAsTheDatabaseDoes_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("sameBook");

    QTest::newRow("Latin letter case") << "Book"
                                       << "book" << true;
    QTest::newRow("Latin letters beside others") << "Äpfel A"
                                                 << "Äpfel a" << true;
    QTest::newRow("umlaut") << "Äpfel"
                            << "äpfel" << false;
    QTest::newRow("Greek") << "Αλφα"
                           << "αλφα" << false;
    QTest::newRow("Cyrillic") << "Книга"
                              << "книга" << false;
    QTest::newRow("full-width Latin") << "Ｂｏｏｋ"
                                      << "ｂｏｏｋ" << false;
    QTest::newRow("German sharp s") << "Straße"
                                    << "STRASSE" << false;
}

void TestBlockService::bookNamesCompareAsTheDatabaseDoes() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, sameBook);

    // The tree and every statement must see one book or two alike: the listing groups,
    // the replace rule looks across, and a rename reaches, exactly the same rows.
    TStoreFixture store;
    const int firstId = store.InsertArticle(first, QStringLiteral("甲"));
    store.InsertArticle(second, QStringLiteral("乙"));

    const std::unique_ptr<TBookList> books = store.Service()->GetArticles();
    QCOMPARE(books->Count(), sameBook ? 1 : 2);
    QCOMPARE(store.Service()->GetDirNames().size(), sameBook ? 1 : 2);
    QCOMPARE(books->Find(second) == books->Find(first), sameBook);

    TArticle again = MakeArticle(second, QStringLiteral("甲"));
    store.Service()->SaveNewArticle(again, TLineList());
    QCOMPARE(store.Row(firstId).has_value(), !sameBook);

    store.Service()->RenameDir(first, QStringLiteral("新名"));
    QCOMPARE(store.Row(again.Id)->Dir, sameBook ? QStringLiteral("新名") : second);
}

// --- Updates -----------------------------------------------------------------------------

void TestBlockService::updateArticleOverwritesEveryColumn() {
    TStoreFixture store;
    const int keepId =
        store.InsertArticle(QStringLiteral("书"), QStringLiteral("甲"), QStringLiteral("一"));
    const int id =
        store.InsertArticle(QStringLiteral("书"), QStringLiteral("乙"), QStringLiteral("二"));

    TArticle article;
    article.Id = id;
    article.Lang = QStringLiteral("en");
    article.EditionName = QStringLiteral("PS.A.0");
    article.Grade = 8;
    article.Type = 3;
    article.UseRate = 2;
    article.Title = QStringLiteral("甲"); // the title of the other article: both stay
    article.Author = QStringLiteral("新作者");
    article.Dir = QStringLiteral("书");
    article.WordCount = 3;
    store.Service()->UpdateArticle(article, TLineList::FromLines({QStringLiteral("三")}));

    const TStoreRow row = *store.Row(id);
    QCOMPARE(row.Lang, QStringLiteral("en"));
    QCOMPARE(row.Grade, 8);
    QCOMPARE(row.UseRate.toInt(), 2);
    QCOMPARE(row.Title, QStringLiteral("甲"));
    QCOMPARE(row.Author, QStringLiteral("新作者"));
    QCOMPARE(row.WordCount.toInt(), 3);
    QCOMPARE(row.Text, QStringLiteral("三\r\n"));
    QCOMPARE(store.Row(keepId)->Text, QStringLiteral("一"));

    // A missing row changes nothing.
    const QList<TStoreRow> before = store.Rows();
    article.Id = id + 100;
    store.Service()->UpdateArticle(article, TLineList::FromLines({QStringLiteral("四")}));
    QCOMPARE(store.Rows().size(), before.size());
    QCOMPARE(store.Row(id)->Text, QStringLiteral("三\r\n"));
}

void TestBlockService::renameDirReachesEveryRowOfTheBook() {
    TStoreFixture store;
    TStoreRow row;
    row.Title = QStringLiteral("t");
    row.Dir = QStringLiteral("Prose");
    const int shown = store.InsertRow(row);
    row.Type = 2;
    const int otherType = store.InsertRow(row);
    row.Type = 3;
    row.EditionName = QStringLiteral("PS.B.1");
    const int otherEdition = store.InsertRow(row);
    row.EditionName = QStringLiteral("PS.A.0");
    row.Dir = QStringLiteral("PROSE");
    row.Title = QStringLiteral("u");
    const int otherCase = store.InsertRow(row);
    const int target = store.InsertArticle(QStringLiteral("Poems"), QStringLiteral("v"));
    const int untouched = store.InsertArticle(QStringLiteral("Essays"), QStringLiteral("w"));

    store.Service()->RenameDir(QStringLiteral("Prose"), QStringLiteral("Poems"));

    for (const int id : {shown, otherType, otherEdition, otherCase, target}) {
        QCOMPARE(store.Row(id)->Dir, QStringLiteral("Poems"));
    }
    QCOMPARE(store.Row(untouched)->Dir, QStringLiteral("Essays"));
    // The two books are merged into one.
    const std::unique_ptr<TBookList> books = store.Service()->GetArticles();
    QCOMPARE(books->Count(), 2);
    QCOMPARE(books->At(0)->Name, QStringLiteral("Poems"));
    QCOMPARE(books->At(0)->Articles.Count(), 3);
}

void TestBlockService::renameDirOfUnknownNameChangesNothing() {
    TStoreFixture store;
    store.InsertArticle(QStringLiteral("书"), QStringLiteral("甲"));
    store.InsertArticle(QStringLiteral("书二"), QStringLiteral("乙"));
    const QList<TStoreRow> before = store.Rows();
    store.Service()->RenameDir(QStringLiteral("无此书"), QStringLiteral("书"));
    const QList<TStoreRow> after = store.Rows();
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i) {
        QCOMPARE(after[i].Dir, before[i].Dir);
    }
}

void TestBlockService::increaseUseRate_data() {
    QTest::addColumn<QVariant>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("empty value") << QVariant() << 1;
    QTest::newRow("0") << QVariant(0) << 1;
    QTest::newRow("41") << QVariant(41) << 42;
}

void TestBlockService::increaseUseRate() {
    QFETCH(QVariant, before);
    QFETCH(int, after);
    TStoreFixture store;
    TStoreRow row;
    row.Dir = QStringLiteral("书");
    row.Title = QStringLiteral("甲");
    row.UseRate = before;
    const int id = store.InsertRow(row);
    const int neighbour = store.InsertArticle(QStringLiteral("书"), QStringLiteral("乙"));

    store.Service()->IncreaseUseRate(id);
    QCOMPARE(store.Value(id, QStringLiteral("USE_RATE")).toInt(), after);
    QCOMPARE(store.Value(neighbour, QStringLiteral("USE_RATE")).toInt(), 0);
    QVERIFY(!store.ServiceImpl().DataModule().Connected());
}

void TestBlockService::increaseUseRateOfMissingId() {
    TStoreFixture store;
    const int id = store.InsertArticle(QStringLiteral("书"), QStringLiteral("甲"));
    store.Service()->IncreaseUseRate(id + 1);
    QCOMPARE(store.RowCount(), 1);
    QCOMPARE(store.Value(id, QStringLiteral("USE_RATE")).toInt(), 0);
}

void TestBlockService::deleteArticles() {
    TStoreFixture store;
    TArticle a = MakeArticle(QStringLiteral("书"), QStringLiteral("甲"));
    TArticle b = MakeArticle(QStringLiteral("书"), QStringLiteral("乙"));
    TArticle c = MakeArticle(QStringLiteral("书"), QStringLiteral("丙"));
    for (TArticle *article : {&a, &b, &c}) {
        store.Service()->SaveNewArticle(*article, TLineList());
    }
    TArticle missing = MakeArticle(QStringLiteral("书"), QStringLiteral("无"));
    missing.Id = c.Id + 50;
    const QList<TArticle *> list{&a, &missing, &c};
    store.Service()->DeleteArticles(&list);

    QCOMPARE(Titles(store.Rows()), QStringList{QStringLiteral("乙")});
    QVERIFY(!store.ServiceImpl().DataModule().Connected());
}

void TestBlockService::deleteManyArticles() {
    TStoreFixture store;
    const int total = 2501;
    store.Exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                              "WHERE i < %1) INSERT INTO EARTICLE (EDITION_NAME,TYPE,TITLE,DIR,"
                              "[TEXT]) SELECT 'PS.A.0', 3, 't' || i, '书', 'x' FROM n")
                   .arg(total));
    // Every even Id, some twice, a few Ids that are not there, and an empty entry.
    std::vector<TArticle> records;
    for (int id = 2; id <= total; id += 2) {
        TArticle record;
        record.Id = id;
        records.push_back(record);
    }
    for (int id : {4, 2000, total + 1, total + 7, -3}) {
        TArticle record;
        record.Id = id;
        records.push_back(record);
    }
    QList<TArticle *> list;
    for (TArticle &record : records) {
        list.append(&record);
    }
    list.insert(17, nullptr);
    store.Service()->DeleteArticles(&list);

    const QList<TStoreRow> rows = store.Rows();
    QCOMPARE(rows.size(), (total + 1) / 2);
    for (const TStoreRow &row : rows) {
        QVERIFY2(row.Id % 2 == 1, qPrintable(QString::number(row.Id)));
    }
    QVERIFY(!store.ServiceImpl().DataModule().Connected());
}

void TestBlockService::deleteArticlesIsAllOrNothing() {
    TStoreFixture store;
    store.InsertArticle(QStringLiteral("书"), QStringLiteral("甲"));
    store.InsertArticle(QStringLiteral("书"), QStringLiteral("乙"));
    store.InsertArticle(QStringLiteral("书"), QStringLiteral("丙"));
    std::unique_ptr<TBookList> books = store.Service()->GetArticles();
    QList<TArticle *> list;
    for (const auto &entry : books->At(0)->Articles) {
        list.append(entry.Item.get());
    }
    store.Exec(QStringLiteral("CREATE TRIGGER refuse_delete BEFORE DELETE ON EARTICLE "
                              "WHEN OLD.TITLE = '丙' "
                              "BEGIN SELECT RAISE(ABORT, 'delete refused by test'); END"));
    const QString message = DatabaseErrorOf([&] { store.Service()->DeleteArticles(&list); });
    QVERIFY2(message.contains(QStringLiteral("delete refused by test")), qPrintable(message));
    QCOMPARE(store.RowCount(), 3);
    QVERIFY(!store.ServiceImpl().DataModule().Connected());
}

void TestBlockService::deleteArticlesWithoutListTouchesNothing_data() {
    QTest::addColumn<bool>("absent");
    QTest::newRow("no list") << true;
    QTest::newRow("empty list") << false;
}

void TestBlockService::deleteArticlesWithoutListTouchesNothing() {
    QFETCH(bool, absent);
    // Without a database file any use of the connection would fail.
    TStoreFixture store(TStoreFixture::TDatabase::Missing);
    const QList<TArticle *> empty;
    store.Service()->DeleteArticles(absent ? nullptr : &empty);
    QVERIFY(!store.ServiceImpl().DataModule().Connected());
    QVERIFY(!QFileInfo::exists(store.DatabasePath()));
}

// --- The database file -------------------------------------------------------------------

void TestBlockService::missingDatabaseFailsEachTime_data() {
    QTest::addColumn<QString>("operation");
    for (const char *operation :
         {"GetDirNames", "GetArticles", "GetArticleText", "IncreaseUseRate", "SaveNewArticle",
          "SaveLongArticle", "UpdateArticle", "RenameDir", "DeleteArticles"}) {
        QTest::newRow(operation) << QString::fromLatin1(operation);
    }
}

void TestBlockService::missingDatabaseFailsEachTime() {
    QFETCH(QString, operation);
    TStoreFixture store(TStoreFixture::TDatabase::Missing);
    store.Settings().ContentMaxWordCount = 2; // SaveLongArticle cuts parts
    for (int attempt = 1; attempt <= 2; ++attempt) {
        const QString message = DatabaseErrorOf([&] { RunOperation(*store.Service(), operation); });
        QVERIFY2(message.contains(MissingFileMessage),
                 qPrintable(QStringLiteral("attempt %1: '%2'").arg(attempt).arg(message)));
        QVERIFY(!store.ServiceImpl().DataModule().Connected());
    }
    // The store never creates the library, not even its folder.
    QVERIFY(!QFileInfo::exists(store.DatabasePath()));
    QVERIFY(!store.Folder().Exists(QStringLiteral("db")));
}

void TestBlockService::databaseFileIsLookedUpAtEachOperation() {
    TStoreFixture store;
    store.InsertArticle(QStringLiteral("旧库"), QStringLiteral("甲"));
    QCOMPARE(store.Service()->GetArticles()->At(0)->Name, QStringLiteral("旧库"));

    // Removed between two operations: the next one fails as if it had never been there.
    store.RemoveDatabase();
    const QString message = DatabaseErrorOf([&] { store.Service()->GetArticles(); });
    QVERIFY2(message.contains(MissingFileMessage), qPrintable(message));
    QVERIFY(!store.ServiceImpl().DataModule().Connected());
    QVERIFY(!QFileInfo::exists(store.DatabasePath()));

    // Another library put in its place is the one the next operation reads.
    const QString otherPath = store.Folder().FilePath(QStringLiteral("other/Lumo.db"));
    CreateDatabaseIfMissing(otherPath);
    QVERIFY(QFile::rename(otherPath, store.DatabasePath()));
    store.InsertArticle(QStringLiteral("新库"), QStringLiteral("乙"));
    const std::unique_ptr<TBookList> books = store.Service()->GetArticles();
    QCOMPARE(books->Count(), 1);
    QCOMPARE(books->At(0)->Name, QStringLiteral("新库"));

    // And so is a file swapped in while the service still knows the old one.
    const QString thirdPath = store.Folder().FilePath(QStringLiteral("third/Lumo.db"));
    CreateDatabaseIfMissing(thirdPath);
    QVERIFY(QFile::remove(store.DatabasePath()));
    QVERIFY(QFile::rename(thirdPath, store.DatabasePath()));
    QCOMPARE(store.Service()->GetArticles()->Count(), 0);
}

QTEST_GUILESS_MAIN(TestBlockService)
#include "test_block_service.moc"

// The library file itself: what the store accepts as a library, and that Lumo.db alone holds
// every commit between commands and after the program has ended.
#include "support/StoreFixture.h"

#include "store/DatabaseSetup.h"
#include "util/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <atomic>
#include <functional>

namespace {

// Runs statements on a file through a plain connection of its own (creating the file), and
// returns the first column of the last statement's rows.
QStringList RunOn(const QString &path, const QStringList &statements) {
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("library-file-test-%1").arg(++counter);
    QStringList values;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            qFatal("cannot open %s", qPrintable(path));
        }
        QSqlQuery query(db);
        for (const QString &statement : statements) {
            values.clear();
            if (!query.exec(statement)) {
                qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
            }
            while (query.next()) {
                values.append(query.value(0).toString());
            }
        }
        query = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return values;
}

QString DatabaseErrorOf(const std::function<void()> &call) {
    try {
        call();
    } catch (const EDatabaseError &error) {
        return error.Message();
    }
    return QString();
}

QStringList FilesIn(const QString &folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// The rows of a library as one text per row, for comparing two copies.
QStringList RowTexts(const QString &path) {
    return RunOn(path, {QStringLiteral("SELECT ID || '|' || TITLE || '|' || DIR || '|' || "
                                       "USE_RATE || '|' || [TEXT] FROM EARTICLE ORDER BY ID")});
}

TArticle MakeArticle(const QString &dir, const QString &title, int wordCount = 1) {
    TArticle article = NewLibraryArticle(dir, title, QStringLiteral("佚名"));
    article.WordCount = wordCount;
    return article;
}

} // namespace

class TestLibraryFile : public QObject {
    Q_OBJECT

private slots:
    void foreignFilesAreRefusedUntouched_data();
    void foreignFilesAreRefusedUntouched();

    void eachCommandLeavesTheLibraryFileComplete_data();
    void eachCommandLeavesTheLibraryFileComplete();
    void userCommandsCommitWithFullSync();
    void bulkWorkIsMadeDurableAtItsEnd();
    void bulkScopeEndsOnTheWayOutOfAnError();
    void cleanExitLeavesOnlyTheLibraryFile();
};

// --- Files that are not a library ----------------------------------------------------------

void TestLibraryFile::foreignFilesAreRefusedUntouched_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("text file") << "text" << QStringList{"不是 SQLite 数据库文件"};
    QTest::newRow("SQLite without EARTICLE")
        << "no table" << QStringList{QStringLiteral("没有 EARTICLE 表")};
    QTest::newRow("EARTICLE without DIR and TEXT")
        << "columns" << QStringList{QStringLiteral("缺少列"), "DIR", "TEXT"};
}

void TestLibraryFile::foreignFilesAreRefusedUntouched() {
    QFETCH(QString, kind);
    QFETCH(QStringList, expected);

    TStoreFixture store(TStoreFixture::TDatabase::Missing);
    const QString path = store.DatabasePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (kind == u"text") {
        store.Folder().WriteFile(QStringLiteral("db/Lumo.db"),
                                 QByteArray("somebody's notes, not a library\n").repeated(200));
    } else if (kind == u"no table") {
        RunOn(path, {QStringLiteral("CREATE TABLE NOTES (ID INTEGER PRIMARY KEY, BODY TEXT)"),
                     QStringLiteral("INSERT INTO NOTES (BODY) VALUES ('keep me')")});
    } else {
        RunOn(path, {QStringLiteral("CREATE TABLE EARTICLE (ID INTEGER PRIMARY KEY, LANG TEXT, "
                                    "EDITION_NAME TEXT, GRADE INTEGER, TYPE INTEGER, TITLE TEXT, "
                                    "AUTHOR TEXT, WORD_COUNT INTEGER, USE_RATE INTEGER)")});
    }
    const QByteArray before = store.Folder().ReadFile(QStringLiteral("db/Lumo.db"));

    // The start leaves the file alone, and every operation names it and what is wrong.
    CreateDatabaseIfMissing(path);
    for (const auto &operation : std::initializer_list<std::function<void()>>{
             [&] { store.Service()->GetArticles(); },
             [&] {
                 TArticle article = MakeArticle(QStringLiteral("书"), QStringLiteral("题"));
                 store.Service()->SaveNewArticle(article, TLineList());
             },
             [&] {
                 store.Service()->RenameDir(QStringLiteral("书"), QStringLiteral("新"));
             }}) {
        const QString message = DatabaseErrorOf(operation);
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("不是本程序的文章库")), qPrintable(message));
        for (const QString &fragment : expected) {
            QVERIFY2(message.contains(fragment), qPrintable(message));
        }
        QVERIFY(!store.ServiceImpl().DataModule().Connected());
    }
    QCOMPARE(store.Folder().ReadFile(QStringLiteral("db/Lumo.db")), before);
    QCOMPARE(FilesIn(store.Folder().FilePath(QStringLiteral("db"))),
             QStringList{QStringLiteral("Lumo.db")});
}

// --- Lumo.db alone holds every commit ------------------------------------------------------

void TestLibraryFile::eachCommandLeavesTheLibraryFileComplete_data() {
    QTest::addColumn<QString>("command");
    for (const char *command : {"SaveNewArticle", "SaveLongArticle", "UpdateArticle", "RenameDir",
                                "DeleteArticles", "IncreaseUseRate"}) {
        QTest::newRow(command) << QString::fromLatin1(command);
    }
}

void TestLibraryFile::eachCommandLeavesTheLibraryFileComplete() {
    QFETCH(QString, command);
    TStoreFixture store;
    store.Settings().ContentMaxWordCount = 2;
    const int id =
        store.InsertArticle(QStringLiteral("书"), QStringLiteral("甲"), QStringLiteral("旧"));
    IBlockService &service = *store.Service();
    service.GetArticles(); // the service now holds the file open

    TArticle article = MakeArticle(QStringLiteral("书"), QStringLiteral("乙"), 3);
    if (command == u"SaveNewArticle") {
        service.SaveNewArticle(article, TLineList::FromLines({QStringLiteral("新文")}));
    } else if (command == u"SaveLongArticle") {
        service.SaveLongArticle(article, TLineList::FromLines({QStringLiteral("子丑寅")}));
    } else if (command == u"UpdateArticle") {
        article.Id = id;
        QCOMPARE(service.UpdateArticle(article, TLineList::FromLines({QStringLiteral("改")})), 1);
    } else if (command == u"RenameDir") {
        service.RenameDir(QStringLiteral("书"), QStringLiteral("新书"));
    } else if (command == u"DeleteArticles") {
        article.Id = id;
        const QList<TArticle *> list{&article};
        service.DeleteArticles(&list);
    } else {
        service.IncreaseUseRate(id);
    }
    const QStringList live = RowTexts(store.DatabasePath());
    QVERIFY(live != QStringList{QStringLiteral("%1|甲|书|0|旧").arg(id)});

    // A copy of Lumo.db alone, taken while the program still runs, is a real backup.
    const QString copy = store.Folder().FilePath(QStringLiteral("backup.db"));
    QVERIFY(QFile::copy(store.DatabasePath(), copy));
    QCOMPARE(RowTexts(copy), live);
    QCOMPARE(QFileInfo(store.DatabasePath() + QStringLiteral("-wal")).size(), 0);
}

void TestLibraryFile::userCommandsCommitWithFullSync() {
    TStoreFixture store;
    IBlockService &service = *store.Service();
    const TDm &dm = store.ServiceImpl().DataModule();
    TArticle article = MakeArticle(QStringLiteral("书"), QStringLiteral("甲"));
    service.SaveNewArticle(article, TLineList());
    // 2 is FULL: a commit is on the disk before "已经保存!" can be shown.
    QCOMPARE(dm.SynchronousSetting(), 2);
    {
        TBulkWork bulk(service);
        service.SaveNewArticle(article, TLineList());
        QCOMPARE(dm.SynchronousSetting(), 1); // NORMAL while the bulk work runs
        bulk.Finish();
    }
    QCOMPARE(dm.SynchronousSetting(), 2);
}

void TestLibraryFile::bulkWorkIsMadeDurableAtItsEnd() {
    TStoreFixture store;
    IBlockService &service = *store.Service();
    TBulkWork bulk(service);
    for (int i = 1; i <= 20; ++i) {
        TArticle article = MakeArticle(QStringLiteral("书"), QStringLiteral("文%1").arg(i));
        service.SaveNewArticle(article, TLineList::FromLines({QStringLiteral("正文")}));
    }
    // Inside the run the commits may wait in the WAL; at its end they are in Lumo.db.
    bulk.Finish();
    const QString copy = store.Folder().FilePath(QStringLiteral("backup.db"));
    QVERIFY(QFile::copy(store.DatabasePath(), copy));
    QCOMPARE(RowTexts(copy).size(), 20);
    QCOMPARE(QFileInfo(store.DatabasePath() + QStringLiteral("-wal")).size(), 0);
}

void TestLibraryFile::bulkScopeEndsOnTheWayOutOfAnError() {
    TStoreFixture store;
    IBlockService &service = *store.Service();
    try {
        TBulkWork bulk(service);
        TArticle article = MakeArticle(QStringLiteral("书"), QStringLiteral("甲"));
        service.SaveNewArticle(article, TLineList());
        throw EMxError(QStringLiteral("import stopped by test"));
    } catch (const EMxError &) {
    }
    // The scope ended the bulk work: the next user command is a user command again.
    TArticle article = MakeArticle(QStringLiteral("书"), QStringLiteral("乙"));
    service.SaveNewArticle(article, TLineList());
    QCOMPARE(store.ServiceImpl().DataModule().SynchronousSetting(), 2);
    const QString copy = store.Folder().FilePath(QStringLiteral("backup.db"));
    QVERIFY(QFile::copy(store.DatabasePath(), copy));
    QCOMPARE(RowTexts(copy).size(), 2);
}

void TestLibraryFile::cleanExitLeavesOnlyTheLibraryFile() {
    const auto store = std::make_unique<TStoreFixture>();
    const QString folder = store->Folder().FilePath(QStringLiteral("db"));
    {
        TBulkWork bulk(*store->Service());
        for (int i = 1; i <= 5; ++i) {
            TArticle article = MakeArticle(QStringLiteral("书"), QStringLiteral("文%1").arg(i));
            store->Service()->SaveNewArticle(article, TLineList());
        }
    } // left without Finish(), as a failed import leaves it
    TArticle article = MakeArticle(QStringLiteral("书"), QStringLiteral("末"));
    store->Service()->SaveNewArticle(article, TLineList());
    const QString path = store->DatabasePath();

    store->ReleaseService();
    QCOMPARE(FilesIn(folder), QStringList{QStringLiteral("Lumo.db")});
    QCOMPARE(RunOn(path, {QStringLiteral("PRAGMA integrity_check")}),
             QStringList{QStringLiteral("ok")});
    QCOMPARE(RowTexts(path).size(), 6);
}

QTEST_GUILESS_MAIN(TestLibraryFile)
#include "test_library_file.moc"

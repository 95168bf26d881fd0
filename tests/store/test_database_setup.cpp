#include "support/TempAppFolder.h"

#include "app/GlobalManager.h"
#include "store/BlockServiceImpl.h"
#include "store/DatabaseSetup.h"
#include "util/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {

// Runs a query on a short connection of its own and returns one column of every row.
QStringList QueryColumn(const QString &databasePath, const QString &sql, int column = 0) {
    QStringList values;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("setup-test"));
        db.setDatabaseName(databasePath);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(sql)) {
                while (query.next()) {
                    values.append(query.value(column).toString());
                }
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("setup-test"));
    return values;
}

} // namespace

class TestDatabaseSetup : public QObject {
    Q_OBJECT

private slots:
    void databasePathLiesInTheApplicationFolder();
    void createsWorkingLibraryInFreshFolder();
    void lookupsUseTheIndexes_data();
    void lookupsUseTheIndexes();
    void leavesExistingFileUntouched();
    void emptyFileIsTreatedAsMissing();
    void staleJournalFilesGoBeforeANewLibrary();
    void raisesWhereTheFileCannotBeCreated();
};

void TestDatabaseSetup::databasePathLiesInTheApplicationFolder() {
    QCOMPARE(DatabasePath(QStringLiteral("/opt/明心轩")), QStringLiteral("/opt/明心轩/db/Lumo.db"));
}

void TestDatabaseSetup::createsWorkingLibraryInFreshFolder() {
    TempAppFolder folder;
    const QString path = DatabasePath(folder.Path());
    CreateDatabaseIfMissing(path);
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(QDir(folder.FilePath(QStringLiteral("db"))).entryList(QDir::Files),
             QStringList{QStringLiteral("Lumo.db")});

    QCOMPARE(QueryColumn(path, QStringLiteral("SELECT name FROM pragma_table_info('EARTICLE')")),
             (QStringList{"ID", "LANG", "EDITION_NAME", "GRADE", "TYPE", "TITLE", "AUTHOR", "DIR",
                          "WORD_COUNT", "USE_RATE", "TEXT"}));
    QCOMPARE(QueryColumn(path, QStringLiteral("PRAGMA journal_mode")),
             QStringList{QStringLiteral("wal")});

    // The service works on it at once.
    TGlobalManager settings(folder.Path());
    TBlockServiceImpl service(path, settings);
    TArticle article;
    article.EditionName = QStringLiteral("PS.A.0");
    article.Type = 3;
    article.Title = QStringLiteral("题");
    article.Dir = QStringLiteral("书");
    service.SaveNewArticle(article, TLineList::FromLines({QStringLiteral("文")}));
    QCOMPARE(article.Id, 1);
    QCOMPARE(service.GetDirNames(), QStringList{QStringLiteral("书")});
    QCOMPARE(service.GetArticleText(article.Id).Lines(), QStringList{QStringLiteral("文")});
}

void TestDatabaseSetup::lookupsUseTheIndexes_data() {
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("index");
    QTest::newRow("article headers")
        << "SELECT ID,LANG,EDITION_NAME,GRADE,TYPE,TITLE,AUTHOR,DIR,WORD_COUNT,USE_RATE FROM "
           "EARTICLE "
           "WHERE EDITION_NAME ='PS.A.0' AND TYPE=3"
        << "EARTICLE_EDITION_TYPE";
    QTest::newRow("book names")
        << "SELECT DISTINCT DIR FROM EARTICLE WHERE EDITION_NAME ='PS.A.0' AND TYPE=3"
        << "EARTICLE_EDITION_TYPE";
    QTest::newRow("same title in the book")
        << "SELECT ID FROM EARTICLE WHERE TITLE ='t' AND TYPE=3 AND DIR='d'"
        << "EARTICLE_TITLE_TYPE_DIR";
}

void TestDatabaseSetup::lookupsUseTheIndexes() {
    QFETCH(QString, statement);
    QFETCH(QString, index);
    TempAppFolder folder;
    const QString path = DatabasePath(folder.Path());
    CreateDatabaseIfMissing(path);
    // Column 3 of a query plan row describes the step.
    const QString plan =
        QueryColumn(path, QStringLiteral("EXPLAIN QUERY PLAN ") + statement, 3).join(u'\n');
    QVERIFY2(plan.contains(index), qPrintable(plan));
}

void TestDatabaseSetup::leavesExistingFileUntouched() {
    TempAppFolder folder;
    const QByteArray content("not a database, but somebody's file");
    const QString path = folder.WriteFile(QStringLiteral("db/Lumo.db"), content);
    CreateDatabaseIfMissing(path);
    QCOMPARE(folder.ReadFile(QStringLiteral("db/Lumo.db")), content);
    QCOMPARE(QDir(folder.FilePath(QStringLiteral("db"))).entryList(QDir::Files),
             QStringList{QStringLiteral("Lumo.db")});
}

void TestDatabaseSetup::emptyFileIsTreatedAsMissing() {
    // A 0-byte Lumo.db (a failed copy, a full disk) holds nothing: it becomes a library.
    TempAppFolder folder;
    const QString path = folder.WriteFile(QStringLiteral("db/Lumo.db"), QByteArray());
    CreateDatabaseIfMissing(path);
    QCOMPARE(
        QueryColumn(path, QStringLiteral("SELECT COUNT(*) FROM pragma_table_info('EARTICLE')")),
        QStringList{QStringLiteral("11")});
    TGlobalManager settings(folder.Path());
    TBlockServiceImpl service(path, settings);
    QCOMPARE(service.GetArticles()->Count(), 0);
}

void TestDatabaseSetup::staleJournalFilesGoBeforeANewLibrary() {
    TempAppFolder folder;
    const QString path = DatabasePath(folder.Path());
    CreateDatabaseIfMissing(path);

    // A crash while saving leaves a WAL whose commits never reached Lumo.db: take a copy of
    // it while a writer still holds it open.
    const QString crashed = folder.FilePath(QStringLiteral("crashed"));
    QVERIFY(QDir().mkpath(crashed));
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("crashing"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("PRAGMA wal_autocheckpoint=0")));
        for (int i = 0; i < 40; ++i) {
            QVERIFY(query.exec(QStringLiteral("INSERT INTO EARTICLE (TITLE,DIR,[TEXT]) VALUES "
                                              "('旧%1','旧书',hex(randomblob(3000)))")
                                   .arg(i)));
        }
        for (const char *suffix : {"-wal", "-shm"}) {
            QVERIFY(QFile::copy(path + QLatin1String(suffix),
                                crashed + QStringLiteral("/Lumo.db") + QLatin1String(suffix)));
        }
        query = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("crashing"));

    // The user deletes Lumo.db; the crash's files are still beside it at the next start.
    QVERIFY(QFile::remove(path));
    for (const char *suffix : {"-wal", "-shm"}) {
        QFile::remove(path + QLatin1String(suffix));
        QVERIFY(QFile::copy(crashed + QStringLiteral("/Lumo.db") + QLatin1String(suffix),
                            path + QLatin1String(suffix)));
    }
    CreateDatabaseIfMissing(path);

    TGlobalManager settings(folder.Path());
    {
        TBlockServiceImpl service(path, settings);
        TArticle article = NewLibraryArticle(QStringLiteral("新书"), QStringLiteral("新"), {});
        service.SaveNewArticle(article, TLineList::FromLines({QStringLiteral("新文")}));
        const std::unique_ptr<TBookList> books = service.GetArticles();
        QCOMPARE(books->Count(), 1);
        QCOMPARE(books->At(0)->Name, QStringLiteral("新书"));
    }
    QCOMPARE(QueryColumn(path, QStringLiteral("PRAGMA integrity_check")),
             QStringList{QStringLiteral("ok")});
    QCOMPARE(QueryColumn(path, QStringLiteral("SELECT TITLE FROM EARTICLE")),
             QStringList{QStringLiteral("新")});
}

void TestDatabaseSetup::raisesWhereTheFileCannotBeCreated() {
    // Tests may run as root, which ignores folder permissions; a folder below a regular file
    // cannot be created by anybody.
    TempAppFolder folder;
    folder.WriteFile(QStringLiteral("blocker"), "a file, not a folder");
    const QString path = DatabasePath(folder.FilePath(QStringLiteral("blocker")));
    try {
        CreateDatabaseIfMissing(path);
        QFAIL("no error raised");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.Message().contains(path), qPrintable(error.Message()));
    }
    QCOMPARE(folder.ReadFile(QStringLiteral("blocker")), QByteArray("a file, not a folder"));
}

QTEST_GUILESS_MAIN(TestDatabaseSetup)
#include "test_database_setup.moc"

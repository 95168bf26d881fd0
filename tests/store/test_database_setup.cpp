#include "support/TempAppFolder.h"

#include "app/GlobalManager.h"
#include "store/BlockServiceImpl.h"
#include "store/DatabaseSetup.h"
#include "util/Errors.h"

#include <QDir>
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

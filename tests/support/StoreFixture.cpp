#include "StoreFixture.h"

#include "store/DatabaseSetup.h"
#include "util/Errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <atomic>

namespace {

// A short connection to an existing database file (never creating it), closed again with
// the object, so that the fixture holds nothing open between its calls.
class TRawConnection {
public:
    explicit TRawConnection(const QString &path) : FName(NewName()) {
        QString failure;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FName);
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
            db.setDatabaseName(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())
                                   .toString(QUrl::FullyEncoded) +
                               QStringLiteral("?mode=rw"));
            if (db.open()) {
                FQuery = std::make_unique<QSqlQuery>(db);
                // Test rows need no flush to disk; it only makes the tests wait.
                FQuery->exec(QStringLiteral("PRAGMA synchronous=OFF"));
            } else {
                failure = db.lastError().text();
            }
        }
        if (!failure.isEmpty()) {
            Release();
            throw EDatabaseError(failure);
        }
    }
    ~TRawConnection() { Release(); }

    TRawConnection(const TRawConnection &) = delete;
    TRawConnection &operator=(const TRawConnection &) = delete;

    QSqlQuery &Query() { return *FQuery; }

    // Prepares a statement, raising with the database's message on failure.
    void Prepare(const QString &sql) {
        if (!FQuery->prepare(sql)) {
            Fail();
        }
    }
    void Exec() {
        if (!FQuery->exec()) {
            Fail();
        }
    }

private:
    static QString NewName() {
        static std::atomic<int> counter{0};
        return QStringLiteral("mx-store-fixture-%1").arg(++counter);
    }
    [[noreturn]] void Fail() { throw EDatabaseError(FQuery->lastError().text()); }
    void Release() {
        FQuery.reset();
        {
            QSqlDatabase db = QSqlDatabase::database(FName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(FName);
    }

    QString FName;
    std::unique_ptr<QSqlQuery> FQuery;
};

const QString RowColumns =
    QStringLiteral("ID,LANG,EDITION_NAME,GRADE,TYPE,TITLE,AUTHOR,DIR,WORD_COUNT,USE_RATE,[TEXT]");

} // namespace

TStoreFixture::TStoreFixture(TDatabase database) {
    if (database == TDatabase::Created) {
        CreateDatabase();
    }
    FSettings = std::make_unique<TGlobalManager>(FFolder.Path());
    FServiceImpl = std::make_shared<TBlockServiceImpl>(DatabasePath(), *FSettings);
    FService = FServiceImpl;
}

TStoreFixture::~TStoreFixture() {
    FService.reset();
    FServiceImpl.reset();
    FSettings.reset();
}

void TStoreFixture::ReleaseService() {
    FService.reset();
    FServiceImpl.reset();
}

QString TStoreFixture::DatabasePath() const {
    return ::DatabasePath(FFolder.Path());
}

void TStoreFixture::CreateDatabase() const {
    CreateDatabaseIfMissing(DatabasePath());
}

void TStoreFixture::RemoveDatabase() const {
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        QFile::remove(DatabasePath() + QLatin1String(suffix));
    }
}

int TStoreFixture::InsertRow(const TStoreRow &row) const {
    TRawConnection connection(DatabasePath());
    connection.Prepare(
        QStringLiteral("INSERT INTO EARTICLE "
                       "(LANG,EDITION_NAME,GRADE,TYPE,TITLE,AUTHOR,DIR,WORD_COUNT,USE_RATE,[TEXT]) "
                       "VALUES (?,?,?,?,?,?,?,?,?,?)"));
    QSqlQuery &query = connection.Query();
    query.addBindValue(row.Lang);
    query.addBindValue(row.EditionName);
    query.addBindValue(row.Grade);
    query.addBindValue(row.Type);
    query.addBindValue(row.Title);
    query.addBindValue(row.Author);
    query.addBindValue(row.Dir);
    query.addBindValue(row.WordCount);
    query.addBindValue(row.UseRate);
    query.addBindValue(row.Text);
    connection.Exec();
    return query.lastInsertId().toInt();
}

int TStoreFixture::InsertArticle(const QString &dir, const QString &title,
                                 const QString &text) const {
    TStoreRow row;
    row.Dir = dir;
    row.Title = title;
    row.Text = text.isNull() ? QStringLiteral("") : text;
    return InsertRow(row);
}

QList<TStoreRow> TStoreFixture::Rows(const QString &condition) const {
    TRawConnection connection(DatabasePath());
    QString sql = QStringLiteral("SELECT ") + RowColumns + QStringLiteral(" FROM EARTICLE");
    if (!condition.isEmpty()) {
        sql += QStringLiteral(" WHERE ") + condition;
    }
    connection.Prepare(sql + QStringLiteral(" ORDER BY ID"));
    connection.Exec();
    QSqlQuery &query = connection.Query();
    QList<TStoreRow> rows;
    while (query.next()) {
        TStoreRow row;
        row.Id = query.value(0).toInt();
        row.Lang = query.value(1).toString();
        row.EditionName = query.value(2).toString();
        row.Grade = query.value(3).toInt();
        row.Type = query.value(4).toInt();
        row.Title = query.value(5).toString();
        row.Author = query.value(6).toString();
        row.Dir = query.value(7).toString();
        row.WordCount = query.value(8);
        row.UseRate = query.value(9);
        row.Text = query.value(10).toString();
        rows.append(row);
    }
    return rows;
}

std::optional<TStoreRow> TStoreFixture::Row(int id) const {
    const QList<TStoreRow> rows = Rows(QStringLiteral("ID=%1").arg(id));
    return rows.isEmpty() ? std::nullopt : std::optional<TStoreRow>(rows.first());
}

QVariant TStoreFixture::Value(int id, const QString &column) const {
    TRawConnection connection(DatabasePath());
    connection.Prepare(QStringLiteral("SELECT %1 FROM EARTICLE WHERE ID=?").arg(column));
    connection.Query().addBindValue(id);
    connection.Exec();
    return connection.Query().next() ? connection.Query().value(0) : QVariant();
}

int TStoreFixture::RowCount() const {
    TRawConnection connection(DatabasePath());
    connection.Prepare(QStringLiteral("SELECT COUNT(*) FROM EARTICLE"));
    connection.Exec();
    return connection.Query().next() ? connection.Query().value(0).toInt() : 0;
}

void TStoreFixture::Exec(const QString &sql) const {
    TRawConnection connection(DatabasePath());
    connection.Prepare(sql);
    connection.Exec();
}

#include "store/DatabaseSetup.h"

#include "util/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <atomic>

namespace {

// The whole schema of the library, in one place.
// ID grows with every new row and never reuses the key of a deleted one (AUTOINCREMENT),
// so the largest ID is always the newest article. DIR compares without regard to the case of
// Latin letters, as the book list does, so a book is the same book to every statement.
// The indexes serve the two listings (edition and type) and the replace rule's lookup of an
// article by title, type and book.
const QStringList &SchemaStatements() {
    static const QStringList statements{
        QStringLiteral("CREATE TABLE EARTICLE ("
                       "ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "LANG TEXT, "
                       "EDITION_NAME TEXT, "
                       "GRADE INTEGER, "
                       "TYPE INTEGER, "
                       "TITLE TEXT, "
                       "AUTHOR TEXT, "
                       "DIR TEXT COLLATE NOCASE, "
                       "WORD_COUNT INTEGER, "
                       "USE_RATE INTEGER, "
                       "[TEXT] TEXT)"),
        QStringLiteral("CREATE INDEX EARTICLE_EDITION_TYPE ON EARTICLE (EDITION_NAME, TYPE)"),
        QStringLiteral("CREATE INDEX EARTICLE_TITLE_TYPE_DIR ON EARTICLE (TITLE, TYPE, DIR)"),
        // Stored in the file, so every later connection writes through the WAL as well.
        QStringLiteral("PRAGMA journal_mode=WAL"),
    };
    return statements;
}

// Removes a database file together with the journal files SQLite may have left beside it.
void RemoveDatabaseFiles(const QString &filePath) {
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        QFile::remove(filePath + QLatin1String(suffix));
    }
}

QString CreationFailed(const QString &databasePath, const QString &reason) {
    return QStringLiteral("无法创建数据库文件 %1：%2")
        .arg(QDir::toNativeSeparators(databasePath), reason);
}

// Builds the schema in a new file; returns the database's message on failure, else "".
QString BuildDatabase(const QString &filePath) {
    static std::atomic<int> counter{0};
    const QString connectionName = QStringLiteral("mx-setup-%1").arg(++counter);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(filePath);
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            QSqlQuery query(db);
            for (const QString &statement : SchemaStatements()) {
                if (!query.exec(statement)) {
                    failure = query.lastError().text();
                    break;
                }
            }
            query = QSqlQuery();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connectionName);
    return failure;
}

} // namespace

QString DatabasePath(const QString &appDir) {
    return appDir + QStringLiteral("/db/Lumo.db");
}

void CreateDatabaseIfMissing(const QString &databasePath) {
    const QFileInfo target(databasePath);
    // A file of 0 bytes (a failed copy, a full disk) holds no library and counts as missing.
    // Any other file is left as it is, also where its folder cannot be written.
    if (target.exists() && target.size() > 0) {
        return;
    }
    const QString folder = target.absolutePath();
    if (!QDir().mkpath(folder)) {
        throw EDatabaseError(CreationFailed(
            databasePath,
            QStringLiteral("无法创建文件夹 %1").arg(QDir::toNativeSeparators(folder))));
    }

    // The schema is built under a temporary name and moved into place in one step, so an
    // interrupted creation never leaves a file without its table at the library's path.
    const QString building = databasePath + QStringLiteral(".creating");
    RemoveDatabaseFiles(building);
    const QString failure = BuildDatabase(building);
    if (!failure.isEmpty()) {
        RemoveDatabaseFiles(building);
        throw EDatabaseError(CreationFailed(databasePath, failure));
    }
    // Journal files left beside the missing library by a crash would be replayed into the
    // new file (and corrupt it, or bring back the rows of the deleted one): they go first.
    for (const char *suffix : {"-wal", "-shm", "-journal"}) {
        QFile::remove(databasePath + QLatin1String(suffix));
    }
    if (QFileInfo(databasePath).exists() && QFileInfo(databasePath).size() == 0) {
        QFile::remove(databasePath);
    }
    if (!QFile::rename(building, databasePath)) {
        RemoveDatabaseFiles(building);
        // Another start may have created the library in the meantime; that one is kept.
        if (!QFileInfo::exists(databasePath)) {
            throw EDatabaseError(CreationFailed(
                databasePath,
                QStringLiteral("无法重命名 %1").arg(QDir::toNativeSeparators(building))));
        }
    }
}

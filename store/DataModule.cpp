#include "store/DataModule.h"

#include "util/Errors.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>

#include <atomic>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Each data module has a connection of its own, so several may live in one process.
QString NewConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("mx-store-%1").arg(++counter);
}

QString Native(const QString &path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

bool Writable(const QString &path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

// A library that exists but whose file or folder cannot be written. A missing file is not
// read-only: it fails at the open with the database's own message.
bool LiesReadOnly(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return false;
    }
    return !Writable(info.absoluteFilePath()) || !Writable(info.absolutePath());
}

// The SQLite file name that opens an existing file and never creates one: a missing file
// fails with the database's own "unable to open" error. A read-only library is opened
// immutable: SQLite then needs no -shm file beside a WAL-mode file (which a read-only folder
// cannot take) and creates no file at all.
QString OpenExistingUri(const QString &path, bool readOnly) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded) +
           (readOnly ? QStringLiteral("?mode=ro&immutable=1") : QStringLiteral("?mode=rw"));
}

// The columns every statement of the store needs.
const QStringList &LibraryColumns() {
    static const QStringList columns{
        QStringLiteral("ID"),       QStringLiteral("LANG"), QStringLiteral("EDITION_NAME"),
        QStringLiteral("GRADE"),    QStringLiteral("TYPE"), QStringLiteral("TITLE"),
        QStringLiteral("AUTHOR"),   QStringLiteral("DIR"),  QStringLiteral("WORD_COUNT"),
        QStringLiteral("USE_RATE"), QStringLiteral("TEXT")};
    return columns;
}

// SQLite's primary result codes that say what is wrong with a file.
constexpr int SqliteCorrupt = 11;
constexpr int SqliteNotADatabase = 26;

} // namespace

TDm::TDm(const QString &databasePath, THandlePolicy policy)
    : FDatabasePath(databasePath), FConnectionName(NewConnectionName()), FPolicy(policy) {
    FConnection = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FConnectionName);
    FConnection.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
}

TDm::~TDm() {
    Close();
    // A clean end leaves Lumo.db alone: the WAL is emptied into it (and SQLite removes the
    // -wal and -shm files when the last handle closes).
    try {
        Checkpoint();
    } catch (...) {
        // The last commit is on the disk already; closing the file checkpoints once more.
    }
    CloseHandle();
    FConnection = QSqlDatabase();
    QSqlDatabase::removeDatabase(FConnectionName);
}

void TDm::Open() {
    if (FConnected) {
        return;
    }
    if (FHandleOpen && !HandleStillValid()) {
        CloseHandle();
    }
    if (!FHandleOpen) {
        OpenHandle();
    }
    FConnected = true;
}

void TDm::Close() noexcept {
    if (!FConnected) {
        return;
    }
    // A statement left open would keep a read snapshot and hold back the WAL checkpoint.
    FQuery.finish();
    FFieldIndexes.clear();
    if (FInTransaction) {
        Rollback();
    }
    FConnected = false;
    if (FPolicy == THandlePolicy::CloseHandle) {
        CloseHandle();
    }
}

void TDm::CloseAfterFailure() noexcept {
    Close();
    CloseHandle();
}

bool TDm::HandleStillValid() const {
    struct stat info {};
    if (::stat(QFile::encodeName(FDatabasePath).constData(), &info) != 0) {
        return false;
    }
    return TFileIdentity{static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino)} ==
           FHandleFile;
}

void TDm::OpenHandle() {
    // The identity is taken before opening: a file swapped in between then looks changed at
    // the next operation and is opened afresh, never the other way round.
    struct stat info {};
    FHandleFile =
        ::stat(QFile::encodeName(FDatabasePath).constData(), &info) == 0
            ? TFileIdentity{static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino)}
            : TFileIdentity{};
    FReadOnly = LiesReadOnly(FDatabasePath);
    FConnection.setDatabaseName(OpenExistingUri(FDatabasePath, FReadOnly));
    if (!FConnection.open()) {
        const QString message = FConnection.lastError().text();
        FConnection.close();
        throw EDatabaseError(
            QStringLiteral("无法打开文章库 %1：%2").arg(Native(FDatabasePath), message));
    }
    FHandleOpen = true;
    FQuery = QSqlQuery(FConnection);
    FQuery.setForwardOnly(true); // rows are walked once; Qt then keeps no copy of them
    try {
        // Nothing is written before the file is known to be a library: a foreign file is
        // left exactly as it was.
        CheckIsLibrary();
        if (!FReadOnly) {
            // WAL keeps the file consistent after a crash at any point; the synchronous
            // setting decides whether a commit is on the disk when it returns.
            RunPlain(QStringLiteral("PRAGMA journal_mode=WAL"));
            ApplySynchronous();
        }
    } catch (...) {
        CloseHandle();
        throw;
    }
}

void TDm::CheckIsLibrary() {
    const auto notALibrary = [&](const QString &what) {
        return EDatabaseError(QStringLiteral("文件 %1 不是本程序的文章库：%2。文件未作任何改动。")
                                  .arg(Native(FDatabasePath), what));
    };
    if (QFileInfo(FDatabasePath).size() == 0) {
        throw notALibrary(QStringLiteral("文件是空的（0 字节）"));
    }
    FFieldIndexes.clear();
    if (!FQuery.exec(QStringLiteral("SELECT name FROM pragma_table_info('EARTICLE')"))) {
        const QSqlError error = FQuery.lastError();
        const int code = error.nativeErrorCode().toInt() & 0xff;
        if (code == SqliteNotADatabase) {
            throw notALibrary(QStringLiteral("它不是 SQLite 数据库文件"));
        }
        if (code == SqliteCorrupt) {
            throw EDatabaseError(
                QStringLiteral("文章库 %1 已损坏：%2").arg(Native(FDatabasePath), error.text()));
        }
        throw EDatabaseError(
            QStringLiteral("无法读取文章库 %1：%2").arg(Native(FDatabasePath), error.text()));
    }
    QSet<QString> present;
    while (FQuery.next()) {
        present.insert(FQuery.value(0).toString().toUpper());
    }
    FQuery.finish();
    if (present.isEmpty()) {
        throw notALibrary(QStringLiteral("其中没有 EARTICLE 表"));
    }
    QStringList missing;
    for (const QString &column : LibraryColumns()) {
        if (!present.contains(column)) {
            missing.append(column);
        }
    }
    if (!missing.isEmpty()) {
        throw notALibrary(QStringLiteral("EARTICLE 表缺少列 ") +
                          missing.join(QStringLiteral("、")));
    }
}

void TDm::ApplySynchronous() {
    // FULL: a user's commit is on the disk when it returns. NORMAL: bulk work leaves the
    // flushing to the checkpoint at its end, which syncs the WAL and then the library file.
    RunPlain(FBulk ? QStringLiteral("PRAGMA synchronous=NORMAL")
                   : QStringLiteral("PRAGMA synchronous=FULL"));
}

bool TDm::ReadOnly() const {
    return FHandleOpen ? FReadOnly : LiesReadOnly(FDatabasePath);
}

void TDm::SetBulk(bool bulk) {
    FBulk = bulk;
    if (FHandleOpen && !FReadOnly && !FInTransaction) {
        ApplySynchronous();
    }
}

void TDm::Checkpoint() {
    if (!FHandleOpen || FReadOnly) {
        return;
    }
    // A statement left open would keep a read snapshot and hold the checkpoint back.
    FQuery.finish();
    // TRUNCATE copies every commit into the library file, syncs it and empties the WAL, so
    // that a copy of Lumo.db is a whole backup and a stale WAL has nothing to replay. A
    // reader in another program can hold it back; the commits then stay safe in the WAL.
    RunPlain(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

void TDm::CheckpointAfterCommand() noexcept {
    if (FBulk) {
        return;
    }
    try {
        Checkpoint();
    } catch (...) {
        // The command's commit is on the disk (synchronous=FULL); the next one checkpoints.
    }
}

int TDm::SynchronousSetting() const {
    if (!FHandleOpen) {
        return -1;
    }
    QSqlQuery query(FConnection);
    return query.exec(QStringLiteral("PRAGMA synchronous")) && query.next() ? query.value(0).toInt()
                                                                            : -1;
}

void TDm::CloseHandle() noexcept {
    FQuery = QSqlQuery();
    FFieldIndexes.clear();
    if (FHandleOpen) {
        FConnection.close();
    }
    FHandleOpen = false;
    FInTransaction = false;
}

void TDm::RunPlain(const QString &sql) {
    FFieldIndexes.clear();
    if (!FQuery.exec(sql)) {
        RaiseQueryError();
    }
    FQuery.finish();
}

void TDm::RaiseQueryError() const {
    throw EDatabaseError(FQuery.lastError().text());
}

void TDm::SetSql(const QString &sql) {
    FFieldIndexes.clear();
    if (!FQuery.prepare(sql)) {
        RaiseQueryError();
    }
}

void TDm::BindText(const QString &name, const QString &value) {
    // A null QString would be stored as NULL; the column holds an empty text instead.
    FQuery.bindValue(name, value.isNull() ? QString(QLatin1String("")) : value);
}

void TDm::BindInteger(const QString &name, int value) {
    FQuery.bindValue(name, value);
}

void TDm::ExecSql() {
    if (!FQuery.exec()) {
        RaiseQueryError();
    }
}

void TDm::OpenQuery() {
    ExecSql();
    const QSqlRecord columns = FQuery.record();
    for (int i = 0; i < columns.count(); ++i) {
        FFieldIndexes.insert(columns.fieldName(i), i);
    }
}

bool TDm::Next() {
    if (FQuery.next()) {
        return true;
    }
    if (FQuery.lastError().isValid()) {
        RaiseQueryError();
    }
    return false;
}

QVariant TDm::Field(const QString &name) const {
    const int index = FFieldIndexes.value(name, -1);
    if (index < 0) {
        throw EDatabaseError(QStringLiteral("no such column in the result: %1").arg(name));
    }
    return FQuery.value(index);
}

int TDm::FieldAsInteger(const QString &name) const {
    return Field(name).toInt();
}

QString TDm::FieldAsString(const QString &name) const {
    return Field(name).toString();
}

void TDm::CloseQuery() {
    FQuery.finish();
    FFieldIndexes.clear();
}

void TDm::BeginTransaction() {
    RunPlain(QStringLiteral("BEGIN IMMEDIATE"));
    FInTransaction = true;
}

void TDm::Commit() {
    RunPlain(QStringLiteral("COMMIT"));
    FInTransaction = false;
}

void TDm::Rollback() noexcept {
    if (!FInTransaction) {
        return;
    }
    try {
        RunPlain(QStringLiteral("ROLLBACK"));
        FInTransaction = false;
    } catch (...) {
        // Closing the file rolls the transaction back for certain.
        CloseHandle();
    }
}

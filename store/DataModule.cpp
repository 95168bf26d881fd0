#include "store/DataModule.h"

#include "util/Errors.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>

#include <atomic>

#include <sys/stat.h>

namespace {

// Each data module has a connection of its own, so several may live in one process.
QString NewConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("mx-store-%1").arg(++counter);
}

// The SQLite file name that opens an existing file for reading and writing and never
// creates one: a missing file fails with the database's own "unable to open" error.
QString OpenExistingUri(const QString &path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw");
}

} // namespace

TDm::TDm(const QString &databasePath, THandlePolicy policy)
    : FDatabasePath(databasePath), FConnectionName(NewConnectionName()), FPolicy(policy) {
    FConnection = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FConnectionName);
    FConnection.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    FConnection.setDatabaseName(OpenExistingUri(databasePath));
}

TDm::~TDm() {
    Close();
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
    if (!FConnection.open()) {
        const QString message = FConnection.lastError().text();
        FConnection.close();
        throw EDatabaseError(message);
    }
    FHandleOpen = true;
    FQuery = QSqlQuery(FConnection);
    FQuery.setForwardOnly(true); // rows are walked once; Qt then keeps no copy of them
    try {
        // WAL keeps the file consistent after a crash at any point, and with it
        // synchronous=NORMAL is just as safe against corruption: only the last commits before
        // a power failure may be lost, never the file. Commits then need no disk flush.
        RunPlain(QStringLiteral("PRAGMA journal_mode=WAL"));
        RunPlain(QStringLiteral("PRAGMA synchronous=NORMAL"));
    } catch (...) {
        CloseHandle();
        throw;
    }
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

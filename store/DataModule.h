#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

// The data module: the one connection to the article database and the one statement object
// that every statement of the article service runs on, one after the other.
//
// The connection is open only while an operation of the service runs (Connected()). The
// SQLite handle behind it may outlive that logical connection: opening and closing the file
// for every operation costs a WAL checkpoint with two disk flushes each time, far more than
// the operation itself. Every logical open checks that the file is still the one the handle
// was opened on and otherwise opens it afresh, so a missing or replaced file shows up at the
// next operation exactly as without the cache.
//
// The first open of a file checks that it is a library (SQLite, with EARTICLE and its
// columns) before anything is written to it. A library that lies where it cannot be written
// (a read-only file or folder) is opened read-only and never switched to WAL. User commands
// commit with synchronous=FULL and are then checkpointed, so Lumo.db alone holds every
// commit; bulk work commits with NORMAL and is checkpointed once at its end.
class TDm {
public:
    enum class THandlePolicy {
        KeepHandle, // the SQLite handle stays open between operations (the default)
        CloseHandle // every logical close closes the file too (for comparison)
    };

    // Does not open the connection.
    explicit TDm(const QString &databasePath, THandlePolicy policy = THandlePolicy::KeepHandle);
    ~TDm();

    TDm(const TDm &) = delete;
    TDm &operator=(const TDm &) = delete;

    const QString &DatabasePath() const { return FDatabasePath; }

    // True while an operation holds the connection open.
    bool Connected() const { return FConnected; }
    // Opens the existing database file; never creates it. Raises EDatabaseError naming the
    // file (with the database's own message, or what makes the file no library) and leaves
    // the connection closed when that fails.
    void Open();
    // True when the library was (or, before the first open, would be) opened read-only
    // because the file or its folder cannot be written.
    bool ReadOnly() const;
    // Bulk work commits with synchronous=NORMAL and without a checkpoint after each command;
    // leaving it restores FULL. Only between operations.
    void SetBulk(bool bulk);
    bool Bulk() const { return FBulk; }
    // Moves every commit of the WAL into the library file and empties the WAL; the file is
    // synced. Nothing to do while no handle is open or the library is read-only. Raises.
    void Checkpoint();
    // The checkpoint after a user command: its commit is already on the disk (FULL), so a
    // checkpoint that cannot run now is no failure of the command. Never raises.
    void CheckpointAfterCommand() noexcept;
    // The handle's synchronous setting (0 OFF, 1 NORMAL, 2 FULL); -1 while no handle is open.
    int SynchronousSetting() const;
    // Closes the connection; an unfinished transaction is rolled back. Never raises.
    void Close() noexcept;
    // Closes the connection after an error, letting go of the SQLite handle as well, so
    // that the next operation starts from a fresh open of the file.
    void CloseAfterFailure() noexcept;

    // Replaces the statement text and prepares it.
    void SetSql(const QString &sql);
    void BindText(const QString &name, const QString &value);
    void BindInteger(const QString &name, int value);
    // Runs a statement that returns no rows.
    void ExecSql();
    // Runs a statement that returns rows; Next() then walks them.
    void OpenQuery();
    // Moves to the next row; false at the end.
    bool Next();
    // Reads a column of the current row by name; a missing value reads as 0 or as "".
    int FieldAsInteger(const QString &name) const;
    QString FieldAsString(const QString &name) const;
    // The number of rows the last ExecSql changed.
    int RowsAffected() const { return FQuery.numRowsAffected(); }
    // Ends the rows of the current statement.
    void CloseQuery();

    // A transaction over several statements (BEGIN IMMEDIATE takes the write lock at once, so
    // a writer elsewhere makes it wait at the start instead of failing half-way).
    void BeginTransaction();
    void Commit();
    // Never raises: it runs on the way out of a failure.
    void Rollback() noexcept;

private:
    struct TFileIdentity {
        quint64 Device = 0;
        quint64 Inode = 0;
        bool operator==(const TFileIdentity &) const = default;
    };

    bool HandleStillValid() const;
    void OpenHandle();
    // Raises EDatabaseError when the open file is not a library; writes nothing.
    void CheckIsLibrary();
    void ApplySynchronous();
    void CloseHandle() noexcept;
    void RunPlain(const QString &sql);
    [[noreturn]] void RaiseQueryError() const;
    QVariant Field(const QString &name) const;

    QString FDatabasePath;
    QString FConnectionName;
    THandlePolicy FPolicy;
    QSqlDatabase FConnection; // ADOConnection1
    QSqlQuery FQuery;         // ADOQuery1
    bool FConnected = false;
    bool FHandleOpen = false;
    bool FInTransaction = false;
    bool FReadOnly = false;
    bool FBulk = false;
    TFileIdentity FHandleFile;
    QHash<QString, int> FFieldIndexes; // column positions of the current row set
};

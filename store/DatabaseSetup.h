#pragma once

#include <QString>

// Where the library lies in an application folder: db/Lumo.db.
QString DatabasePath(const QString &appDir);

// Creates the database file with its table and indexes when the file is missing or empty
// (0 bytes), first removing any -wal/-shm/-journal files a crash left beside it; any other
// existing file is left untouched, also in a read-only folder. Raises EDatabaseError when
// the file cannot be created.
void CreateDatabaseIfMissing(const QString &databasePath);

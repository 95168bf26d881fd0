#pragma once

#include <QString>

// Where the library lies in an application folder: db/Lumo.db.
QString DatabasePath(const QString &appDir);

// Creates the database file with its table and indexes when the file is missing; an
// existing file is left untouched. Raises EDatabaseError when the file cannot be created.
void CreateDatabaseIfMissing(const QString &databasePath);

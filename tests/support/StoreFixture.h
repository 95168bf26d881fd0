#pragma once

#include "TempAppFolder.h"
#include "app/GlobalManager.h"
#include "store/BlockServiceImpl.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

// One row of the article table as plain values. Defaults are those of an article of this
// library (edition PS.A.0, type 3); a test changes what it needs.
struct TStoreRow {
    int Id = 0; // filled when read back; ignored on insert
    QString Lang = QStringLiteral("zh");
    QString EditionName = QStringLiteral("PS.A.0");
    int Grade = 3;
    int Type = 3;
    QString Title;
    QString Author;
    QString Dir;
    QVariant WordCount = 0; // a null QVariant stores NULL
    QVariant UseRate = 0;   // a null QVariant stores NULL
    QString Text;           // a null QString stores NULL
};

// A temporary application folder with a library database, the settings on that folder and
// an article service on the database. Rows can be put in and read back with plain SQL
// around the service, each call on a short connection of its own.
class TStoreFixture {
public:
    enum class TDatabase { Created, Missing };

    explicit TStoreFixture(TDatabase database = TDatabase::Created);
    ~TStoreFixture();

    TStoreFixture(const TStoreFixture &) = delete;
    TStoreFixture &operator=(const TStoreFixture &) = delete;

    const TempAppFolder &Folder() const { return FFolder; }
    QString AppDir() const { return FFolder.Path(); }
    QString DatabasePath() const;
    TGlobalManager &Settings() { return *FSettings; }
    const IBlockServicePtr &Service() const { return FService; }
    TBlockServiceImpl &ServiceImpl() const { return *FServiceImpl; }
    // Lets the fixture's service go, as the main window does at its end.
    void ReleaseService();

    // Inserts a row as given; returns its new ID.
    int InsertRow(const TStoreRow &row) const;
    // Inserts an article of this library into a book; returns its new ID.
    int InsertArticle(const QString &dir, const QString &title,
                      const QString &text = QString()) const;

    // Rows in ID order; condition is an SQL condition (the part after WHERE), or all rows.
    QList<TStoreRow> Rows(const QString &condition = QString()) const;
    std::optional<TStoreRow> Row(int id) const;
    // The raw value of one column of one row; an invalid QVariant when there is no such row.
    QVariant Value(int id, const QString &column) const;
    int RowCount() const;
    // Runs any statement (a trigger, an update) on the database.
    void Exec(const QString &sql) const;

    // Creates the database when it is missing; removes it and the files beside it.
    void CreateDatabase() const;
    void RemoveDatabase() const;

private:
    TempAppFolder FFolder;
    std::unique_ptr<TGlobalManager> FSettings;
    std::shared_ptr<TBlockServiceImpl> FServiceImpl;
    IBlockServicePtr FService;
};

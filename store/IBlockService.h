#pragma once

#include "store/BlockModal.h"
#include "store/LineList.h"

#include <QList>
#include <QStringList>

#include <memory>

// The article service: the only way into the article database. One instance is shared by
// reference counting (std::shared_ptr) between the main window and the windows it hands it
// to. Every operation raises EDatabaseError with the database's message on failure.
class IBlockService {
public:
    virtual ~IBlockService() = default;

    // The names of all books of this library, in the order the database returns them.
    virtual QStringList GetDirNames() = 0;
    // The whole library as headers grouped into books; the caller owns the result.
    virtual std::unique_ptr<TBookList> GetArticles() = 0;
    // The text of one article; empty when there is no such row.
    virtual TLineList GetArticleText(int id) = 0;
    virtual void IncreaseUseRate(int id) = 0;
    // Stores a new article, first removing the article of the same title in the same book;
    // the record's Id becomes the new row's ID.
    virtual void SaveNewArticle(TArticle &article, const TLineList &lines) = 0;
    // Stores an article whole, or in numbered parts when its WordCount exceeds the limit.
    // Stored whole, the record receives the new Id; cut into parts, it stays as it was.
    virtual void SaveLongArticle(TArticle &article, const TLineList &lines) = 0;
    // Overwrites every column of the article's row, text included. Returns the number of
    // rows written: 0 when the row is gone (the caller must not report a save then).
    virtual int UpdateArticle(const TArticle &article, const TLineList &lines) = 0;
    // Renames a book in every row of any edition and type; merges with an existing book.
    virtual void RenameDir(const QString &oldName, const QString &newName) = 0;
    // Deletes the given articles by Id; an absent (null) or empty list touches nothing.
    virtual void DeleteArticles(const QList<TArticle *> *articles) = 0;
    // True when the library could only be opened for reading (a read-only file or folder):
    // the window then shows it and disables every command that writes. Every operation that
    // writes then raises EDatabaseError saying, in Chinese, that the library is read-only.
    virtual bool IsReadOnly() const = 0;

    // Durability. Each operation that writes, called on its own (a user command), commits
    // with synchronous=FULL and then checkpoints the WAL into Lumo.db: when it returns, the
    // change is on the disk and Lumo.db alone holds it. Bulk work (the package import, the
    // batch text import) stores many articles in a row; between BeginBulk() and EndBulk()
    // the operations commit with synchronous=NORMAL and without a checkpoint, and EndBulk()
    // checkpoints once, which syncs the WAL and Lumo.db: everything stored in the run is on
    // the disk before EndBulk() returns. Call it before reporting the work complete. Calls
    // nest; the outermost EndBulk() checkpoints. Use TBulkWork rather than the two calls.
    virtual void BeginBulk() = 0;
    // Raises EDatabaseError when the checkpoint fails; the bulk work has ended all the same.
    virtual void EndBulk() = 0;
};

using IBlockServicePtr = std::shared_ptr<IBlockService>;

// One run of bulk work as a scope:
//     TBulkWork bulk(service);
//     for (...) service.SaveNewArticle(...);   // or SaveLongArticle
//     bulk.Finish();                           // durable from here on; then report success
// Leaving the scope without Finish() (an error, a cancel) still ends the bulk work and
// checkpoints what was stored, but swallows a failure of that checkpoint.
class TBulkWork {
public:
    explicit TBulkWork(IBlockService &service) : FService(&service) { FService->BeginBulk(); }
    ~TBulkWork() {
        if (FService != nullptr) {
            try {
                FService->EndBulk();
            } catch (...) {
                // Already leaving on another path; the commits themselves stand.
            }
        }
    }
    TBulkWork(const TBulkWork &) = delete;
    TBulkWork &operator=(const TBulkWork &) = delete;

    // Ends the bulk work and makes it durable; raises EDatabaseError when that fails.
    void Finish() {
        IBlockService *service = FService;
        FService = nullptr;
        service->EndBulk();
    }

private:
    IBlockService *FService;
};

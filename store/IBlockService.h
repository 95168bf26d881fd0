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
    // the window then shows it and disables every command that writes.
    virtual bool IsReadOnly() const = 0;
};

using IBlockServicePtr = std::shared_ptr<IBlockService>;

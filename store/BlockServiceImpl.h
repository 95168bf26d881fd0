#pragma once

#include "store/DataModule.h"
#include "store/IBlockService.h"

#include <memory>

class TGlobalManager;

// The one implementation of the article service. Each operation is a short sequence of
// statements on the data module's one connection, opened for the operation and closed again
// at its end, also when it fails. Two rules of the library live here: storing an article
// replaces the article of the same title in the same book, and an article longer than the
// configured limit is stored as numbered parts.
class TBlockServiceImpl : public IBlockService {
public:
    // The part limit of SaveLongArticle is read from the settings at each call; the settings
    // must outlive the service. Nothing is opened here.
    TBlockServiceImpl(const QString &databasePath, const TGlobalManager &settings,
                      TDm::THandlePolicy handlePolicy = TDm::THandlePolicy::KeepHandle);

    QStringList GetDirNames() override;
    std::unique_ptr<TBookList> GetArticles() override;
    TLineList GetArticleText(int id) override;
    void IncreaseUseRate(int id) override;
    void SaveNewArticle(TArticle &article, const TLineList &lines) override;
    void SaveLongArticle(TArticle &article, const TLineList &lines) override;
    int UpdateArticle(const TArticle &article, const TLineList &lines) override;
    void RenameDir(const QString &oldName, const QString &newName) override;
    void DeleteArticles(const QList<TArticle *> *articles) override;
    bool IsReadOnly() const override;
    void BeginBulk() override;
    void EndBulk() override;

    const TDm &DataModule() const { return *FDm; }

private:
    // The replace rule and the insert, inside the caller's transaction.
    void StoreNewArticle(TArticle &article, const TLineList &lines);
    // Cuts the text into its parts and stores each, inside the caller's transaction.
    void StoreParts(const TArticle &article, const QString &text, int parts, int limit,
                    int lastSize);
    // The article with this title in this book (TYPE 3), or null.
    std::unique_ptr<TArticle> FindArticle(const QString &title, const QString &dirName);
    void RemoveArticle(const TArticle &article);

    std::unique_ptr<TDm> FDm;
    const TGlobalManager &FSettings;
    int FBulkDepth = 0;
};

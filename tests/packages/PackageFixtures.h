#pragma once

#include "store/IBlockService.h"

#include <QByteArray>
#include <QString>

#include <functional>

// Package files written by hand for the tests: a document as text, compressed with zlib.
namespace PackageFixtures {

// The values of one record; every field may be replaced by raw XML (the element left out,
// doubled, or holding something that is no number).
struct TRecord {
    QString Id = QStringLiteral("7");
    QString Language = QStringLiteral("zh");
    QString EditionName = QStringLiteral("PS.A.0");
    QString Grade = QStringLiteral("3");
    QString Type = QStringLiteral("3");
    QString Title = QStringLiteral("标题");
    QString Author = QStringLiteral("作者");
    QString Dir = QStringLiteral("书");
    QString Text = QStringLiteral("正文\r\n");
    QString WordCount = QStringLiteral("2");
    QString UseRate = QStringLiteral("0");
    // An element name whose element is left out of the record.
    QString Missing;
};

// "<Record>" with the eleven elements in the writer's order, each value in one CDATA.
QByteArray RecordXml(const TRecord &record);

// The declaration (encoding GB2312), then the root EARTICLE.DB around the given XML; all in
// code page 936.
QByteArray Document(const QByteArray &body);

QByteArray Zlib(const QByteArray &bytes, int level = 9);
QByteArray Inflated(const QByteArray &zlibBytes);

} // namespace PackageFixtures

// An article service that passes every operation on to another and lets a test change two:
// the read-only flag, and a hook run before each GetArticleText.
class TServiceDecorator : public IBlockService {
public:
    explicit TServiceDecorator(IBlockServicePtr inner) : FInner(std::move(inner)) {}

    bool ReadOnly = false;
    std::function<void(int id)> BeforeGetArticleText;

    QStringList GetDirNames() override { return FInner->GetDirNames(); }
    std::unique_ptr<TBookList> GetArticles() override { return FInner->GetArticles(); }
    TLineList GetArticleText(int id) override {
        if (BeforeGetArticleText) {
            BeforeGetArticleText(id);
        }
        return FInner->GetArticleText(id);
    }
    void IncreaseUseRate(int id) override { FInner->IncreaseUseRate(id); }
    void SaveNewArticle(TArticle &article, const TLineList &lines) override {
        FInner->SaveNewArticle(article, lines);
    }
    void SaveLongArticle(TArticle &article, const TLineList &lines) override {
        FInner->SaveLongArticle(article, lines);
    }
    int UpdateArticle(const TArticle &article, const TLineList &lines) override {
        return FInner->UpdateArticle(article, lines);
    }
    void RenameDir(const QString &oldName, const QString &newName) override {
        FInner->RenameDir(oldName, newName);
    }
    void DeleteArticles(const QList<TArticle *> *articles) override {
        FInner->DeleteArticles(articles);
    }
    bool IsReadOnly() const override { return ReadOnly; }
    void BeginBulk() override { FInner->BeginBulk(); }
    void EndBulk() override { FInner->EndBulk(); }

private:
    IBlockServicePtr FInner;
};

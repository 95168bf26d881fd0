#pragma once

#include "store/BlockModal.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The shape of a synthetic library: how many books and articles, and how long the texts.
struct TLibraryShape {
    int Books = 100;
    int Articles = 10000;    // in all; each book holds a run of consecutive articles
    int ArticleBytes = 2048; // text size in code-page-936 bytes: a Chinese character 2, ASCII 1
    int MixedPercent = 30;   // share of articles that mix ASCII words into the Chinese text
};

// Makes synthetic articles for benchmarks: Chinese text with Chinese punctuation, and in a
// share of the articles ASCII words, numbers and "&", "-", "@" words between them. The same
// seed always gives the same library.
class TLibraryGenerator {
public:
    explicit TLibraryGenerator(quint32 seed = 1);

    // Lines of 20 to 60 characters that add up to about the given size.
    QStringList ArticleLines(int bytes, bool mixed);

    static QString BookName(int book);
    static QString ArticleTitle(int article);

    // A header of this library (edition PS.A.0, type 3) whose word count is that of the text.
    static TArticle MakeHeader(const QString &dir, const QString &title, const QStringList &lines);

    // Visits every article of the shape in order: books 1..Books, each with its run.
    void ForEachArticle(
        const TLibraryShape &shape,
        const std::function<void(const TArticle &header, const QStringList &lines)> &visit);

private:
    QChar RandomHanzi();
    QString RandomAsciiWord();

    QRandomGenerator FRandom;
};

// Inserts rows the bare way: one connection, one prepared INSERT, one transaction. It fills
// libraries for benchmarks and is the yardstick the store is measured against.
class TBareWriter {
public:
    // Opens an existing database file and begins the transaction.
    explicit TBareWriter(const QString &databasePath);
    // Rolls back what was not committed.
    ~TBareWriter();

    TBareWriter(const TBareWriter &) = delete;
    TBareWriter &operator=(const TBareWriter &) = delete;

    void Insert(const TArticle &header, const QString &text);
    void Commit();

private:
    QString FConnectionName;
    std::unique_ptr<QSqlQuery> FInsert;
    bool FCommitted = false;
};

// Creates the database when it is missing and appends the whole library to it in one
// transaction. Returns the number of articles written.
int FillLibrary(const QString &databasePath, const TLibraryShape &shape, quint32 seed = 1);

// The text form stored for a plain list of lines: every line followed by CR LF.
QString StoredText(const QStringList &lines);

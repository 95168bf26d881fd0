#pragma once

#include "store/BookName.h"
#include "store/HashedList.h"

#include <QString>

// The header of one article: every column of the article table but its text.
class TArticle {
public:
    int Id = 0;
    QString Lang;
    QString EditionName;
    int Grade = 0;
    int Type = 0;
    int UseRate = 0;
    QString Title;
    QString Author;
    QString Dir;
    int WordCount = 0;
};

// Keyed by the decimal Id; nothing looks an article up by its key.
using TArticleList = THashedList<TArticle>;

// One book: its name and the headers of its articles, which it owns. A book is not stored
// on its own; it exists as the common DIR value of its articles.
class TDir {
public:
    QString Name;
    TArticleList Articles;
};

// This library's rows carry this edition and type; the listings show no others.
inline constexpr const char *LibraryEdition = "PS.A.0";
inline constexpr int LibraryType = 3;

// A header with the values the program gives the articles it creates itself (typed in or
// imported from text files): language "zh", this library's edition and type, grade 3, used 0
// times, no words counted yet, not stored yet.
TArticle NewLibraryArticle(const QString &dir, const QString &title, const QString &author);

// Book names as keys, folded as the database's COLLATE NOCASE folds DIR (A-Z only), so the
// book list and every statement agree on which names are one book.
struct TBookNameFold {
    static QString Fold(const QString &name) { return FoldBookName(name); }
};

// The whole library as GetArticles returns it: books in the order of their first article,
// keyed by name with the letter case of A-Z ignored. The holder owns the books and their
// articles.
using TBookList = THashedList<TDir, TBookNameFold>;

#pragma once

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

using TArticleList = THashedList<TArticle>;

// One book: its name and the headers of its articles, which it owns. A book is not stored
// on its own; it exists as the common DIR value of its articles.
class TDir {
public:
    QString Name;
    TArticleList Articles;
};

// The whole library as GetArticles returns it: books in the order of their first article,
// keyed by name with letter case ignored. The holder owns the books and their articles.
using TBookList = THashedList<TDir>;

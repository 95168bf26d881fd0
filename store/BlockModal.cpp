#include "store/BlockModal.h"

TArticle NewLibraryArticle(const QString &dir, const QString &title, const QString &author) {
    TArticle article;
    article.Lang = QStringLiteral("zh");
    article.EditionName = QString::fromLatin1(LibraryEdition);
    article.Grade = 3;
    article.Type = LibraryType;
    article.UseRate = 0;
    article.Title = title;
    article.Author = author;
    article.Dir = dir;
    article.WordCount = 0;
    return article;
}

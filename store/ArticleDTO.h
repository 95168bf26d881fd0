#pragma once

#include <QString>
#include <QStringList>

// An article with its text as a list of lines: what a reader module receives and what the
// text loader hands back.
class TArticleDTO {
public:
    QString Title;
    QString Author;
    QString Extra; // nothing sets or reads it
    QStringList Lines;
};

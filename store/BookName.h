#pragma once

#include <QString>

// One comparison of book names for the whole program. The database compares DIR with
// COLLATE NOCASE, which folds the Latin letters A-Z only; the tree, the replace rule and the
// rename of loaded records use the same folding, so "Äpfel" and "äpfel" are two books
// everywhere and "Book" and "book" are one book everywhere.
inline QString FoldBookName(const QString &name) {
    QString folded = name;
    for (QChar &c : folded) {
        const char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z') {
            c = QChar(static_cast<char16_t>(u + (u'a' - u'A')));
        }
    }
    return folded;
}

inline bool SameBookName(const QString &a, const QString &b) {
    return FoldBookName(a) == FoldBookName(b);
}

#pragma once

#include "store/BlockModal.h"

class QTreeWidgetItem;

// The nodes of the library tree: the root (level 0), the books (level 1) and their articles
// (level 2). Book and article nodes point at records that the window owns; every node starts
// unchecked and is made outside the tree, so that whole levels can be added at once.
namespace TreeNodes {

QTreeWidgetItem *MakeRoot();
QTreeWidgetItem *MakeBook(TDir *book);
QTreeWidgetItem *MakeArticle(TArticle *article);

// The level of a node: 0 the root, 1 a book, 2 an article.
int Level(const QTreeWidgetItem *node);

// The record behind a book or article node; null for a node of another level.
TDir *Book(const QTreeWidgetItem *node);
TArticle *Article(const QTreeWidgetItem *node);

} // namespace TreeNodes

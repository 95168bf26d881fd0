#include "app/TreeNodes.h"

#include "app/TreeIcons.h"

#include <QTreeWidgetItem>

namespace TreeNodes {

namespace {

// The record pointer rides in the node's user data.
constexpr int RecordRole = Qt::UserRole;

QTreeWidgetItem *MakeNode(const QString &caption, TreeIcons::Picture picture, void *record) {
    auto *node = new QTreeWidgetItem(QStringList{caption});
    node->setIcon(0, TreeIcons::Icon(picture));
    node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    // Set explicitly: a node without a state would show no check box.
    node->setCheckState(0, Qt::Unchecked);
    if (record != nullptr) {
        node->setData(0, RecordRole, QVariant::fromValue(record));
    }
    return node;
}

void *Record(const QTreeWidgetItem *node) {
    return node->data(0, RecordRole).value<void *>();
}

} // namespace

QTreeWidgetItem *MakeRoot() {
    return MakeNode(QStringLiteral("我的书籍"), TreeIcons::Root, nullptr);
}

QTreeWidgetItem *MakeBook(TDir *book) {
    return MakeNode(book->Name, TreeIcons::Book, book);
}

QTreeWidgetItem *MakeArticle(TArticle *article) {
    return MakeNode(article->Title, TreeIcons::Article, article);
}

int Level(const QTreeWidgetItem *node) {
    int level = 0;
    for (const QTreeWidgetItem *up = node->parent(); up != nullptr; up = up->parent()) {
        ++level;
    }
    return level;
}

TDir *Book(const QTreeWidgetItem *node) {
    return Level(node) == 1 ? static_cast<TDir *>(Record(node)) : nullptr;
}

TArticle *Article(const QTreeWidgetItem *node) {
    return Level(node) == 2 ? static_cast<TArticle *>(Record(node)) : nullptr;
}

} // namespace TreeNodes

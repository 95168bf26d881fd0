#include "app/CheckCascade.h"

#include <QAbstractItemModel>
#include <QSignalBlocker>
#include <QTreeWidget>

TCheckCascade::TCheckCascade(QTreeWidget *tree) : QObject(tree), FTree(tree) {
    connect(tree->model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight,
                   const QList<int> &roles) {
                // A tree item reports each change of its own; roles name what changed.
                if (topLeft != bottomRight || !roles.contains(Qt::CheckStateRole)) {
                    return;
                }
                if (QTreeWidgetItem *node = FTree->itemFromIndex(topLeft)) {
                    CheckStateChanged(node);
                }
            });
}

Qt::CheckState TCheckCascade::Toggled(Qt::CheckState state) {
    return state == Qt::Checked ? Qt::Unchecked : Qt::Checked;
}

Qt::CheckState TCheckCascade::StateFromChildren(const QTreeWidgetItem *node) {
    const int count = node->childCount();
    if (count == 0) {
        return node->checkState(0);
    }
    int checked = 0;
    int unchecked = 0;
    for (int i = 0; i < count; ++i) {
        switch (node->child(i)->checkState(0)) {
        case Qt::Checked:
            ++checked;
            break;
        case Qt::Unchecked:
            ++unchecked;
            break;
        case Qt::PartiallyChecked:
            return Qt::PartiallyChecked;
        }
        if (checked > 0 && unchecked > 0) {
            return Qt::PartiallyChecked;
        }
    }
    return checked == count ? Qt::Checked : Qt::Unchecked;
}

void TCheckCascade::SetState(QTreeWidgetItem *node, Qt::CheckState state) {
    {
        const QSignalBlocker quiet(FTree->model());
        SetSubtree(node, state);
        RecomputeAncestors(node);
    }
    FTree->viewport()->update();
}

void TCheckCascade::UpdateAncestors(QTreeWidgetItem *node) {
    {
        const QSignalBlocker quiet(FTree->model());
        RecomputeAncestors(node);
    }
    FTree->viewport()->update();
}

void TCheckCascade::CheckStateChanged(QTreeWidgetItem *node) {
    const Qt::CheckState state = node->checkState(0);
    if (state == Qt::PartiallyChecked) {
        // Only a recomputation makes a node partial; its subtree stays as it is.
        UpdateAncestors(node);
        return;
    }
    SetState(node, state);
}

void TCheckCascade::SetSubtree(QTreeWidgetItem *node, Qt::CheckState state) {
    node->setCheckState(0, state);
    const int count = node->childCount();
    for (int i = 0; i < count; ++i) {
        SetSubtree(node->child(i), state);
    }
}

void TCheckCascade::RecomputeAncestors(QTreeWidgetItem *node) {
    for (QTreeWidgetItem *parent = node->parent(); parent != nullptr; parent = parent->parent()) {
        parent->setCheckState(0, StateFromChildren(parent));
    }
}

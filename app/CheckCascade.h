#pragma once

#include <QObject>

class QTreeWidget;
class QTreeWidgetItem;

// The check boxes of the library tree. A toggle (a click on a check box, the space key on the
// selected node) turns a checked node unchecked and any other node checked; the node's whole
// subtree takes its new state, and every node above is recomputed from its children: checked
// when all are checked, unchecked when all are unchecked, partially checked otherwise.
//
// The tree itself toggles the clicked node (its items are user-checkable but not tri-state,
// which gives exactly the toggle above); this object follows every check-state change that it
// did not make itself and spreads it. It works with the model's signals blocked, so that
// checking the root of a large library costs one pass over the nodes.
class TCheckCascade : public QObject {
    Q_OBJECT

public:
    // Watches the tree's check states; the tree owns this object.
    explicit TCheckCascade(QTreeWidget *tree);

    // The state a toggle gives a node in the given state.
    static Qt::CheckState Toggled(Qt::CheckState state);
    // The state of a node recomputed from its children; a node without children keeps its own.
    static Qt::CheckState StateFromChildren(const QTreeWidgetItem *node);

    // Gives the node and everything below it the state, then recomputes the nodes above.
    void SetState(QTreeWidgetItem *node, Qt::CheckState state);
    // Recomputes the nodes above a node whose state was set directly (a node just added).
    void UpdateAncestors(QTreeWidgetItem *node);

private:
    void CheckStateChanged(QTreeWidgetItem *node);
    void SetSubtree(QTreeWidgetItem *node, Qt::CheckState state);
    void RecomputeAncestors(QTreeWidgetItem *node);

    QTreeWidget *FTree;
};

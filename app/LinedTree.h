#pragma once

#include <QTreeWidget>

// A tree widget that joins its nodes with dotted lines: from each node up to the one before
// it, on down to its next sibling, and across to its caption, with the expand buttons the
// style draws left clear. The toolkit's own styles here draw the buttons only.
class TLinedTree : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;

protected:
    void drawBranches(QPainter *painter, const QRect &rect,
                      const QModelIndex &index) const override;
};

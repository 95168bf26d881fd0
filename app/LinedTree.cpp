#include "app/LinedTree.h"

#include <QPainter>
#include <QPen>

namespace {

// Half the side of the square that the expand button keeps free of lines.
constexpr int ButtonClearance = 5;

const QColor LineColour(128, 128, 128);

bool HasNextSibling(const QModelIndex &index) {
    return index.sibling(index.row() + 1, index.column()).isValid();
}

} // namespace

void TLinedTree::drawBranches(QPainter *painter, const QRect &rect,
                              const QModelIndex &index) const {
    QTreeWidget::drawBranches(painter, rect, index);
    const int indent = indentation();
    if (indent <= 0 || isRightToLeft()) {
        return;
    }

    // One column of the indentation per level, the node's own the last: rect holds them all.
    QList<QModelIndex> chain; // the node, then its ancestors
    for (QModelIndex up = index; up.isValid(); up = up.parent()) {
        chain.append(up);
    }
    const int levels = static_cast<int>(chain.size()) - (rootIsDecorated() ? 0 : 1);
    const int left = rect.right() + 1 - levels * indent;

    painter->save();
    painter->setPen(QPen(LineColour, 0, Qt::DotLine));
    const int centre = rect.top() + rect.height() / 2;
    for (int column = 0; column < levels; ++column) {
        const QModelIndex &node = chain.at(levels - 1 - column);
        const int middle = left + column * indent + indent / 2;
        if (node != index) {
            // An ancestor's line runs on past this row to the ancestor's next sibling.
            if (HasNextSibling(node)) {
                painter->drawLine(middle, rect.top(), middle, rect.bottom());
            }
            continue;
        }
        const bool hasButton = model()->hasChildren(index);
        const int clearance = hasButton ? ButtonClearance : 0;
        const bool first = !index.parent().isValid() && index.row() == 0;
        if (!first) {
            painter->drawLine(middle, rect.top(), middle, centre - clearance);
        }
        if (HasNextSibling(index)) {
            painter->drawLine(middle, centre + clearance, middle, rect.bottom());
        }
        painter->drawLine(middle + clearance, centre, left + (column + 1) * indent - 1, centre);
    }
    painter->restore();
}

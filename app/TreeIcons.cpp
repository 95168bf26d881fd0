#include "app/TreeIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace TreeIcons {

namespace {

QPixmap BlankPicture() {
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A shelf of three books of different colours: the whole library.
QPixmap DrawRoot() {
    QPixmap pixmap = BlankPicture();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x5a, 0x3a, 0x1a), 1));
    painter.setBrush(QColor(0x8b, 0x5a, 0x2b));
    painter.drawRect(QRectF(0.5, 15.5, 17, 2)); // the shelf board
    const QColor spines[] = {QColor(0xc0, 0x39, 0x2b), QColor(0x29, 0x80, 0xb9),
                             QColor(0x27, 0xae, 0x60)};
    const qreal heights[] = {12, 10, 13};
    qreal left = 2.5;
    for (int i = 0; i < 3; ++i) {
        painter.setPen(QPen(spines[i].darker(150), 1));
        painter.setBrush(spines[i]);
        painter.drawRect(QRectF(left, 15.5 - heights[i], 4, heights[i]));
        painter.setPen(QPen(QColor(0xf5, 0xd7, 0x6e), 1));
        painter.drawLine(QPointF(left + 1, 15.5 - heights[i] + 3),
                         QPointF(left + 3, 15.5 - heights[i] + 3));
        left += 5;
    }
    return pixmap;
}

// A closed book seen from the front, its spine on the left.
QPixmap DrawBook() {
    QPixmap pixmap = BlankPicture();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x1f, 0x4e, 0x8c), 1));
    painter.setBrush(QColor(0x3b, 0x7d, 0xd8));
    painter.drawRoundedRect(QRectF(3.5, 1.5, 12, 15), 1.5, 1.5);
    painter.setBrush(QColor(0x1f, 0x4e, 0x8c));
    painter.drawRect(QRectF(3.5, 1.5, 2.5, 15)); // the spine
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(8, 5, 5.5, 2)); // the title label
    painter.setPen(QPen(QColor(0xf2, 0xf2, 0xf2), 1));
    painter.drawLine(QPointF(14.5, 3), QPointF(14.5, 15)); // the page edges
    return pixmap;
}

// A sheet of paper with lines of text and a folded corner.
QPixmap DrawArticle() {
    QPixmap pixmap = BlankPicture();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath sheet;
    sheet.moveTo(3.5, 1.5);
    sheet.lineTo(11.5, 1.5);
    sheet.lineTo(15.5, 5.5);
    sheet.lineTo(15.5, 16.5);
    sheet.lineTo(3.5, 16.5);
    sheet.closeSubpath();
    painter.setPen(QPen(QColor(0x6b, 0x6b, 0x6b), 1));
    painter.setBrush(Qt::white);
    painter.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(11.5, 1.5);
    corner.lineTo(11.5, 5.5);
    corner.lineTo(15.5, 5.5);
    painter.setBrush(QColor(0xd9, 0xd9, 0xd9));
    painter.drawPath(corner);
    painter.setPen(QPen(QColor(0x4a, 0x90, 0xd9), 1));
    for (qreal y = 7.5; y < 16; y += 2.5) {
        painter.drawLine(QPointF(5.5, y), QPointF(13.5, y));
    }
    return pixmap;
}

} // namespace

const QIcon &Icon(Picture picture) {
    // Made on first use (a pixmap needs the application object) and kept to the end of the
    // process, so that no pixmap outlives the application object's destruction order.
    static const auto *icons =
        new std::array<QIcon, 3>{QIcon(DrawRoot()), QIcon(DrawBook()), QIcon(DrawArticle())};
    return icons->at(static_cast<size_t>(picture));
}

} // namespace TreeIcons

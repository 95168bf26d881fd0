#include "app/AppIconPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace AppIconPicture {

namespace {

// The drawing works in a square of 64 units.
constexpr qreal Units = 64;

void DrawTile(QPainter &p) {
    QLinearGradient tile(0, 0, 0, Units);
    tile.setColorAt(0, QColor(0xb0, 0x2a, 0x22));
    tile.setColorAt(1, QColor(0x5a, 0x0c, 0x0e));
    p.setPen(QPen(QColor(0x3c, 0x06, 0x08), 1.2));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2, 2, Units - 4, Units - 4), 12, 12);
}

void DrawBook(QPainter &p, bool small) {
    const QColor paper(0xfb, 0xf6, 0xe6);
    p.setPen(QPen(QColor(0x2e, 0x05, 0x06), small ? 0 : 1.0));
    p.setBrush(QColor(0x2e, 0x05, 0x06));
    QPainterPath cover;
    cover.moveTo(8, 20);
    cover.lineTo(32, 25);
    cover.lineTo(56, 20);
    cover.lineTo(56, 49);
    cover.lineTo(32, 54);
    cover.lineTo(8, 49);
    cover.closeSubpath();
    p.drawPath(cover);

    p.setPen(small ? Qt::NoPen : QPen(QColor(0x9c, 0x86, 0x5c), 0.8));
    p.setBrush(paper);
    QPainterPath left;
    left.moveTo(10, 16);
    left.cubicTo(18, 13, 26, 15, 32, 21);
    left.lineTo(32, 51);
    left.cubicTo(26, 46, 18, 45, 10, 47);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(54, 16);
    right.cubicTo(46, 13, 38, 15, 32, 21);
    right.lineTo(32, 51);
    right.cubicTo(38, 46, 46, 45, 54, 47);
    right.closeSubpath();
    p.drawPath(left);
    p.drawPath(right);

    if (!small) {
        p.setPen(QPen(QColor(0xb9, 0xa7, 0x84), 1.6, Qt::SolidLine, Qt::RoundCap));
        for (int row = 0; row < 4; ++row) {
            const qreal y = 25 + row * 6;
            p.drawLine(QPointF(14, y - 1), QPointF(28, y + 1.5));
            p.drawLine(QPointF(36, y + 1.5), QPointF(50, y - 1));
        }
    }
    // the lit line of a line reading
    p.setPen(QPen(QColor(0xf0, 0xb0, 0x30), small ? 4.0 : 2.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(36, 33.5), QPointF(50, 31));
}

} // namespace

QImage Paint(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / Units, side / Units);
    DrawTile(p);
    // Below 32 pixels the page lines would only blur: the small icon keeps book and light.
    DrawBook(p, side < 32);
    p.end();
    return image;
}

} // namespace AppIconPicture

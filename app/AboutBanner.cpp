#include "app/AboutBanner.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace AboutBanner {

namespace {

const QColor Gold(0xf0, 0xc8, 0x6e);
const QColor Paper(0xfb, 0xf6, 0xe6);

void DrawBand(QPainter &p) {
    QLinearGradient band(0, 0, Width, Height);
    band.setColorAt(0, QColor(0x52, 0x0a, 0x0c));
    band.setColorAt(0.55, QColor(0x8a, 0x1a, 0x1b));
    band.setColorAt(1, QColor(0xa8, 0x3c, 0x26));
    p.fillRect(QRect(0, 0, Width, Height), band);

    // the glow of a reading lamp behind the book
    QRadialGradient glow(QPointF(80, 70), 95);
    glow.setColorAt(0, QColor(0xff, 0xd9, 0x8a, 120));
    glow.setColorAt(1, QColor(0xff, 0xd9, 0x8a, 0));
    p.fillRect(QRect(0, 0, Width, Height), glow);

    // a thin gold rule along the bottom edge
    p.fillRect(QRect(0, Height - 3, Width, 3), Gold.darker(115));
}

// Lines of "text" with one stretch lit, as a line reading shows it.
void DrawReadingLines(QPainter &p) {
    p.setPen(Qt::NoPen);
    const int left = 168;
    for (int row = 0; row < 3; ++row) {
        const qreal y = 108 + row * 9;
        const qreal right = row == 2 ? 330 : 398;
        p.setBrush(QColor(255, 255, 255, 48));
        p.drawRoundedRect(QRectF(left, y, right - left, 3.5), 1.7, 1.7);
    }
    p.setBrush(Gold);
    p.drawRoundedRect(QRectF(236, 116.5, 62, 4.5), 2, 2);
}

void DrawBook(QPainter &p) {
    const QColor cover(0x3a, 0x06, 0x08);
    p.setPen(QPen(cover.darker(140), 1.2));
    p.setBrush(cover);
    QPainterPath base;
    base.moveTo(22, 44);
    base.lineTo(80, 54);
    base.lineTo(138, 44);
    base.lineTo(138, 108);
    base.lineTo(80, 118);
    base.lineTo(22, 108);
    base.closeSubpath();
    p.drawPath(base);

    p.setPen(QPen(QColor(0x9c, 0x86, 0x5c), 1.0));
    p.setBrush(Paper);
    QPainterPath left;
    left.moveTo(27, 37);
    left.cubicTo(46, 31, 66, 35, 80, 47);
    left.lineTo(80, 112);
    left.cubicTo(66, 101, 46, 98, 27, 103);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(133, 37);
    right.cubicTo(114, 31, 94, 35, 80, 47);
    right.lineTo(80, 112);
    right.cubicTo(94, 101, 114, 98, 133, 103);
    right.closeSubpath();
    p.drawPath(left);
    p.drawPath(right);

    // lines on the pages, one of them lit
    p.setPen(QPen(QColor(0xb9, 0xa7, 0x84), 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int row = 0; row < 6; ++row) {
        const qreal y = 50 + row * 9;
        p.drawLine(QPointF(35, y - 2), QPointF(72, y + 3));
        p.drawLine(QPointF(88, y + 3), QPointF(125, y - 2));
    }
    p.setPen(QPen(QColor(0xd8, 0x8c, 0x1c), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(88, 68 + 3), QPointF(118, 68 - 1));

    // a ribbon marker from the spine
    p.setPen(Qt::NoPen);
    p.setBrush(Gold);
    QPainterPath ribbon;
    ribbon.moveTo(78, 112);
    ribbon.lineTo(84, 112);
    ribbon.lineTo(84, 132);
    ribbon.lineTo(81, 128);
    ribbon.lineTo(78, 132);
    ribbon.closeSubpath();
    p.drawPath(ribbon);
}

void DrawTitle(QPainter &p) {
    QFont title;
    title.setFamilies({QStringLiteral("Noto Serif CJK SC"), QStringLiteral("SimSun"),
                       QStringLiteral("Noto Sans CJK SC")});
    title.setPixelSize(36);
    title.setBold(true);
    p.setFont(title);
    const QString name = QStringLiteral("明心轩阅读器");
    p.setPen(QColor(0, 0, 0, 110));
    p.drawText(QPointF(168 + 2, 70 + 2), name);
    p.setPen(Qt::white);
    p.drawText(QPointF(168, 70), name);

    QFont subtitle = title;
    subtitle.setBold(false);
    subtitle.setPixelSize(15);
    subtitle.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(subtitle);
    p.setPen(QColor(0xf6, 0xdd, 0xa8));
    p.drawText(QPointF(170, 96), QStringLiteral("快速阅读训练 · 个人文章库"));
}

} // namespace

QPixmap Paint() {
    QPixmap pixmap(Width, Height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    DrawBand(p);
    DrawReadingLines(p);
    DrawBook(p);
    DrawTitle(p);
    return pixmap;
}

} // namespace AboutBanner

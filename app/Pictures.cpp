#include "app/Pictures.h"

#include "app/AppIconPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <functional>

namespace Pictures {

namespace {

using TDraw = std::function<void(QPainter &)>;

// Draws in a square of `units` units on a transparent pixmap of `side` pixels.
QPixmap Paint(int side, qreal units, const TDraw &draw) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(side / units, side / units);
    draw(painter);
    return pixmap;
}

// An icon drawn for its own size and for twice that size.
QIcon MakeIcon(int side, const TDraw &draw) {
    QIcon icon;
    icon.addPixmap(Paint(side, side, draw));
    icon.addPixmap(Paint(side * 2, side, draw));
    return icon;
}

const QColor Ink(0x4a, 0x5a, 0x70);

// A sheet of paper with a folded corner and a few lines of text.
void DrawPage(QPainter &p, const QRectF &r) {
    const qreal fold = r.width() * 0.32;
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    QLinearGradient paper(r.topLeft(), r.bottomRight());
    paper.setColorAt(0, Qt::white);
    paper.setColorAt(1, QColor(0xdd, 0xe5, 0xef));
    p.setPen(QPen(Ink, r.width() / 14.0));
    p.setBrush(paper);
    p.drawPath(sheet);

    p.setBrush(QColor(0xc3, 0xcf, 0xdd));
    p.drawPolygon(
        QPolygonF({QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                   QPointF(r.right(), r.top() + fold)}));

    const qreal margin = r.width() * 0.18;
    const qreal gap = r.height() / 6.5;
    p.setPen(QPen(QColor(0x86, 0x9c, 0xb8), r.width() / 12.0, Qt::SolidLine, Qt::RoundCap));
    int line = 0;
    for (qreal y = r.top() + fold + gap * 0.6; y < r.bottom() - gap * 0.6; y += gap, ++line) {
        const qreal right = (line % 3 == 2) ? r.center().x() : r.right() - margin;
        p.drawLine(QPointF(r.left() + margin, y), QPointF(right, y));
    }
}

enum class TBadge { Plus, Cross, Minus };

// A round badge with a white sign, drawn over the corner of a glyph.
void DrawBadge(QPainter &p, const QPointF &center, qreal radius, const QColor &color, TBadge sign) {
    QRadialGradient shine(center - QPointF(radius / 3, radius / 3), radius * 1.4);
    shine.setColorAt(0, color.lighter(150));
    shine.setColorAt(1, color.darker(115));
    p.setPen(QPen(color.darker(160), radius / 6));
    p.setBrush(shine);
    p.drawEllipse(center, radius, radius);
    p.setPen(QPen(Qt::white, radius / 2.8, Qt::SolidLine, Qt::RoundCap));
    const qreal arm = radius * 0.5;
    switch (sign) {
    case TBadge::Plus:
        p.drawLine(center - QPointF(arm, 0), center + QPointF(arm, 0));
        p.drawLine(center - QPointF(0, arm), center + QPointF(0, arm));
        break;
    case TBadge::Cross:
        p.drawLine(center - QPointF(arm, arm), center + QPointF(arm, arm));
        p.drawLine(center + QPointF(-arm, arm), center + QPointF(arm, -arm));
        break;
    case TBadge::Minus:
        p.drawLine(center - QPointF(arm, 0), center + QPointF(arm, 0));
        break;
    }
}

// A closed book seen from the front: cover, spine and the white edge of the pages.
void DrawBook(QPainter &p, const QRectF &r, const QColor &cover) {
    const qreal edge = r.width() / 9;
    p.setPen(QPen(cover.darker(170), r.width() / 18));
    p.setBrush(QColor(0xf4, 0xf1, 0xe6));
    p.drawRoundedRect(r.adjusted(edge, edge, 0, 0), edge, edge);
    QLinearGradient shade(r.topLeft(), r.topRight());
    shade.setColorAt(0, cover.darker(130));
    shade.setColorAt(0.25, cover.lighter(120));
    shade.setColorAt(1, cover);
    p.setBrush(shade);
    p.drawRoundedRect(r.adjusted(0, 0, -edge, -edge), edge, edge);
    p.setPen(QPen(cover.darker(160), r.width() / 20));
    p.drawLine(QPointF(r.left() + r.width() * 0.2, r.top() + edge),
               QPointF(r.left() + r.width() * 0.2, r.bottom() - 2 * edge));
    p.setPen(QPen(QColor(255, 255, 255, 190), r.width() / 16, Qt::SolidLine, Qt::RoundCap));
    const qreal labelLeft = r.left() + r.width() * 0.36;
    const qreal labelRight = r.right() - r.width() * 0.25;
    p.drawLine(QPointF(labelLeft, r.top() + r.height() * 0.3),
               QPointF(labelRight, r.top() + r.height() * 0.3));
    p.drawLine(QPointF(labelLeft, r.top() + r.height() * 0.42),
               QPointF(labelRight - r.width() * 0.12, r.top() + r.height() * 0.42));
}

// A cardboard box, the article package.
void DrawPackage(QPainter &p, const QRectF &r) {
    const qreal depth = r.height() * 0.28;
    const QColor card(0xd9, 0xa4, 0x5b);
    p.setPen(QPen(card.darker(170), r.width() / 20));
    QLinearGradient front(r.topLeft(), r.bottomLeft());
    front.setColorAt(0, card.lighter(110));
    front.setColorAt(1, card.darker(112));
    p.setBrush(front);
    p.drawRect(QRectF(r.left(), r.top() + depth, r.width() - depth, r.height() - depth));
    p.setBrush(card.lighter(130));
    p.drawPolygon(
        QPolygonF({QPointF(r.left(), r.top() + depth), QPointF(r.left() + depth, r.top()),
                   QPointF(r.right(), r.top()), QPointF(r.right() - depth, r.top() + depth)}));
    p.setBrush(card.darker(125));
    p.drawPolygon(QPolygonF({QPointF(r.right() - depth, r.top() + depth),
                             QPointF(r.right(), r.top()), QPointF(r.right(), r.bottom() - depth),
                             QPointF(r.right() - depth, r.bottom())}));
    // the tape across the lid and down the front
    p.setPen(QPen(QColor(0xf3, 0xe3, 0xb8), r.width() / 9));
    const qreal tapeX = r.left() + (r.width() - depth) / 2;
    p.drawLine(QPointF(tapeX, r.top() + depth), QPointF(tapeX, r.top() + depth * 1.8));
    p.drawLine(QPointF(tapeX, r.top() + depth), QPointF(tapeX + depth, r.top()));
}

// A thick arrow from `from` to `to`.
void DrawArrow(QPainter &p, const QPointF &from, const QPointF &to, const QColor &color,
               qreal width) {
    const QLineF shaft(from, to);
    const qreal head = width * 1.7;
    QLineF back(to, from);
    back.setLength(head);
    const QPointF base = back.p2();
    QLineF normal = back.normalVector();
    normal.setLength(head * 0.85);
    const QPointF side = normal.p2() - normal.p1();

    p.setPen(QPen(color.darker(150), width + 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(shaft.p1(), base);
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(shaft.p1(), base);
    p.setPen(QPen(color.darker(150), 0.8));
    p.setBrush(color);
    p.drawPolygon(QPolygonF({to, base + side, base - side}));
}

// A glossy round button face.
void DrawDisc(QPainter &p, const QRectF &r, const QColor &color) {
    QRadialGradient shine(r.center() - QPointF(r.width() / 5, r.height() / 4), r.width() * 0.8);
    shine.setColorAt(0, color.lighter(170));
    shine.setColorAt(0.6, color);
    shine.setColorAt(1, color.darker(130));
    p.setPen(QPen(color.darker(170), r.width() / 24));
    p.setBrush(shine);
    p.drawEllipse(r);
}

QFont GlyphFont(qreal pixels, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(qRound(pixels));
    font.setBold(bold);
    return font;
}

void DrawToolbar(QPainter &p, TToolbarPicture picture) {
    switch (picture) {
    case TToolbarPicture::AddArticle:
        DrawPage(p, QRectF(5, 2, 19, 25));
        DrawBadge(p, QPointF(23, 23), 7, QColor(0x2f, 0xa3, 0x3c), TBadge::Plus);
        break;
    case TToolbarPicture::DeleteArticles:
        DrawPage(p, QRectF(5, 2, 19, 25));
        DrawBadge(p, QPointF(23, 23), 7, QColor(0xd2, 0x35, 0x2c), TBadge::Cross);
        break;
    case TToolbarPicture::AddDir:
        DrawBook(p, QRectF(3, 3, 21, 25), QColor(0x2e, 0x6d, 0xb4));
        DrawBadge(p, QPointF(24, 23), 7, QColor(0x2f, 0xa3, 0x3c), TBadge::Plus);
        break;
    case TToolbarPicture::ExportArticles:
        DrawPackage(p, QRectF(2, 12, 22, 18));
        DrawArrow(p, QPointF(15, 16), QPointF(29, 3), QColor(0x2f, 0xa3, 0x3c), 3.6);
        break;
    case TToolbarPicture::ImportArticles:
        DrawPackage(p, QRectF(2, 12, 22, 18));
        DrawArrow(p, QPointF(29, 1), QPointF(15, 14), QColor(0x2b, 0x6c, 0xc4), 3.6);
        break;
    case TToolbarPicture::UserCenter: {
        DrawDisc(p, QRectF(3, 3, 26, 26), QColor(0x2b, 0x6c, 0xc4));
        p.setPen(Qt::white);
        p.setFont(GlyphFont(20, true));
        p.drawText(QRectF(3, 2, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case TToolbarPicture::Exit: {
        DrawDisc(p, QRectF(3, 3, 26, 26), QColor(0xc9, 0x33, 0x2b));
        p.setPen(QPen(Qt::white, 2.8, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(9.5, 10, 13, 13), 125 * 16, 290 * 16);
        p.drawLine(QPointF(16, 7.5), QPointF(16, 15));
        break;
    }
    }
}

void DrawEditButton(QPainter &p, TEditPicture picture) {
    const QPen ink(Ink, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (picture) {
    case TEditPicture::Cut:
        p.setPen(QPen(QColor(0x55, 0x60, 0x70), 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5.8, 10), QPointF(11, 1.5));
        p.drawLine(QPointF(10.2, 10), QPointF(5, 1.5));
        p.setPen(QPen(QColor(0xc0, 0x2b, 0x2b), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(4.5, 12.3), 2.4, 2.4);
        p.drawEllipse(QPointF(11.5, 12.3), 2.4, 2.4);
        break;
    case TEditPicture::Copy:
        DrawPage(p, QRectF(1.5, 1.5, 9, 11));
        DrawPage(p, QRectF(5.5, 4, 9, 11));
        break;
    case TEditPicture::Paste:
        p.setPen(QPen(QColor(0x7a, 0x4f, 0x1e), 1));
        p.setBrush(QColor(0xc8, 0x8a, 0x3e));
        p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12.5), 1.5, 1.5);
        p.setBrush(QColor(0xb0, 0xb6, 0xbe));
        p.drawRoundedRect(QRectF(4, 1, 5, 3), 1, 1);
        DrawPage(p, QRectF(6.5, 6, 8, 9.5));
        break;
    case TEditPicture::Undo: {
        p.setPen(QPen(QColor(0x2b, 0x6c, 0xc4), 2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath turn;
        turn.moveTo(4, 7);
        turn.cubicTo(8, 3, 15, 4.5, 13.5, 10);
        turn.cubicTo(12.8, 12.5, 10.5, 13.5, 8, 13.5);
        p.drawPath(turn);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2b, 0x6c, 0xc4));
        p.drawPolygon(QPolygonF({QPointF(1.5, 3), QPointF(7.5, 4.5), QPointF(3, 10)}));
        break;
    }
    case TEditPicture::Wrap: {
        p.setPen(ink);
        p.drawLine(QPointF(2, 3), QPointF(14, 3));
        p.drawLine(QPointF(2, 7), QPointF(12, 7));
        p.setPen(QPen(QColor(0x2b, 0x6c, 0xc4), 1.5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath back;
        back.moveTo(12, 7);
        back.cubicTo(15.5, 7, 15.5, 12, 12, 12);
        back.lineTo(5, 12);
        p.drawPath(back);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2b, 0x6c, 0xc4));
        p.drawPolygon(QPolygonF({QPointF(2.5, 12), QPointF(6.5, 9.2), QPointF(6.5, 14.8)}));
        break;
    }
    case TEditPicture::RemoveBlankLines:
        p.setPen(ink);
        p.drawLine(QPointF(2, 2.5), QPointF(14, 2.5));
        p.drawLine(QPointF(2, 5.5), QPointF(14, 5.5));
        p.setPen(QPen(Ink, 1, Qt::DotLine));
        p.drawLine(QPointF(2, 9), QPointF(9, 9));
        p.setPen(ink);
        p.drawLine(QPointF(2, 13), QPointF(9, 13));
        DrawBadge(p, QPointF(12.2, 11), 3.6, QColor(0xd2, 0x35, 0x2c), TBadge::Minus);
        break;
    case TEditPicture::WordCount:
        p.setPen(QPen(Ink, 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 2, 2);
        p.setPen(QColor(0x1f, 0x4e, 0x96));
        p.setFont(GlyphFont(13, true));
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("字"));
        break;
    }
}

} // namespace

QIcon Toolbar(TToolbarPicture picture) {
    return MakeIcon(32, [picture](QPainter &p) { DrawToolbar(p, picture); });
}

QIcon EditButton(TEditPicture picture) {
    return MakeIcon(16, [picture](QPainter &p) { DrawEditButton(p, picture); });
}

QPixmap Logo() {
    QPixmap pixmap(114, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // an open book
    const QColor cover(0x9b, 0x1c, 0x1c);
    p.setPen(QPen(cover.darker(130), 1.2));
    p.setBrush(cover);
    QPainterPath base;
    base.moveTo(3, 15);
    base.lineTo(21, 19);
    base.lineTo(39, 15);
    base.lineTo(39, 39);
    base.lineTo(21, 43);
    base.lineTo(3, 39);
    base.closeSubpath();
    p.drawPath(base);
    p.setPen(QPen(QColor(0x8c, 0x7a, 0x5a), 0.8));
    p.setBrush(QColor(0xfb, 0xf7, 0xea));
    QPainterPath left;
    left.moveTo(5, 12);
    left.cubicTo(11, 10, 17, 12, 21, 16);
    left.lineTo(21, 40);
    left.cubicTo(17, 36, 11, 35, 5, 37);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(37, 12);
    right.cubicTo(31, 10, 25, 12, 21, 16);
    right.lineTo(21, 40);
    right.cubicTo(25, 36, 31, 35, 37, 37);
    right.closeSubpath();
    p.drawPath(left);
    p.drawPath(right);
    p.setPen(QPen(QColor(0xa8, 0x9c, 0x86), 0.9));
    for (int i = 0; i < 4; ++i) {
        const qreal y = 19 + i * 4.5;
        p.drawLine(QPointF(8, y - 1), QPointF(18, y + 1));
        p.drawLine(QPointF(24, y + 1), QPointF(34, y - 1));
    }

    QFont title;
    title.setFamilies({QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    title.setPixelSize(21);
    title.setWeight(QFont::Black);
    p.setFont(title);
    p.setPen(cover);
    p.drawText(QRectF(42, 3, 72, 28), Qt::AlignCenter, QStringLiteral("明心轩"));

    QFont subtitle = title;
    subtitle.setPixelSize(11);
    subtitle.setWeight(QFont::Normal);
    subtitle.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    p.setFont(subtitle);
    p.setPen(QColor(0x3a, 0x4a, 0x60));
    p.drawText(QRectF(44, 29, 72, 16), Qt::AlignCenter, QStringLiteral("阅读器"));
    return pixmap;
}

QIcon AppIcon() {
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(QPixmap::fromImage(AppIconPicture::Paint(side)));
    }
    return icon;
}

} // namespace Pictures

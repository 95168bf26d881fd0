#include "LinePage.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

// A comfortable line for the eye: at most this many Chinese characters.
constexpr int MaxLineChars = 36;

} // namespace

TLinePage::TLinePage(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(320, 200);
}

void TLinePage::SetLook(const TLook &look) {
    FLook = look;
    update();
}

int TLinePage::LineHeight() const {
    // Line spacing of 1.7: a line being read stands apart from its neighbours.
    return QFontMetrics(FLook.Font).height() * 17 / 10;
}

int TLinePage::Margin() const {
    const int full = width() - 2 * QFontMetrics(FLook.Font).horizontalAdvance(u'中') * 2;
    const int cap = QFontMetrics(FLook.Font).horizontalAdvance(u'中') * MaxLineChars;
    return std::max(0, (width() - std::min(full, cap)) / 2);
}

int TLinePage::LineWidth() const {
    return std::max(1, width() - 2 * Margin());
}

int TLinePage::LinesPerPage() const {
    return std::max(1, (height() - LineHeight() / 2) / LineHeight());
}

int TLinePage::Measure(QStringView text) const {
    return QFontMetrics(FLook.Font).horizontalAdvance(text.toString());
}

void TLinePage::Show(const QList<TLaidLine> *lines, int firstLine, const TLinePlace *place) {
    FLines = lines;
    FFirstLine = firstLine;
    FHasPlace = place != nullptr;
    if (place != nullptr) {
        FPlace = *place;
    }
    update();
}

void TLinePage::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    emit Resized();
}

void TLinePage::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), FLook.Background);
    if (FLines == nullptr) {
        return;
    }
    painter.setFont(FLook.Font);
    const QFontMetrics metrics(FLook.Font);
    const int lineHeight = LineHeight();
    const int left = Margin();
    const int top = (height() - LinesPerPage() * lineHeight) / 2;
    const int baselineOffset = (lineHeight - metrics.height()) / 2 + metrics.ascent();
    const int last = std::min<int>(FFirstLine + LinesPerPage(), FLines->size());
    for (int i = FFirstLine; i < last; ++i) {
        const QString &text = FLines->at(i).Text;
        const int y = top + (i - FFirstLine) * lineHeight + baselineOffset;
        const bool inStep = FHasPlace && i >= FPlace.Line && i < FPlace.Line + FPlace.LineCount;
        if (!inStep) {
            painter.setPen(FLook.HighLight ? FLook.Text : FLook.Highlight);
            painter.drawText(left, y, text);
            continue;
        }
        const int from = FPlace.Length < 0 ? 0 : FPlace.From;
        const int length = FPlace.Length < 0 ? static_cast<int>(text.size()) : FPlace.Length;
        const QString before = text.left(from);
        const QString part = text.mid(from, length);
        const QString after = text.mid(from + length);
        int x = left;
        painter.setPen(FLook.HighLight ? FLook.Text : FLook.Highlight);
        painter.drawText(x, y, before);
        x += metrics.horizontalAdvance(before);
        painter.setPen(FLook.Highlight);
        painter.drawText(x, y, part);
        const int partWidth = metrics.horizontalAdvance(part);
        if (!FLook.HighLight) {
            // No highlight: a thin bar under the part being read keeps the pace visible.
            painter.fillRect(x, top + (i - FFirstLine + 1) * lineHeight - lineHeight / 6, partWidth,
                             std::max(2, lineHeight / 18), FLook.Highlight);
        }
        x += partWidth;
        painter.setPen(FLook.HighLight ? FLook.Text : FLook.Highlight);
        painter.drawText(x, y, after);
    }
}

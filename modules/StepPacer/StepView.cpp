#include "StepView.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

QColor Mix(const QColor &a, const QColor &b, double share) {
    return QColor::fromRgbF(float(a.redF() * share + b.redF() * (1 - share)),
                            float(a.greenF() * share + b.greenF() * (1 - share)),
                            float(a.blueF() * share + b.blueF() * (1 - share)));
}

} // namespace

TStepView::TStepView(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(320, 200);
}

void TStepView::SetLook(const QFont &font, const QColor &text, const QColor &background,
                        int lineCount) {
    FFont = font;
    FText = text;
    FBackground = background;
    FLineCount = std::max(1, lineCount);
    update();
}

void TStepView::SetSteps(const QString &previous, const QString &current, const QString &next) {
    if (previous == FPrevious && current == FCurrent && next == FNext) {
        return;
    }
    FPrevious = previous;
    FCurrent = current;
    FNext = next;
    update();
}

void TStepView::SetNotice(const QString &notice) {
    if (notice != FNotice) {
        FNotice = notice;
        update();
    }
}

void TStepView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), FBackground);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // The current step's box: as many lines as a step has, centred, never moving.
    const QFontMetrics metrics(FFont);
    const int lineHeight = metrics.lineSpacing();
    const int boxHeight = lineHeight * FLineCount + lineHeight / 2;
    const int margin = width() / 20;
    const QRect current(margin, (height() - boxHeight) / 2, width() - 2 * margin, boxHeight);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;

    painter.setFont(FFont);
    painter.setPen(FText);
    painter.drawText(current, flags, FCurrent);

    QFont small = FFont;
    small.setPixelSize(std::max(12, FFont.pixelSize() * 55 / 100));
    const QFontMetrics smallMetrics(small);
    const int smallBox = smallMetrics.lineSpacing() * FLineCount + smallMetrics.lineSpacing();
    const QColor dim = Mix(FText, FBackground, 0.35);
    painter.setFont(small);
    painter.setPen(dim);
    painter.drawText(QRect(margin, current.top() - smallBox, current.width(), smallBox),
                     Qt::AlignHCenter | Qt::AlignBottom | Qt::TextWordWrap, FPrevious);
    if (FNotice.isEmpty()) {
        painter.drawText(QRect(margin, current.bottom(), current.width(), smallBox),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, FNext);
    } else {
        QFont noticeFont = small;
        noticeFont.setPixelSize(std::max(14, FFont.pixelSize() * 45 / 100));
        painter.setFont(noticeFont);
        painter.setPen(Mix(FText, FBackground, 0.7));
        painter.drawText(QRect(margin, current.bottom() + lineHeight / 4, current.width(),
                               height() - current.bottom()),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, FNotice);
    }
}

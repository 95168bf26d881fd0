#include "app/ScrollingText.h"

#include <QScrollBar>

namespace {
constexpr int DefaultIntervalMs = 60;
// About two and a half seconds at the default pace.
constexpr int PauseSteps = 40;
} // namespace

TScrollingText::TScrollingText(QWidget *parent) : QTextBrowser(parent) {
    setOpenExternalLinks(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::NoFocus);
    FTimer.setInterval(DefaultIntervalMs);
    FPauseSteps = PauseSteps;
    connect(&FTimer, &QTimer::timeout, this, &TScrollingText::Step);
}

void TScrollingText::SetSpeed(int stepPixels, int intervalMs) {
    FStepPixels = qMax(1, stepPixels);
    FTimer.setInterval(qMax(1, intervalMs));
}

void TScrollingText::showEvent(QShowEvent *event) {
    QTextBrowser::showEvent(event);
    if (!FHovered) {
        FTimer.start();
    }
}

void TScrollingText::hideEvent(QHideEvent *event) {
    FTimer.stop();
    QTextBrowser::hideEvent(event);
}

void TScrollingText::enterEvent(QEnterEvent *event) {
    FHovered = true;
    FTimer.stop();
    QTextBrowser::enterEvent(event);
}

void TScrollingText::leaveEvent(QEvent *event) {
    FHovered = false;
    if (isVisible()) {
        FTimer.start();
    }
    QTextBrowser::leaveEvent(event);
}

void TScrollingText::Step() {
    if (FPauseSteps > 0) {
        --FPauseSteps;
        return;
    }
    QScrollBar *bar = verticalScrollBar();
    if (bar->value() >= bar->maximum()) {
        // At the end: after the pause, start over from the top and pause there too.
        if (bar->maximum() > 0) {
            bar->setValue(0);
            FPauseSteps = PauseSteps;
        }
        return;
    }
    bar->setValue(bar->value() + FStepPixels);
    if (bar->value() >= bar->maximum()) {
        FPauseSteps = PauseSteps;
    }
}

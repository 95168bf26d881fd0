#pragma once

#include <QTextBrowser>
#include <QTimer>

// A formatted text that scrolls up slowly by itself, pauses at the end, starts over from
// the top, and holds still while the mouse rests on it so that it can be read. It scrolls
// only while it is visible.
class TScrollingText : public QTextBrowser {
    Q_OBJECT

public:
    explicit TScrollingText(QWidget *parent = nullptr);

    // Pixels moved per step and milliseconds between steps.
    void SetSpeed(int stepPixels, int intervalMs);
    bool IsScrolling() const { return FTimer.isActive(); }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void Step();

    QTimer FTimer;
    int FStepPixels = 1;
    // Steps left to wait before moving on, at the top and at the end of the text.
    int FPauseSteps = 0;
    bool FHovered = false;
};

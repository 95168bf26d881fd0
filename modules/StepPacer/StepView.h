#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

// The reading field of follow reading: the current step at one fixed place in the middle,
// the step before it above and the step after it below, smaller and dimmed, so the eye keeps
// its place. A notice (paused, article finished) is drawn in place of the next step.
class TStepView : public QWidget {
    Q_OBJECT

public:
    explicit TStepView(QWidget *parent = nullptr);

    void SetLook(const QFont &font, const QColor &text, const QColor &background, int lineCount);
    void SetSteps(const QString &previous, const QString &current, const QString &next);
    void SetNotice(const QString &notice);
    QString Current() const { return FCurrent; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont FFont;
    QColor FText = Qt::black;
    QColor FBackground = Qt::white;
    int FLineCount = 1;
    QString FPrevious, FCurrent, FNext, FNotice;
};

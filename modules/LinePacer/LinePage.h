#pragma once

#include "modules/PacerKit/LineLayout.h"
#include "modules/PacerKit/LineSchedule.h"

#include <QColor>
#include <QFont>
#include <QWidget>

// The reading page of line reading: one page of laid-out lines in the reading font and
// colours, the step being read highlighted (or marked in the margin when highlighting is off).
class TLinePage : public QWidget {
    Q_OBJECT

public:
    explicit TLinePage(QWidget *parent = nullptr);

    struct TLook {
        QFont Font;
        QColor Background;
        QColor Text;      // lines not being read
        QColor Highlight; // the step being read
        bool HighLight = true;
    };
    void SetLook(const TLook &look);

    // The width a line may take, in pixels, and how many lines fit on the page.
    int LineWidth() const;
    int LinesPerPage() const;
    // Text width in pixels, as the layout measures it.
    int Measure(QStringView text) const;

    // What the page shows: the lines from firstLine, the step at place (none when null).
    void Show(const QList<TLaidLine> *lines, int firstLine, const TLinePlace *place);

signals:
    void Resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int LineHeight() const;
    int Margin() const;

    TLook FLook;
    const QList<TLaidLine> *FLines = nullptr;
    int FFirstLine = 0;
    bool FHasPlace = false;
    TLinePlace FPlace;
};

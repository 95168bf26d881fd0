#pragma once

#include "LineLayout.h"
#include "PaceSchedule.h"

// What one step of line reading covers: whole lines, or a part of one line.
struct TLinePlace {
    int Line = 0;      // the first laid-out line of the step
    int LineCount = 1; // lines the step covers
    int From = 0;      // for a half line: where in the line the step begins
    int Length = -1;   // for a half line: its length; -1 is the whole line
};

// How line reading steps through the laid-out lines (the `layout` attribute).
enum class TLineStepUnit {
    Line = 0,     // one line a step (the default)
    HalfLine = 1, // half a line a step: the line is split where half its characters are read
    TwoLines = 2, // two lines a step
};
TLineStepUnit LineStepUnitOf(int layout); // other values read as Line

// The steps of line reading and where each is on the page.
struct TLineSchedule {
    TPaceSchedule Pace;
    QList<TLinePlace> Places; // one for each step of Pace
};

// The steps of a laid-out article at cpm characters a minute. A step of n characters is on
// screen n / cpm minutes; a step that ends a paragraph rests a little longer, that time taken
// from the other steps (TPaceSchedule), so the whole article of N characters takes N / cpm
// minutes. Lines without a counted character (blank lines, a line of ASCII punctuation) are
// no step of their own: the pace skips them. A half line is split after a whole word and
// keeps the punctuation that follows it.
TLineSchedule BuildLineSchedule(const QList<TLaidLine> &lines, TLineStepUnit unit, int cpm);

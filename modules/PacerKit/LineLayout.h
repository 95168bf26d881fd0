#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

// One line of an article laid out for line reading.
struct TLaidLine {
    QString Text;
    int Paragraph = 0;          // index of the article line it comes from
    bool EndsParagraph = false; // the last line of its paragraph (an empty paragraph is one)
};

// The width of a piece of text in the unit the caller lays out in: pixels in a window, cells
// on the command line.
using TTextMeasure = std::function<int(QStringView)>;

// Cells of a text: a character outside ASCII (a Chinese character, full-width punctuation)
// takes two, anything else one; a line of N Chinese characters is 2 N cells wide.
int TextCells(QStringView text);

// Lays the article's lines (its paragraphs) out in lines no wider than width:
//   - a Chinese character may end a line anywhere; an ASCII word or number stays whole
//     unless it is wider than a line by itself;
//   - closing punctuation (，。、；：？！…”’）》」』 and the like) never starts a line: it stays
//     on the line before, even a little beyond the width; opening quotes and brackets never
//     end one;
//   - spaces at the end of a line are dropped, and a line never starts with ASCII spaces
//     left over from the line before (leading spaces of a paragraph, its indent, stay);
//   - an empty paragraph gives one empty line, so paragraph breaks stay visible.
QList<TLaidLine> LayOutLines(const QStringList &paragraphs, int width, const TTextMeasure &measure);

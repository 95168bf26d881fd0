#pragma once

#include "PaceSchedule.h"
#include "WordCutter.h"

#include <QStringList>

// How follow reading cuts an article into steps.
struct TFollowOptions {
    int WordsPerStep = 5;      // words (or characters) a step shows at most
    int LinesPerStep = 1;      // lines a step is laid out in
    bool ByCharacters = false; // step by characters instead of words
};

// The steps of follow reading for an article given as its lines (paragraphs), timed at cpm
// characters a minute.
//
// Each paragraph is cut into words (TWordCutter); punctuation sticks to the word before it
// and opening quotes and brackets to the word after it, so no step begins with "，" or ends
// with "“". A step takes up to WordsPerStep words and never splits one (ASCII words and
// numbers stay whole in both modes); it ends early after a sentence end (。！？； and their
// ASCII and half-width forms) and at the end of a paragraph, and such a step rests a little
// longer (TPaceSchedule::RestChars), the time taken from the other steps. By characters,
// every Chinese character is a unit of its own. A step of several lines is split where the
// lines come out about equally long. Blank paragraphs and steps without a counted character
// give no step.
TPaceSchedule BuildFollowSchedule(const QStringList &lines, const TFollowOptions &options,
                                  const TWordCutter &cutter, int cpm);

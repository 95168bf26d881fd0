#pragma once

#include <QList>
#include <QString>

// One step of a paced reading: what is on screen from StartMs for DurationMs.
struct TPaceStep {
    qint64 StartMs = 0;
    qint64 DurationMs = 0;
    QString Text;          // the step's lines, joined by '\n'
    int Chars = 0;         // characters counted as the library counts them
    bool Rests = false;    // ends a sentence or paragraph: stays a little longer
    int SentenceStart = 0; // index of the first step of the sentence this step belongs to
    int CharsBefore = 0;   // counted characters of the steps before it
};

// The steps of one article and their timing at a pace. A step of n characters gets n
// characters' time; a resting step gets RestChars more; then every step is shortened in the
// same proportion so that the whole article of N characters takes exactly N / CPM minutes:
// the rests are taken from the other steps' time, never added to it. Start times come from
// the running sums, rounded once each, so no rounding error builds up.
class TPaceSchedule {
public:
    static constexpr double RestChars = 2.0;

    QList<TPaceStep> Steps;

    // Sets StartMs and DurationMs of every step for the pace in characters a minute.
    void Retime(int cpm);
    int Cpm() const { return FCpm; }
    qint64 TotalMs() const { return FTotalMs; }
    int TotalChars() const;
    bool IsEmpty() const { return Steps.isEmpty(); }
    // The step on screen at ms into the article (clamped to the first and last step); -1 for
    // an empty schedule.
    int StepAt(qint64 ms) const;
    // Fills SentenceStart and CharsBefore from the steps' Rests and Chars.
    void Link();

private:
    int FCpm = 0;
    qint64 FTotalMs = 0;
};

#include "PaceSchedule.h"

#include <algorithm>
#include <cmath>

void TPaceSchedule::Retime(int cpm) {
    FCpm = std::max(1, cpm);
    const int chars = TotalChars();
    double weight = 0;
    for (const TPaceStep &step : Steps) {
        weight += step.Chars + (step.Rests && step.Chars > 0 ? RestChars : 0.0);
    }
    FTotalMs = std::llround(chars * 60000.0 / FCpm);
    const double msPerWeight = weight > 0 ? FTotalMs / weight : 0.0;
    double sum = 0;
    for (TPaceStep &step : Steps) {
        step.StartMs = std::llround(sum * msPerWeight);
        sum += step.Chars + (step.Rests && step.Chars > 0 ? RestChars : 0.0);
    }
    for (qsizetype i = 0; i < Steps.size(); ++i) {
        const qint64 end = i + 1 < Steps.size() ? Steps[i + 1].StartMs : FTotalMs;
        Steps[i].DurationMs = end - Steps[i].StartMs;
    }
}

int TPaceSchedule::TotalChars() const {
    int chars = 0;
    for (const TPaceStep &step : Steps) {
        chars += step.Chars;
    }
    return chars;
}

int TPaceSchedule::StepAt(qint64 ms) const {
    if (Steps.isEmpty()) {
        return -1;
    }
    // The last step whose start is at or before ms.
    const auto after = std::upper_bound(Steps.cbegin(), Steps.cend(), ms,
                                        [](qint64 t, const TPaceStep &s) { return t < s.StartMs; });
    const auto index = static_cast<int>(after - Steps.cbegin()) - 1;
    return std::max(0, index);
}

void TPaceSchedule::Link() {
    int sentenceStart = 0;
    int before = 0;
    for (qsizetype i = 0; i < Steps.size(); ++i) {
        Steps[i].SentenceStart = sentenceStart;
        Steps[i].CharsBefore = before;
        before += Steps[i].Chars;
        if (Steps[i].Rests) {
            sentenceStart = static_cast<int>(i + 1);
        }
    }
}

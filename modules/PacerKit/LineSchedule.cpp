#include "LineSchedule.h"

#include "ReadingChars.h"

namespace {

bool IsAsciiAlnum(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Where a line is split into halves: the first place after which at least half of its
// characters are read, not inside a surrogate pair or an ASCII word, moved on past the
// punctuation that follows. The line's length when the second half would count nothing.
qsizetype HalfPoint(const QString &text, int chars) {
    const int half = (chars + 1) / 2;
    qsizetype at = 0;
    while (at < text.size() && CountReadingChars(QStringView(text).left(at)) < half) {
        ++at;
    }
    while (at < text.size() &&
           (text.at(at).isLowSurrogate() ||
            (IsAsciiAlnum(text.at(at)) && at > 0 && IsAsciiAlnum(text.at(at - 1))))) {
        ++at;
    }
    while (at < text.size() && CountReadingChars(QStringView(text).mid(at, 1)) == 0) {
        ++at; // ASCII punctuation and spaces stay with the first half
    }
    static const QString closing = QStringLiteral("，。、；：？！…”’）》」』】");
    while (at < text.size() && closing.contains(text.at(at))) {
        ++at;
    }
    return CountReadingChars(QStringView(text).mid(at)) == 0 ? text.size() : at;
}

void AddStep(TLineSchedule &schedule, const QString &text, bool rests, TLinePlace place) {
    TPaceStep step;
    step.Text = text;
    step.Chars = CountReadingChars(text);
    step.Rests = rests;
    schedule.Pace.Steps.append(step);
    schedule.Places.append(place);
}

} // namespace

TLineStepUnit LineStepUnitOf(int layout) {
    switch (layout) {
    case 1:
        return TLineStepUnit::HalfLine;
    case 2:
        return TLineStepUnit::TwoLines;
    default:
        return TLineStepUnit::Line;
    }
}

TLineSchedule BuildLineSchedule(const QList<TLaidLine> &lines, TLineStepUnit unit, int cpm) {
    TLineSchedule schedule;
    for (int i = 0; i < lines.size(); ++i) {
        const TLaidLine &line = lines.at(i);
        const int chars = CountReadingChars(line.Text);
        if (chars == 0) {
            continue;
        }
        if (unit == TLineStepUnit::HalfLine) {
            const qsizetype half = HalfPoint(line.Text, chars);
            const bool whole = half >= line.Text.size();
            AddStep(schedule, line.Text.left(half), whole && line.EndsParagraph,
                    TLinePlace{i, 1, 0, whole ? -1 : static_cast<int>(half)});
            if (!whole) {
                AddStep(schedule, line.Text.mid(half), line.EndsParagraph,
                        TLinePlace{i, 1, static_cast<int>(half),
                                   static_cast<int>(line.Text.size() - half)});
            }
            continue;
        }
        int last = i;
        if (unit == TLineStepUnit::TwoLines && !line.EndsParagraph) {
            // The next line of the same paragraph joins the step, when it has something to read.
            if (i + 1 < lines.size() && CountReadingChars(lines.at(i + 1).Text) > 0) {
                last = i + 1;
            }
        }
        QStringList texts;
        for (int j = i; j <= last; ++j) {
            texts << lines.at(j).Text;
        }
        AddStep(schedule, texts.join(QLatin1Char('\n')), lines.at(last).EndsParagraph,
                TLinePlace{i, last - i + 1, 0, -1});
        i = last;
    }
    schedule.Pace.Link();
    schedule.Pace.Retime(cpm);
    return schedule;
}

#include "FollowSchedule.h"

#include "ReadingChars.h"

#include <algorithm>

namespace {

// A word with the signs that stick to it: what a step is made of.
struct TUnit {
    QString Text;
    bool HasWord = false;
    bool EndsSentence = false;
};

bool IsSentenceEnd(QStringView sign) {
    static const QString ends = QStringLiteral("。！？；!?;.．｡");
    return sign.size() == 1 && ends.contains(sign.at(0));
}

bool IsOpening(QStringView sign, bool afterSpaceOrStart) {
    if (sign.size() != 1) {
        return false;
    }
    const QChar c = sign.at(0);
    if (c == u'"' || c == u'\'') {
        return afterSpaceOrStart;
    }
    return c.category() == QChar::Punctuation_Open ||
           c.category() == QChar::Punctuation_InitialQuote;
}

bool IsAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// The characters of a word, one unit each (a surrogate pair stays one character).
QStringList SplitCharacters(const QString &word) {
    QStringList characters;
    qsizetype i = 0;
    while (i < word.size()) {
        const qsizetype length = word.at(i).isHighSurrogate() && i + 1 < word.size() ? 2 : 1;
        characters.append(word.mid(i, length));
        i += length;
    }
    return characters;
}

QList<TUnit> MakeUnits(const QString &paragraph, const TFollowOptions &options,
                       const TWordCutter &cutter) {
    QList<TUnit> units;
    QString prefix; // opening signs waiting for the word they open
    bool afterSpaceOrStart = true;
    const auto addWord = [&](const QString &word) {
        units.append({prefix + word, true, false});
        prefix.clear();
    };
    for (const TTextToken &token : cutter.Cut(paragraph)) {
        switch (token.Kind) {
        case TTextToken::Word:
        case TTextToken::Number:
            if (options.ByCharacters && !IsAscii(token.Text)) {
                for (const QString &character : SplitCharacters(token.Text)) {
                    addWord(character);
                }
            } else {
                addWord(token.Text);
            }
            afterSpaceOrStart = false;
            break;
        case TTextToken::Space:
            if (!units.isEmpty() && prefix.isEmpty()) {
                units.last().Text += token.Text;
            }
            afterSpaceOrStart = true;
            break;
        case TTextToken::Punct:
            if (IsOpening(token.Text, afterSpaceOrStart) || units.isEmpty()) {
                prefix += token.Text;
            } else {
                units.last().Text += token.Text;
                if (IsSentenceEnd(token.Text)) {
                    units.last().EndsSentence = true;
                }
            }
            afterSpaceOrStart = false;
            break;
        }
    }
    if (!prefix.isEmpty()) {
        if (units.isEmpty()) {
            units.append({prefix, false, false});
        } else {
            units.last().Text += prefix;
        }
    }
    return units;
}

// The units of one step as lines of about equal length.
QString LayOut(const QList<TUnit> &units, int lineCount) {
    int total = 0;
    for (const TUnit &unit : units) {
        total += CountReadingChars(unit.Text);
    }
    const int lines = std::min<int>(lineCount, static_cast<int>(units.size()));
    QStringList out;
    QString line;
    int done = 0;
    for (const TUnit &unit : units) {
        line += unit.Text;
        done += CountReadingChars(unit.Text);
        // Break when this line has its share of the step.
        const int share = (total * (static_cast<int>(out.size()) + 1) + lines - 1) / lines;
        if (static_cast<int>(out.size()) + 1 < lines && done >= share) {
            out.append(line.trimmed());
            line.clear();
        }
    }
    if (!line.trimmed().isEmpty() || out.isEmpty()) {
        out.append(line.trimmed());
    }
    return out.join(u'\n');
}

void AddStep(TPaceSchedule &schedule, const QList<TUnit> &units, int lineCount, bool rests) {
    if (units.isEmpty()) {
        return;
    }
    TPaceStep step;
    step.Text = LayOut(units, lineCount);
    step.Chars = CountReadingChars(step.Text);
    step.Rests = rests;
    if (step.Chars > 0) {
        schedule.Steps.append(step);
    }
}

} // namespace

TPaceSchedule BuildFollowSchedule(const QStringList &lines, const TFollowOptions &options,
                                  const TWordCutter &cutter, int cpm) {
    const int wordsPerStep = std::max(1, options.WordsPerStep);
    const int linesPerStep = std::max(1, options.LinesPerStep);
    TPaceSchedule schedule;
    for (const QString &line : lines) {
        const QString paragraph = line.trimmed();
        if (paragraph.isEmpty()) {
            continue;
        }
        QList<TUnit> step;
        int words = 0;
        for (const TUnit &unit : MakeUnits(paragraph, options, cutter)) {
            step.append(unit);
            words += unit.HasWord ? 1 : 0;
            if (unit.EndsSentence || words >= wordsPerStep) {
                AddStep(schedule, step, linesPerStep, unit.EndsSentence);
                step.clear();
                words = 0;
            }
        }
        // The paragraph's end rests too.
        if (!step.isEmpty()) {
            AddStep(schedule, step, linesPerStep, true);
        } else if (!schedule.Steps.isEmpty()) {
            schedule.Steps.last().Rests = true;
        }
    }
    schedule.Link();
    schedule.Retime(cpm);
    return schedule;
}

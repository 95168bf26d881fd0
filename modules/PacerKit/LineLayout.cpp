#include "LineLayout.h"

namespace {

bool IsAsciiSpace(QChar c) {
    return c == u' ' || c == u'\t';
}

bool IsClosing(QStringView piece) {
    static const QString closing =
        QStringLiteral("，。、；：？！…—～”’）》」』】〕〉｝］,.;:?!)]}%");
    return piece.size() == 1 && closing.contains(piece.front());
}

bool IsOpening(QStringView piece) {
    static const QString opening = QStringLiteral("“‘（《「『【〔〈｛［([{");
    return piece.size() == 1 && opening.contains(piece.front());
}

// Pieces that never split: a character outside ASCII (a surrogate pair is one), a run of
// ASCII spaces, a run of other ASCII characters (a word with the punctuation stuck to it).
QList<QStringView> Pieces(QStringView text) {
    QList<QStringView> pieces;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        qsizetype end = i + 1;
        if (c.unicode() >= 0x80) {
            if (c.isHighSurrogate() && end < text.size() && text.at(end).isLowSurrogate()) {
                ++end;
            }
        } else {
            const bool space = IsAsciiSpace(c);
            while (end < text.size() && text.at(end).unicode() < 0x80 &&
                   IsAsciiSpace(text.at(end)) == space) {
                ++end;
            }
        }
        pieces.append(text.mid(i, end - i));
        i = end;
    }
    return pieces;
}

// Groups of pieces kept on one line: closing punctuation joins the group before it, opening
// punctuation the group after it.
QList<QStringView> Groups(QStringView text) {
    QList<QStringView> groups;
    qsizetype groupStart = 0;
    qsizetype groupEnd = 0;
    bool open = false; // the group so far ends in an opening mark
    for (const QStringView piece : Pieces(text)) {
        const qsizetype pieceStart = piece.data() - text.data();
        const bool joinsBefore = groupEnd > groupStart && (open || IsClosing(piece));
        if (!joinsBefore && groupEnd > groupStart) {
            groups.append(text.mid(groupStart, groupEnd - groupStart));
            groupStart = pieceStart;
        }
        groupEnd = pieceStart + piece.size();
        open = IsOpening(piece);
    }
    if (groupEnd > groupStart) {
        groups.append(text.mid(groupStart, groupEnd - groupStart));
    }
    return groups;
}

QString Joined(const QString &line, QStringView more) {
    return QString(line).append(more);
}

QString TrimmedRight(const QString &line) {
    qsizetype end = line.size();
    while (end > 0 && IsAsciiSpace(line.at(end - 1))) {
        --end;
    }
    return line.left(end);
}

} // namespace

int TextCells(QStringView text) {
    int cells = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate()) {
            continue;
        }
        cells += text.at(i).unicode() >= 0x80 ? 2 : 1;
    }
    return cells;
}

QList<TLaidLine> LayOutLines(const QStringList &paragraphs, int width,
                             const TTextMeasure &measure) {
    QList<TLaidLine> lines;
    for (int p = 0; p < paragraphs.size(); ++p) {
        const qsizetype firstLine = lines.size();
        const auto addLine = [&lines, p](const QString &text) {
            lines.append(TLaidLine{TrimmedRight(text), p, false});
        };
        QString line;
        for (const QStringView group : Groups(paragraphs.at(p))) {
            const bool spaces = IsAsciiSpace(group.front());
            if (!line.isEmpty() && measure(Joined(line, group)) <= width) {
                line += group;
                continue;
            }
            if (!line.isEmpty()) {
                addLine(line);
                line.clear();
            }
            if (spaces && lines.size() > firstLine) {
                continue; // left over from the line before
            }
            // A group wider than a line by itself is cut between its pieces.
            for (const QStringView piece : Pieces(group)) {
                if (!line.isEmpty() && measure(Joined(line, piece)) > width) {
                    addLine(line);
                    line.clear();
                }
                line += piece;
            }
        }
        if (!line.isEmpty() || lines.size() == firstLine) {
            addLine(line);
        }
        lines.last().EndsParagraph = true;
    }
    return lines;
}

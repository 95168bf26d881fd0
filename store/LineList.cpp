#include "store/LineList.h"

namespace {

// A NUL would end the text for every reader that takes it as a C string (and XML cannot hold
// one at all), so it is kept as the replacement character: nothing after it is lost.
QString WithoutNul(QString text) {
    text.replace(QChar(u'\0'), QChar(QChar::ReplacementCharacter));
    return text;
}

} // namespace

TLineList TLineList::FromLines(const QStringList &lines) {
    TLineList list;
    list.FLines = lines;
    for (QString &line : list.FLines) {
        if (line.contains(QChar(u'\0'))) {
            line = WithoutNul(line);
        }
    }
    return list;
}

TLineList TLineList::FromEditorText(const QString &editText) {
    TLineList list;
    list.FLines = SplitLines(editText);
    list.FEditor = true;
    // The edit box keeps LF between lines; the stored form separates them by CR LF. A CR LF
    // that is already there stays one line break.
    QString text = WithoutNul(editText);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    list.FEditorText = text.split(QLatin1Char('\n')).join(QStringLiteral("\r\n"));
    return list;
}

TLineList TLineList::FromStoredText(const QString &text) {
    return FromLines(SplitLines(text));
}

QString TLineList::Text() const {
    if (FEditor) {
        return FEditorText;
    }
    QString text;
    for (const QString &line : FLines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

QStringList SplitLines(const QString &text) {
    QStringList lines;
    const qsizetype end = text.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < end) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < end && text.at(i + 1) == u'\n') {
                ++i;
            }
            start = i + 1;
        }
        ++i;
    }
    if (start < end) {
        lines.append(text.mid(start, end - start));
    }
    for (QString &line : lines) {
        if (line.contains(QChar(u'\0'))) {
            line = WithoutNul(line);
        }
    }
    return lines;
}

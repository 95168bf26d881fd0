#include "store/LineList.h"

TLineList TLineList::FromLines(const QStringList &lines) {
    TLineList list;
    list.FLines = lines;
    return list;
}

TLineList TLineList::FromEditorText(const QString &editText) {
    TLineList list;
    list.FLines = SplitLines(editText);
    list.FEditor = true;
    // The edit box keeps LF between lines; the stored form separates them by CR LF. A CR LF
    // that is already there stays one line break.
    QString text = editText;
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
    const qsizetype end = [&] {
        const qsizetype nul = text.indexOf(QChar(u'\0'));
        return nul < 0 ? text.size() : nul;
    }();
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
    return lines;
}

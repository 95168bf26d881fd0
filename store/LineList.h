#pragma once

#include <QString>
#include <QStringList>

// An article's text as a list of lines, with the text form that is stored for it.
// A plain list stores every line followed by CR LF, the last one too. The editor's list
// stores the edit box's text unchanged: lines separated by CR LF, nothing added at the end.
class TLineList {
public:
    TLineList() = default;

    static TLineList FromLines(const QStringList &lines);
    static TLineList FromEditorText(const QString &editText);
    // Splits a stored text: breaks at CR LF, lone CR or lone LF; a break at the very end
    // adds no empty line. Every list holds a NUL character as U+FFFD (never cut there).
    static TLineList FromStoredText(const QString &text);

    const QStringList &Lines() const { return FLines; }
    int Count() const { return static_cast<int>(FLines.size()); }
    bool IsEmpty() const { return FLines.isEmpty(); }

    // The text form written into the TEXT column.
    QString Text() const;

private:
    QStringList FLines;
    bool FEditor = false;
    QString FEditorText;
};

// Splits a text into lines at CR LF, lone CR or lone LF (see TLineList::FromStoredText).
QStringList SplitLines(const QString &text);

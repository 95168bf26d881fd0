#pragma once

#include <QString>
#include <QStringList>

// Text rules of the article editor that need no window.
namespace EditorText {

// A line is blank when nothing is left of it once the characters with codes up to 32 (space
// and the control characters) are stripped from both ends. A full-width space is text.
bool IsBlankLine(const QString &line);

// The lines without their blank ones; the other lines stay exactly as they are.
QStringList RemoveBlankLines(const QStringList &lines);

} // namespace EditorText

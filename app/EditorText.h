#pragma once

#include <QString>

// Text rules of the article editor that need no window.
namespace EditorText {

// A line is blank when nothing is left of it once the characters with codes up to 32 (space
// and the control characters) are stripped from both ends. A full-width space is text.
bool IsBlankLine(const QString &line);

// The editor's text (lines separated by "\n") without its blank lines; the other lines stay
// exactly as they are. A line break at the very end closes the last line and is no empty
// line: it stays as long as a line is left.
QString RemoveBlankLines(const QString &text);

} // namespace EditorText

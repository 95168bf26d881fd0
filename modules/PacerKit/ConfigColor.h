#pragma once

#include <QColor>
#include <QString>
#include <optional>

// Colours in the configuration elements come in the toolkit's colour texts:
//   "$00BBGGRR"  a "$" and up to eight hexadecimal digits, blue, green, red from the high
//                byte down ("$00D8E9EC" is red 236, green 233, blue 216); the top byte is
//                ignored;
//   "clName"     a colour name ("clBlack", "clWhite", "clBtnFace"...), letter case ignored;
//   a decimal number of the same value (0x00BBGGRR), as older settings may hold.
// A colour is written back in the form its text came in, so a setting the user did not touch
// keeps its looks and a named colour stays a name when the new colour has one.

// The colour of a colour text; nothing for a text that is none of the forms above.
std::optional<QColor> ParseConfigColor(const QString &text);
// The colour as text in the form of formOf: a name when formOf is a name and the colour has
// one, a decimal number when formOf is one, otherwise "$00BBGGRR" (upper-case digits).
QString FormatConfigColor(const QColor &color, const QString &formOf);

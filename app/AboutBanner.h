#pragma once

#include <QPixmap>

// The banner across the top of the about box: the open book and the program's name on a
// deep red band, drawn in code.
namespace AboutBanner {

inline constexpr int Width = 422;
inline constexpr int Height = 145;

QPixmap Paint();

} // namespace AboutBanner

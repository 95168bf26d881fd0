#pragma once

#include <QFont>
#include <QString>

// The font size scale of the reader modules: the configuration attribute `fontSize` is a step
//   step:   0   1   2   3   4   5   6   7   8
//   pixels: 16  20  24  28  32  40  48  56  64
// (step 2, the default, is 24 pixels). A module may magnify the whole scale (follow reading
// shows its few words twice as large). Steps outside the scale read as its nearest end.
inline constexpr int FontSizeBottomStep = 0;
inline constexpr int FontSizeTopStep = 8;
int ClampFontSizeStep(int step);
int FontPixelSize(int step);

// The face to draw Chinese text with: the configured face when the system has it and it
// writes Chinese, else a known stand-in for the common Windows faces (宋体 -> a serif CJK
// face, 黑体/微软雅黑 -> a sans CJK face), else the first CJK face found. Never a face that
// draws boxes for Chinese when a CJK face is installed. Needs a QGuiApplication.
QString ChooseReadingFamily(const QString &configuredFace);
// A font of that family at the pixel size.
QFont ChooseReadingFont(const QString &configuredFace, int pixelSize);

#pragma once

#include <QFont>
#include <QString>

#include <optional>

class QWidget;
class TGlobalManager;

// The theme layer. A theme file (*.sui) is UTF-8 text whose first line is exactly the
// signature "/* sui-theme 1 */"; the rest is a Qt style sheet. Each window applies the
// current theme once, when it is created or shown.
namespace ThemeManager {

inline constexpr char Signature[] = "/* sui-theme 1 */";

// The acceptance check: the file exists, can be read and begins with the signature line.
bool IsThemeFile(const QString &path);

// The style sheet of an accepted theme file; nothing for a file that fails the check.
std::optional<QString> ReadTheme(const QString &path);

// Gives the window the style sheet of the theme file. A file that fails the acceptance
// check leaves the window's look as it is; false then.
bool ApplyThemeFile(QWidget *window, const QString &path);

// Applies the settings' theme (UIStyle, then ThemeFile) to a window.
bool ApplyTheme(QWidget *window, const TGlobalManager &settings);

// The default font of every window: 宋体 at 14 pixels, or the Song-style CJK font that is
// installed when 宋体 is not.
QFont DefaultFont();

} // namespace ThemeManager

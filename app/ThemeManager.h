#pragma once

#include <QCoreApplication>
#include <QFont>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <optional>

class TGlobalManager;

// The theme layer. A theme file (*.sui) is UTF-8 text whose first line is exactly the
// signature "/* sui-theme 1 */"; the rest is a Qt style sheet.
//
// ---- How a window takes the theme: one line, once, when it is created or first shown ----
//
//   A window of the program that holds the settings (export, import, batch import, update
//   prompt, about box, waiting window), in its constructor:
//
//       ThemeManager::ApplyTheme(this, settings);
//
//   A window that has no settings at hand, such as a reader module's reading window (modules
//   link Qt only; this line needs nothing but this header):
//
//       ThemeManager::ApplyCurrentTheme(this);
//
//   Either way the window gets the theme in use at that moment and keeps it: choosing another
//   theme later changes the main window at once and every window opened after that.
namespace ThemeManager {

inline constexpr char Signature[] = "/* sui-theme 1 */";

// The application object's property that holds the style sheet applied last, so that code
// without the settings (reader modules) finds the theme in use.
inline constexpr char CurrentSheetProperty[] = "mxCurrentThemeSheet";

// The acceptance check: the file exists, can be read and begins with the signature line.
bool IsThemeFile(const QString &path);

// The style sheet of an accepted theme file; nothing for a file that fails the check.
std::optional<QString> ReadTheme(const QString &path);

// Gives the window the style sheet of the theme file, which becomes the theme in use. A file
// that fails the acceptance check leaves the window's look as it is; false then.
bool ApplyThemeFile(QWidget *window, const QString &path);

// Applies the settings' theme (UIStyle, then ThemeFile) to a window.
bool ApplyTheme(QWidget *window, const TGlobalManager &settings);

// The style sheet applied last in this process; empty before any theme was applied.
inline QString CurrentSheet() {
    const QCoreApplication *application = QCoreApplication::instance();
    return application != nullptr ? application->property(CurrentSheetProperty).toString()
                                  : QString();
}

// Gives the window the theme in use; a window opened before any theme was applied keeps the
// toolkit's look.
inline void ApplyCurrentTheme(QWidget *window) {
    const QString sheet = CurrentSheet();
    if (!sheet.isEmpty()) {
        window->setStyleSheet(sheet);
    }
}

// The default font of every window: 宋体 at 14 pixels, or the Song-style CJK font that is
// installed when 宋体 is not.
QFont DefaultFont();

} // namespace ThemeManager

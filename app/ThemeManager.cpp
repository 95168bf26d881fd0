#include "app/ThemeManager.h"

#include "app/GlobalManager.h"

#include <QFile>
#include <QWidget>

namespace ThemeManager {

namespace {

// The signature line may end in LF or CR LF; a file that is only the signature is a theme
// without rules.
std::optional<QString> ParseTheme(const QByteArray &bytes) {
    const QByteArray signature(Signature);
    if (!bytes.startsWith(signature)) {
        return std::nullopt;
    }
    QByteArray rest = bytes.mid(signature.size());
    if (rest.startsWith("\r\n")) {
        rest.remove(0, 2);
    } else if (rest.startsWith('\n')) {
        rest.remove(0, 1);
    } else if (!rest.isEmpty()) {
        return std::nullopt; // something else follows on the first line
    }
    return QString::fromUtf8(rest);
}

std::optional<QByteArray> ReadBytes(const QString &path) {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.readAll();
}

} // namespace

bool IsThemeFile(const QString &path) {
    return ReadTheme(path).has_value();
}

std::optional<QString> ReadTheme(const QString &path) {
    const std::optional<QByteArray> bytes = ReadBytes(path);
    return bytes ? ParseTheme(*bytes) : std::nullopt;
}

bool ApplyThemeFile(QWidget *window, const QString &path) {
    const std::optional<QString> sheet = ReadTheme(path);
    if (!sheet) {
        return false;
    }
    window->setStyleSheet(*sheet);
    if (QCoreApplication *application = QCoreApplication::instance()) {
        application->setProperty(CurrentSheetProperty, *sheet);
    }
    return true;
}

bool ApplyTheme(QWidget *window, const TGlobalManager &settings) {
    switch (settings.UIStyle) {
    case TUIStyle::FromThemeFile:
        return ApplyThemeFile(window, settings.ThemeFile);
    }
    return false;
}

QFont DefaultFont() {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(14);
    return font;
}

} // namespace ThemeManager

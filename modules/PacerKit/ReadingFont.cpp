#include "ReadingFont.h"

#include <QFontDatabase>
#include <QStringList>
#include <array>

namespace {

constexpr std::array<int, FontSizeTopStep + 1> PixelSizes{16, 20, 24, 28, 32, 40, 48, 56, 64};

const QStringList SerifFaces{QStringLiteral("Noto Serif CJK SC"),
                             QStringLiteral("Noto Serif CJK TC"), QStringLiteral("AR PL UMing CN")};
const QStringList SansFaces{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans CJK TC"),
                            QStringLiteral("WenQuanYi Micro Hei"),
                            QStringLiteral("Droid Sans Fallback")};

bool WritesChinese(const QString &family) {
    const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
    return systems.contains(QFontDatabase::SimplifiedChinese) ||
           systems.contains(QFontDatabase::TraditionalChinese);
}

// The installed family of that name, letter case ignored; empty when none.
QString Installed(const QStringList &families, const QString &name) {
    for (const QString &family : families) {
        if (family.compare(name, Qt::CaseInsensitive) == 0) {
            return family;
        }
    }
    return {};
}

QStringList StandIns(const QString &face) {
    static const QStringList serifNames{
        QStringLiteral("宋体"),    QStringLiteral("新宋体"), QStringLiteral("SimSun"),
        QStringLiteral("NSimSun"), QStringLiteral("仿宋"),   QStringLiteral("FangSong"),
        QStringLiteral("楷体"),    QStringLiteral("KaiTi"),  QStringLiteral("楷体_GB2312")};
    for (const QString &name : serifNames) {
        if (face.compare(name, Qt::CaseInsensitive) == 0) {
            return SerifFaces + SansFaces;
        }
    }
    return SansFaces + SerifFaces;
}

} // namespace

int ClampFontSizeStep(int step) {
    return step < FontSizeBottomStep ? FontSizeBottomStep
                                     : (step > FontSizeTopStep ? FontSizeTopStep : step);
}

int FontPixelSize(int step) {
    return PixelSizes[static_cast<std::size_t>(ClampFontSizeStep(step))];
}

QString ChooseReadingFamily(const QString &configuredFace) {
    const QStringList families = QFontDatabase::families();
    const QString configured = Installed(families, configuredFace.trimmed());
    if (!configured.isEmpty() && WritesChinese(configured)) {
        return configured;
    }
    for (const QString &standIn : StandIns(configuredFace.trimmed())) {
        const QString found = Installed(families, standIn);
        if (!found.isEmpty()) {
            return found;
        }
    }
    for (const QString &family : families) {
        if (WritesChinese(family)) {
            return family;
        }
    }
    // No Chinese face at all: the configured one, or whatever the system gives.
    return configured.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()
                                : configured;
}

QFont ChooseReadingFont(const QString &configuredFace, int pixelSize) {
    QFont font(ChooseReadingFamily(configuredFace));
    font.setPixelSize(pixelSize);
    return font;
}

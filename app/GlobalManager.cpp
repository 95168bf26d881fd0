#include "GlobalManager.h"

#include "util/CodePage.h"
#include "util/Errors.h"
#include "util/ProfileFile.h"
#include "util/Tools.h"

#include <cstdio>
#include <exception>

const QString TGlobalManager::DefaultBlockConfig =
    QStringLiteral("<blockConfig layout=\"0\" mode=\"1\" rate=\"0\" highLight=\"1\" fontSize=\"2\" "
                   "bgColor=\"$00D8E9EC\" bgFontColor=\"$00BABABA\" lightFontColor=\"clBlack\" "
                   "fontName=\"宋体\" beepOnRefresh=\"1\"/>");

const QString TGlobalManager::DefaultFlashConfig = QStringLiteral(
    "<flashConfig mode=\"1\" rate=\"0\" extractWordCount=\"5\" lineCount=\"1\" fontSize=\"2\" "
    "fontColor=\"clBlack\" fontName=\"宋体\" bgColor=\"clWhite\" beepOnRefresh=\"1\"/>");

namespace {

const QString MainSection = QStringLiteral("Main");
const QString ArticleSection = QStringLiteral("Article");
const QString ViewSection = QStringLiteral("View");
const QString BlockSection = QStringLiteral("Block");

// The folder joined with a relative path by a single "/".
QString InFolder(const QString &folder, const QString &relative) {
    return folder.endsWith(u'/') ? folder + relative : folder + u'/' + relative;
}

// Up to eight hexadecimal digits, taken as a 32-bit pattern (so "$FFFFFFFF" is -1).
bool ParseHex(QStringView digits, int &value) {
    if (digits.isEmpty() || digits.size() > 8) {
        return false;
    }
    uint pattern = 0;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        uint digit = 0;
        if (u >= u'0' && u <= u'9') {
            digit = u - u'0';
        } else if (u >= u'a' && u <= u'f') {
            digit = u - u'a' + 10;
        } else if (u >= u'A' && u <= u'F') {
            digit = u - u'A' + 10;
        } else {
            return false;
        }
        pattern = pattern * 16 + digit;
    }
    value = static_cast<int>(pattern);
    return true;
}

// A whole number as the file holds it: "0x"/"0X" followed by hexadecimal digits, "$"
// followed by hexadecimal digits, or a decimal number; anything else gives the default.
int ReadWholeNumber(const QString &text, int defaultValue) {
    int value = 0;
    bool ok = false;
    if (text.size() > 2 &&
        (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X")))) {
        ok = ParseHex(QStringView(text).mid(2), value);
    } else if (text.startsWith(u'$')) {
        ok = ParseHex(QStringView(text).mid(1), value);
    } else {
        value = text.toInt(&ok, 10);
    }
    return ok ? value : defaultValue;
}

// A reading configuration is stored scrambled; one that is empty or does not unscramble
// gives the default, so a damaged file never stops the start.
QString ReadConfig(const TProfileFile &profile, const QString &key, const QString &defaultValue) {
    QString text;
    try {
        text = DecodeCodePage936(UnscrambleText(profile.ReadString(BlockSection, key, {})));
    } catch (const EConvertError &) {
        text.clear();
    }
    return text.isEmpty() ? defaultValue : text;
}

QString ScrambleConfig(const QString &text) {
    return ScrambleText(EncodeCodePage936(text));
}

} // namespace

TGlobalManager::TGlobalManager(const QString &appDir) : FAppDir(appDir) {
    Load();
}

TGlobalManager::~TGlobalManager() {
    try {
        Save();
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "写 %s 失败\n", ConfigPath().toLocal8Bit().constData());
    }
}

QString TGlobalManager::ConfigPath() const {
    return InFolder(FAppDir, QStringLiteral("Config.ini"));
}

void TGlobalManager::Load() {
    const TProfileFile profile(ConfigPath());
    AppVersion =
        ReadWholeNumber(profile.ReadString(MainSection, QStringLiteral("AppVersion"), {}), 1);
    PubVersion = profile.ReadString(MainSection, QStringLiteral("PubVersion"), QStringLiteral("1"));
    AppPath = profile.ReadString(MainSection, QStringLiteral("AppPath"), QStringLiteral("1"));
    AppDate = profile.ReadString(MainSection, QStringLiteral("AppDate"), {});
    // A part limit below 1 is as unreadable as a text that is no number: it would make every
    // save ask about a negative length and the splitting rule refuse every long text.
    const int partLimit = ReadWholeNumber(
        profile.ReadString(ArticleSection, QStringLiteral("ContentMaxWordCount"), {}), 50000);
    ContentMaxWordCount = partLimit >= 1 ? partLimit : 50000;
    ThemeFile = profile.ReadString(ViewSection, QStringLiteral("ThemeFile"), {});
    if (ThemeFile.isEmpty()) {
        ThemeFile = InFolder(FAppDir, QStringLiteral("themes/xpsilver.sui"));
    }
    BlockConfig = ReadConfig(profile, QStringLiteral("BlockConfig"), DefaultBlockConfig);
    FlashConfig = ReadConfig(profile, QStringLiteral("FlashConfig"), DefaultFlashConfig);
    UIStyle = TUIStyle::FromThemeFile;
}

void TGlobalManager::Save() {
    // Every key is set in memory first, so the file is written once.
    TProfileFile profile(ConfigPath());
    profile.WriteString(ViewSection, QStringLiteral("ThemeFile"), ThemeFile);
    profile.WriteString(MainSection, QStringLiteral("PubVersion"), PubVersion);
    profile.WriteString(MainSection, QStringLiteral("AppVersion"), QString::number(AppVersion));
    profile.WriteString(MainSection, QStringLiteral("AppPath"), AppPath);
    profile.WriteString(MainSection, QStringLiteral("AppDate"), AppDate);
    profile.WriteString(BlockSection, QStringLiteral("BlockConfig"), ScrambleConfig(BlockConfig));
    profile.WriteString(BlockSection, QStringLiteral("FlashConfig"), ScrambleConfig(FlashConfig));
    profile.WriteString(ArticleSection, QStringLiteral("ContentMaxWordCount"),
                        QString::number(ContentMaxWordCount));
    profile.Save();
}

void TGlobalManager::SetAppPath(const QString &value) {
    StoreChanged(AppPath, value);
}

void TGlobalManager::SetThemeFile(const QString &value) {
    StoreChanged(ThemeFile, value);
}

void TGlobalManager::SetBlockConfig(const QString &value) {
    StoreChanged(BlockConfig, value);
}

void TGlobalManager::SetFlashConfig(const QString &value) {
    StoreChanged(FlashConfig, value);
}

void TGlobalManager::StoreChanged(QString &field, const QString &value) {
    if (field != value) {
        field = value;
        Save();
    }
}

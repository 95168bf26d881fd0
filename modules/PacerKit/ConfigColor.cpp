#include "ConfigColor.h"

#include <array>

namespace {

struct TNamedColor {
    const char *Name;
    unsigned Bgr; // 0x00BBGGRR
};

// The toolkit's standard colour names; system colours take the look of a plain light desktop.
constexpr std::array<TNamedColor, 30> NamedColors{{
    {"clBlack", 0x000000},         {"clMaroon", 0x000080},     {"clGreen", 0x008000},
    {"clOlive", 0x008080},         {"clNavy", 0x800000},       {"clPurple", 0x800080},
    {"clTeal", 0x808000},          {"clGray", 0x808080},       {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},           {"clLime", 0x00FF00},       {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},          {"clFuchsia", 0xFF00FF},    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},         {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},         {"clMedGray", 0xA4A0A0},    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},        {"clWindow", 0xFFFFFF},     {"clWindowText", 0x000000},
    {"clBtnFace", 0xF0F0F0},       {"clBtnText", 0x000000},    {"clHighlight", 0xD77800},
    {"clHighlightText", 0xFFFFFF}, {"clInfoBk", 0xE1FFFF},     {"clGrayText", 0x6D6D6D},
}};

QColor FromBgr(unsigned bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

unsigned ToBgr(const QColor &color) {
    return static_cast<unsigned>(color.red()) | (static_cast<unsigned>(color.green()) << 8) |
           (static_cast<unsigned>(color.blue()) << 16);
}

bool IsDecimal(const QString &text) {
    if (text.isEmpty()) {
        return false;
    }
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return true;
}

bool IsName(const QString &text) {
    return text.startsWith(QLatin1String("cl"), Qt::CaseInsensitive);
}

} // namespace

std::optional<QColor> ParseConfigColor(const QString &raw) {
    const QString text = raw.trimmed();
    if (text.startsWith(u'$')) {
        const QString digits = text.mid(1);
        bool ok = false;
        const unsigned value = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8 || digits.startsWith(u'+') ||
            digits.startsWith(u'-')) {
            return std::nullopt;
        }
        return FromBgr(value);
    }
    if (IsDecimal(text)) {
        bool ok = false;
        const unsigned value = text.toUInt(&ok);
        if (!ok) {
            return std::nullopt;
        }
        return FromBgr(value);
    }
    for (const TNamedColor &named : NamedColors) {
        if (text.compare(QLatin1String(named.Name), Qt::CaseInsensitive) == 0) {
            return FromBgr(named.Bgr);
        }
    }
    return std::nullopt;
}

QString FormatConfigColor(const QColor &color, const QString &formOf) {
    const unsigned bgr = ToBgr(color);
    const QString form = formOf.trimmed();
    if (IsName(form)) {
        // The name of the text itself when it still names this colour (clGray and clDkGray
        // share a value), otherwise the first name of the colour.
        if (const auto same = ParseConfigColor(form); same && ToBgr(*same) == bgr) {
            return form;
        }
        for (const TNamedColor &named : NamedColors) {
            if (named.Bgr == bgr) {
                return QLatin1String(named.Name);
            }
        }
    } else if (IsDecimal(form)) {
        return QString::number(bgr);
    }
    return QStringLiteral("$%1").arg(bgr, 8, 16, QLatin1Char('0')).toUpper();
}

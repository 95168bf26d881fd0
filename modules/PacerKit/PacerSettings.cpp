#include "PacerSettings.h"

#include "ConfigColor.h"
#include "PaceScale.h"
#include "ReadingFont.h"

#include <algorithm>

namespace {

std::optional<int> ReadDecimal(const QString &text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok) {
        return std::nullopt;
    }
    return value;
}

} // namespace

TPacerSettings::TPacerSettings(const QString &text, const QString &elementName,
                               const QString &defaultText)
    : FElement(*TConfigElement::Parse(defaultText, elementName)),
      FDefaults(*TConfigElement::Parse(defaultText, elementName)) {
    if (auto element = TConfigElement::Parse(text, elementName)) {
        FElement = *element;
    } else {
        FStartedFromDefaults = true;
    }
}

QString TPacerSettings::Raw(const QString &attribute) const {
    return FElement.Value(attribute).value_or(DefaultRaw(attribute));
}

QString TPacerSettings::DefaultRaw(const QString &attribute) const {
    return FDefaults.Value(attribute).value_or(QString());
}

int TPacerSettings::Int(const QString &attribute) const {
    if (const auto value = ReadDecimal(Raw(attribute))) {
        return *value;
    }
    return ReadDecimal(DefaultRaw(attribute)).value_or(0);
}

void TPacerSettings::SetInt(const QString &attribute, int value) {
    // A value that already reads as this number keeps its text (" 2" stays " 2").
    if (FElement.Has(attribute) && ReadDecimal(Raw(attribute)) == value) {
        return;
    }
    FElement.SetValue(attribute, QString::number(value));
}

bool TPacerSettings::Flag(const QString &attribute) const {
    return Int(attribute) != 0;
}

void TPacerSettings::SetFlag(const QString &attribute, bool value) {
    if (FElement.Has(attribute) && ReadDecimal(Raw(attribute)).has_value() &&
        Flag(attribute) == value) {
        return;
    }
    FElement.SetValue(attribute, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QColor TPacerSettings::Color(const QString &attribute) const {
    if (const auto color = ParseConfigColor(Raw(attribute))) {
        return *color;
    }
    return ParseConfigColor(DefaultRaw(attribute)).value_or(QColor(Qt::black));
}

void TPacerSettings::SetColor(const QString &attribute, const QColor &color) {
    const QString current = Raw(attribute);
    if (FElement.Has(attribute) && ParseConfigColor(current) == color.toRgb()) {
        return;
    }
    const QString form = ParseConfigColor(current) ? current : DefaultRaw(attribute);
    FElement.SetValue(attribute, FormatConfigColor(color, form));
}

QString TPacerSettings::String(const QString &attribute) const {
    return Raw(attribute);
}

void TPacerSettings::SetString(const QString &attribute, const QString &value) {
    FElement.SetValue(attribute, value);
}

// ---- follow reading

const QString TFlashSettings::ElementName = QStringLiteral("flashConfig");
const QString TFlashSettings::DefaultText = QStringLiteral(
    "<flashConfig mode=\"1\" rate=\"0\" extractWordCount=\"5\" lineCount=\"1\" fontSize=\"2\" "
    "fontColor=\"clBlack\" fontName=\"宋体\" bgColor=\"clWhite\" beepOnRefresh=\"1\"/>");

TFlashSettings::TFlashSettings(const QString &text)
    : TPacerSettings(text, ElementName, DefaultText) {}

TFlashSettings::TMode TFlashSettings::Mode() const {
    return Int(QStringLiteral("mode")) == ByCharacters ? ByCharacters : ByWords;
}

void TFlashSettings::SetMode(TMode mode) {
    if (Mode() != mode) {
        SetInt(QStringLiteral("mode"), mode);
    }
}

int TFlashSettings::Rate() const {
    return ClampPaceStep(Int(QStringLiteral("rate")));
}

void TFlashSettings::SetRate(int step) {
    SetInt(QStringLiteral("rate"), ClampPaceStep(step));
}

int TFlashSettings::ExtractWordCount() const {
    return std::clamp(Int(QStringLiteral("extractWordCount")), 1, MaxExtractWordCount);
}

void TFlashSettings::SetExtractWordCount(int count) {
    SetInt(QStringLiteral("extractWordCount"), std::clamp(count, 1, MaxExtractWordCount));
}

int TFlashSettings::LineCount() const {
    return std::clamp(Int(QStringLiteral("lineCount")), 1, MaxLineCount);
}

void TFlashSettings::SetLineCount(int count) {
    SetInt(QStringLiteral("lineCount"), std::clamp(count, 1, MaxLineCount));
}

int TFlashSettings::FontSize() const {
    return ClampFontSizeStep(Int(QStringLiteral("fontSize")));
}

void TFlashSettings::SetFontSize(int step) {
    SetInt(QStringLiteral("fontSize"), ClampFontSizeStep(step));
}

// ---- line reading

const QString TBlockSettings::ElementName = QStringLiteral("blockConfig");
const QString TBlockSettings::DefaultText =
    QStringLiteral("<blockConfig layout=\"0\" mode=\"1\" rate=\"0\" highLight=\"1\" fontSize=\"2\" "
                   "bgColor=\"$00D8E9EC\" bgFontColor=\"$00BABABA\" lightFontColor=\"clBlack\" "
                   "fontName=\"宋体\" beepOnRefresh=\"1\"/>");

TBlockSettings::TBlockSettings(const QString &text)
    : TPacerSettings(text, ElementName, DefaultText) {}

int TBlockSettings::Rate() const {
    return ClampPaceStep(Int(QStringLiteral("rate")));
}

void TBlockSettings::SetRate(int step) {
    SetInt(QStringLiteral("rate"), ClampPaceStep(step));
}

int TBlockSettings::FontSize() const {
    return ClampFontSizeStep(Int(QStringLiteral("fontSize")));
}

void TBlockSettings::SetFontSize(int step) {
    SetInt(QStringLiteral("fontSize"), ClampFontSizeStep(step));
}

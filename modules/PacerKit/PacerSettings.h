#pragma once

#include "ConfigElement.h"

#include <QColor>
#include <QString>

// The settings of a reader module over its configuration element. Values are read from the
// element and, where an attribute is missing or its value does not read, from the default
// element; a text that is empty or not an element of the right name starts from the default
// element, so a setting never stops a reading. Setters write into the element at once
// (colours in the form the attribute had), and Text() hands the element back: unchanged
// settings give back the very text that came in.
class TPacerSettings {
public:
    TPacerSettings(const QString &text, const QString &elementName, const QString &defaultText);

    // True when the text given could not be used and the defaults apply.
    bool StartedFromDefaults() const { return FStartedFromDefaults; }
    QString Text() const { return FElement.ToText(); }
    const TConfigElement &Element() const { return FElement; }

    // A decimal attribute; a value that is no decimal number reads as the default.
    int Int(const QString &attribute) const;
    void SetInt(const QString &attribute, int value);
    // A "1"/"0" attribute: "0" is false, any other number true.
    bool Flag(const QString &attribute) const;
    void SetFlag(const QString &attribute, bool value);
    QColor Color(const QString &attribute) const;
    void SetColor(const QString &attribute, const QColor &color);
    QString String(const QString &attribute) const;
    void SetString(const QString &attribute, const QString &value);

private:
    QString Raw(const QString &attribute) const;
    QString DefaultRaw(const QString &attribute) const;

    TConfigElement FElement;
    TConfigElement FDefaults;
    bool FStartedFromDefaults = false;
};

// The configuration of stop-move follow reading, element flashConfig.
//   mode              0 steps by characters (字), 1 by words (词, the default)
//   rate              a step of the pace scale (PaceScale.h)
//   extractWordCount  words (or characters) shown at each step
//   lineCount         lines a step is laid out in
//   fontSize          a step of the font size scale (ReadingFont.h)
//   fontColor, bgColor, fontName, beepOnRefresh
class TFlashSettings : public TPacerSettings {
public:
    static const QString ElementName;
    static const QString DefaultText;
    explicit TFlashSettings(const QString &text);

    enum TMode { ByCharacters = 0, ByWords = 1 };
    TMode Mode() const;
    void SetMode(TMode mode);
    int Rate() const; // kept within the pace scale
    void SetRate(int step);
    int ExtractWordCount() const; // 1..MaxExtractWordCount
    void SetExtractWordCount(int count);
    int LineCount() const; // 1..MaxLineCount
    void SetLineCount(int count);
    int FontSize() const;
    void SetFontSize(int step);
    QColor FontColor() const { return Color(QStringLiteral("fontColor")); }
    void SetFontColor(const QColor &color) { SetColor(QStringLiteral("fontColor"), color); }
    QColor BgColor() const { return Color(QStringLiteral("bgColor")); }
    void SetBgColor(const QColor &color) { SetColor(QStringLiteral("bgColor"), color); }
    QString FontName() const { return String(QStringLiteral("fontName")); }
    bool BeepOnRefresh() const { return Flag(QStringLiteral("beepOnRefresh")); }
    void SetBeepOnRefresh(bool on) { SetFlag(QStringLiteral("beepOnRefresh"), on); }

    static constexpr int MaxExtractWordCount = 40;
    static constexpr int MaxLineCount = 5;
};

// The configuration of line reading, element blockConfig. Its attributes: layout, mode, rate,
// highLight, fontSize, bgColor, bgFontColor, lightFontColor, fontName, beepOnRefresh; the
// line reader gives layout and mode their meaning.
class TBlockSettings : public TPacerSettings {
public:
    static const QString ElementName;
    static const QString DefaultText;
    explicit TBlockSettings(const QString &text);

    int Layout() const { return Int(QStringLiteral("layout")); }
    void SetLayout(int value) { SetInt(QStringLiteral("layout"), value); }
    int Mode() const { return Int(QStringLiteral("mode")); }
    void SetMode(int value) { SetInt(QStringLiteral("mode"), value); }
    int Rate() const; // kept within the pace scale
    void SetRate(int step);
    bool HighLight() const { return Flag(QStringLiteral("highLight")); }
    void SetHighLight(bool on) { SetFlag(QStringLiteral("highLight"), on); }
    int FontSize() const;
    void SetFontSize(int step);
    QColor BgColor() const { return Color(QStringLiteral("bgColor")); }
    void SetBgColor(const QColor &color) { SetColor(QStringLiteral("bgColor"), color); }
    QColor BgFontColor() const { return Color(QStringLiteral("bgFontColor")); }
    void SetBgFontColor(const QColor &color) { SetColor(QStringLiteral("bgFontColor"), color); }
    QColor LightFontColor() const { return Color(QStringLiteral("lightFontColor")); }
    void SetLightFontColor(const QColor &c) { SetColor(QStringLiteral("lightFontColor"), c); }
    QString FontName() const { return String(QStringLiteral("fontName")); }
    bool BeepOnRefresh() const { return Flag(QStringLiteral("beepOnRefresh")); }
    void SetBeepOnRefresh(bool on) { SetFlag(QStringLiteral("beepOnRefresh"), on); }
};

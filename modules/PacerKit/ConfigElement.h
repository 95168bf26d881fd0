#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <optional>

// One configuration element as the program stores it: an empty XML element whose attributes
// are a reader's settings, e.g. <flashConfig mode="1" rate="0" .../>.
//
// The element keeps its attributes in the order they came, attributes it does not know
// included, and hands back the text it was read from, unchanged, until a value really
// changes; a changed value stays in its place and a new attribute goes at the end.
class TConfigElement {
public:
    // The element read from text; nothing when the text is not one XML element of that name.
    static std::optional<TConfigElement> Parse(const QString &text, const QString &elementName);

    QString Name() const { return FName; }
    const QList<QPair<QString, QString>> &Attributes() const { return FAttributes; }
    bool Has(const QString &attribute) const;
    // The value of an attribute; nothing when the element lacks it.
    std::optional<QString> Value(const QString &attribute) const;
    // Sets a value in place, or appends the attribute when the element lacks it. Setting the
    // value an attribute already holds changes nothing.
    void SetValue(const QString &attribute, const QString &value);

    // The element as text: the text it was read from when nothing changed, otherwise
    // <name a="v" .../> with the values escaped.
    QString ToText() const;
    bool IsChanged() const { return FChanged; }

private:
    QString FName;
    QList<QPair<QString, QString>> FAttributes;
    QString FSourceText;
    bool FChanged = false;
};

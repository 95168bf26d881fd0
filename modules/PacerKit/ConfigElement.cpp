#include "ConfigElement.h"

#include <QXmlStreamReader>

namespace {

QString EscapeAttribute(const QString &value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        case u'\n':
            out += QLatin1String("&#10;");
            break;
        case u'\r':
            out += QLatin1String("&#13;");
            break;
        case u'\t':
            out += QLatin1String("&#9;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::optional<TConfigElement> TConfigElement::Parse(const QString &text,
                                                    const QString &elementName) {
    QXmlStreamReader reader(text);
    TConfigElement element;
    bool rootSeen = false;
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (depth == 0) {
                if (rootSeen || reader.qualifiedName() != elementName) {
                    return std::nullopt;
                }
                rootSeen = true;
                for (const QXmlStreamAttribute &attribute : reader.attributes()) {
                    element.FAttributes.append(
                        {attribute.qualifiedName().toString(), attribute.value().toString()});
                }
            }
            ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    if (reader.hasError() || !rootSeen) {
        return std::nullopt;
    }
    element.FName = elementName;
    element.FSourceText = text;
    return element;
}

bool TConfigElement::Has(const QString &attribute) const {
    return Value(attribute).has_value();
}

std::optional<QString> TConfigElement::Value(const QString &attribute) const {
    for (const auto &pair : FAttributes) {
        if (pair.first == attribute) {
            return pair.second;
        }
    }
    return std::nullopt;
}

void TConfigElement::SetValue(const QString &attribute, const QString &value) {
    for (auto &pair : FAttributes) {
        if (pair.first == attribute) {
            if (pair.second != value) {
                pair.second = value;
                FChanged = true;
            }
            return;
        }
    }
    FAttributes.append({attribute, value});
    FChanged = true;
}

QString TConfigElement::ToText() const {
    if (!FChanged) {
        return FSourceText;
    }
    QString text = QLatin1Char('<') + FName;
    for (const auto &pair : FAttributes) {
        text += QLatin1Char(' ') + pair.first + QLatin1String("=\"") +
                EscapeAttribute(pair.second) + QLatin1Char('"');
    }
    text += QLatin1String("/>");
    return text;
}

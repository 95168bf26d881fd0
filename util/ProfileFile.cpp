#include "ProfileFile.h"

#include "util/CodePage.h"
#include "util/Errors.h"

#include <QFile>
#include <QSaveFile>

namespace {

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// Only spaces and tabs go: an ideographic space inside a value is part of it.
QString TrimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text.at(begin))) {
        ++begin;
    }
    while (end > begin && IsBlank(text.at(end - 1))) {
        --end;
    }
    return text.mid(begin, end - begin).toString();
}

bool IsBlankLine(const QString &text) {
    return TrimBlanks(text).isEmpty();
}

// "[Name]" gives Name; the name ends at the last "]" (or the line's end when there is none).
bool ParseSectionHeader(const QString &text, QString &name) {
    const QString line = TrimBlanks(text);
    if (!line.startsWith(u'[')) {
        return false;
    }
    qsizetype close = line.lastIndexOf(u']');
    if (close < 0) {
        close = line.size();
    }
    name = TrimBlanks(QStringView(line).mid(1, close - 1));
    return true;
}

// "Key=Value" gives Key and Value as written; comment lines (";") and lines without "="
// hold no key.
bool ParseKeyLine(const QString &text, QString &key, QString &value) {
    const QString line = TrimBlanks(text);
    const qsizetype equals = line.indexOf(u'=');
    if (line.startsWith(u';') || equals < 0) {
        return false;
    }
    key = TrimBlanks(QStringView(line).left(equals));
    value = TrimBlanks(QStringView(line).mid(equals + 1));
    return true;
}

// A value in matching quotes is read without them.
QString Unquote(const QString &value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

bool SameName(const QString &a, const QString &b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Splits at CR LF, a lone CR or a lone LF. These bytes never occur inside a GB18030
// character, so the raw bytes can be cut before decoding.
QList<QByteArray> SplitLines(const QByteArray &bytes) {
    QList<QByteArray> lines;
    qsizetype begin = 0;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const char c = bytes.at(i);
        if (c == '\r' || c == '\n') {
            lines.append(bytes.mid(begin, i - begin));
            i += (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n') ? 2 : 1;
            begin = i;
        } else {
            ++i;
        }
    }
    if (begin < bytes.size()) {
        lines.append(bytes.mid(begin));
    }
    return lines;
}

} // namespace

TProfileFile::TProfileFile(const QString &fileName) : FFileName(fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QList<QByteArray> lines = SplitLines(file.readAll());
    FLines.reserve(lines.size());
    for (const QByteArray &raw : lines) {
        FLines.append({raw, DecodeCodePage936(raw)});
    }
}

QString TProfileFile::ReadString(const QString &section, const QString &key,
                                 const QString &defaultValue) const {
    const qsizetype body = FindSection(section);
    if (body < 0) {
        return defaultValue;
    }
    const qsizetype line = FindKey(body, SectionEnd(body), key);
    if (line < 0) {
        return defaultValue;
    }
    QString name;
    QString value;
    ParseKeyLine(FLines.at(line).Text, name, value);
    return Unquote(value);
}

void TProfileFile::WriteString(const QString &section, const QString &key, const QString &value) {
    const qsizetype body = FindSection(section);
    if (body < 0) {
        InsertLine(FLines.size(), u'[' + section + u']');
        InsertLine(FLines.size(), key + u'=' + value);
        return;
    }
    const qsizetype end = SectionEnd(body);
    const qsizetype line = FindKey(body, end, key);
    if (line >= 0) {
        QString name;
        QString oldValue;
        ParseKeyLine(FLines.at(line).Text, name, oldValue);
        // A line that already reads as the value keeps its bytes and its layout.
        if (Unquote(oldValue) != value) {
            FLines.removeAt(line);
            InsertLine(line, name + u'=' + value);
        }
        return;
    }
    // After the section's last line that is not blank, so the blank lines that part it
    // from the next section stay where they are.
    qsizetype insertAt = end;
    while (insertAt > body && IsBlankLine(FLines.at(insertAt - 1).Text)) {
        --insertAt;
    }
    InsertLine(insertAt, key + u'=' + value);
}

void TProfileFile::Save() const {
    QByteArray bytes;
    for (const TLine &line : FLines) {
        bytes += line.Raw;
        bytes += "\r\n";
    }
    QSaveFile file(FFileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw EWriteError(QStringLiteral("写 %1 失败").arg(FFileName));
    }
}

qsizetype TProfileFile::FindSection(const QString &section) const {
    QString name;
    for (qsizetype i = 0; i < FLines.size(); ++i) {
        if (ParseSectionHeader(FLines.at(i).Text, name) && SameName(name, section)) {
            return i + 1;
        }
    }
    return -1;
}

qsizetype TProfileFile::SectionEnd(qsizetype bodyStart) const {
    QString name;
    qsizetype i = bodyStart;
    while (i < FLines.size() && !ParseSectionHeader(FLines.at(i).Text, name)) {
        ++i;
    }
    return i;
}

qsizetype TProfileFile::FindKey(qsizetype bodyStart, qsizetype bodyEnd, const QString &key) const {
    QString name;
    QString value;
    for (qsizetype i = bodyStart; i < bodyEnd; ++i) {
        if (ParseKeyLine(FLines.at(i).Text, name, value) && SameName(name, key)) {
            return i;
        }
    }
    return -1;
}

void TProfileFile::InsertLine(qsizetype index, const QString &text) {
    FLines.insert(index, {EncodeCodePage936(text), text});
}

QString ReadProfileString(const QString &fileName, const QString &section, const QString &key,
                          const QString &defaultValue) {
    return TProfileFile(fileName).ReadString(section, key, defaultValue);
}

void WriteProfileString(const QString &fileName, const QString &section, const QString &key,
                        const QString &value) {
    TProfileFile file(fileName);
    file.WriteString(section, key, value);
    file.Save();
}

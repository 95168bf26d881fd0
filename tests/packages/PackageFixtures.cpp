#include "PackageFixtures.h"

#include "util/CodePage.h"

#include <zlib.h>

namespace PackageFixtures {

namespace {

void Append(QByteArray &xml, const TRecord &record, const char *name, const QString &value) {
    if (record.Missing == QLatin1String(name)) {
        return;
    }
    xml += '<';
    xml += name;
    xml += "><![CDATA[";
    xml += EncodeCodePage936(value);
    xml += "]]></";
    xml += name;
    xml += '>';
}

} // namespace

QByteArray RecordXml(const TRecord &record) {
    QByteArray xml = "<Record>";
    Append(xml, record, "Id", record.Id);
    Append(xml, record, "Language", record.Language);
    Append(xml, record, "Edition_Name", record.EditionName);
    Append(xml, record, "Grade", record.Grade);
    Append(xml, record, "Type", record.Type);
    Append(xml, record, "Title", record.Title);
    Append(xml, record, "Author", record.Author);
    Append(xml, record, "Dir", record.Dir);
    Append(xml, record, "Text", record.Text);
    Append(xml, record, "Word_Count", record.WordCount);
    Append(xml, record, "Use_Rate", record.UseRate);
    xml += "</Record>";
    return xml;
}

QByteArray Document(const QByteArray &body) {
    return "<?xml version=\"1.0\" encoding=\"GB2312\"?><EARTICLE.DB>" + body + "</EARTICLE.DB>";
}

QByteArray Zlib(const QByteArray &bytes, int level) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    QByteArray out(static_cast<qsizetype>(size), '\0');
    compress2(reinterpret_cast<Bytef *>(out.data()), &size,
              reinterpret_cast<const Bytef *>(bytes.constData()), static_cast<uLong>(bytes.size()),
              level);
    out.resize(static_cast<qsizetype>(size));
    return out;
}

QByteArray Inflated(const QByteArray &zlibBytes) {
    z_stream stream{};
    inflateInit(&stream);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zlibBytes.constData()));
    stream.avail_in = static_cast<uInt>(zlibBytes.size());
    QByteArray out;
    char buffer[65536];
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef *>(buffer);
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, static_cast<qsizetype>(sizeof buffer - stream.avail_out));
    }
    inflateEnd(&stream);
    return out;
}

} // namespace PackageFixtures

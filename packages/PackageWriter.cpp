#include "packages/PackageWriter.h"

#include "app/Const.h"
#include "packages/PackageFormat.h"
#include "packages/PackageProgress.h"
#include "store/IBlockService.h"
#include "util/CodePage.h"
#include "util/Errors.h"

#include <QIODevice>

#include <zlib.h>

#include <algorithm>
#include <array>

namespace PackageWriter {

namespace {

// XML 1.0 cannot carry C0 controls other than tab, LF and CR, nor U+FFFE, U+FFFF or a lone
// surrogate: a package holding one would not open anywhere, so they are left out.
QString XmlCharactersOnly(const QString &value) {
    const auto allowed = [](const QString &text, qsizetype i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (u < 0x20) {
            return u == u'\t' || u == u'\n' || u == u'\r';
        }
        if (u == 0xFFFE || u == 0xFFFF) {
            return false;
        }
        if (c.isHighSurrogate()) {
            return i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        }
        if (c.isLowSurrogate()) {
            return i > 0 && text.at(i - 1).isHighSurrogate();
        }
        return true;
    };
    qsizetype i = 0;
    while (i < value.size() && allowed(value, i)) {
        ++i;
    }
    if (i == value.size()) {
        return value;
    }
    QString kept = value.left(i);
    for (; i < value.size(); ++i) {
        if (allowed(value, i)) {
            kept += value.at(i);
        }
    }
    return kept;
}

// Parsers refuse a single text node above 10 MB; a longer value goes out in several CDATA
// sections of at most this many characters (4 MB in code page 936), which a reader joins.
constexpr qsizetype SectionChars = qsizetype(1) << 20;

// "<Name><![CDATA[value]]></Name>". A value holding "]]>" goes into two sections split
// between "]]" and ">", which a reader joins back.
void AppendElement(QByteArray &xml, const char *name, const QString &value) {
    const QString text = XmlCharactersOnly(value);
    xml += '<';
    xml += name;
    xml += '>';
    qsizetype start = 0;
    do {
        qsizetype length = std::min(SectionChars, text.size() - start);
        if (start + length < text.size() && text.at(start + length - 1).isHighSurrogate()) {
            --length; // a surrogate pair stays in one section
        }
        QByteArray bytes = EncodeCodePage936(text.mid(start, length));
        bytes.replace("]]>", "]]]]><![CDATA[>");
        xml += "<![CDATA[";
        xml += bytes;
        xml += "]]>";
        start += length;
    } while (start < text.size());
    xml += "</";
    xml += name;
    xml += '>';
}

void AppendElement(QByteArray &xml, const char *name, int value) {
    AppendElement(xml, name, QString::number(value));
}

QString JoinedText(const TLineList &lines) {
    QString text;
    for (const QString &line : lines.Lines()) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

void AppendRecord(QByteArray &xml, const TArticle &article, const QString &text) {
    using namespace PackageFormat;
    xml += '<';
    xml += RecordElement;
    xml += '>';
    AppendElement(xml, IdElement, article.Id);
    AppendElement(xml, LanguageElement, article.Lang);
    AppendElement(xml, EditionNameElement, article.EditionName);
    AppendElement(xml, GradeElement, article.Grade);
    AppendElement(xml, TypeElement, article.Type);
    AppendElement(xml, TitleElement, article.Title);
    AppendElement(xml, AuthorElement, article.Author);
    AppendElement(xml, DirElement, article.Dir);
    AppendElement(xml, TextElement, text);
    AppendElement(xml, WordCountElement, article.WordCount);
    AppendElement(xml, UseRateElement, article.UseRate);
    xml += "</";
    xml += RecordElement;
    xml += '>';
}

// The compressor's state, released however the compression ends.
class TDeflater {
public:
    TDeflater() {
        if (deflateInit2(&FStream, PackageFormat::CompressionLevel, Z_DEFLATED, MAX_WBITS, 8,
                         Z_DEFAULT_STRATEGY) != Z_OK) {
            throw EMxError(
                QStringLiteral("zlib: %1").arg(QString::fromLatin1(zError(Z_MEM_ERROR))));
        }
    }
    ~TDeflater() { deflateEnd(&FStream); }
    TDeflater(const TDeflater &) = delete;
    TDeflater &operator=(const TDeflater &) = delete;

    // Compresses bytes (the last call with finish set) and writes what comes out.
    void Feed(const char *data, qsizetype size, bool finish, QIODevice &device) {
        FStream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
        FStream.avail_in = static_cast<uInt>(size);
        const int flush = finish ? Z_FINISH : Z_NO_FLUSH;
        int result = Z_OK;
        do {
            FStream.next_out = FBuffer.data();
            FStream.avail_out = static_cast<uInt>(FBuffer.size());
            result = deflate(&FStream, flush);
            if (result == Z_STREAM_ERROR) {
                throw EMxError(QStringLiteral("zlib: %1").arg(QString::fromLatin1(zError(result))));
            }
            const qint64 produced = static_cast<qint64>(FBuffer.size() - FStream.avail_out);
            if (produced > 0 && device.write(reinterpret_cast<const char *>(FBuffer.data()),
                                             produced) != produced) {
                throw EWriteError(device.errorString());
            }
        } while (FStream.avail_out == 0 || (finish && result != Z_STREAM_END));
    }

private:
    z_stream FStream{};
    std::array<Bytef, 65536> FBuffer{};
};

} // namespace

QByteArray BuildPackageDocument(IBlockService &service, const QList<TArticle *> &articles,
                                IPackageProgress &progress, QStringList &readmeLines) {
    progress.SetRange(static_cast<int>(articles.size()));
    QByteArray xml;
    xml += PackageFormat::Declaration;
    xml += '<';
    xml += PackageFormat::RootElement;
    xml += '>';
    const QString exporting = Const::Message(Const::Exporting);
    int done = 0;
    for (const TArticle *article : articles) {
        progress.SetLabel(exporting + article->Title);
        AppendRecord(xml, *article, JoinedText(service.GetArticleText(article->Id)));
        readmeLines.append(QStringLiteral("[%1] %2").arg(article->Dir, article->Title));
        progress.SetPosition(++done);
        progress.LetMessagesThrough();
    }
    xml += "</";
    xml += PackageFormat::RootElement;
    xml += '>';
    return xml;
}

void CompressToDevice(const QByteArray &document, QIODevice &device, IPackageProgress &progress) {
    const qsizetype blocks = document.size() / PackageFormat::BlockSize;
    const qsizetype rest = document.size() % PackageFormat::BlockSize;
    progress.SetRange(static_cast<int>(blocks));
    progress.SetLabel(Const::Message(Const::Compressing));
    TDeflater deflater;
    const char *data = document.constData();
    for (qsizetype k = 1; k <= blocks; ++k) {
        deflater.Feed(data, PackageFormat::BlockSize, false, device);
        data += PackageFormat::BlockSize;
        progress.SetPosition(static_cast<int>(k));
        progress.LetMessagesThrough();
    }
    deflater.Feed(data, rest, true, device);
}

} // namespace PackageWriter

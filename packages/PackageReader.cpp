#include "packages/PackageReader.h"

#include "app/Const.h"
#include "packages/PackageErrors.h"
#include "packages/PackageProgress.h"

#include <QIODevice>

#include <libxml/parser.h>
#include <libxml/xmlreader.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <limits>

namespace PackageReader {

namespace {

const xmlChar *XmlText(const char *text) {
    return reinterpret_cast<const xmlChar *>(text);
}

[[noreturn]] void BadFormat(const QString &details) {
    throw EPackageError(Const::Message(Const::BadFileFormat), details);
}

[[noreturn]] void Damaged(const QString &details) {
    throw EPackageError(Const::Message(Const::DamagedFile), details);
}

// The decompressor's state, released however the inflating ends.
class TInflater {
public:
    TInflater() {
        if (inflateInit(&FStream) != Z_OK) {
            BadFormat(QStringLiteral("zlib: %1").arg(QString::fromLatin1(zError(Z_MEM_ERROR))));
        }
    }
    ~TInflater() { inflateEnd(&FStream); }
    TInflater(const TInflater &) = delete;
    TInflater &operator=(const TInflater &) = delete;

    z_stream &Stream() { return FStream; }

private:
    z_stream FStream{};
};

// Parser options: no network, no DTD loaded, no entity substituted, no messages on stderr
// (they are collected for the details of the error instead). The limit of 10 MB on one text
// is lifted, so that a long article comes through; that also lifts the parser's guard
// against entities that expand without end, so a document with a DTD is refused outright
// (no writer of packages writes one).
constexpr int ParseOptions =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE;

// The encoding the parser is told to use. A document declared GB2312 or GBK is read as
// GB18030, which agrees with both on every character they have and carries the rest: a
// strict GB2312 reading would fail on the characters of GBK beyond it. Other documents are
// read by their own declaration.
const char *EncodingFor(const QByteArray &document) {
    QByteArrayView head(document.constData(), std::min<qsizetype>(document.size(), 256));
    if (head.startsWith("\xEF\xBB\xBF")) {
        head = head.sliced(3);
    }
    if (!head.startsWith("<?xml")) {
        return nullptr;
    }
    const qsizetype end = head.indexOf("?>");
    const qsizetype at = head.indexOf("encoding");
    if (end < 0 || at < 0 || at > end) {
        return nullptr;
    }
    QByteArrayView rest = head.sliced(at + 8, end - at - 8).trimmed();
    if (!rest.startsWith('=')) {
        return nullptr;
    }
    rest = rest.sliced(1).trimmed();
    if (rest.isEmpty() || (rest.front() != '"' && rest.front() != '\'')) {
        return nullptr;
    }
    const qsizetype close = rest.sliced(1).indexOf(rest.front());
    if (close < 0) {
        return nullptr;
    }
    const QByteArray name = rest.sliced(1, close).toByteArray().toUpper();
    if (name == "GB2312" || name == "GBK" || name == "GB18030" || name == "CP936") {
        return "GB18030";
    }
    return nullptr;
}

// A pull parser over the document; every step raises EPackageError when the document turns
// out not to be well-formed.
class TDocumentReader {
public:
    explicit TDocumentReader(const QByteArray &document) {
        if (document.size() > std::numeric_limits<int>::max()) {
            Damaged(QStringLiteral("文档太大"));
        }
        const char *encoding = EncodingFor(document);
        // The encoding given here replaces the declared one only when the declaration is
        // ignored.
        FReader = xmlReaderForMemory(
            document.constData(), static_cast<int>(document.size()), nullptr, encoding,
            ParseOptions | (encoding != nullptr ? XML_PARSE_IGNORE_ENC : 0));
        if (FReader == nullptr) {
            Damaged(QStringLiteral("文档无法解析"));
        }
        xmlTextReaderSetStructuredErrorHandler(FReader, &TDocumentReader::OnError, this);
    }
    ~TDocumentReader() { xmlFreeTextReader(FReader); }
    TDocumentReader(const TDocumentReader &) = delete;
    TDocumentReader &operator=(const TDocumentReader &) = delete;

    // The next node in document order; false at the end of the document.
    bool Read() {
        const bool more = Checked(xmlTextReaderRead(FReader));
        if (more && Type() == XML_READER_TYPE_DOCUMENT_TYPE) {
            Damaged(QStringLiteral("文章包不能含有文档类型定义（DTD）"));
        }
        return more;
    }
    // The node after the current one and its subtree; false at the end of the document.
    bool Next() { return Checked(xmlTextReaderNext(FReader)); }

    int Type() const { return xmlTextReaderNodeType(FReader); }
    int Depth() const { return xmlTextReaderDepth(FReader); }
    bool IsEmptyElement() const { return xmlTextReaderIsEmptyElement(FReader) == 1; }
    bool NameIs(const char *name) const {
        return xmlStrEqual(xmlTextReaderConstName(FReader), XmlText(name)) != 0;
    }
    // The current node with its whole subtree; valid until the reader moves on.
    const xmlNode *Expand() {
        const xmlNode *node = xmlTextReaderExpand(FReader);
        if (node == nullptr) {
            Fail();
        }
        return node;
    }

    // Moves to the document element; false when there is none.
    bool MoveToDocumentElement() {
        while (Read()) {
            if (Type() == XML_READER_TYPE_ELEMENT && Depth() == 0) {
                return true;
            }
        }
        return false;
    }

    // Whether a child of the document element counts as a record: anything but whitespace,
    // comments, processing instructions and end tags.
    bool IsRecordNode() const {
        switch (Type()) {
        case XML_READER_TYPE_WHITESPACE:
        case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
        case XML_READER_TYPE_COMMENT:
        case XML_READER_TYPE_PROCESSING_INSTRUCTION:
        case XML_READER_TYPE_END_ELEMENT:
            return false;
        default:
            return true;
        }
    }

private:
    bool Checked(int result) {
        if (result < 0) {
            Fail();
        }
        return result == 1;
    }
    [[noreturn]] void Fail() const {
        Damaged(FError.isEmpty() ? QStringLiteral("文档无法解析") : FError);
    }
    static void OnError(void *self, xmlErrorPtr error) {
        auto *reader = static_cast<TDocumentReader *>(self);
        if (reader->FError.isEmpty() && error != nullptr && error->level >= XML_ERR_ERROR) {
            reader->FError = QStringLiteral("第%1行：%2")
                                 .arg(error->line)
                                 .arg(QString::fromUtf8(error->message).trimmed());
        }
    }

    xmlTextReaderPtr FReader = nullptr;
    QString FError;
};

// The first child element of that name.
const xmlNode *FindChild(const xmlNode *record, const char *name) {
    for (const xmlNode *child = record->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE && xmlStrEqual(child->name, XmlText(name))) {
            return child;
        }
    }
    return nullptr;
}

bool IsBlank(const xmlChar *text) {
    for (; text != nullptr && *text != 0; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r') {
            return false;
        }
    }
    return true;
}

// Reads the values of one record.
class TRecordValues {
public:
    TRecordValues(const xmlNode *record, int number) : FRecord(record), FNumber(number) {
        if (record->type != XML_ELEMENT_NODE) {
            Damaged(QStringLiteral("第%1条记录不是元素").arg(number));
        }
    }

    // The element's text: its text and CDATA children joined (a value holding "]]>" comes
    // in two sections); whitespace-only text beside a CDATA section is layout. An element
    // without children reads as empty; any other kind of child is an error.
    QString Text(const char *name) const {
        const xmlNode *element = FindChild(FRecord, name);
        if (element == nullptr) {
            Damaged(QStringLiteral("第%1条记录缺少 %2").arg(FNumber).arg(QLatin1String(name)));
        }
        bool hasCData = false;
        for (const xmlNode *child = element->children; child != nullptr; child = child->next) {
            if (child->type == XML_CDATA_SECTION_NODE) {
                hasCData = true;
            } else if (child->type != XML_TEXT_NODE) {
                Damaged(QStringLiteral("第%1条记录的 %2 含有文字以外的内容")
                            .arg(FNumber)
                            .arg(QLatin1String(name)));
            }
        }
        QByteArray utf8;
        for (const xmlNode *child = element->children; child != nullptr; child = child->next) {
            if (child->content == nullptr ||
                (child->type == XML_TEXT_NODE && hasCData && IsBlank(child->content))) {
                continue;
            }
            QByteArray content(reinterpret_cast<const char *>(child->content));
            if (child->type == XML_CDATA_SECTION_NODE) {
                // The incremental parser hands CDATA over without the end-of-line handling
                // that XML asks for: CR LF and a lone CR are a line feed.
                content.replace("\r\n", "\n").replace('\r', '\n');
            }
            utf8 += content;
        }
        return QString::fromUtf8(utf8);
    }

    // A 32-bit signed decimal number, spaces around it allowed; an empty value is an error.
    int Number(const char *name) const {
        const QString text = Text(name).trimmed();
        const auto bad = [&] {
            Damaged(QStringLiteral("第%1条记录的 %2 不是数字：%3")
                        .arg(FNumber)
                        .arg(QLatin1String(name), text.left(40)));
        };
        qsizetype i = 0;
        bool negative = false;
        if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) {
            negative = text.at(i) == u'-';
            ++i;
        }
        if (i == text.size()) {
            bad();
        }
        qint64 value = 0;
        for (; i < text.size(); ++i) {
            const char16_t c = text.at(i).unicode();
            if (c < u'0' || c > u'9') {
                bad();
            }
            value = value * 10 + (c - u'0');
            if (value > qint64(std::numeric_limits<int>::max()) + 1) {
                bad();
            }
        }
        value = negative ? -value : value;
        if (value > std::numeric_limits<int>::max()) {
            bad();
        }
        return static_cast<int>(value);
    }

private:
    const xmlNode *FRecord;
    int FNumber;
};

// The text arrives as one line. The writer ends a text with a line break unless it is empty;
// that break is dropped here because the store ends the line with one of its own, so a text
// comes back as it went out instead of growing an empty line at every round trip.
TLineList TextLines(QString text) {
    if (text.isEmpty()) {
        return {};
    }
    if (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
    }
    return TLineList::FromLines({text});
}

void ReadRecord(const xmlNode *node, int number, const TRecordSink &sink, TArticle &article) {
    using namespace PackageFormat;
    const TRecordValues values(node, number);
    article.Id = values.Number(IdElement);
    article.Lang = values.Text(LanguageElement);
    article.EditionName = values.Text(EditionNameElement);
    article.Grade = values.Number(GradeElement);
    article.Title = values.Text(TitleElement);
    article.Type = values.Number(TypeElement);
    article.Author = values.Text(AuthorElement);
    article.Dir = values.Text(DirElement);
    article.WordCount = values.Number(WordCountElement);
    article.UseRate = values.Number(UseRateElement);
    const TLineList lines = TextLines(values.Text(TextElement));
    try {
        sink(article, lines);
    } catch (const std::exception &error) {
        Damaged(QStringLiteral("第%1条记录无法保存：%2")
                    .arg(number)
                    .arg(QString::fromUtf8(error.what())));
    }
}

// Reads the whole document once without keeping it, so that a document that does not parse
// stores nothing; returns the number of records, or -1 when the document element is not
// EARTICLE.DB.
int CountRecords(const QByteArray &document) {
    TDocumentReader reader(document);
    if (!reader.MoveToDocumentElement()) {
        return -1;
    }
    const bool isPackage = reader.NameIs(PackageFormat::RootElement);
    int records = 0;
    while (reader.Read()) {
        if (isPackage && reader.Depth() == 1 && reader.IsRecordNode()) {
            ++records;
        }
    }
    return isPackage ? records : -1;
}

} // namespace

QByteArray Inflate(QIODevice &device, IPackageProgress &progress, qint64 maxBytes) {
    const int steps = static_cast<int>(std::min<qint64>(device.size() / PackageFormat::BlockSize,
                                                        std::numeric_limits<int>::max()));
    progress.SetRange(steps);
    progress.SetLabel(Const::Message(Const::Decompressing));

    TInflater inflater;
    z_stream &stream = inflater.Stream();
    std::array<char, PackageFormat::BlockSize> input{};
    std::array<char, PackageFormat::BlockSize> output{};
    QByteArray document;
    int result = Z_OK;
    while (result != Z_STREAM_END) {
        if (stream.avail_in == 0) {
            const qint64 read = device.read(input.data(), input.size());
            if (read < 0) {
                BadFormat(device.errorString());
            }
            if (read == 0) {
                break; // cut off: the document step judges what arrived
            }
            stream.next_in = reinterpret_cast<Bytef *>(input.data());
            stream.avail_in = static_cast<uInt>(read);
        }
        stream.next_out = reinterpret_cast<Bytef *>(output.data());
        stream.avail_out = static_cast<uInt>(output.size());
        result = inflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
            BadFormat(stream.msg != nullptr ? QString::fromLatin1(stream.msg)
                                            : QString::fromLatin1(zError(result)));
        }
        const qsizetype produced = static_cast<qsizetype>(output.size() - stream.avail_out);
        if (produced == 0) {
            continue;
        }
        if (document.size() + produced > maxBytes) {
            BadFormat(QStringLiteral("解压后超过 %1 字节").arg(maxBytes));
        }
        document.append(output.data(), produced);
        progress.SetPosition(static_cast<int>(std::min<qint64>(
            static_cast<qint64>(stream.total_in) / PackageFormat::BlockSize, steps)));
        progress.LetMessagesThrough();
    }
    return document;
}

int ReadDocument(const QByteArray &document, const TRecordSink &sink, IPackageProgress &progress) {
    if (document.isEmpty()) {
        return 0;
    }
    const int records = CountRecords(document);
    if (records <= 0) {
        return 0;
    }
    progress.SetRange(records);
    const QString importing = Const::Message(Const::Importing);

    TDocumentReader reader(document);
    reader.MoveToDocumentElement();
    if (reader.IsEmptyElement()) {
        return 0;
    }
    int number = 0;
    bool more = reader.Read();
    while (more && reader.Depth() > 0) {
        if (!reader.IsRecordNode()) {
            more = reader.Next();
            continue;
        }
        ++number;
        TArticle article;
        ReadRecord(reader.Expand(), number, sink, article);
        progress.SetPosition(number);
        progress.SetLabel(importing + article.Title);
        more = reader.Next();
    }
    return number;
}

} // namespace PackageReader

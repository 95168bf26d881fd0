#include "util/TextDecoding.h"

#include "util/Errors.h"

#include <QStringDecoder>

#include <uchardet.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>
#include <utility>

namespace {

// The bytes that decide the encoding, and the size of one piece of a file read in pieces.
constexpr qsizetype SampleBytes = 1 << 20;
constexpr qsizetype PieceBytes = 1 << 20;
// The head that the BOM-less UTF-16 check looks at.
constexpr qsizetype Utf16SampleBytes = 64 * 1024;

// More than one control character in a hundred: not text.
constexpr int ControlPerMille = 10;

bool IsAllowedControl(unsigned c) {
    // Tab, LF, VT, FF, CR, the DOS end-of-file mark and ESC (colour codes in logs).
    return c == 0x09 || c == 0x0A || c == 0x0B || c == 0x0C || c == 0x0D || c == 0x1A || c == 0x1B;
}

bool IsControl(unsigned c) {
    return (c < 0x20 && !IsAllowedControl(c)) || c == 0x7F;
}

bool IsChineseCodePoint(char32_t u) {
    return (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF) ||
           (u >= 0xF900 && u <= 0xFAFF) || (u >= 0x20000 && u <= 0x3FFFF) ||
           (u >= 0x3000 && u <= 0x303F) || (u >= 0xFF00 && u <= 0xFFEF) ||
           (u >= 0x2000 && u <= 0x206F);
}

bool IsPrivateUse(char32_t u) {
    return (u >= 0xE000 && u <= 0xF8FF) || u >= 0xF0000;
}

// A 16-bit unit that a text holds (surrogates are judged in pairs by the caller).
bool IsPlausibleUnit(char16_t u) {
    return u == 0x09 || u == 0x0A || u == 0x0D || (u >= 0x20 && u < 0x7F) ||
           (u >= 0xA0 && u <= 0xFF) || (u >= 0x2000 && u <= 0x27BF) ||
           (u >= 0x3000 && u <= 0x303F) || (u >= 0x3400 && u <= 0x4DBF) ||
           (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) ||
           (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFFEF) || u == 0xFEFF;
}

struct TUnitShare {
    double Plausible = 0;     // share of plausible units
    qsizetype AsciiUnits = 0; // units 0x00xx: ASCII in this byte order
};

TUnitShare ShareOfUnits(const QByteArray &sample, bool littleEndian) {
    const qsizetype units = sample.size() / 2;
    TUnitShare share;
    if (units == 0) {
        return share;
    }
    const auto unitAt = [&](qsizetype i) {
        const auto a = static_cast<unsigned char>(sample[2 * i]);
        const auto b = static_cast<unsigned char>(sample[2 * i + 1]);
        return static_cast<char16_t>(littleEndian ? (b << 8 | a) : (a << 8 | b));
    };
    qsizetype plausible = 0;
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t u = unitAt(i);
        if (u < 0x100 && u != 0) {
            ++share.AsciiUnits;
        }
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char16_t next = unitAt(i + 1);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                plausible += 2;
                ++i;
            }
        } else if (IsPlausibleUnit(u)) {
            ++plausible;
        }
    }
    share.Plausible = static_cast<double>(plausible) / static_cast<double>(units);
    return share;
}

// How a sample reads in one encoding.
struct TReading {
    qsizetype Errors = 0;
    qsizetype NonAscii = 0;
    qsizetype Chinese = 0;
    qsizetype PrivateUse = 0;
    double ChineseShare() const {
        return NonAscii == 0 ? 0.0 : static_cast<double>(Chinese) / static_cast<double>(NonAscii);
    }
};

TReading ReadAs(const char *encoding, const QByteArray &sample) {
    TReading reading;
    QStringDecoder decoder(encoding);
    const QString text = decoder.decode(sample);
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t u = text.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            u = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (u == 0xFFFD) {
            ++reading.Errors;
        } else if (u >= 0x80) {
            ++reading.NonAscii;
            if (IsChineseCodePoint(u)) {
                ++reading.Chinese;
            } else if (IsPrivateUse(u)) {
                ++reading.PrivateUse;
            }
        }
    }
    return reading;
}

QString UchardetAnswer(const QByteArray &sample) {
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(
        uchardet_new(), uchardet_delete);
    if (!detector || uchardet_handle_data(detector.get(), sample.constData(),
                                          static_cast<size_t>(sample.size())) != 0) {
        return {};
    }
    uchardet_data_end(detector.get());
    return QString::fromLatin1(uchardet_get_charset(detector.get())).toUpper();
}

bool IsGbFamily(const QString &name) {
    return name == u"GB18030" || name == u"GB2312" || name == u"GBK" || name == u"EUC-CN" ||
           name == u"CP936" || name == u"X-GBK";
}

bool IsBig5Family(const QString &name) {
    return name == u"BIG5" || name == u"BIG-5" || name == u"CP950" || name == u"BIG5-HKSCS";
}

// Multi-byte encodings whose answer uchardet gives with good reason; any other answer (a
// single-byte code page, or none) is checked against the Chinese readings.
bool IsOtherMultiByte(const QString &name) {
    static const QStringList names = {
        QStringLiteral("SHIFT_JIS"),   QStringLiteral("EUC-JP"),      QStringLiteral("EUC-KR"),
        QStringLiteral("UHC"),         QStringLiteral("CP949"),       QStringLiteral("ISO-2022-JP"),
        QStringLiteral("ISO-2022-KR"), QStringLiteral("ISO-2022-CN"), QStringLiteral("HZ-GB-2312"),
        QStringLiteral("EUC-TW"),      QStringLiteral("UTF-8"),       QStringLiteral("CP932")};
    return names.contains(name);
}

// Big5 bytes decode as GB18030 without an error, into characters of which a share are
// private-use ones; real GBK text has almost none.
QString GbOrBig5(const TReading &gb, const TReading &big5) {
    const bool manyPrivate = gb.PrivateUse * 50 > gb.NonAscii && gb.PrivateUse > 0;
    if (manyPrivate && big5.Errors == 0 && big5.PrivateUse < gb.PrivateUse) {
        return QStringLiteral("Big5");
    }
    return QStringLiteral("GB18030");
}

[[noreturn]] void ThrowSystemError(const QString &what, int error) {
    throw EMxError(what + QString::fromLocal8Bit(std::strerror(error)));
}

class TFileHandle {
public:
    explicit TFileHandle(int fd) : FFd(fd) {}
    ~TFileHandle() {
        if (FFd >= 0) {
            ::close(FFd);
        }
    }
    TFileHandle(const TFileHandle &) = delete;
    TFileHandle &operator=(const TFileHandle &) = delete;
    int Fd() const { return FFd; }

private:
    int FFd;
};

// Up to max bytes from the file's current position; fewer only at its end.
QByteArray ReadPiece(int fd, qsizetype max) {
    QByteArray piece(max, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < max) {
        const ssize_t got = ::read(fd, piece.data() + filled, static_cast<size_t>(max - filled));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowSystemError(QStringLiteral("无法读取文件："), errno);
        }
        if (got == 0) {
            break;
        }
        filled += got;
    }
    piece.truncate(filled);
    return piece;
}

void Rewind(int fd, qint64 offset) {
    if (::lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0) {
        ThrowSystemError(QStringLiteral("无法读取文件："), errno);
    }
}

EMxError NotText() {
    return EMxError(QStringLiteral("不是文本文件（含有空字符或控制字符）"));
}

// The encoding of a sample known not to be UTF-8.
QString EncodingOfNonUtf8(const QByteArray &sample) {
    const QString utf16 = DetectUtf16WithoutBom(sample);
    if (!utf16.isEmpty()) {
        return utf16;
    }
    if (LooksBinary(sample)) {
        throw NotText();
    }
    return DetectLegacyEncoding(sample);
}

} // namespace

QString DecodeFileName(const QByteArray &name) {
    if (IsStrictUtf8(name)) {
        return QString::fromUtf8(name);
    }
    QStringDecoder decoder("GB18030");
    return decoder.decode(name);
}

QString DecodePath(const QByteArray &path) {
    QStringList parts;
    for (const QByteArray &part : path.split('/')) {
        parts << DecodeFileName(part);
    }
    return parts.join(u'/');
}

bool TUtf8Validator::Feed(const char *data, qsizetype size) {
    for (qsizetype i = 0; i < size && FValid; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (FPending > 0) {
            if (c < FLow || c > FHigh) {
                FValid = false;
                break;
            }
            --FPending;
            FLow = 0x80;
            FHigh = 0xBF;
            continue;
        }
        if (c < 0x80) {
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            FPending = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            FPending = 2;
            // No overlong forms (E0 80-9F) and no surrogates (ED A0-BF).
            FLow = c == 0xE0 ? 0xA0 : 0x80;
            FHigh = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            FPending = 3;
            // No overlong forms (F0 80-8F) and nothing above U+10FFFF (F4 90-BF).
            FLow = c == 0xF0 ? 0x90 : 0x80;
            FHigh = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            FValid = false;
        }
    }
    return FValid;
}

bool IsStrictUtf8(const QByteArray &bytes) {
    TUtf8Validator validator;
    validator.Feed(bytes.constData(), bytes.size());
    return validator.Finish();
}

TEncodingGuess EncodingFromBom(const QByteArray &head) {
    if (head.startsWith("\xEF\xBB\xBF")) {
        return {QStringLiteral("UTF-8"), 3};
    }
    // UTF-32 first: its LE mark begins with the UTF-16 LE mark.
    if (head.startsWith(QByteArrayView("\xFF\xFE\x00\x00", 4))) {
        return {QStringLiteral("UTF-32LE"), 4};
    }
    if (head.startsWith(QByteArrayView("\x00\x00\xFE\xFF", 4))) {
        return {QStringLiteral("UTF-32BE"), 4};
    }
    if (head.startsWith("\xFF\xFE")) {
        return {QStringLiteral("UTF-16LE"), 2};
    }
    if (head.startsWith("\xFE\xFF")) {
        return {QStringLiteral("UTF-16BE"), 2};
    }
    return {};
}

QString DetectUtf16WithoutBom(const QByteArray &whole) {
    QByteArray sample = whole.left(Utf16SampleBytes);
    sample.truncate(sample.size() & ~qsizetype(1));
    if (sample.size() < 2) {
        return {};
    }
    const TUnitShare le = ShareOfUnits(sample, true);
    const TUnitShare be = ShareOfUnits(sample, false);
    // ASCII read in the wrong byte order often lands among the CJK units too; the order in
    // which ASCII comes out as 0x00xx units is the right one.
    const bool littleEndian = std::abs(le.Plausible - be.Plausible) < 0.05
                                  ? le.AsciiUnits >= be.AsciiUnits
                                  : le.Plausible > be.Plausible;
    const TUnitShare &best = littleEndian ? le : be;
    if (best.Plausible < 0.95) {
        return {};
    }
    if (!sample.contains('\0')) {
        // Without a single ASCII character the bytes might as well be an 8-bit text: take
        // UTF-16 only when they read as neither GB18030 nor Big5.
        if (ReadAs("GB18030", sample).Errors == 0 || ReadAs("Big5", sample).Errors == 0) {
            return {};
        }
    }
    return littleEndian ? QStringLiteral("UTF-16LE") : QStringLiteral("UTF-16BE");
}

bool LooksBinary(const QByteArray &sample) {
    qsizetype controls = 0;
    for (const char byte : sample) {
        const auto c = static_cast<unsigned char>(byte);
        if (c == 0) {
            return true;
        }
        if (IsControl(c)) {
            ++controls;
        }
    }
    return controls * 1000 > sample.size() * ControlPerMille;
}

QString DetectLegacyEncoding(const QByteArray &sample) {
    QString answer = UchardetAnswer(sample);
    if (answer == u"ASCII") {
        answer.clear(); // the bytes beyond ASCII decide
    }
    const TReading gb = ReadAs("GB18030", sample);
    const TReading big5 = ReadAs("Big5", sample);
    if (IsGbFamily(answer)) {
        return GbOrBig5(gb, big5);
    }
    if (IsBig5Family(answer)) {
        return big5.Errors > 0 && gb.Errors == 0 ? GbOrBig5(gb, big5) : QStringLiteral("Big5");
    }
    if (IsOtherMultiByte(answer) && QStringDecoder(answer.toLatin1().constData()).isValid()) {
        return answer;
    }
    // A single-byte code page, or no answer: short Chinese texts end up here.
    if (gb.Errors == 0 && gb.NonAscii > 0 && gb.ChineseShare() >= 0.9) {
        return GbOrBig5(gb, big5);
    }
    if (big5.Errors == 0 && big5.NonAscii > 0 && big5.ChineseShare() >= 0.9) {
        return QStringLiteral("Big5");
    }
    if (!answer.isEmpty() && QStringDecoder(answer.toLatin1().constData()).isValid()) {
        return answer;
    }
    return big5.Errors < gb.Errors ? QStringLiteral("Big5") : QStringLiteral("GB18030");
}

void TLineSplitter::Feed(QStringView text) {
    qsizetype start = 0;
    qsizetype i = 0;
    if (FAfterCr && !text.isEmpty()) {
        FAfterCr = false;
        if (text.front() == u'\n') {
            start = i = 1;
        }
    }
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            continue;
        }
        if (FPending.isEmpty()) {
            AddLine(text.mid(start, i - start));
        } else {
            FPending += text.mid(start, i - start);
            AddLine(FPending);
            FPending.clear();
        }
        if (c == u'\r') {
            if (i + 1 < text.size()) {
                if (text[i + 1] == u'\n') {
                    ++i;
                }
            } else {
                FAfterCr = true;
            }
        }
        start = i + 1;
    }
    FPending += text.mid(start);
}

QStringList TLineSplitter::Finish() {
    // The DOS end-of-file mark is no part of the text.
    while (FPending.endsWith(QChar(0x1A))) {
        FPending.chop(1);
    }
    if (!FPending.isEmpty()) {
        AddLine(FPending);
        FPending.clear();
    }
    FAfterCr = false;
    return std::exchange(FLines, {});
}

void TLineSplitter::AddLine(QStringView line) {
    if (FKeepBlankLines || !line.trimmed().isEmpty()) {
        FLines.append(line.toString());
    }
}

TDecodedText ReadTextFile(const QByteArray &path, const TReadOptions &options,
                          const std::function<void(qint64, qint64)> &progress) {
    // Non-blocking, so that a fifo under a file's name cannot hang the reader.
    const TFileHandle file(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Fd() < 0) {
        ThrowSystemError(QStringLiteral("无法打开文件："), errno);
    }
    struct stat status {};
    if (::fstat(file.Fd(), &status) != 0) {
        ThrowSystemError(QStringLiteral("无法读取文件："), errno);
    }
    if (!S_ISREG(status.st_mode)) {
        throw EMxError(QStringLiteral("不是普通文件"));
    }
    const qint64 size = status.st_size;
    if (options.MaxBytes > 0 && size > options.MaxBytes) {
        throw EMxError(QStringLiteral("文件大于%1 MB，未读取").arg(options.MaxBytes >> 20));
    }

    const QByteArray sample = ReadPiece(file.Fd(), SampleBytes);
    TEncodingGuess guess = EncodingFromBom(sample);
    // Without a mark, UTF-8 is assumed while the bytes are valid UTF-8 and checked as the
    // file is read; the first invalid byte sends the file back to the detection.
    bool checkUtf8 = false;
    if (guess.Name.isEmpty()) {
        TUtf8Validator head;
        if (!sample.contains('\0') && head.Feed(sample.constData(), sample.size())) {
            guess.Name = QStringLiteral("UTF-8");
            checkUtf8 = true;
        } else {
            guess.Name = EncodingOfNonUtf8(sample);
        }
    }

    for (;;) {
        Rewind(file.Fd(), guess.BomLength);
        QStringDecoder decoder(guess.Name.toLatin1().constData());
        if (!decoder.isValid()) {
            throw EMxError(QStringLiteral("无法解码 %1 编码的文件").arg(guess.Name));
        }
        TUtf8Validator validator;
        TLineSplitter splitter(options.KeepBlankLines);
        qint64 done = guess.BomLength;
        qint64 characters = 0;
        qint64 controls = 0;
        QByteArray fallbackSample;
        for (;;) {
            const QByteArray piece = ReadPiece(file.Fd(), PieceBytes);
            if (piece.isEmpty()) {
                break;
            }
            done += piece.size();
            if (checkUtf8 &&
                (piece.contains('\0') || !validator.Feed(piece.constData(), piece.size()))) {
                // The piece that broke the UTF-8 holds the bytes that tell the encoding.
                fallbackSample = piece;
                break;
            }
            const QString text = decoder.decode(piece);
            for (const QChar c : text) {
                if (c.unicode() == 0) {
                    throw NotText();
                }
                if (IsControl(c.unicode())) {
                    ++controls;
                }
            }
            characters += text.size();
            splitter.Feed(text);
            if (progress) {
                progress(done, size);
            }
        }
        if (!fallbackSample.isNull()) {
            checkUtf8 = false;
            guess = {EncodingOfNonUtf8(fallbackSample), 0};
            continue;
        }
        if (controls * 1000 > characters * ControlPerMille) {
            throw NotText();
        }
        return {splitter.Finish(), guess.Name};
    }
}

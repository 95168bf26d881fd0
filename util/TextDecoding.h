#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Text files and file names from strangers: which encoding their bytes are in, and how they
// become Unicode text. Chinese users' files come as GBK/GB18030, Big5, UTF-8 or UTF-16, with
// or without a byte-order mark; names from Windows archives are often GBK bytes. The text
// loader and the file listing share these rules; nothing here knows the store.

// A file or folder name as the file system holds it: UTF-8 when the bytes are valid UTF-8,
// else GB18030 (which reads every GBK name).
QString DecodeFileName(const QByteArray &name);
// A whole path, each "/"-separated component decoded on its own (a UTF-8 folder may hold a
// GBK name).
QString DecodePath(const QByteArray &path);

// True when the bytes are strict UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF, no sequence cut short. An empty text is valid.
bool IsStrictUtf8(const QByteArray &bytes);

// Checks UTF-8 piece by piece, as a file is read: a sequence may be cut between two pieces.
class TUtf8Validator {
public:
    // Feeds the next bytes; false once anything fed so far is invalid.
    bool Feed(const char *data, qsizetype size);
    // True when everything fed is valid and no sequence is left open.
    bool Finish() const { return FValid && FPending == 0; }
    bool Valid() const { return FValid; }

private:
    bool FValid = true;
    int FPending = 0;     // continuation bytes still expected
    unsigned FLow = 0x80; // the allowed range of the next continuation byte
    unsigned FHigh = 0xBF;
};

// What the first bytes of a file say about its encoding.
struct TEncodingGuess {
    QString Name;      // the decoder's name: "UTF-8", "UTF-16LE", "GB18030", "Big5"...
    int BomLength = 0; // bytes of a byte-order mark to skip
};

// The encoding of a byte-order mark at the start of the bytes (UTF-8, UTF-16 or UTF-32, LE
// or BE); an empty name when there is none.
TEncodingGuess EncodingFromBom(const QByteArray &head);

// BOM-less UTF-16: "UTF-16LE" or "UTF-16BE" when nearly every 16-bit unit of the sample is
// one that a text holds (ASCII, CJK, punctuation, full-width forms, paired surrogates) and
// the other byte order is clearly worse; else empty. No detector finds such files.
QString DetectUtf16WithoutBom(const QByteArray &sample);

// True when bytes read as an 8-bit or multi-byte text are not text: a NUL byte, or more
// than one byte in a hundred that is a control character other than tab, line breaks, form
// feed, ESC and the end-of-file mark 0x1A.
bool LooksBinary(const QByteArray &sample);

// The encoding of a sample that is neither UTF-8 nor UTF-16: uchardet's answer, the GB
// family always as GB18030, a GB18030 reading full of private-use characters taken as the
// Big5 it is, and short Chinese texts that uchardet takes for a single-byte encoding read
// as GB18030 or Big5.
QString DetectLegacyEncoding(const QByteArray &sample);

// The lines of a text arriving piece by piece: breaks at CR LF, lone CR or lone LF (a CR LF
// cut between two pieces is one break); a break at the very end adds no empty line.
class TLineSplitter {
public:
    explicit TLineSplitter(bool keepBlankLines = true) : FKeepBlankLines(keepBlankLines) {}
    void Feed(QStringView text);
    // Ends the text and hands over its lines.
    QStringList Finish();

private:
    void AddLine(QStringView line);

    bool FKeepBlankLines;
    bool FAfterCr = false;
    QString FPending;
    QStringList FLines;
};

// One text file read whole: its lines and the encoding they were decoded from.
struct TDecodedText {
    QStringList Lines;
    QString Encoding;
};

struct TReadOptions {
    qint64 MaxBytes = -1; // larger files are refused; below 1: no limit
    bool KeepBlankLines = true;
};

// Reads a text file by its path's bytes, in pieces, so that a file of any size is held
// about twice at most (its decoded lines and one piece). progress(done, total) is called
// after every piece. Raises EMxError (message for the user) when the file cannot be opened
// or read, is not a regular file, is larger than the limit, or is not text.
TDecodedText ReadTextFile(const QByteArray &path, const TReadOptions &options = {},
                          const std::function<void(qint64, qint64)> &progress = {});

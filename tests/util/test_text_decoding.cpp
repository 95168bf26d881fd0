// Reading text files of every encoding a Chinese user's files come in.
#include "util/Errors.h"
#include "util/TextDecoding.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Poem = QStringLiteral("春眠不觉晓，处处闻啼鸟。\n夜来风雨声，花落知多少。");
const QString Traditional =
    QStringLiteral("這是繁體中文的文字，用來測試編碼。\n無論簡體還是繁體。");
// Characters outside GBK: four bytes each in GB18030.
const QString BeyondGbk = QStringLiteral("生僻字：") + QString::fromUcs4(U"\U00020000\U0002A6A5") +
                          QStringLiteral("与€和㐀。");

QByteArray Encode(const char *encoding, const QString &text) {
    QStringEncoder encoder(encoding);
    const QByteArray bytes = encoder.encode(text);
    Q_ASSERT(!encoder.hasError());
    return bytes;
}

QByteArray WithCrLf(const QByteArray &bytes) {
    QByteArray out = bytes;
    return out.replace("\n", "\r\n");
}

class TFiles {
public:
    QByteArray Write(const QString &name, const QByteArray &bytes) {
        const QString path = FDir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return QFile::encodeName(path);
    }
    QByteArray Path(const QString &name) const { return QFile::encodeName(FDir.filePath(name)); }

private:
    QTemporaryDir FDir;
};

} // namespace

class TestTextDecoding : public QObject {
    Q_OBJECT

private slots:
    void ReadsEveryEncoding_data();
    void ReadsEveryEncoding();
    void NeverSplitsACharacterBetweenPieces_data();
    void NeverSplitsACharacterBetweenPieces();
    void Utf8HeadWithGbkLaterFallsBack();
    void LineBreaks_data();
    void LineBreaks();
    void DropsBlankLinesOnRequest();
    void RefusesWhatIsNotText_data();
    void RefusesWhatIsNotText();
    void RefusesLargerThanTheLimit();
    void ReportsProgressToTheEnd();
    void DecodeFileName_data();
    void DecodeFileName();
    void StrictUtf8_data();
    void StrictUtf8();
};

void TestTextDecoding::ReadsEveryEncoding_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoding");

    QTest::newRow("GBK") << WithCrLf(Encode("GBK", Poem)) << Poem << "GB18030";
    QTest::newRow("GB18030 four-byte") << Encode("GB18030", BeyondGbk) << BeyondGbk << "GB18030";
    QTest::newRow("UTF-8") << Encode("UTF-8", Poem) << Poem << "UTF-8";
    QTest::newRow("UTF-8 beyond GBK") << Encode("UTF-8", BeyondGbk) << BeyondGbk << "UTF-8";
    QTest::newRow("UTF-8 with mark")
        << QByteArray("\xEF\xBB\xBF") + Encode("UTF-8", Poem) << Poem << "UTF-8";
    QTest::newRow("UTF-16LE with mark")
        << QByteArray("\xFF\xFE") + Encode("UTF-16LE", Poem) << Poem << "UTF-16LE";
    QTest::newRow("UTF-16BE with mark")
        << QByteArray("\xFE\xFF") + Encode("UTF-16BE", Poem) << Poem << "UTF-16BE";
    QTest::newRow("UTF-16LE without mark") << Encode("UTF-16LE", Poem) << Poem << "UTF-16LE";
    QTest::newRow("UTF-16BE without mark") << Encode("UTF-16BE", Poem) << Poem << "UTF-16BE";
    QTest::newRow("UTF-16LE ASCII without mark")
        << Encode("UTF-16LE", QStringLiteral("plain words\nsecond line"))
        << "plain words\nsecond line"
        << "UTF-16LE";
    QTest::newRow("UTF-16LE beyond GBK")
        << QByteArray("\xFF\xFE") + Encode("UTF-16LE", BeyondGbk) << BeyondGbk << "UTF-16LE";
    QTest::newRow("Big5") << WithCrLf(Encode("Big5", Traditional)) << Traditional << "Big5";
    // Too short for the detector, which takes them for single-byte code pages.
    QTest::newRow("two GBK characters") << Encode("GBK", QStringLiteral("中文")) << "中文"
                                        << "GB18030";
    QTest::newRow("two Big5 characters") << Encode("Big5", QStringLiteral("中文")) << "中文"
                                         << "Big5";
    QTest::newRow("GBK with ASCII")
        << Encode("GBK", QStringLiteral("第1章 Hello 你好，世界")) << "第1章 Hello 你好，世界"
        << "GB18030";
    QTest::newRow("ASCII") << QByteArray("just ASCII\n") << "just ASCII"
                           << "UTF-8";
    QTest::newRow("empty") << QByteArray() << ""
                           << "UTF-8";
    QTest::newRow("end-of-file mark dropped")
        << Encode("GBK", Poem) + "\r\n\x1A" << Poem << "GB18030";
}

void TestTextDecoding::ReadsEveryEncoding() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QString, encoding);
    TFiles files;
    const TDecodedText read = ReadTextFile(files.Write(QStringLiteral("a.txt"), bytes));
    QCOMPARE(read.Lines.join(u'\n'), text);
    QCOMPARE(read.Encoding, encoding);
}

void TestTextDecoding::NeverSplitsACharacterBetweenPieces_data() {
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<int>("asciiLead"); // shifts every character against the 1 MiB pieces
    QTest::newRow("GBK even") << QByteArray("GBK") << 0;
    QTest::newRow("GBK odd") << QByteArray("GBK") << 1;
    QTest::newRow("GB18030 four-byte shifted") << QByteArray("GB18030") << 3;
    QTest::newRow("UTF-8 shifted by 1") << QByteArray("UTF-8") << 1;
    QTest::newRow("UTF-8 shifted by 2") << QByteArray("UTF-8") << 2;
    QTest::newRow("UTF-16LE with mark") << QByteArray("UTF-16LE") << 0;
}

void TestTextDecoding::NeverSplitsACharacterBetweenPieces() {
    QFETCH(QByteArray, encoding);
    QFETCH(int, asciiLead);
    // About 3 MB: lines of Chinese (and for GB18030 four-byte characters), CR LF breaks.
    QString line = QString(asciiLead, u'a');
    for (int i = 0; i < 60; ++i) {
        line += encoding == "GB18030" ? QString::fromUcs4(U"\U00020000") : QStringLiteral("字");
    }
    QStringList lines;
    for (int i = 0; i < 25000; ++i) {
        lines << line + QString::number(i);
    }
    QByteArray bytes = Encode(encoding.constData(), lines.join(QStringLiteral("\r\n")));
    if (encoding == "UTF-16LE") {
        bytes.prepend("\xFF\xFE");
    }
    QVERIFY(bytes.size() > 3 * (1 << 20));
    TFiles files;
    const TDecodedText read = ReadTextFile(files.Write(QStringLiteral("big.txt"), bytes));
    QCOMPARE(read.Lines.size(), lines.size());
    QVERIFY(read.Lines == lines);
}

void TestTextDecoding::Utf8HeadWithGbkLaterFallsBack() {
    // The first megabyte is ASCII (valid UTF-8); GBK characters come only after it.
    const QByteArray head(3 << 19, 'a');
    const QByteArray bytes = head + "\r\n" + WithCrLf(Encode("GBK", Poem));
    TFiles files;
    const TDecodedText read = ReadTextFile(files.Write(QStringLiteral("late.txt"), bytes));
    QCOMPARE(read.Encoding, QStringLiteral("GB18030"));
    QCOMPARE(read.Lines.mid(1).join(u'\n'), Poem);
}

void TestTextDecoding::LineBreaks_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("lone CR and LF") << QByteArray("a\rb\nc") << QStringList{"a", "b", "c"};
    QTest::newRow("blank lines kept")
        << QByteArray("a\r\n\r\n\nb") << QStringList{"a", "", "", "b"};
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("only a break") << QByteArray("\r\n") << QStringList{""};
    // A CR LF cut between two pieces of the file is still one break.
    QByteArray cut((1 << 20) - 1, 'x');
    cut += "\r\ny";
    QTest::newRow("CR LF across pieces") << cut << QStringList{QString((1 << 20) - 1, u'x'), "y"};
}

void TestTextDecoding::LineBreaks() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    TFiles files;
    QCOMPARE(ReadTextFile(files.Write(QStringLiteral("l.txt"), bytes)).Lines, lines);
}

void TestTextDecoding::DropsBlankLinesOnRequest() {
    TFiles files;
    TReadOptions options;
    options.KeepBlankLines = false;
    const QByteArray path = files.Write(QStringLiteral("b.txt"), "a\r\n\r\n  \r\nb\r\n");
    QCOMPARE(ReadTextFile(path, options).Lines, (QStringList{"a", "b"}));
}

void TestTextDecoding::RefusesWhatIsNotText_data() {
    QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
    QTest::addColumn<QString>("message");
    QByteArray binary;
    for (int i = 0; i < 4096; ++i) {
        binary.append(static_cast<char>(i * 7));
    }
    QTest::newRow("binary") << binary << "不是文本文件";
    QTest::newRow("NUL in GBK text") << Encode("GBK", Poem) + QByteArray(1, '\0') + "x"
                                     << "不是文本文件";
    QTest::newRow("NUL in UTF-8 text")
        << Encode("UTF-8", Poem) + QByteArray(1, '\0') << "不是文本文件";
    QTest::newRow("NUL character in UTF-16")
        << QByteArray("\xFF\xFE") + Encode("UTF-16LE", Poem) + QByteArray(2, '\0')
        << "不是文本文件";
    QTest::newRow("control bytes") << QByteArray("text\x01\x02\x03\x04\x05 more") << "不是文本文件";
    QTest::newRow("control bytes after the first megabyte")
        << QByteArray(1 << 20, 'a') + QByteArray(200000, '\x02') << "不是文本文件";
    QTest::newRow("missing file") << QByteArray() << "无法打开文件";
}

void TestTextDecoding::RefusesWhatIsNotText() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    TFiles files;
    const QByteArray path = bytes.isEmpty() ? files.Path(QStringLiteral("missing.txt"))
                                            : files.Write(QStringLiteral("x.txt"), bytes);
    try {
        ReadTextFile(path);
        QFAIL("the file was read");
    } catch (const EMxError &error) {
        QVERIFY2(error.Message().startsWith(message), qPrintable(error.Message()));
    }
}

void TestTextDecoding::RefusesLargerThanTheLimit() {
    TFiles files;
    const QByteArray path = files.Write(QStringLiteral("big.txt"), QByteArray((1 << 20) + 1, 'a'));
    TReadOptions options;
    options.MaxBytes = 1 << 20;
    QVERIFY_THROWS_EXCEPTION(EMxError, ReadTextFile(path, options));
    options.MaxBytes = -1;
    QCOMPARE(ReadTextFile(path, options).Lines.size(), 1);
    // A fifo under a text's name is refused at once instead of blocking the reader.
    const QByteArray fifo = files.Path(QStringLiteral("fifo.txt"));
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    QVERIFY_THROWS_EXCEPTION(EMxError, ReadTextFile(fifo));
}

void TestTextDecoding::ReportsProgressToTheEnd() {
    TFiles files;
    const QByteArray bytes = Encode("GBK", QString(3 << 20, u'字'));
    const QByteArray path = files.Write(QStringLiteral("p.txt"), bytes);
    QList<qint64> seen;
    ReadTextFile(path, {}, [&](qint64 done, qint64 total) {
        QCOMPARE(total, bytes.size());
        seen << done;
    });
    QVERIFY(seen.size() >= 6);
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
    QCOMPARE(seen.last(), bytes.size());
}

void TestTextDecoding::DecodeFileName_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::newRow("UTF-8") << Encode("UTF-8", QStringLiteral("春晓.txt")) << "春晓.txt";
    QTest::newRow("GBK") << Encode("GBK", QStringLiteral("春晓.txt")) << "春晓.txt";
    QTest::newRow("GB18030 beyond GBK") << Encode("GB18030", BeyondGbk) << BeyondGbk;
    QTest::newRow("ASCII") << QByteArray("a.TXT") << "a.TXT";
}

void TestTextDecoding::DecodeFileName() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QCOMPARE(::DecodeFileName(bytes), name);
    // Each part of a path on its own: a UTF-8 folder may hold a GBK name.
    QCOMPARE(DecodePath(Encode("UTF-8", QStringLiteral("/书/")) + bytes),
             QStringLiteral("/书/") + name);
}

void TestTextDecoding::StrictUtf8_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::newRow("Chinese") << Encode("UTF-8", Poem) << true;
    QTest::newRow("four-byte") << QByteArray("\xF0\xA0\x80\x80") << true;
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << false;
    QTest::newRow("overlong three-byte") << QByteArray("\xE0\x80\xAF") << false;
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
    QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
    QTest::newRow("cut short") << QByteArray("\xE4\xB8") << false;
    QTest::newRow("GBK 联通") << Encode("GBK", QStringLiteral("联通")) << false;
}

void TestTextDecoding::StrictUtf8() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QCOMPARE(IsStrictUtf8(bytes), valid);
}

QTEST_GUILESS_MAIN(TestTextDecoding)
#include "test_text_decoding.moc"

#include "util/Errors.h"
#include "util/Tools.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>

#include <QtTest>
#include <algorithm>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QByteArray EveryScrambledByte() {
    QByteArray bytes;
    for (int b = 0x01; b <= 0xFE; ++b) {
        bytes.append(static_cast<char>(b));
    }
    return bytes;
}

bool IsUpperHex(const QString &text) {
    for (const QChar c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'))) {
            return false;
        }
    }
    return true;
}

void Touch(const QString &path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class TestTools : public QObject {
    Q_OBJECT

private slots:
    void ExtractUrlFileName_data();
    void ExtractUrlFileName();

    void ScrambleRoundTrip_data();
    void ScrambleRoundTrip();
    void ScrambleRoundTripForEveryLeadingValue();
    void ScrambleIsRandomEachTime();
    void ScrambleKnownValue_data();
    void ScrambleKnownValue();
    void UnscrambleAcceptsLowerCase();
    void UnscrambleOddLastDigit();
    void UnscrambleRejects_data();
    void UnscrambleRejects();

    void CountWords_data();
    void CountWords();

    void CopyWordsPieces_data();
    void CopyWordsPieces();
    void CopyWordsCutsAWholeTextIntoPieces();

    void ListFilesPutsSubfolderFilesInPlace();
    void ListFilesOfMissingOrEmptyFolder();
    void ListFilesByTheBytesOfTheNames();

    void LowerFileExt_data();
    void LowerFileExt();

    void RunAndWaitReportsStart_data();
    void RunAndWaitReportsStart();
    void RunAndWaitWaitsForTheEnd();
    void RunAndWaitStopsWhenTheApplicationQuits();
};

void TestTools::ExtractUrlFileName_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("path") << "files/a/b.zip"
                          << "b.zip";
    QTest::newRow("url") << "http://host.invalid/jsp/download/patch.xml"
                         << "patch.xml";
    QTest::newRow("no slash") << "patch.xml"
                              << "patch.xml";
    QTest::newRow("ends in slash") << "files/a/"
                                   << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestTools::ExtractUrlFileName() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::ExtractUrlFileName(text), expected);
}

void TestTools::ScrambleRoundTrip_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray("A");
    QTest::newRow("every byte 01-FE") << EveryScrambledByte();
    QByteArray reversed = EveryScrambledByte();
    std::reverse(reversed.begin(), reversed.end());
    QTest::newRow("every byte FE-01") << reversed;
    QTest::newRow("GBK config") << QByteArray("<blockConfig fontName=\"\xCB\xCE\xCC\xE5\"/>");
}

void TestTools::ScrambleRoundTrip() {
    QFETCH(QByteArray, bytes);
    const QString scrambled = ScrambleText(bytes);
    QCOMPARE(scrambled.size(), bytes.isEmpty() ? 0 : 2 + 2 * bytes.size());
    QVERIFY2(IsUpperHex(scrambled), qPrintable(scrambled));
    QCOMPARE(UnscrambleText(scrambled), bytes);
}

void TestTools::ScrambleRoundTripForEveryLeadingValue() {
    const QByteArray bytes = EveryScrambledByte();
    for (int leading = 0; leading <= 255; ++leading) {
        const QString scrambled = ScrambleText(bytes, [leading] { return leading; });
        QCOMPARE(UnscrambleText(scrambled), bytes);
    }
}

void TestTools::ScrambleIsRandomEachTime() {
    // Two scramblings share a leading value one time in 256; sixteen never all do.
    const QByteArray bytes("<flashConfig mode=\"1\"/>");
    QSet<QString> forms;
    for (int i = 0; i < 16; ++i) {
        const QString scrambled = ScrambleText(bytes);
        QCOMPARE(UnscrambleText(scrambled), bytes);
        forms.insert(scrambled);
    }
    QVERIFY(forms.size() > 1);
}

void TestTools::ScrambleKnownValue_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("leading");
    QTest::addColumn<QString>("expected");
    QTest::newRow("key wraps after seven bytes")
        << QByteArray("abcdefgh") << 0xC8 << "C879BA78BA52D751EA";
    QTest::newRow("leading zero padded") << QByteArray("A") << 0 << "0012";
    QTest::newRow("sum wraps at 255") << QByteArray("\xFE\x01") << 0xFF << "FFADCF";
    QTest::newRow("GBK bytes") << QByteArray("\xCB\xCE\xCC\xE5") << 0x10 << "108836652D";
}

void TestTools::ScrambleKnownValue() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, leading);
    QFETCH(QString, expected);
    QCOMPARE(ScrambleText(bytes, [leading] { return leading; }), expected);
    QCOMPARE(UnscrambleText(expected), bytes);
}

void TestTools::UnscrambleAcceptsLowerCase() {
    QCOMPARE(UnscrambleText(QStringLiteral("c879ba78ba52d751ea")), QByteArray("abcdefgh"));
    QCOMPARE(UnscrambleText(QStringLiteral("C879bA78Ba52D751eA")), QByteArray("abcdefgh"));
}

void TestTools::UnscrambleOddLastDigit() {
    // The first pair after the leading value is always read, a lone last digit as one
    // digit: 0x02 xor 'S' = 0x51 = 0x41 + 0x10.
    QCOMPARE(UnscrambleText(QStringLiteral("102")), QByteArray("A"));
    // Later pairs are read only while a whole pair is left.
    QCOMPARE(UnscrambleText(QStringLiteral("00121")), QByteArray("A"));
}

void TestTools::UnscrambleRejects_data() {
    QTest::addColumn<QString>("hex");
    QTest::newRow("one character") << "A";
    QTest::newRow("two characters") << "AB";
    QTest::newRow("leading pair not hex") << "G012";
    QTest::newRow("later pair not hex") << "0012ZZ";
    QTest::newRow("blank inside a pair") << "00 2";
    QTest::newRow("sign") << "00-1";
    QTest::newRow("full-width digits") << QStringLiteral("００１２");
}

void TestTools::UnscrambleRejects() {
    QFETCH(QString, hex);
    QVERIFY_THROWS_EXCEPTION(EConvertError, UnscrambleText(hex));
}

void TestTools::CountWords_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("e-mail") << "e-mail" << 2;
    QTest::newRow("a1_b2") << "a1_b2" << 2;
    QTest::newRow("Hello, world 2024") << "Hello, world 2024" << 3;
    QTest::newRow("1000 Chinese characters") << QString(1000, QChar(0x4E2D)) << 1000;
    QTest::newRow("mixed with full-width punctuation")
        << QStringLiteral("Hello world 你好，世界！") << 8;
    QTest::newRow("two characters then abc") << QStringLiteral("你好abc") << 3;
    QTest::newRow("letters and digits run") << "abc123" << 1;
    QTest::newRow("a-b") << "a-b" << 2;
    QTest::newRow("lone dash") << " - " << 0;
    QTest::newRow("at and ampersand split") << "AT&T a@b" << 4;
    QTest::newRow("surrogate pair is one character") << QStringLiteral("😀x😀") << 3;
    QTest::newRow("line breaks") << "one\r\ntwo\nthree\r" << 3;
}

void TestTools::CountWords() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(::CountWords(text), expected);
}

void TestTools::CopyWordsPieces_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("maxWords");
    QTest::addColumn<QString>("piece");
    QTest::addColumn<int>("nextStart");
    QTest::newRow("first word") << "ab, cd" << 1 << 1 << "ab" << 3;
    QTest::newRow("next piece begins with the comma") << "ab, cd" << 3 << 1 << ", cd" << 7;
    QTest::newRow("start 0 reads as 1") << "ab, cd" << 0 << 1 << "ab" << 3;
    QTest::newRow("negative start reads as 1") << "ab, cd" << -5 << 1 << "ab" << 3;
    QTest::newRow("lone dash is a word") << "a - b" << 1 << 2 << "a -" << 4;
    QTest::newRow("dash, at and ampersand join words")
        << "e-mail a@b AT&T" << 1 << 2 << "e-mail a@b" << 11;
    QTest::newRow("fewer words than asked") << "ab cd " << 1 << 10 << "ab cd " << 7;
    QTest::newRow("start past the end") << "ab" << 3 << 1 << "" << 3;
    QTest::newRow("start far past the end") << "ab" << 40 << 1 << "" << 40;
    QTest::newRow("max words 0") << "ab cd" << 1 << 0 << "" << 1;
    QTest::newRow("negative max words") << "ab cd" << 2 << -1 << "" << 2;
    QTest::newRow("Chinese characters")
        << QStringLiteral("你好，世界") << 1 << 3 << QStringLiteral("你好，") << 4;
    QTest::newRow("surrogate pair kept whole")
        << QStringLiteral("😀😀a") << 1 << 1 << QStringLiteral("😀") << 3;
    QTest::newRow("start on a low surrogate moves on")
        << QStringLiteral("😀a b") << 2 << 1 << "a" << 4;
    QTest::newRow("start on the last low surrogate") << QStringLiteral("a😀") << 3 << 1 << "" << 4;
}

void TestTools::CopyWordsPieces() {
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, maxWords);
    QFETCH(QString, piece);
    QFETCH(int, nextStart);
    QCOMPARE(CopyWords(text, start, maxWords), piece);
    QCOMPARE(start, nextStart);
}

void TestTools::CopyWordsCutsAWholeTextIntoPieces() {
    // Pieces follow each other without gap or overlap, whatever the text holds.
    const QString text = QStringLiteral("第一章 Start-up: e-mail a@b.c, AT&T 😀😀\r\n"
                                        "  - 下一行 line 2 -- 结束。\r\n");
    QString joined;
    int start = 1;
    int pieces = 0;
    for (;;) {
        const QString piece = CopyWords(text, start, 3);
        if (piece.isEmpty()) {
            break;
        }
        QVERIFY2(!piece.back().isHighSurrogate(), qPrintable(piece));
        joined += piece;
        ++pieces;
    }
    QCOMPARE(joined, text);
    QCOMPARE(start, text.size() + 1);
    QVERIFY(pieces > 3);
}

void TestTools::ListFilesPutsSubfolderFilesInPlace() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = dir.path();
    Touch(root + QStringLiteral("/a.txt"));
    Touch(root + QStringLiteral("/.hidden"));
    Touch(root + QStringLiteral("/z.TXT"));
    QVERIFY(QDir(root).mkpath(QStringLiteral("s")));
    QVERIFY(QDir(root).mkpath(QStringLiteral("empty")));
    Touch(root + QStringLiteral("/s/b.txt"));
    // A link back up the tree must not be followed.
    QVERIFY(QFile::link(root, root + QStringLiteral("/s/up")));

    // The expected order is the file system's own: s's file stands where s stands.
    QStringList expected;
    const QStringList names = QDir(root).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString &name : names) {
        if (name == QLatin1String("s")) {
            expected << root + QStringLiteral("/s/b.txt");
        } else if (name != QLatin1String("empty")) {
            expected << root + u'/' + name;
        }
    }
    QCOMPARE(expected.size(), 4);
    QCOMPARE(ListFiles(root), expected);
}

void TestTools::ListFilesOfMissingOrEmptyFolder() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QCOMPARE(ListFiles(dir.path()), QStringList());
    QCOMPARE(ListFiles(dir.path() + QStringLiteral("/missing")), QStringList());
    Touch(dir.path() + QStringLiteral("/file"));
    QCOMPARE(ListFiles(dir.path() + QStringLiteral("/file")), QStringList());
    QCOMPARE(ListFiles(QString()), QStringList());
}

void TestTools::ListFilesByTheBytesOfTheNames() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray root = QFile::encodeName(dir.path());
    // A name in GBK bytes, as Windows archives leave them: not valid UTF-8.
    const QByteArray gbkName = root + "/\xB4\xBA\xCF\xFE.txt"; // 春晓.txt
    const int fd = ::open(gbkName.constData(), O_CREAT | O_WRONLY, 0600);
    QVERIFY(fd >= 0);
    ::close(fd);
    // QTemporaryDir cannot remove what it cannot name.
    const auto removeGbkName = qScopeGuard([&gbkName] { ::unlink(gbkName.constData()); });
    Touch(dir.filePath(QStringLiteral("plain.txt")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("sub")));
    Touch(dir.filePath(QStringLiteral("sub/in.txt")));
    // Passed over: a link to a folder, a broken link, a fifo and a socket. Listed: a link to
    // a file.
    QVERIFY(QFile::link(dir.path(), dir.filePath(QStringLiteral("sub/up"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")),
                        dir.filePath(QStringLiteral("broken.txt"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("plain.txt")),
                        dir.filePath(QStringLiteral("link.txt"))));
    QCOMPARE(::mkfifo((root + "/fifo.txt").constData(), 0600), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(sock >= 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = root + "/socket.txt";
    QVERIFY(static_cast<size_t>(socketPath.size()) < sizeof(address.sun_path));
    std::memcpy(address.sun_path, socketPath.constData(), static_cast<size_t>(socketPath.size()));
    QCOMPARE(::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);

    QList<QByteArray> listed = ListFiles(root);
    ::close(sock);
    std::sort(listed.begin(), listed.end());
    QList<QByteArray> expected = {gbkName, root + "/link.txt", root + "/plain.txt",
                                  root + "/sub/in.txt"};
    std::sort(expected.begin(), expected.end());
    QCOMPARE(listed, expected);
    // The listing for showing decodes the GBK name.
    QVERIFY(ListFiles(dir.path()).contains(dir.path() + QStringLiteral("/春晓.txt")));
}

void TestTools::LowerFileExt_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("expected");
    QTest::newRow("upper case") << "README.TXT"
                                << "txt";
    QTest::newRow("last dot counts") << "archive.tar.GZ"
                                     << "gz";
    QTest::newRow("mixed case in a path") << "/home/u/books/a.Txt"
                                          << "txt";
    QTest::newRow("no dot") << "noext"
                            << "";
    QTest::newRow("dot only in a folder name") << "dir.d/name"
                                               << "";
    QTest::newRow("trailing dot") << "name."
                                  << "";
    QTest::newRow("hidden file") << ".bashrc"
                                 << "bashrc";
    QTest::newRow("non-ASCII kept") << QStringLiteral("文章.ÄTXT") << QStringLiteral("Ätxt");
}

void TestTools::LowerFileExt() {
    QFETCH(QString, fileName);
    QFETCH(QString, expected);
    QCOMPARE(::LowerFileExt(fileName), expected);
}

void TestTools::RunAndWaitReportsStart_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("started");
    QTest::newRow("true") << "/bin/true" << true;
    QTest::newRow("failing program still started") << "/bin/false" << true;
    QTest::newRow("missing program") << "/nonexistent/AutoPatch" << false;
    QTest::newRow("not executable")
        << qEnvironmentVariable("MX_SOURCE_DIR") + QStringLiteral("/CMakeLists.txt") << false;
}

void TestTools::RunAndWaitReportsStart() {
    QFETCH(QString, program);
    QFETCH(bool, started);
    QCOMPARE(RunAndWait(program, QString()), started);
}

void TestTools::RunAndWaitWaitsForTheEnd() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString marker = dir.filePath(QStringLiteral("ended"));
    // The parameters are split like a command line: one quoted argument for -c.
    QVERIFY(RunAndWait(QStringLiteral("/bin/sh"),
                       QStringLiteral("-c \"sleep 0.3; touch '%1'\"").arg(marker)));
    QVERIFY(QFile::exists(marker));
}

void TestTools::RunAndWaitStopsWhenTheApplicationQuits() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString marker = dir.filePath(QStringLiteral("ended"));
    bool started = false;
    bool returnedBeforeTheEnd = false;
    QTimer::singleShot(0, qApp, [&] {
        QTimer::singleShot(100, qApp, &QCoreApplication::quit);
        started = RunAndWait(QStringLiteral("/bin/sh"),
                             QStringLiteral("-c \"sleep 3; touch '%1'\"").arg(marker));
        returnedBeforeTheEnd = !QFile::exists(marker);
    });
    QCoreApplication::exec();
    QVERIFY(started);
    QVERIFY(returnedBeforeTheEnd);
    // The program is left running (an updater goes on after the application has ended).
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 20000);
}

QTEST_GUILESS_MAIN(TestTools)
#include "test_tools.moc"

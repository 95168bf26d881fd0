// The package format: what an import stores from each kind of file, the round trip through
// export and import, the bytes of the package and its readme, and the progress steps.
#include "PackageFixtures.h"

#include "app/Const.h"
#include "packages/PackageErrors.h"
#include "packages/PackageFormat.h"
#include "packages/PackageJobs.h"
#include "packages/PackageProgress.h"
#include "packages/PackageReader.h"
#include "packages/PackageReadme.h"
#include "packages/PackageWriter.h"
#include "support/StoreFixture.h"
#include "util/CodePage.h"

#include <QBuffer>
#include <QDir>
#include <QtTest>

using namespace PackageFixtures;

namespace {

const QString BadFormat = QStringLiteral("文件格式不对！");
const QString Damaged = QStringLiteral("文件受损，无法打开后面的文章！");

TRecord Titled(const QString &title, const QString &dir = QStringLiteral("书")) {
    TRecord record;
    record.Title = title;
    record.Dir = dir;
    return record;
}

QByteArray Package(const QList<TRecord> &records) {
    QByteArray body;
    for (const TRecord &record : records) {
        body += RecordXml(record);
    }
    return Zlib(Document(body));
}

// Records every report of a job.
class TProgressRecorder : public IPackageProgress {
public:
    QList<int> Maxima;
    QList<QList<int>> Positions; // the positions of each stage
    QStringList Labels;
    int MessageTurns = 0;

    void SetRange(int maximum) override {
        Maxima << maximum;
        Positions << QList<int>{};
    }
    void SetPosition(int position) override { Positions.last() << position; }
    void SetLabel(const QString &text) override { Labels << text; }
    void LetMessagesThrough() override { ++MessageTurns; }
};

// Imports a package file into the fixture's library; the message of the failure, or empty.
QString Import(TStoreFixture &store, const QString &path, int *stored = nullptr) {
    PackageJobs::TPackageImport import(*store.Service(), path);
    QString message;
    try {
        TSilentProgress progress;
        import.Run(progress);
    } catch (const EMxError &error) {
        message = error.Message();
    }
    if (stored != nullptr) {
        *stored = import.StoredCount();
    }
    return message;
}

QStringList StoredTitles(const TStoreFixture &store) {
    QStringList titles;
    for (const TStoreRow &row : store.Rows()) {
        titles << row.Title;
    }
    return titles;
}

} // namespace

class TestPackageFormat : public QObject {
    Q_OBJECT

private slots:
    void importsEachKindOfFile_data();
    void importsEachKindOfFile();
    void storesTheValuesOfARecord();
    void replacesTheSameTitleInTheSameBook();
    void neverLoadsWhatTheDocumentPointsTo();
    void refusesADocumentBeyondTheLimit();
    void failingStoreKeepsTheRecordsBefore();
    void readOnlyLibraryIsRefused();
    void roundTripKeepsEveryArticle();
    void writesOneZlibStreamAtLevelNine();
    void writesTheDocumentAsTheFormatSays();
    void leavesOutCharactersXmlCannotCarry();
    void splitsLongValuesIntoSections();
    void writesTheReadmeBesideThePackage();
    void compressionSteps_data();
    void compressionSteps();
    void exportSteps();
    void importSteps();
    void failedExportKeepsTheOldPackage();
    void unwritablePackageGivesThePlatformMessage();
    void missingFileGivesThePlatformMessage();
};

void TestPackageFormat::importsEachKindOfFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("message");

    const QByteArray good = Package({Titled("一"), Titled("二", "另一本")});
    QTest::newRow("good") << good << QStringList{"一", "二"} << QString();

    QByteArray corrupt = good;
    corrupt[corrupt.size() / 2] = static_cast<char>(corrupt[corrupt.size() / 2] ^ 0x55);
    QTest::newRow("damaged deflate data") << corrupt << QStringList{} << BadFormat;

    QByteArray badChecksum = good;
    badChecksum[badChecksum.size() - 1] = static_cast<char>(badChecksum.back() ^ 1);
    QTest::newRow("wrong checksum") << badChecksum << QStringList{} << BadFormat;

    QTest::newRow("cut off") << good.left(good.size() / 2) << QStringList{} << Damaged;
    QTest::newRow("not zlib") << Document(RecordXml(Titled("一"))) << QStringList{} << BadFormat;
    QTest::newRow("gzip instead of zlib")
        << QByteArray::fromHex("1f8b0800000000000003") + good << QStringList{} << BadFormat;
    QTest::newRow("empty file") << QByteArray() << QStringList{} << QString();
    QTest::newRow("empty document") << Zlib(QByteArray()) << QStringList{} << QString();
    QTest::newRow("trailing bytes after the stream")
        << good + QByteArray("trailing garbage") << QStringList{"一", "二"} << QString();

    QTest::newRow("wrong root") << Zlib("<?xml version=\"1.0\" encoding=\"GB2312\"?><Articles>" +
                                        RecordXml(Titled("一")) + "</Articles>")
                                << QStringList{} << QString();
    QTest::newRow("no records") << Zlib(Document(QByteArray())) << QStringList{} << QString();
    QTest::newRow("empty root element")
        << Zlib("<?xml version=\"1.0\"?><EARTICLE.DB/>") << QStringList{} << QString();

    TRecord noWordCount = Titled("二");
    noWordCount.Missing = QStringLiteral("Word_Count");
    QTest::newRow("second of three lacks an element")
        << Package({Titled("一"), noWordCount, Titled("三")}) << QStringList{"一"} << Damaged;
    TRecord noTitle = Titled("三");
    noTitle.Missing = QStringLiteral("Title");
    QTest::newRow("third lacks its title")
        << Package({Titled("一"), Titled("二"), noTitle}) << QStringList{"一", "二"} << Damaged;

    TRecord badNumber = Titled("二");
    badNumber.Grade = QStringLiteral("三");
    QTest::newRow("a bad number") << Package({Titled("一"), badNumber}) << QStringList{"一"}
                                  << Damaged;
    TRecord emptyNumber = Titled("一");
    emptyNumber.UseRate.clear();
    QTest::newRow("an empty number") << Package({emptyNumber}) << QStringList{} << Damaged;
    TRecord tooLarge = Titled("一");
    tooLarge.WordCount = QStringLiteral("2147483648");
    QTest::newRow("a number beyond 32 bits") << Package({tooLarge}) << QStringList{} << Damaged;
    TRecord smallest = Titled("一");
    smallest.WordCount = QStringLiteral("-2147483648");
    QTest::newRow("the smallest 32-bit number")
        << Package({smallest}) << QStringList{"一"} << QString();

    QTest::newRow("not well-formed after good records")
        << Zlib(Document(RecordXml(Titled("一"))) + "<oops>") << QStringList{} << Damaged;
    QTest::newRow("text instead of a record")
        << Zlib(Document(RecordXml(Titled("一")) + "stray text" + RecordXml(Titled("二"))))
        << QStringList{"一"} << Damaged;
    QTest::newRow("element holding an element")
        << Zlib(Document(QByteArray(RecordXml(Titled("一")))
                             .replace("<Author><![CDATA[", "<Author><b/><![CDATA[")))
        << QStringList{} << Damaged;

    // Readers of this format meet layout written by other writers.
    QTest::newRow("whitespace, comments and any element order")
        << Zlib("<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<EARTICLE.DB>\r\n  <!-- x -->\r\n"
                "  <Item>\r\n    <Use_Rate>0</Use_Rate><Word_Count> 4 </Word_Count>"
                "<Text><![CDATA[t]]></Text><Dir>" +
                EncodeCodePage936(QStringLiteral("书")) +
                "</Dir><Author/><Type>3</Type><Title>\r\n      <![CDATA[" +
                EncodeCodePage936(QStringLiteral("乱序")) +
                "]]>\r\n    </Title><Grade>+3</Grade><Edition_Name>PS.A.0</Edition_Name>"
                "<Language>zh</Language><Id>1</Id>\r\n  </Item>\r\n</EARTICLE.DB>\r\n")
        << QStringList{"乱序"} << QString();
    QTest::newRow("declared GBK, characters beyond GB2312")
        << Zlib(QByteArray(Document(RecordXml(Titled("朱镕基")))).replace("GB2312", "GBK"))
        << QStringList{"朱镕基"} << QString();
    QTest::newRow("declared UTF-8")
        << Zlib(DecodeCodePage936(Document(RecordXml(Titled("一"))))
                    .replace(QStringLiteral("GB2312"), QStringLiteral("UTF-8"))
                    .toUtf8())
        << QStringList{"一"} << QString();
    QTest::newRow("lone CR and CR LF in a value")
        << Zlib(Document(QByteArray(RecordXml(Titled("一")))
                             .replace("<Author><![CDATA[", "<Author><![CDATA[a\rb\r\nc")))
        << QStringList{"一"} << QString();
}

void TestPackageFormat::importsEachKindOfFile() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, stored);
    QFETCH(QString, message);
    TStoreFixture store;
    store.InsertArticle(QStringLiteral("旧书"), QStringLiteral("旧文"));
    const QString path = store.Folder().WriteFile(QStringLiteral("in.eap"), file);
    int count = -1;
    QCOMPARE(Import(store, path, &count), message);
    QCOMPARE(StoredTitles(store), QStringList{"旧文"} + stored);
    QCOMPARE(count, stored.size());
}

void TestPackageFormat::storesTheValuesOfARecord() {
    TStoreFixture store;
    TRecord record;
    record.Id = QStringLiteral("99999");
    record.Language = QStringLiteral("en");
    record.EditionName = QStringLiteral("PS.B.1");
    record.Grade = QStringLiteral("-5");
    record.Type = QStringLiteral("4");
    record.Title = QStringLiteral("含]]>的标题");
    record.Author = QString();
    record.Dir = QStringLiteral("书");
    record.Text = QStringLiteral("第一行\r\n第二行\r\n");
    record.WordCount = QStringLiteral("6");
    record.UseRate = QStringLiteral("12");
    QByteArray body = RecordXml(record);
    // How a writer keeps "]]>" in a value: two sections, split between "]]" and ">".
    body.replace("]]>" + EncodeCodePage936(QStringLiteral("的标题")),
                 "]]]]><![CDATA[>" + EncodeCodePage936(QStringLiteral("的标题")));
    const QString path = store.Folder().WriteFile(QStringLiteral("in.eap"), Zlib(Document(body)));
    QCOMPARE(Import(store, path), QString());

    const QList<TStoreRow> rows = store.Rows();
    QCOMPARE(rows.size(), 1);
    const TStoreRow &row = rows.first();
    QVERIFY(row.Id != 99999); // the package's Id is never the key
    QCOMPARE(row.Lang, QStringLiteral("en"));
    QCOMPARE(row.EditionName, QStringLiteral("PS.B.1"));
    QCOMPARE(row.Grade, -5);
    QCOMPARE(row.Type, 4);
    QCOMPARE(row.Title, QStringLiteral("含]]>的标题"));
    QCOMPARE(row.Author, QString());
    QCOMPARE(row.WordCount.toInt(), 6);
    QCOMPARE(row.UseRate.toInt(), 12);
    // CR LF arrives as LF; the text keeps its lines and gains no empty one.
    QCOMPARE(row.Text, QStringLiteral("第一行\n第二行\r\n"));
    QCOMPARE(store.Service()->GetArticleText(row.Id).Lines(), QStringList({"第一行", "第二行"}));
}

void TestPackageFormat::replacesTheSameTitleInTheSameBook() {
    TStoreFixture store;
    const int oldId = store.InsertArticle(QStringLiteral("书"), QStringLiteral("同名"));
    const int otherBook = store.InsertArticle(QStringLiteral("别的书"), QStringLiteral("同名"));
    TStoreRow otherType;
    otherType.Title = QStringLiteral("类型");
    otherType.Dir = QStringLiteral("书");
    otherType.Type = 5;
    const int otherTypeId = store.InsertRow(otherType);

    TRecord first = Titled("同名");
    first.Author = QStringLiteral("先");
    TRecord later = Titled("同名");
    later.Author = QStringLiteral("后");
    TRecord sameTitleOtherType = Titled("类型");
    const QString path = store.Folder().WriteFile(QStringLiteral("in.eap"),
                                                  Package({first, later, sameTitleOtherType}));
    QCOMPARE(Import(store, path), QString());

    const QList<TStoreRow> same = store.Rows(QStringLiteral("TITLE='同名' AND DIR='书'"));
    QCOMPARE(same.size(), 1);
    QCOMPARE(same.first().Author, QStringLiteral("后"));
    QVERIFY(same.first().Id > oldId);
    QVERIFY(store.Row(otherBook).has_value());
    // A row of another type is never replaced; the imported one stands beside it.
    QVERIFY(store.Row(otherTypeId).has_value());
    QCOMPARE(store.Rows(QStringLiteral("TITLE='类型'")).size(), 2);
}

void TestPackageFormat::neverLoadsWhatTheDocumentPointsTo() {
    TStoreFixture store;
    const QString secret =
        store.Folder().WriteFile(QStringLiteral("secret.txt"), QByteArray("SECRET-CONTENT"));
    const QByteArray record = RecordXml(Titled("一"));
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"GB2312\"?>";
    const QByteArray laughs = "<!DOCTYPE EARTICLE.DB [<!ENTITY a \"aaaaaaaaaa\">"
                              "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                              "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
                              "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
                              "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">"
                              "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">"
                              "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">"
                              "<!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">]>";
    // A document with a DTD is refused before anything is stored: no external entity, no
    // external DTD, nothing from the network, no entity that expands without end.
    const QList<QByteArray> documents = {
        head + "<!DOCTYPE EARTICLE.DB [<!ENTITY secret SYSTEM \"" +
            QUrl::fromLocalFile(secret).toEncoded() + "\">]><EARTICLE.DB>" +
            QByteArray(record).replace("<Author><![CDATA[", "<Author>&secret;<![CDATA[") +
            "</EARTICLE.DB>",
        head + "<!DOCTYPE EARTICLE.DB SYSTEM \"" + QUrl::fromLocalFile(secret).toEncoded() +
            "\"><EARTICLE.DB>" + record + "</EARTICLE.DB>",
        head + "<!DOCTYPE EARTICLE.DB SYSTEM \"http://127.0.0.1:9/x.dtd\"><EARTICLE.DB>" + record +
            "</EARTICLE.DB>",
        head + laughs + "<EARTICLE.DB>" +
            QByteArray(record).replace("<Record>", "<Record x=\"&h;\">") + "</EARTICLE.DB>",
    };
    for (const QByteArray &document : documents) {
        QCOMPARE(Import(store, store.Folder().WriteFile("a.eap", Zlib(document))), Damaged);
    }
    QCOMPARE(store.RowCount(), 0);
}

void TestPackageFormat::refusesADocumentBeyondTheLimit() {
    // 8 MiB of zeros in about 8 KB of zlib data, against a limit of 1 MiB.
    QByteArray zeros = Zlib(QByteArray(8 << 20, '\0'));
    QBuffer buffer(&zeros);
    buffer.open(QIODevice::ReadOnly);
    TSilentProgress progress;
    try {
        PackageReader::Inflate(buffer, progress, 1 << 20);
        QFAIL("inflated beyond the limit");
    } catch (const EPackageError &error) {
        QCOMPARE(error.Message(), BadFormat);
    }
    // Up to the limit the document arrives whole.
    QByteArray small = Zlib(QByteArray(1 << 20, 'a'));
    QBuffer within(&small);
    within.open(QIODevice::ReadOnly);
    QCOMPARE(PackageReader::Inflate(within, progress, 1 << 20).size(), 1 << 20);
}

void TestPackageFormat::failingStoreKeepsTheRecordsBefore() {
    TStoreFixture store;
    store.Exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON EARTICLE WHEN NEW.TITLE='二' "
                              "BEGIN SELECT RAISE(ABORT, 'refused by trigger'); END"));
    const QString path = store.Folder().WriteFile(
        QStringLiteral("in.eap"), Package({Titled("一"), Titled("二"), Titled("三")}));
    PackageJobs::TPackageImport import(*store.Service(), path);
    TSilentProgress progress;
    try {
        import.Run(progress);
        QFAIL("the import went on past the failing record");
    } catch (const EPackageError &error) {
        QCOMPARE(error.Message(), Damaged);
        QVERIFY2(error.Details().contains(QStringLiteral("refused by trigger")),
                 qPrintable(error.Details()));
    }
    QCOMPARE(import.StoredCount(), 1);
    QCOMPARE(StoredTitles(store), QStringList{"一"});
}

void TestPackageFormat::readOnlyLibraryIsRefused() {
    TStoreFixture store;
    auto readOnly = std::make_shared<TServiceDecorator>(store.Service());
    readOnly->ReadOnly = true;
    const QString path =
        store.Folder().WriteFile(QStringLiteral("in.eap"), Package({Titled("一")}));
    PackageJobs::TPackageImport import(*readOnly, path);
    TSilentProgress progress;
    try {
        import.Run(progress);
        QFAIL("a read-only library took an import");
    } catch (const EMxError &error) {
        QCOMPARE(error.Message(), Const::Message(Const::ReadOnlyLibraryImport));
    }
    QCOMPARE(store.RowCount(), 0);
}

void TestPackageFormat::roundTripKeepsEveryArticle() {
    TStoreFixture from;
    struct TArticleCase {
        QString Dir, Title, Author, Text;
    };
    const QList<TArticleCase> cases = {
        {"红楼梦", "第一回", "曹雪芹", "甄士隐梦幻识通灵\r\n贾雨村风尘怀闺秀\r\n"},
        {"红楼梦", "无作者", "", "一行"},
        {"人名", "朱镕基", "GBK 以外：\U0001F600 \U00020000", "镕、堃、喆\r\n\U00020001\r\n"},
        {"English", "A ]]> B", "x & y <z>", "Hello world\r\n\r\nlast line\r\n"},
        {"空", "空文", "佚名", ""},
    };
    QList<int> ids;
    for (const TArticleCase &c : cases) {
        TStoreRow row;
        row.Dir = c.Dir;
        row.Title = c.Title;
        row.Author = c.Author;
        row.Text = c.Text;
        row.WordCount = 42;
        row.UseRate = 3;
        ids << from.InsertRow(row);
    }
    std::unique_ptr<TBookList> books = from.Service()->GetArticles();
    QList<TArticle *> articles;
    for (const auto &book : *books) {
        for (const auto &entry : book.Item->Articles) {
            articles << entry.Item.get();
        }
    }
    const QString path = from.Folder().FilePath(QStringLiteral("out.eap"));
    TSilentProgress progress;
    PackageJobs::ExportPackage(*from.Service(), articles, path, progress);

    TStoreFixture to;
    QCOMPARE(Import(to, path), QString());
    const QList<TStoreRow> rows = to.Rows();
    QCOMPARE(rows.size(), cases.size());
    for (int i = 0; i < rows.size(); ++i) {
        const TArticle *article = articles.at(i);
        const TStoreRow &row = rows.at(i);
        QCOMPARE(row.Title, article->Title);
        QCOMPARE(row.Author, article->Author);
        QCOMPARE(row.Dir, article->Dir);
        QCOMPARE(row.WordCount.toInt(), 42);
        QCOMPARE(row.UseRate.toInt(), 3);
        QCOMPARE(to.Service()->GetArticleText(row.Id).Lines(),
                 from.Service()->GetArticleText(article->Id).Lines());
        QVERIFY(!row.Text.contains(QStringLiteral("\r\n")) ||
                row.Text.indexOf("\r\n") == row.Text.size() - 2);
    }
}

void TestPackageFormat::writesOneZlibStreamAtLevelNine() {
    TStoreFixture store;
    store.InsertArticle(QStringLiteral("书"), QStringLiteral("一"), QStringLiteral("正文"));
    std::unique_ptr<TBookList> books = store.Service()->GetArticles();
    const QString path = store.Folder().FilePath(QStringLiteral("out.eap"));
    TSilentProgress progress;
    PackageJobs::ExportPackage(*store.Service(), {books->At(0)->Articles.At(0)}, path, progress);
    const QByteArray file = store.Folder().ReadFile(QStringLiteral("out.eap"));
    QCOMPARE(file.left(2), QByteArray("\x78\xDA"));
    // Nothing before or after the stream: inflating all of it gives the document.
    QVERIFY(Inflated(file).startsWith(PackageFormat::Declaration));
    QCOMPARE(Zlib(Inflated(file)), file);
}

void TestPackageFormat::writesTheDocumentAsTheFormatSays() {
    TStoreFixture store;
    TStoreRow row;
    row.Dir = QStringLiteral("书");
    row.Title = QStringLiteral("题");
    row.Author = QString();
    row.Text = QStringLiteral("甲\r\n乙");
    row.WordCount = 2;
    row.UseRate = -1;
    const int id = store.InsertRow(row);
    std::unique_ptr<TBookList> books = store.Service()->GetArticles();
    QStringList readme;
    TSilentProgress progress;
    const QByteArray document = PackageWriter::BuildPackageDocument(
        *store.Service(), {books->At(0)->Articles.At(0)}, progress, readme);
    const QByteArray expected =
        "<?xml version=\"1.0\" encoding=\"GB2312\"?><EARTICLE.DB><Record><Id><![CDATA[" +
        QByteArray::number(id) +
        "]]></Id><Language><![CDATA[zh]]></Language><Edition_Name><![CDATA[PS.A.0]]>"
        "</Edition_Name><Grade><![CDATA[3]]></Grade><Type><![CDATA[3]]></Type><Title><![CDATA[" +
        EncodeCodePage936(QStringLiteral("题")) +
        "]]></Title><Author><![CDATA[]]></Author><Dir><![CDATA[" +
        EncodeCodePage936(QStringLiteral("书")) + "]]></Dir><Text><![CDATA[" +
        EncodeCodePage936(QStringLiteral("甲\r\n乙\r\n")) +
        "]]></Text><Word_Count><![CDATA[2]]></Word_Count><Use_Rate><![CDATA[-1]]></Use_Rate>"
        "</Record></EARTICLE.DB>";
    QCOMPARE(document, expected);
    QCOMPARE(readme, QStringList{"[书] 题"});
}

void TestPackageFormat::leavesOutCharactersXmlCannotCarry() {
    TStoreFixture from;
    TStoreRow row;
    row.Dir = QStringLiteral("书");
    row.Title = QStringLiteral("控\x01制\x1b符");
    row.Text = QStringLiteral("a\x0c\x7f\x02" "b\tc");
    from.InsertRow(row);
    std::unique_ptr<TBookList> books = from.Service()->GetArticles();
    const QString path = from.Folder().FilePath(QStringLiteral("out.eap"));
    TSilentProgress progress;
    PackageJobs::ExportPackage(*from.Service(), {books->At(0)->Articles.At(0)}, path, progress);
    TStoreFixture to;
    QCOMPARE(Import(to, path), QString());
    QCOMPARE(to.Rows().first().Title, QStringLiteral("控制符"));
    QCOMPARE(to.Rows().first().Text, QStringLiteral("a\x7f" "b\tc\r\n"));
}

void TestPackageFormat::splitsLongValuesIntoSections() {
    // Parsers refuse one text node above 10 MB: 6 million characters are 12 MB here.
    TArticle article = NewLibraryArticle(QStringLiteral("书"), QStringLiteral("长"), QString());
    TStoreFixture store;
    const QString text = QString(6'000'000, QChar(u'长')) + QStringLiteral("]]>尾");
    auto service = std::make_shared<TServiceDecorator>(store.Service());
    TStoreRow row;
    row.Dir = QStringLiteral("书");
    row.Title = QStringLiteral("长");
    row.Text = text;
    store.InsertRow(row);
    std::unique_ptr<TBookList> books = store.Service()->GetArticles();
    QStringList readme;
    TSilentProgress progress;
    const QByteArray document = PackageWriter::BuildPackageDocument(
        *service, {books->At(0)->Articles.At(0)}, progress, readme);
    QString arrived;
    PackageReader::ReadDocument(
        document, [&](TArticle &, const TLineList &lines) { arrived = lines.Lines().join('|'); },
        progress);
    QCOMPARE(arrived.size(), text.size());
    QVERIFY(arrived == text);
}

void TestPackageFormat::writesTheReadmeBesideThePackage() {
    TStoreFixture store;
    store.InsertArticle(QStringLiteral("红楼梦"), QStringLiteral("第一回"));
    store.InsertArticle(QStringLiteral("红楼梦"), QStringLiteral("第二回"));
    std::unique_ptr<TBookList> books = store.Service()->GetArticles();
    const QList<TArticle *> articles = {books->At(0)->Articles.At(1), books->At(0)->Articles.At(0)};
    const QString path = store.Folder().FilePath(QStringLiteral("第一批.eap"));
    TSilentProgress progress;
    PackageJobs::ExportPackage(*store.Service(), articles, path, progress);

    QCOMPARE(PackageReadme::PathFor(path), path + QStringLiteral("说明.txt"));
    QVERIFY(!store.Folder().Exists(QStringLiteral("说明.txt")));
    const QByteArray expected =
        EncodeCodePage936(QStringLiteral("[红楼梦] 第二回\r\n[红楼梦] 第一回\r\n\r\r\n"
                                         "**********************************\r\n") +
                          Const::Message(Const::ReadmeDownloadLine) + QStringLiteral("\r\n"));
    QCOMPARE(store.Folder().ReadFile(QStringLiteral("第一批.eap说明.txt")), expected);
    QVERIFY(Const::Message(Const::ReadmeDownloadLine)
                .startsWith(QStringLiteral("eap文件需要用\"明心轩阅读器\"打开，下载地址：http")));
}

void TestPackageFormat::compressionSteps_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("maximum");
    QTest::newRow("smaller than one block") << 16533 << 0;
    QTest::newRow("exactly three blocks") << 3 * 16534 << 3;
    QTest::newRow("three blocks and a rest") << 3 * 16534 + 1 << 3;
    QTest::newRow("empty") << 0 << 0;
}

void TestPackageFormat::compressionSteps() {
    QFETCH(int, size);
    QFETCH(int, maximum);
    QByteArray document(size, '\0');
    for (int i = 0; i < size; ++i) {
        document[i] = static_cast<char>('a' + (i * 7919) % 26);
    }
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    TProgressRecorder progress;
    PackageWriter::CompressToDevice(document, buffer, progress);
    QCOMPARE(progress.Maxima, QList<int>{maximum});
    QList<int> steps;
    for (int k = 1; k <= maximum; ++k) {
        steps << k;
    }
    QCOMPARE(progress.Positions.first(), steps);
    QCOMPARE(progress.MessageTurns, maximum);
    QCOMPARE(progress.Labels, QStringList{"正在压缩 "});
    QCOMPARE(Inflated(file), document); // complete, the rest included
}

void TestPackageFormat::exportSteps() {
    TStoreFixture store;
    for (const char *title : {"一", "二", "三"}) {
        store.InsertArticle(QStringLiteral("书"), QString::fromUtf8(title));
    }
    std::unique_ptr<TBookList> books = store.Service()->GetArticles();
    QList<TArticle *> articles;
    for (const auto &entry : books->At(0)->Articles) {
        articles << entry.Item.get();
    }
    TProgressRecorder progress;
    PackageJobs::ExportPackage(*store.Service(), articles,
                               store.Folder().FilePath(QStringLiteral("out.eap")), progress);
    QCOMPARE(progress.Maxima, QList<int>({3, 0}));
    QCOMPARE(progress.Positions.first(), QList<int>({1, 2, 3}));
    QCOMPARE(progress.Labels,
             QStringList({"正在导出 一", "正在导出 二", "正在导出 三", "正在压缩 "}));
    QCOMPARE(progress.MessageTurns, 3);
}

void TestPackageFormat::importSteps() {
    TStoreFixture store;
    QList<TRecord> records;
    for (int i = 1; i <= 40; ++i) {
        TRecord record = Titled(QStringLiteral("文%1").arg(i));
        // Text that does not compress, so that the file spans several blocks.
        QString text;
        QRandomGenerator random(static_cast<quint32>(i));
        for (int k = 0; k < 2000; ++k) {
            text += QChar(static_cast<char16_t>(0x4E00 + random.bounded(20000)));
        }
        record.Text = text;
        records << record;
    }
    const QByteArray file = Package(records);
    const int blocks = static_cast<int>(file.size() / 16534);
    QVERIFY(blocks >= 3);
    const QString path = store.Folder().WriteFile(QStringLiteral("in.eap"), file);
    TProgressRecorder progress;
    PackageJobs::TPackageImport import(*store.Service(), path);
    import.Run(progress);

    QCOMPARE(progress.Maxima, QList<int>({blocks, 40}));
    const QList<int> inflateSteps = progress.Positions.at(0);
    QVERIFY(!inflateSteps.isEmpty());
    QVERIFY(std::is_sorted(inflateSteps.begin(), inflateSteps.end()));
    QVERIFY(inflateSteps.last() <= blocks);
    QCOMPARE(progress.MessageTurns, inflateSteps.size()); // none while storing
    QCOMPARE(progress.Positions.at(1).size(), 40);
    QCOMPARE(progress.Positions.at(1).last(), 40);
    QCOMPARE(progress.Labels.first(), QStringLiteral("正在解压 "));
    QCOMPARE(progress.Labels.at(1), QStringLiteral("正在导入 文1"));
    QCOMPARE(progress.Labels.last(), QStringLiteral("正在导入 文40"));
}

void TestPackageFormat::failedExportKeepsTheOldPackage() {
    TStoreFixture store;
    store.InsertArticle(QStringLiteral("书"), QStringLiteral("一"));
    store.InsertArticle(QStringLiteral("书"), QStringLiteral("二"));
    std::unique_ptr<TBookList> books = store.Service()->GetArticles();
    const QList<TArticle *> articles = {books->At(0)->Articles.At(0), books->At(0)->Articles.At(1)};
    const QString path = store.Folder().WriteFile(QStringLiteral("out.eap"), "old package");
    auto failing = std::make_shared<TServiceDecorator>(store.Service());
    failing->BeforeGetArticleText = [&](int id) {
        if (id == articles.at(1)->Id) {
            throw EDatabaseError(QStringLiteral("disk I/O error"));
        }
    };
    TSilentProgress progress;
    QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                             PackageJobs::ExportPackage(*failing, articles, path, progress));
    QCOMPARE(store.Folder().ReadFile(QStringLiteral("out.eap")), QByteArray("old package"));
    QCOMPARE(QDir(store.AppDir()).entryList(QStringList{"out.eap*"}, QDir::Files),
             QStringList{"out.eap"});
}

void TestPackageFormat::unwritablePackageGivesThePlatformMessage() {
    TStoreFixture store;
    store.InsertArticle(QStringLiteral("书"), QStringLiteral("一"));
    std::unique_ptr<TBookList> books = store.Service()->GetArticles();
    // A folder that is a file: nothing can be created below it, not even by root.
    store.Folder().WriteFile(QStringLiteral("plain"), "x");
    const QString path = store.Folder().FilePath(QStringLiteral("plain/out.eap"));
    TSilentProgress progress;
    try {
        PackageJobs::ExportPackage(*store.Service(), {books->At(0)->Articles.At(0)}, path,
                                   progress);
        QFAIL("wrote below a file");
    } catch (const EWriteError &error) {
        QVERIFY(!error.Message().isEmpty());
    }
    QVERIFY(!QFileInfo::exists(path));
}

void TestPackageFormat::missingFileGivesThePlatformMessage() {
    TStoreFixture store;
    const QString message = Import(store, store.Folder().FilePath(QStringLiteral("gone.eap")));
    QVERIFY(!message.isEmpty());
    QVERIFY(message != BadFormat && message != Damaged);
}

QTEST_GUILESS_MAIN(TestPackageFormat)
#include "test_package_format.moc"

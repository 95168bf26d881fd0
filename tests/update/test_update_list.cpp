// The update list as the check reads it: the walk for the next release, what ends it with an
// error, the document limits; where the check keeps its files; when the check is off.
#include "support/TempAppFolder.h"
#include "update/UpdateList.h"
#include "update/UpdateListAddress.h"
#include "update/UpdatePaths.h"

#include <QStringEncoder>
#include <QtTest>

namespace {

enum class TOutcome { Offered, NotOffered, Error };

QByteArray List(const QByteArray &entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<patches>\n" + entries + "\n</patches>\n";
}

QByteArray Entry(const QByteArray &version) {
    return "  <patch><version>" + version + "</version><file>setup.exe</file></patch>\n";
}

TOutcome Outcome(const QByteArray &document, qint64 release) {
    try {
        return UpdateList::ListsRelease(document, release) ? TOutcome::Offered
                                                           : TOutcome::NotOffered;
    } catch (const EUpdateListError &) {
        return TOutcome::Error;
    }
}

} // namespace

Q_DECLARE_METATYPE(TOutcome)

class TestUpdateList : public QObject {
    Q_OBJECT

private slots:
    void Walk_data();
    void Walk();
    void SizeLimit();
    void FileErrors();
    void LocalListPath_data();
    void LocalListPath();
    void UpdaterPath_data();
    void UpdaterPath();
    void CheckSwitch_data();
    void CheckSwitch();
};

void TestUpdateList::Walk_data() {
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<qint64>("release");
    QTest::addColumn<TOutcome>("outcome");

    const qint64 next = 4; // installed release 3
    QTest::newRow("entries 2 and 4") << List(Entry("2") + Entry("4")) << next << TOutcome::Offered;
    QTest::newRow("entries 5 and 6 only")
        << List(Entry("5") + Entry("6")) << next << TOutcome::NotOffered;
    QTest::newRow("entry 3 only") << List(Entry("3")) << next << TOutcome::NotOffered;
    QTest::newRow("no entries") << List("") << next << TOutcome::NotOffered;
    QTest::newRow("match before an entry without version")
        << List(Entry("4") + "<patch><file>x</file></patch>") << next << TOutcome::Offered;
    QTest::newRow("match before a version that is no number")
        << List(Entry("4") + Entry("vier")) << next << TOutcome::Offered;
    QTest::newRow("first entry without version, later match")
        << List("<patch/>" + Entry("4")) << next << TOutcome::Error;
    QTest::newRow("version that is no number before a match")
        << List(Entry("4a") + Entry("4")) << next << TOutcome::Error;
    QTest::newRow("empty version before a match")
        << List(Entry("") + Entry("4")) << next << TOutcome::Error;
    QTest::newRow("version only deeper down is no version")
        << List("<patch><info><version>4</version></info></patch>") << next << TOutcome::Error;
    QTest::newRow("non-blank text before a match is an entry")
        << List("stray" + Entry("4")) << next << TOutcome::Error;
    QTest::newRow("comments and instructions are no entries")
        << List("<!-- releases --><?note x?>" + Entry("4")) << next << TOutcome::Offered;
    QTest::newRow("element names are not looked at")
        << QByteArray("<a><b><version>4</version></b></a>") << next << TOutcome::Offered;
    QTest::newRow("version padded with white space")
        << List(Entry("\n   4\n ")) << next << TOutcome::Offered;
    QTest::newRow("version in a CDATA section")
        << List(Entry("<![CDATA[4]]>")) << next << TOutcome::Offered;
    QTest::newRow("release beyond 32 bits")
        << List(Entry("2147483648")) << qint64{2147483648} << TOutcome::Offered;

    QTest::newRow("not well-formed") << QByteArray("<patches><patch>") << next << TOutcome::Error;
    QTest::newRow("empty document") << QByteArray() << next << TOutcome::Error;
    QTest::newRow("an HTML error page")
        << QByteArray("<html><body>404</body></html>") << next << TOutcome::Error;
    QTest::newRow("internal entity")
        << QByteArray("<!DOCTYPE p [<!ENTITY v \"4\">]><p><e><version>&v;</version></e></p>")
        << next << TOutcome::Error;
    QTest::newRow("external entity")
        << QByteArray("<!DOCTYPE p [<!ENTITY v SYSTEM \"file:///etc/hostname\">]>"
                      "<p><e><version>&v;</version></e></p>")
        << next << TOutcome::Error;
    QTest::newRow("undeclared entity") << List(Entry("&v;")) << next << TOutcome::Error;

    // A list declared GB2312 that holds a GBK character beyond GB2312 (镕).
    QStringEncoder gbk("GB18030");
    const QByteArray note = gbk.encode(QStringLiteral("<note>朱镕基</note>"));
    QTest::newRow("GB2312 declared, GBK characters")
        << QByteArray("<?xml version=\"1.0\" encoding=\"GB2312\"?><patches><patch>" + note +
                      "<version>4</version></patch></patches>")
        << next << TOutcome::Offered;
    QTest::newRow("UTF-8 with a byte-order mark")
        << QByteArray("\xEF\xBB\xBF") + List(Entry("4")) << next << TOutcome::Offered;
}

void TestUpdateList::Walk() {
    QFETCH(QByteArray, document);
    QFETCH(qint64, release);
    QFETCH(TOutcome, outcome);
    QCOMPARE(Outcome(document, release), outcome);
}

void TestUpdateList::SizeLimit() {
    const QByteArray list = List(Entry("4"));
    const auto padded = [&list](qint64 size) {
        QByteArray document = list;
        document.append(QByteArray(size - list.size() - 7, ' ').prepend("<!--").append("-->"));
        return document;
    };
    QCOMPARE(padded(UpdateList::MaxSize).size(), UpdateList::MaxSize);
    QCOMPARE(Outcome(padded(UpdateList::MaxSize), 4), TOutcome::Offered);
    QCOMPARE(Outcome(padded(UpdateList::MaxSize + 1), 4), TOutcome::Error);

    TempAppFolder folder;
    const QString path =
        folder.WriteFile(QStringLiteral("patch.xml"), padded(UpdateList::MaxSize + 1));
    QVERIFY_THROWS_EXCEPTION(EUpdateListError, UpdateList::FileListsRelease(path, 4));
}

void TestUpdateList::FileErrors() {
    TempAppFolder folder;
    QVERIFY_THROWS_EXCEPTION(EUpdateListError,
                             UpdateList::FileListsRelease(folder.FilePath("patch.xml"), 4));
    const QString path = folder.WriteFile(QStringLiteral("patch.xml"), List(Entry("4")));
    QVERIFY(UpdateList::FileListsRelease(path, 4));
    QVERIFY(!UpdateList::FileListsRelease(path, 5));
}

void TestUpdateList::LocalListPath_data() {
    QTest::addColumn<QString>("appDir");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("path");

    const QString list = QStringLiteral("http://h.invalid/jsp/download/product/reader/patch.xml");
    QTest::newRow("folder") << "/opt/mx" << list << "/opt/mx/patch.xml";
    QTest::newRow("folder with a slash") << "/opt/mx/" << list << "/opt/mx/patch.xml";
    QTest::newRow("root folder") << "/" << list << "/patch.xml";
    QTest::newRow("query left out") << "/opt/mx" << list + "?v=2"
                                    << "/opt/mx/patch.xml";
    QTest::newRow("other name") << "/opt/mx"
                                << "http://h/list.xml"
                                << "/opt/mx/list.xml";
    QTest::newRow("no name") << "/opt/mx"
                             << "http://h/dir/"
                             << "/opt/mx/patch.xml";
    QTest::newRow("dot-dot") << "/opt/mx"
                             << "http://h/a/%2E%2E"
                             << "/opt/mx/patch.xml";
}

void TestUpdateList::LocalListPath() {
    QFETCH(QString, appDir);
    QFETCH(QString, address);
    QFETCH(QString, path);
    QCOMPARE(UpdatePaths::LocalListPath(appDir, address), path);
}

void TestUpdateList::UpdaterPath_data() {
    QTest::addColumn<QString>("appDir");
    QTest::addColumn<QString>("path");
    QTest::newRow("folder") << "/opt/mx"
                            << "/opt/mx/AutoPatch";
    QTest::newRow("folder with a slash") << "/opt/mx/"
                                         << "/opt/mx/AutoPatch";
    QTest::newRow("root folder") << "/"
                                 << "/AutoPatch";
}

void TestUpdateList::UpdaterPath() {
    QFETCH(QString, appDir);
    QFETCH(QString, path);
    QCOMPARE(UpdatePaths::UpdaterPath(appDir), path);
}

void TestUpdateList::CheckSwitch_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("checks");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("placeholder host")
        << "http://www.mxreader.invalid/jsp/download/product/reader/patch.xml" << false;
    QTest::newRow("upper case, final dot") << "http://WWW.MX.INVALID./patch.xml" << false;
    QTest::newRow("the bare domain") << "http://invalid/patch.xml" << false;
    QTest::newRow("local server") << "http://127.0.0.1:8080/patch.xml" << true;
    QTest::newRow("invalid as an inner label") << "http://invalid.example.org/patch.xml" << true;
}

void TestUpdateList::CheckSwitch() {
    QFETCH(QString, address);
    QFETCH(bool, checks);
    QVERIFY(UpdateListAddress::Get().isEmpty()); // off until set
    UpdateListAddress::Set(address);
    QCOMPARE(UpdateListAddress::Get(), checks ? address : QString());
    UpdateListAddress::Set(QString());
}

QTEST_GUILESS_MAIN(TestUpdateList)
#include "test_update_list.moc"

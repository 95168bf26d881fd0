// The download component against a server on 127.0.0.1: what each request carries, what
// lands in the local file (whole, resumed, restarted), and every way a download fails.
#include "TestHttpServer.h"
#include "support/TempAppFolder.h"
#include "update/HttpFileDownload.h"

#include <QNetworkReply>
#include <QSignalSpy>
#include <QtTest>

#include <sys/resource.h>

using TStep = TTestHttpServer::TStep;

namespace {

const QByteArray Resource = [] {
    QByteArray bytes;
    for (int i = 0; i < 5000; ++i) {
        bytes.append(static_cast<char>('a' + i % 26));
    }
    return bytes;
}();

// One download from start to its end (completed or failed).
struct TRun {
    bool Completed = false;
    int ErrorCode = 0;
    int DataEvents = 0;
};

TRun RunDownload(THttpFileDownload &download, const QString &url, const QString &file,
                 qint64 offset) {
    QSignalSpy completed(&download, &THttpFileDownload::Completed);
    QSignalSpy failed(&download, &THttpFileDownload::Error);
    QSignalSpy data(&download, &THttpFileDownload::GetData);
    download.Start(QUrl(url), file, offset);
    // Nothing is reported from inside Start.
    if (!completed.isEmpty() || !failed.isEmpty()) {
        return {};
    }
    if (!QTest::qWaitFor([&] { return !completed.isEmpty() || !failed.isEmpty(); }, 10000)) {
        return {};
    }
    TRun run;
    run.Completed = !completed.isEmpty();
    run.ErrorCode = failed.isEmpty() ? 0 : failed.first().first().toInt();
    run.DataEvents = static_cast<int>(data.size());
    return run;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

class TestHttpDownload : public QObject {
    Q_OBJECT

private slots:
    void RequestSettings();
    void WholeResource();
    void ResumesWithARangeRequest();
    void RangeNotHonouredRestartsTheFile();
    void OffsetZeroCutsAStaleFile();
    void EmptyResource();
    void Failures_data();
    void Failures();
    void StopEndsWithoutEvents();
    void StallWaitsWithoutSpinning();
};

void TestHttpDownload::RequestSettings() {
    TempAppFolder folder;
    TTestHttpServer server(Resource);
    THttpFileDownload download;
    QVERIFY(RunDownload(download, server.Url(), folder.FilePath("patch.xml"), 0).Completed);

    QCOMPARE(server.Requests.size(), 1);
    const TTestHttpServer::TRequest &request = server.Requests.first();
    QCOMPARE(request.RequestLine,
             QByteArray("GET /jsp/download/product/reader/patch.xml HTTP/1.1"));
    QCOMPARE(request.Headers.value("accept"), QByteArray("*/*"));
    QCOMPARE(request.Headers.value("user-agent"),
             QByteArray("Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)"));
    QCOMPARE(request.Headers.value("accept-encoding"), QByteArray("identity"));
    QCOMPARE(request.Headers.value("host"),
             QStringLiteral("127.0.0.1:%1").arg(server.Port()).toLatin1());
    for (const char *absent : {"range", "referer", "authorization", "content-length", "upgrade"}) {
        QVERIFY2(!request.Headers.contains(absent), absent);
    }
    QCOMPARE(download.CurrentAddress(), QUrl(server.Url()));
    QCOMPARE(download.CurrentLocalFile(), folder.FilePath("patch.xml"));
}

void TestHttpDownload::WholeResource() {
    TempAppFolder folder;
    TTestHttpServer server(Resource);
    THttpFileDownload download;
    const TRun run = RunDownload(download, server.Url(), folder.FilePath("sub/patch.xml"), 0);
    // A folder that is missing is not the component's to make.
    QVERIFY(!run.Completed);
    QCOMPARE(run.ErrorCode, int{THttpFileDownload::LocalFileError});

    const TRun whole = RunDownload(download, server.Url(), folder.FilePath("patch.xml"), 0);
    QVERIFY(whole.Completed);
    QVERIFY(whole.DataEvents >= 1);
    QCOMPARE(folder.ReadFile("patch.xml"), Resource);
    QCOMPARE(THttpFileDownload::LocalFileSize(folder.FilePath("patch.xml")), Resource.size());
    QCOMPARE(THttpFileDownload::LocalFileSize(folder.FilePath("missing.xml")), 0);
}

void TestHttpDownload::ResumesWithARangeRequest() {
    TempAppFolder folder;
    TTestHttpServer server(Resource);
    const QString file = folder.WriteFile("patch.xml", Resource.left(1234));
    THttpFileDownload download;
    QVERIFY(RunDownload(download, server.Url(), file, 1234).Completed);
    QCOMPARE(server.Requests.first().Headers.value("range"), QByteArray("bytes=1234-"));
    QCOMPARE(folder.ReadFile("patch.xml"), Resource);
}

void TestHttpDownload::RangeNotHonouredRestartsTheFile() {
    TempAppFolder folder;
    TTestHttpServer server(Resource, {TStep::IgnoreRange});
    const QString file = folder.WriteFile("patch.xml", Resource.left(1234));
    THttpFileDownload download;
    QVERIFY(RunDownload(download, server.Url(), file, 1234).Completed);
    QCOMPARE(folder.ReadFile("patch.xml"), Resource); // not the first part twice
}

void TestHttpDownload::OffsetZeroCutsAStaleFile() {
    TempAppFolder folder;
    TTestHttpServer server(Resource.left(100));
    const QString file = folder.WriteFile("patch.xml", Resource); // longer, from an old run
    THttpFileDownload download;
    QVERIFY(RunDownload(download, server.Url(), file, 0).Completed);
    QCOMPARE(folder.ReadFile("patch.xml"), Resource.left(100));
}

void TestHttpDownload::EmptyResource() {
    TempAppFolder folder;
    TTestHttpServer server(QByteArray{});
    const QString file = folder.WriteFile("patch.xml", "old");
    THttpFileDownload download;
    const TRun run = RunDownload(download, server.Url(), file, 0);
    QVERIFY(run.Completed);
    QCOMPARE(run.DataEvents, 0);
    QCOMPARE(folder.ReadFile("patch.xml"), QByteArray());
}

void TestHttpDownload::Failures_data() {
    QTest::addColumn<QList<TStep>>("script");
    QTest::addColumn<QString>("address"); // empty: the server's
    QTest::addColumn<qint64>("sizeLimit");
    QTest::addColumn<qint64>("offset"); // the local file holds this much of the resource
    QTest::addColumn<int>("errorCode");
    QTest::addColumn<QByteArray>("fileAfter");

    const QByteArray half = Resource.left(Resource.size() / 2);
    QTest::newRow("refused") << QList<TStep>{} << TTestHttpServer::RefusingUrl() << qint64{0}
                             << qint64{0} << int{QNetworkReply::ConnectionRefusedError}
                             << QByteArray();
    QTest::newRow("500") << QList<TStep>{TStep::Fail500} << QString() << qint64{0} << qint64{0}
                         << int{QNetworkReply::InternalServerError} << QByteArray();
    QTest::newRow("404") << QList<TStep>{TStep::Fail404} << QString() << qint64{0} << qint64{0}
                         << int{QNetworkReply::ContentNotFoundError} << QByteArray();
    QTest::newRow("closed without an answer")
        << QList<TStep>{TStep::CloseAtOnce} << QString() << qint64{0} << qint64{0}
        << int{QNetworkReply::RemoteHostClosedError} << QByteArray();
    QTest::newRow("stalled before the answer")
        << QList<TStep>{TStep::Stall} << QString() << qint64{0} << qint64{0}
        << int{QNetworkReply::OperationCanceledError} << QByteArray();
    QTest::newRow("stalled in the body")
        << QList<TStep>{TStep::StallMidBody} << QString() << qint64{0} << qint64{0}
        << int{QNetworkReply::OperationCanceledError} << half;
    QTest::newRow("closed in the body")
        << QList<TStep>{TStep::CloseMidBody} << QString() << qint64{0} << qint64{0}
        << int{QNetworkReply::RemoteHostClosedError} << half;
    QTest::newRow("partial answer from the wrong place")
        << QList<TStep>{TStep::WrongRange} << QString() << qint64{0} << qint64{3}
        << int{THttpFileDownload::BadResponse} << QByteArray("abc");
    QTest::newRow("larger than the limit")
        << QList<TStep>{TStep::Serve} << QString() << qint64{1000} << qint64{0}
        << int{THttpFileDownload::TooLarge} << QByteArray();
    QTest::newRow("not an http address")
        << QList<TStep>{} << QStringLiteral("file:///etc/hostname") << qint64{0} << qint64{0}
        << int{THttpFileDownload::UnsupportedAddress} << QByteArray();
}

void TestHttpDownload::Failures() {
    QFETCH(QList<TStep>, script);
    QFETCH(QString, address);
    QFETCH(qint64, sizeLimit);
    QFETCH(qint64, offset);
    QFETCH(int, errorCode);
    QFETCH(QByteArray, fileAfter);

    TempAppFolder folder;
    TTestHttpServer server(Resource, script);
    THttpFileDownload download;
    download.SetStallTimeout(300);
    download.SetSizeLimit(sizeLimit);
    const QString file = folder.WriteFile("patch.xml", Resource.left(offset));
    const TRun run =
        RunDownload(download, address.isEmpty() ? server.Url() : address, file, offset);
    QVERIFY(!run.Completed);
    QCOMPARE(run.ErrorCode, errorCode);
    // No error answer ever ends up in the file.
    QCOMPARE(folder.ReadFile("patch.xml"), fileAfter);
    QVERIFY(!download.IsActive());
}

void TestHttpDownload::StopEndsWithoutEvents() {
    TempAppFolder folder;
    TTestHttpServer server(Resource, {TStep::Stall});
    THttpFileDownload download;
    download.SetStallTimeout(200);
    QSignalSpy failed(&download, &THttpFileDownload::Error);
    download.Start(QUrl(server.Url()), folder.FilePath("patch.xml"), 0);
    QVERIFY(QTest::qWaitFor([&] { return server.Connections == 1; }, 5000));
    download.Stop();
    QTest::qWait(500);
    QVERIFY(failed.isEmpty());

    // A failure that Start reports later is dropped by a stop too.
    download.Start(QUrl(QStringLiteral("ftp://127.0.0.1/patch.xml")), folder.FilePath("patch.xml"),
                   0);
    download.Stop();
    QTest::qWait(50);
    QVERIFY(failed.isEmpty());
}

void TestHttpDownload::StallWaitsWithoutSpinning() {
    TempAppFolder folder;
    TTestHttpServer server(Resource, {TStep::StallMidBody});
    THttpFileDownload download;
    download.SetStallTimeout(1500);
    QElapsedTimer clock;
    const double cpuBefore = CpuSeconds();
    clock.start();
    const TRun run = RunDownload(download, server.Url(), folder.FilePath("patch.xml"), 0);
    const double wall = static_cast<double>(clock.elapsed()) / 1000.0;
    const double cpu = CpuSeconds() - cpuBefore;
    QCOMPARE(run.ErrorCode, int{QNetworkReply::OperationCanceledError});
    QVERIFY2(wall >= 1.4, qPrintable(QString::number(wall)));
    // A loop that polls would keep a core busy for the whole stall.
    QVERIFY2(cpu < 0.25 * wall, qPrintable(QStringLiteral("cpu %1 s in %2 s").arg(cpu).arg(wall)));
}

QTEST_GUILESS_MAIN(TestHttpDownload)
#include "test_http_download.moc"

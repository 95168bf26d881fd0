// Closing the program while its update check downloads, and while the updater it started
// runs: the program ends normally within a second. Each case runs the program in a process
// of its own (update_quit_driver) against a server on 127.0.0.1 in this test.
#include "TestHttpServer.h"
#include "support/TempAppFolder.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>

using TStep = TTestHttpServer::TStep;

class TestUpdateQuit : public QObject {
    Q_OBJECT

private slots:
    void ClosingEndsTheProgram_data();
    void ClosingEndsTheProgram();
};

void TestUpdateQuit::ClosingEndsTheProgram_data() {
    QTest::addColumn<TStep>("step");
    QTest::addColumn<bool>("untilUpdaterRuns");
    QTest::newRow("during a stalled download") << TStep::Stall << false;
    QTest::newRow("during a slow body") << TStep::StallMidBody << false;
    QTest::newRow("while the updater runs") << TStep::Serve << true;
}

void TestUpdateQuit::ClosingEndsTheProgram() {
    QFETCH(TStep, step);
    QFETCH(bool, untilUpdaterRuns);

    TempAppFolder folder;
    folder.CopyThemes();
    folder.WriteFile("Config.ini", "[Main]\r\nAppVersion=3\r\n");
    // An updater that keeps running until it is ended.
    const QString updater =
        folder.WriteFile("AutoPatch", "#!/bin/sh\necho $$ > \"$0.pid\"\nexec sleep 60\n");
    QFile::setPermissions(updater, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray list = "<?xml version=\"1.0\"?><patches><patch><version>4</version></patch>"
                            "</patches>" +
                            QByteArray(4000, ' ');
    TTestHttpServer server(list, {step});

    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QString when = untilUpdaterRuns ? "file=" + folder.FilePath("AutoPatch.pid")
                                          : QStringLiteral("after=1500");
    program.start(QStringLiteral(MX_QUIT_DRIVER), {folder.Path(), server.Url(), when});
    QVERIFY(program.waitForStarted());
    const bool ended =
        QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 30000);
    if (!ended) {
        program.kill();
        program.waitForFinished();
    }
    const QString pid = QString::fromLatin1(folder.ReadFile("AutoPatch.pid")).trimmed();
    if (!pid.isEmpty()) {
        ::kill(pid.toInt(), SIGTERM); // the updater this case started
    }
    QVERIFY(ended);
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(!pid.isEmpty(), untilUpdaterRuns);
    QCOMPARE(server.Requests.size(), 1);

    const QString output = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QRegularExpressionMatch closing =
        QRegularExpression(QStringLiteral("closing (\\d+)")).match(output);
    const QRegularExpressionMatch end =
        QRegularExpression(QStringLiteral("ended (\\d+)")).match(output);
    QVERIFY2(closing.hasMatch() && end.hasMatch(), qPrintable(output));
    const qint64 takes = end.captured(1).toLongLong() - closing.captured(1).toLongLong();
    QVERIFY2(takes < 1000, qPrintable(QStringLiteral("%1 ms to end").arg(takes)));
}

QTEST_GUILESS_MAIN(TestUpdateQuit)
#include "test_update_quit.moc"

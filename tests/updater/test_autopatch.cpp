// The updater program: what its window says it would update, the download page it opens,
// the installed release it reads, and the command lines it accepts.
#include "support/TempAppFolder.h"
#include "updater/UpdaterWindow.h"

#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStringEncoder>
#include <QtTest>

class TestAutoPatch : public QObject {
    Q_OBJECT

private slots:
    void WindowTellsWhatItWouldUpdate();
    void OpenPageButton_data();
    void OpenPageButton();
    void InstalledRelease_data();
    void InstalledRelease();
    void RefusesOtherParameters();
};

void TestAutoPatch::WindowTellsWhatItWouldUpdate() {
    TempAppFolder folder;
    folder.WriteFile("Config.ini", "[Main]\r\nAppVersion=3\r\n");
    const QUrl page(QStringLiteral("http://www.mxreader.invalid/download/"));
    TUpdaterWindow window(folder.Path(), page, [](const QUrl &) { return true; });
    const QString text = window.Details->text();
    QVERIFY2(text.contains(folder.FilePath("mxreader")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("3，将升级到 4")), qPrintable(text));
    QVERIFY2(text.contains(page.toString()), qPrintable(text));

    TempAppFolder empty;
    TUpdaterWindow unknown(empty.Path(), page, [](const QUrl &) { return true; });
    QVERIFY(unknown.Details->text().contains(QStringLiteral("已安装的版本：未知")));
}

void TestAutoPatch::OpenPageButton_data() {
    QTest::addColumn<bool>("open");
    QTest::newRow("打开下载页面") << true;
    QTest::newRow("关闭") << false;
}

void TestAutoPatch::OpenPageButton() {
    QFETCH(bool, open);
    TempAppFolder folder;
    const QUrl page(QStringLiteral("http://www.mxreader.invalid/download/"));
    QList<QUrl> opened;
    TUpdaterWindow window(folder.Path(), page, [&opened](const QUrl &url) {
        opened << url;
        return true;
    });
    window.show();
    (open ? window.OpenPageButton : window.CloseButton)->click();
    QCOMPARE(opened, open ? QList<QUrl>{page} : QList<QUrl>{});
    QCOMPARE(window.result(), open ? int{QDialog::Accepted} : int{QDialog::Rejected});
    QVERIFY(!window.isVisible());
}

void TestAutoPatch::InstalledRelease_data() {
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<int>("release");
    QStringEncoder gbk("GB18030");
    QTest::newRow("no Config.ini") << QByteArray() << 0;
    QTest::newRow("release 3") << QByteArray("[Main]\r\nAppVersion=3\r\n") << 3;
    QTest::newRow("among code-page-936 values")
        << QByteArray("[View]\r\nThemeFile=" + gbk.encode(QStringLiteral("/opt/阅读器/x.sui")) +
                      "\r\n[Main]\r\nPubVersion=1\r\nAppVersion=12\r\n")
        << 12;
    QTest::newRow("not a number") << QByteArray("[Main]\r\nAppVersion=abc\r\n") << 0;
    QTest::newRow("other section") << QByteArray("[View]\r\nAppVersion=3\r\n") << 0;
}

void TestAutoPatch::InstalledRelease() {
    QFETCH(QByteArray, config);
    QFETCH(int, release);
    TempAppFolder folder;
    if (!config.isEmpty()) {
        folder.WriteFile("Config.ini", config);
    }
    QCOMPARE(TUpdaterWindow::InstalledRelease(folder.Path()), release);
}

void TestAutoPatch::RefusesOtherParameters() {
    QProcess updater;
    updater.start(QStringLiteral(MX_AUTOPATCH), {QStringLiteral("install")});
    QVERIFY(updater.waitForFinished(10000));
    QCOMPARE(updater.exitCode(), 2);
    QVERIFY(updater.readAllStandardError().contains("usage"));
}

QTEST_MAIN(TestAutoPatch)
#include "test_autopatch.moc"

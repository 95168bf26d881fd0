#include "app/GlobalManager.h"
#include "support/TempAppFolder.h"
#include "util/Errors.h"
#include "util/Tools.h"

#include <QMap>
#include <QStringDecoder>
#include <QtTest>

namespace {

// The two default elements as GBK bytes ("宋体" is CB CE CC E5).
const QByteArray DefaultBlockBytes(
    "<blockConfig layout=\"0\" mode=\"1\" rate=\"0\" highLight=\"1\" fontSize=\"2\" "
    "bgColor=\"$00D8E9EC\" bgFontColor=\"$00BABABA\" lightFontColor=\"clBlack\" "
    "fontName=\"\xCB\xCE\xCC\xE5\" beepOnRefresh=\"1\"/>");
const QByteArray DefaultFlashBytes(
    "<flashConfig mode=\"1\" rate=\"0\" extractWordCount=\"5\" lineCount=\"1\" fontSize=\"2\" "
    "fontColor=\"clBlack\" fontName=\"\xCB\xCE\xCC\xE5\" bgColor=\"clWhite\" "
    "beepOnRefresh=\"1\"/>");

QString FromGbk(const QByteArray &bytes) {
    QStringDecoder decoder("GB18030");
    return decoder.decode(bytes);
}

QByteArray Scrambled(const QByteArray &bytes, int leading) {
    return ScrambleText(bytes, [leading] { return leading; }).toLatin1();
}

// The scrambled values of section Block carry a random leading byte: they are replaced by
// "<scrambled>" so the rest of the file can be compared byte for byte, and their bytes
// are collected by key.
QByteArray MaskScrambled(const QByteArray &file, QMap<QByteArray, QByteArray> &configs) {
    QList<QByteArray> lines = file.split('\n');
    QByteArray section;
    for (QByteArray &line : lines) {
        if (line.startsWith('[')) {
            section = line.trimmed();
        }
        const qsizetype equals = line.indexOf('=');
        const QByteArray key = line.left(equals);
        if (section == "[Block]" && (key == "BlockConfig" || key == "FlashConfig")) {
            configs[key] = UnscrambleText(QString::fromLatin1(line.mid(equals + 1).trimmed()));
            line = key + "=<scrambled>\r";
        }
    }
    return lines.join('\n');
}

QString DefaultThemeFile(const TempAppFolder &folder) {
    return folder.Path() + QStringLiteral("/themes/xpsilver.sui");
}

} // namespace

class TestGlobalManager : public QObject {
    Q_OBJECT

private slots:
    void DefaultsWithoutAFile();
    void WritesAFileFromNothing();
    void HandEditedFileSurvivesASave();
    void WholeNumbers_data();
    void WholeNumbers();
    void EmptyValues();
    void BadScrambledConfigGivesDefault_data();
    void BadScrambledConfigGivesDefault();
    void SameValueWritesNothing_data();
    void SameValueWritesNothing();
    void ChangedValuesComeBack();
    void FailedSaveRaisesAndKeepsTheValue_data();
    void FailedSaveRaisesAndKeepsTheValue();
    void ChineseTextKeepsItsBytes();
};

void TestGlobalManager::DefaultsWithoutAFile() {
    TempAppFolder folder;
    QVERIFY(folder.IsValid());
    {
        TGlobalManager settings(folder.Path());
        QCOMPARE(settings.AppVersion, 1);
        QCOMPARE(settings.PubVersion, QStringLiteral("1"));
        QCOMPARE(settings.AppPath, QStringLiteral("1"));
        QCOMPARE(settings.AppDate, QString());
        QCOMPARE(settings.ContentMaxWordCount, 50000);
        QCOMPARE(settings.ThemeFile, DefaultThemeFile(folder));
        QCOMPARE(settings.BlockConfig, FromGbk(DefaultBlockBytes));
        QCOMPARE(settings.FlashConfig, FromGbk(DefaultFlashBytes));
        QCOMPARE(settings.BlockConfig, TGlobalManager::DefaultBlockConfig);
        QCOMPARE(settings.FlashConfig, TGlobalManager::DefaultFlashConfig);
        QVERIFY(settings.UIStyle == TUIStyle::FromThemeFile);
        QCOMPARE(settings.ConfigPath(), folder.FilePath(QStringLiteral("Config.ini")));
        // Loading writes nothing.
        QVERIFY(!folder.Exists(QStringLiteral("Config.ini")));
    }
    // The end of the run writes every key.
    QVERIFY(folder.Exists(QStringLiteral("Config.ini")));
}

void TestGlobalManager::WritesAFileFromNothing() {
    TempAppFolder folder;
    QVERIFY(folder.IsValid());
    TGlobalManager settings(folder.Path());
    settings.SetAppPath(QStringLiteral("/opt/mxreader/mxreader"));

    QMap<QByteArray, QByteArray> configs;
    const QByteArray masked = MaskScrambled(folder.ReadFile(QStringLiteral("Config.ini")), configs);
    const QByteArray expected = "[View]\r\n"
                                "ThemeFile=" +
                                DefaultThemeFile(folder).toUtf8() +
                                "\r\n"
                                "[Main]\r\n"
                                "PubVersion=1\r\n"
                                "AppVersion=1\r\n"
                                "AppPath=/opt/mxreader/mxreader\r\n"
                                "AppDate=\r\n"
                                "[Block]\r\n"
                                "BlockConfig=<scrambled>\r\n"
                                "FlashConfig=<scrambled>\r\n"
                                "[Article]\r\n"
                                "ContentMaxWordCount=50000\r\n";
    QCOMPARE(masked, expected);
    QCOMPARE(configs.value("BlockConfig"), DefaultBlockBytes);
    QCOMPARE(configs.value("FlashConfig"), DefaultFlashBytes);
}

void TestGlobalManager::HandEditedFileSurvivesASave() {
    TempAppFolder folder;
    QVERIFY(folder.IsValid());
    const QByteArray customBlock("<blockConfig layout=\"1\" fontName=\"\xBF\xAC\xCC\xE5\"/>");
    const QByteArray flashElsewhere = Scrambled("<flashConfig mode=\"2\"/>", 0x33);
    // A comment in GBK ("明心轩阅读器"), blank lines, unknown keys and sections, and a
    // FlashConfig in a section that is not read.
    const QByteArray head = "; \xC3\xF7\xD0\xC4\xD0\xF9\xD4\xC4\xB6\xC1\xC6\xF7 settings\r\n"
                            "[Main]\r\n"
                            "AppVersion=7\r\n"
                            "; the published version\r\n"
                            "PubVersion=2.0\r\n"
                            "Extra=keep me\r\n";
    const QByteArray middle = "\r\n"
                              "[Flash]\r\n"
                              "FlashConfig=" +
                              flashElsewhere +
                              "\r\n"
                              "[Block]\r\n";
    const QByteArray tail = "[Foreign]\r\n"
                            "x = 1\r\n"
                            "[View]\r\n";
    folder.WriteFile(QStringLiteral("Config.ini"),
                     head + middle + "BlockConfig=" + Scrambled(customBlock, 0x5A) + "\r\n" + tail +
                         "ThemeFile=/old/theme.sui\r\n");

    TGlobalManager settings(folder.Path());
    QCOMPARE(settings.AppVersion, 7);
    QCOMPARE(settings.PubVersion, QStringLiteral("2.0"));
    QCOMPARE(settings.ThemeFile, QStringLiteral("/old/theme.sui"));
    QCOMPARE(settings.BlockConfig, QStringLiteral("<blockConfig layout=\"1\" fontName=\"楷体\"/>"));
    QCOMPARE(settings.FlashConfig, TGlobalManager::DefaultFlashConfig);

    settings.SetThemeFile(QStringLiteral("/new/theme.sui"));
    QMap<QByteArray, QByteArray> configs;
    const QByteArray masked = MaskScrambled(folder.ReadFile(QStringLiteral("Config.ini")), configs);
    const QByteArray expected = head + "AppPath=1\r\nAppDate=\r\n" + middle +
                                "BlockConfig=<scrambled>\r\nFlashConfig=<scrambled>\r\n" + tail +
                                "ThemeFile=/new/theme.sui\r\n"
                                "[Article]\r\n"
                                "ContentMaxWordCount=50000\r\n";
    QCOMPARE(masked, expected);
    QCOMPARE(configs.value("BlockConfig"), customBlock);
    QCOMPARE(configs.value("FlashConfig"), DefaultFlashBytes);
}

void TestGlobalManager::WholeNumbers_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("number");
    QTest::newRow("0x100") << QByteArray("0x100") << true << 256;
    QTest::newRow("0X1f") << QByteArray("0X1f") << true << 31;
    QTest::newRow("$10") << QByteArray("$10") << true << 16;
    QTest::newRow("$FFFFFFFF is a 32-bit pattern") << QByteArray("$FFFFFFFF") << true << -1;
    QTest::newRow("decimal") << QByteArray("1234") << true << 1234;
    QTest::newRow("negative decimal") << QByteArray("-12") << true << -12;
    QTest::newRow("zero") << QByteArray("0") << true << 0;
    QTest::newRow("minus one") << QByteArray("-1") << true << -1;
    QTest::newRow("blanks around") << QByteArray("  77 ") << true << 77;
    QTest::newRow("abc") << QByteArray("abc") << false << 0;
    QTest::newRow("empty") << QByteArray("") << false << 0;
    QTest::newRow("0x alone") << QByteArray("0x") << false << 0;
    QTest::newRow("$ alone") << QByteArray("$") << false << 0;
    QTest::newRow("0x with a bad digit") << QByteArray("0x1G") << false << 0;
    QTest::newRow("0x with a sign") << QByteArray("0x-1") << false << 0;
    QTest::newRow("$ with nine digits") << QByteArray("$123456789") << false << 0;
    QTest::newRow("trailing letters") << QByteArray("12abc") << false << 0;
    QTest::newRow("too large") << QByteArray("99999999999") << false << 0;
}

void TestGlobalManager::WholeNumbers() {
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(int, number);
    TempAppFolder folder;
    QVERIFY(folder.IsValid());
    folder.WriteFile(QStringLiteral("Config.ini"),
                     "[Main]\r\nAppVersion=" + text +
                         "\r\n[Article]\r\nContentMaxWordCount=" + text + "\r\n");
    TGlobalManager settings(folder.Path());
    QCOMPARE(settings.AppVersion, valid ? number : 1);
    // A part limit below 1 would make every save ask about a negative length: the default.
    QCOMPARE(settings.ContentMaxWordCount, valid && number >= 1 ? number : 50000);
}

void TestGlobalManager::EmptyValues() {
    TempAppFolder folder;
    QVERIFY(folder.IsValid());
    folder.WriteFile(QStringLiteral("Config.ini"), "[View]\r\nThemeFile=\r\n"
                                                   "[Main]\r\nPubVersion=\r\nAppPath=\r\n"
                                                   "AppDate=\r\n"
                                                   "[Block]\r\nBlockConfig=\r\nFlashConfig=\r\n");
    TGlobalManager settings(folder.Path());
    QCOMPARE(settings.ThemeFile, DefaultThemeFile(folder));
    QCOMPARE(settings.PubVersion, QString());
    QCOMPARE(settings.AppPath, QString());
    QCOMPARE(settings.AppDate, QString());
    QCOMPARE(settings.BlockConfig, TGlobalManager::DefaultBlockConfig);
    QCOMPARE(settings.FlashConfig, TGlobalManager::DefaultFlashConfig);
}

void TestGlobalManager::BadScrambledConfigGivesDefault_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("not hexadecimal") << QByteArray("<blockConfig/>");
    QTest::newRow("bad later pair") << QByteArray("0012ZZ34");
    QTest::newRow("one digit") << QByteArray("A");
    QTest::newRow("leading value only") << QByteArray("AB");
}

void TestGlobalManager::BadScrambledConfigGivesDefault() {
    QFETCH(QByteArray, stored);
    TempAppFolder folder;
    QVERIFY(folder.IsValid());
    folder.WriteFile(QStringLiteral("Config.ini"),
                     "[Block]\r\nBlockConfig=" + stored + "\r\nFlashConfig=" + stored + "\r\n");
    TGlobalManager settings(folder.Path());
    QCOMPARE(settings.BlockConfig, TGlobalManager::DefaultBlockConfig);
    QCOMPARE(settings.FlashConfig, TGlobalManager::DefaultFlashConfig);
}

void TestGlobalManager::SameValueWritesNothing_data() {
    QTest::addColumn<QString>("setter");
    QTest::addColumn<QByteArray>("file"); // empty: no file at all
    for (const char *setter : {"AppPath", "ThemeFile", "BlockConfig", "FlashConfig"}) {
        QTest::addRow("%s, no file", setter) << QString::fromLatin1(setter) << QByteArray();
        QTest::addRow("%s, short file", setter)
            << QString::fromLatin1(setter) << QByteArray("[Main]\r\nAppVersion=3\r\n");
    }
}

void TestGlobalManager::SameValueWritesNothing() {
    QFETCH(QString, setter);
    QFETCH(QByteArray, file);
    TempAppFolder folder;
    QVERIFY(folder.IsValid());
    const QString config = QStringLiteral("Config.ini");
    if (!file.isEmpty()) {
        folder.WriteFile(config, file);
    }
    TGlobalManager settings(folder.Path());
    if (setter == QLatin1String("AppPath")) {
        settings.SetAppPath(QString(settings.AppPath));
    } else if (setter == QLatin1String("ThemeFile")) {
        settings.SetThemeFile(QString(settings.ThemeFile));
    } else if (setter == QLatin1String("BlockConfig")) {
        settings.SetBlockConfig(QString(settings.BlockConfig));
    } else {
        settings.SetFlashConfig(QString(settings.FlashConfig));
    }
    // A save would have added the missing keys.
    QCOMPARE(folder.Exists(config), !file.isEmpty());
    QCOMPARE(folder.ReadFile(config), file);
}

void TestGlobalManager::ChangedValuesComeBack() {
    TempAppFolder folder;
    QVERIFY(folder.IsValid());
    const QString block = QStringLiteral("<blockConfig layout=\"2\" fontName=\"微软雅黑\"/>");
    const QString flash = QStringLiteral("<flashConfig mode=\"3\" fontName=\"楷体\"/>");
    const QString theme = QStringLiteral("/主题/😀 theme.sui");
    {
        TGlobalManager settings(folder.Path());
        settings.SetBlockConfig(block);
        settings.SetFlashConfig(flash);
        settings.SetThemeFile(theme);
        settings.SetAppPath(QStringLiteral("/usr/lib/mxreader/mxreader"));
    }
    TGlobalManager settings(folder.Path());
    QCOMPARE(settings.BlockConfig, block);
    QCOMPARE(settings.FlashConfig, flash);
    QCOMPARE(settings.ThemeFile, theme);
    QCOMPARE(settings.AppPath, QStringLiteral("/usr/lib/mxreader/mxreader"));
}

void TestGlobalManager::FailedSaveRaisesAndKeepsTheValue_data() {
    QTest::addColumn<bool>("configIsAFolder");
    // Both stop root as well, unlike a read-only folder.
    QTest::newRow("Config.ini is a folder") << true;
    QTest::newRow("application folder below a regular file") << false;
}

void TestGlobalManager::FailedSaveRaisesAndKeepsTheValue() {
    QFETCH(bool, configIsAFolder);
    TempAppFolder folder;
    QVERIFY(folder.IsValid());
    QString appDir = folder.Path();
    if (configIsAFolder) {
        QVERIFY(QDir().mkpath(folder.FilePath(QStringLiteral("Config.ini"))));
    } else {
        appDir = folder.WriteFile(QStringLiteral("blocker"), "a file") + QStringLiteral("/app");
    }
    TGlobalManager settings(appDir);
    try {
        settings.SetThemeFile(QStringLiteral("/new/theme.sui"));
        QFAIL("the save did not raise");
    } catch (const EWriteError &error) {
        QCOMPARE(error.Message(), QStringLiteral("写 %1 失败").arg(settings.ConfigPath()));
    }
    QCOMPARE(settings.ThemeFile, QStringLiteral("/new/theme.sui"));
    // The destructor's save fails too; it reports and does not throw.
}

void TestGlobalManager::ChineseTextKeepsItsBytes() {
    TempAppFolder folder;
    QVERIFY(folder.IsValid());
    // PubVersion "二〇〇八版" and AppDate "2008年5月" in GBK.
    const QByteArray main = "[Main]\r\n"
                            "PubVersion=\xB6\xFE\xA9\x96\xA9\x96\xB0\xCB\xB0\xE6\r\n"
                            "AppDate=2008\xC4\xEA"
                            "5\xD4\xC2\r\n";
    folder.WriteFile(QStringLiteral("Config.ini"), main);
    TGlobalManager settings(folder.Path());
    QCOMPARE(settings.PubVersion, QStringLiteral("二〇〇八版"));
    QCOMPARE(settings.AppDate, QStringLiteral("2008年5月"));
    settings.Save();
    const QByteArray saved = folder.ReadFile(QStringLiteral("Config.ini"));
    QVERIFY2(saved.contains("[Main]\r\nPubVersion=\xB6\xFE\xA9\x96\xA9\x96\xB0\xCB\xB0\xE6\r\n"),
             saved.constData());
    QVERIFY2(saved.contains("AppDate=2008\xC4\xEA"
                            "5\xD4\xC2\r\n"),
             saved.constData());
}

QTEST_GUILESS_MAIN(TestGlobalManager)
#include "test_globalmanager.moc"

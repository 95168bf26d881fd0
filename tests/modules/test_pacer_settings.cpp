#include "modules/PacerKit/ConfigColor.h"
#include "modules/PacerKit/ConfigElement.h"
#include "modules/PacerKit/PaceScale.h"
#include "modules/PacerKit/PacerSettings.h"
#include "modules/PacerKit/ReadingFont.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QtTest>

// The settings side of the reader modules: pace scale, configuration elements, colours, fonts.
class TestPacerSettings : public QObject {
    Q_OBJECT

private slots:
    void paceScaleBounds();
    void paceScaleClampsAndInverts();

    void untouchedTextComesBackUnchanged_data();
    void untouchedTextComesBackUnchanged();
    void changeKeepsOrderAndUnknownAttributes();
    void missingAttributeReadsDefaultAndIsAppended();
    void unusableTextStartsFromDefaults_data();
    void unusableTextStartsFromDefaults();
    void unreadableValuesReadAsDefaults();
    void valuesAreEscaped();
    void blockDefaults();

    void colourTexts_data();
    void colourTexts();
    void colourWrittenInItsOwnForm_data();
    void colourWrittenInItsOwnForm();

    void missingFaceFallsBackToChinese();
    void fontSizeScale();
};

void TestPacerSettings::paceScaleBounds() {
    QCOMPARE(PaceCpm(PaceBottomStep), 300);
    QVERIFY(PaceCpm(PaceTopStep) >= 3000);
    for (int step = PaceBottomStep + 1; step <= PaceTopStep; ++step) {
        const int below = PaceCpm(step - 1);
        const int here = PaceCpm(step);
        QVERIFY2(here > below, qPrintable(QString::number(step)));
        QVERIFY2(here * 100 <= below * 105, qPrintable(QString::number(step)));
    }
}

void TestPacerSettings::paceScaleClampsAndInverts() {
    QCOMPARE(PaceCpm(-5), 300);
    QCOMPARE(PaceCpm(PaceTopStep + 100), PaceCpm(PaceTopStep));
    for (int step = PaceBottomStep; step <= PaceTopStep; ++step) {
        QCOMPARE(PaceStepForCpm(PaceCpm(step)), step);
    }
    QCOMPARE(PaceStepForCpm(10), 0);
    QCOMPARE(PaceStepForCpm(100000), PaceTopStep);
    QCOMPARE(TFlashSettings(QStringLiteral("<flashConfig rate=\"999\"/>")).Rate(), PaceTopStep);
    QCOMPARE(TFlashSettings(QStringLiteral("<flashConfig rate=\"-3\"/>")).Rate(), 0);
}

void TestPacerSettings::untouchedTextComesBackUnchanged_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("default") << TFlashSettings::DefaultText;
    QTest::newRow("single quotes and spaces")
        << QStringLiteral("<flashConfig  mode='0'   rate='7' />");
    QTest::newRow("declaration") << QStringLiteral(
        "<?xml version=\"1.0\"?><flashConfig rate=\"3\" zoom=\"2\"></flashConfig>");
}

void TestPacerSettings::untouchedTextComesBackUnchanged() {
    QFETCH(QString, text);
    TFlashSettings settings(text);
    QVERIFY(!settings.StartedFromDefaults());
    // Setting what the text already holds is no change.
    settings.SetRate(settings.Rate());
    settings.SetMode(settings.Mode());
    settings.SetFontColor(settings.FontColor());
    settings.SetBeepOnRefresh(settings.BeepOnRefresh());
    QCOMPARE(settings.Text(), text);
}

void TestPacerSettings::changeKeepsOrderAndUnknownAttributes() {
    TFlashSettings settings(QStringLiteral(
        "<flashConfig zoom=\"3\" mode=\"1\" rate=\"0\" extractWordCount=\"5\" lineCount=\"1\" "
        "fontSize=\"2\" fontColor=\"clBlack\" fontName=\"宋体\" bgColor=\"$00FFFFFF\" "
        "beepOnRefresh=\"1\" theme=\"dark\"/>"));
    settings.SetRate(12);
    settings.SetExtractWordCount(7);
    settings.SetBeepOnRefresh(false);
    settings.SetMode(TFlashSettings::ByCharacters);
    QCOMPARE(settings.Text(),
             QStringLiteral("<flashConfig zoom=\"3\" mode=\"0\" rate=\"12\" extractWordCount=\"7\" "
                            "lineCount=\"1\" fontSize=\"2\" fontColor=\"clBlack\" "
                            "fontName=\"宋体\" bgColor=\"$00FFFFFF\" beepOnRefresh=\"0\" "
                            "theme=\"dark\"/>"));
    // What was written reads back as the same settings.
    const TFlashSettings again(settings.Text());
    QCOMPARE(again.Rate(), 12);
    QCOMPARE(again.ExtractWordCount(), 7);
    QCOMPARE(again.Mode(), TFlashSettings::ByCharacters);
    QVERIFY(!again.BeepOnRefresh());
    QCOMPARE(again.Element().Value(QStringLiteral("zoom")), QStringLiteral("3"));
}

void TestPacerSettings::missingAttributeReadsDefaultAndIsAppended() {
    TFlashSettings settings(QStringLiteral("<flashConfig rate=\"4\" other=\"x\"/>"));
    QCOMPARE(settings.ExtractWordCount(), 5);
    QCOMPARE(settings.LineCount(), 1);
    QCOMPARE(settings.FontColor(), QColor(Qt::black));
    QCOMPARE(settings.BgColor(), QColor(Qt::white));
    QCOMPARE(settings.FontName(), QStringLiteral("宋体"));
    QVERIFY(settings.BeepOnRefresh());
    settings.SetLineCount(2);
    settings.SetBgColor(QColor(255, 0, 0));
    // A colour new to the element takes the form of its default (a name, here).
    QCOMPARE(settings.Text(), QStringLiteral("<flashConfig rate=\"4\" other=\"x\" lineCount=\"2\" "
                                             "bgColor=\"clRed\"/>"));
}

void TestPacerSettings::unusableTextStartsFromDefaults_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("blank") << QStringLiteral("   ");
    QTest::newRow("not xml") << QStringLiteral("rate=5");
    QTest::newRow("cut short") << QStringLiteral("<flashConfig mode=\"1\" rate=");
    QTest::newRow("unclosed") << QStringLiteral("<flashConfig mode=\"1\">");
    QTest::newRow("other element") << TBlockSettings::DefaultText;
    QTest::newRow("two elements") << QStringLiteral(
        "<flashConfig rate=\"2\"/><flashConfig rate=\"3\"/>");
    QTest::newRow("duplicate attribute") << QStringLiteral("<flashConfig rate=\"2\" rate=\"3\"/>");
    QTest::newRow("scrambled digits") << QStringLiteral("7F3A0B9C1D");
}

void TestPacerSettings::unusableTextStartsFromDefaults() {
    QFETCH(QString, text);
    TFlashSettings settings(text);
    QVERIFY(settings.StartedFromDefaults());
    QCOMPARE(settings.Rate(), 0);
    QCOMPARE(settings.Mode(), TFlashSettings::ByWords);
    QCOMPARE(settings.ExtractWordCount(), 5);
    QCOMPARE(settings.Text(), TFlashSettings::DefaultText);
    settings.SetRate(3);
    QCOMPARE(settings.Text(),
             QString(TFlashSettings::DefaultText)
                 .replace(QStringLiteral("rate=\"0\""), QStringLiteral("rate=\"3\"")));
}

void TestPacerSettings::unreadableValuesReadAsDefaults() {
    TFlashSettings settings(QStringLiteral("<flashConfig rate=\"fast\" extractWordCount=\"0\" "
                                           "lineCount=\"99\" fontColor=\"clNoSuch\" "
                                           "bgColor=\"$GG\" mode=\"7\" fontSize=\"-2\"/>"));
    QVERIFY(!settings.StartedFromDefaults());
    QCOMPARE(settings.Rate(), 0);
    QCOMPARE(settings.ExtractWordCount(), 1);
    QCOMPARE(settings.LineCount(), TFlashSettings::MaxLineCount);
    QCOMPARE(settings.FontColor(), QColor(Qt::black));
    QCOMPARE(settings.BgColor(), QColor(Qt::white));
    QCOMPARE(settings.Mode(), TFlashSettings::ByWords);
    QCOMPARE(settings.FontSize(), FontSizeBottomStep);
    // Reading them changed nothing; a colour written over an unreadable text takes the
    // default's form.
    QVERIFY(!settings.Element().IsChanged());
    settings.SetFontColor(QColor(0x12, 0x34, 0x56));
    QCOMPARE(settings.Element().Value(QStringLiteral("fontColor")), QStringLiteral("$00563412"));
}

void TestPacerSettings::valuesAreEscaped() {
    TFlashSettings settings(
        QStringLiteral("<flashConfig fontName=\"A &amp; &quot;B&quot; &lt;C&gt;\" rate=\"1\"/>"));
    QCOMPARE(settings.FontName(), QStringLiteral("A & \"B\" <C>"));
    settings.SetRate(2);
    const TFlashSettings again(settings.Text());
    QVERIFY(!again.StartedFromDefaults());
    QCOMPARE(again.FontName(), QStringLiteral("A & \"B\" <C>"));
    QCOMPARE(again.Rate(), 2);
}

void TestPacerSettings::blockDefaults() {
    TBlockSettings settings{QString()};
    QCOMPARE(settings.Layout(), 0);
    QCOMPARE(settings.Mode(), 1);
    QCOMPARE(settings.Rate(), 0);
    QVERIFY(settings.HighLight());
    QCOMPARE(settings.FontSize(), 2);
    QCOMPARE(settings.BgColor(), QColor(236, 233, 216));
    QCOMPARE(settings.BgFontColor(), QColor(0xBA, 0xBA, 0xBA));
    QCOMPARE(settings.LightFontColor(), QColor(Qt::black));
    QCOMPARE(settings.FontName(), QStringLiteral("宋体"));
    QVERIFY(settings.BeepOnRefresh());
    settings.SetBgColor(QColor(1, 2, 3));
    settings.SetLightFontColor(QColor(Qt::blue));
    settings.SetHighLight(false);
    QCOMPARE(settings.Text(),
             QStringLiteral("<blockConfig layout=\"0\" mode=\"1\" rate=\"0\" highLight=\"0\" "
                            "fontSize=\"2\" bgColor=\"$00030201\" bgFontColor=\"$00BABABA\" "
                            "lightFontColor=\"clBlue\" fontName=\"宋体\" beepOnRefresh=\"1\"/>"));
}

void TestPacerSettings::colourTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QColor>("color");
    QTest::newRow("hex bgr") << "$00D8E9EC" << true << QColor(236, 233, 216);
    QTest::newRow("hex lower case") << "$00d8e9ec" << true << QColor(236, 233, 216);
    QTest::newRow("hex short") << "$FF" << true << QColor(255, 0, 0);
    QTest::newRow("hex top byte ignored") << "$02FF0000" << true << QColor(0, 0, 255);
    QTest::newRow("name") << "clWhite" << true << QColor(255, 255, 255);
    QTest::newRow("name any case") << "CLRED" << true << QColor(255, 0, 0);
    QTest::newRow("system name") << "clBtnFace" << true << QColor(240, 240, 240);
    QTest::newRow("decimal") << "255" << true << QColor(255, 0, 0);
    QTest::newRow("unknown name") << "clPeach" << false << QColor();
    QTest::newRow("bare dollar") << "$" << false << QColor();
    QTest::newRow("too many digits") << "$000000000" << false << QColor();
    QTest::newRow("not hex") << "$00XYZ" << false << QColor();
    QTest::newRow("signed") << "$-1" << false << QColor();
    QTest::newRow("empty") << "" << false << QColor();
}

void TestPacerSettings::colourTexts() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QColor, color);
    const std::optional<QColor> parsed = ParseConfigColor(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid) {
        QCOMPARE(*parsed, color);
    }
}

void TestPacerSettings::colourWrittenInItsOwnForm_data() {
    QTest::addColumn<QString>("formOf");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QString>("written");
    QTest::newRow("hex stays hex") << "$00FFFFFF" << QColor(Qt::black) << "$00000000";
    QTest::newRow("hex digits b g r") << "$00000000" << QColor(0x11, 0x22, 0x33) << "$00332211";
    QTest::newRow("name stays name") << "clBlack" << QColor(Qt::white) << "clWhite";
    QTest::newRow("name without one") << "clBlack" << QColor(1, 2, 3) << "$00030201";
    QTest::newRow("same value keeps its own name")
        << "clDkGray" << QColor(128, 128, 128) << "clDkGray";
    QTest::newRow("decimal stays decimal") << "0" << QColor(0, 0, 255) << "16711680";
}

void TestPacerSettings::colourWrittenInItsOwnForm() {
    QFETCH(QString, formOf);
    QFETCH(QColor, color);
    QFETCH(QString, written);
    QCOMPARE(FormatConfigColor(color, formOf), written);
    QCOMPARE(ParseConfigColor(written), color);
}

void TestPacerSettings::missingFaceFallsBackToChinese() {
    const QString chinese = QStringLiteral("中文阅读");
    for (const QString &face :
         {QStringLiteral("宋体"), QStringLiteral("微软雅黑"), QStringLiteral("No Such Face")}) {
        const QString family = ChooseReadingFamily(face);
        const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
        QVERIFY2(systems.contains(QFontDatabase::SimplifiedChinese),
                 qPrintable(face + QStringLiteral(" -> ") + family));
        const QFont font = ChooseReadingFont(face, 30);
        QCOMPARE(font.pixelSize(), 30);
        QVERIFY(QFontMetrics(font).inFontUcs4(chinese.at(0).unicode()));
    }
}

void TestPacerSettings::fontSizeScale() {
    QCOMPARE(FontPixelSize(2), 24);
    QCOMPARE(FontPixelSize(-1), FontPixelSize(FontSizeBottomStep));
    QCOMPARE(FontPixelSize(100), FontPixelSize(FontSizeTopStep));
    for (int step = FontSizeBottomStep + 1; step <= FontSizeTopStep; ++step) {
        QVERIFY(FontPixelSize(step) > FontPixelSize(step - 1));
    }
}

QTEST_MAIN(TestPacerSettings)
#include "test_pacer_settings.moc"

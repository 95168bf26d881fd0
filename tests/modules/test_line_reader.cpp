// The line-reading window, driven by its keys offscreen, and the module through the reader
// contract as the program loads it.
#include "modules/LinePacer/LineReaderWindow.h"
#include "modules/PacerKit/PaceScale.h"
#include "reading/ReaderService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLibrary>
#include <QtTest>

#include <memory>

namespace {

TArticleDTO Article(const char *title, const char *author, const QStringList &lines) {
    TArticleDTO article;
    article.Title = QString::fromUtf8(title);
    article.Author = QString::fromUtf8(author);
    article.Lines = lines;
    return article;
}

const TArticleDTOList ThreeArticles{
    Article("背影", "朱自清",
            {"　　我与父亲不相见已二年余了，我最不能忘记的是他的背影。",
             "　　那年冬天，祖母死了，父亲的差使也交卸了，正是祸不单行的日子。",
             "　　我从北京到徐州，打算跟着父亲奔丧回家。"}),
    Article("将进酒", "李白",
            {"君不见黄河之水天上来，奔流到海不复回。", "君不见高堂明镜悲白发，朝如青丝暮成雪。",
             "人生得意须尽欢，莫使金樽空对月。", "天生我材必有用，千金散尽还复来。"}),
    Article("静夜思", "", {"床前明月光，疑是地上霜。", "举头望明月，低头思故乡。"}),
};

// A window on the articles, shown offscreen at a fixed size.
struct TReader {
    explicit TReader(const QString &config, const TArticleDTOList &articles = ThreeArticles)
        : Settings(config), Window(std::make_unique<TLineReaderWindow>(articles, Settings)) {
        Window->resize(900, 600);
        Window->show();
        QVERIFY(QTest::qWaitForWindowExposed(Window.get()));
    }
    void Key(int key) { QTest::keyClick(Window.get(), Qt::Key(key)); }

    TBlockSettings Settings;
    std::unique_ptr<TLineReaderWindow> Window;
};

// An article of many lines, to turn pages.
TArticleDTOList LongArticle() {
    QStringList lines;
    for (int i = 0; i < 40; ++i) {
        lines << QStringLiteral("第%1段：人生得意须尽欢，莫使金樽空对月。天生我材必有用。")
                     .arg(i + 1);
    }
    return {Article("长文", "某", lines)};
}

} // namespace

class TestLineReader : public QObject {
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void firstStepShowsAtOnceAndPauseStopsTheClock();
    void pacedReadingGoesThroughTheListAtItsPace();
    void pagesTurnWithTheStepBeingRead();
    void settingsComeBackAsTheyCame_data();
    void settingsComeBackAsTheyCame();
    void infoOnScreen();
    void moduleThroughTheContract();
};

void TestLineReader::keys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("article");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<QString>("changed"); // the attribute the key changes, and its new value

    // Start: article 2, step 2, rate 5, paced and running.
    QTest::newRow("↑ faster") << int(Qt::Key_Up) << 6 << 1 << 2 << false << "rate=6";
    QTest::newRow("+ faster") << int(Qt::Key_Plus) << 6 << 1 << 2 << false << "rate=6";
    QTest::newRow("↓ slower") << int(Qt::Key_Down) << 4 << 1 << 2 << false << "rate=4";
    QTest::newRow("− slower") << int(Qt::Key_Minus) << 4 << 1 << 2 << false << "rate=4";
    QTest::newRow("← a step back") << int(Qt::Key_Left) << 5 << 1 << 1 << false << "";
    QTest::newRow("→ a step on") << int(Qt::Key_Right) << 5 << 1 << 3 << false << "";
    QTest::newRow("Home the start") << int(Qt::Key_Home) << 5 << 1 << 0 << false << "";
    QTest::newRow("PgUp the article before") << int(Qt::Key_PageUp) << 5 << 0 << 0 << false << "";
    QTest::newRow("PgDn the article after") << int(Qt::Key_PageDown) << 5 << 2 << 0 << false << "";
    QTest::newRow("Space pauses") << int(Qt::Key_Space) << 5 << 1 << 2 << true << "";
    // A new type size lays the lines out again: the step is found afresh (-1: not compared).
    QTest::newRow("] larger type")
        << int(Qt::Key_BracketRight) << 5 << 1 << -1 << false << "fontSize=3";
    QTest::newRow("[ smaller type")
        << int(Qt::Key_BracketLeft) << 5 << 1 << -1 << false << "fontSize=1";
    QTest::newRow("L half lines") << int(Qt::Key_L) << 5 << 1 << -1 << false << "layout=1";
    QTest::newRow("H highlight off") << int(Qt::Key_H) << 5 << 1 << 2 << false << "highLight=0";
    QTest::newRow("M by key") << int(Qt::Key_M) << 5 << 1 << 2 << true << "mode=0";
}

void TestLineReader::keys() {
    QFETCH(int, key);
    QFETCH(int, rate);
    QFETCH(int, article);
    QFETCH(int, step);
    QFETCH(bool, paused);
    QFETCH(QString, changed);
    const QString start = QStringLiteral(
        R"(<blockConfig layout="0" mode="1" rate="5" highLight="1" fontSize="2" bgColor="$00D8E9EC" bgFontColor="$00BABABA" lightFontColor="clBlack" fontName="宋体" beepOnRefresh="0"/>)");
    TReader reader(start);
    reader.Window->GoToArticle(1);
    reader.Window->StepBy(2);
    QCOMPARE(reader.Window->StepIndex(), 2);

    reader.Key(key);

    QCOMPARE(reader.Settings.Rate(), rate);
    QCOMPARE(reader.Window->Cpm(), PaceCpm(rate));
    QCOMPARE(reader.Window->ArticleIndex(), article);
    if (step >= 0) {
        QCOMPARE(reader.Window->StepIndex(), step);
    }
    QCOMPARE(reader.Window->IsPaused(), paused);
    // The change is in the element at once, everything else as it came.
    QString expected = start;
    if (!changed.isEmpty()) {
        const QString name = changed.section(u'=', 0, 0);
        const QRegularExpression attribute(QStringLiteral(" %1=\"[^\"]*\"").arg(name));
        expected.replace(attribute,
                         QStringLiteral(" %1=\"%2\"").arg(name, changed.section(u'=', 1)));
    }
    QCOMPARE(reader.Settings.Text(), expected);
    QVERIFY(reader.Window->isVisible());
    reader.Key(Qt::Key_Escape);
    QVERIFY(!reader.Window->isVisible());
}

void TestLineReader::firstStepShowsAtOnceAndPauseStopsTheClock() {
    TReader reader{QString()};
    // No count-down: the first step is on screen from the start.
    QCOMPARE(reader.Window->StepIndex(), 0);
    QVERIFY(!reader.Window->IsPaused());
    QVERIFY(reader.Window->PositionMs() < 1000);
    reader.Key(Qt::Key_Space);
    const qint64 held = reader.Window->PositionMs();
    QTest::qWait(300);
    QCOMPARE(reader.Window->PositionMs(), held);
    reader.Key(Qt::Key_Space);
    QTest::qWait(100);
    QVERIFY(reader.Window->PositionMs() > held);
}

void TestLineReader::pacedReadingGoesThroughTheListAtItsPace() {
    // The top pace over two short poems: about half a second each.
    const TArticleDTOList poems{ThreeArticles.at(2), ThreeArticles.at(2)};
    QElapsedTimer clock;
    clock.start();
    TReader reader(QStringLiteral(R"(<blockConfig rate="48" beepOnRefresh="0"/>)"), poems);
    const qint64 articleMs = reader.Window->Schedule().Pace.TotalMs();
    QCOMPARE(articleMs, std::llround(24 * 60000.0 / PaceCpm(48))); // 24 characters each
    QTRY_VERIFY_WITH_TIMEOUT(reader.Window->IsFinished(), 10000);
    const qint64 took = clock.elapsed();
    QCOMPARE(reader.Window->ArticleIndex(), 1);
    // Never faster than the pace, and not much slower.
    QVERIFY2(took >= 2 * articleMs, qPrintable(QString::number(took)));
    QVERIFY2(took < 2 * articleMs + 2000, qPrintable(QString::number(took)));
    QVERIFY(reader.Window->IsPaused());
    QVERIFY(reader.Window->InfoText().contains(QStringLiteral("全部读完")));
}

void TestLineReader::pagesTurnWithTheStepBeingRead() {
    TReader reader(QStringLiteral(R"(<blockConfig mode="0" layout="2" beepOnRefresh="0"/>)"),
                   LongArticle());
    reader.Window->resize(700, 400);
    QTest::qWait(50);
    QCOMPARE(reader.Window->FirstLineOnPage(), 0);
    const int steps = reader.Window->Schedule().Pace.Steps.size();
    QVERIFY(steps > 20);
    for (int i = 1; i < steps; ++i) {
        reader.Key(Qt::Key_Right);
        QCOMPARE(reader.Window->StepIndex(), i);
        // By key: the clock stands still between keys.
        QVERIFY(reader.Window->IsPaused());
        const TLinePlace &place = reader.Window->Schedule().Places.at(i);
        QVERIFY(place.Line >= reader.Window->FirstLineOnPage());
        QVERIFY(place.LineCount == 1 || place.LineCount == 2);
    }
    QVERIFY(reader.Window->PageTurns() > 0);
    QVERIFY(reader.Window->FirstLineOnPage() > 0);
    reader.Key(Qt::Key_Home);
    QCOMPARE(reader.Window->FirstLineOnPage(), 0);
}

void TestLineReader::settingsComeBackAsTheyCame_data() {
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("afterUp");
    const QString defaults = TBlockSettings::DefaultText;
    QTest::newRow("untouched defaults")
        << defaults << QString(defaults).replace("rate=\"0\"", "rate=\"1\"");
    QTest::newRow("empty: the defaults")
        << "" << QString(defaults).replace("rate=\"0\"", "rate=\"1\"");
    QTest::newRow("broken: the defaults")
        << "<blockConfig rate=\"3\"" << QString(defaults).replace("rate=\"0\"", "rate=\"1\"");
    QTest::newRow("unknown attributes and both colour forms kept, in order")
        << R"(<blockConfig extra="甲" rate="7" bgColor="$00FFFFFF" lightFontColor="clRed" zz="1"/>)"
        << R"(<blockConfig extra="甲" rate="8" bgColor="$00FFFFFF" lightFontColor="clRed" zz="1"/>)";
}

void TestLineReader::settingsComeBackAsTheyCame() {
    QFETCH(QString, config);
    QFETCH(QString, afterUp);
    TReader reader(config);
    QVERIFY(reader.Window->isVisible()); // a bad text never stops the reading
    if (config.startsWith(QLatin1String("<blockConfig extra"))) {
        QCOMPARE(reader.Settings.Text(), config); // nothing changed: the very text
    }
    reader.Key(Qt::Key_Up);
    QCOMPARE(reader.Settings.Text(), afterUp);
}

void TestLineReader::infoOnScreen() {
    TReader reader(QStringLiteral(R"(<blockConfig rate="6"/>)"));
    reader.Key(Qt::Key_PageDown);
    const QString info = reader.Window->InfoText();
    for (const QString &part :
         {QStringLiteral("《将进酒》"), QStringLiteral("李白"), QStringLiteral("第2篇/共3篇"),
          QStringLiteral("%1 字/分钟").arg(PaceCpm(6)), QStringLiteral("用时 00:0"),
          QStringLiteral("本篇 0/")}) {
        QVERIFY2(info.contains(part), qPrintable(info + QStringLiteral(" lacks ") + part));
    }
}

void TestLineReader::moduleThroughTheContract() {
    QLibrary module(qEnvironmentVariable("MX_DIST_DIR") + QStringLiteral("/LinePacer"));
    QVERIFY2(module.load(), qPrintable(module.errorString()));
    const auto getInstance =
        reinterpret_cast<TGetReaderInstance>(module.resolve(ReaderEntryPointName));
    QVERIFY(getInstance != nullptr);
    IReaderService *service = getInstance(qApp, QGuiApplication::primaryScreen());
    void *other = nullptr;
    QVERIFY(!service->QueryInterface("IStepPacerService", &other));
    QVERIFY(service->QueryInterface("ILinePacerService", &other));
    QCOMPARE(other, static_cast<void *>(service));
    QCOMPARE(service->Release(), 1);

    // The reading is modal: keys go to it while RunReading runs.
    QWidget *seen = nullptr;
    QTimer::singleShot(300, [&seen] {
        seen = QApplication::activeModalWidget();
        if (seen != nullptr) {
            QTest::keyClick(seen, Qt::Key_Up);
            QTest::keyClick(seen, Qt::Key_Escape);
        }
    });
    service->RunReading(ThreeArticles, TBlockSettings::DefaultText, 1, 1);
    QVERIFY(seen != nullptr);
    QCOMPARE(service->GetConfig(),
             QString(TBlockSettings::DefaultText).replace("rate=\"0\"", "rate=\"1\""));
    // Nothing of the reading is left once RunReading has returned.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        QVERIFY(window->objectName() != QLatin1String("LineReaderWindow"));
    }
    QCOMPARE(service->Release(), 0);
    QVERIFY(module.unload());
}

QTEST_MAIN(TestLineReader)
#include "test_line_reader.moc"

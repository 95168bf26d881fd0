#include "modules/PacerKit/FollowSchedule.h"
#include "modules/PacerKit/PaceClock.h"
#include "modules/PacerKit/ReadingChars.h"
#include "modules/PacerKit/WordCutter.h"

#include <QtTest>

namespace {

// Real prose and verse; each line is a paragraph.
const QStringList Prose{
    QStringLiteral("　　我在图书馆看书。中华人民共和国成立于1949年10月1日！"),
    QStringLiteral("他说：“你好，世界。”然后用Qt6写了3.14159和2,000个hello world程序；"),
    QStringLiteral("读书使人充实，讨论使人机智，笔记使人准确。你读过《红楼梦》吗？"),
};
const QStringList Poem{QStringLiteral("静夜思"), QStringLiteral("床前明月光，疑是地上霜。"),
                       QStringLiteral("举头望明月，低头思故乡。")};

QString Joined(const TPaceSchedule &schedule) {
    QString text;
    for (const TPaceStep &step : schedule.Steps) {
        text += step.Text;
    }
    return text.remove(u'\n');
}

QString WithoutSpaces(const QString &text) {
    QString out;
    for (const QChar c : text) {
        if (!c.isSpace()) {
            out += c;
        }
    }
    return out;
}

// The start offsets (in the text without spaces) at which the steps begin.
QList<qsizetype> StepStarts(const TPaceSchedule &schedule) {
    QList<qsizetype> starts;
    qsizetype at = 0;
    for (const TPaceStep &step : schedule.Steps) {
        starts.append(at);
        at += WithoutSpaces(step.Text).size();
    }
    return starts;
}

} // namespace

// Follow reading without a window: characters counted, words cut, steps made and timed.
class TestFollowSchedule : public QObject {
    Q_OBJECT

private slots:
    void countsAsTheLibrary_data();
    void countsAsTheLibrary();

    void cutterKeepsTextAndWords();
    void noStepSplitsAWord_data();
    void noStepSplitsAWord();
    void stepsEndAtSentenceEnds();
    void asciiWordsAndNumbersStayWhole_data();
    void asciiWordsAndNumbersStayWhole();
    void punctuationNeverStartsAStep();
    void byCharacters();
    void linesPerStep();
    void verseLinesStayTogether();
    void blankAndSignOnlyParagraphsGiveNoStep();

    void wholeArticleTakesItsTime_data();
    void wholeArticleTakesItsTime();
    void restsComeFromTheOtherSteps();
    void retimeKeepsProportions();
    void stepAtFindsTheStepOnScreen();
    void sentenceStartsAreLinked();

    void clockPausesAndMoves();
};

void TestFollowSchedule::countsAsTheLibrary_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("chinese") << "中文阅读" << 4;
    QTest::newRow("chinese punctuation counts") << "你好，世界。" << 6;
    QTest::newRow("ascii words") << "hello  world" << 2;
    QTest::newRow("ascii signs do not count") << "a-b, c.d!" << 4;
    QTest::newRow("digits") << "3.14 2026" << 3;
    QTest::newRow("mixed") << "用Qt6写" << 3;
    QTest::newRow("surrogate pair is one") << QStringLiteral("𠀀字") << 2;
    QTest::newRow("full-width space counts") << QStringLiteral("　a") << 2;
}

void TestFollowSchedule::countsAsTheLibrary() {
    QFETCH(QString, text);
    QFETCH(int, count);
    QCOMPARE(CountReadingChars(text), count);
}

void TestFollowSchedule::cutterKeepsTextAndWords() {
    const TWordCutter cutter;
    const QString text = Prose.join(u'\n');
    QString again;
    QStringList words;
    for (const TTextToken &token : cutter.Cut(text)) {
        again += token.Text;
        if (token.Kind == TTextToken::Word || token.Kind == TTextToken::Number) {
            words.append(token.Text);
        }
    }
    QCOMPARE(again, text);
    // Dictionary words, not single characters.
    QVERIFY(words.contains(QStringLiteral("共和国")));
    QVERIFY(words.contains(QStringLiteral("你好")));
    QVERIFY(words.contains(QStringLiteral("充实")));
    QVERIFY(words.contains(QStringLiteral("3.14159")));
    QVERIFY(words.contains(QStringLiteral("hello")));
    QVERIFY(cutter.Cut(QString()).isEmpty());
}

void TestFollowSchedule::noStepSplitsAWord_data() {
    QTest::addColumn<int>("words");
    QTest::addColumn<int>("lines");
    for (int words : {1, 2, 3, 5, 8}) {
        for (int lines : {1, 2}) {
            QTest::addRow("%d words, %d lines", words, lines) << words << lines;
        }
    }
}

void TestFollowSchedule::noStepSplitsAWord() {
    QFETCH(int, words);
    QFETCH(int, lines);
    const TWordCutter cutter;
    const TPaceSchedule schedule =
        BuildFollowSchedule(Prose, TFollowOptions{words, lines, false}, cutter, 300);
    const QString all = WithoutSpaces(Prose.join(QString()));
    QCOMPARE(WithoutSpaces(Joined(schedule)), all);
    // No step boundary falls inside a word of more than one character.
    const QList<qsizetype> starts = StepStarts(schedule);
    qsizetype at = 0;
    for (const TTextToken &token : cutter.Cut(Prose.join(QString()))) {
        const qsizetype length = WithoutSpaces(token.Text).size();
        for (qsizetype inside = at + 1; inside < at + length; ++inside) {
            QVERIFY2(!starts.contains(inside), qPrintable(token.Text));
        }
        at += length;
    }
    for (const TPaceStep &step : schedule.Steps) {
        QVERIFY(step.Text.count(u'\n') < lines);
    }
}

void TestFollowSchedule::stepsEndAtSentenceEnds() {
    const TWordCutter cutter;
    // With room for many words a step is a sentence (or a paragraph's end).
    const TPaceSchedule schedule =
        BuildFollowSchedule(Prose, TFollowOptions{40, 1, false}, cutter, 300);
    QStringList texts;
    for (const TPaceStep &step : schedule.Steps) {
        texts.append(step.Text);
        QVERIFY(step.Rests);
    }
    QCOMPARE(texts, (QStringList{
                        QStringLiteral("我在图书馆看书。"),
                        QStringLiteral("中华人民共和国成立于1949年10月1日！"),
                        QStringLiteral("他说：“你好，世界。”"),
                        QStringLiteral("然后用Qt6写了3.14159和2,000个hello world程序；"),
                        QStringLiteral("读书使人充实，讨论使人机智，笔记使人准确。"),
                        QStringLiteral("你读过《红楼梦》吗？"),
                    }));
    // With few words a step still never runs past a sentence end.
    const TPaceSchedule small =
        BuildFollowSchedule(Prose, TFollowOptions{4, 1, false}, cutter, 300);
    for (const TPaceStep &step : small.Steps) {
        const QString body = step.Text.chopped(1);
        for (const QChar end : QStringLiteral("。！？；")) {
            QVERIFY2(!body.contains(end) || body.endsWith(end), qPrintable(step.Text));
        }
    }
}

void TestFollowSchedule::asciiWordsAndNumbersStayWhole_data() {
    QTest::addColumn<bool>("byCharacters");
    QTest::addColumn<int>("words");
    QTest::newRow("words 1") << false << 1;
    QTest::newRow("words 3") << false << 3;
    QTest::newRow("characters 1") << true << 1;
    QTest::newRow("characters 2") << true << 2;
}

void TestFollowSchedule::asciiWordsAndNumbersStayWhole() {
    QFETCH(bool, byCharacters);
    QFETCH(int, words);
    const TWordCutter cutter;
    const QStringList text{QStringLiteral("版本Qt6发布于2026年，售价3.14159元或2,000元，"
                                          "名叫SpeedReader的程序")};
    const TPaceSchedule schedule =
        BuildFollowSchedule(text, TFollowOptions{words, 1, byCharacters}, cutter, 300);
    for (const QString &whole :
         {QStringLiteral("Qt6"), QStringLiteral("2026"), QStringLiteral("3.14159"),
          QStringLiteral("2,000"), QStringLiteral("SpeedReader")}) {
        bool found = false;
        for (const TPaceStep &step : schedule.Steps) {
            found = found || step.Text.contains(whole);
        }
        QVERIFY2(found, qPrintable(whole));
    }
}

void TestFollowSchedule::punctuationNeverStartsAStep() {
    const TWordCutter cutter;
    for (int words : {1, 2, 3}) {
        const TPaceSchedule schedule =
            BuildFollowSchedule(Prose + Poem, TFollowOptions{words, 1, false}, cutter, 300);
        for (const TPaceStep &step : schedule.Steps) {
            const QChar first = step.Text.at(0);
            const QChar last = step.Text.back();
            QVERIFY2(!QStringLiteral("，。！？；：、”》）").contains(first), qPrintable(step.Text));
            QVERIFY2(!QStringLiteral("“《（").contains(last), qPrintable(step.Text));
        }
    }
}

void TestFollowSchedule::byCharacters() {
    const TWordCutter cutter;
    const TPaceSchedule schedule = BuildFollowSchedule(
        {QStringLiteral("读书使人充实，讨论使人机智。")}, TFollowOptions{2, 1, true}, cutter, 300);
    QStringList texts;
    for (const TPaceStep &step : schedule.Steps) {
        texts.append(step.Text);
    }
    // Two characters a step, the clause mark after a full step, the sentence end kept.
    QCOMPARE(texts, (QStringList{"读书", "使人", "充实，", "讨论", "使人", "机智。"}));
}

void TestFollowSchedule::linesPerStep() {
    const TWordCutter cutter;
    const TPaceSchedule schedule = BuildFollowSchedule(
        {QStringLiteral("中华人民共和国成立于一九四九年十月一日北京天安门广场")},
        TFollowOptions{8, 2, false}, cutter, 300);
    QVERIFY(!schedule.Steps.isEmpty());
    const QStringList lines = schedule.Steps.first().Text.split(u'\n');
    QCOMPARE(lines.size(), 2);
    // About equal halves.
    QVERIFY(qAbs(CountReadingChars(lines[0]) - CountReadingChars(lines[1])) <= 4);
}

void TestFollowSchedule::verseLinesStayTogether() {
    const TWordCutter cutter;
    const TPaceSchedule schedule =
        BuildFollowSchedule(Poem, TFollowOptions{5, 1, false}, cutter, 300);
    QStringList texts;
    for (const TPaceStep &step : schedule.Steps) {
        texts.append(step.Text);
    }
    QCOMPARE(texts, (QStringList{"静夜思", "床前明月光，", "疑是地上霜。", "举头望明月，",
                                 "低头思故乡。"}));
    QVERIFY(schedule.Steps[0].Rests);  // a title line is a paragraph
    QVERIFY(!schedule.Steps[1].Rests); // a clause mark ends the step but is no sentence end
    QVERIFY(schedule.Steps[2].Rests);
}

void TestFollowSchedule::blankAndSignOnlyParagraphsGiveNoStep() {
    const TWordCutter cutter;
    const TPaceSchedule schedule = BuildFollowSchedule(
        {QString(), QStringLiteral("   "), QStringLiteral("* * *"), QStringLiteral("好。")},
        TFollowOptions{}, cutter, 300);
    QCOMPARE(schedule.Steps.size(), 1);
    QCOMPARE(schedule.Steps[0].Text, QStringLiteral("好。"));
    const TPaceSchedule none = BuildFollowSchedule({}, TFollowOptions{}, cutter, 300);
    QVERIFY(none.IsEmpty());
    QCOMPARE(none.TotalMs(), 0);
    QCOMPARE(none.StepAt(100), -1);
}

void TestFollowSchedule::wholeArticleTakesItsTime_data() {
    QTest::addColumn<int>("cpm");
    QTest::addColumn<int>("words");
    QTest::addColumn<bool>("byCharacters");
    QTest::newRow("600, 5 words") << 600 << 5 << false;
    QTest::newRow("300, 1 word") << 300 << 1 << false;
    QTest::newRow("3053, 3 characters") << 3053 << 3 << true;
}

void TestFollowSchedule::wholeArticleTakesItsTime() {
    QFETCH(int, cpm);
    QFETCH(int, words);
    QFETCH(bool, byCharacters);
    // An article of exactly 10,000 counted characters.
    QStringList article;
    int chars = 0;
    while (chars < 10000) {
        QString paragraph = (Prose + Poem).at(article.size() % (Prose.size() + Poem.size()));
        paragraph.remove(QStringLiteral("　"));
        article.append(paragraph);
        chars += CountReadingChars(paragraph);
    }
    while (chars > 10000) {
        // Dropping the last character lowers the count by one at most.
        chars -= CountReadingChars(article.last());
        article.last().chop(1);
        chars += CountReadingChars(article.last());
    }
    QCOMPARE(chars, 10000);
    const TWordCutter cutter;
    const TPaceSchedule schedule =
        BuildFollowSchedule(article, TFollowOptions{words, 1, byCharacters}, cutter, cpm);
    QCOMPARE(schedule.TotalChars(), 10000);
    const qint64 expected = std::llround(10000 * 60000.0 / cpm);
    QCOMPARE(schedule.TotalMs(), expected);
    qint64 sum = 0;
    for (qsizetype i = 0; i < schedule.Steps.size(); ++i) {
        const TPaceStep &step = schedule.Steps[i];
        QCOMPARE(step.StartMs, sum);
        QVERIFY(step.DurationMs >= 0);
        sum += step.DurationMs;
    }
    QCOMPARE(sum, expected);
}

void TestFollowSchedule::restsComeFromTheOtherSteps() {
    TPaceSchedule schedule;
    for (int i = 0; i < 4; ++i) {
        TPaceStep step;
        step.Chars = 4;
        step.Rests = (i == 1 || i == 3);
        schedule.Steps.append(step);
    }
    schedule.Retime(240); // 16 characters at 240 a minute: 4 s in all
    QCOMPARE(schedule.TotalMs(), 4000);
    // Weights 4, 6, 4, 6 of 20.
    QCOMPARE(schedule.Steps[0].DurationMs, 800);
    QCOMPARE(schedule.Steps[1].DurationMs, 1200);
    QCOMPARE(schedule.Steps[2].DurationMs, 800);
    QCOMPARE(schedule.Steps[3].DurationMs, 1200);
}

void TestFollowSchedule::retimeKeepsProportions() {
    const TWordCutter cutter;
    TPaceSchedule schedule = BuildFollowSchedule(Prose, TFollowOptions{}, cutter, 300);
    const QList<TPaceStep> slow = schedule.Steps;
    schedule.Retime(600);
    QCOMPARE(schedule.Cpm(), 600);
    for (qsizetype i = 0; i < slow.size(); ++i) {
        QVERIFY(qAbs(schedule.Steps[i].StartMs * 2 - slow[i].StartMs) <= 2);
        QCOMPARE(schedule.Steps[i].Text, slow[i].Text);
    }
}

void TestFollowSchedule::stepAtFindsTheStepOnScreen() {
    const TWordCutter cutter;
    const TPaceSchedule schedule = BuildFollowSchedule(Poem, TFollowOptions{}, cutter, 300);
    QCOMPARE(schedule.StepAt(-10), 0);
    QCOMPARE(schedule.StepAt(0), 0);
    for (qsizetype i = 1; i < schedule.Steps.size(); ++i) {
        const qint64 start = schedule.Steps[i].StartMs;
        QCOMPARE(schedule.StepAt(start - 1), i - 1);
        QCOMPARE(schedule.StepAt(start), i);
    }
    QCOMPARE(schedule.StepAt(schedule.TotalMs() + 5000), schedule.Steps.size() - 1);
}

void TestFollowSchedule::sentenceStartsAreLinked() {
    const TWordCutter cutter;
    const TPaceSchedule schedule =
        BuildFollowSchedule({QStringLiteral("读书使人充实，讨论使人机智，笔记使人准确。好。")},
                            TFollowOptions{2, 1, false}, cutter, 300);
    int chars = 0;
    for (qsizetype i = 0; i < schedule.Steps.size(); ++i) {
        const TPaceStep &step = schedule.Steps[i];
        QCOMPARE(step.CharsBefore, chars);
        chars += step.Chars;
        QCOMPARE(step.SentenceStart, step.Text == QStringLiteral("好。") ? int(i) : 0);
    }
}

void TestFollowSchedule::clockPausesAndMoves() {
    qint64 now = 1000;
    TPaceClock clock([&now] { return now; });
    QVERIFY(clock.IsPaused());
    now += 500;
    QCOMPARE(clock.PositionMs(), 0);
    clock.Resume();
    now += 300;
    QCOMPARE(clock.PositionMs(), 300);
    clock.Pause();
    now += 10000;
    QCOMPARE(clock.PositionMs(), 300);
    clock.SetPositionMs(2000);
    clock.Resume();
    now += 250;
    QCOMPARE(clock.PositionMs(), 2250);
    clock.SetPositionMs(100); // moving while running keeps running
    now += 50;
    QCOMPARE(clock.PositionMs(), 150);
    clock.Resume(); // a second resume changes nothing
    QCOMPARE(clock.PositionMs(), 150);
}

QTEST_MAIN(TestFollowSchedule)
#include "test_follow_schedule.moc"

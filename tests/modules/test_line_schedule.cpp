// Line reading without a window: laying an article out in lines and timing its steps.
#include "modules/PacerKit/LineLayout.h"
#include "modules/PacerKit/LineSchedule.h"
#include "modules/PacerKit/ReadingChars.h"

#include <QtTest>

namespace {

QStringList Texts(const QList<TLaidLine> &lines) {
    QStringList texts;
    for (const TLaidLine &line : lines) {
        texts << line.Text;
    }
    return texts;
}

// Lays out in cells, width given in Chinese characters.
QList<TLaidLine> LayOut(const QStringList &paragraphs, int chars) {
    return LayOutLines(paragraphs, chars * 2, &TextCells);
}

const QString Prose = QStringLiteral("　　我与父亲不相见已二年余了，我最不能忘记的是他的背影。那年"
                                     "冬天，祖母死了，父亲的差使也交卸了，"
                                     "正是祸不单行的日子，我从北京到徐州，打算跟着父亲奔丧回家。");

} // namespace

class TestLineSchedule : public QObject {
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void layoutKeepsEveryCharacter_data();
    void layoutKeepsEveryCharacter();
    void stepsAndTimes_data();
    void stepsAndTimes();
    void wholeArticleTakesItsCharactersTime_data();
    void wholeArticleTakesItsCharactersTime();
    void halfLinesSplitBetweenWords_data();
    void halfLinesSplitBetweenWords();
    void layoutValues();
};

void TestLineSchedule::layout_data() {
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<int>("width"); // Chinese characters a line
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("wraps at the width")
        << QStringList{"床前明月光疑是地上霜"} << 4 << QStringList{"床前明月", "光疑是地", "上霜"};
    QTest::newRow("a comma never starts a line: its character comes along")
        << QStringList{"床前明月，光"} << 4 << QStringList{"床前明", "月，光"};
    QTest::newRow("a full stop and a closing quote stay together with the word")
        << QStringList{"他说：“走吧。”好"} << 5 << QStringList{"他说：“走", "吧。”好"};
    QTest::newRow("an opening quote never ends a line")
        << QStringList{"一二三“四五”"} << 4 << QStringList{"一二三", "“四五”"};
    QTest::newRow("an ASCII word stays whole")
        << QStringList{"使用 Linux 系统"} << 3 << QStringList{"使用", "Linux", "系统"};
    QTest::newRow("a word wider than a line stands alone")
        << QStringList{"见 https://example.invalid/x 页"} << 4
        << QStringList{"见", "https://example.invalid/x", "页"};
    QTest::newRow("an empty paragraph is an empty line")
        << QStringList{"一二", "", "三四"} << 4 << QStringList{"一二", "", "三四"};
    QTest::newRow("the indent stays, spaces left over at a break go")
        << QStringList{"　　春眠不觉晓", "ab cd  ef"} << 3
        << QStringList{"　　春", "眠不觉", "晓", "ab cd", "ef"};
    QTest::newRow("a character beyond the basic plane is one piece")
        << QStringList{QString::fromUcs4(U"𠀀𠀁𠀂")} << 2
        << QStringList{QString::fromUcs4(U"𠀀𠀁"), QString::fromUcs4(U"𠀂")};
}

void TestLineSchedule::layout() {
    QFETCH(QStringList, paragraphs);
    QFETCH(int, width);
    QFETCH(QStringList, lines);
    const QList<TLaidLine> laid = LayOut(paragraphs, width);
    QCOMPARE(Texts(laid), lines);
    // Each paragraph ends with exactly one line marked as its end.
    int ends = 0;
    for (const TLaidLine &line : laid) {
        ends += line.EndsParagraph ? 1 : 0;
    }
    QCOMPARE(ends, paragraphs.size());
}

void TestLineSchedule::layoutKeepsEveryCharacter_data() {
    QTest::addColumn<int>("width");
    QTest::newRow("narrow") << 7;
    QTest::newRow("book page") << 20;
    QTest::newRow("wide") << 36;
}

void TestLineSchedule::layoutKeepsEveryCharacter() {
    QFETCH(int, width);
    const QList<TLaidLine> laid =
        LayOut({Prose, QStringLiteral("天生我材必有用，千金散尽还复来。")}, width);
    QString first;
    QString second;
    for (const TLaidLine &line : laid) {
        (line.Paragraph == 0 ? first : second) += line.Text;
        // A line is full width at most, a closing mark's character pulled down aside.
        QVERIFY2(TextCells(line.Text) <= width * 2, qPrintable(line.Text));
        QVERIFY2(!line.Text.startsWith(u'，') && !line.Text.startsWith(u'。'),
                 qPrintable(line.Text));
    }
    QCOMPARE(first, Prose);
    QCOMPARE(second, QStringLiteral("天生我材必有用，千金散尽还复来。"));
}

void TestLineSchedule::stepsAndTimes_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("cpm");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<qint64>>("starts");

    // 600 字/分钟: 100 ms a character; a paragraph's last step weighs two characters more,
    // that time taken from the others.
    QTest::newRow("a line a step; blank lines and signs-only lines are skipped")
        << QStringList{"一二三四", "", "--", "五六"} << int(TLineStepUnit::Line) << 600
        << QStringList{"一二三四", "五六"} << QList<qint64>{0, 360};
    QTest::newRow("two lines a step, never across a paragraph")
        << QStringList{"一二三四五六七八九十", "甲乙"} << int(TLineStepUnit::TwoLines) << 600
        << QStringList{"一二三四\n五六七八", "九十", "甲乙"} << QList<qint64>{0, 600, 900};
    QTest::newRow("an ASCII word counts one") << QStringList{"读 Qt 书"} << int(TLineStepUnit::Line)
                                              << 600 << QStringList{"读 Qt 书"} << QList<qint64>{0};
}

void TestLineSchedule::stepsAndTimes() {
    QFETCH(QStringList, lines);
    QFETCH(int, unit);
    QFETCH(int, cpm);
    QFETCH(QStringList, steps);
    QFETCH(QList<qint64>, starts);
    const QList<TLaidLine> laid = LayOut(lines, 4);
    const TLineSchedule schedule = BuildLineSchedule(laid, TLineStepUnit(unit), cpm);
    QStringList texts;
    QList<qint64> times;
    for (const TPaceStep &step : schedule.Pace.Steps) {
        texts << step.Text;
        times << step.StartMs;
    }
    QCOMPARE(texts, steps);
    QCOMPARE(times, starts);
    QCOMPARE(schedule.Places.size(), schedule.Pace.Steps.size());
    int chars = 0;
    for (const QString &line : lines) {
        chars += CountReadingChars(line);
    }
    QCOMPARE(schedule.Pace.TotalMs(), qint64(chars) * 60000 / cpm);
}

void TestLineSchedule::wholeArticleTakesItsCharactersTime_data() {
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("cpm");
    QTest::addColumn<int>("width");
    QTest::newRow("line, 600") << int(TLineStepUnit::Line) << 600 << 30;
    QTest::newRow("half line, 300") << int(TLineStepUnit::HalfLine) << 300 << 24;
    QTest::newRow("two lines, 3053") << int(TLineStepUnit::TwoLines) << 3053 << 18;
    QTest::newRow("line, 7 (uneven ms)") << int(TLineStepUnit::Line) << 7 << 13;
}

void TestLineSchedule::wholeArticleTakesItsCharactersTime() {
    QFETCH(int, unit);
    QFETCH(int, cpm);
    QFETCH(int, width);
    // 10,000 characters in paragraphs of the prose above: rests at paragraph ends included.
    QStringList paragraphs;
    int chars = 0;
    while (chars < 10000) {
        QString paragraph = Prose.left(std::min<int>(Prose.size(), 10000 - chars));
        chars += CountReadingChars(paragraph);
        paragraphs << paragraph;
    }
    QCOMPARE(chars, 10000);
    const TLineSchedule schedule =
        BuildLineSchedule(LayOut(paragraphs, width), TLineStepUnit(unit), cpm);
    const qint64 expected = std::llround(10000 * 60000.0 / cpm);
    QCOMPARE(schedule.Pace.TotalChars(), 10000);
    QCOMPARE(schedule.Pace.TotalMs(), expected);
    // The steps follow one another without gap or overlap, each about its characters' time.
    qint64 next = 0;
    for (const TPaceStep &step : schedule.Pace.Steps) {
        QCOMPARE(step.StartMs, next);
        next += step.DurationMs;
        const double plain = step.Chars * 60000.0 / cpm;
        const double rested = (step.Chars + TPaceSchedule::RestChars) * 60000.0 / cpm;
        QVERIFY2(step.DurationMs <= (step.Rests ? rested : plain) + 1,
                 qPrintable(QStringLiteral("%1 ms for %2").arg(step.DurationMs).arg(step.Text)));
        QVERIFY(step.DurationMs >= plain * 0.95 - 1);
    }
    QCOMPARE(next, expected);
}

void TestLineSchedule::halfLinesSplitBetweenWords_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("halves");
    QTest::newRow("even") << "一二三四" << QStringList{"一二", "三四"};
    QTest::newRow("odd: the first half the longer")
        << "一二三四五" << QStringList{"一二三", "四五"};
    QTest::newRow("punctuation stays with the first half")
        << "一二，三四" << QStringList{"一二，", "三四"};
    QTest::newRow("an ASCII word is not split") << "ab cdefg hi" << QStringList{"ab cdefg ", "hi"};
    QTest::newRow("nothing to read after the middle: one step") << "一。" << QStringList{"一。"};
}

void TestLineSchedule::halfLinesSplitBetweenWords() {
    QFETCH(QString, line);
    QFETCH(QStringList, halves);
    const TLineSchedule schedule =
        BuildLineSchedule({TLaidLine{line, 0, true}}, TLineStepUnit::HalfLine, 600);
    QStringList texts;
    QString joined;
    for (qsizetype i = 0; i < schedule.Pace.Steps.size(); ++i) {
        texts << schedule.Pace.Steps.at(i).Text;
        const TLinePlace &place = schedule.Places.at(i);
        joined += place.Length < 0 ? line : line.mid(place.From, place.Length);
    }
    QCOMPARE(texts, halves);
    QCOMPARE(joined, line); // the places cover the line once
}

void TestLineSchedule::layoutValues() {
    QCOMPARE(LineStepUnitOf(0), TLineStepUnit::Line);
    QCOMPARE(LineStepUnitOf(1), TLineStepUnit::HalfLine);
    QCOMPARE(LineStepUnitOf(2), TLineStepUnit::TwoLines);
    QCOMPARE(LineStepUnitOf(-1), TLineStepUnit::Line);
    QCOMPARE(LineStepUnitOf(9), TLineStepUnit::Line);
}

QTEST_APPLESS_MAIN(TestLineSchedule)
#include "test_line_schedule.moc"

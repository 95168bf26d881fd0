// mx_bench_wordcut [FILE]: the speed of the Chinese word cutting and of the follow-reading
// steps on 1 MiB of Chinese text (UTF-8), or on FILE. Never run by ctest.

#include "modules/PacerKit/FollowSchedule.h"
#include "modules/PacerKit/WordCutter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <cstdio>

namespace {

// Sentences of modern and classical prose, shuffled into paragraphs.
const char *const Sentences[] = {
    "清晨六点半，城市还没有完全醒来。",
    "我沿着河边的小路慢慢走着，空气里带着一点潮湿的青草味。",
    "远处的桥上，已经有人骑着自行车去上班了。",
    "这些年来，我养成了每天早上读书半小时的习惯。",
    "起初只是为了打发时间，后来却发现，读书让我的心变得安静下来。",
    "一本好书就像一位老朋友，不管你什么时候去找它，它都在那里等着你。",
    "去年冬天，我读完了一套三卷本的历史书，一共一千二百多页。",
    "有人问我：“你每天那么忙，哪里来的时间读书？”",
    "经过两个月的练习，现在已经可以达到每分钟800字，而且理解得比以前更好了。",
    "晋太元中，武陵人捕鱼为业。",
    "缘溪行，忘路之远近。",
    "忽逢桃花林，夹岸数百步，中无杂树，芳草鲜美，落英缤纷。",
    "土地平旷，屋舍俨然，有良田美池桑竹之属。",
    "阡陌交通，鸡犬相闻。",
    "中华人民共和国的经济在2025年增长了5.2%，科技创新成为新的动力；",
    "研究人员使用Python和C++编写了新的分析程序！",
};

QString MakeText(qsizetype bytes) {
    QRandomGenerator random(20261211);
    QString text;
    qsizetype size = 0;
    int inParagraph = 0;
    while (size < bytes) {
        const QString sentence =
            QString::fromUtf8(Sentences[random.bounded(static_cast<int>(std::size(Sentences)))]);
        text += sentence;
        size += sentence.toUtf8().size();
        if (++inParagraph == 6) {
            text += u'\n';
            ++size;
            inParagraph = 0;
        }
    }
    return text;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QString text;
    if (argc > 1) {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[1]);
            return 1;
        }
        text = QString::fromUtf8(file.readAll());
    } else {
        text = MakeText(1 << 20);
    }
    const double megabytes = double(text.toUtf8().size()) / (1 << 20);
    std::printf("text: %.2f MiB UTF-8, %lld characters\n", megabytes,
                static_cast<long long>(text.size()));

    const TWordCutter cutter;
    QElapsedTimer timer;
    double best = 1e18;
    qsizetype tokens = 0;
    for (int run = 0; run < 3; ++run) {
        timer.start();
        tokens = cutter.Cut(text).size();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    std::printf("word cutting: %lld tokens, best of 3 %.3f s, %.2f MiB/s\n",
                static_cast<long long>(tokens), best, megabytes / best);

    const QStringList lines = text.split(u'\n');
    best = 1e18;
    qsizetype steps = 0;
    for (int run = 0; run < 3; ++run) {
        timer.start();
        steps = BuildFollowSchedule(lines, TFollowOptions{}, cutter, 600).Steps.size();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    std::printf("follow steps (5 words, 1 line): %lld steps, best of 3 %.3f s, %.2f MiB/s\n",
                static_cast<long long>(steps), best, megabytes / best);
    return 0;
}

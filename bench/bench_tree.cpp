// mx_bench_tree: the library tree on a large library, offscreen.
//  1. GetArticles alone: the yardstick, the cost of reading the headers.
//  2. RefreshTree: reading the headers and building the whole tree (and the first paint).
//  3. Checking the root: the cascade over every node, toggled by the space key as a user would.
//  4. GetCheckedArticles with every article checked.
// Each is the median of a few runs; the ratios to GetArticles are printed with the peak memory
// of the process while the library is loaded.
#include "bench/LibraryGenerator.h"

#include "app/GlobalManager.h"
#include "app/MainForm.h"
#include "store/BlockServiceImpl.h"
#include "store/DatabaseSetup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double Seconds(const std::function<void()> &work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

double Median(int runs, const std::function<double()> &run) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        times.push_back(run());
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

// A line of /proc/self/status in kilobytes ("VmHWM", "VmRSS"); -1 when it is not there.
long StatusKb(const char *key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix)) {
            return line.mid(prefix.size()).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// The space key on the selected node: the user's way of toggling a check box.
void PressSpace(QTreeWidget *tree) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(tree, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(tree, &release);
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption booksOption(QStringLiteral("books"), QStringLiteral("Books."),
                                         QStringLiteral("N"), QStringLiteral("1000"));
    const QCommandLineOption articlesOption(QStringLiteral("articles"),
                                            QStringLiteral("Articles in all."), QStringLiteral("N"),
                                            QStringLiteral("100000"));
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Runs per figure."),
                                        QStringLiteral("N"), QStringLiteral("5"));
    parser.addOptions({booksOption, articlesOption, runsOption});
    parser.process(app);

    TLibraryShape shape;
    shape.Books = parser.value(booksOption).toInt();
    shape.Articles = parser.value(articlesOption).toInt();
    shape.ArticleBytes = 512;
    const int runs = std::max(1, parser.value(runsOption).toInt());

    QTemporaryDir folder;
    std::printf("library: %d articles in %d books (%d bytes of text each)\n", shape.Articles,
                shape.Books, shape.ArticleBytes);
    const double fill = Seconds([&] { FillLibrary(DatabasePath(folder.path()), shape); });
    std::printf("  filled in %.2f s\n", fill);
    TGlobalManager settings(folder.path());
    {
        // What one book list costs on its own, before the window exists.
        const long before = StatusKb("VmRSS");
        TBlockServiceImpl service(DatabasePath(folder.path()), settings);
        const std::unique_ptr<TBookList> books = service.GetArticles();
        std::printf("  memory before the window: VmRSS %ld kB; one book list holds %ld kB\n",
                    before, StatusKb("VmRSS") - before);
    }

    TMainForm form(settings);
    form.show(); // the first show fills the tree
    QApplication::processEvents();
    QTreeWidget *tree = form.RzCheckTree1;
    const long loadedPeakKb = StatusKb("VmHWM");
    std::printf("  memory with the library loaded once: VmHWM %ld kB, VmRSS %ld kB\n", loadedPeakKb,
                StatusKb("VmRSS"));

    const double getArticles =
        Median(runs, [&] { return Seconds([&] { (void)form.BlockService()->GetArticles(); }); });
    const double refresh = Median(runs, [&] { return Seconds([&] { form.RefreshTree(); }); });
    const double refreshAndPaint = Median(runs, [&] {
        return Seconds([&] {
            form.RefreshTree();
            tree->expandAll();
            tree->repaint();
        });
    });
    form.RefreshTree();
    tree->setCurrentItem(tree->topLevelItem(0));
    tree->setFocus();
    QApplication::processEvents();

    // Each run checks the root (timed) and clears it again.
    qsizetype checkedCount = 0;
    const double checkRoot = Median(runs, [&] {
        const double seconds = Seconds([&] {
            PressSpace(tree);
            QApplication::processEvents(); // the repaint of the visible nodes
        });
        checkedCount = form.GetCheckedArticles().size();
        PressSpace(tree);
        return seconds;
    });
    PressSpace(tree);
    const double getChecked = Median(
        runs, [&] { return Seconds([&] { checkedCount = form.GetCheckedArticles().size(); }); });
    const long peakKb = StatusKb("VmHWM");
    const long residentKb = StatusKb("VmRSS");

    std::printf("  checked articles after checking the root: %lld\n",
                static_cast<long long>(checkedCount));
    std::printf("\n%-44s %9s %9s %7s\n", "operation", "seconds", "ratio", "goal");
    std::printf("%-44s %9.3f %9.2f %7s\n", "GetArticles alone", getArticles, 1.0, "");
    std::printf("%-44s %9.3f %9.2f %7s\n", "RefreshTree", refresh, refresh / getArticles, "<= 3");
    std::printf("%-44s %9.3f %9.2f %7s\n", "RefreshTree, expand all and paint", refreshAndPaint,
                refreshAndPaint / getArticles, "");
    std::printf("%-44s %9.3f %9.2f %7s\n", "checking the root (cascade)", checkRoot,
                checkRoot / getArticles, "<= 1");
    std::printf("%-44s %9.3f %9.2f %7s\n", "GetCheckedArticles, all checked", getChecked,
                getChecked / getArticles, "<= 1");
    std::printf("\npeak memory (VmHWM) after the runs: %ld kB (a rebuild holds the old and the new"
                " book list at once); VmRSS now %ld kB\n",
                peakKb, residentKb);
    return checkedCount == shape.Articles ? 0 : 1;
}

// mx_bench_import: the batch text import against a bare SQLite insert of the same texts.
//  1. A folder of FILES text files (default 2000) of SIZE bytes each (default 50 KB, 100 MB
//     in all), half GBK and half UTF-8, is imported through the run and the text-loader
//     module of the window; the peak memory of the process above what it held before the run
//     is read from /proc/self/status.
//  2. The same texts, decoded beforehand, go into another library through one prepared
//     INSERT in one transaction.
//  3. One file of BIG megabytes (default 10): how long it is read (off the window's thread,
//     with progress) and how long it is stored (on the window's thread).
#include "bench/LibraryGenerator.h"

#include "app/GlobalManager.h"
#include "store/BlockServiceImpl.h"
#include "store/DatabaseSetup.h"
#include "textimport/TextImportRun.h"
#include "util/CodePage.h"
#include "util/Errors.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// A figure of /proc/self/status in kB ("VmRSS", "VmHWM").
long StatusKb(const char *key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

// Lowers the peak figure to the present size, so that VmHWM measures from here on.
void ResetPeak() {
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (reset.open(QIODevice::WriteOnly)) {
        reset.write("5");
    }
}

void WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        throw EMxError(QStringLiteral("cannot write %1").arg(path));
    }
}

QString PrepareAppFolder(const QString &folder, const QString &moduleDir) {
    QDir().mkpath(folder);
    const QString module = folder + QStringLiteral("/libProseFeed.so");
    QFile::remove(module);
    if (!QFile::copy(moduleDir + QStringLiteral("/libProseFeed.so"), module)) {
        throw EMxError(QStringLiteral("no libProseFeed.so in %1").arg(moduleDir));
    }
    CreateDatabaseIfMissing(DatabasePath(folder));
    return folder;
}

double Seconds(const QElapsedTimer &timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Benchmarks the batch text import against bare SQLite."));
    parser.addHelpOption();
    const QCommandLineOption files(QStringLiteral("files"),
                                   QStringLiteral("Text files (default 2000)."),
                                   QStringLiteral("N"), QStringLiteral("2000"));
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("Bytes per file (default 51200)."),
                                  QStringLiteral("BYTES"), QStringLiteral("51200"));
    const QCommandLineOption big(QStringLiteral("big"),
                                 QStringLiteral("Megabytes of the one big file (default 10)."),
                                 QStringLiteral("MB"), QStringLiteral("10"));
    const QCommandLineOption modules(
        QStringLiteral("modules"),
        QStringLiteral("Folder holding libProseFeed.so (default: the build's application "
                       "folder)."),
        QStringLiteral("DIR"), QStringLiteral(MX_BENCH_DIST_DIR));
    parser.addOptions({files, size, big, modules});
    parser.process(app);
    // The empty program: what the process holds before any text is made.
    const long rssAtStart = StatusKb("VmRSS");
    const int fileCount = parser.value(files).toInt();
    const int fileBytes = parser.value(size).toInt();

    QTemporaryDir work;
    try {
        // The folder: half GBK, half UTF-8, in a few subfolders.
        const QString texts = work.filePath(QStringLiteral("texts"));
        TLibraryGenerator generator(7);
        QList<std::pair<QString, QStringList>> articles;
        qint64 totalBytes = 0;
        for (int i = 0; i < fileCount; ++i) {
            const bool gbk = i % 2 == 0;
            // UTF-8 takes 3 bytes for a character where GBK takes 2.
            const QStringList lines =
                generator.ArticleLines(gbk ? fileBytes : fileBytes * 2 / 3, i % 3 == 0);
            const QString text = lines.join(QStringLiteral("\r\n"));
            const QByteArray bytes = gbk ? EncodeCodePage936(text) : text.toUtf8();
            const QString folder = texts + QStringLiteral("/part%1").arg(i % 10);
            QDir().mkpath(folder);
            const QString title = QStringLiteral("文章%1").arg(i + 1);
            WriteFile(folder + u'/' + title + QStringLiteral(".txt"), bytes);
            totalBytes += bytes.size();
            articles.append({title, lines});
        }
        std::printf("Folder: %d files, %.1f MB (half GBK, half UTF-8)\n\n", fileCount,
                    static_cast<double>(totalBytes) / 1e6);

        // 1. The import, as the window runs it.
        const QString importDir =
            PrepareAppFolder(work.filePath(QStringLiteral("import")), parser.value(modules));
        double importSeconds = 0;
        long rssBefore = 0;
        long peak = 0;
        int imported = 0;
        double slowestFile = 0;
        {
            TGlobalManager settings(importDir);
            TBlockServiceImpl service(DatabasePath(importDir), settings);
            TTextImportRun run(service, importDir);
            TImportHooks hooks;
            hooks.BookName = [] {
                return QStringLiteral("导入");
            };
            QElapsedTimer sinceLast;
            hooks.FileDone = [&](const TImportedFile &, int) {
                slowestFile = qMax(slowestFile, Seconds(sinceLast));
                sinceLast.restart();
            };
            ResetPeak();
            rssBefore = StatusKb("VmRSS");
            QElapsedTimer timer;
            timer.start();
            sinceLast.start();
            const TImportResult result = run.Run(texts, hooks);
            importSeconds = Seconds(timer);
            peak = StatusKb("VmHWM");
            imported = result.Imported;
        }

        // 2. The same texts, bare.
        const QString bareDir = work.filePath(QStringLiteral("bare"));
        QDir().mkpath(bareDir);
        CreateDatabaseIfMissing(DatabasePath(bareDir));
        QList<std::pair<TArticle, QString>> rows;
        for (const auto &[title, lines] : articles) {
            rows.append({TLibraryGenerator::MakeHeader(QStringLiteral("导入"), title, lines),
                         StoredText(lines)});
        }
        QElapsedTimer bareTimer;
        bareTimer.start();
        {
            TBareWriter writer(DatabasePath(bareDir));
            for (const auto &[header, text] : rows) {
                writer.Insert(header, text);
            }
            writer.Commit();
        }
        const double bareSeconds = Seconds(bareTimer);

        std::printf("  %-48s %5d files %8.2f s\n", "import run (module, SaveLongArticle)", imported,
                    importSeconds);
        std::printf("  %-48s %5d rows  %8.2f s\n", "bare: one transaction, one prepared INSERT",
                    static_cast<int>(rows.size()), bareSeconds);
        std::printf("  ratio import / bare = %.2fx (goal <= 3x)\n", importSeconds / bareSeconds);
        std::printf("  longest step between two rows: %.3f s\n", slowestFile);
        std::printf(
            "  memory: %.1f MB at start, %.1f MB before the run (texts held for the bare "
            "insert), peak of the run %.1f MB: %.1f MB above the empty program (goal < 200)\n\n",
            rssAtStart / 1024.0, rssBefore / 1024.0, peak / 1024.0, (peak - rssAtStart) / 1024.0);

        // 3. One big file.
        const int bigMb = parser.value(big).toInt();
        const QString bigTexts = work.filePath(QStringLiteral("big"));
        QDir().mkpath(bigTexts);
        QStringList bigLines;
        qint64 bigBytes = 0;
        while (bigBytes < qint64(bigMb) << 20) {
            bigLines += generator.ArticleLines(64 * 1024, false);
            bigBytes = 0;
            for (const QString &line : bigLines) {
                bigBytes += 2 * line.size() + 2;
            }
        }
        WriteFile(bigTexts + QStringLiteral("/大文件.txt"),
                  EncodeCodePage936(bigLines.join(QStringLiteral("\r\n"))));
        const QString bigDir =
            PrepareAppFolder(work.filePath(QStringLiteral("bigapp")), parser.value(modules));
        TGlobalManager settings(bigDir);
        TBlockServiceImpl service(DatabasePath(bigDir), settings);
        TTextImportRun run(service, bigDir);
        TImportHooks hooks;
        hooks.BookName = [] {
            return QStringLiteral("导入");
        };
        int progressCalls = 0;
        double readSeconds = 0;
        QElapsedTimer timer;
        hooks.Progress = [&](qint64 done, qint64 total) {
            ++progressCalls;
            if (done == total) {
                readSeconds = Seconds(timer);
            }
        };
        double storeSeconds = 0;
        hooks.FileDone = [&](const TImportedFile &, int) {
            storeSeconds = Seconds(timer) - readSeconds;
        };
        ResetPeak();
        const long bigBefore = StatusKb("VmRSS");
        timer.start();
        run.Run(bigTexts, hooks);
        std::printf(
            "One GBK file of %.1f MB: read %.2f s off the caller's thread (%d progress "
            "reports), stored %.2f s on it (%d parts); peak %.1f MB above the start\n",
            static_cast<double>(bigBytes) / 1e6, readSeconds, progressCalls, storeSeconds,
            [&service] {
                const auto books = service.GetArticles();
                return books->Count() > 0 ? books->At(0)->Articles.Count() : 0;
            }(),
            (StatusKb("VmHWM") - bigBefore) / 1024.0);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "mx_bench_import: %s\n", error.what());
        return 1;
    }
    return 0;
}

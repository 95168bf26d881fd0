// mx_bench_store: how the article service compares with bare SQLite on a large library.
//  1. Saving: SaveNewArticle called once per article against the same rows inserted with one
//     prepared INSERT in one transaction, each into a copy of the same large library. The
//     service is measured twice: with the SQLite handle kept between operations (as built)
//     and with the file closed after every operation.
//  2. Listing: GetArticles of the whole library against a bare SELECT of the same columns.
//  3. The cost of one small commit under three journal settings, which is why the store
//     writes through a WAL with synchronous=NORMAL.
#include "bench/LibraryGenerator.h"

#include "app/GlobalManager.h"
#include "store/BlockServiceImpl.h"
#include "store/DatabaseSetup.h"
#include "util/Errors.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

struct TNewArticle {
    TArticle Header;
    TLineList Lines;
    QString Text; // the stored form, ready for the bare insert
};

double Seconds(const std::function<void()> &work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

QString CopyLibrary(const QString &from, const QString &folder) {
    const QString to = DatabasePath(folder);
    QDir().mkpath(QFileInfo(to).absolutePath());
    for (const char *suffix : {"", "-wal", "-shm"}) {
        QFile::remove(to + QLatin1String(suffix));
    }
    if (!QFile::copy(from, to)) {
        throw EMxError(QStringLiteral("cannot copy %1 to %2").arg(from, to));
    }
    return to;
}

// A plain connection for the bare statements, closed with the object.
class TPlainConnection {
public:
    explicit TPlainConnection(const QString &path) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Name);
        db.setDatabaseName(path);
        if (!db.open()) {
            throw EDatabaseError(db.lastError().text());
        }
    }
    ~TPlainConnection() {
        {
            QSqlDatabase db = QSqlDatabase::database(Name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(Name);
    }
    TPlainConnection(const TPlainConnection &) = delete;
    TPlainConnection &operator=(const TPlainConnection &) = delete;

    QSqlDatabase Database() const { return QSqlDatabase::database(Name, false); }
    void Exec(const QString &sql) const {
        QSqlQuery query(Database());
        if (!query.exec(sql)) {
            throw EDatabaseError(query.lastError().text());
        }
    }

private:
    inline static const QString Name = QStringLiteral("mx-bench-plain");
};

double SaveThroughService(const QString &path, const TGlobalManager &settings,
                          TDm::THandlePolicy policy, const QList<TNewArticle> &articles) {
    return Seconds([&] {
        TBlockServiceImpl service(path, settings, policy);
        for (const TNewArticle &article : articles) {
            TArticle header = article.Header;
            service.SaveNewArticle(header, article.Lines);
        }
    });
}

double SaveBare(const QString &path, const QList<TNewArticle> &articles) {
    return Seconds([&] {
        TBareWriter writer(path);
        for (const TNewArticle &article : articles) {
            writer.Insert(article.Header, article.Text);
        }
        writer.Commit();
    });
}

// Reads the header columns of every row of this library, keeping nothing but a checksum.
qint64 SelectHeadersBare(const QSqlDatabase &db) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral(
            "SELECT ID,LANG,EDITION_NAME,GRADE,TYPE,TITLE,AUTHOR,DIR,WORD_COUNT,USE_RATE "
            "FROM EARTICLE WHERE EDITION_NAME ='PS.A.0' AND TYPE=3"))) {
        throw EDatabaseError(query.lastError().text());
    }
    qint64 sum = 0;
    while (query.next()) {
        sum += query.value(0).toInt() + query.value(3).toInt() + query.value(4).toInt() +
               query.value(8).toInt() + query.value(9).toInt();
        sum += query.value(1).toString().size() + query.value(2).toString().size() +
               query.value(5).toString().size() + query.value(6).toString().size() +
               query.value(7).toString().size();
    }
    return sum;
}

// Microseconds per commit of one small row, each in its own transaction.
double CommitCost(const QString &folder, const QString &journal, const QString &synchronous,
                  int commits) {
    const QString path = DatabasePath(folder);
    CreateDatabaseIfMissing(path);
    TPlainConnection connection(path);
    connection.Exec(QStringLiteral("PRAGMA journal_mode=") + journal);
    connection.Exec(QStringLiteral("PRAGMA synchronous=") + synchronous);
    QSqlQuery insert(connection.Database());
    insert.prepare(QStringLiteral("INSERT INTO EARTICLE (TITLE,DIR,[TEXT]) VALUES (?,?,?)"));
    const QString text(1000, QChar(u'字'));
    const double seconds = Seconds([&] {
        for (int i = 0; i < commits; ++i) {
            insert.bindValue(0, QString::number(i));
            insert.bindValue(1, QStringLiteral("书"));
            insert.bindValue(2, text);
            if (!insert.exec()) {
                throw EDatabaseError(insert.lastError().text());
            }
        }
    });
    return seconds * 1e6 / commits;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Benchmarks the article service against bare SQLite."));
    parser.addHelpOption();
    const QCommandLineOption existing(
        QStringLiteral("existing"),
        QStringLiteral("Articles already in the library (default 100000)."), QStringLiteral("N"),
        QStringLiteral("100000"));
    const QCommandLineOption saves(QStringLiteral("saves"),
                                   QStringLiteral("Articles saved (default 10000)."),
                                   QStringLiteral("N"), QStringLiteral("10000"));
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("Article size in GBK bytes (default 2048)."),
                                  QStringLiteral("BYTES"), QStringLiteral("2048"));
    const QCommandLineOption books(QStringLiteral("books"),
                                   QStringLiteral("Books in the library (default 200)."),
                                   QStringLiteral("N"), QStringLiteral("200"));
    const QCommandLineOption commits(QStringLiteral("commits"),
                                     QStringLiteral("Commits per journal setting (default 500)."),
                                     QStringLiteral("N"), QStringLiteral("500"));
    const QCommandLineOption closedSaves(
        QStringLiteral("closed-saves"),
        QStringLiteral(
            "Articles saved with the file closed after each operation (default 300; it is slow)."),
        QStringLiteral("N"), QStringLiteral("300"));
    const QCommandLineOption work(
        QStringLiteral("work"),
        QStringLiteral("Folder for the libraries (default: a temporary folder, removed)."),
        QStringLiteral("DIR"));
    parser.addOptions({existing, saves, size, books, commits, closedSaves, work});
    parser.process(app);

    QTemporaryDir temporary;
    const QString workDir = parser.isSet(work) ? parser.value(work) : temporary.path();
    QDir().mkpath(workDir);

    TLibraryShape shape;
    shape.Books = parser.value(books).toInt();
    shape.Articles = parser.value(existing).toInt();
    shape.ArticleBytes = parser.value(size).toInt();
    const int saveCount = parser.value(saves).toInt();

    try {
        TGlobalManager settings(workDir);

        const QString basePath = DatabasePath(workDir + QStringLiteral("/base"));
        QFile::remove(basePath);
        const double fillSeconds = Seconds([&] { FillLibrary(basePath, shape, 1); });
        std::printf("Library: %d articles in %d books, %d GBK bytes each, %.0f MB file, built in "
                    "%.1f s\n\n",
                    shape.Articles, shape.Books, shape.ArticleBytes,
                    static_cast<double>(QFileInfo(basePath).size()) / 1e6, fillSeconds);

        // New titles in the library's books: the replace rule looks but finds nothing.
        QList<TNewArticle> fresh;
        TLibraryGenerator generator(2);
        for (int i = 0; i < saveCount; ++i) {
            const QStringList lines = generator.ArticleLines(shape.ArticleBytes, i % 3 == 0);
            const QString dir = TLibraryGenerator::BookName(i % qMax(1, shape.Books) + 1);
            const QString title = QStringLiteral("新文%1").arg(i + 1);
            fresh.append({TLibraryGenerator::MakeHeader(dir, title, lines),
                          TLineList::FromLines(lines), StoredText(lines)});
        }

        const QString keptPath = CopyLibrary(basePath, workDir + QStringLiteral("/kept"));
        const QString closedPath = CopyLibrary(basePath, workDir + QStringLiteral("/closed"));
        const QString barePath = CopyLibrary(basePath, workDir + QStringLiteral("/bare"));

        const QList<TNewArticle> closedSubset =
            fresh.mid(0, qMin(fresh.size(), parser.value(closedSaves).toInt()));
        const double bareSave = SaveBare(barePath, fresh);
        const double keptSave =
            SaveThroughService(keptPath, settings, TDm::THandlePolicy::KeepHandle, fresh);
        const double closedSave =
            SaveThroughService(closedPath, settings, TDm::THandlePolicy::CloseHandle, closedSubset);
        const double bareEach = bareSave * 1e6 / qMax(1, saveCount);
        const double keptEach = keptSave * 1e6 / qMax(1, saveCount);
        const double closedEach = closedSave * 1e6 / qMax(1, static_cast<int>(closedSubset.size()));
        std::printf("Saving new articles of %d GBK bytes into that library\n", shape.ArticleBytes);
        std::printf("  %-52s %6d  %8.2f s %9.1f us/article %7.1fx\n",
                    "SaveNewArticle, SQLite handle kept (as built)", saveCount, keptSave, keptEach,
                    keptEach / bareEach);
        std::printf("  %-52s %6d  %8.2f s %9.1f us/article %7.1fx\n",
                    "SaveNewArticle, file closed after each operation",
                    static_cast<int>(closedSubset.size()), closedSave, closedEach,
                    closedEach / bareEach);
        std::printf("  %-52s %6d  %8.2f s %9.1f us/article %7.1fx\n",
                    "bare: one transaction, one prepared INSERT", saveCount, bareSave, bareEach,
                    1.0);

        std::printf(
            "\nListing the %d article headers (best of 5, runs interleaved, after one warm-up)\n",
            shape.Articles);
        TBlockServiceImpl service(basePath, settings);
        TBlockServiceImpl closingService(basePath, settings, TDm::THandlePolicy::CloseHandle);
        double getArticles = 1e300;
        double getArticlesClosing = 1e300;
        double getDirNames = 1e300;
        double bareSelect = 1e300;
        {
            TPlainConnection connection(basePath);
            service.GetArticles();
            SelectHeadersBare(connection.Database());
            for (int run = 0; run < 5; ++run) {
                bareSelect = std::min(bareSelect,
                                      Seconds([&] { SelectHeadersBare(connection.Database()); }));
                getArticles = std::min(getArticles, Seconds([&] { service.GetArticles(); }));
                getArticlesClosing =
                    std::min(getArticlesClosing, Seconds([&] { closingService.GetArticles(); }));
                getDirNames = std::min(getDirNames, Seconds([&] { service.GetDirNames(); }));
            }
        }
        std::printf("  %-52s %8.3f s  %6.1fx\n", "GetArticles, SQLite handle kept (as built)",
                    getArticles, getArticles / bareSelect);
        std::printf("  %-52s %8.3f s  %6.1fx\n", "GetArticles, file closed after each operation",
                    getArticlesClosing, getArticlesClosing / bareSelect);
        std::printf("  %-52s %8.3f s  %6.1fx\n", "bare SELECT of the same columns", bareSelect,
                    1.0);
        std::printf("  %-52s %8.3f s\n", "GetDirNames (for comparison)", getDirNames);

        const int commitCount = parser.value(commits).toInt();
        std::printf("\nOne small commit (a 1000-character row, own transaction), %d commits each\n",
                    commitCount);
        const struct {
            const char *Journal;
            const char *Synchronous;
            const char *Note;
        } settingsToTry[] = {{"DELETE", "FULL", "rollback journal (SQLite's default)"},
                             {"WAL", "FULL", "WAL, flush at every commit"},
                             {"WAL", "NORMAL", "WAL, flush at checkpoints (as built)"}};
        for (const auto &setting : settingsToTry) {
            const QString folder = workDir + QStringLiteral("/journal-") +
                                   QLatin1String(setting.Journal) + QLatin1Char('-') +
                                   QLatin1String(setting.Synchronous);
            const double cost = CommitCost(folder, QLatin1String(setting.Journal),
                                           QLatin1String(setting.Synchronous), commitCount);
            std::printf("  %-8s %-8s %-40s %8.1f us/commit\n", setting.Journal, setting.Synchronous,
                        setting.Note, cost);
        }

        std::printf("\nRatios (as built): SaveNewArticle / bare insert = %.1fx (goal <= 10x); "
                    "GetArticles / bare SELECT = %.1fx (goal <= 3x)\n",
                    keptSave / bareSave, getArticles / bareSelect);
    } catch (const EMxError &error) {
        std::fprintf(stderr, "mx_bench_store: %s\n", error.what());
        return 1;
    }
    return 0;
}

// mx_genlib: writes a synthetic library into an application folder, for trying the program
// and the benchmarks on a library of any size.
#include "bench/LibraryGenerator.h"

#include "store/DatabaseSetup.h"
#include "util/Errors.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Appends a synthetic library (Chinese and mixed Chinese-ASCII articles) to "
                       "APP_DIR/db/Lumo.db, "
                       "creating the database when it is missing."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("APP_DIR"),
                                 QStringLiteral("The application folder."));
    const QCommandLineOption books(QStringLiteral("books"),
                                   QStringLiteral("Number of books (default 100)."),
                                   QStringLiteral("N"), QStringLiteral("100"));
    const QCommandLineOption articles(QStringLiteral("articles"),
                                      QStringLiteral("Number of articles in all (default 10000)."),
                                      QStringLiteral("N"), QStringLiteral("10000"));
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("Article size in GBK bytes (default 2048)."),
                                  QStringLiteral("BYTES"), QStringLiteral("2048"));
    const QCommandLineOption mixed(
        QStringLiteral("mixed"),
        QStringLiteral("Percentage of mixed Chinese-ASCII articles (default 30)."),
        QStringLiteral("PERCENT"), QStringLiteral("30"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Random seed (default 1)."), QStringLiteral("N"),
                                  QStringLiteral("1"));
    parser.addOptions({books, articles, size, mixed, seed});
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        parser.showHelp(1);
    }

    TLibraryShape shape;
    shape.Books = parser.value(books).toInt();
    shape.Articles = parser.value(articles).toInt();
    shape.ArticleBytes = parser.value(size).toInt();
    shape.MixedPercent = parser.value(mixed).toInt();
    const QString path = DatabasePath(parser.positionalArguments().first());
    try {
        QElapsedTimer timer;
        timer.start();
        const int written = FillLibrary(path, shape, parser.value(seed).toUInt());
        std::printf("%d articles in %d books written to %s (%.1f MB) in %.1f s\n", written,
                    shape.Books, qPrintable(path),
                    static_cast<double>(QFileInfo(path).size()) / 1e6,
                    static_cast<double>(timer.elapsed()) / 1000.0);
    } catch (const EMxError &error) {
        std::fprintf(stderr, "mx_genlib: %s\n", error.what());
        return 1;
    }
    return 0;
}

// mxtool import-texts FOLDER --book NAME --app DIR: the batch text import of the window,
// through the same run and the same text-loader module, one line per text file.
#include "tools/ToolCommands.h"

#include "app/Const.h"
#include "app/GlobalManager.h"
#include "store/BlockServiceImpl.h"
#include "store/DatabaseSetup.h"
#include "textimport/TextImportRun.h"
#include "util/Errors.h"

#include <QTextStream>

#include <exception>

namespace {

int Usage(QTextStream &err) {
    err << "usage: mxtool import-texts FOLDER --book NAME --app DIR\n";
    return 2;
}

} // namespace

int RunImportTexts(const QStringList &args) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString folder;
    QString book;
    QString appDir;
    bool haveBook = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if ((arg == u"--book" || arg == u"--app") && i + 1 < args.size()) {
            (arg == u"--book" ? book : appDir) = args.at(++i);
            haveBook = haveBook || arg == u"--book";
        } else if (folder.isNull() && !arg.startsWith(u"--")) {
            folder = arg;
        } else {
            return Usage(err);
        }
    }
    if (folder.isNull() || !haveBook || appDir.isEmpty()) {
        return Usage(err);
    }

    try {
        TGlobalManager settings(appDir);
        const QString databasePath = DatabasePath(appDir);
        CreateDatabaseIfMissing(databasePath);
        TBlockServiceImpl service(databasePath, settings);
        TTextImportRun run(service, appDir);

        TImportHooks hooks;
        hooks.BookName = [&book] {
            return book;
        };
        hooks.FileDone = [&out](const TImportedFile &file, int) {
            if (file.Stored) {
                out << "stored\t" << file.Encoding << '\t' << file.Title << '\t' << file.Path;
            } else {
                out << "failed\t-\t" << file.Path << '\t' << file.Error;
            }
            // One line at a time: what a line reports as stored is stored, whatever follows.
            out << '\n' << Qt::flush;
        };
        const TImportResult result = run.Run(folder, hooks);
        switch (result.Outcome) {
        case TImportOutcome::PathNotFound:
            err << Const::Message(Const::PathNotFound) << '\n';
            return 1;
        case TImportOutcome::EmptyBookName:
            err << Const::Message(Const::EmptyBookName) << '\n';
            return 1;
        case TImportOutcome::ReadOnlyLibrary:
            err << Const::Message(Const::ReadOnlyNoImport) << '\n';
            return 1;
        case TImportOutcome::NoLoader:
            err << Const::Message(Const::TextLoaderMissing) << '\n' << result.Detail << '\n';
            return 1;
        case TImportOutcome::Finished:
            break;
        }
        out << ImportStatusText(result.Position, result.Imported) << QStringLiteral("，失败")
            << result.Failed << QStringLiteral("个") << '\n'
            << Const::Message(Const::BatchImportDone) << '\n'
            << Qt::flush;
        if (result.Error) {
            std::rethrow_exception(result.Error);
        }
        return result.Failed > 0 ? 1 : 0;
    } catch (const std::exception &error) {
        err << "mxtool import-texts: " << QString::fromUtf8(error.what()) << '\n';
        return 1;
    }
}

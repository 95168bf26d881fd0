// mxtool import-package FILE.eap --app DIR: unpacks a package into the library of an
// application folder with the import window's code; prints the count stored and the
// message the window would show.
#include "app/Const.h"
#include "packages/PackageJobs.h"
#include "packages/PackageProgress.h"
#include "tools/ToolLibrary.h"

int ImportPackageCommand(const QStringList &arguments) {
    QStringList args = arguments;
    const QStringList appDirs = TakeOption(args, QStringLiteral("--app"));
    if (args.size() != 1 || appDirs.size() != 1) {
        ToolErr() << "usage: mxtool import-package FILE.eap --app DIR\n";
        return 2;
    }
    int stored = 0;
    try {
        TToolLibrary library(appDirs.first());
        PackageJobs::TPackageImport import(library.Service(), args.first());
        try {
            TSilentProgress progress;
            import.Run(progress);
        } catch (...) {
            stored = import.StoredCount();
            throw;
        }
        ToolOut() << "stored " << import.StoredCount() << '\n'
                  << Const::Message(Const::ImportDone) << '\n';
        ToolOut().flush();
        return 0;
    } catch (const std::exception &error) {
        ToolOut() << "stored " << stored << '\n';
        PrintFailure(error);
        return 1;
    }
}

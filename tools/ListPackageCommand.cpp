// mxtool list-package FILE.eap: every record of a package (book, title, author, word count),
// read by the same code as the import window, without storing anything.
#include "packages/PackageJobs.h"
#include "packages/PackageProgress.h"
#include "tools/ToolLibrary.h"

int ListPackageCommand(const QStringList &args) {
    if (args.size() != 1) {
        ToolErr() << "usage: mxtool list-package FILE.eap\n";
        return 2;
    }
    try {
        TSilentProgress progress;
        PackageJobs::ReadPackage(
            args.first(),
            [](TArticle &article, const TLineList &) {
                ToolOut() << article.Dir << '\t' << article.Title << '\t' << article.Author << '\t'
                          << article.WordCount << '\n';
            },
            progress);
        ToolOut().flush();
        return 0;
    } catch (const std::exception &error) {
        PrintFailure(error);
        return 1;
    }
}

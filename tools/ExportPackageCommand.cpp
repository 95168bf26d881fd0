// mxtool export-package OUT.eap --app DIR [--book NAME]...: packs every article of the named
// books (or of all books), in the order of the library tree, with the export window's code.
#include "app/Const.h"
#include "packages/PackageJobs.h"
#include "packages/PackageProgress.h"
#include "store/BookName.h"
#include "tools/ToolLibrary.h"

int ExportPackageCommand(const QStringList &arguments) {
    QStringList args = arguments;
    const QStringList appDirs = TakeOption(args, QStringLiteral("--app"));
    const QStringList bookNames = TakeOption(args, QStringLiteral("--book"));
    if (args.size() != 1 || appDirs.size() != 1) {
        ToolErr() << "usage: mxtool export-package OUT.eap --app DIR [--book NAME]...\n";
        return 2;
    }
    try {
        TToolLibrary library(appDirs.first());
        const std::unique_ptr<TBookList> books = library.Service().GetArticles();
        for (const QString &name : bookNames) {
            if (!std::any_of(books->begin(), books->end(), [&](const auto &book) {
                    return SameBookName(book.Item->Name, name);
                })) {
                ToolErr() << "no such book: " << name << '\n';
                return 1;
            }
        }
        QList<TArticle *> articles;
        for (const auto &book : *books) {
            const bool chosen =
                bookNames.isEmpty() ||
                std::any_of(bookNames.begin(), bookNames.end(), [&](const QString &name) {
                    return SameBookName(book.Item->Name, name);
                });
            if (!chosen) {
                continue;
            }
            for (const auto &entry : book.Item->Articles) {
                articles.append(entry.Item.get());
            }
        }
        if (articles.isEmpty()) {
            ToolErr() << Const::Message(Const::ChooseArticles) << '\n';
            return 1;
        }
        TSilentProgress progress;
        PackageJobs::ExportPackage(library.Service(), articles, args.first(), progress);
        ToolOut() << "exported " << articles.size() << '\n'
                  << Const::Message(Const::ExportDone) << '\n';
        ToolOut().flush();
        return 0;
    } catch (const std::exception &error) {
        PrintFailure(error);
        return 1;
    }
}

#include "tools/ToolLibrary.h"

#include "packages/PackageErrors.h"
#include "store/DatabaseSetup.h"

TToolLibrary::TToolLibrary(const QString &appDir) : FSettings(appDir) {
    const QString databasePath = DatabasePath(FSettings.AppDir());
    CreateDatabaseIfMissing(databasePath);
    FService = std::make_unique<TBlockServiceImpl>(databasePath, FSettings);
}

QStringList TakeOption(QStringList &args, const QString &name) {
    QStringList values;
    for (qsizetype i = 0; i < args.size();) {
        if (args.at(i) == name && i + 1 < args.size()) {
            values << args.at(i + 1);
            args.remove(i, 2);
        } else {
            ++i;
        }
    }
    return values;
}

QTextStream &ToolOut() {
    static QTextStream out(stdout);
    return out;
}

QTextStream &ToolErr() {
    static QTextStream err(stderr);
    return err;
}

void PrintFailure(const std::exception &error) {
    ToolOut().flush();
    ToolErr() << QString::fromUtf8(error.what()) << '\n';
    if (const auto *package = dynamic_cast<const EPackageError *>(&error)) {
        if (!package->Details().isEmpty()) {
            ToolErr() << "  " << package->Details() << '\n';
        }
    }
    ToolErr().flush();
}

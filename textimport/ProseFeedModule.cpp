#include "textimport/ProseFeedModule.h"

#include "textimport/TextImportErrors.h"

#include <exception>

TProseFeedModule::TProseFeedModule(const QString &appDir)
    : FLibrary(appDir + u'/' + QLatin1String(ProseFeedModuleName)) {
    if (!FLibrary.load()) {
        throw ENoTextLoader(FLibrary.errorString());
    }
    const auto getInstance =
        reinterpret_cast<TGetProseFeedInstance>(FLibrary.resolve(ProseFeedEntryPointName));
    if (getInstance == nullptr) {
        const QString reason = FLibrary.errorString();
        FLibrary.unload();
        throw ENoTextLoader(reason);
    }
    // An exception object of the module must not outlive the unload: its message is kept.
    QString failure;
    try {
        getInstance(&FLoader);
    } catch (const std::exception &error) {
        failure = QString::fromUtf8(error.what());
    } catch (...) {
        failure = QStringLiteral("GetInstance failed");
    }
    if (!failure.isNull()) {
        FLibrary.unload();
        throw EMxError(failure);
    }
    if (FLoader == nullptr) {
        FLibrary.unload();
        throw ENoTextLoader(QStringLiteral("GetInstance gave no loader"));
    }
}

TProseFeedModule::~TProseFeedModule() {
    // The loader is freed by the module's own code, before the module goes.
    FLoader->Release();
    FLibrary.unload();
}

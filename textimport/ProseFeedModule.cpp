#include "textimport/ProseFeedModule.h"

#include "textimport/TextImportErrors.h"

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
    try {
        getInstance(&FLoader);
    } catch (...) {
        FLibrary.unload();
        throw;
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

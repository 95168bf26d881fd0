#pragma once

#include "textimport/ProseFeed.h"

#include <QLibrary>
#include <QString>

// libProseFeed.so loaded for one import run: the module, its loader and the reference the
// program holds. Destroying it releases the loader and unloads the module.
class TProseFeedModule {
public:
    // Loads the module from the application folder and gets its loader. Raises
    // ENoTextLoader when the module is missing, cannot be loaded, has no GetInstance or gives
    // no loader; an error out of GetInstance itself is raised again as an EMxError with its
    // message, after the unload.
    explicit TProseFeedModule(const QString &appDir);
    ~TProseFeedModule();

    TProseFeedModule(const TProseFeedModule &) = delete;
    TProseFeedModule &operator=(const TProseFeedModule &) = delete;

    IProseFeed &Loader() const { return *FLoader; }

private:
    QLibrary FLibrary;
    IProseFeed *FLoader = nullptr;
};

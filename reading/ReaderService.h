#pragma once

// The contract between the program and a reader module (libLinePacer.so, libStepPacer.so).
// Both sides are built by this project with the same compiler and Qt, so Qt and C++ objects
// cross the boundary as they are; a module links Qt only, never the program's core library.
//
// The host, for one reading:
//   1. builds the article list in full (one TArticleDTO per article, in reading order);
//   2. loads the module by absolute path for this reading only;
//   3. resolves the C name "GetInstance" and calls it: one reference to the reader service;
//   4. calls RunReading(list, configuration text as stored, 1, 1) once;
//   5. calls GetConfig() once and stores the text it returns as the method's setting;
//   6. calls Release() and unloads the module at once.
//
// What the host relies on:
//   - RunReading returns only when the reading is over and every window, timer and thread of
//     the module has ended.
//   - After GetConfig returns, the module keeps no reference to anything of the host: not the
//     article list, its objects, the application object or the screen object.
//   - The article list and its objects belong to the host, which frees them after the launch;
//     the module reads them only during RunReading. The service object belongs to the module,
//     which frees it when its reference count falls to zero (inside Release), so it is freed
//     by the module's own code before the module is unloaded.
//   - An error is raised as a C++ exception (std::exception) out of GetInstance, RunReading
//     or GetConfig; the host releases the reference, unloads the module, stores nothing and
//     reports the error. The host copies the error's message and the configuration text into
//     objects of its own before the unload, so a module may throw its own exception types
//     and return text that lives in its constant data.
//   - The host's tool-tips (hints) show while the application object's property named by
//     ReaderHintsProperty is true or unset. A module may set it false while it reads; the
//     host sets it true again after every reading.

#include "store/ArticleDTO.h" // a plain data class of Qt values; the modules use nothing else of the store

#include <QList>
#include <QString>

class QApplication;
class QScreen;

// The articles of one reading, in reading order: the article open in the page first, then
// the ticked ones in tree order.
using TArticleDTOList = QList<TArticleDTO>;

// The reader service of a module. The operations come in this order: the three of reference
// counting, then GetConfig, then RunReading.
class IReaderService {
public:
    // Reference counting. QueryInterface answers true (and adds a reference) only for the
    // interface name the module implements ("ILinePacerService" or "IStepPacerService").
    virtual bool QueryInterface(const char *interfaceName, void **result) = 0;
    virtual int AddRef() = 0;
    virtual int Release() = 0;

    // The configuration text of the module's method, as the reading left it: one empty XML
    // element whose attributes are the reader's settings.
    virtual QString GetConfig() = 0;
    // Shows the reading of the articles and returns when it is over. `config` is the stored
    // configuration text (empty or unreadable: the module starts from its defaults).
    // `firstArticle` is the 1-based number of the article to begin with; `modal` 1 shows the
    // reading window modal over the host's active window. The host passes 1 and 1.
    virtual void RunReading(const TArticleDTOList &articles, const QString &config,
                            int firstArticle, int modal) = 0;

protected:
    ~IReaderService() = default; // freed through Release only
};

// Line reading (线式阅读): libLinePacer.so; configuration element blockConfig.
class ILinePacerService : public IReaderService {
protected:
    ~ILinePacerService() = default;
};

// Stop-move follow reading (止移跟读): libStepPacer.so; configuration element flashConfig.
class IStepPacerService : public IReaderService {
protected:
    ~IStepPacerService() = default;
};

// The module's entry point, exported as the C name "GetInstance": takes the host's
// application object and screen object, returns one reference (count 1) to its service.
extern "C" {
using TGetReaderInstance = IReaderService *(*)(QApplication *application, QScreen *screen);
}
inline constexpr const char *ReaderEntryPointName = "GetInstance";

// The application object's property that switches the host's tool-tips on and off.
inline constexpr const char *ReaderHintsProperty = "showHints";

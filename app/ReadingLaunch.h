#pragma once

#include "reading/ReaderService.h"
#include "util/Errors.h"

#include <QList>
#include <QString>

class IBlockService;
class QApplication;
class QScreen;
class TArticle;
class TGlobalManager;

// The reading launch: hands the open article and the ticked ones to a reader module, loaded
// from the application folder for this one reading, and stores the configuration that the
// module hands back.
namespace ReadingLaunch {

// One reading method: the module file, its service and the setting it reads and writes.
struct TMethod {
    const char *ModuleBaseName; // "LinePacer": the file is libLinePacer.so
    const char *InterfaceName;
    QString TGlobalManager::*Config;
    void (TGlobalManager::*StoreConfig)(const QString &value);
};

// The method of a reading button's tag: 0 line reading, 1 follow reading. Another tag
// raises EMxError.
const TMethod &MethodOfTag(int tag);

// The articles of one reading: the selected one first, then the checked ones in their order,
// the selected one left out (compared by identity). Titles and authors come from the records,
// the lines from one GetArticleText per article; an error of the service passes.
TArticleDTOList BuildArticleList(IBlockService &service, const TArticle &selected,
                                 const QList<TArticle *> &checked);

// The absolute base path that finds the method's module in the application folder.
QString ModuleBasePath(const QString &appDir, const TMethod &method);

enum class TOutcome {
    NoModule,     // the file is missing or does not load: nothing happened at all
    NoEntryPoint, // the file has no GetInstance: unloaded, hints on, nothing stored
    Read          // the reading ran and its configuration is stored
};

// Loads the module, runs the reading, stores the configuration the module hands back and
// unloads the module; the hints are on afterwards once the module was loaded. An error of
// the module releases the reference, unloads the module, stores nothing and is raised again
// as EReaderModuleError, made by the host so that it outlives the module's code.
TOutcome Run(const QString &appDir, const TMethod &method, const TArticleDTOList &articles,
             TGlobalManager &settings, QApplication *application, QScreen *screen);

// The application's hints (tool-tips): a module may switch them off while it reads.
void SwitchHintsOn(QApplication *application);
bool HintsOn(const QApplication *application);

} // namespace ReadingLaunch

// An error raised by a reader module, carried in the host's own type.
class EReaderModuleError : public EMxError {
public:
    using EMxError::EMxError;
};

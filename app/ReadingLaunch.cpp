#include "app/ReadingLaunch.h"

#include "app/GlobalManager.h"
#include "store/BlockModal.h"
#include "store/IBlockService.h"

#include <QApplication>
#include <QDir>
#include <QLibrary>
#include <QVariant>

#include <exception>
#include <memory>

namespace ReadingLaunch {

namespace {

const TMethod Methods[] = {
    {"LinePacer", "ILinePacerService", &TGlobalManager::BlockConfig,
     &TGlobalManager::SetBlockConfig},
    {"StepPacer", "IStepPacerService", &TGlobalManager::FlashConfig,
     &TGlobalManager::SetFlashConfig},
};

TArticleDTO TransferObject(IBlockService &service, const TArticle &article) {
    TArticleDTO dto;
    dto.Title = article.Title;
    dto.Author = article.Author;
    dto.Lines = service.GetArticleText(article.Id).Lines();
    return dto;
}

// A text of the host's own: the module's text may point at the module's constant data,
// which goes with the module.
QString OwnCopy(const QString &text) {
    return QString(text.constData(), text.size());
}

struct TReleaser {
    void operator()(IReaderService *service) const { service->Release(); }
};
using TServiceReference = std::unique_ptr<IReaderService, TReleaser>;

// The hints go back on once the module has been loaded, however the reading ended.
class THintsBack {
public:
    explicit THintsBack(QApplication *application) : FApplication(application) {}
    ~THintsBack() { SwitchHintsOn(FApplication); }
    THintsBack(const THintsBack &) = delete;
    THintsBack &operator=(const THintsBack &) = delete;

private:
    QApplication *FApplication;
};

} // namespace

const TMethod &MethodOfTag(int tag) {
    if (tag < 0 || tag >= static_cast<int>(std::size(Methods))) {
        throw EMxError(QStringLiteral("没有编号为 %1 的阅读方式").arg(tag));
    }
    return Methods[tag];
}

TArticleDTOList BuildArticleList(IBlockService &service, const TArticle &selected,
                                 const QList<TArticle *> &checked) {
    TArticleDTOList articles;
    articles.append(TransferObject(service, selected));
    for (const TArticle *article : checked) {
        if (article != &selected) {
            articles.append(TransferObject(service, *article));
        }
    }
    return articles;
}

QString ModuleBasePath(const QString &appDir, const TMethod &method) {
    return QDir(appDir).absoluteFilePath(QString::fromLatin1(method.ModuleBaseName));
}

TOutcome Run(const QString &appDir, const TMethod &method, const TArticleDTOList &articles,
             TGlobalManager &settings, QApplication *application, QScreen *screen) {
    QLibrary module(ModuleBasePath(appDir, method));
    if (!module.load()) {
        return TOutcome::NoModule;
    }
    QString config;
    std::exception_ptr failure;
    {
        const THintsBack hintsBack(application);
        const auto getInstance =
            reinterpret_cast<TGetReaderInstance>(module.resolve(ReaderEntryPointName));
        if (getInstance == nullptr) {
            module.unload();
            return TOutcome::NoEntryPoint;
        }
        try {
            const TServiceReference service(getInstance(application, screen));
            if (!service) {
                throw EReaderModuleError(QStringLiteral("阅读模块没有给出阅读服务"));
            }
            service->RunReading(articles, settings.*method.Config, 1, 1);
            config = OwnCopy(service->GetConfig());
        } catch (const EMxError &error) {
            failure = std::make_exception_ptr(EReaderModuleError(error.Message()));
        } catch (const std::exception &error) {
            failure = std::make_exception_ptr(EReaderModuleError(QString::fromUtf8(error.what())));
        } catch (...) {
            failure = std::make_exception_ptr(EReaderModuleError(QStringLiteral("阅读模块出错")));
        }
        // The reference is released by now; nothing of the module's is held any more.
        module.unload();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    (settings.*method.StoreConfig)(config);
    return TOutcome::Read;
}

void SwitchHintsOn(QApplication *application) {
    if (application != nullptr) {
        application->setProperty(ReaderHintsProperty, true);
    }
}

bool HintsOn(const QApplication *application) {
    return application->property(ReaderHintsProperty).toBool() ||
           !application->property(ReaderHintsProperty).isValid();
}

} // namespace ReadingLaunch

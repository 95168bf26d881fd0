// The line-reading module: the reader service behind GetInstance.
#include "LineReaderWindow.h"
#include "modules/PacerKit/PacerSettings.h"
#include "reading/ReaderService.h"

#include <QApplication>
#include <QScreen>

#include <cstring>
#include <memory>

namespace {

class TLinePacerService final : public ILinePacerService {
public:
    explicit TLinePacerService(QScreen *screen) : FScreen(screen) {}

    bool QueryInterface(const char *interfaceName, void **result) override {
        if (std::strcmp(interfaceName, "ILinePacerService") != 0) {
            return false;
        }
        AddRef();
        *result = static_cast<ILinePacerService *>(this);
        return true;
    }
    int AddRef() override { return ++FCount; }
    int Release() override {
        const int count = --FCount;
        if (count == 0) {
            delete this;
        }
        return count;
    }

    QString GetConfig() override { return FSettings.Text(); }

    void RunReading(const TArticleDTOList &articles, const QString &config, int firstArticle,
                    int modal) override {
        FSettings = TBlockSettings(config);
        if (articles.isEmpty()) {
            return;
        }
        QWidget *owner = modal != 0 ? Owner() : nullptr;
        // The window, its timers and everything it made end with this scope.
        const auto window = std::make_unique<TLineReaderWindow>(articles, FSettings, owner);
        window->setWindowModality(modal != 0 ? Qt::ApplicationModal : Qt::NonModal);
        QScreen *screen = FScreen != nullptr ? FScreen : QGuiApplication::primaryScreen();
        if (screen != nullptr) {
            const QRect area = screen->availableGeometry();
            window->resize(area.width() * 4 / 5, area.height() * 4 / 5);
            window->move(area.center() - window->rect().center());
        }
        if (firstArticle > 1) {
            window->GoToArticle(firstArticle - 1);
        }
        window->exec();
        FScreen = nullptr; // nothing of the host is kept after the reading
    }

private:
    ~TLinePacerService() = default;

    // The host's window the reading is modal over: the active one, else the first shown.
    static QWidget *Owner() {
        if (QWidget *active = QApplication::activeWindow()) {
            return active;
        }
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->windowType() == Qt::Window) {
                return window;
            }
        }
        return nullptr;
    }

    int FCount = 1;
    QScreen *FScreen;
    TBlockSettings FSettings{QString()};
};

} // namespace

extern "C" Q_DECL_EXPORT IReaderService *GetInstance(QApplication *, QScreen *screen) {
    return new TLinePacerService(screen);
}

#include "StepPacerService.h"

#include "StepReading.h"
#include "StepReadingForm.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <cstring>

TStepPacerService::TStepPacerService(QScreen *screen) : FScreen(screen) {}

bool TStepPacerService::QueryInterface(const char *interfaceName, void **result) {
    if (result == nullptr) {
        return false;
    }
    if (interfaceName != nullptr && std::strcmp(interfaceName, "IStepPacerService") == 0) {
        AddRef();
        *result = static_cast<IStepPacerService *>(this);
        return true;
    }
    *result = nullptr;
    return false;
}

int TStepPacerService::AddRef() {
    return ++FRefCount;
}

int TStepPacerService::Release() {
    const int count = --FRefCount;
    if (count == 0) {
        delete this;
    }
    return count;
}

QString TStepPacerService::GetConfig() {
    return FSettings.Text();
}

void TStepPacerService::RunReading(const TArticleDTOList &articles, const QString &config,
                                   int firstArticle, int modal) {
    FSettings = TFlashSettings(config);
    if (!articles.isEmpty()) {
        TStepReading reading(articles, FSettings);
        reading.OpenArticle(firstArticle - 1);
        TStepReadingForm form(reading, FScreen, QApplication::activeWindow());
        if (modal != 0) {
            form.exec();
        } else {
            // Not modal, yet the call still returns only when the window has closed.
            QEventLoop loop;
            QObject::connect(&form, &QDialog::finished, &loop, &QEventLoop::quit);
            form.show();
            loop.exec();
        }
    }
    // Nothing of the host is kept once the reading is over.
    FScreen = nullptr;
}

extern "C" Q_DECL_EXPORT IReaderService *GetInstance(QApplication *application, QScreen *screen) {
    Q_UNUSED(application);
    return new TStepPacerService(screen);
}

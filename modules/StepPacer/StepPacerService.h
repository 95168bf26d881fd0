#pragma once

#include "modules/PacerKit/PacerSettings.h"
#include "reading/ReaderService.h"

#include <atomic>

class QScreen;

// The reader service of follow reading: reads the configuration, runs the reading window and
// hands the settings back as the reader left them.
class TStepPacerService final : public IStepPacerService {
public:
    explicit TStepPacerService(QScreen *screen);

    bool QueryInterface(const char *interfaceName, void **result) override;
    int AddRef() override;
    int Release() override;
    QString GetConfig() override;
    void RunReading(const TArticleDTOList &articles, const QString &config, int firstArticle,
                    int modal) override;

private:
    ~TStepPacerService() = default; // freed by Release only

    std::atomic<int> FRefCount{1};
    TFlashSettings FSettings{QString()};
    QScreen *FScreen = nullptr; // the host's, held until the reading is over
};

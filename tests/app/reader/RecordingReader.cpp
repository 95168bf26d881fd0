// A reader module for the launch tests: records what it receives and does what the test chose.
#include "ReaderRecorder.h"

#include <QApplication>
#include <QVariant>

#include <cstring>
#include <stdexcept>

namespace {

using ReaderRecorder::Record;
using ReaderRecorder::TBehaviour;

// The module's own error type: the host must not need its code after the unload.
class TModuleFailure : public std::runtime_error {
public:
    TModuleFailure() : std::runtime_error(ReaderRecorder::FailureUtf8) {}
};

struct TLifeRecord {
    TLifeRecord() { Record(QStringLiteral("loaded")); }
    ~TLifeRecord() { Record(QStringLiteral("unloaded")); }
    TLifeRecord(const TLifeRecord &) = delete;
    TLifeRecord &operator=(const TLifeRecord &) = delete;
} LifeRecord;

class TRecordingReader final : public ILinePacerService {
public:
    bool QueryInterface(const char *interfaceName, void **result) override {
        if (std::strcmp(interfaceName, "ILinePacerService") == 0 ||
            std::strcmp(interfaceName, "IStepPacerService") == 0) {
            AddRef();
            *result = this;
            return true;
        }
        return false;
    }
    int AddRef() override { return ++FCount; }
    int Release() override {
        const int count = --FCount;
        Record(QStringLiteral("Release %1").arg(count));
        if (count == 0) {
            delete this;
        }
        return count;
    }

    QString GetConfig() override {
        Record(QStringLiteral("GetConfig"));
        switch (ReaderRecorder::Behaviour()) {
        case TBehaviour::ThrowInGetConfig:
            throw TModuleFailure();
        case TBehaviour::HandBackChanged:
            // Constant data of this module: gone once the module is unloaded.
            return QStringLiteral(u"<blockConfig rate=\"12\" 颜色=\"clRed\"/>");
        default:
            return FConfig;
        }
    }

    void RunReading(const TArticleDTOList &articles, const QString &config, int firstArticle,
                    int modal) override {
        Record(QStringLiteral("RunReading"));
        ReaderRecorder::TReceived &received = ReaderRecorder::Received();
        received.Articles = articles;
        received.Config = config;
        received.FirstArticle = firstArticle;
        received.Modal = modal;
        FConfig = config;
        // A reading switches the host's hints off; the host must switch them back on.
        qApp->setProperty(ReaderHintsProperty, false);
        if (ReaderRecorder::Behaviour() == TBehaviour::ThrowInRunReading) {
            throw TModuleFailure();
        }
    }

private:
    ~TRecordingReader() = default;
    int FCount = 1;
    QString FConfig;
};

} // namespace

extern "C" IReaderService *GetInstance(QApplication *application, QScreen *screen) {
    Record(QStringLiteral("GetInstance"));
    ReaderRecorder::Received().Application = application;
    ReaderRecorder::Received().Screen = screen;
    if (ReaderRecorder::Behaviour() == TBehaviour::ThrowInGetInstance) {
        throw TModuleFailure();
    }
    return new TRecordingReader;
}

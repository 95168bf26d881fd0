#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

class QEventLoop;
class TGlobalManager;
class THttpFileDownload;

// The hidden update window: it downloads the update list through its download component,
// tells whether the next release is listed, and asks the user whether to hand over to the
// updater. It is never shown; its theme reaches the update prompt.
class TUpdateForm : public QWidget {
    Q_OBJECT

public:
    struct TTimings {
        int StallTimeout = 10000; // milliseconds without progress that count as an error
        int ErrorPause = 1000;    // milliseconds between an error and the next attempt
    };
    // A download is given up at this many errors in a row.
    static constexpr int MaxErrors = 5;

    // The list address is what CheckUpdate fetches; the settings give the application folder,
    // the installed release and the theme.
    TUpdateForm(const TGlobalManager &settings, const QString &listAddress, TTimings timings);
    TUpdateForm(const TGlobalManager &settings, const QString &listAddress)
        : TUpdateForm(settings, listAddress, TTimings{}) {}
    ~TUpdateForm() override;

    // The download in progress: set when it has completed; errors since data last arrived
    // (set back only by arriving data, never by a new download).
    bool Completed = false;
    int ErrorCount = 0;

    // True when the update list names release AppVersion + 1. The local copy of the list is
    // deleted after every completed download, also when the list cannot be read, which
    // raises EUpdateListError. A download that was given up gives false.
    bool CheckUpdate();

    // Fetches one address into one local file, waiting in an event loop, so the program
    // goes on meanwhile. True when the download completed; false when it was given up or the
    // application is quitting.
    bool DownloadFile(const QString &address, const QString &localPath);

    // Asks whether to update; on "确定" starts the updater with "open" and waits while it
    // runs (the program stays usable); an updater that cannot be started that way is
    // started once more without parameters, not waited for.
    void OfferUpdate();

    // The update prompt: caption "升级提示", buttons "确定" and "取消"; true for "确定".
    bool AskToUpdate();

    THttpFileDownload *FileDownload1 = nullptr;

private:
    // Events of the download component.
    void FileDownload1GetData();
    void FileDownload1Completed();
    void FileDownload1Error(int code, const QString &message);
    // After the pause that follows an error: counts it, and resumes or gives up.
    void RetryAfterError();
    void EndWait();

    const TGlobalManager &FSettings;
    const QString FListAddress;
    QTimer FErrorPause;
    QEventLoop *FWait = nullptr; // the loop DownloadFile waits in
    bool FGivenUp = false;
};

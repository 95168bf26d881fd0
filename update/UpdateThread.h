#pragma once

#include <QPointer>
#include <QThread>

class TUpdateForm;

// The background update thread. It does no work of its own: it hands the update check, and
// when that found the next release the update prompt, to the user-interface thread and
// waits for each. Created not running; start it at idle priority
// (start(QThread::IdlePriority)). It frees itself when its run ends and is never waited for.
class TUpdateThread : public QThread {
    Q_OBJECT

public:
    explicit TUpdateThread(TUpdateForm *form);
    ~TUpdateThread() override;

    // The result of the check; false until it has run, and when it failed.
    bool UpdateFound = false;

protected:
    void run() override;

private:
    // Each step runs on the user-interface thread, where the window lives; the window is
    // only looked at there, so a window that is gone is simply skipped.
    void RunCheck();
    void RunOffer();

    // When the application object goes while a thread still exists (the program was closed
    // during the check or the prompt), the steps that will never run are dropped, which
    // wakes the thread, and it is let end and freed, so no thread outlives the application.
    static void EndLeftOverThreads();

    QPointer<TUpdateForm> FForm;
};

#include "update/UpdateThread.h"

#include "update/UpdateForm.h"

#include <QCoreApplication>
#include <QList>

#include <exception>

namespace {

// The update threads that exist; touched on the user-interface thread only.
QList<TUpdateThread *> &LiveThreads() {
    static QList<TUpdateThread *> threads;
    return threads;
}

} // namespace

TUpdateThread::TUpdateThread(TUpdateForm *form) : FForm(form) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    if (LiveThreads().isEmpty()) {
        qAddPostRoutine(&TUpdateThread::EndLeftOverThreads);
    }
    LiveThreads().append(this);
}

TUpdateThread::~TUpdateThread() {
    LiveThreads().removeOne(this);
    if (LiveThreads().isEmpty()) {
        qRemovePostRoutine(&TUpdateThread::EndLeftOverThreads);
    }
}

void TUpdateThread::EndLeftOverThreads() {
    const QList<TUpdateThread *> threads = LiveThreads();
    for (TUpdateThread *thread : threads) {
        // A dropped step releases the thread that waits for it; it may queue one more.
        do {
            QCoreApplication::removePostedEvents(thread);
        } while (!thread->wait(10));
        delete thread;
    }
}

void TUpdateThread::run() {
    // The thread object lives on the user-interface thread, so a call queued to it runs
    // there; blocking waits until it has run (or until the program has gone).
    QMetaObject::invokeMethod(this, &TUpdateThread::RunCheck, Qt::BlockingQueuedConnection);
    if (UpdateFound) {
        QMetaObject::invokeMethod(this, &TUpdateThread::RunOffer, Qt::BlockingQueuedConnection);
    }
}

void TUpdateThread::RunCheck() {
    if (FForm == nullptr) {
        return;
    }
    try {
        UpdateFound = FForm->CheckUpdate();
    } catch (const std::exception &) {
        // A list that cannot be read offers nothing, and the update shows no message.
        UpdateFound = false;
    }
}

void TUpdateThread::RunOffer() {
    if (FForm != nullptr) {
        FForm->OfferUpdate();
    }
}

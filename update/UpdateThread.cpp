#include "update/UpdateThread.h"

#include "update/UpdateForm.h"

#include <exception>

TUpdateThread::TUpdateThread(TUpdateForm *form) : FForm(form) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
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

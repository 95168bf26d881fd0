#include "update/UpdateForm.h"

#include "app/GlobalManager.h"
#include "app/MessageBox.h"
#include "app/ThemeManager.h"
#include "update/HttpFileDownload.h"
#include "update/UpdateList.h"
#include "update/UpdatePaths.h"
#include "util/Tools.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>

namespace {

const QString PromptCaption = QStringLiteral("升级提示");
const QString PromptText = QStringLiteral("网上已有新版本,是否进行升级?");

} // namespace

TUpdateForm::TUpdateForm(const TGlobalManager &settings, const QString &listAddress,
                         TTimings timings)
    : FSettings(settings), FListAddress(listAddress) {
    setObjectName(QStringLiteral("UpdateForm"));
    setFont(ThemeManager::DefaultFont());
    ThemeManager::ApplyTheme(this, FSettings);

    FileDownload1 = new THttpFileDownload(this);
    FileDownload1->SetStallTimeout(timings.StallTimeout);
    FileDownload1->SetSizeLimit(UpdateList::MaxSize);
    connect(FileDownload1, &THttpFileDownload::GetData, this, &TUpdateForm::FileDownload1GetData);
    connect(FileDownload1, &THttpFileDownload::Completed, this,
            &TUpdateForm::FileDownload1Completed);
    connect(FileDownload1, &THttpFileDownload::Error, this, &TUpdateForm::FileDownload1Error);

    FErrorPause.setSingleShot(true);
    FErrorPause.setInterval(timings.ErrorPause);
    connect(&FErrorPause, &QTimer::timeout, this, &TUpdateForm::RetryAfterError);
}

TUpdateForm::~TUpdateForm() = default;

bool TUpdateForm::CheckUpdate() {
    const QString localPath = UpdatePaths::LocalListPath(FSettings.AppDir(), FListAddress);
    if (!DownloadFile(FListAddress, localPath)) {
        return false;
    }
    bool found = false;
    try {
        found = UpdateList::FileListsRelease(localPath, qint64{FSettings.AppVersion} + 1);
    } catch (...) {
        QFile::remove(localPath);
        throw;
    }
    QFile::remove(localPath);
    return found;
}

bool TUpdateForm::DownloadFile(const QString &address, const QString &localPath) {
    Completed = false;
    FGivenUp = false;
    QDir().mkpath(QFileInfo(localPath).absolutePath());
    FileDownload1->Start(QUrl(address), localPath, 0);

    // The events of the download end this loop; so does the application's quitting, which
    // ends every running loop.
    QEventLoop wait;
    FWait = &wait;
    wait.exec();
    FWait = nullptr;

    if (!Completed) {
        // Given up, or the program is closing: nothing of this download goes on.
        FErrorPause.stop();
        FileDownload1->Stop();
    }
    return Completed;
}

void TUpdateForm::EndWait() {
    if (FWait != nullptr) {
        FWait->quit();
    }
}

void TUpdateForm::FileDownload1GetData() {
    ErrorCount = 0;
}

void TUpdateForm::FileDownload1Completed() {
    Completed = true;
    EndWait();
}

void TUpdateForm::FileDownload1Error(int code, const QString &message) {
    Q_UNUSED(message)
    if (THttpFileDownload::IsPermanent(code)) {
        // Another attempt cannot mend this one.
        ErrorCount = MaxErrors;
        FGivenUp = true;
        EndWait();
        return;
    }
    // The pause is a timer: the program goes on meanwhile.
    FErrorPause.start();
}

void TUpdateForm::RetryAfterError() {
    ++ErrorCount;
    if (ErrorCount < MaxErrors) {
        const QString localFile = FileDownload1->CurrentLocalFile();
        FileDownload1->Start(FileDownload1->CurrentAddress(), localFile,
                             THttpFileDownload::LocalFileSize(localFile));
        return;
    }
    FileDownload1->Stop();
    FGivenUp = true;
    EndWait();
}

bool TUpdateForm::AskToUpdate() {
    if (const std::optional<bool> answer =
            TMessageBoxHook::Answer({TMessageBoxHook::TKind::Question, PromptText, {}})) {
        return *answer;
    }
    QMessageBox box(QMessageBox::Information, PromptCaption, PromptText, QMessageBox::NoButton,
                    this);
    box.setObjectName(QStringLiteral("suiMessageDialog1"));
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton *ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel);
    // Centred on the screen: the update window itself is never shown.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        box.adjustSize();
        box.move(screen->availableGeometry().center() - box.rect().center());
    }
    box.exec();
    return box.clickedButton() == ok;
}

void TUpdateForm::OfferUpdate() {
    if (!AskToUpdate()) {
        return;
    }
    const QString updater = UpdatePaths::UpdaterPath(FSettings.AppDir());
    if (!RunAndWait(updater, QStringLiteral("open"))) {
        // Not waited for, and its outcome not looked at.
        QProcess::startDetached(updater, {});
    }
}

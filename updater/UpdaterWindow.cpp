#include "updater/UpdaterWindow.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

TUpdaterWindow::TUpdaterWindow(const QString &appDir, const QUrl &downloadPage, TOpenUrl openUrl)
    : FDownloadPage(downloadPage), FOpenUrl(std::move(openUrl)) {
    if (!FOpenUrl) {
        FOpenUrl = [](const QUrl &url) {
            return QDesktopServices::openUrl(url);
        };
    }
    setObjectName(QStringLiteral("UpdaterWindow"));
    setWindowTitle(QStringLiteral("明心轩阅读器升级"));

    const int installed = InstalledRelease(appDir);
    const QString release =
        installed > 0 ? QStringLiteral("%1，将升级到 %2").arg(installed).arg(installed + 1)
                      : QStringLiteral("未知");
    Details = new QLabel(QStringLiteral("将要升级的程序：%1\n已安装的版本：%2\n\n"
                                        "新版本的安装包请从下载页面获取：\n%3")
                             .arg(QDir(appDir).filePath(QStringLiteral("mxreader")), release,
                                  downloadPage.toString()),
                         this);
    Details->setTextFormat(Qt::PlainText);
    Details->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *buttons = new QDialogButtonBox(this);
    OpenPageButton =
        buttons->addButton(QStringLiteral("打开下载页面"), QDialogButtonBox::AcceptRole);
    CloseButton = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    OpenPageButton->setDefault(true);
    connect(OpenPageButton, &QPushButton::clicked, this, &TUpdaterWindow::OpenDownloadPage);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Details);
    layout->addWidget(buttons);
}

int TUpdaterWindow::InstalledRelease(const QString &appDir) {
    const QSettings config(QDir(appDir).filePath(QStringLiteral("Config.ini")),
                           QSettings::IniFormat);
    bool ok = false;
    const int release =
        config.value(QStringLiteral("Main/AppVersion")).toString().trimmed().toInt(&ok);
    return ok && release > 0 ? release : 0;
}

void TUpdaterWindow::OpenDownloadPage() {
    FOpenUrl(FDownloadPage);
    accept();
}

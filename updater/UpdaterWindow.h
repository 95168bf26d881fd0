#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

#include <functional>

class QLabel;
class QPushButton;

// The updater's window: what it would update (the program in its folder, the installed
// release from Config.ini and the next one) and a button that opens the download page.
class TUpdaterWindow : public QDialog {
    Q_OBJECT

public:
    using TOpenUrl = std::function<bool(const QUrl &)>;

    // The opener defaults to the user's browser; tests give their own.
    TUpdaterWindow(const QString &appDir, const QUrl &downloadPage, TOpenUrl openUrl = {});

    // The installed release that Config.ini in the folder names; 0 when it names none.
    static int InstalledRelease(const QString &appDir);

    QLabel *Details = nullptr;
    QPushButton *OpenPageButton = nullptr;
    QPushButton *CloseButton = nullptr;

private:
    void OpenDownloadPage();

    QUrl FDownloadPage;
    TOpenUrl FOpenUrl;
};

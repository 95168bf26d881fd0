// The entry point: the settings first, then the application object and the main window;
// the window goes before the settings, which write Config.ini once more when they go.
#include "app/Addresses.h"
#include "app/Application.h"
#include "app/GlobalManager.h"
#include "app/MainForm.h"
#include "app/MessageBox.h"
#include "app/Pictures.h"
#include "app/ThemeManager.h"
#include "update/UpdateListAddress.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <exception>

namespace {

// The folder of the running executable, known before the application object exists.
QString ExecutableFolder(const char *argv0) {
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (!self.isEmpty()) {
        return QFileInfo(self).absolutePath();
    }
    return QFileInfo(QString::fromLocal8Bit(argv0)).absoluteDir().absolutePath();
}

// Qt's own dialog texts (file dialogs, standard buttons) in Chinese, when the translation
// is installed.
void LoadQtTranslation(QApplication &app) {
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    }
}

// Start-up measurement for development: with MX_REPORT_STARTUP=1 the time from the first
// statement of main to the first painted window goes to stderr; with MX_QUIT_AFTER_SHOW=1
// the program then ends.
class TStartupReport : public QObject {
public:
    TStartupReport(QWidget *window, const QElapsedTimer &clock) : FWindow(window), FClock(clock) {
        if (qEnvironmentVariableIntValue("MX_REPORT_STARTUP") == 1 ||
            qEnvironmentVariableIntValue("MX_QUIT_AFTER_SHOW") == 1) {
            FWindow->installEventFilter(this);
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == FWindow && !FDone &&
            (event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest)) {
            FDone = true;
            FWindow->removeEventFilter(this);
            // After this paint has reached the screen.
            QTimer::singleShot(0, FWindow, [this] { Finish(); });
        }
        return false;
    }

private:
    void Finish() {
        if (qEnvironmentVariableIntValue("MX_REPORT_STARTUP") == 1) {
            std::fprintf(stderr, "startup: %lld ms\n", static_cast<long long>(FClock.elapsed()));
        }
        if (qEnvironmentVariableIntValue("MX_QUIT_AFTER_SHOW") == 1) {
            FWindow->close();
        }
    }

    QWidget *FWindow;
    const QElapsedTimer &FClock;
    bool FDone = false;
};

} // namespace

int main(int argc, char *argv[]) {
    QElapsedTimer startClock;
    startClock.start();

    TGlobalManager settings(ExecutableFolder(argv[0]));

    TApplication app(argc, argv);
    TApplication::setApplicationName(QStringLiteral("mxreader"));
    TApplication::setApplicationDisplayName(QStringLiteral("明心轩阅读器"));
    TApplication::setFont(ThemeManager::DefaultFont());
    TApplication::setWindowIcon(Pictures::AppIcon());
    LoadQtTranslation(app);
    // The background update check of the main window fetches the build's address.
    UpdateListAddress::Set(QString::fromUtf8(Addresses::UpdateList));

    try {
        TMainForm form(settings);
        TStartupReport report(&form, startClock);
        form.show();
        return TApplication::exec();
    } catch (const std::exception &error) {
        // Only a window that cannot even be built ends up here.
        MessageBox::Error(nullptr, QString::fromUtf8(error.what()),
                          QStringLiteral("程序无法启动。"));
        return 1;
    }
}

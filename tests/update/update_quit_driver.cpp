// A start of the program for the closing tests: the main window on an application folder,
// its update check on a given address, the update prompt answered "确定". The window is
// closed as a user would close it, after a delay or once a file exists; the driver prints
// when it closed the window and when everything had ended (milliseconds since its start).
//
//     update_quit_driver APP_DIR LIST_ADDRESS (after=MS | file=PATH)
#include "app/Application.h"
#include "app/GlobalManager.h"
#include "app/MainForm.h"
#include "app/MessageBox.h"
#include "update/UpdateListAddress.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: update_quit_driver APP_DIR LIST_ADDRESS after=MS|file=PATH\n");
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    const QString condition = QString::fromLocal8Bit(argv[3]);
    int result = 0;
    {
        TGlobalManager settings(QString::fromLocal8Bit(argv[1]));
        TApplication app(argc, argv);
        TMessageBoxHook::Install();
        TMessageBoxHook::QueueAnswer(true);
        UpdateListAddress::Set(QString::fromLocal8Bit(argv[2]));
        {
            TMainForm form(settings);
            form.show();
            QTimer poll;
            poll.setInterval(20);
            QObject::connect(&poll, &QTimer::timeout, &form, [&] {
                const bool due = condition.startsWith(u"after=")
                                     ? clock.elapsed() >= condition.mid(6).toLongLong()
                                     : QFileInfo::exists(condition.mid(5));
                if (due) {
                    poll.stop();
                    std::printf("closing %lld\n", static_cast<long long>(clock.elapsed()));
                    std::fflush(stdout);
                    form.close();
                }
            });
            poll.start();
            result = TApplication::exec();
        }
    }
    std::printf("ended %lld\n", static_cast<long long>(clock.elapsed()));
    return result;
}

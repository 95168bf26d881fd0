// The updater: started by the program with "open" (or, as a fallback, without parameters),
// it shows what it would update and opens the download page on request.
#include "app/Addresses.h"
#include "updater/UpdaterWindow.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("明心轩阅读器升级"));
    const QStringList arguments = QApplication::arguments().mid(1);
    if (!arguments.isEmpty() && arguments != QStringList{QStringLiteral("open")}) {
        std::fprintf(stderr, "usage: AutoPatch [open]\n");
        return 2;
    }
    TUpdaterWindow window(QApplication::applicationDirPath(),
                          QUrl(QString::fromUtf8(Addresses::DownloadPage)));
    window.show();
    return QApplication::exec();
}

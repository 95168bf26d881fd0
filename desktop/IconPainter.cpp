// Paints the program's icon into a hicolor-style folder tree during the build:
// mx_paint_icons OUTPUT_DIR SIZE... writes OUTPUT_DIR/<SIZE>/mxreader.png for each size.
#include "app/AppIconPicture.h"

#include <QDir>
#include <QString>

#include <cstdio>

int main(int argc, char *argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: mx_paint_icons OUTPUT_DIR SIZE...\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        bool number = false;
        const int side = QString::fromLocal8Bit(argv[i]).toInt(&number);
        if (!number || side < 1 || side > 1024) {
            std::fprintf(stderr, "mx_paint_icons: bad size %s\n", argv[i]);
            return 2;
        }
        const QString folder = output + QLatin1Char('/') + QString::number(side);
        const QString file = folder + QStringLiteral("/mxreader.png");
        if (!QDir().mkpath(folder) || !AppIconPicture::Paint(side).save(file, "PNG")) {
            std::fprintf(stderr, "mx_paint_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

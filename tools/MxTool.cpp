// mxtool: the command-line face of the core library.
#include "tools/ToolCommands.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstring>

namespace {

int PrintUsage(QTextStream &out) {
    out << "usage: mxtool JOB [ARGS...]\n";
    for (int i = 0; i < ToolCommandCount; ++i) {
        out << "  mxtool " << ToolCommands[i].Usage << '\n';
    }
    return 2;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    QTextStream err(stderr);
    if (args.isEmpty()) {
        return PrintUsage(err);
    }
    const QString job = args.takeFirst();
    for (int i = 0; i < ToolCommandCount; ++i) {
        if (job == QLatin1String(ToolCommands[i].Name) && ToolCommands[i].Run != nullptr) {
            return ToolCommands[i].Run(args);
        }
    }
    if (job == QLatin1String("help") || job == QLatin1String("--help")) {
        QTextStream out(stdout);
        PrintUsage(out);
        return 0;
    }
    err << "mxtool: unknown job '" << job << "'\n";
    return PrintUsage(err);
}

// mx_pacer_drive: runs a reader module the way the program does, on text files, for looking
// at it and measuring it by hand (never run by ctest).
//
//   mx_pacer_drive MODULE FILE... [--config TEXT] [--at MS ACTION]... [--measure]
//
// Each FILE (UTF-8) is one article: its first line the title, its second the author, the
// rest the text. ACTION, done MS milliseconds after the reading starts, is one of key:NAME
// (Space Left Right Up Down Home End PgUp PgDn Backspace Esc F11 M [ ]), shot:PATH (a picture
// of the reading window) or quit (Esc). --measure reports, when the first article's last step
// ends, the wall-clock time against the schedule's total (the module's own clock). The
// configuration the module hands back is printed at the end.

#include "reading/ReaderService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLibrary>
#include <QMainWindow>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>

namespace {

const QHash<QString, int> KeyNames{
    {"Space", Qt::Key_Space},
    {"Left", Qt::Key_Left},
    {"Right", Qt::Key_Right},
    {"Up", Qt::Key_Up},
    {"Down", Qt::Key_Down},
    {"Home", Qt::Key_Home},
    {"End", Qt::Key_End},
    {"PgUp", Qt::Key_PageUp},
    {"PgDn", Qt::Key_PageDown},
    {"Backspace", Qt::Key_Backspace},
    {"Esc", Qt::Key_Escape},
    {"F11", Qt::Key_F11},
    {"M", Qt::Key_M},
    {"[", Qt::Key_BracketLeft},
    {"]", Qt::Key_BracketRight},
};

QWidget *ReadingWindow() {
    return QApplication::activeModalWidget();
}

void Press(int key) {
    if (QWidget *window = ReadingWindow()) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(window, &press);
        QApplication::sendEvent(window, &release);
    }
}

void Act(const QString &action) {
    if (action.startsWith(QLatin1String("key:"))) {
        Press(KeyNames.value(action.mid(4), 0));
    } else if (action.startsWith(QLatin1String("shot:"))) {
        if (QWidget *window = ReadingWindow()) {
            window->grab().save(action.mid(5));
        }
    } else if (action == QLatin1String("quit")) {
        Press(Qt::Key_Escape);
    }
}

TArticleDTO ReadArticle(const QString &path) {
    QFile file(path);
    TArticleDTO article;
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return article;
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    article.Title = lines.value(0).trimmed();
    article.Author = lines.value(1).trimmed();
    article.Lines = lines.mid(2);
    return article;
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: mx_pacer_drive MODULE FILE... [--config TEXT] "
                             "[--at MS ACTION]... [--measure]\n");
        return 2;
    }
    TArticleDTOList articles;
    QString config;
    bool measure = false;
    QList<QPair<int, QString>> actions;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--config") && i + 1 < args.size()) {
            config = args[++i];
        } else if (args[i] == QLatin1String("--at") && i + 2 < args.size()) {
            actions.append({args[i + 1].toInt(), args[i + 2]});
            i += 2;
        } else if (args[i] == QLatin1String("--measure")) {
            measure = true;
        } else {
            articles.append(ReadArticle(args[i]));
        }
    }

    QMainWindow host;
    host.setWindowTitle(QStringLiteral("明心轩阅读器"));
    host.resize(1024, 700);
    host.show();

    QLibrary module(args[0]);
    const auto getInstance =
        reinterpret_cast<TGetReaderInstance>(module.resolve(ReaderEntryPointName));
    if (getInstance == nullptr) {
        std::fprintf(stderr, "%s\n", qPrintable(module.errorString()));
        return 1;
    }
    IReaderService *service = getInstance(&app, app.primaryScreen());

    QElapsedTimer wall;
    for (const auto &[ms, action] : actions) {
        QTimer::singleShot(ms, Qt::PreciseTimer, &app, [action] { Act(action); });
    }
    QTimer poll;
    if (measure) {
        poll.setTimerType(Qt::PreciseTimer);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget *window = ReadingWindow();
            if (window != nullptr && window->property("finished").toBool()) {
                const qint64 total = window->property("totalMs").toLongLong();
                const qint64 spent = wall.elapsed();
                std::printf("schedule %lld ms, wall clock %lld ms, drift %+lld ms (%+.3f %%)\n",
                            static_cast<long long>(total), static_cast<long long>(spent),
                            static_cast<long long>(spent - total),
                            total > 0 ? 100.0 * double(spent - total) / double(total) : 0.0);
                std::fflush(stdout);
                poll.stop();
                Press(Qt::Key_Escape);
            }
        });
        poll.start(2);
    }
    wall.start();
    service->RunReading(articles, config, 1, 1);
    std::printf("%s\n", qPrintable(service->GetConfig()));
    service->Release();
    module.unload();
    return 0;
}

// mx_pacer_drive: runs a reader module the way the program does (GetInstance, RunReading,
// GetConfig, Release, unload) on text files, drives it by a script of timed actions and
// measures its pacing against an independent monotonic clock.
//
//   mx_pacer_drive MODULE [--config TEXT] [--run SECONDS] [--at SECONDS:ACTION]... FILE...
//
// ACTION is key:NAME (Space Up Down Left Right Home PageUp PageDown F11 Escape, or a letter),
// shot:PATH.png (a picture of the reading window) or report (the pacing so far, on stdout).
// After --run seconds (default 10) the pacing is reported and Esc ends the reading; the
// configuration the module hands back is printed last.
#include "reading/ReaderService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLibrary>
#include <QMetaObject>
#include <QScreen>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

QTextStream &Out() {
    static QTextStream out(stdout);
    return out;
}

QWidget *ReadingWindow() {
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->metaObject()->indexOfMethod("PositionMs()") >= 0) {
            return window;
        }
    }
    return nullptr;
}

template <typename T> T Ask(QWidget *window, const char *method) {
    T value{};
    QMetaObject::invokeMethod(window, method, Qt::DirectConnection,
                              QReturnArgument<T>(QMetaType::fromType<T>().name(), value));
    return value;
}

int KeyOf(const QString &name) {
    static const QHash<QString, int> keys{
        {"Space", Qt::Key_Space},   {"Up", Qt::Key_Up},
        {"Down", Qt::Key_Down},     {"Left", Qt::Key_Left},
        {"Right", Qt::Key_Right},   {"Home", Qt::Key_Home},
        {"PageUp", Qt::Key_PageUp}, {"PageDown", Qt::Key_PageDown},
        {"F11", Qt::Key_F11},       {"Escape", Qt::Key_Escape},
        {"[", Qt::Key_BracketLeft}, {"]", Qt::Key_BracketRight}};
    if (keys.contains(name)) {
        return keys.value(name);
    }
    return name.size() == 1 ? name.at(0).toUpper().unicode() : 0;
}

void Report(const QElapsedTimer &wall, qint64 readingStartMs) {
    QWidget *window = ReadingWindow();
    if (window == nullptr) {
        Out() << "no reading window\n";
        return;
    }
    const qint64 wallMs = wall.elapsed() - readingStartMs;
    const qint64 position = Ask<qint64>(window, "PositionMs");
    const int cpm = Ask<int>(window, "Cpm");
    const int chars = Ask<int>(window, "CharsBefore");
    Out() << "wall " << wallMs << " ms, module clock " << position << " ms (drift "
          << (position - wallMs) << " ms, "
          << QString::number(100.0 * (position - wallMs) / std::max<qint64>(1, wallMs), 'f', 3)
          << " %), article " << Ask<int>(window, "ArticleIndex") + 1 << ", step "
          << Ask<int>(window, "StepIndex") << ", " << chars << " chars before it (expected "
          << QString::number(cpm * wallMs / 60000.0, 'f', 1) << " at " << cpm
          << " cpm), step lateness last " << Ask<qint64>(window, "LastLateMs") << " ms, mean "
          << QString::number(Ask<double>(window, "MeanLateMs"), 'f', 1) << " ms, max "
          << Ask<qint64>(window, "MaxLateMs") << " ms, page turns " << Ask<int>(window, "PageTurns")
          << '\n';
    Out().flush();
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: mx_pacer_drive MODULE [--config TEXT] [--run SECONDS] "
                             "[--at SECONDS:ACTION]... FILE...\n");
        return 2;
    }
    const QString modulePath = args.takeFirst();
    QString config;
    double runSeconds = 10;
    QList<QPair<double, QString>> actions;
    TArticleDTOList articles;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--config") && !args.isEmpty()) {
            config = args.takeFirst();
        } else if (arg == QLatin1String("--run") && !args.isEmpty()) {
            runSeconds = args.takeFirst().toDouble();
        } else if (arg == QLatin1String("--at") && !args.isEmpty()) {
            const QString at = args.takeFirst();
            actions.append(
                {at.section(QLatin1Char(':'), 0, 0).toDouble(), at.section(QLatin1Char(':'), 1)});
        } else {
            QFile file(arg);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(arg));
                return 1;
            }
            TArticleDTO article;
            const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
            article.Title = lines.value(0).trimmed();
            article.Author = lines.value(1).trimmed();
            for (const QString &line : lines.mid(2)) {
                article.Lines << QString(line).remove(QLatin1Char('\r'));
            }
            articles.append(article);
        }
    }

    QLibrary module(modulePath);
    const auto getInstance =
        reinterpret_cast<TGetReaderInstance>(module.resolve(ReaderEntryPointName));
    if (getInstance == nullptr) {
        std::fprintf(stderr, "%s\n", qPrintable(module.errorString()));
        return 1;
    }
    QElapsedTimer wall;
    wall.start();
    qint64 readingStartMs = -1;
    // The reading's time starts when its window is first shown.
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (readingStartMs < 0 && ReadingWindow() != nullptr) {
            readingStartMs = wall.elapsed();
            watch.stop();
            for (const auto &action : actions) {
                QTimer::singleShot(
                    static_cast<int>(action.first * 1000), Qt::PreciseTimer, [&, action] {
                        QWidget *window = ReadingWindow();
                        const QString what = action.second;
                        if (window == nullptr) {
                            return;
                        }
                        if (what.startsWith(QLatin1String("key:"))) {
                            const int key = KeyOf(what.mid(4));
                            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
                            QApplication::sendEvent(window, &press);
                        } else if (what.startsWith(QLatin1String("shot:"))) {
                            window->grab().save(what.mid(5));
                            Out() << "shot " << what.mid(5) << " at " << action.first << " s\n";
                        } else if (what == QLatin1String("report")) {
                            Report(wall, readingStartMs);
                        }
                    });
            }
            QTimer::singleShot(static_cast<int>(runSeconds * 1000), Qt::PreciseTimer, [&] {
                Report(wall, readingStartMs);
                if (QWidget *window = ReadingWindow()) {
                    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                    QApplication::sendEvent(window, &escape);
                }
            });
        }
    });
    watch.start();

    IReaderService *service = getInstance(&app, app.primaryScreen());
    service->RunReading(articles, config, 1, 1);
    const QString handedBack = service->GetConfig();
    Out() << "config " << handedBack << '\n';
    Out().flush();
    service->Release();
    module.unload();
    return 0;
}

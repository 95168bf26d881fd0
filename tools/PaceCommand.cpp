// mxtool pace: the pacing schedule of a text, as the reader modules compute it.
#include "modules/PacerKit/FollowSchedule.h"
#include "modules/PacerKit/LineLayout.h"
#include "modules/PacerKit/LineSchedule.h"
#include "modules/PacerKit/WordCutter.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <optional>

namespace {

struct TPaceOptions {
    QString File;
    QString Method;
    int Cpm = 0;
    int Words = 5;  // follow: words a step
    int Lines = 1;  // follow: lines a step; line: 2 steps two lines at a time
    int Width = 30; // line: Chinese characters a line
    bool ByChars = false;
};

std::optional<int> PositiveNumber(const QString &text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value > 0 ? std::optional<int>(value) : std::nullopt;
}

// The options, or a message saying what is wrong with them.
std::optional<TPaceOptions> ParseOptions(QStringList args, QString &error) {
    TPaceOptions options;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--by-chars")) {
            options.ByChars = true;
            continue;
        }
        if (arg.startsWith(QLatin1String("--"))) {
            if (args.isEmpty()) {
                error = arg + QStringLiteral(" needs a value");
                return std::nullopt;
            }
            const QString value = args.takeFirst();
            if (arg == QLatin1String("--method")) {
                options.Method = value;
                continue;
            }
            const std::optional<int> number = PositiveNumber(value);
            int *target = arg == QLatin1String("--cpm")     ? &options.Cpm
                          : arg == QLatin1String("--words") ? &options.Words
                          : arg == QLatin1String("--lines") ? &options.Lines
                          : arg == QLatin1String("--width") ? &options.Width
                                                            : nullptr;
            if (target == nullptr) {
                error = QStringLiteral("unknown option ") + arg;
                return std::nullopt;
            }
            if (!number) {
                error = arg + QStringLiteral(" takes a whole number above 0, not ") + value;
                return std::nullopt;
            }
            *target = *number;
            continue;
        }
        if (!options.File.isEmpty()) {
            error = QStringLiteral("one file only");
            return std::nullopt;
        }
        options.File = arg;
    }
    if (options.File.isEmpty() || options.Cpm <= 0) {
        error = QStringLiteral("a file and --cpm are needed");
        return std::nullopt;
    }
    if (options.Method != QLatin1String("line") && options.Method != QLatin1String("follow")) {
        error = QStringLiteral("--method is line or follow");
        return std::nullopt;
    }
    return options;
}

TPaceSchedule Schedule(const TPaceOptions &options, const QStringList &lines) {
    if (options.Method == QLatin1String("line")) {
        const QList<TLaidLine> laid = LayOutLines(lines, options.Width * 2, &TextCells);
        const TLineStepUnit unit =
            options.Lines >= 2 ? TLineStepUnit::TwoLines : TLineStepUnit::Line;
        return BuildLineSchedule(laid, unit, options.Cpm).Pace;
    }
    TFollowOptions follow;
    follow.WordsPerStep = options.Words;
    follow.LinesPerStep = options.Lines;
    follow.ByCharacters = options.ByChars;
    const TWordCutter cutter;
    return BuildFollowSchedule(lines, follow, cutter, options.Cpm);
}

} // namespace

int RunPaceCommand(const QStringList &args) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString error;
    const std::optional<TPaceOptions> options = ParseOptions(args, error);
    if (!options) {
        err << "mxtool pace: " << error << '\n';
        return 2;
    }
    QFile file(options->File);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "mxtool pace: cannot read " << options->File << ": " << file.errorString() << '\n';
        return 1;
    }
    const QString text = QString::fromUtf8(file.readAll());
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineBreak);
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast(); // the break after the last line ends it, it starts none
    }
    const TPaceSchedule schedule = Schedule(*options, lines);
    for (const TPaceStep &step : schedule.Steps) {
        out << step.StartMs << '\t' << step.DurationMs << '\t'
            << QString(step.Text).replace(QLatin1Char('\n'), QStringLiteral(" / ")) << '\n';
    }
    const int chars = schedule.TotalChars();
    const qint64 total = schedule.TotalMs();
    out << "total " << total << " ms for " << chars << " characters in " << schedule.Steps.size()
        << " steps: "
        << (total > 0 ? QString::number(chars * 60000.0 / total, 'f', 1) : QStringLiteral("-"))
        << " 字/分钟 (asked " << options->Cpm << ")\n";
    return 0;
}

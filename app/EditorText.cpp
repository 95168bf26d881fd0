#include "app/EditorText.h"

#include <QStringList>

#include <algorithm>

namespace EditorText {

bool IsBlankLine(const QString &line) {
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() <= 32; });
}

QString RemoveBlankLines(const QString &text) {
    const QChar lineBreak = QLatin1Char('\n');
    const bool finalBreak = text.endsWith(lineBreak);
    QStringList lines = text.split(lineBreak);
    if (finalBreak) {
        lines.removeLast(); // what follows the final break is no line
    }
    lines.removeIf(IsBlankLine);
    QString kept = lines.join(lineBreak);
    if (finalBreak && !lines.isEmpty()) {
        kept += lineBreak;
    }
    return kept;
}

} // namespace EditorText

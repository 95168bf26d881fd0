#include "app/EditorText.h"

#include <algorithm>

namespace EditorText {

bool IsBlankLine(const QString &line) {
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() <= 32; });
}

QStringList RemoveBlankLines(const QStringList &lines) {
    QStringList kept;
    kept.reserve(lines.size());
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(kept),
                 [](const QString &line) { return !IsBlankLine(line); });
    return kept;
}

} // namespace EditorText

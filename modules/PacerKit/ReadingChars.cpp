#include "ReadingChars.h"

namespace {

bool IsAsciiAlnum(char16_t u) {
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

} // namespace

int CountReadingChars(QStringView text) {
    int count = 0;
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text.at(i);
        if (c.unicode() >= 0x80) {
            ++count;
            if (c.isHighSurrogate() && i + 1 < length && text.at(i + 1).isLowSurrogate()) {
                ++i;
            }
        } else if (IsAsciiAlnum(c.unicode()) &&
                   (i + 1 == length || !IsAsciiAlnum(text.at(i + 1).unicode()))) {
            ++count;
        }
    }
    return count;
}

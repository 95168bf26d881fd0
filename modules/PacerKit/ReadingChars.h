#pragma once

#include <QStringView>

// Characters counted as the library counts words: a character outside ASCII (a surrogate pair
// is one character) counts one, an unbroken run of ASCII letters and digits counts one,
// nothing else counts. The reader modules time their steps by this count, so the pace shown
// in 字/分钟 is the pace of the library's own word counts.
int CountReadingChars(QStringView text);

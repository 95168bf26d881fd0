#include "Tools.h"

#include "util/Errors.h"
#include "util/TextDecoding.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QRandomGenerator>
#include <QTimer>
#include <limits>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// The scrambling key, used cyclically, one key character per byte.
constexpr char ScrambleKey[] = "Saffron";
constexpr int ScrambleKeyLength = sizeof(ScrambleKey) - 1;

void AppendHexByte(QString &out, int value) {
    static const char Digits[] = "0123456789ABCDEF";
    out.append(QLatin1Char(Digits[(value >> 4) & 0xF]));
    out.append(QLatin1Char(Digits[value & 0xF]));
}

int HexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    return -1;
}

// One or two hexadecimal digits; anything else (an empty text too) is a conversion error.
int HexValue(QStringView digits) {
    int value = 0;
    for (const QChar c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            value = -1;
            break;
        }
        value = value * 16 + digit;
    }
    if (digits.isEmpty() || value < 0) {
        throw EConvertError(QStringLiteral("“%1”不是有效的十六进制数").arg(digits));
    }
    return value;
}

bool IsAsciiAlnum(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

// CountWords counts runs of letters and digits only.
bool IsCountWordChar(QChar c) {
    return IsAsciiAlnum(c);
}

// CopyWords also keeps "&", "-" and "@" inside a word ("AT&T", "e-mail", "a@b").
bool IsCopyWordChar(QChar c) {
    return IsAsciiAlnum(c) || c == u'&' || c == u'-' || c == u'@';
}

bool IsSurrogatePairAt(const QString &text, qsizetype index) {
    return index + 1 < text.size() && text.at(index).isHighSurrogate() &&
           text.at(index + 1).isLowSurrogate();
}

struct TWordWalk {
    qsizetype End = 0; // index just after the last character walked
    int Words = 0;
};

// Walks the text from the 0-based index from, counting words until maxWords are counted or
// the text ends. A character outside ASCII is a word of its own (a surrogate pair is one
// character); a run of word characters counts once, at its last character.
TWordWalk WalkWords(const QString &text, qsizetype from, int maxWords, bool (*isWordChar)(QChar)) {
    TWordWalk walk;
    qsizetype i = from;
    const qsizetype length = text.size();
    while (i < length && walk.Words < maxWords) {
        const QChar c = text.at(i);
        if (c.unicode() >= 0x80) {
            ++walk.Words;
            if (IsSurrogatePairAt(text, i)) {
                ++i;
            }
        } else if (isWordChar(c) && (i + 1 == length || !isWordChar(text.at(i + 1)))) {
            ++walk.Words;
        }
        ++i;
    }
    walk.End = i;
    return walk;
}

// A process that outlives the wait is kept, never destroyed: destroying a QProcess kills
// it, and a program such as the updater must go on after the application has ended.
void LetRunOn(QProcess *process) {
    static auto *const running = new QList<QProcess *>;
    running->append(process);
}

} // namespace

QString ExtractUrlFileName(const QString &text) {
    return text.mid(text.lastIndexOf(u'/') + 1);
}

QString ScrambleText(const QByteArray &bytes) {
    return ScrambleText(bytes,
                        [] { return static_cast<int>(QRandomGenerator::global()->bounded(256)); });
}

QString ScrambleText(const QByteArray &bytes, const std::function<int()> &randomByte) {
    if (bytes.isEmpty()) {
        return {};
    }
    QString out;
    out.reserve(2 + 2 * bytes.size());
    int value = randomByte() & 0xFF;
    AppendHexByte(out, value);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int byte = static_cast<unsigned char>(bytes.at(i));
        value = ((byte + value) % 255) ^ ScrambleKey[i % ScrambleKeyLength];
        AppendHexByte(out, value);
    }
    return out;
}

QByteArray UnscrambleText(const QString &hex) {
    if (hex.isEmpty()) {
        return {};
    }
    int previous = HexValue(QStringView(hex).left(2));
    QByteArray out;
    out.reserve(hex.size() / 2);
    qsizetype pos = 2;
    qsizetype keyIndex = 0;
    // The first pair after the leading value is always read (a lone odd digit as one
    // digit); further pairs only while a whole pair is left.
    do {
        const int stored = HexValue(QStringView(hex).mid(pos, 2));
        const int sum = stored ^ ScrambleKey[keyIndex % ScrambleKeyLength];
        const int byte = sum > previous ? sum - previous : sum + 255 - previous;
        out.append(static_cast<char>(byte));
        previous = stored;
        pos += 2;
        ++keyIndex;
    } while (hex.size() > pos + 1);
    return out;
}

int CountWords(const QString &text) {
    return WalkWords(text, 0, std::numeric_limits<int>::max(), IsCountWordChar).Words;
}

QString CopyWords(const QString &text, int &start, int maxWords) {
    if (start < 1) {
        start = 1;
    }
    // Never begin on the low half of a surrogate pair.
    while (start <= text.size() && start >= 2 && text.at(start - 1).isLowSurrogate() &&
           text.at(start - 2).isHighSurrogate()) {
        ++start;
    }
    if (start > text.size()) {
        return {};
    }
    const qsizetype from = start - 1;
    const TWordWalk walk = WalkWords(text, from, maxWords, IsCopyWordChar);
    start = static_cast<int>(walk.End + 1);
    return text.mid(from, walk.End - from);
}

QList<QByteArray> ListFiles(const QByteArray &folder) {
    QList<QByteArray> list;
    if (!folder.isEmpty()) {
        CollectFiles(folder, folder, list);
    }
    return list;
}

QStringList ListFiles(const QString &folder) {
    QStringList list;
    for (const QByteArray &path : ListFiles(QFile::encodeName(folder))) {
        list.append(DecodePath(path));
    }
    return list;
}

void CollectFiles(const QByteArray &folder, const QByteArray &root, QList<QByteArray> &list) {
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folder.constData()), ::closedir);
    if (!dir) {
        return;
    }
    const int dirFd = ::dirfd(dir.get());
    while (const dirent *entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        const QByteArray path = folder + '/' + name;
        struct stat status {};
        if (::fstatat(dirFd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (S_ISDIR(status.st_mode)) {
            CollectFiles(path, root, list);
        } else if (S_ISREG(status.st_mode)) {
            list.append(path);
        } else if (S_ISLNK(status.st_mode)) {
            // A link counts as what it points at, when that is a file. A linked folder may
            // lead back up the tree: its files are not below this one.
            struct stat target {};
            if (::fstatat(dirFd, entry->d_name, &target, 0) == 0 && S_ISREG(target.st_mode)) {
                list.append(path);
            }
        }
        // Pipes, sockets and devices are left out: reading one would block the reader.
    }
}

QString LowerFileExt(const QString &fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0 || dot < fileName.lastIndexOf(u'/')) {
        return {};
    }
    QString ext = fileName.mid(dot + 1);
    for (QChar &c : ext) {
        if (c >= u'A' && c <= u'Z') {
            c = QChar(c.unicode() + (u'a' - u'A'));
        }
    }
    return ext;
}

bool RunAndWait(const QString &fileName, const QString &parameters) {
    auto process = std::make_unique<QProcess>();
    process->setProgram(fileName);
    process->setArguments(QProcess::splitCommand(parameters));
    // The program talks to the terminal, not to us: nothing piles up in unread pipes.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted()) {
        return false;
    }

    if (QCoreApplication::instance() == nullptr) {
        process->waitForFinished(-1);
    } else {
        // A quit request ends every running event loop, this one too; the timer wakes the
        // wait every 100 ms to notice an application that is closing down.
        QEventLoop wait;
        QObject::connect(process.get(), &QProcess::finished, &wait, &QEventLoop::quit);
        QTimer slice;
        slice.setInterval(100);
        QObject::connect(&slice, &QTimer::timeout, &wait, [&wait, &process] {
            if (QCoreApplication::closingDown() || process->state() == QProcess::NotRunning) {
                wait.quit();
            }
        });
        slice.start();
        if (process->state() != QProcess::NotRunning) {
            wait.exec();
        }
    }

    if (process->state() != QProcess::NotRunning) {
        LetRunOn(process.release());
    }
    return true;
}

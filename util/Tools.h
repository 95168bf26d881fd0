#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Shared helpers: free functions without state of their own.
//
// Word rules work on characters: a character outside ASCII is one word, an unbroken run of
// ASCII word characters is one word, nothing else counts. Positions are 1-based QString
// indexes; the low half of a surrogate pair is never a place to start or end a piece.

// The part of a web address after its last "/"; the whole text when it holds no "/".
QString ExtractUrlFileName(const QString &text);

// Scrambles bytes into upper-case hexadecimal digits: two for a random leading value, two
// for each byte. The same bytes scramble differently each time. Empty bytes give "".
QString ScrambleText(const QByteArray &bytes);
// The same with the random source given: randomByte() returns the leading value (0-255).
QString ScrambleText(const QByteArray &bytes, const std::function<int()> &randomByte);

// The bytes back from their scrambled form; digits of either case. Raises EConvertError for
// a pair that is not hexadecimal and for an input of one or two characters.
QByteArray UnscrambleText(const QString &hex);

// The number of words in the text (word characters: ASCII letters and digits).
int CountWords(const QString &text);

// The piece of text that begins at the 1-based position start and holds at most maxWords
// words (word characters: ASCII letters, digits, "&", "-" and "@"). The piece ends right
// after its last word; start moves just past the piece. Start past the end gives "" and
// leaves start where it is.
QString CopyWords(const QString &text, int &start, int maxWords);

// The full path of every file in the folder and in all its subfolders, "/" as separator,
// in the order the file system lists them; a subfolder's files come where the subfolder
// comes. Paths are the bytes the file system holds, so a name that is not UTF-8 (GBK names
// from Windows archives) is listed and can be opened. Links to files are listed; links to
// folders are not followed (no loops); broken links, fifos, sockets and devices are left out.
// A missing or unreadable folder gives an empty list.
QList<QByteArray> ListFiles(const QByteArray &folder);
// The same for a folder typed by the user, each path decoded for showing (DecodePath).
QStringList ListFiles(const QString &folder);
// The recursive worker of ListFiles: appends the files below folder to list.
void CollectFiles(const QByteArray &folder, const QByteArray &root, QList<QByteArray> &list);

// The extension of the file name without its dot, ASCII letters in lower case; "" if none.
QString LowerFileExt(const QString &fileName);

// Starts the program with the parameters (split like a command line) and waits until it
// has ended, handling events meanwhile. Stops waiting, and leaves the program running,
// when the application quits. False when the program cannot be started.
bool RunAndWait(const QString &fileName, const QString &parameters);

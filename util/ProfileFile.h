#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// An INI profile file with the semantics of the Windows profile-string functions, held in
// memory so that a batch of keys is written with one save.
//
// A section header line holds the section name in square brackets; a key line holds the
// key, "=" and the value. Section and key names compare without regard to letter case;
// names and values are read without the blanks around them, and a value in matching quotes
// without its quotes. The first section and the first key of a name count.
//
// The file is code page 936 (GB18030) text, read with any line ends and written with CR LF.
// Writing a key touches only its own line: a missing key is added at the end of its section,
// a missing section at the end of the file; every other line keeps its bytes.
class TProfileFile {
public:
    // Loads the file; a missing or unreadable file reads as empty.
    explicit TProfileFile(const QString &fileName);

    QString FileName() const { return FFileName; }

    // The value of the key, or defaultValue when the section or the key is missing.
    QString ReadString(const QString &section, const QString &key,
                       const QString &defaultValue) const;
    // Sets the key in memory; Save writes it.
    void WriteString(const QString &section, const QString &key, const QString &value);

    // Writes the whole file through a temporary file in the same folder, so a failed write
    // leaves the old file as it was. Raises EWriteError("写 <path> 失败").
    void Save() const;

private:
    struct TLine {
        QByteArray Raw; // the line as it stands in the file, without its line end
        QString Text;   // the same, decoded
    };

    // Index of the first line of the section's body (just after its header), or -1.
    qsizetype FindSection(const QString &section) const;
    // Index just past the last line of the section body that begins at bodyStart.
    qsizetype SectionEnd(qsizetype bodyStart) const;
    // Index of the key's line in the section body [bodyStart, bodyEnd), or -1.
    qsizetype FindKey(qsizetype bodyStart, qsizetype bodyEnd, const QString &key) const;
    void InsertLine(qsizetype index, const QString &text);

    QString FFileName;
    QList<TLine> FLines;
};

// One key read from the file at fileName.
QString ReadProfileString(const QString &fileName, const QString &section, const QString &key,
                          const QString &defaultValue);
// One key written to the file at fileName (load, set, save).
void WriteProfileString(const QString &fileName, const QString &section, const QString &key,
                        const QString &value);

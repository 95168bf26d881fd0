#include "util/Errors.h"
#include "util/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QString Default = QStringLiteral("DEF");

QByteArray ReadBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestProfileFile : public QObject {
    Q_OBJECT

private slots:
    void init();

    void ReadsKeys_data();
    void ReadsKeys();
    void MissingFileReadsDefaults();

    void WritesKeys_data();
    void WritesKeys();
    void WritingCreatesAMissingFile();
    void BatchIsWrittenOnSave();

    void FailedSaveRaises_data();
    void FailedSaveRaises();

private:
    std::unique_ptr<QTemporaryDir> FDir;
    QString FPath;
};

void TestProfileFile::init() {
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    FPath = FDir->filePath(QStringLiteral("Config.ini"));
}

void TestProfileFile::ReadsKeys_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QString main = QStringLiteral("Main");
    const QString key = QStringLiteral("Key");
    QTest::newRow("plain") << QByteArray("[Main]\r\nKey=v\r\n") << main << key << "v";
    QTest::newRow("missing section")
        << QByteArray("[Other]\r\nKey=v\r\n") << main << key << Default;
    QTest::newRow("missing key") << QByteArray("[Main]\r\nOther=v\r\n") << main << key << Default;
    QTest::newRow("key of the next section")
        << QByteArray("[Main]\r\n[Next]\r\nKey=v\r\n") << main << key << Default;
    QTest::newRow("key before any section")
        << QByteArray("Key=v\r\n[Main]\r\n") << main << key << Default;
    QTest::newRow("names ignore letter case")
        << QByteArray("[mAIN]\r\nkEY=v\r\n") << main << key << "v";
    QTest::newRow("blanks around names and value")
        << QByteArray("  [ Main ]  \r\n\t Key  =  v a l \t\r\n") << main << key << "v a l";
    QTest::newRow("double quotes")
        << QByteArray("[Main]\r\nKey=\"q v\"\r\n") << main << key << "q v";
    QTest::newRow("single quotes") << QByteArray("[Main]\r\nKey='q'\r\n") << main << key << "q";
    QTest::newRow("unmatched quote kept")
        << QByteArray("[Main]\r\nKey=\"q'\r\n") << main << key << "\"q'";
    QTest::newRow("empty value is not missing")
        << QByteArray("[Main]\r\nKey=\r\n") << main << key << "";
    QTest::newRow("equals sign inside the value")
        << QByteArray("[Main]\r\nKey=a=b\r\n") << main << key << "a=b";
    QTest::newRow("first key and first section count")
        << QByteArray("[Main]\r\nKey=1\r\nKey=2\r\n[Main]\r\nKey=3\r\n") << main << key << "1";
    QTest::newRow("comment is no key")
        << QByteArray("[Main]\r\n;Key=v\r\n") << main << key << Default;
    QTest::newRow("LF line ends") << QByteArray("[Main]\nA=1\nKey=lf\n") << main << key << "lf";
    QTest::newRow("CR line ends") << QByteArray("[Main]\rA=1\rKey=cr\r") << main << key << "cr";
    QTest::newRow("no final line break") << QByteArray("[Main]\r\nKey=end") << main << key << "end";
    QTest::newRow("GBK value") << QByteArray("[Main]\r\nKey=\xC3\xF7\xD0\xC4\xD0\xF9\r\n") << main
                               << key << QStringLiteral("明心轩");
    // The second byte of 乚 is "]": names are found in the decoded text, not in the bytes.
    QTest::newRow("GBK trail byte like a bracket")
        << QByteArray("[\x81]x]\r\n\x81]=v\r\n") << QStringLiteral("乚x") << QStringLiteral("乚")
        << "v";
    QTest::newRow("ideographic space is part of the value")
        << QByteArray("[Main]\r\nKey=\xA1\xA1"
                      "a\xA1\xA1\r\n")
        << main << key << QStringLiteral("\u3000a\u3000");
    const QByteArray longValue(5000, 'x');
    QTest::newRow("long value read whole") << QByteArray("[Main]\r\nKey=" + longValue + "\r\n")
                                           << main << key << QString::fromLatin1(longValue);
}

void TestProfileFile::ReadsKeys() {
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QVERIFY(WriteBytes(FPath, file));
    QCOMPARE(TProfileFile(FPath).ReadString(section, key, Default), expected);
    QCOMPARE(ReadProfileString(FPath, section, key, Default), expected);
}

void TestProfileFile::MissingFileReadsDefaults() {
    QCOMPARE(ReadProfileString(FPath, QStringLiteral("Main"), QStringLiteral("Key"), Default),
             Default);
    // A folder where the file should be reads as a missing file.
    QVERIFY(QDir().mkpath(FPath));
    QCOMPARE(ReadProfileString(FPath, QStringLiteral("Main"), QStringLiteral("Key"), Default),
             Default);
}

void TestProfileFile::WritesKeys_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QString main = QStringLiteral("Main");
    const QString key = QStringLiteral("Key");
    QTest::newRow("empty file") << QByteArray() << main << key << "v"
                                << QByteArray("[Main]\r\nKey=v\r\n");
    QTest::newRow("value replaced, key spelling kept")
        << QByteArray("[main]\r\nA=1\r\n  KEY = old\r\nB=2\r\n") << main << key << "new"
        << QByteArray("[main]\r\nA=1\r\nKEY=new\r\nB=2\r\n");
    QTest::newRow("same value keeps the line's layout")
        << QByteArray("[Main]\r\n  Key = v  \r\n") << main << key << "v"
        << QByteArray("[Main]\r\n  Key = v  \r\n");
    QTest::newRow("same value in quotes kept")
        << QByteArray("[Main]\r\nKey=\"v\"\r\n") << main << key << "v"
        << QByteArray("[Main]\r\nKey=\"v\"\r\n");
    QTest::newRow("new key at the end of its section")
        << QByteArray("[Main]\r\nA=1\r\n; about View\r\n\r\n[View]\r\nB=2\r\n") << main << key
        << "v" << QByteArray("[Main]\r\nA=1\r\n; about View\r\nKey=v\r\n\r\n[View]\r\nB=2\r\n");
    QTest::newRow("new key in an empty section")
        << QByteArray("[Main]\r\n\r\n[View]\r\n") << main << key << "v"
        << QByteArray("[Main]\r\nKey=v\r\n\r\n[View]\r\n");
    QTest::newRow("new key in the last section") << QByteArray("[Main]\r\nA=1\r\n") << main << key
                                                 << "v" << QByteArray("[Main]\r\nA=1\r\nKey=v\r\n");
    QTest::newRow("new section at the end of the file")
        << QByteArray("; top\r\n[View]\r\nB=2\r\n\r\n") << main << key << "v"
        << QByteArray("; top\r\n[View]\r\nB=2\r\n\r\n[Main]\r\nKey=v\r\n");
    QTest::newRow("file without a final line break")
        << QByteArray("[View]\r\nB=2") << main << key << "v"
        << QByteArray("[View]\r\nB=2\r\n[Main]\r\nKey=v\r\n");
    QTest::newRow("written with CR LF") << QByteArray("[Main]\nKey=old\r# x\n") << main << key
                                        << "new" << QByteArray("[Main]\r\nKey=new\r\n# x\r\n");
    // Lines the write does not touch keep their bytes, even bytes that are no GB18030.
    QTest::newRow("other lines keep their bytes")
        << QByteArray("; \xD7\xA2\xCA\xCD \x81 \xFF\r\n[Main]\r\nKey=old\r\n") << main << key
        << "new" << QByteArray("; \xD7\xA2\xCA\xCD \x81 \xFF\r\n[Main]\r\nKey=new\r\n");
    QTest::newRow("GBK value") << QByteArray() << main << key << QStringLiteral("明心轩")
                               << QByteArray("[Main]\r\nKey=\xC3\xF7\xD0\xC4\xD0\xF9\r\n");
    QTest::newRow("value beyond GBK as GB18030")
        << QByteArray() << main << key << QStringLiteral("😀")
        << QByteArray("[Main]\r\nKey=\x94\x39\xFC\x36\r\n");
}

void TestProfileFile::WritesKeys() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    QVERIFY(WriteBytes(FPath, before));
    WriteProfileString(FPath, section, key, value);
    QCOMPARE(ReadBytes(FPath), after);
    QCOMPARE(ReadProfileString(FPath, section, key, Default), value);
}

void TestProfileFile::WritingCreatesAMissingFile() {
    WriteProfileString(FPath, QStringLiteral("Main"), QStringLiteral("Key"), QStringLiteral("v"));
    QCOMPARE(ReadBytes(FPath), QByteArray("[Main]\r\nKey=v\r\n"));
}

void TestProfileFile::BatchIsWrittenOnSave() {
    const QByteArray before("[Main]\r\nA=1\r\n");
    QVERIFY(WriteBytes(FPath, before));
    TProfileFile profile(FPath);
    profile.WriteString(QStringLiteral("Main"), QStringLiteral("A"), QStringLiteral("2"));
    profile.WriteString(QStringLiteral("View"), QStringLiteral("B"), QStringLiteral("3"));
    profile.WriteString(QStringLiteral("main"), QStringLiteral("C"), QStringLiteral("4"));
    QCOMPARE(profile.ReadString(QStringLiteral("MAIN"), QStringLiteral("a"), Default), "2");
    QCOMPARE(ReadBytes(FPath), before);

    profile.Save();
    QCOMPARE(ReadBytes(FPath), QByteArray("[Main]\r\nA=2\r\nC=4\r\n[View]\r\nB=3\r\n"));
    // Nothing is left beside the file.
    QCOMPARE(QDir(FDir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Config.ini")});
}

void TestProfileFile::FailedSaveRaises_data() {
    QTest::addColumn<QString>("blocker");
    QTest::addColumn<QString>("fileName");
    // Both stop root as well, unlike a read-only folder.
    QTest::newRow("a folder where the file should be") << "Config.ini"
                                                       << "Config.ini";
    QTest::newRow("a file where the folder should be") << "app"
                                                       << "app/Config.ini";
}

void TestProfileFile::FailedSaveRaises() {
    QFETCH(QString, blocker);
    QFETCH(QString, fileName);
    const QString path = FDir->filePath(fileName);
    if (blocker == fileName) {
        QVERIFY(QDir().mkpath(path));
    } else {
        QVERIFY(WriteBytes(FDir->filePath(blocker), "not a folder"));
    }
    TProfileFile profile(path);
    profile.WriteString(QStringLiteral("Main"), QStringLiteral("Key"), QStringLiteral("v"));
    try {
        profile.Save();
        QFAIL("the save did not raise");
    } catch (const EWriteError &error) {
        QCOMPARE(error.Message(), QStringLiteral("写 %1 失败").arg(path));
    }
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "test_profilefile.moc"

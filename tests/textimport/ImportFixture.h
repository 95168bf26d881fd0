#pragma once

#include "support/StoreFixture.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A library in a temporary application folder that holds the text-loader module, and a
// folder of text files to import.
class TImportFixture {
public:
    TImportFixture();
    ~TImportFixture();

    TImportFixture(const TImportFixture &) = delete;
    TImportFixture &operator=(const TImportFixture &) = delete;

    QString TextFolder() const { return FTexts.path(); }
    // Writes a file below the text folder (parent folders made); returns its full path.
    QString Write(const QString &relative, const QByteArray &bytes) const;
    // Writes a file whose name is given as raw bytes (a GBK name); removed with the fixture.
    QByteArray WriteRawName(const QByteArray &relative, const QByteArray &bytes);

    // The text of the article of this title in this book, lines joined by LF; null if none.
    QString StoredText(const QString &dir, const QString &title) const;
    QStringList StoredTitles(const QString &dir) const;

    TStoreFixture Store;

private:
    QTemporaryDir FTexts;
    QList<QByteArray> FRawNames;
};

QByteArray Encode(const char *encoding, const QString &text);

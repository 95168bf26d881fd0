#include "ImportFixture.h"

#include "store/LineList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

#include <fcntl.h>
#include <unistd.h>

TImportFixture::TImportFixture() {
    const QString module = qEnvironmentVariable("MX_DIST_DIR") + QStringLiteral("/libProseFeed.so");
    if (!QFile::copy(module, Store.Folder().FilePath(QStringLiteral("libProseFeed.so")))) {
        qFatal("cannot copy %s", qPrintable(module));
    }
}

TImportFixture::~TImportFixture() {
    for (const QByteArray &path : FRawNames) {
        ::unlink(path.constData());
    }
}

QString TImportFixture::Write(const QString &relative, const QByteArray &bytes) const {
    const QString path = FTexts.filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

QByteArray TImportFixture::WriteRawName(const QByteArray &relative, const QByteArray &bytes) {
    const QByteArray path = QFile::encodeName(FTexts.path()) + '/' + relative;
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
    if (fd < 0 ||
        ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) != bytes.size()) {
        qFatal("cannot write a raw name");
    }
    ::close(fd);
    FRawNames << path;
    return path;
}

QString TImportFixture::StoredText(const QString &dir, const QString &title) const {
    for (const TStoreRow &row : Store.Rows()) {
        if (row.Dir == dir && row.Title == title) {
            return TLineList::FromStoredText(row.Text).Lines().join(u'\n');
        }
    }
    return {};
}

QStringList TImportFixture::StoredTitles(const QString &dir) const {
    QStringList titles;
    for (const TStoreRow &row : Store.Rows()) {
        if (row.Dir == dir) {
            titles << row.Title;
        }
    }
    titles.sort();
    return titles;
}

QByteArray Encode(const char *encoding, const QString &text) {
    QStringEncoder encoder(encoding);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        qFatal("%s cannot encode the text", encoding);
    }
    return bytes;
}

#include "TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempAppFolder::TempAppFolder() : FDir(QDir::tempPath() + QStringLiteral("/mxreader-test-XXXXXX")) {}

QString TempAppFolder::FilePath(const QString &relative) const {
    return FDir.filePath(relative);
}

QString TempAppFolder::WriteFile(const QString &relative, const QByteArray &bytes) const {
    const QString path = FilePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
    }
    return path;
}

QByteArray TempAppFolder::ReadFile(const QString &relative) const {
    QFile file(FilePath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TempAppFolder::Exists(const QString &relative) const {
    return QFileInfo::exists(FilePath(relative));
}

void TempAppFolder::CopyThemes() const {
    const QString source = qEnvironmentVariable("MX_SOURCE_DIR") + QStringLiteral("/themes");
    QDir().mkpath(FilePath(QStringLiteral("themes")));
    const auto names = QDir(source).entryList({QStringLiteral("*.sui")}, QDir::Files);
    for (const QString &name : names) {
        QFile::copy(source + QLatin1Char('/') + name, FilePath(QStringLiteral("themes/") + name));
    }
}

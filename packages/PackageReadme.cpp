#include "packages/PackageReadme.h"

#include "app/Const.h"
#include "util/CodePage.h"

#include <QSaveFile>

namespace PackageReadme {

QString PathFor(const QString &packagePath) {
    return packagePath + QStringLiteral("说明.txt");
}

QByteArray Bytes(const QStringList &articleLines) {
    QStringList lines = articleLines;
    lines << QStringLiteral("\r") << QString(34, QLatin1Char('*'))
          << Const::Message(Const::ReadmeDownloadLine);
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += EncodeCodePage936(line);
        bytes += "\r\n";
    }
    return bytes;
}

bool Write(const QString &packagePath, const QStringList &articleLines) {
    QSaveFile file(PathFor(packagePath));
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(Bytes(articleLines));
    return file.commit();
}

} // namespace PackageReadme

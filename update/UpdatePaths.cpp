#include "update/UpdatePaths.h"

#include "util/Tools.h"

#include <QUrl>

namespace {

QString InFolder(const QString &folder, const QString &name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

} // namespace

namespace UpdatePaths {

QString LocalListPath(const QString &appDir, const QString &listAddress) {
    QString name = ExtractUrlFileName(QUrl(listAddress).path());
    if (name.isEmpty() || name == u"." || name == u"..") {
        name = QStringLiteral("patch.xml");
    }
    return InFolder(appDir, name);
}

QString UpdaterPath(const QString &appDir) {
    return InFolder(appDir, QString::fromLatin1(UpdaterName));
}

} // namespace UpdatePaths

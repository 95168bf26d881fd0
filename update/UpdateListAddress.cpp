#include "update/UpdateListAddress.h"

#include <QUrl>

namespace {

QString &Address() {
    static QString address;
    return address;
}

bool NeverResolves(const QString &address) {
    QString host = QUrl(address).host().toLower();
    if (host.endsWith(u'.')) {
        host.chop(1);
    }
    return host == u"invalid" || host.endsWith(QStringLiteral(".invalid"));
}

} // namespace

namespace UpdateListAddress {

void Set(const QString &address) {
    Address() = NeverResolves(address) ? QString() : address;
}

QString Get() {
    return Address();
}

} // namespace UpdateListAddress

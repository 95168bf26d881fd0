#include "CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

QByteArray EncodeCodePage936(const QString &text) {
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QString DecodeCodePage936(const QByteArray &bytes) {
    QStringDecoder decoder("GB18030");
    return decoder.decode(bytes);
}

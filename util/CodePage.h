#pragma once

#include <QByteArray>
#include <QString>

// Code page 936 at the file boundaries that need it (Config.ini, the package document, the
// readme beside a package). GB18030 is byte-identical to GBK for every GBK character and
// also carries every other character, so nothing is lost on the way through a file.
QByteArray EncodeCodePage936(const QString &text);
QString DecodeCodePage936(const QByteArray &bytes);

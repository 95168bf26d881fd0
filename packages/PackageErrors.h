#pragma once

#include "util/Errors.h"

// A package that cannot be read: the message is the one the user sees ("文件格式不对！" or
// "文件受损，无法打开后面的文章！"), the details say what was wrong with it.
class EPackageError : public EMxError {
public:
    EPackageError(const QString &message, const QString &details)
        : EMxError(message), FDetails(details) {}
    QString Details() const { return FDetails; }

private:
    QString FDetails;
};

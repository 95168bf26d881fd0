#pragma once

#include "store/BlockModal.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

class IBlockService;
class IPackageProgress;
class QIODevice;

// Writing a package: the document in memory, then the zlib stream.
namespace PackageWriter {

// The package document of the given articles, in list order: each value in a CDATA section,
// the text read from the service and joined with CR LF after every line, everything in code
// page 936. Appends one readme line per article ("[book] title"). Progress: one step per
// article, window messages let through after each.
QByteArray BuildPackageDocument(IBlockService &service, const QList<TArticle *> &articles,
                                IPackageProgress &progress, QStringList &readmeLines);

// Compresses the document into the device as one zlib stream at level 9, fed in blocks:
// one progress step per whole block, the rest written without a step. Raises EWriteError
// when the device refuses bytes.
void CompressToDevice(const QByteArray &document, QIODevice &device, IPackageProgress &progress);

} // namespace PackageWriter

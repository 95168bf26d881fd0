#pragma once

#include "packages/PackageFormat.h"
#include "store/BlockModal.h"
#include "store/LineList.h"

#include <QByteArray>

#include <functional>

class IPackageProgress;
class QIODevice;

// Reading a package: inflating the zlib stream, then taking the document apart. Packages
// come from strangers: the reader never loads a DTD, an external entity or anything from a
// network, and refuses a document that inflates beyond a limit.
namespace PackageReader {

// Inflates the device's zlib stream into memory, in requests of up to one block, with a
// progress step and window messages let through after each. A stream cut off early gives
// what could be decoded; bytes after the end of the stream are ignored. Raises
// EPackageError with "文件格式不对！" on any zlib error, on a read error, and when the document
// would grow beyond maxBytes.
QByteArray Inflate(QIODevice &device, IPackageProgress &progress,
                   qint64 maxBytes = PackageFormat::MaxDocumentBytes);

// Receives each record of a package in document order, the text as its only line.
using TRecordSink = std::function<void(TArticle &article, const TLineList &lines)>;

// Takes the document apart and hands every record to the sink, one at a time; returns how
// many were handed over. A document without the element EARTICLE.DB (an empty one too)
// holds no records. Raises EPackageError with "文件受损，无法打开后面的文章！" when the document
// does not parse (before any record is handed over), when a record lacks an element or
// holds a bad value, or when the sink raises; the records before the failing one stay
// handed over. Progress: one step per record with the title in the label, no window
// messages.
int ReadDocument(const QByteArray &document, const TRecordSink &sink, IPackageProgress &progress);

} // namespace PackageReader

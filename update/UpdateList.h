#pragma once

#include "util/Errors.h"

#include <QByteArray>
#include <QString>

// Reading the update list: an XML document whose document element holds one release entry
// per child node, in document order; each entry names its release in a child element
// `version` (a decimal whole number). Nothing else of an entry is read.
namespace UpdateList {

// A list larger than this is refused unread: a real one holds a few entries.
inline constexpr qint64 MaxSize = 1024 * 1024;

// Whether the list names the release. The walk stops at the first entry that names it; an
// entry reached before that without a readable `version` ends the walk with
// EUpdateListError, as does a document that is not well-formed, is larger than MaxSize or
// declares a document type (the list never needs one, so no entity is ever expanded and no
// DTD or other file is loaded). Blank text, comments and processing instructions between
// the entries are not entries.
bool ListsRelease(const QByteArray &document, qint64 release);

// The same for the list in a file; a file that cannot be read raises EUpdateListError.
bool FileListsRelease(const QString &path, qint64 release);

} // namespace UpdateList

// The update list cannot be read, or one of its entries before a match cannot.
class EUpdateListError : public EMxError {
public:
    using EMxError::EMxError;
};

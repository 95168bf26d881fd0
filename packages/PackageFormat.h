#pragma once

#include <QString>

// The fixed names and sizes of an article package (*.eap): one zlib stream around an XML
// document in code page 936 with one Record element per article.
namespace PackageFormat {

// The compressor is fed, and the decompressor drained, in blocks of this many bytes; the
// progress steps follow the blocks.
inline constexpr int BlockSize = 16534;

// zlib at its best compression: the file begins with 0x78 0xDA.
inline constexpr int CompressionLevel = 9;

// An inflated document larger than this is refused as not a package: a few hundred bytes
// of zlib data can claim gigabytes.
inline constexpr qint64 MaxDocumentBytes = qint64(1) << 30;

inline constexpr char Declaration[] = "<?xml version=\"1.0\" encoding=\"GB2312\"?>";
inline constexpr char RootElement[] = "EARTICLE.DB";
inline constexpr char RecordElement[] = "Record";

// The eleven elements of a record, in the order the writer puts them.
inline constexpr char IdElement[] = "Id";
inline constexpr char LanguageElement[] = "Language";
inline constexpr char EditionNameElement[] = "Edition_Name";
inline constexpr char GradeElement[] = "Grade";
inline constexpr char TypeElement[] = "Type";
inline constexpr char TitleElement[] = "Title";
inline constexpr char AuthorElement[] = "Author";
inline constexpr char DirElement[] = "Dir";
inline constexpr char TextElement[] = "Text";
inline constexpr char WordCountElement[] = "Word_Count";
inline constexpr char UseRateElement[] = "Use_Rate";

// The file dialogs' filter and default extension.
inline const QString FileFilter = QStringLiteral("文章包 (*.eap)|*.eap");
inline const QString Extension = QStringLiteral("eap");

} // namespace PackageFormat

#pragma once

#include "packages/PackageReader.h"
#include "store/BlockModal.h"
#include "store/IBlockService.h"

#include <QList>
#include <QString>

class IPackageProgress;

// The two package jobs, as the export and import windows and the command-line tool run them;
// only the progress display differs between them.
namespace PackageJobs {

// Packs the articles, in list order, into the package file: the document is built first,
// then the readme is written beside the package (its failure is ignored), then the document
// is compressed into a temporary file beside the package, which replaces the package only
// when it is complete: a failed export never leaves a half-written package under the name.
// Raises EWriteError with the platform's message when the package cannot be written.
void ExportPackage(IBlockService &service, const QList<TArticle *> &articles,
                   const QString &packagePath, IPackageProgress &progress);

// Inflates the package file and hands each record to the sink. Raises EMxError with the
// platform's message when the file cannot be opened, EPackageError when it is no package or
// is damaged (the records handed over before stay handed over).
void ReadPackage(const QString &packagePath, const PackageReader::TRecordSink &sink,
                 IPackageProgress &progress);

// Unpacks a package into a library: every record becomes a new article, one at a time, by
// the replace rule of SaveNewArticle. A library that can only be read is refused before the
// file is opened. Counts the articles stored, also when the import fails part of the way.
class TPackageImport {
public:
    TPackageImport(IBlockService &service, const QString &packagePath)
        : FService(service), FPackagePath(packagePath) {}

    void Run(IPackageProgress &progress);
    int StoredCount() const { return FStored; }

private:
    IBlockService &FService;
    QString FPackagePath;
    int FStored = 0;
};

} // namespace PackageJobs

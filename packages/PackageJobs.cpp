#include "packages/PackageJobs.h"

#include "app/Const.h"
#include "packages/PackageReadme.h"
#include "packages/PackageWriter.h"
#include "util/Errors.h"

#include <QFile>
#include <QSaveFile>

namespace PackageJobs {

void ExportPackage(IBlockService &service, const QList<TArticle *> &articles,
                   const QString &packagePath, IPackageProgress &progress) {
    QStringList readmeLines;
    const QByteArray document =
        PackageWriter::BuildPackageDocument(service, articles, progress, readmeLines);
    PackageReadme::Write(packagePath, readmeLines);

    QSaveFile file(packagePath);
    if (!file.open(QIODevice::WriteOnly)) {
        throw EWriteError(file.errorString());
    }
    PackageWriter::CompressToDevice(document, file, progress);
    if (!file.commit()) {
        throw EWriteError(file.errorString());
    }
}

void ReadPackage(const QString &packagePath, const PackageReader::TRecordSink &sink,
                 IPackageProgress &progress) {
    QFile file(packagePath);
    if (!file.open(QIODevice::ReadOnly)) {
        throw EMxError(file.errorString());
    }
    const QByteArray document = PackageReader::Inflate(file, progress);
    file.close();
    PackageReader::ReadDocument(document, sink, progress);
}

void TPackageImport::Run(IPackageProgress &progress) {
    FStored = 0;
    if (FService.IsReadOnly()) {
        throw EMxError(Const::Message(Const::ReadOnlyLibraryImport));
    }
    // One transaction per record, without a disk flush each; Finish makes the run durable
    // before the import reports its end (records stored before a failure stay stored).
    TBulkWork bulk(FService);
    ReadPackage(
        FPackagePath,
        [this](TArticle &article, const TLineList &lines) {
            FService.SaveNewArticle(article, lines);
            ++FStored;
        },
        progress);
    bulk.Finish();
}

} // namespace PackageJobs

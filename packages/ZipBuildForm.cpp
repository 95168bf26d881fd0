#include "packages/ZipBuildForm.h"

#include "packages/PackageJobs.h"

TZipBuildForm::TZipBuildForm(const TGlobalManager &settings, const QWidget *centreOn)
    : TPackageProgressForm(settings, centreOn, QStringLiteral("ZipBuildForm"),
                           QStringLiteral("正在导出")) {}

void TZipBuildForm::RunJob() {
    PackageJobs::ExportPackage(*FBlockService, FArticles, FFileName, *this);
}

#include "packages/ZipBreakForm.h"

#include "packages/PackageJobs.h"

TZipBreakForm::TZipBreakForm(const TGlobalManager &settings, const QWidget *centreOn)
    : TPackageProgressForm(settings, centreOn, QStringLiteral("ZipBreakForm"),
                           QStringLiteral("正在导入")) {}

void TZipBreakForm::RunJob() {
    PackageJobs::TPackageImport import(*FBlockService, FFileName);
    try {
        import.Run(*this);
    } catch (...) {
        FStored = import.StoredCount();
        throw;
    }
    FStored = import.StoredCount();
}

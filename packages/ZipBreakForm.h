#pragma once

#include "packages/PackageProgressForm.h"
#include "store/IBlockService.h"

// The import window: inflates the package file, showing each block, and stores every record
// as a new article, showing each title. Accepted when the whole package has been read and
// every record stored.
class TZipBreakForm : public TPackageProgressForm {
    Q_OBJECT

public:
    explicit TZipBreakForm(const TGlobalManager &settings, const QWidget *centreOn = nullptr);

    void SetService(IBlockServicePtr service) { FBlockService = std::move(service); }
    void SetFileName(const QString &path) { FFileName = path; }

    // How many articles the import stored, also when it failed part of the way.
    int StoredCount() const { return FStored; }

protected:
    void RunJob() override;

private:
    IBlockServicePtr FBlockService;
    QString FFileName;
    int FStored = 0;
};

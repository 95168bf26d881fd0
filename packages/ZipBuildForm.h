#pragma once

#include "packages/PackageProgressForm.h"
#include "store/IBlockService.h"

#include <QList>

// The export window: packs the articles it is given into the package file, showing each
// article and then each compressed block. Accepted when the package has been written
// completely.
class TZipBuildForm : public TPackageProgressForm {
    Q_OBJECT

public:
    explicit TZipBuildForm(const TGlobalManager &settings, const QWidget *centreOn = nullptr);

    void SetService(IBlockServicePtr service) { FBlockService = std::move(service); }
    // The list is kept, not copied; its records belong to the caller.
    void SetArticleList(const QList<TArticle *> &articles) { FArticles = articles; }
    void SetFileName(const QString &path) { FFileName = path; }

protected:
    void RunJob() override;

private:
    IBlockServicePtr FBlockService;
    QList<TArticle *> FArticles;
    QString FFileName;
};

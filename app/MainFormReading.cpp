// The two reading buttons of the article page.
#include "app/MainForm.h"

#include "app/GlobalManager.h"
#include "app/ReadingLaunch.h"
#include "app/TreeNodes.h"

#include <QApplication>
#include <QTreeWidget>
#include <QVariant>

void TMainForm::RzBmpButton1Click(const QObject *sender) {
    QTreeWidgetItem *node = SelectedNode();
    if (node == nullptr || TreeNodes::Level(node) != 2) {
        return; // the buttons show only with an article selected
    }
    const ReadingLaunch::TMethod &method =
        ReadingLaunch::MethodOfTag(sender->property("tag").toInt());
    // The whole list is read before any module file is looked at.
    const TArticleDTOList articles = ReadingLaunch::BuildArticleList(
        *FBlockService, *TreeNodes::Article(node), GetCheckedArticles());
    ReadingLaunch::Run(FSettings.AppDir(), method, articles, FSettings, qApp, screen());
}

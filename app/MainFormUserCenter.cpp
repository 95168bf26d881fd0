// The commands of the "用户中心" menu (help page, theme choice, about box) and the logo's
// link to the maker's home page.
#include "app/MainForm.h"

#include "app/AboutForm.h"
#include "app/Addresses.h"
#include "app/Application.h"
#include "app/FileDialog.h"
#include "app/GlobalManager.h"
#include "app/ThemeManager.h"
#include "app/WebPage.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

#include <functional>
#include <utility>

namespace {

const QString HelpPage = QStringLiteral("help/index.html");

// Turns a left click on a widget into a call; the widget owns the filter.
class TClickFilter : public QObject {
public:
    TClickFilter(QWidget *widget, std::function<void()> onClick)
        : QObject(widget), FOnClick(std::move(onClick)) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const auto *widget = static_cast<QWidget *>(watched);
            if (mouse->button() == Qt::LeftButton &&
                widget->rect().contains(mouse->position().toPoint())) {
                FOnClick();
                return true;
            }
        }
        return false;
    }

private:
    std::function<void()> FOnClick;
};

} // namespace

void TMainForm::ConnectUserCenter() {
    const auto wire = [this](QAction *action, void (TMainForm::*handler)()) {
        connect(action, &QAction::triggered, this,
                Guarded(action, [this, handler] { (this->*handler)(); }));
    };
    wire(ShowHelpDoc, &TMainForm::ShowHelpDocExecute);
    wire(SelectTheme, &TMainForm::SelectThemeExecute);
    wire(ShowAboutInfo, &TMainForm::ShowAboutInfoExecute);

    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setToolTip(QString::fromUtf8(Addresses::HomePage));
    new TClickFilter(Image1, Guarded(Image1, [this] { Image1Click(); }));
}

void TMainForm::ShowHelpDocExecute() {
    WebPage::Open(QUrl::fromLocalFile(FSettings.AppDir() + QLatin1Char('/') + HelpPage));
}

void TMainForm::Image1Click() {
    WebPage::Open(QUrl(QString::fromUtf8(Addresses::HomePage)));
}

void TMainForm::ShowAboutInfoExecute() {
    TAboutForm about(FSettings, this);
    about.exec();
}

void TMainForm::SelectThemeExecute() {
    const QString path = FileDialog::GetOpenFileName(
        this, QStringLiteral("选择一个样式文件"), FSettings.AppDir() + QStringLiteral("/themes"),
        QStringLiteral("sui|*.sui"), QStringLiteral("sui"));
    // A cancel, or a file that is not a theme, changes nothing and shows nothing.
    if (path.isEmpty() || !ThemeManager::ApplyThemeFile(this, path)) {
        return;
    }
    // Writes Config.ini only when the path differs from the one in use.
    FSettings.SetThemeFile(path);
}

// The main window's lifecycle: what it creates when it is made, what it does when it is
// first shown, what it releases when it is destroyed, and how its commands are wired.
#include "app/MainForm.h"

#include "app/Application.h"
#include "app/GlobalManager.h"
#include "app/MessageBox.h"
#include "app/ThemeManager.h"
#include "store/BlockServiceImpl.h"
#include "store/DatabaseSetup.h"
#include "update/UpdateForm.h"
#include "update/UpdateListAddress.h"
#include "update/UpdateThread.h"
#include "util/Errors.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include <exception>

namespace {

const QString AppTitle = QStringLiteral("明心轩阅读器");

// Design size of the window's client area; it opens maximized.
constexpr QSize DesignSize(927, 594);
constexpr QSize MinimumSize(200, 50);

// "yyyy年M月d日 dddd": no leading zeros, the full weekday name of the user's locale.
QString DateText(const QDate &date) {
    return QLocale().toString(date, QStringLiteral("yyyy年M月d日 dddd"));
}

} // namespace

TMainForm::TMainForm(TGlobalManager &settings, TClock clock)
    : FSettings(settings), FClock(std::move(clock)) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(AppTitle);
    setFont(ThemeManager::DefaultFont());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);
    resize(DesignSize);
    setMinimumSize(MinimumSize);
    setWindowState(windowState() | Qt::WindowMaximized);

    CreateLayout();
    ConnectHandlers();
    FormCreate();
}

TMainForm::~TMainForm() {
    // The tree goes with the window's children after this body; it must not report a
    // selection change to a window that is half gone.
    RzCheckTree1->blockSignals(true);
    FormDestroy();
}

void TMainForm::ConnectHandlers() {
    // Every command runs guarded: an error it raises ends it and is reported by the
    // application's error handler, and the window goes on.
    const auto wire = [this](auto *sender, auto signal, void (TMainForm::*handler)()) {
        connect(sender, signal, this, Guarded(sender, [this, handler] { (this->*handler)(); }));
    };
    wire(AddArticle, &QAction::triggered, &TMainForm::AddArticleExecute);
    wire(FileToArticle, &QAction::triggered, &TMainForm::FileToArticleExecute);
    wire(DeleteArticles, &QAction::triggered, &TMainForm::DeleteArticlesExecute);
    wire(AddDir, &QAction::triggered, &TMainForm::AddDirExecute);
    wire(ExportArticles, &QAction::triggered, &TMainForm::ExportArticlesExecute);
    wire(ImportArticles, &QAction::triggered, &TMainForm::ImportArticlesExecute);
    wire(ShowAddArticleMenu, &QAction::triggered, &TMainForm::ShowAddArticleMenuExecute);
    wire(ShowHelpMenu, &QAction::triggered, &TMainForm::ShowHelpMenuExecute);
    wire(ExitAction, &QAction::triggered, &TMainForm::ExitActionExecute);
    ConnectUserCenter();

    wire(suiButton1, &QPushButton::clicked, &TMainForm::RzBitBtn1Click);
    wire(suiButton2, &QPushButton::clicked, &TMainForm::RzBitBtn3Click);
    wire(EditCutCmd, &QToolButton::clicked, &TMainForm::EditCutCmdExecute);
    wire(EditCopyCmd, &QToolButton::clicked, &TMainForm::EditCopyCmdExecute);
    wire(EditPasteCmd, &QToolButton::clicked, &TMainForm::EditPasteCmdExecute);
    wire(EditUndoCmd, &QToolButton::clicked, &TMainForm::EditUndoCmdExecute);
    wire(RzToolbarButton2, &QToolButton::clicked, &TMainForm::RzToolbarButton2Click);
    wire(RzToolbarButton6, &QToolButton::clicked, &TMainForm::RzToolbarButton6Click);
    wire(RzToolbarButton7, &QToolButton::clicked, &TMainForm::RzToolbarButton7Click);
    // The tree's selection handler is wired by SetUpLibraryTree.
    for (QPushButton *reading : {suiButton3, suiButton4}) {
        connect(reading, &QPushButton::clicked, this,
                Guarded(reading, [this, reading] { RzBmpButton1Click(reading); }));
    }
}

void TMainForm::FormCreate() {
    try {
        FSettings.SetAppPath(QCoreApplication::applicationFilePath());
    } catch (const EMxError &error) {
        // The settings stay in memory; the window works without the file.
        MessageBox::Notice(this, error.Message());
    }
    FBlockService = CreateBlockService();
    StartUpdateCheck();
}

IBlockServicePtr TMainForm::CreateBlockService() {
    const QString databasePath = DatabasePath(FSettings.AppDir());
    try {
        CreateDatabaseIfMissing(databasePath);
    } catch (const EMxError &error) {
        // The window still opens; every use of the library then reports its own error.
        MessageBox::Notice(this, QStringLiteral("文章库无法建立，书目和文章将无法读取和保存。\n%1")
                                     .arg(error.Message()));
    }
    return std::make_shared<TBlockServiceImpl>(databasePath, FSettings);
}

void TMainForm::StartUpdateCheck() {
    const QString address = UpdateListAddress::Get();
    if (address.isEmpty()) {
        return; // only the program itself checks: its entry point sets the address
    }
    FUpdateForm = std::make_unique<TUpdateForm>(FSettings, address);
    // The thread frees itself when it ends; the window keeps no reference to it.
    (new TUpdateThread(FUpdateForm.get()))->start(QThread::IdlePriority);
}

void TMainForm::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TMainForm::FormShow() {
    ThemeManager::ApplyTheme(this, FSettings);
    // The pages of RzPageControl1 have no tab headers: a page changes only when code
    // selects it.
    // A library that cannot be read still leaves a complete window; the error goes on to
    // the application's handler once the rest is done.
    std::exception_ptr libraryFailure;
    try {
        RefreshTree();
        ShowLibrarySummary();
    } catch (...) {
        libraryFailure = std::current_exception();
    }
    RzStatusPane1->setText(DateText(FClock()));
    RzCheckTree1->setFocus();

    const QString sitesPage = FSettings.AppDir() + QStringLiteral("/help/sites.html");
    if (QFileInfo::exists(sitesPage)) {
        WebBrowser1->setSource(QUrl::fromLocalFile(sitesPage));
    }
    if (libraryFailure) {
        std::rethrow_exception(libraryFailure);
    }
}

void TMainForm::FormDestroy() {
    FBooks.reset();
    FAddedDirs.clear();
    FBlockService.reset();
    FUpdateForm.reset();
}

void TMainForm::ExitActionExecute() {
    // The window closes and the message loop ends; only unsaved edits of the shown article
    // bring a question, and a declined save keeps the window.
    if (close()) {
        QCoreApplication::quit();
    }
}

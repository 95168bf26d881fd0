// The components of the main window and how they are laid out: the top band with the
// toolbar and the logo, the split area with the library tree and the three pages, and the
// status bar with the date.
#include "app/MainForm.h"

#include "app/IntroText.h"
#include "app/LinedTree.h"
#include "app/Pictures.h"
#include "app/ScrollingText.h"

#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace {

using Pictures::TEditPicture;
using Pictures::TToolbarPicture;

constexpr int TopBandHeight = 89;
constexpr int ToolbarButtonWidth = 81;
constexpr int SplitterHandleWidth = 7;
// Design widths of the split area: the tree takes 31 percent.
constexpr int TreeDesignWidth = 289;
constexpr int PagesDesignWidth = 631;
constexpr int DatePaneWidth = 189;
constexpr int StatusBarHeight = 21;

QAction *MakeAction(QObject *owner, const char *name, const QString &caption,
                    const QString &hint = QString()) {
    auto *action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    // A hint is a tool tip only: the status bar's left side stays empty.
    if (!hint.isEmpty()) {
        action->setToolTip(hint);
    }
    return action;
}

// Swallows the tool-tip requests of a button whose command has no hint: Qt would show the
// caption in its place, and the button takes the action's texts again at every change.
class TNoToolTip : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject * /*watched*/, QEvent *event) override {
        return event->type() == QEvent::ToolTip;
    }
};

// A header band over a part of the summary page; the theme draws the band.
QLabel *MakeHeader(const QString &text, QWidget *parent) {
    auto *header = new QLabel(text, parent);
    header->setProperty("mxRole", QStringLiteral("header"));
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    return header;
}

QToolButton *MakeSmallButton(QWidget *parent, const char *name, TEditPicture picture,
                             const QString &hint) {
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(Pictures::EditButton(picture));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    // Like the buttons of a toolbar they are not stops of the tab order.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QPushButton *MakeButton(QWidget *parent, const char *name, const QString &caption) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QLineEdit *MakeEdit(QWidget *parent, const char *name) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text = QString()) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

void TMainForm::CreateActions() {
    AddArticle = MakeAction(this, "AddArticle", QStringLiteral("添加文章"));
    FileToArticle = MakeAction(this, "FileToArticle", QStringLiteral("批量添加文章"));
    DeleteArticles = MakeAction(this, "DeleteArticles", QStringLiteral("删除文章"),
                                QStringLiteral("删除选定的文章"));
    AddDir = MakeAction(this, "AddDir", QStringLiteral("添加书目"),
                        QStringLiteral("向库中添加一个书目"));
    ExportArticles = MakeAction(this, "ExportArticles", QStringLiteral("制作文章包"),
                                QStringLiteral("将选定的文章压缩到指定的一个文件中"));
    ImportArticles = MakeAction(this, "ImportArticles", QStringLiteral("导入文章包"),
                                QStringLiteral("从文章包中提取文章到库中"));
    ShowHelpDoc = MakeAction(this, "ShowHelpDoc", QStringLiteral("如何使用"));
    ShowAboutInfo = MakeAction(this, "ShowAboutInfo", QStringLiteral("关于系统"));
    SelectTheme = MakeAction(this, "SelectTheme", QStringLiteral("界面风格"));
    ShowAddArticleMenu = MakeAction(this, "ShowAddArticleMenu", QStringLiteral("添加文章"),
                                    QStringLiteral("手工录入文章或者从文件中导入文章"));
    ShowHelpMenu = MakeAction(this, "ShowHelpMenu", QStringLiteral("用户中心"),
                              QStringLiteral("如何使用、界面风格、关于系统"));
    ExitAction = MakeAction(this, "ExitAction", QStringLiteral("退  出"));

    AddArticle->setIcon(Pictures::Toolbar(TToolbarPicture::AddArticle));
    ShowAddArticleMenu->setIcon(Pictures::Toolbar(TToolbarPicture::AddArticle));
    DeleteArticles->setIcon(Pictures::Toolbar(TToolbarPicture::DeleteArticles));
    AddDir->setIcon(Pictures::Toolbar(TToolbarPicture::AddDir));
    ExportArticles->setIcon(Pictures::Toolbar(TToolbarPicture::ExportArticles));
    ImportArticles->setIcon(Pictures::Toolbar(TToolbarPicture::ImportArticles));
    ShowHelpMenu->setIcon(Pictures::Toolbar(TToolbarPicture::UserCenter));
    ExitAction->setIcon(Pictures::Toolbar(TToolbarPicture::Exit));

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(AddArticle);
    PopupMenu1->addAction(FileToArticle);

    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    PopupMenu3->addAction(ShowHelpDoc);
    PopupMenu3->addAction(SelectTheme);
    PopupMenu3->addSeparator();
    PopupMenu3->addAction(ShowAboutInfo);
}

void TMainForm::CreateTopBand() {
    auto *band = new QWidget(this);
    band->setObjectName(QStringLiteral("TopBand"));
    band->setFixedHeight(TopBandHeight);
    band->setAttribute(Qt::WA_StyledBackground);

    RzToolbar1 = new QToolBar(band);
    RzToolbar1->setObjectName(QStringLiteral("RzToolbar1"));
    RzToolbar1->setMovable(false);
    RzToolbar1->setFloatable(false);
    RzToolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    RzToolbar1->setIconSize(QSize(32, 32));
    RzToolbar1->addAction(ShowAddArticleMenu);
    RzToolbar1->addAction(DeleteArticles);
    RzToolbar1->addSeparator();
    RzToolbar1->addAction(AddDir);
    RzToolbar1->addSeparator();
    RzToolbar1->addAction(ExportArticles);
    RzToolbar1->addAction(ImportArticles);
    RzToolbar1->addAction(ShowHelpMenu);
    RzToolbar1->addAction(ExitAction);

    const auto toolbarActions = RzToolbar1->actions();
    for (QAction *action : toolbarActions) {
        if (auto *button = qobject_cast<QToolButton *>(RzToolbar1->widgetForAction(action))) {
            button->setObjectName(action->objectName() + QStringLiteral("Button"));
            button->setFixedWidth(ToolbarButtonWidth);
        }
    }
    auto *exitButton = RzToolbar1->widgetForAction(ExitAction);
    exitButton->installEventFilter(new TNoToolTip(exitButton));
    // The face of a drop-down button runs its action, which does nothing; the arrow opens
    // the menu.
    for (auto [action, menu] :
         {std::pair{ShowAddArticleMenu, PopupMenu1}, std::pair{ShowHelpMenu, PopupMenu3}}) {
        auto *button = qobject_cast<QToolButton *>(RzToolbar1->widgetForAction(action));
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }

    Image1 = new QLabel(band);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(Pictures::Logo());
    Image1->setFixedSize(114, 48);

    auto *layout = new QHBoxLayout(band);
    layout->setContentsMargins(6, 0, 16, 0);
    layout->addWidget(RzToolbar1, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    layout->addWidget(Image1, 0, Qt::AlignVCenter);
    setMenuWidget(band);
}

void TMainForm::CreateTree() {
    RzCheckTree1 = new TLinedTree(this);
    RzCheckTree1->setObjectName(QStringLiteral("RzCheckTree1"));
    SetUpLibraryTree();

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    QMenu *addMenu = PopupMenu2->addMenu(QStringLiteral("添加文章"));
    addMenu->setObjectName(QStringLiteral("PopupMenu2AddArticle"));
    addMenu->menuAction()->setIcon(Pictures::Toolbar(TToolbarPicture::AddArticle));
    addMenu->addAction(AddArticle);
    addMenu->addAction(FileToArticle);
    PopupMenu2->addAction(DeleteArticles);
    PopupMenu2->addAction(AddDir);
    PopupMenu2->addAction(ExportArticles);
    PopupMenu2->addAction(ImportArticles);

    RzCheckTree1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RzCheckTree1, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        PopupMenu2->popup(RzCheckTree1->viewport()->mapToGlobal(at));
    });
}

void TMainForm::CreateDirPage() {
    DirPage = new QWidget;
    DirPage->setObjectName(QStringLiteral("DirPage"));
    EdtDir = MakeEdit(DirPage, "EdtDir");
    EdtDir->setMinimumWidth(320);
    LbBlockCount2 = MakeLabel(DirPage, "LbBlockCount2");
    LbTip = MakeLabel(DirPage, "LbTip");
    LbTip->setProperty("mxRole", QStringLiteral("tip"));
    LbTip->setWordWrap(true);
    suiButton2 = MakeButton(DirPage, "suiButton2", QStringLiteral("保存"));

    auto *nameLabel = new QLabel(QStringLiteral("书名："), DirPage);
    nameLabel->setBuddy(EdtDir);
    auto *grid = new QGridLayout(DirPage);
    grid->setContentsMargins(24, 24, 24, 24);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(14);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(EdtDir, 0, 1);
    grid->addWidget(suiButton2, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("文章数量："), DirPage), 1, 0);
    grid->addWidget(LbBlockCount2, 1, 1);
    grid->addWidget(LbTip, 2, 0, 1, 4);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);
}

void TMainForm::CreateBlockPage() {
    BlockPage = new QWidget;
    BlockPage->setObjectName(QStringLiteral("BlockPage"));
    EdtTitle = MakeEdit(BlockPage, "EdtTitle");
    EdtAuthor = MakeEdit(BlockPage, "EdtAuthor");

    EditCutCmd =
        MakeSmallButton(BlockPage, "EditCutCmd", TEditPicture::Cut, QStringLiteral("剪切"));
    EditCopyCmd =
        MakeSmallButton(BlockPage, "EditCopyCmd", TEditPicture::Copy, QStringLiteral("复制"));
    EditPasteCmd =
        MakeSmallButton(BlockPage, "EditPasteCmd", TEditPicture::Paste, QStringLiteral("粘贴"));
    EditUndoCmd =
        MakeSmallButton(BlockPage, "EditUndoCmd", TEditPicture::Undo, QStringLiteral("恢复"));
    RzToolbarButton2 = MakeSmallButton(BlockPage, "RzToolbarButton2", TEditPicture::Wrap,
                                       QStringLiteral("是否换行显示"));
    RzToolbarButton6 = MakeSmallButton(BlockPage, "RzToolbarButton6",
                                       TEditPicture::RemoveBlankLines, QStringLiteral("去掉空行"));
    RzToolbarButton7 = MakeSmallButton(BlockPage, "RzToolbarButton7", TEditPicture::WordCount,
                                       QStringLiteral("统计文章字数"));

    MmText = new QPlainTextEdit(BlockPage);
    MmText->setObjectName(QStringLiteral("MmText"));
    MmText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    MmText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MmText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MmText->setTabChangesFocus(true);

    suiButton1 = MakeButton(BlockPage, "suiButton1", QStringLiteral("保存"));
    suiButton3 = MakeButton(BlockPage, "suiButton3", QStringLiteral("线式阅读(点这里)"));
    suiButton4 = MakeButton(BlockPage, "suiButton4", QStringLiteral("止移跟读(点这里)"));
    suiButton3->setProperty("tag", 0);
    suiButton4->setProperty("tag", 1);
    for (QPushButton *reading : {suiButton3, suiButton4}) {
        reading->setProperty("mxRole", QStringLiteral("reading"));
        reading->setMinimumSize(180, 36);
    }

    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(10);
    auto *titleLabel = new QLabel(QStringLiteral("文章标题："), BlockPage);
    titleLabel->setBuddy(EdtTitle);
    auto *authorLabel = new QLabel(QStringLiteral("作者："), BlockPage);
    authorLabel->setBuddy(EdtAuthor);
    fields->addWidget(titleLabel, 0, 0);
    fields->addWidget(EdtTitle, 0, 1);
    fields->addWidget(authorLabel, 1, 0);
    fields->addWidget(EdtAuthor, 1, 1);
    fields->setColumnStretch(1, 1);

    auto *tools = new QHBoxLayout;
    tools->setSpacing(2);
    auto *textLabel = new QLabel(QStringLiteral("内容："), BlockPage);
    textLabel->setBuddy(MmText);
    tools->addWidget(textLabel);
    tools->addSpacing(8);
    for (QToolButton *button : {EditCutCmd, EditCopyCmd, EditPasteCmd, EditUndoCmd,
                                RzToolbarButton2, RzToolbarButton6, RzToolbarButton7}) {
        tools->addWidget(button);
    }
    tools->addStretch(1);
    tools->addWidget(suiButton1);

    auto *reading = new QHBoxLayout;
    reading->addStretch(1);
    reading->addWidget(suiButton3);
    reading->addSpacing(40);
    reading->addWidget(suiButton4);
    reading->addStretch(1);

    auto *layout = new QVBoxLayout(BlockPage);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(8);
    layout->addLayout(fields);
    layout->addLayout(tools);
    layout->addWidget(MmText, 1);
    layout->addSpacing(4);
    layout->addLayout(reading);
}

void TMainForm::CreateMyBookPage() {
    MyBookPage = new QWidget;
    MyBookPage->setObjectName(QStringLiteral("MyBookPage"));
    LbBlockCount = MakeLabel(MyBookPage, "LbBlockCount");
    LbDirCount = MakeLabel(MyBookPage, "LbDirCount");

    IntroText = new TScrollingText(MyBookPage);
    IntroText->setObjectName(QStringLiteral("IntroText"));
    IntroText->document()->setDocumentMargin(10);
    IntroText->setHtml(IntroductionHtml());

    WebBrowser1 = new QTextBrowser(MyBookPage);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    // Links open in the user's web browser; the program itself fetches nothing.
    WebBrowser1->setOpenExternalLinks(true);

    auto *counts = new QHBoxLayout;
    counts->setContentsMargins(12, 4, 12, 4);
    counts->addWidget(new QLabel(QStringLiteral("共有文章："), MyBookPage));
    counts->addWidget(LbBlockCount);
    counts->addSpacing(48);
    counts->addWidget(new QLabel(QStringLiteral("共有书目："), MyBookPage));
    counts->addWidget(LbDirCount);
    counts->addStretch(1);

    auto *layout = new QVBoxLayout(MyBookPage);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(6);
    layout->addWidget(MakeHeader(QStringLiteral("我的书籍"), MyBookPage));
    layout->addLayout(counts);
    layout->addSpacing(6);
    layout->addWidget(MakeHeader(QStringLiteral("人生成才读书始，书中自有成功路"), MyBookPage));
    layout->addWidget(IntroText, 3);
    layout->addSpacing(6);
    layout->addWidget(MakeHeader(QStringLiteral("欢迎访问以下阅读类网站"), MyBookPage));
    layout->addWidget(WebBrowser1, 2);
}

void TMainForm::CreateStatusBar() {
    RzStatusPane1 = new QLabel(this);
    RzStatusPane1->setObjectName(QStringLiteral("RzStatusPane1"));
    RzStatusPane1->setFixedWidth(DatePaneWidth);
    RzStatusPane1->setAlignment(Qt::AlignCenter);
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("RzStatusBar1"));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(StatusBarHeight);
    bar->addPermanentWidget(RzStatusPane1);
}

void TMainForm::SetTabOrder() {
    // One chain through the tree and every page; widgets of hidden pages are skipped.
    const QList<QWidget *> chain = {RzCheckTree1, EdtDir,     suiButton2, EdtTitle,   EdtAuthor,
                                    MmText,       suiButton1, suiButton3, suiButton4, WebBrowser1};
    for (qsizetype i = 0; i + 1 < chain.size(); ++i) {
        setTabOrder(chain.at(i), chain.at(i + 1));
    }
}

// Builds every component, in the order of the window from top to bottom.
void TMainForm::CreateLayout() {
    CreateActions();
    CreateTopBand();
    CreateTree();
    CreateDirPage();
    CreateBlockPage();
    CreateMyBookPage();

    RzPageControl1 = new QStackedWidget(this);
    RzPageControl1->setObjectName(QStringLiteral("RzPageControl1"));
    RzPageControl1->addWidget(DirPage);
    RzPageControl1->addWidget(BlockPage);
    RzPageControl1->addWidget(MyBookPage);
    RzPageControl1->setCurrentWidget(MyBookPage);

    RzSplitter1 = new QSplitter(Qt::Horizontal, this);
    RzSplitter1->setObjectName(QStringLiteral("RzSplitter1"));
    RzSplitter1->setHandleWidth(SplitterHandleWidth);
    RzSplitter1->setChildrenCollapsible(false);
    RzSplitter1->addWidget(RzCheckTree1);
    RzSplitter1->addWidget(RzPageControl1);
    RzSplitter1->setStretchFactor(0, 31);
    RzSplitter1->setStretchFactor(1, 69);
    RzSplitter1->setSizes({TreeDesignWidth, PagesDesignWidth});
    setCentralWidget(RzSplitter1);

    CreateStatusBar();
    SetTabOrder();
}

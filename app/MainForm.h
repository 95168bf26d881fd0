#pragma once

#include "store/BlockModal.h"
#include "store/IBlockService.h"

#include <QDate>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTextBrowser;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class TCheckCascade;
class TGlobalManager;
class TScrollingText;
class TUpdateForm;

// The main window: toolbar, library tree, the three pages and the status bar.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // The clock that the date pane reads; tests give a fixed date.
    using TClock = std::function<QDate()>;

    explicit TMainForm(TGlobalManager &settings, TClock clock = &QDate::currentDate);
    ~TMainForm() override;

    // ---- Components (named as the rest of the program refers to them) ----
    QAction *AddArticle = nullptr;
    QAction *FileToArticle = nullptr;
    QAction *DeleteArticles = nullptr;
    QAction *AddDir = nullptr;
    QAction *ExportArticles = nullptr;
    QAction *ImportArticles = nullptr;
    QAction *ShowHelpDoc = nullptr;
    QAction *ShowAboutInfo = nullptr;
    QAction *SelectTheme = nullptr;
    QAction *ShowAddArticleMenu = nullptr;
    QAction *ShowHelpMenu = nullptr;
    QAction *ExitAction = nullptr;

    QMenu *PopupMenu1 = nullptr; // toolbar "添加文章" drop-down
    QMenu *PopupMenu2 = nullptr; // context menu of the tree
    QMenu *PopupMenu3 = nullptr; // toolbar "用户中心" drop-down

    QToolBar *RzToolbar1 = nullptr;
    QLabel *Image1 = nullptr; // the logo
    QSplitter *RzSplitter1 = nullptr;
    QTreeWidget *RzCheckTree1 = nullptr;
    QStackedWidget *RzPageControl1 = nullptr;

    QWidget *DirPage = nullptr;
    QLineEdit *EdtDir = nullptr;
    QLabel *LbBlockCount2 = nullptr;
    QLabel *LbTip = nullptr;
    QPushButton *suiButton2 = nullptr; // 保存 (book name)

    QWidget *BlockPage = nullptr;
    QLineEdit *EdtTitle = nullptr;
    QLineEdit *EdtAuthor = nullptr;
    QPlainTextEdit *MmText = nullptr;
    QToolButton *EditCutCmd = nullptr;
    QToolButton *EditCopyCmd = nullptr;
    QToolButton *EditPasteCmd = nullptr;
    QToolButton *EditUndoCmd = nullptr;
    QToolButton *RzToolbarButton2 = nullptr; // 是否换行显示
    QToolButton *RzToolbarButton6 = nullptr; // 去掉空行
    QToolButton *RzToolbarButton7 = nullptr; // 统计文章字数
    QPushButton *suiButton1 = nullptr;       // 保存 (article)
    QPushButton *suiButton3 = nullptr;       // 线式阅读(点这里), tag 0
    QPushButton *suiButton4 = nullptr;       // 止移跟读(点这里), tag 1

    QWidget *MyBookPage = nullptr;
    QLabel *LbBlockCount = nullptr;
    QLabel *LbDirCount = nullptr;
    TScrollingText *IntroText = nullptr;
    QTextBrowser *WebBrowser1 = nullptr;

    QLabel *RzStatusPane1 = nullptr;

    // ---- Library tree ----
    // Gives RzCheckTree1 its look, its check-box rules and its selection handler; called once,
    // right after the tree is made.
    void SetUpLibraryTree();
    void RefreshTree();
    void RzCheckTree1Change(QTreeWidgetItem *node);
    void ShowArticle(TArticle *article, const TLineList &lines);
    void ShowBook(TDir *book);
    void ShowLibrarySummary();
    QList<TArticle *> GetCheckedArticles() const;

    // ---- Commands ----
    void AddArticleExecute();
    void FileToArticleExecute();
    void DeleteArticlesExecute();
    void AddDirExecute();
    void ExportArticlesExecute();
    void ImportArticlesExecute();
    void RzBitBtn1Click(); // save the shown article
    void RzBitBtn3Click(); // rename the shown book
    // Starts a reading of the shown and the checked articles; the sender's tag chooses the
    // method (MainFormReading.cpp).
    void RzBmpButton1Click(const QObject *sender);
    void EditCutCmdExecute();
    void EditCopyCmdExecute();
    void EditPasteCmdExecute();
    void EditUndoCmdExecute();
    void RzToolbarButton2Click(); // switch line wrapping
    void RzToolbarButton6Click(); // remove blank lines
    void RzToolbarButton7Click(); // word count
    void ShowAddArticleMenuExecute() {}
    void ShowHelpMenuExecute() {}
    void ExitActionExecute();

    // ---- The "用户中心" menu and the logo (MainFormUserCenter.cpp) ----
    void ShowHelpDocExecute();
    void SelectThemeExecute();
    void ShowAboutInfoExecute();
    void Image1Click();

    IBlockService *BlockService() const { return FBlockService.get(); }
    TBookList *Books() const { return FBooks.get(); }
    QTreeWidgetItem *CurrentBookNode() const { return FCurrentBookNode; }
    QTreeWidgetItem *CurrentArticleNode() const { return FCurrentArticleNode; }

protected:
    void showEvent(QShowEvent *event) override;
    // Asks about unsaved edits of the shown article before the window closes.
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void FormDestroy();

    // Building the window (MainFormLayout.cpp).
    void CreateLayout();
    void CreateActions();
    void CreateTopBand();
    void CreateTree();
    void CreateDirPage();
    void CreateBlockPage();
    void CreateMyBookPage();
    void CreateStatusBar();
    void SetTabOrder();
    void ConnectHandlers();
    void ConnectUserCenter();

    // Creates the hidden update window and starts the background update check, when the
    // program has an update list address (UpdateListAddress).
    void StartUpdateCheck();

    // Seam: the article service arrives with the store.
    IBlockServicePtr CreateBlockService();

    TGlobalManager &FSettings;
    TClock FClock;
    bool FShown = false;

    std::unique_ptr<TUpdateForm> FUpdateForm;
    IBlockServicePtr FBlockService;
    std::unique_ptr<TBookList> FBooks;
    // Books made by AddDir since the last rebuild; the window owns them until then.
    std::vector<std::unique_ptr<TDir>> FAddedDirs;
    QTreeWidgetItem *FCurrentArticleNode = nullptr;
    QTreeWidgetItem *FCurrentBookNode = nullptr;
    // The check-box rules of RzCheckTree1; owned by the tree.
    TCheckCascade *FCheckCascade = nullptr;
    // The selected node of the tree; null when nothing is selected.
    QTreeWidgetItem *SelectedNode() const;
    // The book node of the selection: the node itself, the parent of an article; else null.
    QTreeWidgetItem *ChosenBookNode() const;
    // Adds a node below a parent (unchecked; the parent's state follows), selects it and
    // shows it as a selection by the user would.
    void AddAndSelectNode(QTreeWidgetItem *parent, QTreeWidgetItem *node);
    // The node whose page is shown: the current article or book, or the root on the summary.
    QTreeWidgetItem *ShownNode() const;
    // Puts the tree's selection back on the shown node once the event that moved it is over
    // (the page did not follow the selection).
    void MarkShownNodeLater();

    // Saving and unsaved edits (MainFormEditing.cpp).
    // Saves the shown article as the article page's save button does; false when nothing
    // was saved (no article shown, or the question about its length was declined).
    bool SaveShownArticle();
    // The node of the loaded article whose row the replace rule removes when this record is
    // stored as a new article; null when no loaded article is hit.
    QTreeWidgetItem *ReplacedArticleNode(const TArticle &stored) const;
    // Takes the node of an article whose row is gone out of the tree.
    void DropArticleNode(QTreeWidgetItem *node);
    // The articles of a book that the tree still shows.
    int KeptArticleCount(const TDir &book) const;
    // Records whose nodes were dropped since the last rebuild; their books still hold them.
    std::unordered_set<const TArticle *> FDroppedArticles;
    // The shown article as the page showed it when it was filled or last saved.
    struct TShownArticle {
        QString Title;
        QString Author;
        QString Text;
    };
    TShownArticle FShownArticle;
    void RememberShownArticle();
    // True when title, author or text of the shown article differ from what was shown.
    bool ArticleEdited() const;
    // Before the shown article is left: asks about unsaved edits and saves them or drops
    // them. False when the user chose to save and the save did not happen: stay then.
    bool LeaveShownArticle();
};

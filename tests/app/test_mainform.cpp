// The application shell: the main window's start, layout, first show and end, the theme
// check, the message-box hook and the application-wide error handler.
#include "app/Application.h"
#include "app/FileDialog.h"
#include "app/GlobalManager.h"
#include "app/MainForm.h"
#include "app/MessageBox.h"
#include "app/ScrollingText.h"
#include "app/ThemeManager.h"
#include "support/TempAppFolder.h"
#include "util/Errors.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QtTest>

#include <functional>
#include <memory>
#include <stdexcept>

namespace {

QDate FixedDay() {
    return QDate(2008, 11, 25);
}

// A start of the program in a temporary application folder: the settings first, then the
// window, which goes before the settings.
class TShell {
public:
    explicit TShell(const TempAppFolder &folder, TMainForm::TClock clock = &FixedDay)
        : Settings(std::make_unique<TGlobalManager>(folder.Path())),
          Form(std::make_unique<TMainForm>(*Settings, std::move(clock))) {}
    ~TShell() {
        Form.reset();
        Settings.reset();
    }
    TShell(const TShell &) = delete;
    TShell &operator=(const TShell &) = delete;

    std::unique_ptr<TGlobalManager> Settings;
    std::unique_ptr<TMainForm> Form;
};

// The value of a key in an INI text; a null string when the section or key is missing.
QString IniValue(const QByteArray &ini, const QString &section, const QString &key) {
    QString current;
    const QStringList lines = QString::fromUtf8(ini).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = line.mid(1, line.size() - 2);
        } else if (current == section && line.startsWith(key + QLatin1Char('='))) {
            return line.mid(key.size() + 1);
        }
    }
    return QString();
}

QStringList ActionNames(const QMenu *menu) {
    QStringList names;
    for (const QAction *action : menu->actions()) {
        names << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    }
    return names;
}

QToolButton *ToolbarButton(const TMainForm &form, QAction *action) {
    return qobject_cast<QToolButton *>(form.RzToolbar1->widgetForAction(action));
}

// An object whose handler fails for every user event.
class TFailingObject : public QObject {
public:
    explicit TFailingObject(std::function<void()> fail) : FFail(std::move(fail)) {}

protected:
    bool event(QEvent *event) override {
        if (event->type() == QEvent::User) {
            FFail();
        }
        return QObject::event(event);
    }

private:
    std::function<void()> FFail;
};

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartInFreshFolder();
    void toolbarHoldsTheCommandsInOrder();
    void commands_data();
    void commands();
    void dropDownButtons_data();
    void dropDownButtons();
    void treeContextMenu();
    void pagesHaveNoTabsAndTheirControls();
    void datePane_data();
    void datePane();
    void endsWithoutQuestion_data();
    void endsWithoutQuestion();
    void unwritableConfigIsReportedOnce();
    void libraryThatCannotBeCreated();
    void themeAcceptance_data();
    void themeAcceptance();
    void escapedExceptionIsReported_data();
    void escapedExceptionIsReported();
    void questionHookAnswers();
    void fileDialogHookAnswers();
    void dialogFilters_data();
    void dialogFilters();
    void introTextScrollsByItself();
    void toolbarToolTips_data();
    void toolbarToolTips();
    void statusBarShowsNoHints();

private:
    std::unique_ptr<TempAppFolder> FFolder;
};

void TestMainForm::init() {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    TMessageBoxHook::Install();
    FFolder = std::make_unique<TempAppFolder>();
    QVERIFY(FFolder->IsValid());
    FFolder->CopyThemes();
}

void TestMainForm::cleanup() {
    FFolder.reset();
    TMessageBoxHook::Uninstall();
    TFileDialogHook::Uninstall();
    QLocale::setDefault(QLocale::system());
}

void TestMainForm::firstStartInFreshFolder() {
    QVERIFY(!FFolder->Exists(QStringLiteral("Config.ini")));
    {
        TShell shell(*FFolder);
        // Made, not shown yet: the executable's path is stored already.
        QCOMPARE(IniValue(FFolder->ReadFile(QStringLiteral("Config.ini")), QStringLiteral("Main"),
                          QStringLiteral("AppPath")),
                 QCoreApplication::applicationFilePath());
        QVERIFY(FFolder->Exists(QStringLiteral("db/Lumo.db")));

        TMainForm &form = *shell.Form;
        form.show();
        QVERIFY(form.isMaximized());
        QCOMPARE(form.windowTitle(), QStringLiteral("明心轩阅读器"));
        QCOMPARE(form.RzPageControl1->currentWidget(), form.MyBookPage);
        QCOMPARE(form.RzCheckTree1->topLevelItemCount(), 1);
        QCOMPARE(form.RzCheckTree1->topLevelItem(0)->text(0), QStringLiteral("我的书籍"));
        const auto silver =
            ThemeManager::ReadTheme(FFolder->FilePath(QStringLiteral("themes/xpsilver.sui")));
        QVERIFY(silver.has_value() && !silver->isEmpty());
        QCOMPARE(form.styleSheet(), *silver);
        QVERIFY(TMessageBoxHook::Shown().isEmpty());
    }
    // The settings are gone last and leave every key.
    const QByteArray ini = FFolder->ReadFile(QStringLiteral("Config.ini"));
    const QList<QPair<QString, QString>> keys = {
        {QStringLiteral("Main"), QStringLiteral("AppVersion")},
        {QStringLiteral("Main"), QStringLiteral("PubVersion")},
        {QStringLiteral("Main"), QStringLiteral("AppPath")},
        {QStringLiteral("Main"), QStringLiteral("AppDate")},
        {QStringLiteral("Article"), QStringLiteral("ContentMaxWordCount")},
        {QStringLiteral("View"), QStringLiteral("ThemeFile")},
        {QStringLiteral("Block"), QStringLiteral("BlockConfig")},
        {QStringLiteral("Block"), QStringLiteral("FlashConfig")},
    };
    for (const auto &[section, key] : keys) {
        QVERIFY2(!IniValue(ini, section, key).isNull(), qPrintable(section + u'/' + key));
    }
    QCOMPARE(IniValue(ini, QStringLiteral("View"), QStringLiteral("ThemeFile")),
             FFolder->FilePath(QStringLiteral("themes/xpsilver.sui")));
}

void TestMainForm::toolbarHoldsTheCommandsInOrder() {
    TShell shell(*FFolder);
    TMainForm &form = *shell.Form;
    form.show();

    // Null stands for a spacer.
    const QList<QAction *> expected = {
        form.ShowAddArticleMenu, form.DeleteArticles, nullptr,           form.AddDir,    nullptr,
        form.ExportArticles,     form.ImportArticles, form.ShowHelpMenu, form.ExitAction};
    const QList<QAction *> actions = form.RzToolbar1->actions();
    QCOMPARE(actions.size(), expected.size());
    for (qsizetype i = 0; i < actions.size(); ++i) {
        if (expected.at(i) == nullptr) {
            QVERIFY2(actions.at(i)->isSeparator(), qPrintable(QString::number(i)));
            continue;
        }
        QCOMPARE(actions.at(i), expected.at(i));
        QToolButton *button = ToolbarButton(form, actions.at(i));
        QVERIFY(button != nullptr);
        QCOMPARE(button->width(), 81);
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(!button->icon().isNull());
    }
    QCOMPARE(form.menuWidget()->height(), 89);
    // The logo sits on the right of the band, after the toolbar.
    QVERIFY(form.Image1->geometry().left() > form.RzToolbar1->geometry().right());
    QVERIFY(!form.Image1->pixmap().isNull());
}

void TestMainForm::commands_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("AddArticle") << "AddArticle"
                                << "添加文章"
                                << "" << true;
    QTest::newRow("FileToArticle") << "FileToArticle"
                                   << "批量添加文章"
                                   << "" << true;
    QTest::newRow("DeleteArticles") << "DeleteArticles"
                                    << "删除文章"
                                    << "删除选定的文章" << true;
    QTest::newRow("AddDir") << "AddDir"
                            << "添加书目"
                            << "向库中添加一个书目" << true;
    QTest::newRow("ExportArticles") << "ExportArticles"
                                    << "制作文章包"
                                    << "将选定的文章压缩到指定的一个文件中" << true;
    QTest::newRow("ImportArticles") << "ImportArticles"
                                    << "导入文章包"
                                    << "从文章包中提取文章到库中" << true;
    QTest::newRow("ShowHelpDoc") << "ShowHelpDoc"
                                 << "如何使用"
                                 << "" << true;
    QTest::newRow("ShowAboutInfo") << "ShowAboutInfo"
                                   << "关于系统"
                                   << "" << true;
    QTest::newRow("SelectTheme") << "SelectTheme"
                                 << "界面风格"
                                 << "" << true;
    QTest::newRow("ShowAddArticleMenu") << "ShowAddArticleMenu"
                                        << "添加文章"
                                        << "手工录入文章或者从文件中导入文章" << true;
    QTest::newRow("ShowHelpMenu") << "ShowHelpMenu"
                                  << "用户中心"
                                  << "如何使用、界面风格、关于系统" << true;
    QTest::newRow("ExitAction") << "ExitAction"
                                << "退  出"
                                << "" << true;
}

void TestMainForm::commands() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    QFETCH(bool, enabled);

    TShell shell(*FFolder);
    const auto *action = shell.Form->findChild<QAction *>(name);
    QVERIFY(action != nullptr);
    QCOMPARE(action->text(), caption);
    // Hints are tool tips only: the status bar's left side stays empty.
    QVERIFY(action->statusTip().isEmpty());
    if (!hint.isEmpty()) {
        QCOMPARE(action->toolTip(), hint);
    }
    QCOMPARE(action->isEnabled(), enabled);
    QVERIFY(action->shortcuts().isEmpty());
}

void TestMainForm::dropDownButtons_data() {
    QTest::addColumn<QString>("actionName");
    QTest::addColumn<QString>("menuName");
    QTest::addColumn<QStringList>("menuActions");

    QTest::newRow("添加文章") << "ShowAddArticleMenu"
                              << "PopupMenu1" << QStringList{"AddArticle", "FileToArticle"};
    QTest::newRow("用户中心") << "ShowHelpMenu"
                              << "PopupMenu3"
                              << QStringList{"ShowHelpDoc", "SelectTheme", "-", "ShowAboutInfo"};
}

void TestMainForm::dropDownButtons() {
    QFETCH(QString, actionName);
    QFETCH(QString, menuName);
    QFETCH(QStringList, menuActions);

    TShell shell(*FFolder);
    TMainForm &form = *shell.Form;
    form.show();
    auto *action = form.findChild<QAction *>(actionName);
    auto *menu = form.findChild<QMenu *>(menuName);
    QToolButton *button = ToolbarButton(form, action);
    QVERIFY(action && menu && button);
    QCOMPARE(button->popupMode(), QToolButton::MenuButtonPopup);
    QCOMPARE(button->menu(), menu);
    QCOMPARE(ActionNames(menu), menuActions);

    // The face runs the action, which changes nothing and opens no menu.
    QSignalSpy triggered(action, &QAction::triggered);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, button->height() / 2));
    QCOMPARE(triggered.count(), 1);
    QVERIFY(!menu->isVisible());
    QCOMPARE(form.RzPageControl1->currentWidget(), form.MyBookPage);
    QCOMPARE(form.RzCheckTree1->topLevelItem(0)->childCount(), 0);
    QVERIFY(TMessageBoxHook::Shown().isEmpty());

    // The arrow opens the menu and runs nothing.
    bool menuOpened = false;
    QTimer::singleShot(100, menu, [&] {
        menuOpened = menu->isVisible();
        menu->close();
    });
    QTest::mousePress(button, Qt::LeftButton, {},
                      QPoint(button->width() - 4, button->height() / 2));
    QTRY_VERIFY(menuOpened);
    QCOMPARE(triggered.count(), 1);
}

void TestMainForm::treeContextMenu() {
    TShell shell(*FFolder);
    const TMainForm &form = *shell.Form;
    const QList<QAction *> actions = form.PopupMenu2->actions();
    QCOMPARE(actions.size(), 5);
    QMenu *addMenu = actions.at(0)->menu();
    QVERIFY(addMenu != nullptr);
    QCOMPARE(actions.at(0)->text(), QStringLiteral("添加文章"));
    QCOMPARE(addMenu->actions(), (QList<QAction *>{form.AddArticle, form.FileToArticle}));
    QCOMPARE(actions.mid(1), (QList<QAction *>{form.DeleteArticles, form.AddDir,
                                               form.ExportArticles, form.ImportArticles}));
    QCOMPARE(form.RzCheckTree1->contextMenuPolicy(), Qt::CustomContextMenu);
}

void TestMainForm::pagesHaveNoTabsAndTheirControls() {
    TShell shell(*FFolder);
    TMainForm &form = *shell.Form;
    form.show();
    QVERIFY(form.findChildren<QTabBar *>().isEmpty());
    QCOMPARE(form.RzPageControl1->count(), 3);
    QCOMPARE(form.RzPageControl1->widget(0), form.DirPage);
    QCOMPARE(form.RzPageControl1->widget(1), form.BlockPage);
    QCOMPARE(form.RzPageControl1->widget(2), form.MyBookPage);

    // The small buttons above the text, left to right.
    form.RzPageControl1->setCurrentWidget(form.BlockPage);
    const QList<QToolButton *> small = {
        form.EditCutCmd,       form.EditCopyCmd,      form.EditPasteCmd,    form.EditUndoCmd,
        form.RzToolbarButton2, form.RzToolbarButton6, form.RzToolbarButton7};
    const QStringList hints = {"剪切",         "复制",     "粘贴",        "恢复",
                               "是否换行显示", "去掉空行", "统计文章字数"};
    for (qsizetype i = 0; i < small.size(); ++i) {
        QCOMPARE(small.at(i)->toolTip(), hints.at(i));
        if (i > 0) {
            QVERIFY(small.at(i - 1)->geometry().right() < small.at(i)->geometry().left());
        }
    }
    QCOMPARE(form.MmText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(form.MmText->lineWrapMode(), QPlainTextEdit::WidgetWidth);

    // The reading buttons: present, tagged, usable.
    QCOMPARE(form.suiButton3->text(), QStringLiteral("线式阅读(点这里)"));
    QCOMPARE(form.suiButton4->text(), QStringLiteral("止移跟读(点这里)"));
    QCOMPARE(form.suiButton3->property("tag").toInt(), 0);
    QCOMPARE(form.suiButton4->property("tag").toInt(), 1);
    QVERIFY(form.suiButton3->isEnabled());
    QVERIFY(form.suiButton4->isEnabled());
    QCOMPARE(form.suiButton1->text(), QStringLiteral("保存"));
    QCOMPARE(form.suiButton2->text(), QStringLiteral("保存"));
}

void TestMainForm::datePane_data() {
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("text");

    QTest::newRow("Tuesday") << QDate(2008, 11, 25) << "2008年11月25日 星期二";
    QTest::newRow("no leading zeros") << QDate(2009, 1, 5) << "2009年1月5日 星期一";
}

void TestMainForm::datePane() {
    QFETCH(QDate, day);
    QFETCH(QString, text);

    TShell shell(*FFolder, [day] { return day; });
    TMainForm &form = *shell.Form;
    form.show();
    QCOMPARE(form.RzStatusPane1->text(), text);
    QCOMPARE(form.RzStatusPane1->width(), 189);
    QCOMPARE(form.RzStatusPane1->parentWidget(), form.statusBar());
}

void TestMainForm::endsWithoutQuestion_data() {
    QTest::addColumn<bool>("byExitCommand");
    QTest::newRow("退  出") << true;
    QTest::newRow("close button") << false;
}

void TestMainForm::endsWithoutQuestion() {
    QFETCH(bool, byExitCommand);

    TShell shell(*FFolder);
    TMainForm &form = *shell.Form;
    form.show();
    QTimer::singleShot(0, &form, [&] {
        if (byExitCommand) {
            form.ExitAction->trigger();
        } else {
            form.close();
        }
    });
    // A loop that does not end is ended by this timer, with another code.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(7); });
    guard.start(5000);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!form.isVisible());
    QVERIFY(TMessageBoxHook::Shown().isEmpty());
}

void TestMainForm::unwritableConfigIsReportedOnce() {
    // A folder where Config.ini should be: no settings file can be written.
    QVERIFY(QDir(FFolder->Path()).mkdir(QStringLiteral("Config.ini")));
    TShell shell(*FFolder);
    shell.Form->show();

    const auto shown = TMessageBoxHook::Shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.at(0).Kind, TMessageBoxHook::TKind::Notice);
    QVERIFY2(shown.at(0).Text.contains(QStringLiteral("Config.ini")), qPrintable(shown.at(0).Text));
    QVERIFY(shell.Form->isVisible());
    QCOMPARE(shell.Form->RzStatusPane1->text(), QStringLiteral("2008年11月25日 星期二"));
}

void TestMainForm::libraryThatCannotBeCreated() {
    // A file where the db folder should be: the database cannot be made.
    FFolder->WriteFile(QStringLiteral("db"), "not a folder");
    TShell shell(*FFolder);
    auto shown = TMessageBoxHook::Shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.at(0).Kind, TMessageBoxHook::TKind::Notice);
    QVERIFY2(shown.at(0).Text.contains(QStringLiteral("Lumo.db")), qPrintable(shown.at(0).Text));

    // The window still opens completely; reading the library fails and is reported.
    TMainForm &form = *shell.Form;
    form.show();
    QVERIFY(form.isVisible());
    QCOMPARE(form.RzStatusPane1->text(), QStringLiteral("2008年11月25日 星期二"));
    QCOMPARE(form.RzPageControl1->currentWidget(), form.MyBookPage);
    shown = TMessageBoxHook::Shown();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(1).Kind, TMessageBoxHook::TKind::Error);

    // A command that needs the library fails, is reported, and the window goes on.
    form.AddDir->trigger();
    QCOMPARE(form.RzPageControl1->currentWidget(), form.DirPage);
    QTest::mouseClick(form.suiButton2, Qt::LeftButton);
    shown = TMessageBoxHook::Shown();
    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown.at(2).Kind, TMessageBoxHook::TKind::Error);
    QVERIFY2(shown.at(2).Details.contains(QStringLiteral("suiButton2")),
             qPrintable(shown.at(2).Details));
    form.ExitAction->trigger();
    QVERIFY(!form.isVisible());
}

void TestMainForm::themeAcceptance_data() {
    QTest::addColumn<QByteArray>("content"); // null: no file at all
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("sheet");

    QTest::newRow("theme") << QByteArray("/* sui-theme 1 */\nQLabel { color: #123456; }\n") << true
                           << "QLabel { color: #123456; }\n";
    QTest::newRow("CR LF") << QByteArray("/* sui-theme 1 */\r\nQLabel { color: red; }") << true
                           << "QLabel { color: red; }";
    QTest::newRow("signature only") << QByteArray("/* sui-theme 1 */") << true << "";
    QTest::newRow("no file") << QByteArray() << false << "";
    QTest::newRow("empty file") << QByteArray("") << false << "";
    QTest::newRow("other first line")
        << QByteArray("/* sui-theme 2 */\nQLabel { color: red; }") << false << "";
    QTest::newRow("signature on the second line")
        << QByteArray("\n/* sui-theme 1 */\nQLabel { color: red; }") << false << "";
    QTest::newRow("more on the signature line")
        << QByteArray("/* sui-theme 1 */ QLabel { color: red; }") << false << "";
    QTest::newRow("byte-order mark")
        << QByteArray("\xEF\xBB\xBF/* sui-theme 1 */\nQLabel { color: red; }") << false << "";
}

void TestMainForm::themeAcceptance() {
    QFETCH(QByteArray, content);
    QFETCH(bool, accepted);
    QFETCH(QString, sheet);

    const QString path = content.isNull()
                             ? FFolder->FilePath(QStringLiteral("themes/absent.sui"))
                             : FFolder->WriteFile(QStringLiteral("themes/probe.sui"), content);
    QCOMPARE(ThemeManager::IsThemeFile(path), accepted);

    // A window keeps its look when the file is refused.
    QWidget window;
    const QString before = QStringLiteral("QWidget { background: white; }");
    window.setStyleSheet(before);
    QCOMPARE(ThemeManager::ApplyThemeFile(&window, path), accepted);
    QCOMPARE(window.styleSheet(), accepted ? sheet : before);

    // The main window applies the settings' theme at its first show, silently.
    TShell shell(*FFolder);
    shell.Settings->ThemeFile = path;
    shell.Form->show();
    QCOMPARE(shell.Form->styleSheet(), accepted ? sheet : QString());
    QVERIFY(TMessageBoxHook::Shown().isEmpty());
}

void TestMainForm::escapedExceptionIsReported_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("type");

    QTest::newRow("program error") << 0 << "文章库无法打开"
                                   << "EDatabaseError";
    QTest::newRow("standard exception") << 1 << "disk full"
                                        << "std::runtime_error";
    QTest::newRow("anything else") << 2 << "未知错误"
                                   << "int";
}

void TestMainForm::escapedExceptionIsReported() {
    QFETCH(int, kind);
    QFETCH(QString, message);
    QFETCH(QString, type);

    const auto fail = [kind, message] {
        switch (kind) {
        case 0:
            throw EDatabaseError(message);
        case 1:
            throw std::runtime_error(message.toStdString());
        default:
            throw 42;
        }
    };
    const auto lastDetails = [] {
        return TMessageBoxHook::Shown().constLast().Details;
    };

    // A failing event handler: the application object catches it.
    TFailingObject receiver(fail);
    receiver.setObjectName(QStringLiteral("FailingObject"));
    QEvent event(QEvent::User);
    QVERIFY(!QCoreApplication::sendEvent(&receiver, &event));
    auto shown = TMessageBoxHook::Shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.at(0).Kind, TMessageBoxHook::TKind::Error);
    QCOMPARE(shown.at(0).Text, message);
    QVERIFY2(lastDetails().contains(type), qPrintable(lastDetails()));
    QVERIFY2(lastDetails().contains(QStringLiteral("QObject \"FailingObject\"")),
             qPrintable(lastDetails()));
    QVERIFY2(lastDetails().contains(QStringLiteral("User")), qPrintable(lastDetails()));

    // A failing command run by a click: reported where it is connected.
    QPushButton button(QStringLiteral("go"));
    button.setObjectName(QStringLiteral("FailingButton"));
    connect(&button, &QPushButton::clicked, &button, Guarded(&button, fail));
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(TMessageBoxHook::Shown().size(), 2);
    QCOMPARE(TMessageBoxHook::Shown().at(1).Text, message);
    QVERIFY2(lastDetails().contains(type), qPrintable(lastDetails()));
    QVERIFY2(lastDetails().contains(QStringLiteral("QPushButton \"FailingButton\"")),
             qPrintable(lastDetails()));

    // The program goes on: a failure in a timer's handler is reported too, and later events
    // are handled as usual.
    QTimer::singleShot(0, &button, fail);
    QTRY_COMPARE(TMessageBoxHook::Shown().size(), 3);
    QCOMPARE(TMessageBoxHook::Shown().at(2).Text, message);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(TMessageBoxHook::Shown().size(), 4);
    bool handled = false;
    QTimer::singleShot(0, &button, [&handled] { handled = true; });
    QTRY_VERIFY(handled);
}

void TestMainForm::questionHookAnswers() {
    TMessageBoxHook::QueueAnswer(true);
    TMessageBoxHook::QueueAnswer(false);
    QVERIFY(MessageBox::Ask(nullptr, QStringLiteral("一")));
    QVERIFY(!MessageBox::Ask(nullptr, QStringLiteral("二")));
    // Nothing queued: the cautious answer.
    QVERIFY(!MessageBox::Ask(nullptr, QStringLiteral("三")));
    MessageBox::Notice(nullptr, QStringLiteral("四"));

    const auto shown = TMessageBoxHook::Shown();
    QCOMPARE(shown.size(), 4);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(shown.at(i).Kind, TMessageBoxHook::TKind::Question);
    }
    QCOMPARE(shown.at(3).Kind, TMessageBoxHook::TKind::Notice);
    QCOMPARE(shown.at(3).Text, QStringLiteral("四"));
}

void TestMainForm::fileDialogHookAnswers() {
    TFileDialogHook::Install();
    TFileDialogHook::QueueAnswer(QStringLiteral("/tmp/a.eap"));
    QCOMPARE(FileDialog::GetSaveFileName(nullptr, QStringLiteral("保存"), QStringLiteral("/tmp"),
                                         QStringLiteral("文章包 (*.eap)|*.eap"),
                                         QStringLiteral("eap")),
             QStringLiteral("/tmp/a.eap"));
    // Nothing queued: the user cancelled.
    QVERIFY(FileDialog::GetExistingDirectory(nullptr, QStringLiteral("请选择文件所在的书目"),
                                             QStringLiteral("/tmp"))
                .isEmpty());

    const auto requests = TFileDialogHook::Requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(0).Kind, TFileDialogHook::TKind::Save);
    QCOMPARE(requests.at(0).Filter, QStringLiteral("文章包 (*.eap)|*.eap"));
    QCOMPARE(requests.at(0).DefaultSuffix, QStringLiteral("eap"));
    QCOMPARE(requests.at(1).Kind, TFileDialogHook::TKind::Directory);
    QCOMPARE(requests.at(1).Caption, QStringLiteral("请选择文件所在的书目"));
}

void TestMainForm::dialogFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qtFilter");

    QTest::newRow("bare pattern") << "sui|*.sui"
                                  << "sui (*.sui)";
    QTest::newRow("pattern in the description") << "文章包 (*.eap)|*.eap"
                                                << "文章包 (*.eap)";
    QTest::newRow("two filters, two patterns") << "文本|*.txt;*.TXT|全部|*.*"
                                               << "文本 (*.txt *.TXT);;全部 (*.*)";
    QTest::newRow("none") << ""
                          << "";
}

void TestMainForm::dialogFilters() {
    QFETCH(QString, filter);
    QFETCH(QString, qtFilter);
    QCOMPARE(FileDialog::ToQtFilter(filter), qtFilter);
}

void TestMainForm::introTextScrollsByItself() {
    TScrollingText text;
    text.setGeometry(400, 400, 200, 80); // away from the pointer
    text.setPlainText(QString(QStringLiteral("快速阅读\n")).repeated(60));
    text.SetSpeed(4, 5);
    QVERIFY(!text.IsScrolling());
    text.show();
    QVERIFY(text.IsScrolling());
    QTRY_VERIFY(text.verticalScrollBar()->value() > 0);

    // It holds still under the pointer and while hidden.
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(405, 405));
    QApplication::sendEvent(&text, &enter);
    QVERIFY(!text.IsScrolling());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&text, &leave);
    QVERIFY(text.IsScrolling());
    text.hide();
    QVERIFY(!text.IsScrolling());
}

void TestMainForm::toolbarToolTips_data() {
    QTest::addColumn<QString>("actionName");
    QTest::addColumn<QString>("tip"); // empty: no tip at all

    QTest::newRow("添加文章") << "ShowAddArticleMenu"
                              << "手工录入文章或者从文件中导入文章";
    QTest::newRow("删除文章") << "DeleteArticles"
                              << "删除选定的文章";
    QTest::newRow("添加书目") << "AddDir"
                              << "向库中添加一个书目";
    QTest::newRow("制作文章包") << "ExportArticles"
                                << "将选定的文章压缩到指定的一个文件中";
    QTest::newRow("导入文章包") << "ImportArticles"
                                << "从文章包中提取文章到库中";
    QTest::newRow("用户中心") << "ShowHelpMenu"
                              << "如何使用、界面风格、关于系统";
    QTest::newRow("退  出, no caption as tip") << "ExitAction"
                                               << "";
}

void TestMainForm::toolbarToolTips() {
    QFETCH(QString, actionName);
    QFETCH(QString, tip);

    TShell shell(*FFolder);
    TMainForm &form = *shell.Form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *action = form.findChild<QAction *>(actionName);
    QToolButton *button = ToolbarButton(form, action);
    QVERIFY(button != nullptr);

    // What the pointer resting on the button shows; once more after the action changed,
    // which makes the button take the action's texts again.
    for (int round = 0; round < 2; ++round) {
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());
        const QPoint inside(button->width() / 2, button->height() / 2);
        QHelpEvent help(QEvent::ToolTip, inside, button->mapToGlobal(inside));
        QApplication::sendEvent(button, &help);
        QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), tip);
        action->setEnabled(!action->isEnabled());
        action->setEnabled(!action->isEnabled());
    }
    QToolTip::hideText();
}

void TestMainForm::statusBarShowsNoHints() {
    TShell shell(*FFolder);
    TMainForm &form = *shell.Form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QStatusBar *bar = form.statusBar();

    // The pointer entering every toolbar button, and every command as a menu shows it.
    const QList<QToolButton *> buttons = form.RzToolbar1->findChildren<QToolButton *>();
    QVERIFY(buttons.size() >= 7);
    for (QToolButton *button : buttons) {
        const QPointF inside(button->width() / 2.0, button->height() / 2.0);
        QEnterEvent enter(inside, inside, button->mapToGlobal(inside));
        QApplication::sendEvent(button, &enter);
        QVERIFY2(bar->currentMessage().isEmpty(), qPrintable(button->objectName()));
    }
    const QList<QAction *> actions = form.findChildren<QAction *>();
    for (QAction *action : actions) {
        action->showStatusText(&form);
        QVERIFY2(bar->currentMessage().isEmpty(), qPrintable(action->objectName()));
    }
}

int main(int argc, char *argv[]) {
    // The application's own object, so that its error handler is the one under test.
    TApplication app(argc, argv);
    TestMainForm test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_mainform.moc"

// The "用户中心" commands: choosing a theme, the about box, the help page and the logo.
#include "app/AboutForm.h"
#include "app/Addresses.h"
#include "app/Application.h"
#include "app/FileDialog.h"
#include "app/GlobalManager.h"
#include "app/MainForm.h"
#include "app/MessageBox.h"
#include "app/ThemeManager.h"
#include "app/WebPage.h"
#include "support/TempAppFolder.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringEncoder>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// A start of the program in a temporary application folder, the window shown: the settings
// first, then the window, which goes before the settings.
class TShell {
public:
    explicit TShell(const TempAppFolder &folder)
        : Settings(std::make_unique<TGlobalManager>(folder.Path())),
          Form(std::make_unique<TMainForm>(*Settings)) {
        Form->show();
    }
    ~TShell() {
        Form.reset();
        Settings.reset();
    }
    TShell(const TShell &) = delete;
    TShell &operator=(const TShell &) = delete;

    std::unique_ptr<TGlobalManager> Settings;
    std::unique_ptr<TMainForm> Form;
};

QString Sheet(const QString &path) {
    return ThemeManager::ReadTheme(path).value_or(QStringLiteral("<not a theme>"));
}

// Runs the about command; `inspect` gets the box once it is up, then the box is closed by its
// "关闭" button. False when no about box came up.
bool RunAboutCommand(TMainForm &form, const std::function<void(TAboutForm &)> &inspect) {
    bool seen = false;
    QTimer::singleShot(0, &form, [&] {
        auto *about = qobject_cast<TAboutForm *>(QApplication::activeModalWidget());
        if (about == nullptr) {
            return;
        }
        seen = true;
        inspect(*about);
        QTest::mouseClick(about->suiButton1, Qt::LeftButton);
    });
    // Whatever else came up is closed, so that the test ends.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &form, [] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    guard.start(5000);
    form.ShowAboutInfo->trigger();
    return seen;
}

} // namespace

class TestUserCenter : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void selectTheme_data();
    void selectTheme();
    void themeChangeReachesLaterWindows();
    void aboutBoxShowsStoredValues_data();
    void aboutBoxShowsStoredValues();
    void aboutBoxLayout();
    void aboutLinkOpensHomePage();
    void webCommands_data();
    void webCommands();

private:
    std::unique_ptr<TempAppFolder> FFolder;
};

void TestUserCenter::init() {
    TMessageBoxHook::Install();
    TFileDialogHook::Install();
    TWebPageHook::Install();
    FFolder = std::make_unique<TempAppFolder>();
    QVERIFY(FFolder->IsValid());
    FFolder->CopyThemes();
}

void TestUserCenter::cleanup() {
    FFolder.reset();
    TWebPageHook::Uninstall();
    TFileDialogHook::Uninstall();
    TMessageBoxHook::Uninstall();
}

void TestUserCenter::selectTheme_data() {
    QTest::addColumn<QString>("chosen");     // relative to the folder; empty: cancelled
    QTest::addColumn<QByteArray>("content"); // written to `chosen` first unless null
    QTest::addColumn<bool>("changes");

    QTest::newRow("another shipped theme") << "themes/xpblue.sui" << QByteArray() << true;
    QTest::newRow("the theme in use") << "themes/xpsilver.sui" << QByteArray() << false;
    QTest::newRow("a theme outside themes/")
        << "mine/warm.sui" << QByteArray("/* sui-theme 1 */\nQWidget { color: #401000; }\n")
        << true;
    QTest::newRow(".sui that is not a theme")
        << "themes/fake.sui" << QByteArray("QWidget { background: red; }\n") << false;
    QTest::newRow("empty .sui") << "themes/empty.sui" << QByteArray("") << false;
    QTest::newRow("file that is gone") << "themes/gone.sui" << QByteArray() << false;
    QTest::newRow("cancelled") << "" << QByteArray() << false;
}

void TestUserCenter::selectTheme() {
    QFETCH(QString, chosen);
    QFETCH(QByteArray, content);
    QFETCH(bool, changes);

    TShell shell(*FFolder);
    TMainForm &form = *shell.Form;
    const QString silver = FFolder->FilePath(QStringLiteral("themes/xpsilver.sui"));
    QCOMPARE(form.styleSheet(), Sheet(silver));

    const QString path = chosen.isEmpty() ? QString() : FFolder->FilePath(chosen);
    if (!content.isNull()) {
        FFolder->WriteFile(chosen, content);
    }
    // Whatever writes Config.ini from here on makes it come back.
    QVERIFY(QFile::remove(FFolder->FilePath(QStringLiteral("Config.ini"))));
    TFileDialogHook::QueueAnswer(path);

    QVERIFY(form.SelectTheme->isEnabled());
    form.SelectTheme->trigger();

    const auto requests = TFileDialogHook::Requests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.at(0).Kind, TFileDialogHook::TKind::Open);
    QCOMPARE(requests.at(0).Caption, QStringLiteral("选择一个样式文件"));
    QCOMPARE(requests.at(0).Directory, FFolder->FilePath(QStringLiteral("themes")));
    QCOMPARE(requests.at(0).Filter, QStringLiteral("sui|*.sui"));
    QCOMPARE(requests.at(0).DefaultSuffix, QStringLiteral("sui"));

    QCOMPARE(form.styleSheet(), changes ? Sheet(path) : Sheet(silver));
    QCOMPARE(shell.Settings->ThemeFile, changes ? path : silver);
    QCOMPARE(FFolder->Exists(QStringLiteral("Config.ini")), changes);
    if (changes) {
        const QString ini = QString::fromUtf8(FFolder->ReadFile(QStringLiteral("Config.ini")));
        QVERIFY2(ini.contains(QStringLiteral("ThemeFile=") + path), qPrintable(ini));
    }
    // Nothing is ever said about the choice.
    QVERIFY(TMessageBoxHook::Shown().isEmpty());
}

void TestUserCenter::themeChangeReachesLaterWindows() {
    TShell shell(*FFolder);
    TMainForm &form = *shell.Form;
    const QString blue = FFolder->FilePath(QStringLiteral("themes/xpblue.sui"));
    TFileDialogHook::QueueAnswer(blue);
    form.SelectTheme->trigger();
    QCOMPARE(form.styleSheet(), Sheet(blue));

    // The about box opened next, through its command, has the new look.
    QString aboutSheet;
    QVERIFY(RunAboutCommand(form, [&](TAboutForm &about) { aboutSheet = about.styleSheet(); }));
    QCOMPARE(aboutSheet, Sheet(blue));

    // A window without the settings at hand takes the theme in use.
    QCOMPARE(ThemeManager::CurrentSheet(), Sheet(blue));
    QWidget moduleWindow;
    ThemeManager::ApplyCurrentTheme(&moduleWindow);
    QCOMPARE(moduleWindow.styleSheet(), Sheet(blue));

    // The next start uses it.
    form.close();
    shell.Form.reset();
    shell.Settings.reset();
    TShell next(*FFolder);
    QCOMPARE(next.Form->styleSheet(), Sheet(blue));
}

void TestUserCenter::aboutBoxShowsStoredValues_data() {
    QTest::addColumn<QByteArray>("config"); // null: no Config.ini
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("date");

    QTest::newRow("no Config.ini") << QByteArray() << "1"
                                   << "";
    QTest::newRow("as stored") << QByteArray("[Main]\r\nPubVersion=2.1.0 正式版\r\n"
                                             "AppDate=2008年11月25日\r\n")
                               << "2.1.0 正式版"
                               << "2008年11月25日";
    QTest::newRow("markup stays text")
        << QByteArray("[Main]\r\nPubVersion=<b>3</b>\r\nAppDate=<i>x</i> &amp;\r\n") << "<b>3</b>"
        << "<i>x</i> &amp;";
    QTest::newRow("present but empty") << QByteArray("[Main]\r\nPubVersion=\r\nAppDate=\r\n") << ""
                                       << "";
}

void TestUserCenter::aboutBoxShowsStoredValues() {
    QFETCH(QByteArray, config);
    QFETCH(QString, version);
    QFETCH(QString, date);

    if (!config.isNull()) {
        // Config.ini holds its text in code page 936.
        QStringEncoder toGbk("GB18030");
        FFolder->WriteFile(QStringLiteral("Config.ini"), toGbk(QString::fromUtf8(config)));
    }
    const TGlobalManager settings(FFolder->Path());
    TAboutForm about(settings);
    QCOMPARE(about.RzLabel3->text(), version);
    QCOMPARE(about.RzLabel4->text(), date);
    about.show();
    QCOMPARE(about.RzLabel3->textFormat(), Qt::PlainText);
    QCOMPARE(about.RzLabel4->textFormat(), Qt::PlainText);
}

void TestUserCenter::aboutBoxLayout() {
    TShell shell(*FFolder);
    TMainForm &form = *shell.Form;
    form.showNormal();
    form.setGeometry(100, 100, 900, 600);

    QVERIFY(RunAboutCommand(form, [&](TAboutForm &about) {
        QCOMPARE(about.windowTitle(), QStringLiteral("关于系统"));
        QCOMPARE(about.size(), QSize(422, 343));
        QVERIFY(about.parent() == nullptr);
        QCOMPARE(about.styleSheet(), form.styleSheet());
        // Centred on the main window.
        QVERIFY(qAbs(about.geometry().center().x() - form.frameGeometry().center().x()) <= 2);
        QVERIFY(qAbs(about.geometry().center().y() - form.frameGeometry().center().y()) <= 2);

        // From top to bottom: banner, version and date, the site, the notice.
        QCOMPARE(about.Image1->geometry(), QRect(0, 0, 422, 145));
        QVERIFY(!about.Image1->pixmap().isNull());
        QVERIFY(about.RzLabel3->geometry().top() >= 145);
        QVERIFY(about.RzLabel4->geometry().left() > about.RzLabel3->geometry().right());
        QVERIFY(about.RzURLLabel1->geometry().top() > about.RzLabel3->geometry().bottom());
        QVERIFY(about.Memo1->geometry().top() > about.RzURLLabel1->geometry().bottom());
        QVERIFY(about.Memo1->geometry().bottom() < 343);
        QCOMPARE(about.RzURLLabel1->text(), QString::fromUtf8(Addresses::HomePage));
        // The address is shown whole.
        QVERIFY(about.RzURLLabel1->width() >= about.RzURLLabel1->sizeHint().width());
        QVERIFY(about.RzURLLabel1->font().underline());
        QCOMPARE(about.suiButton1->text(), QStringLiteral("关闭"));
        QVERIFY(about.Memo1->isReadOnly());
        QCOMPARE(about.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(about.Memo1->toPlainText(), TAboutForm::LegalNotice());
        // The notice is longer than its box: the scroll bar is there to be used.
        QVERIFY(about.Memo1->verticalScrollBar()->maximum() > 0);
    }));
    QVERIFY(TMessageBoxHook::Shown().isEmpty());
}

void TestUserCenter::aboutLinkOpensHomePage() {
    const TGlobalManager settings(FFolder->Path());
    TAboutForm about(settings);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(about.RzURLLabel1, Qt::LeftButton);
    about.RzURLLabel1->setFocus();
    QTest::keyClick(about.RzURLLabel1, Qt::Key_Space);
    const QUrl home(QString::fromUtf8(Addresses::HomePage));
    QCOMPARE(TWebPageHook::Opened(), (QList<QUrl>{home, home}));
    // Neither closes the box.
    QVERIFY(about.isVisible());
}

void TestUserCenter::webCommands_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("address"); // "help" stands for the shipped page

    QTest::newRow("如何使用") << "ShowHelpDoc"
                              << "help";
    QTest::newRow("logo") << "Image1"
                          << "home";
}

void TestUserCenter::webCommands() {
    QFETCH(QString, command);
    QFETCH(QString, address);

    TShell shell(*FFolder);
    TMainForm &form = *shell.Form;
    if (command == QLatin1String("Image1")) {
        QTest::mouseClick(form.Image1, Qt::LeftButton);
    } else {
        QVERIFY(form.ShowHelpDoc->isEnabled());
        form.ShowHelpDoc->trigger();
    }
    const QUrl expected =
        address == QLatin1String("help")
            ? QUrl::fromLocalFile(FFolder->FilePath(QStringLiteral("help/index.html")))
            : QUrl(QString::fromUtf8(Addresses::HomePage));
    QCOMPARE(TWebPageHook::Opened(), QList<QUrl>{expected});
    QVERIFY(TMessageBoxHook::Shown().isEmpty());
}

int main(int argc, char *argv[]) {
    TApplication app(argc, argv);
    TestUserCenter test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_user_center.moc"

// The shipped themes: each loads without a style-sheet warning on every kind of control the
// program shows, each styles every kind of control, each is legible, and they look distinct.
#include "app/AboutForm.h"
#include "app/Application.h"
#include "app/GlobalManager.h"
#include "app/MainForm.h"
#include "app/MessageBox.h"
#include "app/ThemeManager.h"
#include "app/WaitingForm.h"
#include "support/StoreFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

const QStringList ShippedThemes = {QStringLiteral("xpsilver.sui"), QStringLiteral("xpblue.sui"),
                                   QStringLiteral("xpolive.sui"), QStringLiteral("midnight.sui"),
                                   QStringLiteral("highcontrast.sui")};

QString SourceTheme(const QString &name) {
    return qEnvironmentVariable("MX_SOURCE_DIR") + QStringLiteral("/themes/") + name;
}

// Collects every warning the toolkit writes while it is alive.
class TWarningCatcher {
public:
    TWarningCatcher() {
        Caught().clear();
        FPrevious = qInstallMessageHandler(&Handle);
        Previous() = FPrevious;
    }
    ~TWarningCatcher() { qInstallMessageHandler(FPrevious); }
    TWarningCatcher(const TWarningCatcher &) = delete;
    TWarningCatcher &operator=(const TWarningCatcher &) = delete;

    QStringList Warnings() const { return Caught(); }

private:
    static QStringList &Caught() {
        static QStringList caught;
        return caught;
    }
    static QtMessageHandler &Previous() {
        static QtMessageHandler previous = nullptr;
        return previous;
    }
    static void Handle(QtMsgType type, const QMessageLogContext &context, const QString &text) {
        // The headless platform says what it cannot do (raise a window, grab the keyboard);
        // that is no fault of a theme.
        const bool platformNotice = text.startsWith(QLatin1String("This plugin does not support"));
        if ((type == QtWarningMsg || type == QtCriticalMsg) && !platformNotice) {
            Caught().append(text);
        }
        if (Previous() != nullptr) {
            Previous()(type, context, text);
        }
    }

    QtMessageHandler FPrevious = nullptr;
};

// A window with every kind of control that the program's other windows show: check boxes,
// radio buttons, group boxes, combo boxes, spin boxes, sliders, progress bars, the report
// list with its columns, a plain list, buttons and edits.
class TSpecimen : public QDialog {
public:
    TSpecimen() {
        setObjectName(QStringLiteral("Specimen"));
        auto *layout = new QVBoxLayout(this);

        auto *group = new QGroupBox(QStringLiteral("导入设置"), this);
        auto *groupLayout = new QVBoxLayout(group);
        Folder = new QLineEdit(QStringLiteral("/home/读者/文章"), group);
        Books = new QComboBox(group);
        Books->addItems({QStringLiteral("唐诗"), QStringLiteral("宋词")});
        Books->setEditable(true);
        Methods = new QComboBox(group);
        Methods->addItems({QStringLiteral("线式阅读"), QStringLiteral("止移跟读")});
        auto *ticked = new QCheckBox(QStringLiteral("覆盖同名文章"), group);
        ticked->setChecked(true);
        auto *partial = new QCheckBox(QStringLiteral("部分"), group);
        partial->setTristate(true);
        partial->setCheckState(Qt::PartiallyChecked);
        auto *off = new QCheckBox(QStringLiteral("不选"), group);
        off->setEnabled(false);
        auto *radio = new QRadioButton(QStringLiteral("横排"), group);
        radio->setChecked(true);
        auto *radio2 = new QRadioButton(QStringLiteral("竖排"), group);
        auto *pace = new QSpinBox(group);
        pace->setRange(0, 60);
        auto *slider = new QSlider(Qt::Horizontal, group);
        slider->setRange(0, 60);
        slider->setValue(20);
        for (QWidget *control : std::initializer_list<QWidget *>{
                 Folder, Books, Methods, ticked, partial, off, radio, radio2, pace, slider}) {
            groupLayout->addWidget(control);
        }
        auto *checkable = new QGroupBox(QStringLiteral("可选组"), this);
        checkable->setCheckable(true);
        new QVBoxLayout(checkable);
        checkable->layout()->addWidget(new QLabel(QStringLiteral("说明文字"), checkable));

        Progress = new QProgressBar(this);
        Progress->setRange(0, 100);
        Progress->setValue(42);
        auto *busy = new QProgressBar(this);
        busy->setRange(0, 0);

        Report = new QTreeWidget(this);
        Report->setColumnCount(3);
        Report->setHeaderLabels(
            {QStringLiteral("文件"), QStringLiteral("字数"), QStringLiteral("结果")});
        Report->setRootIsDecorated(false);
        Report->setAlternatingRowColors(true);
        Report->setSortingEnabled(true);
        for (int i = 0; i < 40; ++i) {
            auto *row =
                new QTreeWidgetItem(Report, {QStringLiteral("第%1篇.txt").arg(i),
                                             QString::number(i * 1000), QStringLiteral("已导入")});
            row->setCheckState(0, i % 3 == 0 ? Qt::Checked : Qt::Unchecked);
        }
        Report->setCurrentItem(Report->topLevelItem(1));
        List = new QListWidget(this);
        List->addItems({QStringLiteral("第一篇"), QStringLiteral("第二篇")});
        List->setCurrentRow(0);

        auto *buttons = new QHBoxLayout;
        auto *start = new QPushButton(QStringLiteral("开始导入"), this);
        start->setDefault(true);
        auto *disabled = new QPushButton(QStringLiteral("取消"), this);
        disabled->setEnabled(false);
        buttons->addWidget(start);
        buttons->addWidget(disabled);
        auto *text = new QPlainTextEdit(QString(QStringLiteral("正文\n")).repeated(40), this);

        layout->addWidget(group);
        layout->addWidget(checkable);
        layout->addWidget(Progress);
        layout->addWidget(busy);
        layout->addWidget(Report, 1);
        layout->addWidget(List);
        layout->addWidget(text);
        layout->addLayout(buttons);
        resize(520, 900);
    }

    QLineEdit *Folder = nullptr;
    QComboBox *Books = nullptr;
    QComboBox *Methods = nullptr;
    QProgressBar *Progress = nullptr;
    QTreeWidget *Report = nullptr;
    QListWidget *List = nullptr;
};

// The selectors of a style sheet, comments left out.
QString Selectors(const QString &sheet) {
    QString rules = sheet;
    rules.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"),
                                    QRegularExpression::DotMatchesEverythingOption));
    rules.remove(QRegularExpression(QStringLiteral("\\{[^}]*\\}")));
    return rules;
}

// Relative luminance and contrast ratio of two colours (WCAG).
double Luminance(const QColor &colour) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double Contrast(const QColor &a, const QColor &b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The main window on a small library, in the given theme.
class TThemedShell {
public:
    explicit TThemedShell(const QString &theme) {
        TMessageBoxHook::Install();
        Store.Folder().CopyThemes();
        Store.InsertArticle(
            QStringLiteral("唐诗三百首"), QStringLiteral("静夜思"),
            QStringLiteral("床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。\r\n"));
        Store.InsertArticle(QStringLiteral("唐诗三百首"), QStringLiteral("春晓"),
                            QStringLiteral("春眠不觉晓，处处闻啼鸟。\r\n"));
        Store.InsertArticle(
            QStringLiteral("快速阅读入门"), QStringLiteral("第一课 视幅"),
            QString(QStringLiteral("扩大视幅，一眼看到更多的字。\r\n")).repeated(60));
        Store.Settings().ThemeFile = Store.Folder().FilePath(QStringLiteral("themes/") + theme);
        Form = std::make_unique<TMainForm>(Store.Settings());
        Form->resize(1180, 720);
        Form->showNormal();
        Form->resize(1180, 720);
    }
    ~TThemedShell() {
        Form.reset();
        TMessageBoxHook::Uninstall();
    }
    TThemedShell(const TThemedShell &) = delete;
    TThemedShell &operator=(const TThemedShell &) = delete;

    // Opens the first article of the first book, as a click in the tree does.
    void OpenArticle() const {
        QTreeWidgetItem *root = Form->RzCheckTree1->topLevelItem(0);
        root->setExpanded(true);
        QTreeWidgetItem *book = root->child(0);
        book->setExpanded(true);
        book->child(0)->setCheckState(0, Qt::Checked);
        Form->RzCheckTree1->setCurrentItem(book->child(0));
    }

    TStoreFixture Store;
    std::unique_ptr<TMainForm> Form;
};

// Lets pending layout requests run, so that a picture shows what the user would see.
void Settle() {
    QTest::qWait(150);
}

void Save(const QPixmap &picture, const QString &name) {
    const QString folder = qEnvironmentVariable("MX_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        picture.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
}

} // namespace

class TestThemes : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }

    void shipped_data();
    void warningsOfABrokenSheetAreCaught();
    void loadsWithoutWarnings_data() { shipped_data(); }
    void loadsWithoutWarnings();
    void stylesEveryKindOfControl_data() { shipped_data(); }
    void stylesEveryKindOfControl();
    void legible_data() { shipped_data(); }
    void legible();
    void distinctLooks();
    void helpPage();

private:
};

void TestThemes::shipped_data() {
    QTest::addColumn<QString>("theme");
    QTest::addColumn<double>("minimumContrast");
    // Ordinary themes reach the usual contrast for text; the high-contrast one much more.
    for (const QString &name : ShippedThemes) {
        QTest::newRow(qPrintable(name))
            << name << (name == QLatin1String("highcontrast.sui") ? 12.0 : 4.5);
    }
}

void TestThemes::warningsOfABrokenSheetAreCaught() {
    // The check below is only as good as its catcher: a sheet with a syntax error is seen.
    TWarningCatcher catcher;
    QPushButton button(QStringLiteral("确定"));
    button.setStyleSheet(QStringLiteral("QPushButton { color: red; "));
    button.show();
    button.grab();
    QVERIFY(!catcher.Warnings().isEmpty());
}

void TestThemes::loadsWithoutWarnings() {
    QFETCH(QString, theme);
    const QString path = SourceTheme(theme);
    QVERIFY2(ThemeManager::IsThemeFile(path), qPrintable(path));

    TWarningCatcher catcher;
    {
        TThemedShell shell(theme);
        TMainForm &form = *shell.Form;
        QCOMPARE(form.styleSheet(), *ThemeManager::ReadTheme(shell.Store.Settings().ThemeFile));
        Settle();
        Save(form.grab(), QStringLiteral("main-summary-") + theme);
        shell.OpenArticle();
        Settle();
        QCOMPARE(form.RzPageControl1->currentWidget(), form.BlockPage);
        form.MmText->setFocus();
        Save(form.grab(), QStringLiteral("main-article-") + theme);
        form.RzCheckTree1->setCurrentItem(form.RzCheckTree1->topLevelItem(0)->child(1));
        QCOMPARE(form.RzPageControl1->currentWidget(), form.DirPage);
        form.grab();

        // Menus, hints and message boxes of the main window.
        form.PopupMenu2->popup(form.mapToGlobal(QPoint(100, 200)));
        QVERIFY(QTest::qWaitForWindowExposed(form.PopupMenu2));
        Save(form.PopupMenu2->grab(), QStringLiteral("menu-") + theme);
        form.PopupMenu2->close();
        QToolTip::showText(form.mapToGlobal(QPoint(50, 50)), QStringLiteral("删除选定的文章"),
                           &form);
        QMessageBox box(QMessageBox::Information, QStringLiteral("信息"),
                        QStringLiteral("已经保存!"), QMessageBox::Ok, &form);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        Save(box.grab(), QStringLiteral("message-") + theme);
        box.close();
        QToolTip::hideText();

        // The other windows of the program.
        TAboutForm about(shell.Store.Settings(), &form);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        Save(about.grab(), QStringLiteral("about-") + theme);
        // In every theme's fonts the box still shows the site's address whole.
        QVERIFY(about.RzURLLabel1->width() >= about.RzURLLabel1->sizeHint().width());
        QVERIFY(about.Memo1->height() >= 3 * about.Memo1->fontMetrics().lineSpacing());
        TWaitingForm waiting(shell.Store.Settings(), &form);
        waiting.SetMessage(QStringLiteral("正在处理，请稍候..."));
        waiting.show();
        Save(waiting.grab(), QStringLiteral("waiting-") + theme);

        TSpecimen specimen;
        QVERIFY(ThemeManager::ApplyThemeFile(&specimen, path));
        specimen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&specimen));
        specimen.Folder->setFocus();
        Save(specimen.grab(), QStringLiteral("controls-") + theme);
        specimen.Methods->showPopup();
        QTest::qWait(150);
        specimen.Methods->hidePopup();
    }
    QCoreApplication::processEvents();
    QVERIFY2(catcher.Warnings().isEmpty(), qPrintable(catcher.Warnings().join(u'\n')));
}

void TestThemes::stylesEveryKindOfControl() {
    QFETCH(QString, theme);
    const QString selectors = Selectors(ThemeManager::ReadTheme(SourceTheme(theme)).value_or(""));
    const QStringList kinds = {
        // the main window
        "#TopBand", "QToolBar", "QMenu", "QToolTip", "QSplitter::handle", "QTreeView",
        "::indicator", "QStackedWidget", "QLineEdit", "QPlainTextEdit", "QTextBrowser",
        "QPushButton", "QPushButton:focus", "QStatusBar", "QScrollBar", "QMessageBox",
        // the other windows: progress, report lists, settings
        "QProgressBar", "QProgressBar::chunk", "QHeaderView::section", "QListView", "QComboBox",
        "QComboBox QAbstractItemView", "QGroupBox", "QCheckBox", "QRadioButton", "QSpinBox",
        "QSlider", "#AboutForm", "#RzURLLabel1", "#WaitingPanel"};
    for (const QString &kind : kinds) {
        QVERIFY2(selectors.contains(kind), qPrintable(theme + QStringLiteral(": ") + kind));
    }
}

void TestThemes::legible() {
    QFETCH(QString, theme);
    QFETCH(double, minimumContrast);

    TThemedShell shell(theme);
    TMainForm &form = *shell.Form;
    shell.OpenArticle();
    TSpecimen specimen;
    QVERIFY(ThemeManager::ApplyThemeFile(&specimen, SourceTheme(theme)));
    specimen.show();
    QVERIFY(QTest::qWaitForWindowExposed(&specimen));

    // Text against the ground it stands on, as the polished palettes give them.
    struct TPair {
        const char *what;
        QWidget *widget;
        QPalette::ColorRole text;
        QPalette::ColorRole ground;
    };
    const QList<TPair> pairs = {
        {"tree", form.RzCheckTree1, QPalette::Text, QPalette::Base},
        {"title edit", form.EdtTitle, QPalette::Text, QPalette::Base},
        {"article text", form.MmText, QPalette::Text, QPalette::Base},
        {"report list", specimen.Report, QPalette::Text, QPalette::Base},
        {"list", specimen.List, QPalette::Text, QPalette::Base},
        {"combo box", specimen.Methods, QPalette::ButtonText, QPalette::Button},
        {"selected row", form.RzCheckTree1, QPalette::HighlightedText, QPalette::Highlight},
    };
    for (const TPair &pair : pairs) {
        pair.widget->ensurePolished();
        const QPalette colours = pair.widget->palette();
        const double ratio = Contrast(colours.color(QPalette::Active, pair.text),
                                      colours.color(QPalette::Active, pair.ground));
        QVERIFY2(ratio >= minimumContrast, qPrintable(QStringLiteral("%1: %2 < %3")
                                                          .arg(QString::fromLatin1(pair.what))
                                                          .arg(ratio, 0, 'f', 2)
                                                          .arg(minimumContrast)));
    }
}

void TestThemes::distinctLooks() {
    // The colour of the top band and of the tree's ground, per theme: no two alike.
    QList<QPair<QRgb, QRgb>> looks;
    for (const QString &theme : ShippedThemes) {
        TThemedShell shell(theme);
        const QImage picture = shell.Form->grab().toImage();
        const QPoint treeGround =
            shell.Form->RzCheckTree1->mapTo(shell.Form.get(), QPoint(150, 300));
        looks.append({picture.pixel(600, 8), picture.pixel(treeGround)});
    }
    for (qsizetype i = 0; i < looks.size(); ++i) {
        for (qsizetype j = i + 1; j < looks.size(); ++j) {
            QVERIFY2(looks.at(i) != looks.at(j),
                     qPrintable(ShippedThemes.at(i) + QStringLiteral(" / ") + ShippedThemes.at(j)));
        }
    }
}

void TestThemes::helpPage() {
    // The shipped help page renders as a page of its own; for a look at it, see the picture.
    QTextBrowser page;
    page.resize(900, 1400);
    page.setSource(QUrl::fromLocalFile(qEnvironmentVariable("MX_SOURCE_DIR") +
                                       QStringLiteral("/help/index.html")));
    const QString text = page.toPlainText();
    for (const char *topic :
         {"书目", "批量添加文章", "UTF-8", "GB18030", "Big5", "文章包", "线式阅读", "止移跟读",
          "字/分钟", "界面风格", "Config.ini", "Lumo.db"}) {
        QVERIFY2(text.contains(QString::fromUtf8(topic)), topic);
    }
    page.show();
    Save(page.grab(), QStringLiteral("help"));
}

int main(int argc, char *argv[]) {
    TApplication app(argc, argv);
    TApplication::setFont(ThemeManager::DefaultFont());
    TestThemes test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_themes.moc"

// The export and import windows and the main window's package commands.
#include "PackageFixtures.h"

#include "app/FileDialog.h"
#include "app/test_library_window.h"
#include "packages/ZipBreakForm.h"
#include "packages/ZipBuildForm.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFrame>
#include <QProgressBar>
#include <QTimer>

using namespace PackageFixtures;

namespace {

TRecord Titled(const QString &title, const QString &dir) {
    TRecord record;
    record.Title = title;
    record.Dir = dir;
    return record;
}

QList<TArticle *> AllArticles(const TBookList &books) {
    QList<TArticle *> articles;
    for (const auto &book : books) {
        for (const auto &entry : book.Item->Articles) {
            articles << entry.Item.get();
        }
    }
    return articles;
}

QList<TMessageBoxShown> TakeBoxes() {
    const QList<TMessageBoxShown> shown = TMessageBoxHook::Shown();
    TMessageBoxHook::ClearShown();
    return shown;
}

// Message boxes and file dialogs answered by their hooks for the length of a test.
class THooks {
public:
    THooks() {
        TMessageBoxHook::Install();
        TFileDialogHook::Install();
    }
    ~THooks() {
        TFileDialogHook::Uninstall();
        TMessageBoxHook::Uninstall();
    }
    THooks(const THooks &) = delete;
    THooks &operator=(const THooks &) = delete;
};

} // namespace

class TestPackageWindows : public QObject {
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void exportStartsAfterOneSecond();
    void closingIsRefusedWhileWorking();
    void importErrorsShowTheErrorBox_data();
    void importErrorsShowTheErrorBox();
    void exportCommandNeedsTickedArticles();
    void exportCommandWritesThePackage();
    void importCommandRebuildsTheTree();
    void failedImportKeepsTheTree();
};

void TestPackageWindows::layout_data() {
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<QString>("caption");
    QTest::newRow("export") << true << "正在导出";
    QTest::newRow("import") << false << "正在导入";
}

void TestPackageWindows::layout() {
    QFETCH(bool, exporting);
    QFETCH(QString, caption);
    TStoreFixture store;
    std::unique_ptr<TPackageProgressForm> form;
    if (exporting) {
        form = std::make_unique<TZipBuildForm>(store.Settings());
    } else {
        form = std::make_unique<TZipBreakForm>(store.Settings());
    }
    QVERIFY(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(form->parentWidget(), nullptr);
    QCOMPARE(form->size(), QSize(418, 239));
    QCOMPARE(form->suiPanel1->geometry(), QRect(0, 0, 418, 239));
    QCOMPARE(form->suiPanel1->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(form->RzLabel1->pos(), QPoint(32, 40));
    QCOMPARE(form->RzLabel1->text(), caption);
    QCOMPARE(form->RzProgressBar1->geometry(), QRect(32, 56, 385, 12));
    QCOMPARE(form->RzProgressBar1->minimum(), 0);
    QCOMPARE(form->RzProgressBar1->maximum(), 100);
    QCOMPARE(form->RzProgressBar1->value(), 0);
    QVERIFY(form->RzProgressBar1->isTextVisible());
    QVERIFY(form->Timer1->isActive());
    QCOMPARE(form->Timer1->interval(), 1000);
    QVERIFY(form->findChildren<QAbstractButton *>().isEmpty());
}

void TestPackageWindows::exportStartsAfterOneSecond() {
    THooks hooks;
    TStoreFixture store;
    store.InsertArticle(QStringLiteral("书"), QStringLiteral("一"), QStringLiteral("正文"));
    const std::unique_ptr<TBookList> books = store.Service()->GetArticles();
    const QString path = store.Folder().FilePath(QStringLiteral("out.eap"));
    TZipBuildForm form(store.Settings());
    QElapsedTimer clock;
    clock.start();
    form.SetService(store.Service());
    form.SetArticleList(AllArticles(*books));
    form.SetFileName(path);
    QTimer::singleShot(500, [&] { QVERIFY(!QFileInfo::exists(path)); });
    QCOMPARE(form.exec(), int(QDialog::Accepted));
    QVERIFY(clock.elapsed() >= 950);
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(TakeBoxes().isEmpty());
    QVERIFY(!form.Timer1->isActive());
}

void TestPackageWindows::closingIsRefusedWhileWorking() {
    THooks hooks;
    TStoreFixture store;
    for (int i = 1; i <= 3; ++i) {
        store.InsertArticle(QStringLiteral("书"), QStringLiteral("文%1").arg(i));
    }
    const std::unique_ptr<TBookList> books = store.Service()->GetArticles();
    auto service = std::make_shared<TServiceDecorator>(store.Service());
    TZipBuildForm form(store.Settings());
    QList<bool> visibleAfter;
    QStringList labels;
    service->BeforeGetArticleText = [&](int) {
        form.close();
        QTest::keyClick(&form, Qt::Key_F4, Qt::AltModifier);
        QTest::keyClick(&form, Qt::Key_Escape);
        visibleAfter << form.isVisible();
        labels << form.RzLabel1->text();
    };
    form.SetService(service);
    form.SetArticleList(AllArticles(*books));
    form.SetFileName(store.Folder().FilePath(QStringLiteral("out.eap")));
    QCOMPARE(form.exec(), int(QDialog::Accepted));
    QCOMPARE(visibleAfter, QList<bool>({true, true, true}));
    QCOMPARE(labels, QStringList({"正在导出 文1", "正在导出 文2", "正在导出 文3"}));
    QCOMPARE(form.ProgressMaximum(), 0); // the document was smaller than one block
    QVERIFY(TakeBoxes().isEmpty());
}

void TestPackageWindows::importErrorsShowTheErrorBox_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("stored");
    TRecord broken = Titled("二", "书");
    broken.Missing = QStringLiteral("Title");
    QTest::newRow("damaged document")
        << Zlib(Document(RecordXml(Titled("一", "书")) + RecordXml(broken)))
        << "文件受损，无法打开后面的文章！" << 1;
    QTest::newRow("not a package")
        << QByteArray("<?xml version=\"1.0\"?><EARTICLE.DB/>") << "文件格式不对！" << 0;
}

void TestPackageWindows::importErrorsShowTheErrorBox() {
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    QFETCH(int, stored);
    THooks hooks;
    TStoreFixture store;
    TZipBreakForm form(store.Settings());
    form.SetService(store.Service());
    form.SetFileName(store.Folder().WriteFile(QStringLiteral("in.eap"), file));
    QCOMPARE(form.exec(), int(QDialog::Rejected));
    const QList<TMessageBoxShown> boxes = TakeBoxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().Kind, TMessageBoxShown::TKind::Error);
    QCOMPARE(boxes.first().Text, message);
    QCOMPARE(form.StoredCount(), stored);
    QCOMPARE(store.RowCount(), stored);
}

void TestPackageWindows::exportCommandNeedsTickedArticles() {
    THooks hooks;
    TLibraryWindow window([](TStoreFixture &store) {
        store.InsertArticle(QStringLiteral("书"), QStringLiteral("一"));
    });
    TMessageBoxHook::Install(); // the window's own hook was installed first; start afresh
    QVERIFY(window.Form->ExportArticles->isEnabled());
    QVERIFY(window.Form->ImportArticles->isEnabled());
    window.Form->ExportArticlesExecute();
    QCOMPARE(window.TakeShown(), QStringList{"请先选择一篇或者多篇文章！"});
    QVERIFY(TFileDialogHook::Requests().isEmpty());

    // A cancelled file dialog ends the command without a word.
    window.Toggle(QStringLiteral("书"));
    window.Form->ExportArticlesExecute();
    QCOMPARE(TFileDialogHook::Requests().size(), 1);
    QVERIFY(window.TakeShown().isEmpty());
}

void TestPackageWindows::exportCommandWritesThePackage() {
    THooks hooks;
    TLibraryWindow window([](TStoreFixture &store) {
        store.InsertArticle(QStringLiteral("红楼梦"), QStringLiteral("第一回"));
        store.InsertArticle(QStringLiteral("红楼梦"), QStringLiteral("第二回"));
        store.InsertArticle(QStringLiteral("西游记"), QStringLiteral("灵根孕育"));
    });
    window.Toggle(QStringLiteral("红楼梦"));
    const QString path = window.Store.Folder().FilePath(QStringLiteral("批.eap"));
    TFileDialogHook::QueueAnswer(path);
    window.Form->ExportArticlesExecute();

    const QList<TFileDialogRequest> requests = TFileDialogHook::Requests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.first().Kind, TFileDialogRequest::TKind::Save);
    QCOMPARE(requests.first().Filter, QStringLiteral("文章包 (*.eap)|*.eap"));
    QCOMPARE(requests.first().DefaultSuffix, QStringLiteral("eap"));
    QCOMPARE(window.TakeShown(), QStringList{"导出完成!"});
    const QByteArray document = Inflated(window.Store.Folder().ReadFile(QStringLiteral("批.eap")));
    QCOMPARE(document.count("<Record>"), 2);
    QVERIFY(window.Store.Folder().Exists(QStringLiteral("批.eap说明.txt")));
}

void TestPackageWindows::importCommandRebuildsTheTree() {
    THooks hooks;
    TLibraryWindow window([](TStoreFixture &store) {
        store.InsertArticle(QStringLiteral("红楼梦"), QStringLiteral("第一回"));
    });
    const QString path = window.Store.Folder().WriteFile(
        QStringLiteral("in.eap"),
        Zlib(Document(RecordXml(Titled("第一回", "红楼梦")) + RecordXml(Titled("新篇", "新书")))));
    window.Select(QStringLiteral("红楼梦/第一回"));
    TFileDialogHook::QueueAnswer(path);
    window.Form->ImportArticlesExecute();

    const QList<TFileDialogRequest> requests = TFileDialogHook::Requests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.first().Kind, TFileDialogRequest::TKind::Open);
    QCOMPARE(requests.first().Filter, QStringLiteral("文章包 (*.eap)|*.eap"));
    QCOMPARE(window.TakeShown(), QStringList{"导入完成!"});
    QCOMPARE(window.Captions(window.Root()), QStringList({"红楼梦", "新书"}));
    QCOMPARE(window.Page(), window.Form->MyBookPage);
    QCOMPARE(window.Form->LbBlockCount->text(), QStringLiteral("2篇"));
    QCOMPARE(window.Store.RowCount(), 2);
}

void TestPackageWindows::failedImportKeepsTheTree() {
    THooks hooks;
    TLibraryWindow window([](TStoreFixture &store) {
        store.InsertArticle(QStringLiteral("红楼梦"), QStringLiteral("第一回"));
    });
    TRecord broken = Titled("坏", "新书");
    broken.WordCount = QStringLiteral("x");
    const QString path = window.Store.Folder().WriteFile(
        QStringLiteral("in.eap"),
        Zlib(Document(RecordXml(Titled("新篇", "新书")) + RecordXml(broken))));
    TFileDialogHook::QueueAnswer(path);
    window.Form->ImportArticlesExecute();
    const QList<TMessageBoxShown> boxes = TakeBoxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().Text, QStringLiteral("文件受损，无法打开后面的文章！"));
    // The record before the damage is stored; the tree shows it at its next rebuild.
    QCOMPARE(window.Captions(window.Root()), QStringList{"红楼梦"});
    QCOMPARE(window.Store.RowCount(), 2);
}

QTEST_MAIN(TestPackageWindows)
#include "test_package_windows.moc"

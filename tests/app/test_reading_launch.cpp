// The reading launch: what reaches a reader module, what comes back into the settings, and
// how a missing, broken or failing module leaves the program.
#include "app/GlobalManager.h"
#include "app/ReadingLaunch.h"
#include "app/TreeNodes.h"
#include "reader/ReaderRecorder.h"
#include "test_library_window.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>

#include <dlfcn.h>

using ReaderRecorder::TBehaviour;

namespace {

// Two books; the articles carry authors and texts of their own.
void FillLibrary(TStoreFixture &store) {
    const auto add = [&store](const char *dir, const char *title, const char *author,
                              const char *text) {
        TStoreRow row;
        row.Dir = QString::fromUtf8(dir);
        row.Title = QString::fromUtf8(title);
        row.Author = QString::fromUtf8(author);
        row.Text = QString::fromUtf8(text);
        store.InsertRow(row);
    };
    add("红楼梦", "第一回", "曹雪芹", "甄士隐梦幻识通灵\r\n贾雨村风尘怀闺秀\r\n");
    add("红楼梦", "第二回", "曹雪芹", "贾夫人仙逝扬州城\r\n");
    add("西游记", "灵根孕育", "吴承恩", "诗曰：\r\n混沌未分天地乱\r\n");
}

QString ModuleFile(int tag) {
    return QStringLiteral("lib%1.so")
        .arg(QString::fromLatin1(ReadingLaunch::MethodOfTag(tag).ModuleBaseName));
}

// Puts a built module into the window's application folder under the method's file name.
void InstallModule(const TLibraryWindow &window, int tag, const char *builtModule) {
    const QString target = window.Store.Folder().FilePath(ModuleFile(tag));
    QFile::remove(target);
    QVERIFY(QFile::copy(QString::fromUtf8(builtModule), target));
}

QPushButton *Button(const TLibraryWindow &window, int tag) {
    return tag == 0 ? window.Form->suiButton3 : window.Form->suiButton4;
}

QString &Config(TLibraryWindow &window, int tag) {
    return window.Store.Settings().*ReadingLaunch::MethodOfTag(tag).Config;
}

// Every node's check state and the selected node, to compare before and after a reading.
struct TTreeState {
    QList<Qt::CheckState> Checks;
    QTreeWidgetItem *Current = nullptr;
    bool operator==(const TTreeState &) const = default;
};

TTreeState TreeState(const TLibraryWindow &window) {
    TTreeState state;
    state.Current = window.Tree()->currentItem();
    QList<QTreeWidgetItem *> pending{window.Root()};
    while (!pending.isEmpty()) {
        QTreeWidgetItem *node = pending.takeFirst();
        state.Checks << node->checkState(0);
        for (int i = 0; i < node->childCount(); ++i) {
            pending << node->child(i);
        }
    }
    return state;
}

bool ModuleStillLoaded(const TLibraryWindow &window, int tag) {
    const QByteArray path = QFile::encodeName(window.Store.Folder().FilePath(ModuleFile(tag)));
    void *handle = dlopen(path.constData(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle != nullptr) {
        dlclose(handle);
    }
    return handle != nullptr;
}

const TArticle *RecordByTitle(const TLibraryWindow &window, const QString &title) {
    for (const QString &book : window.Captions(window.Root())) {
        if (QTreeWidgetItem *node = window.Node(book + QLatin1Char('/') + title)) {
            return TreeNodes::Article(node);
        }
    }
    return nullptr;
}

QStringList Titles(const TArticleDTOList &articles) {
    QStringList titles;
    for (const TArticleDTO &article : articles) {
        titles << article.Title;
    }
    return titles;
}

const QStringList FullRun{QStringLiteral("loaded"),     QStringLiteral("GetInstance"),
                          QStringLiteral("RunReading"), QStringLiteral("GetConfig"),
                          QStringLiteral("Release 0"),  QStringLiteral("unloaded")};

} // namespace

class TestReadingLaunch : public QObject {
    Q_OBJECT

private slots:
    void init() { ReaderRecorder::Reset(TBehaviour::HandBackSame); }

    void listOrder_data();
    void listOrder();
    void eachButtonHasItsModuleAndSetting_data();
    void eachButtonHasItsModuleAndSetting();
    void handedBackConfig_data();
    void handedBackConfig();
    void unusableModuleChangesNothing_data();
    void unusableModuleChangesNothing();
    void moduleErrorIsReportedAndNothingStored_data();
    void moduleErrorIsReportedAndNothingStored();
    void failedListLoadsNoModule();
    void unsavedPageEditsDoNotReachTheModule();
};

void TestReadingLaunch::listOrder_data() {
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QStringList>("titles");

    QTest::newRow("nothing ticked: the selected one alone")
        << QStringList{} << "红楼梦/第二回" << QStringList{"第二回"};
    QTest::newRow("selected and ticked: once, first")
        << QStringList{"红楼梦"} << "红楼梦/第二回" << QStringList{"第二回", "第一回"};
    QTest::newRow("ticked in several books: tree order")
        << QStringList{"西游记", "红楼梦/第二回", "红楼梦/第一回"} << "西游记/灵根孕育"
        << QStringList{"灵根孕育", "第一回", "第二回"};
    QTest::newRow("root ticked: every article")
        << QStringList{""} << "红楼梦/第二回" << QStringList{"第二回", "第一回", "灵根孕育"};
}

void TestReadingLaunch::listOrder() {
    QFETCH(QStringList, ticked);
    QFETCH(QString, selected);
    QFETCH(QStringList, titles);
    TLibraryWindow window(FillLibrary);
    QCOMPARE(window.Captions(window.Root()), (QStringList{"红楼梦", "西游记"}));
    InstallModule(window, 0, MX_RECORDING_READER);
    for (const QString &path : ticked) {
        window.Toggle(path);
    }
    window.Select(selected);
    const TTreeState before = TreeState(window);

    Button(window, 0)->click();

    QCOMPARE(ReaderRecorder::Events(), FullRun);
    const ReaderRecorder::TReceived &received = ReaderRecorder::Received();
    QCOMPARE(Titles(received.Articles), titles);
    for (const TArticleDTO &article : received.Articles) {
        const TArticle *record = RecordByTitle(window, article.Title);
        QVERIFY(record != nullptr);
        QCOMPARE(article.Author, record->Author);
        QCOMPARE(article.Lines, window.Store.Service()->GetArticleText(record->Id).Lines());
        QVERIFY(article.Extra.isEmpty());
    }
    QCOMPARE(received.FirstArticle, 1);
    QCOMPARE(received.Modal, 1);
    QCOMPARE(received.Application, qApp);
    QVERIFY(received.Screen != nullptr);
    QVERIFY(!ModuleStillLoaded(window, 0));
    QVERIFY(TreeState(window) == before);
    QVERIFY(window.TakeShown().isEmpty());
}

void TestReadingLaunch::eachButtonHasItsModuleAndSetting_data() {
    QTest::addColumn<int>("tag");
    QTest::newRow("线式阅读") << 0;
    QTest::newRow("止移跟读") << 1;
}

void TestReadingLaunch::eachButtonHasItsModuleAndSetting() {
    QFETCH(int, tag);
    TLibraryWindow window(FillLibrary);
    InstallModule(window, tag, MX_RECORDING_READER);
    window.Select(QStringLiteral("红楼梦/第一回"));

    // The other button finds no module of its own and does nothing.
    Button(window, 1 - tag)->click();
    QVERIFY(ReaderRecorder::Events().isEmpty());

    Button(window, tag)->click();
    QCOMPARE(ReaderRecorder::Events(), FullRun);
    QCOMPARE(ReaderRecorder::Received().Config, Config(window, tag));
    QCOMPARE(ReaderRecorder::Received().Config,
             tag == 0 ? TGlobalManager::DefaultBlockConfig : TGlobalManager::DefaultFlashConfig);
}

void TestReadingLaunch::handedBackConfig_data() {
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("behaviour");
    QTest::newRow("line, same text") << 0 << int(TBehaviour::HandBackSame);
    QTest::newRow("line, changed text") << 0 << int(TBehaviour::HandBackChanged);
    QTest::newRow("follow, same text") << 1 << int(TBehaviour::HandBackSame);
    QTest::newRow("follow, changed text") << 1 << int(TBehaviour::HandBackChanged);
}

void TestReadingLaunch::handedBackConfig() {
    QFETCH(int, tag);
    QFETCH(int, behaviour);
    const bool changed = TBehaviour(behaviour) == TBehaviour::HandBackChanged;
    ReaderRecorder::Reset(TBehaviour(behaviour));
    TLibraryWindow window(FillLibrary);
    InstallModule(window, tag, MX_RECORDING_READER);
    window.Select(QStringLiteral("西游记/灵根孕育"));
    const QString before = Config(window, tag);
    const QString other = Config(window, 1 - tag);
    const QByteArray fileBefore = window.Store.Folder().ReadFile(QStringLiteral("Config.ini"));
    QVERIFY(!fileBefore.isEmpty());

    Button(window, tag)->click();

    QCOMPARE(ReaderRecorder::Events(), FullRun);
    QVERIFY(window.TakeShown().isEmpty());
    const QString expected =
        changed ? QString::fromUtf8(ReaderRecorder::ChangedConfigUtf8) : before;
    QCOMPARE(Config(window, tag), expected); // still readable: the module is gone by now
    QCOMPARE(Config(window, 1 - tag), other);
    const QByteArray fileAfter = window.Store.Folder().ReadFile(QStringLiteral("Config.ini"));
    // The scrambled form changes with every save, so an untouched file is the same bytes.
    QCOMPARE(fileAfter != fileBefore, changed);
    const TGlobalManager reread(window.Store.AppDir());
    QCOMPARE(reread.*ReadingLaunch::MethodOfTag(tag).Config, expected);
}

void TestReadingLaunch::unusableModuleChangesNothing_data() {
    QTest::addColumn<QString>("module"); // empty: no file at all
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("hintsAfter");
    QTest::newRow("missing file") << QString() << QStringList{} << false;
    QTest::newRow("not a library") << QStringLiteral("garbage") << QStringList{} << false;
    QTest::newRow("no entry point")
        << QStringLiteral(MX_NO_ENTRY_READER) << QStringList{"loaded", "unloaded"} << true;
}

void TestReadingLaunch::unusableModuleChangesNothing() {
    QFETCH(QString, module);
    QFETCH(QStringList, events);
    QFETCH(bool, hintsAfter);
    TLibraryWindow window(FillLibrary);
    if (module == QLatin1String("garbage")) {
        window.Store.Folder().WriteFile(ModuleFile(0), "\x7f"
                                                       "ELF but not really");
    } else if (!module.isEmpty()) {
        InstallModule(window, 0, module.toUtf8().constData());
    }
    window.Select(QStringLiteral("红楼梦/第一回"));
    const QString config = Config(window, 0);
    const QByteArray fileBefore = window.Store.Folder().ReadFile(QStringLiteral("Config.ini"));
    qApp->setProperty(ReaderHintsProperty, false);
    const TTreeState before = TreeState(window);

    Button(window, 0)->click();

    QCOMPARE(ReaderRecorder::Events(), events);
    QVERIFY(window.TakeShown().isEmpty());
    QCOMPARE(Config(window, 0), config);
    QCOMPARE(window.Store.Folder().ReadFile(QStringLiteral("Config.ini")), fileBefore);
    QCOMPARE(ReadingLaunch::HintsOn(qApp), hintsAfter);
    QVERIFY(TreeState(window) == before);
    QCOMPARE(window.Page(), window.Form->BlockPage);
    qApp->setProperty(ReaderHintsProperty, true);
}

void TestReadingLaunch::moduleErrorIsReportedAndNothingStored_data() {
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("GetInstance throws")
        << int(TBehaviour::ThrowInGetInstance) << QStringList{"loaded", "GetInstance", "unloaded"};
    QTest::newRow("RunReading throws")
        << int(TBehaviour::ThrowInRunReading)
        << QStringList{"loaded", "GetInstance", "RunReading", "Release 0", "unloaded"};
    QTest::newRow("GetConfig throws") << int(TBehaviour::ThrowInGetConfig) << FullRun;
}

void TestReadingLaunch::moduleErrorIsReportedAndNothingStored() {
    QFETCH(int, behaviour);
    QFETCH(QStringList, events);
    ReaderRecorder::Reset(TBehaviour(behaviour));
    TLibraryWindow window(FillLibrary);
    InstallModule(window, 0, MX_RECORDING_READER);
    window.Select(QStringLiteral("红楼梦/第二回"));
    Config(window, 0) = QStringLiteral("<blockConfig rate=\"3\"/>"); // as a setting held in memory
    const QByteArray fileBefore = window.Store.Folder().ReadFile(QStringLiteral("Config.ini"));

    Button(window, 0)->click();

    // Released and unloaded before the error is shown: the box reads the host's copy.
    QCOMPARE(ReaderRecorder::Events(), events);
    QVERIFY(!ModuleStillLoaded(window, 0));
    const QList<TMessageBoxHook::TShown> shown = TMessageBoxHook::Shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().Kind, TMessageBoxHook::TKind::Error);
    QCOMPARE(shown.first().Text, QString::fromUtf8(ReaderRecorder::FailureUtf8));
    QCOMPARE(Config(window, 0), QStringLiteral("<blockConfig rate=\"3\"/>"));
    QCOMPARE(window.Store.Folder().ReadFile(QStringLiteral("Config.ini")), fileBefore);
    QVERIFY(ReadingLaunch::HintsOn(qApp));
}

void TestReadingLaunch::failedListLoadsNoModule() {
    TLibraryWindow window(FillLibrary);
    InstallModule(window, 0, MX_RECORDING_READER);
    window.Toggle(QStringLiteral("西游记"));
    window.Select(QStringLiteral("红楼梦/第二回"));
    window.Store.RemoveDatabase();

    Button(window, 0)->click();

    QVERIFY(ReaderRecorder::Events().isEmpty());
    const QList<TMessageBoxHook::TShown> shown = TMessageBoxHook::Shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().Kind, TMessageBoxHook::TKind::Error);
}

void TestReadingLaunch::unsavedPageEditsDoNotReachTheModule() {
    TLibraryWindow window(FillLibrary);
    InstallModule(window, 1, MX_RECORDING_READER);
    window.Select(QStringLiteral("红楼梦/第一回"));
    window.Form->EdtTitle->setText(QStringLiteral("未保存的标题"));
    window.Form->EdtAuthor->setText(QStringLiteral("未保存的作者"));
    window.Form->MmText->setPlainText(QStringLiteral("未保存的正文"));

    Button(window, 1)->click();

    const TArticleDTOList &articles = ReaderRecorder::Received().Articles;
    QCOMPARE(articles.size(), 1);
    QCOMPARE(articles.first().Title, QStringLiteral("第一回"));
    QCOMPARE(articles.first().Author, QStringLiteral("曹雪芹"));
    QCOMPARE(articles.first().Lines, (QStringList{"甄士隐梦幻识通灵", "贾雨村风尘怀闺秀"}));
    QCOMPARE(window.Form->EdtTitle->text(), QStringLiteral("未保存的标题"));
}

QTEST_MAIN(TestReadingLaunch)
#include "test_reading_launch.moc"

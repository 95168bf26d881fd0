// The batch import: the window, the run, the text-loader module and mxtool import-texts.
#include "ImportFixture.h"

#include "app/Const.h"
#include "app/FileDialog.h"
#include "app/MessageBox.h"
#include "app/test_library_window.h"
#include "textimport/FileLoaderForm.h"
#include "textimport/PopupNotice.h"
#include "textimport/TextImportRun.h"
#include "util/TextDecoding.h"
#include "util/Tools.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QtTest>

#include <csignal>

namespace {

const QString Book = QStringLiteral("唐诗");
const QString Poem = QStringLiteral("春眠不觉晓，处处闻啼鸟。\n夜来风雨声，花落知多少。");
const QString Traditional = QStringLiteral("春眠不覺曉，處處聞啼鳥。\n夜來風雨聲，花落知多少。");
const QString BeyondGbk = QStringLiteral("春眠") + QString::fromUcs4(U"\U00020000\U0002A6A5") +
                          QStringLiteral("不觉晓€。\n处处闻啼鸟。");

QByteArray CrLf(QByteArray bytes) {
    return bytes.replace("\n", "\r\n");
}

// One row of the log as the window shows it.
struct TRow {
    QString Title, Author, Dir, Path;
    int Picture;
};

QList<TRow> Rows(const TFileLoaderForm &form) {
    QList<TRow> rows;
    for (int i = 0; i < form.RzListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = form.RzListView1->topLevelItem(i);
        rows.append({item->text(0), item->text(1), item->text(2), item->text(3),
                     item->data(0, Qt::UserRole).toInt()});
    }
    return rows;
}

QStringList TakeNotices() {
    QStringList texts;
    for (const TMessageBoxHook::TShown &shown : TMessageBoxHook::Shown()) {
        texts << shown.Text;
    }
    TMessageBoxHook::ClearShown();
    return texts;
}

// The import window on the fixture's library, shown, with the message boxes hooked.
class TWindow {
public:
    explicit TWindow(TImportFixture &fixture, const QString &book = Book)
        : Form(fixture.Store.Settings()) {
        Form.SetService(fixture.Store.Service());
        Form.SetDirName(book);
        Form.show();
    }
    // Types the folder and presses "开始导入"; the run is over when this returns.
    void Import(const QString &folder) {
        Form.EdtFileName->setText(folder);
        Form.suiButton2->click();
    }
    TFileLoaderForm Form;
};

// A library that can only be read.
class TReadOnlyService : public TBlockServiceImpl {
public:
    using TBlockServiceImpl::TBlockServiceImpl;
    bool IsReadOnly() const override { return true; }
};

} // namespace

class TestTextImport : public QObject {
    Q_OBJECT

private slots:
    void init() {
        TMessageBoxHook::Install();
        TFileDialogHook::Install();
    }
    void cleanup() {
        TMessageBoxHook::Uninstall();
        TFileDialogHook::Uninstall();
    }

    void WindowAsItOpens();
    void FolderButtonAsksForAFolder();
    void MixedFolderArrivesAsTheSameChineseText();
    void LongTextsAreCutAtTheLimit_data();
    void LongTextsAreCutAtTheLimit();
    void ImportingTwiceKeepsOneArticlePerFileOrPart();
    void ChecksBeforeTheRun_data();
    void ChecksBeforeTheRun();
    void ReadOnlyLibraryIsRefused();
    void MissingModuleGivesANotice_data();
    void MissingModuleGivesANotice();
    void CancelStopsBeforeTheNextFile();
    void CloseRequestWaitsForTheRun();
    void FailedStoreIsAFailedRowAndTheRunGoesOn();
    void BookNameIsReadForEachFile();
    void BigFileShowsProgressWithoutFreezing();
    void MainWindowCommandImportsIntoTheChosenBook();
    void ToolPrintsOneLinePerFile_data();
    void ToolPrintsOneLinePerFile();
    void ToolKilledMidRunLosesNothingReported();
};

void TestTextImport::WindowAsItOpens() {
    TImportFixture fixture;
    fixture.Store.InsertArticle(QStringLiteral("宋词"), QStringLiteral("a"));
    fixture.Store.InsertArticle(Book, QStringLiteral("b"));
    TWindow window(fixture, QStringLiteral("新书"));
    TFileLoaderForm &form = window.Form;
    QCOMPARE(form.windowTitle(), QStringLiteral("批量录入文章"));
    QCOMPARE(form.size(), QSize(594, 333));
    QCOMPARE(form.RzGroupBox2->title(), QStringLiteral("设置"));
    QCOMPARE(form.RzGroupBox1->title(), QStringLiteral("日志"));
    QCOMPARE(form.suiButton2->text(), QStringLiteral("开始导入"));
    QCOMPARE(form.suiButton1->text(), QStringLiteral("取消导入"));
    // The book list comes from the library; the handed-over name stays the text.
    QStringList books;
    for (int i = 0; i < form.CbxDir->count(); ++i) {
        books << form.CbxDir->itemText(i);
    }
    books.sort();
    QCOMPARE(books, (QStringList{Book, QStringLiteral("宋词")}));
    QCOMPARE(form.CbxDir->currentText(), QStringLiteral("新书"));
    QCOMPARE(form.RzPanel1->text(), QStringLiteral("已处理文件0个，导入0个"));
    QCOMPARE(form.RzListView1->columnCount(), 4);
    const QStringList headers = {"文章标题", "作者", "目录", "路径"};
    const int widths[] = {200, 60, 60, 189};
    for (int c = 0; c < 4; ++c) {
        QCOMPARE(form.RzListView1->headerItem()->text(c), headers[c]);
        QCOMPARE(form.RzListView1->columnWidth(c), widths[c]);
    }
    // The hint pops up in the screen's corner.
    QVERIFY(form.suiMSNPopForm1->isVisible());
    QCOMPARE(form.suiMSNPopForm1->Title(), QStringLiteral("提示"));
    QCOMPARE(form.suiMSNPopForm1->Text(), Const::Message(Const::BatchImportHint));
    const QRect screen = form.screen()->geometry();
    QCOMPARE(form.suiMSNPopForm1->pos(),
             QPoint(screen.width() - 200, screen.height() - 150) + screen.topLeft());
}

void TestTextImport::FolderButtonAsksForAFolder() {
    TImportFixture fixture;
    TWindow window(fixture);
    TFileDialogHook::QueueAnswer(QStringLiteral("/chosen/folder"));
    window.Form.EdtFileNameButton->trigger();
    QCOMPARE(window.Form.EdtFileName->text(), QStringLiteral("/chosen/folder"));
    const QList<TFileDialogRequest> requests = TFileDialogHook::Requests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].Kind, TFileDialogRequest::TKind::Directory);
    QCOMPARE(requests[0].Caption, QStringLiteral("请选择文件所在的书目"));
    // A cancelled dialog changes nothing.
    window.Form.EdtFileNameButton->trigger();
    QCOMPARE(window.Form.EdtFileName->text(), QStringLiteral("/chosen/folder"));
}

void TestTextImport::MixedFolderArrivesAsTheSameChineseText() {
    TImportFixture fixture;
    // title -> bytes; every text file says the same poem, in its own encoding.
    const QList<std::pair<QString, QByteArray>> texts = {
        {QStringLiteral("gbk.txt"), CrLf(Encode("GBK", Poem))},
        {QStringLiteral("utf8.txt"), Encode("UTF-8", Poem)},
        {QStringLiteral("utf8bom.txt"), QByteArray("\xEF\xBB\xBF") + Encode("UTF-8", Poem)},
        {QStringLiteral("utf16le.txt"),
         QByteArray("\xFF\xFE") + Encode("UTF-16LE", CrLf(Poem.toUtf8()))},
        {QStringLiteral("utf16be.txt"), QByteArray("\xFE\xFF") + Encode("UTF-16BE", Poem)},
        {QStringLiteral("a.txt"), Encode("GBK", Poem)},
        {QStringLiteral("b.TXT"), Encode("GBK", Poem)},
        {QStringLiteral("c.Txt"), Encode("UTF-8", Poem)},
        {QStringLiteral("静夜思.txt"), Encode("GBK", Poem)},
        {QStringLiteral("sub/d.txt"), Encode("UTF-8", Poem)},
        {QStringLiteral("sub/deeper/e.txt"), CrLf(Encode("GBK", Poem))},
    };
    for (const auto &[name, bytes] : texts) {
        fixture.Write(name, bytes);
    }
    fixture.Write(QStringLiteral("gb18030.txt"), Encode("GB18030", BeyondGbk));
    fixture.Write(QStringLiteral("big5.txt"), CrLf(Encode("Big5", Traditional)));
    fixture.Write(QStringLiteral("empty.txt"), QByteArray());
    QByteArray binary;
    for (int i = 0; i < 2000; ++i) {
        binary.append(static_cast<char>(i % 251));
    }
    fixture.Write(QStringLiteral("notext.txt"), binary);
    fixture.Write(QStringLiteral("c.doc"), Encode("GBK", Poem));
    // A GBK name, as a Windows archive leaves it.
    fixture.WriteRawName(Encode("GBK", QStringLiteral("春晓.txt")), Encode("GBK", Poem));

    TWindow window(fixture);
    window.Import(fixture.TextFolder());

    QCOMPARE(TakeNotices(), QStringList{QStringLiteral("导入结束！")});
    QCOMPARE(window.Form.result(), int(QDialog::Accepted));
    for (const auto &[name, bytes] : texts) {
        const QString title = QFileInfo(name).completeBaseName();
        QCOMPARE(fixture.StoredText(Book, title), Poem);
    }
    QCOMPARE(fixture.StoredText(Book, QStringLiteral("春晓")), Poem);
    QCOMPARE(fixture.StoredText(Book, QStringLiteral("gb18030")), BeyondGbk);
    QCOMPARE(fixture.StoredText(Book, QStringLiteral("big5")), Traditional);
    QVERIFY(fixture.StoredTitles(Book).contains(QStringLiteral("empty")));
    QVERIFY(!fixture.StoredTitles(Book).contains(QStringLiteral("notext")));
    QCOMPARE(fixture.StoredTitles(Book).size(), texts.size() + 4);
    for (const TStoreRow &row : fixture.Store.Rows()) {
        QCOMPARE(row.Author, QStringLiteral("佚名"));
        QCOMPARE(row.WordCount.toInt(), CountWords(TLineList::FromStoredText(row.Text).Text()));
    }

    // One row per text file: the .doc gets none, the file that is not text a failed row
    // with its path only.
    const QList<TRow> rows = Rows(window.Form);
    QCOMPARE(rows.size(), texts.size() + 5);
    int failed = 0;
    for (const TRow &row : rows) {
        QVERIFY(!row.Path.endsWith(QStringLiteral(".doc")));
        if (row.Path.endsWith(QStringLiteral("/notext.txt"))) {
            ++failed;
            QCOMPARE(row.Picture, 1);
            QVERIFY(row.Title.isEmpty() && row.Author.isEmpty() && row.Dir.isEmpty());
        } else {
            QCOMPARE(row.Picture, 0);
            QCOMPARE(row.Dir, Book);
            QCOMPARE(row.Author, QStringLiteral("佚名"));
        }
    }
    QCOMPARE(failed, 1);
    QVERIFY(std::any_of(rows.begin(), rows.end(), [&](const TRow &row) {
        return row.Title == QStringLiteral("春晓") &&
               row.Path == fixture.TextFolder() + QStringLiteral("/春晓.txt");
    }));

    // The status line: the position of the last text file in the listing, the files stored.
    const QList<QByteArray> listed = ListFiles(QFile::encodeName(fixture.TextFolder()));
    int lastText = 0;
    for (int i = 0; i < listed.size(); ++i) {
        if (LowerFileExt(DecodePath(listed[i])) == QLatin1String("txt")) {
            lastText = i + 1;
        }
    }
    QCOMPARE(window.Form.RzPanel1->text(),
             ImportStatusText(lastText, static_cast<int>(texts.size()) + 4));
}

void TestTextImport::LongTextsAreCutAtTheLimit_data() {
    QTest::addColumn<int>("words");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("exactly the limit") << 20 << QStringList{"长文"};
    QTest::newRow("one word more") << 21 << QStringList{"长文_1", "长文_2"};
    QTest::newRow("three parts") << 41 << QStringList{"长文_1", "长文_2", "长文_3"};
}

void TestTextImport::LongTextsAreCutAtTheLimit() {
    QFETCH(int, words);
    QFETCH(QStringList, titles);
    TImportFixture fixture;
    fixture.Store.Settings().ContentMaxWordCount = 20;
    // Chinese characters and ASCII words, one word each.
    QStringList lines;
    for (int i = 0; i < words; ++i) {
        lines << (i % 2 == 0 ? QStringLiteral("字") : QStringLiteral("word%1").arg(i));
    }
    fixture.Write(QStringLiteral("长文.txt"), Encode("GBK", lines.join(QStringLiteral("\r\n"))));
    TWindow window(fixture);
    window.Import(fixture.TextFolder());
    QCOMPARE(fixture.StoredTitles(Book), titles);
    int stored = 0;
    QStringList rejoined;
    for (const TStoreRow &row : fixture.Store.Rows()) {
        stored += row.WordCount.toInt();
        rejoined << TLineList::FromStoredText(row.Text).Text();
    }
    QCOMPARE(stored, words);
    QCOMPARE(CountWords(rejoined.join(QString())), words);
}

void TestTextImport::ImportingTwiceKeepsOneArticlePerFileOrPart() {
    TImportFixture fixture;
    fixture.Store.Settings().ContentMaxWordCount = 10;
    fixture.Write(QStringLiteral("short.txt"), Encode("GBK", Poem));
    fixture.Write(QStringLiteral("long.txt"), Encode("GBK", Poem + Poem));
    for (int run = 0; run < 2; ++run) {
        TWindow window(fixture);
        window.Import(fixture.TextFolder());
    }
    QCOMPARE(fixture.StoredTitles(Book), (QStringList{"long_1", "long_2", "long_3", "long_4",
                                                      "long_5", "short_1", "short_2", "short_3"}));
}

void TestTextImport::ChecksBeforeTheRun_data() {
    QTest::addColumn<QString>("folder"); // "TEXTS" stands for the fixture's folder
    QTest::addColumn<QString>("book");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<int>("stored");
    QTest::newRow("blanks around the folder") << "  TEXTS \t" << Book << "导入结束！" << 1;
    QTest::newRow("blanks around the book") << "TEXTS"
                                            << "  唐诗 "
                                            << "导入结束！" << 1;
    QTest::newRow("missing folder") << "TEXTS/missing" << Book << "找不到路径!" << 0;
    QTest::newRow("no folder typed") << "   " << Book << "找不到路径!" << 0;
    QTest::newRow("empty book box") << "TEXTS"
                                    << ""
                                    << "书目不能为空!" << 0;
    QTest::newRow("blank book box") << "TEXTS"
                                    << "   "
                                    << "书目不能为空!" << 0;
    QTest::newRow("empty folder") << "TEXTS/empty" << Book << "导入结束！" << 0;
}

void TestTextImport::ChecksBeforeTheRun() {
    QFETCH(QString, folder);
    QFETCH(QString, book);
    QFETCH(QString, notice);
    QFETCH(int, stored);
    TImportFixture fixture;
    fixture.Write(QStringLiteral("poem.txt"), Encode("GBK", Poem));
    QDir(fixture.TextFolder()).mkpath(QStringLiteral("empty"));
    TWindow window(fixture, book);
    window.Import(folder.replace(QStringLiteral("TEXTS"), fixture.TextFolder()));
    QCOMPARE(TakeNotices(), QStringList{notice});
    QCOMPARE(fixture.Store.RowCount(), stored);
    if (stored > 0) {
        QCOMPARE(fixture.StoredText(Book, QStringLiteral("poem")), Poem);
    }
    // Either way the window closes with OK, ready for another run.
    QCOMPARE(window.Form.result(), int(QDialog::Accepted));
    QVERIFY(!window.Form.isVisible());
    QVERIFY(window.Form.suiButton2->isEnabled());
}

void TestTextImport::ReadOnlyLibraryIsRefused() {
    TImportFixture fixture;
    fixture.Write(QStringLiteral("poem.txt"), Encode("GBK", Poem));
    auto readOnly =
        std::make_shared<TReadOnlyService>(fixture.Store.DatabasePath(), fixture.Store.Settings());
    TFileLoaderForm form(fixture.Store.Settings());
    form.SetService(readOnly);
    form.SetDirName(Book);
    form.show();
    form.EdtFileName->setText(fixture.TextFolder());
    form.suiButton2->click();
    QCOMPARE(TakeNotices(), QStringList{QStringLiteral("文章库是只读的，不能导入文章！")});
    QCOMPARE(fixture.Store.RowCount(), 0);
    QCOMPARE(form.RzListView1->topLevelItemCount(), 0);
}

void TestTextImport::MissingModuleGivesANotice_data() {
    QTest::addColumn<bool>("withoutEntryPoint");
    QTest::newRow("no module") << false;
    QTest::newRow("module without GetInstance") << true;
}

void TestTextImport::MissingModuleGivesANotice() {
    QFETCH(bool, withoutEntryPoint);
    TImportFixture fixture;
    const QString module = fixture.Store.Folder().FilePath(QStringLiteral("libProseFeed.so"));
    QVERIFY(QFile::remove(module));
    if (withoutEntryPoint) {
        QVERIFY(QFile::copy(QStringLiteral(MX_TEST_NOENTRY_DIR "/libProseFeed.so"), module));
    }
    fixture.Write(QStringLiteral("poem.txt"), Encode("GBK", Poem));
    TWindow window(fixture);
    window.Import(fixture.TextFolder());
    const QStringList notices = TakeNotices();
    QCOMPARE(notices.size(), 1);
    QVERIFY2(notices[0].startsWith(QStringLiteral("找不到文本导入模块，无法导入文章！")),
             qPrintable(notices[0]));
    QVERIFY(window.Form.suiButton2->isEnabled());
    QCOMPARE(fixture.Store.RowCount(), 0);
}

void TestTextImport::CancelStopsBeforeTheNextFile() {
    TImportFixture fixture;
    for (int i = 0; i < 5; ++i) {
        fixture.Write(QStringLiteral("poem%1.txt").arg(i), Encode("GBK", Poem));
    }
    TWindow window(fixture);
    // "取消导入" pressed while the run handles events after its first file.
    connect(window.Form.RzListView1->model(), &QAbstractItemModel::rowsInserted, this,
            [&window] { window.Form.suiButton1->click(); });
    window.Import(fixture.TextFolder());
    QCOMPARE(window.Form.RzListView1->topLevelItemCount(), 1);
    QCOMPARE(fixture.Store.RowCount(), 1);
    QCOMPARE(TakeNotices(), QStringList{QStringLiteral("导入结束！")});
    QCOMPARE(window.Form.result(), int(QDialog::Accepted));
    QVERIFY(!window.Form.isVisible());
}

void TestTextImport::CloseRequestWaitsForTheRun() {
    TImportFixture fixture;
    for (int i = 0; i < 3; ++i) {
        fixture.Write(QStringLiteral("poem%1.txt").arg(i), Encode("GBK", Poem));
    }
    TWindow window(fixture);
    bool visibleAfterClose = false;
    connect(window.Form.RzListView1->model(), &QAbstractItemModel::rowsInserted, this, [&] {
        window.Form.close();
        window.Form.reject();
        visibleAfterClose = window.Form.isVisible();
    });
    window.Import(fixture.TextFolder());
    QVERIFY(visibleAfterClose);
    QCOMPARE(fixture.Store.RowCount(), 3);
    QCOMPARE(window.Form.result(), int(QDialog::Accepted));
}

void TestTextImport::FailedStoreIsAFailedRowAndTheRunGoesOn() {
    TImportFixture fixture;
    fixture.Store.Exec(
        QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON EARTICLE WHEN NEW.TITLE = '坏' "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    fixture.Write(QStringLiteral("坏.txt"), Encode("GBK", Poem));
    fixture.Write(QStringLiteral("好.txt"), Encode("GBK", Poem));
    fixture.Write(QStringLiteral("也好.txt"), Encode("GBK", Poem));
    TWindow window(fixture);
    window.Import(fixture.TextFolder());
    QCOMPARE(fixture.StoredTitles(Book), (QStringList{"也好", "好"}));
    int failed = 0;
    for (const TRow &row : Rows(window.Form)) {
        if (row.Picture == 1) {
            ++failed;
            QVERIFY(row.Path.endsWith(QStringLiteral("/坏.txt")));
            QVERIFY(row.Title.isEmpty());
        }
    }
    QCOMPARE(failed, 1);
    QCOMPARE(window.Form.RzPanel1Tag, 2);
}

void TestTextImport::BookNameIsReadForEachFile() {
    TImportFixture fixture;
    fixture.Write(QStringLiteral("one.txt"), Encode("GBK", Poem));
    fixture.Write(QStringLiteral("two.txt"), Encode("GBK", Poem));
    TWindow window(fixture, QStringLiteral("甲"));
    connect(window.Form.RzListView1->model(), &QAbstractItemModel::rowsInserted, this,
            [&window] { window.Form.CbxDir->setEditText(QStringLiteral("乙")); });
    window.Import(fixture.TextFolder());
    QCOMPARE(fixture.StoredTitles(QStringLiteral("甲")).size(), 1);
    QCOMPARE(fixture.StoredTitles(QStringLiteral("乙")).size(), 1);
}

void TestTextImport::BigFileShowsProgressWithoutFreezing() {
    TImportFixture fixture;
    // 10 MB of GBK text in lines.
    QString line;
    for (int i = 0; i < 40; ++i) {
        line += Poem.at(i % Poem.size() == 12 ? 0 : i % Poem.size());
    }
    QStringList lines;
    for (int i = 0; i < 10 * 1024 * 1024 / 82; ++i) {
        lines << line;
    }
    const QByteArray bytes = Encode("GBK", lines.join(QStringLiteral("\r\n")));
    QVERIFY(bytes.size() >= 10 * 1000 * 1000);
    fixture.Write(QStringLiteral("big.txt"), bytes);
    TWindow window(fixture);
    QList<int> values;
    connect(window.Form.PbFile, &QProgressBar::valueChanged, this, [&](int v) { values << v; });
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(5);
    window.Import(fixture.TextFolder());
    ticker.stop();
    QVERIFY2(std::any_of(values.begin(), values.end(), [](int v) { return v > 0 && v < 1000; }),
             qPrintable(QStringLiteral("%1 progress values").arg(values.size())));
    QCOMPARE(values.last(), 1000);
    QVERIFY2(ticks >= 3, qPrintable(QString::number(ticks)));
    const int parts = fixture.Store.RowCount();
    QCOMPARE(parts, (CountWords(lines.join(QString())) - 1) / 50000 + 1);
    QCOMPARE(window.Form.RzListView1->topLevelItemCount(), 1);
}

void TestTextImport::MainWindowCommandImportsIntoTheChosenBook() {
    TLibraryWindow library([](TStoreFixture &store) {
        store.InsertArticle(Book, QStringLiteral("旧文"), QStringLiteral("旧"));
    });
    QVERIFY(QFile::copy(qEnvironmentVariable("MX_DIST_DIR") + QStringLiteral("/libProseFeed.so"),
                        library.Store.Folder().FilePath(QStringLiteral("libProseFeed.so"))));
    const QString folder = library.Store.Folder().FilePath(QStringLiteral("texts"));
    library.Store.Folder().WriteFile(QStringLiteral("texts/新诗.txt"), Encode("GBK", Poem));
    QVERIFY(library.Form->FileToArticle->isEnabled());
    library.Select(Book + QStringLiteral("/旧文"));

    QString handedBook;
    QTimer::singleShot(0, this, [&] {
        auto *form = qobject_cast<TFileLoaderForm *>(QApplication::activeModalWidget());
        QVERIFY(form != nullptr);
        handedBook = form->CbxDir->currentText();
        form->EdtFileName->setText(folder);
        form->suiButton2->click();
    });
    library.Form->FileToArticle->trigger();
    QCOMPARE(handedBook, Book);
    // The tree is rebuilt after OK: the new article is there.
    QVERIFY(library.Node(Book + QStringLiteral("/新诗")) != nullptr);
    QVERIFY(library.Node(Book + QStringLiteral("/旧文")) != nullptr);
}

void TestTextImport::ToolPrintsOneLinePerFile_data() {
    QTest::addColumn<bool>("withFailure");
    QTest::newRow("all stored") << false;
    QTest::newRow("one failed") << true;
}

void TestTextImport::ToolPrintsOneLinePerFile() {
    QFETCH(bool, withFailure);
    TImportFixture fixture;
    fixture.Write(QStringLiteral("gbk.txt"), Encode("GBK", Poem));
    fixture.Write(QStringLiteral("sub/utf8.TXT"), Encode("UTF-8", Poem));
    fixture.Write(QStringLiteral("skip.doc"), Encode("UTF-8", Poem));
    if (withFailure) {
        fixture.Write(QStringLiteral("bin.txt"), QByteArray("\x01\x02\x00\x03", 4));
    }
    QProcess tool;
    tool.start(QStringLiteral(MX_TOOL_PATH),
               {QStringLiteral("import-texts"), fixture.TextFolder(), QStringLiteral("--book"),
                Book, QStringLiteral("--app"), fixture.Store.AppDir()});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), withFailure ? 1 : 0);
    const QStringList lines =
        QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY(lines.contains(QStringLiteral("stored\tGB18030\tgbk\t") + fixture.TextFolder() +
                           QStringLiteral("/gbk.txt")));
    QVERIFY(lines.contains(QStringLiteral("stored\tUTF-8\tutf8\t") + fixture.TextFolder() +
                           QStringLiteral("/sub/utf8.TXT")));
    QCOMPARE(lines.size(), withFailure ? 5 : 4);
    if (withFailure) {
        QVERIFY(std::any_of(lines.begin(), lines.end(), [&](const QString &line) {
            return line.startsWith(QStringLiteral("failed\t-\t") + fixture.TextFolder() +
                                   QStringLiteral("/bin.txt\t不是文本文件"));
        }));
    }
    QVERIFY(lines.at(lines.size() - 2).contains(QStringLiteral("导入%1个").arg(2)));
    QCOMPARE(lines.last(), QStringLiteral("导入结束！"));
    QCOMPARE(fixture.StoredText(Book, QStringLiteral("utf8")), Poem);
}

void TestTextImport::ToolKilledMidRunLosesNothingReported() {
    TImportFixture fixture;
    // Texts of about 70 KB (one article each), each with its number in every line.
    for (int i = 0; i < 300; ++i) {
        QStringList lines;
        for (int l = 0; l < 2000; ++l) {
            lines << QStringLiteral("第%1篇，").arg(i) + Poem.left(12);
        }
        fixture.Write(QStringLiteral("t%1.txt").arg(i, 3, 10, QLatin1Char('0')),
                      Encode("GBK", lines.join(QStringLiteral("\r\n"))));
    }
    QProcess tool;
    tool.start(QStringLiteral(MX_TOOL_PATH),
               {QStringLiteral("import-texts"), fixture.TextFolder(), QStringLiteral("--book"),
                Book, QStringLiteral("--app"), fixture.Store.AppDir()});
    QVERIFY(tool.waitForStarted());
    QStringList reported;
    while (reported.size() < 10 && tool.state() == QProcess::Running) {
        tool.waitForReadyRead(10000);
        while (tool.canReadLine()) {
            const QStringList fields = QString::fromUtf8(tool.readLine()).trimmed().split(u'\t');
            if (fields.value(0) == QLatin1String("stored")) {
                reported << fields.value(2);
            }
        }
    }
    ::kill(static_cast<pid_t>(tool.processId()), SIGKILL);
    tool.waitForFinished();
    QVERIFY(reported.size() >= 10);
    QVERIFY2(fixture.Store.RowCount() < 300, "the run ended before the kill");
    // Every article a line reported is there whole; nothing else is there half.
    for (const TStoreRow &row : fixture.Store.Rows()) {
        const QStringList lines = TLineList::FromStoredText(row.Text).Lines();
        QCOMPARE(lines.size(), 2000);
        QCOMPARE(lines.last(),
                 QStringLiteral("第%1篇，").arg(row.Title.mid(1).toInt()) + Poem.left(12));
    }
    for (const QString &title : reported) {
        QVERIFY(!fixture.StoredText(Book, title).isEmpty());
    }
}

QTEST_MAIN(TestTextImport)
#include "test_text_import.moc"

// The update check of the hidden update window against a server on 127.0.0.1: the download
// with its errors, pauses and resumptions, the check over the list, the prompt and the
// hand-over to the updater, the background thread, and the main window's start of it all.
#include "TestHttpServer.h"
#include "app/GlobalManager.h"
#include "app/MainForm.h"
#include "app/MessageBox.h"
#include "app/ThemeManager.h"
#include "support/TempAppFolder.h"
#include "update/HttpFileDownload.h"
#include "update/UpdateForm.h"
#include "update/UpdateList.h"
#include "update/UpdateListAddress.h"
#include "update/UpdateThread.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <memory>

using TStep = TTestHttpServer::TStep;

namespace {

// Short times so that a case takes milliseconds, not the real ten-second stall.
constexpr TUpdateForm::TTimings FastTimings{300, 20};

QByteArray List(const QList<QByteArray> &versions) {
    QByteArray entries;
    for (const QByteArray &version : versions) {
        entries += version.isNull() ? QByteArray("<patch><file>a.exe</file></patch>")
                                    : "<patch><version>" + version + "</version></patch>";
    }
    return "<?xml version=\"1.0\"?>\n<patches>" + entries + "</patches>\n";
}

// An application folder with the themes, settings on it with installed release 3, and an
// update window on those.
struct TUpdateFixture {
    explicit TUpdateFixture(const QString &address, TUpdateForm::TTimings timings = FastTimings) {
        Folder.CopyThemes();
        Settings = std::make_unique<TGlobalManager>(Folder.Path());
        Settings->AppVersion = 3;
        Form = std::make_unique<TUpdateForm>(*Settings, address, timings);
    }
    QString ListPath() const { return Folder.FilePath("patch.xml"); }

    // An updater that notes its arguments ("count|first|...") beside itself and ends.
    void WriteUpdater(const QByteArray &body = "printf '%s|' \"$#\" \"$@\" > \"$0.args\"\n") const {
        const QString path = Folder.WriteFile("AutoPatch", "#!/bin/sh\n" + body);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QByteArray UpdaterArguments() const { return Folder.ReadFile("AutoPatch.args"); }

    TempAppFolder Folder;
    std::unique_ptr<TGlobalManager> Settings;
    std::unique_ptr<TUpdateForm> Form;
};

// The message-box hook for one test: no real box opens.
struct TBoxHook {
    TBoxHook() { TMessageBoxHook::Install(); }
    ~TBoxHook() { TMessageBoxHook::Uninstall(); }
    TBoxHook(const TBoxHook &) = delete;
    TBoxHook &operator=(const TBoxHook &) = delete;
};

// What a real update prompt looked like when a timer found it, and the button it pressed.
struct TSeenBox {
    QString Title;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QStringList Buttons;
    QPoint Centre;
    bool HasThemedParent = false;
};

void AnswerPromptLater(const QString &button, TSeenBox &seen) {
    auto *poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, button, &seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        seen.Title = box->windowTitle();
        seen.Text = box->text();
        seen.Icon = box->icon();
        for (QAbstractButton *b : box->buttons()) {
            seen.Buttons << b->text();
        }
        seen.Centre = box->frameGeometry().center();
        seen.HasThemedParent =
            box->parentWidget() != nullptr && !box->parentWidget()->styleSheet().isEmpty();
        for (QAbstractButton *b : box->buttons()) {
            if (b->text() == button) {
                b->click();
            }
        }
        poll->deleteLater();
    });
    poll->start();
}

int UpdateWindows() {
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        count += qobject_cast<TUpdateForm *>(widget) != nullptr ? 1 : 0;
    }
    return count;
}

// Runs an update thread on the window and waits until it has freed itself.
bool RunThread(TUpdateForm *form) {
    QPointer<TUpdateThread> thread = new TUpdateThread(form);
    thread->start(QThread::IdlePriority);
    return QTest::qWaitFor([&thread] { return thread.isNull(); }, 20000);
}

} // namespace

class TestUpdateCheck : public QObject {
    Q_OBJECT

private slots:
    void DownloadFaults_data();
    void DownloadFaults();
    void ErrorCountIsNotResetByANewDownload();
    void ErrorPauseLetsTheProgramGoOn();
    void UnwritableFolderGivesUpAtOnce();
    void DefaultStallTimeIsTenSeconds();

    void CheckUpdate_data();
    void CheckUpdate();
    void GivenUpCheckLeavesThePartialCopy();

    void PromptAnswer_data();
    void PromptAnswer();
    void OfferUpdate_data();
    void OfferUpdate();
    void MissingUpdaterShowsNothing();

    void Thread_data();
    void Thread();
    void ThreadSkipsAWindowThatIsGone();

    void MainWindowStartsTheCheck();
    void MainWindowWithoutAddressChecksNothing();
};

void TestUpdateCheck::DownloadFaults_data() {
    QTest::addColumn<QList<TStep>>("script");
    QTest::addColumn<bool>("completed");
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("errorCount");

    const TStep e = TStep::Fail500;
    QTest::newRow("served") << QList<TStep>{TStep::Serve} << true << 1 << 0;
    QTest::newRow("five errors in a row: given up")
        << QList<TStep>{e, e, e, e, e, TStep::Serve} << false << 5 << 5;
    QTest::newRow("four errors, then data and completion")
        << QList<TStep>{e, e, e, e, TStep::Serve} << true << 5 << 0;
    QTest::newRow("arriving data sets the count back")
        << QList<TStep>{e, e, e, e, TStep::CloseMidBody, e, e, e, TStep::Serve} << true << 9 << 0;
    QTest::newRow("an error after the data starts a new row")
        << QList<TStep>{e, e, e, TStep::CloseMidBody, e, e, e, e, TStep::Serve} << false << 8 << 5;
    QTest::newRow("stall past the time-out, then served")
        << QList<TStep>{TStep::Stall, TStep::Serve} << true << 2 << 0;
    QTest::newRow("stall in the body, then the rest")
        << QList<TStep>{TStep::StallMidBody, TStep::Serve} << true << 2 << 0;
    QTest::newRow("closed in the body, then the rest")
        << QList<TStep>{TStep::CloseMidBody, TStep::Serve} << true << 2 << 0;
    // Qt's HTTP layer sends a request once more by itself when the connection closes before
    // any answer, so the server sees more than five requests (a negative count: at least).
    QTest::newRow("closed without answers") << QList<TStep>{TStep::CloseAtOnce} << false << -5 << 5;
    QTest::newRow("stalls only") << QList<TStep>{TStep::Stall} << false << 5 << 5;
}

void TestUpdateCheck::DownloadFaults() {
    QFETCH(QList<TStep>, script);
    QFETCH(bool, completed);
    QFETCH(int, requests);
    QFETCH(int, errorCount);

    const QByteArray list = List({"2", "4"}) + QByteArray(3000, ' ');
    TTestHttpServer server(list, script);
    TUpdateFixture update(server.Url());
    QCOMPARE(update.Form->DownloadFile(server.Url(), update.ListPath()), completed);
    QCOMPARE(update.Form->Completed, completed);
    if (requests < 0) {
        QVERIFY(server.Requests.size() >= -requests);
    } else {
        QCOMPARE(server.Requests.size(), requests);
    }
    QCOMPARE(update.Form->ErrorCount, errorCount);
    if (completed) {
        QCOMPARE(update.Folder.ReadFile("patch.xml"), list);
    }
    // Every restart resumes from what the local file holds.
    qint64 held = 0;
    for (qsizetype i = 0; requests > 0 && i < script.size() && i < server.Requests.size(); ++i) {
        const QByteArray range = server.Requests[i].Headers.value("range");
        QCOMPARE(range, held > 0 ? "bytes=" + QByteArray::number(held) + '-' : QByteArray());
        if (script[i] == TStep::CloseMidBody || script[i] == TStep::StallMidBody) {
            held += (list.size() - held) / 2;
        }
    }
}

void TestUpdateCheck::ErrorCountIsNotResetByANewDownload() {
    const TStep e = TStep::Fail500;
    TTestHttpServer server(List({"4"}), {e, e, e, e, e, e, TStep::Serve});
    TUpdateFixture update(server.Url());
    QVERIFY(!update.Form->DownloadFile(server.Url(), update.ListPath()));
    QCOMPARE(update.Form->ErrorCount, 5);
    // The next download is given up at its first error: only arriving data sets the count back.
    QVERIFY(!update.Form->DownloadFile(server.Url(), update.ListPath()));
    QCOMPARE(server.Requests.size(), 6);
    QVERIFY(update.Form->DownloadFile(server.Url(), update.ListPath()));
    QCOMPARE(update.Form->ErrorCount, 0);
}

void TestUpdateCheck::ErrorPauseLetsTheProgramGoOn() {
    TTestHttpServer server(List({"4"}), {TStep::Fail500, TStep::Serve});
    TUpdateFixture update(server.Url(), {300, 600});
    int ticks = 0;
    QTimer other;
    other.setInterval(20);
    connect(&other, &QTimer::timeout, this, [&ticks] { ++ticks; });
    other.start();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(update.Form->DownloadFile(server.Url(), update.ListPath()));
    QVERIFY(clock.elapsed() >= 570); // a coarse timer may fire 5 % early
    // A blocked pause would let the other timer fire once at most.
    QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
}

void TestUpdateCheck::UnwritableFolderGivesUpAtOnce() {
    TTestHttpServer server(List({"4"}));
    TUpdateFixture update(server.Url());
    // A file where the folder should be: neither the folder nor the file can be made.
    update.Folder.WriteFile("blocked", "x");
    QVERIFY(!update.Form->DownloadFile(server.Url(), update.Folder.FilePath("blocked/patch.xml")));
    QCOMPARE(server.Requests.size(), 0);
}

void TestUpdateCheck::DefaultStallTimeIsTenSeconds() {
    // The stall time itself is the one setting no test waits for; it is the default.
    QCOMPARE(TUpdateForm::TTimings{}.StallTimeout, 10000);
    QCOMPARE(TUpdateForm::TTimings{}.ErrorPause, 1000);
    QCOMPARE(THttpFileDownload::DefaultStallTimeout, 10000);
}

void TestUpdateCheck::CheckUpdate_data() {
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("entries 2 and 4: offered") << List({"2", "4"}) << "offered";
    QTest::newRow("entries 5 and 6: not") << List({"5", "6"}) << "not";
    QTest::newRow("entry 3: not") << List({"3"}) << "not";
    QTest::newRow("match before an entry without version")
        << List({"4", QByteArray()}) << "offered";
    QTest::newRow("first entry without version") << List({QByteArray(), "4"}) << "error";
    QTest::newRow("not a list") << QByteArray("<html>Service Unavailable") << "error";
}

void TestUpdateCheck::CheckUpdate() {
    QFETCH(QByteArray, list);
    QFETCH(QString, outcome);

    TTestHttpServer server(list);
    TUpdateFixture update(server.Url());
    if (outcome == u"error") {
        QVERIFY_THROWS_EXCEPTION(EUpdateListError, update.Form->CheckUpdate());
    } else {
        QCOMPARE(update.Form->CheckUpdate(), outcome == u"offered");
    }
    QCOMPARE(server.Requests.size(), 1);
    // After every completed download the local copy is gone.
    QVERIFY(!QFile::exists(update.ListPath()));
}

void TestUpdateCheck::GivenUpCheckLeavesThePartialCopy() {
    const TStep e = TStep::Fail500;
    const QByteArray list = List({"4"}) + QByteArray(2000, ' ');
    TTestHttpServer server(list, {TStep::CloseMidBody, e, e, e, e});
    TUpdateFixture update(server.Url());
    TBoxHook hook;
    QVERIFY(!update.Form->CheckUpdate());
    QCOMPARE(update.Folder.ReadFile("patch.xml"), list.left(list.size() / 2));
    QVERIFY(TMessageBoxHook::Shown().isEmpty());
}

void TestUpdateCheck::PromptAnswer_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("update");
    QTest::newRow("确定") << "确定" << true;
    QTest::newRow("取消") << "取消" << false;
}

void TestUpdateCheck::PromptAnswer() {
    QFETCH(QString, button);
    QFETCH(bool, update);

    TUpdateFixture fixture(QString{});
    TSeenBox seen;
    AnswerPromptLater(button, seen);
    QCOMPARE(fixture.Form->AskToUpdate(), update);
    QCOMPARE(seen.Title, QStringLiteral("升级提示"));
    QCOMPARE(seen.Text, QStringLiteral("网上已有新版本,是否进行升级?"));
    QCOMPARE(seen.Icon, QMessageBox::Information);
    QCOMPARE(seen.Buttons, (QStringList{QStringLiteral("确定"), QStringLiteral("取消")}));
    QVERIFY(seen.HasThemedParent);
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY2((seen.Centre - screenCentre).manhattanLength() <= 4,
             qPrintable(QStringLiteral("box centre %1,%2; screen %3,%4")
                            .arg(seen.Centre.x())
                            .arg(seen.Centre.y())
                            .arg(screenCentre.x())
                            .arg(screenCentre.y())));
}

void TestUpdateCheck::OfferUpdate_data() {
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QByteArray>("updaterArguments");
    QTest::newRow("确定: the updater with open") << true << QByteArray("1|open|");
    QTest::newRow("取消: nothing starts") << false << QByteArray();
}

void TestUpdateCheck::OfferUpdate() {
    QFETCH(bool, answer);
    QFETCH(QByteArray, updaterArguments);

    TUpdateFixture update(QString{});
    update.WriteUpdater();
    TBoxHook hook;
    TMessageBoxHook::QueueAnswer(answer);
    update.Form->OfferUpdate();
    // The updater has ended when OfferUpdate returns: it was waited for.
    QCOMPARE(update.UpdaterArguments(), updaterArguments);
    QCOMPARE(TMessageBoxHook::Shown().size(), 1);
    QCOMPARE(TMessageBoxHook::Shown().first().Kind, TMessageBoxHook::TKind::Question);
}

void TestUpdateCheck::MissingUpdaterShowsNothing() {
    TUpdateFixture update(QString{});
    // Present but not a program: no start succeeds either way.
    update.Folder.WriteFile("AutoPatch", "not a program");
    for (int round = 0; round < 2; ++round) {
        TBoxHook hook;
        TMessageBoxHook::QueueAnswer(true);
        update.Form->OfferUpdate();
        QCOMPARE(TMessageBoxHook::Shown().size(), 1); // the prompt, nothing after it
        QFile::remove(update.Folder.FilePath("AutoPatch"));
    }
}

void TestUpdateCheck::Thread_data() {
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QList<TStep>>("script");
    QTest::addColumn<bool>("prompted");

    QTest::newRow("next release listed") << List({"2", "4"}) << QList<TStep>{TStep::Serve} << true;
    QTest::newRow("next release not listed") << List({"5"}) << QList<TStep>{TStep::Serve} << false;
    QTest::newRow("entry without version first")
        << List({QByteArray(), "4"}) << QList<TStep>{TStep::Serve} << false;
    QTest::newRow("server never answers") << List({"4"}) << QList<TStep>{TStep::Stall} << false;
}

void TestUpdateCheck::Thread() {
    QFETCH(QByteArray, list);
    QFETCH(QList<TStep>, script);
    QFETCH(bool, prompted);

    TTestHttpServer server(list, script);
    TUpdateFixture update(server.Url(), {100, 10});
    update.WriteUpdater();
    TBoxHook hook;
    TMessageBoxHook::QueueAnswer(true);
    QVERIFY(RunThread(update.Form.get()));
    // The prompt is the only box the update code ever shows, and only for the next release.
    QCOMPARE(TMessageBoxHook::Shown().size(), prompted ? 1 : 0);
    QCOMPARE(update.UpdaterArguments(), prompted ? QByteArray("1|open|") : QByteArray());
    QVERIFY(!QFile::exists(update.ListPath()) || script.first() == TStep::Stall);
}

void TestUpdateCheck::ThreadSkipsAWindowThatIsGone() {
    TTestHttpServer server(List({"4"}));
    auto update = std::make_unique<TUpdateFixture>(server.Url());
    QPointer<TUpdateThread> thread = new TUpdateThread(update->Form.get());
    update->Form.reset();
    thread->start(QThread::IdlePriority);
    QVERIFY(QTest::qWaitFor([&thread] { return thread.isNull(); }, 5000));
    QCOMPARE(server.Connections, 0);
}

void TestUpdateCheck::MainWindowStartsTheCheck() {
    TTestHttpServer server(List({"5"}));
    TempAppFolder folder;
    folder.CopyThemes();
    UpdateListAddress::Set(server.Url());
    {
        TGlobalManager settings(folder.Path());
        TMainForm form(settings);
        // Made with the window, started once its loop runs.
        QCOMPARE(UpdateWindows(), 1);
        QCOMPARE(server.Connections, 0);
        form.show();
        QVERIFY(QTest::qWaitFor([&server] { return server.Requests.size() == 1; }, 10000));
        QVERIFY(QTest::qWaitFor([&folder] { return !folder.Exists("patch.xml"); }, 10000));
        QCOMPARE(server.Requests.first().Headers.value("user-agent"), THttpFileDownload::UserAgent);
    }
    UpdateListAddress::Set(QString());
    QTest::qWait(50); // the finished thread frees itself
}

void TestUpdateCheck::MainWindowWithoutAddressChecksNothing() {
    TempAppFolder folder;
    UpdateListAddress::Set(
        QStringLiteral("http://www.mxreader.invalid/jsp/download/product/reader/patch.xml"));
    TGlobalManager settings(folder.Path());
    TMainForm form(settings);
    form.show();
    QTest::qWait(50);
    QCOMPARE(UpdateWindows(), 0);
    QVERIFY(!folder.Exists("patch.xml"));
    UpdateListAddress::Set(QString());
}

QTEST_MAIN(TestUpdateCheck)
#include "test_update_check.moc"

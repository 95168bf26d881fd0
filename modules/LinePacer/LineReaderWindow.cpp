#include "LineReaderWindow.h"

#include "modules/PacerKit/PaceScale.h"
#include "modules/PacerKit/ReadingFont.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Clock(qint64 ms) {
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString LayoutName(int layout) {
    switch (LineStepUnitOf(layout)) {
    case TLineStepUnit::HalfLine:
        return QStringLiteral("半行");
    case TLineStepUnit::TwoLines:
        return QStringLiteral("两行");
    default:
        return QStringLiteral("一行");
    }
}

QPushButton *MakeButton(QWidget *parent, const QString &text, const QString &hint) {
    auto *button = new QPushButton(text, parent);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus); // the keys belong to the reading
    button->setAutoDefault(false);
    return button;
}

} // namespace

TLineReaderWindow::TLineReaderWindow(const TArticleDTOList &articles, TBlockSettings &settings,
                                     QWidget *parent)
    : QDialog(parent), FArticles(articles), FSettings(settings) {
    setWindowTitle(QStringLiteral("线式阅读"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setObjectName(QStringLiteral("LineReaderWindow"));
    FStepTimer.setSingleShot(true);
    FStepTimer.setTimerType(Qt::PreciseTimer);
    connect(&FStepTimer, &QTimer::timeout, this, &TLineReaderWindow::OnTick);
    FInfoTimer.setInterval(250);
    connect(&FInfoTimer, &QTimer::timeout, this, &TLineReaderWindow::UpdateInfo);
    BuildWidgets();
    ApplyLook();
    LoadArticle(0);
}

void TLineReaderWindow::BuildWidgets() {
    FTitle = new QLabel(this);
    FTitle->setObjectName(QStringLiteral("title"));
    FPlace = new QLabel(this);
    FPage = new TLinePage(this);
    FProgress = new QProgressBar(this);
    FProgress->setRange(0, 1000);
    FProgress->setTextVisible(true);
    FProgress->setMinimumWidth(180);
    FProgress->setMaximumWidth(260);
    FPace = new QLabel(this);
    FElapsed = new QLabel(this);
    FStatus = new QLabel(this);

    auto *slower = MakeButton(this, QStringLiteral("－ 减速"), QStringLiteral("慢一档（↓ 或 －）"));
    auto *faster = MakeButton(this, QStringLiteral("＋ 加速"), QStringLiteral("快一档（↑ 或 ＋）"));
    FPauseButton = MakeButton(this, QStringLiteral("暂停"), QStringLiteral("暂停或继续（空格）"));
    FLayoutButton = MakeButton(this, QString(), QStringLiteral("每步读一行、半行或两行（L）"));
    FModeButton = MakeButton(this, QString(), QStringLiteral("定速前进或按键前进（M）"));
    auto *fullScreen =
        MakeButton(this, QStringLiteral("全屏"), QStringLiteral("全屏或还原（F11）"));
    auto *close = MakeButton(this, QStringLiteral("结束"), QStringLiteral("结束阅读（Esc）"));
    connect(slower, &QPushButton::clicked, this, [this] { ChangePace(-1); });
    connect(faster, &QPushButton::clicked, this, [this] { ChangePace(1); });
    connect(FPauseButton, &QPushButton::clicked, this, &TLineReaderWindow::TogglePause);
    connect(FLayoutButton, &QPushButton::clicked, this, &TLineReaderWindow::NextLayout);
    connect(FModeButton, &QPushButton::clicked, this, &TLineReaderWindow::ToggleMode);
    connect(fullScreen, &QPushButton::clicked, this, &TLineReaderWindow::ToggleFullScreen);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(FPage, &TLinePage::Resized, this, &TLineReaderWindow::Relayout);

    auto *top = new QHBoxLayout;
    top->addWidget(FTitle, 1);
    top->addWidget(FPlace);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(FProgress);
    bottom->addSpacing(12);
    bottom->addWidget(FPace);
    bottom->addWidget(slower);
    bottom->addWidget(faster);
    bottom->addSpacing(12);
    bottom->addWidget(FElapsed);
    bottom->addStretch(1);
    bottom->addWidget(FPauseButton);
    bottom->addWidget(FLayoutButton);
    bottom->addWidget(FModeButton);
    bottom->addWidget(fullScreen);
    bottom->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(FPage, 1);
    layout->addLayout(bottom);
    layout->addWidget(FStatus);

    QFont band = font();
    band.setPixelSize(16);
    FTitle->setFont(band);
    FPlace->setFont(band);
    FPace->setFont(band);
    FElapsed->setFont(band);
}

void TLineReaderWindow::ApplyLook() {
    TLinePage::TLook look;
    look.Font = ChooseReadingFont(FSettings.FontName(), FontPixelSize(FSettings.FontSize()));
    look.Background = FSettings.BgColor();
    look.Text = FSettings.BgFontColor();
    look.Highlight = FSettings.LightFontColor();
    look.HighLight = FSettings.HighLight();
    FPage->SetLook(look);
    // The bands take the page's background, so the window reads as one surface.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, look.Background.darker(104));
    setPalette(colours);
    FLayoutButton->setText(QStringLiteral("每步：") + LayoutName(FSettings.Layout()));
    FModeButton->setText(Paced() ? QStringLiteral("定速") : QStringLiteral("按键"));
}

int TLineReaderWindow::Cpm() const {
    return PaceCpm(FSettings.Rate());
}

int TLineReaderWindow::CharsBefore() const {
    return FSchedule.Pace.IsEmpty() ? 0 : FSchedule.Pace.Steps.at(FStep).CharsBefore;
}

void TLineReaderWindow::LoadArticle(int index) {
    FArticle = std::clamp<int>(index, 0, std::max<int>(0, FArticles.size() - 1));
    FStep = 0;
    FFinished = false;
    FSchedule = {};
    FFirstLine = 0;
    Relayout();
    FClock.SetPositionMs(0);
    if (!FSchedule.Pace.IsEmpty()) {
        ShowStep(0, false);
    }
    UpdateInfo();
}

void TLineReaderWindow::Relayout() {
    if (FArticles.isEmpty()) {
        return;
    }
    const bool hadSteps = !FSchedule.Pace.IsEmpty();
    const int offset = hadSteps ? FSchedule.Pace.Steps.at(FStep).CharsBefore : 0;
    const TLinePage *page = FPage;
    FLines = LayOutLines(FArticles.at(FArticle).Lines, page->LineWidth(),
                         [page](QStringView text) { return page->Measure(text); });
    FSchedule = BuildLineSchedule(FLines, LineStepUnitOf(FSettings.Layout()), Cpm());
    if (FSchedule.Pace.IsEmpty()) {
        FStep = 0;
        FPage->Show(&FLines, 0, nullptr);
        return;
    }
    int step = 0;
    while (step + 1 < FSchedule.Pace.Steps.size() &&
           FSchedule.Pace.Steps.at(step + 1).CharsBefore <= offset) {
        ++step;
    }
    FClock.SetPositionMs(FSchedule.Pace.Steps.at(step).StartMs);
    FFirstLine = -1; // a new layout: the page is found afresh, no page turn
    ShowStep(step, false);
    ScheduleTick();
}

void TLineReaderWindow::ShowStep(int step, bool byPace) {
    if (FSchedule.Pace.IsEmpty()) {
        return;
    }
    FStep = std::clamp<int>(step, 0, FSchedule.Pace.Steps.size() - 1);
    const TLinePlace &place = FSchedule.Places.at(FStep);
    const int perPage = FPage->LinesPerPage();
    const bool onPage = FFirstLine >= 0 && place.Line >= FFirstLine &&
                        place.Line + place.LineCount <= FFirstLine + perPage;
    if (!onPage) {
        const bool turn = FFirstLine >= 0;
        FFirstLine = (place.Line / perPage) * perPage;
        if (place.Line + place.LineCount > FFirstLine + perPage) {
            FFirstLine = place.Line; // a two-line step at the foot of a page
        }
        if (turn) {
            ++FPageTurns;
            if (FSettings.BeepOnRefresh()) {
                QApplication::beep();
            }
        }
    }
    if (byPace) {
        FLastLateMs = FClock.PositionMs() - FSchedule.Pace.Steps.at(FStep).StartMs;
        FMaxLateMs = std::max(FMaxLateMs, FLastLateMs);
        FLateSumMs += FLastLateMs;
        ++FPacedSteps;
    }
    FPage->Show(&FLines, FFirstLine, &place);
    UpdateInfo();
}

void TLineReaderWindow::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!FStarted) {
        FStarted = true;
        FInfoTimer.start();
        FReadingTime.Resume();
        if (Paced()) {
            // No count-down: the first step is on screen and its time runs from now.
            FClock.Resume();
            ScheduleTick();
        }
    }
}

void TLineReaderWindow::OnTick() {
    if (FClock.IsPaused() || !Paced()) {
        return;
    }
    const qint64 position = FClock.PositionMs();
    if (position >= FSchedule.Pace.TotalMs()) {
        if (FArticle + 1 < FArticles.size()) {
            // The time past the article's end belongs to the next one: no drift at the turn.
            const qint64 over = position - FSchedule.Pace.TotalMs();
            LoadArticle(FArticle + 1);
            FClock.SetPositionMs(over);
            OnTick();
        } else {
            FClock.Pause();
            FReadingTime.Pause();
            FFinished = true;
            UpdateInfo();
        }
        return;
    }
    const int step = FSchedule.Pace.StepAt(position);
    if (step != FStep) {
        ShowStep(step, true);
    }
    ScheduleTick();
}

void TLineReaderWindow::ScheduleTick() {
    FStepTimer.stop();
    if (FClock.IsPaused() || !Paced() || FFinished) {
        return;
    }
    const QList<TPaceStep> &steps = FSchedule.Pace.Steps;
    const qint64 next =
        FStep + 1 < steps.size() ? steps.at(FStep + 1).StartMs : FSchedule.Pace.TotalMs();
    FStepTimer.start(static_cast<int>(std::max<qint64>(0, next - FClock.PositionMs())));
}

void TLineReaderWindow::TogglePause() {
    if (!Paced()) {
        StepBy(1); // by key, the space bar moves on
        return;
    }
    if (FFinished) {
        return;
    }
    if (FClock.IsPaused()) {
        FClock.Resume();
        FReadingTime.Resume();
    } else {
        FClock.Pause();
        FReadingTime.Pause();
    }
    ScheduleTick();
    UpdateInfo();
}

void TLineReaderWindow::ChangePace(int steps) {
    FSettings.SetRate(FSettings.Rate() + steps);
    if (FSchedule.Pace.IsEmpty()) {
        UpdateInfo();
        return;
    }
    // The step being read stays, at the same share of its time.
    const TPaceStep &before = FSchedule.Pace.Steps.at(FStep);
    const double share =
        before.DurationMs > 0
            ? std::clamp((FClock.PositionMs() - before.StartMs) / double(before.DurationMs), 0.0,
                         1.0)
            : 0.0;
    FSchedule.Pace.Retime(Cpm());
    const TPaceStep &after = FSchedule.Pace.Steps.at(FStep);
    FClock.SetPositionMs(after.StartMs + static_cast<qint64>(share * after.DurationMs));
    ScheduleTick();
    UpdateInfo();
}

void TLineReaderWindow::StepBy(int steps) {
    if (FSchedule.Pace.IsEmpty()) {
        if (steps > 0 && FArticle + 1 < FArticles.size()) {
            GoToArticle(FArticle + 1);
        }
        return;
    }
    const int last = static_cast<int>(FSchedule.Pace.Steps.size()) - 1;
    if (steps > 0 && FStep == last && FArticle + 1 < FArticles.size()) {
        GoToArticle(FArticle + 1);
        return;
    }
    const int target = std::clamp(FStep + steps, 0, last);
    if (FFinished) {
        FFinished = false; // stepping back into a finished reading goes on reading
        if (Paced()) {
            FClock.Resume();
            FReadingTime.Resume();
        }
    }
    FClock.SetPositionMs(FSchedule.Pace.Steps.at(target).StartMs);
    ShowStep(target, false);
    ScheduleTick();
}

void TLineReaderWindow::GoToStart() {
    StepBy(-FStep);
}

void TLineReaderWindow::GoToArticle(int index) {
    if (index < 0 || index >= FArticles.size()) {
        return;
    }
    const bool running = FFinished || !FClock.IsPaused();
    LoadArticle(index);
    if (running && Paced() && FClock.IsPaused()) {
        FClock.Resume();
        FReadingTime.Resume();
    }
    ScheduleTick();
}

void TLineReaderWindow::ChangeFontSize(int steps) {
    FSettings.SetFontSize(FSettings.FontSize() + steps);
    ApplyLook();
    Relayout();
}

void TLineReaderWindow::NextLayout() {
    FSettings.SetLayout((static_cast<int>(LineStepUnitOf(FSettings.Layout())) + 1) % 3);
    ApplyLook();
    Relayout();
}

void TLineReaderWindow::ToggleMode() {
    FSettings.SetMode(Paced() ? 0 : 1);
    if (Paced()) {
        if (!FSchedule.Pace.IsEmpty()) {
            FClock.SetPositionMs(FSchedule.Pace.Steps.at(FStep).StartMs);
        }
        FClock.Resume();
        FReadingTime.Resume();
    } else {
        FClock.Pause();
    }
    ApplyLook();
    ScheduleTick();
    UpdateInfo();
}

void TLineReaderWindow::ToggleHighLight() {
    FSettings.SetHighLight(!FSettings.HighLight());
    ApplyLook();
}

void TLineReaderWindow::ToggleFullScreen() {
    if (isFullScreen()) {
        showNormal();
    } else {
        showFullScreen();
    }
}

void TLineReaderWindow::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Space:
        TogglePause();
        break;
    case Qt::Key_Up:
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        ChangePace(1);
        break;
    case Qt::Key_Down:
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        ChangePace(-1);
        break;
    case Qt::Key_Left:
        StepBy(-1);
        break;
    case Qt::Key_Right:
        StepBy(1);
        break;
    case Qt::Key_Home:
        GoToStart();
        break;
    case Qt::Key_PageUp:
        GoToArticle(FArticle - 1);
        break;
    case Qt::Key_PageDown:
        GoToArticle(FArticle + 1);
        break;
    case Qt::Key_BracketLeft:
        ChangeFontSize(-1);
        break;
    case Qt::Key_BracketRight:
        ChangeFontSize(1);
        break;
    case Qt::Key_L:
        NextLayout();
        break;
    case Qt::Key_M:
        ToggleMode();
        break;
    case Qt::Key_H:
        ToggleHighLight();
        break;
    case Qt::Key_F11:
        ToggleFullScreen();
        break;
    case Qt::Key_Escape:
        accept();
        break;
    default:
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TLineReaderWindow::UpdateInfo() {
    if (FArticles.isEmpty()) {
        return;
    }
    const TArticleDTO &article = FArticles.at(FArticle);
    FTitle->setText(article.Author.isEmpty()
                        ? QStringLiteral("《%1》").arg(article.Title)
                        : QStringLiteral("《%1》　%2").arg(article.Title, article.Author));
    FPlace->setText(QStringLiteral("第%1篇/共%2篇").arg(FArticle + 1).arg(FArticles.size()));
    const int total = FSchedule.Pace.TotalChars();
    int read = 0;
    if (!FSchedule.Pace.IsEmpty()) {
        const TPaceStep &step = FSchedule.Pace.Steps.at(FStep);
        read = FFinished ? total : step.CharsBefore;
    }
    FProgress->setValue(total > 0 ? static_cast<int>(1000LL * read / total) : 0);
    FProgress->setFormat(QStringLiteral("本篇 %1/%2 字").arg(read).arg(total));
    FPace->setText(QStringLiteral("%1 字/分钟").arg(Cpm()));
    FElapsed->setText(QStringLiteral("用时 ") + Clock(FReadingTime.PositionMs()));
    FPauseButton->setText(FClock.IsPaused() && Paced() ? QStringLiteral("继续")
                                                       : QStringLiteral("暂停"));
    QString status;
    if (FFinished) {
        status = QStringLiteral("全部读完。Esc 结束，PgUp 回到上一篇，Home 从头再读。");
    } else if (!Paced()) {
        status = QStringLiteral("按键前进：→ 或空格 下一步，← 上一步，M 改为定速。");
    } else if (FClock.IsPaused()) {
        status = QStringLiteral("已暂停：空格继续，← → 逐步移动。");
    } else {
        status = QStringLiteral("空格 暂停　↑↓ 调速　←→ 上/下一步　Home 本篇开头　PgUp/PgDn "
                                "上/下一篇　[ ] 字号　L 每步　H 高亮　F11 全屏　Esc 结束");
    }
    FStatus->setText(status);
}

QString TLineReaderWindow::InfoText() const {
    return QStringList{FTitle->text(), FPlace->text(),   FProgress->text(),
                       FPace->text(),  FElapsed->text(), FStatus->text()}
        .join(QLatin1Char('|'));
}

#include "StepReadingForm.h"

#include "StepReading.h"
#include "StepView.h"

#include "modules/PacerKit/PaceScale.h"
#include "modules/PacerKit/ReadingFont.h"

#include <QApplication>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace {

// Follow reading shows its few words at twice the size of the shared font scale.
constexpr int FollowFontMagnification = 2;
// Beeps closer than this run into one another; faster steps beep every so often only.
constexpr int MinBeepGapMs = 120;

QString Clock(qint64 ms) {
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

TStepReadingForm::TStepReadingForm(TStepReading &reading, QScreen *screen, QWidget *parent)
    : QDialog(parent), FReading(reading) {
    setWindowTitle(QStringLiteral("止移跟读 - 明心轩阅读器"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinMaxButtonsHint);
    setObjectName(QStringLiteral("StepReadingForm"));

    auto *layout = new QVBoxLayout(this);
    auto *header = new QHBoxLayout;
    FTitle = new QLabel(this);
    FTitle->setObjectName(QStringLiteral("title"));
    FPlace = new QLabel(this);
    FPlace->setObjectName(QStringLiteral("place"));
    header->addWidget(FTitle, 1);
    header->addWidget(FPlace);
    layout->addLayout(header);

    FView = new TStepView(this);
    FView->setObjectName(QStringLiteral("view"));
    layout->addWidget(FView, 1);

    auto *status = new QHBoxLayout;
    FProgress = new QProgressBar(this);
    FProgress->setTextVisible(true);
    FProgress->setFormat(QStringLiteral("进度 %p%"));
    FRead = new QLabel(this);
    FPace = new QLabel(this);
    FPace->setObjectName(QStringLiteral("pace"));
    FElapsed = new QLabel(this);
    FElapsed->setObjectName(QStringLiteral("elapsed"));
    status->addWidget(FProgress, 1);
    status->addWidget(FRead);
    status->addSpacing(16);
    status->addWidget(FPace);
    status->addSpacing(16);
    status->addWidget(FElapsed);
    layout->addLayout(status);

    auto *buttons = new QHBoxLayout;
    AddButton(buttons, QStringLiteral("句首"), QStringLiteral("回到本句开头 (Backspace)"),
              &TStepReadingForm::SentenceStart);
    AddButton(buttons, QStringLiteral("◀ 上一步"), QStringLiteral("上一步 (←)"),
              &TStepReadingForm::PreviousStep);
    FPauseButton = AddButton(buttons, QStringLiteral("暂停"), QStringLiteral("暂停/继续 (空格)"),
                             &TStepReadingForm::TogglePause);
    AddButton(buttons, QStringLiteral("下一步 ▶"), QStringLiteral("下一步 (→)"),
              &TStepReadingForm::NextStep);
    buttons->addSpacing(12);
    AddButton(buttons, QStringLiteral("慢 −"), QStringLiteral("放慢速度 (↓ 或 −)"),
              &TStepReadingForm::Slower);
    AddButton(buttons, QStringLiteral("快 +"), QStringLiteral("加快速度 (↑ 或 +)"),
              &TStepReadingForm::Faster);
    buttons->addSpacing(12);
    AddButton(buttons, QStringLiteral("少 −"), QStringLiteral("每步少一个词 ([)"),
              &TStepReadingForm::FewerWords);
    FWords = new QLabel(this);
    buttons->addWidget(FWords);
    AddButton(buttons, QStringLiteral("多 +"), QStringLiteral("每步多一个词 (])"),
              &TStepReadingForm::MoreWords);
    AddButton(buttons, QStringLiteral("行 −"), QStringLiteral("每步少一行"),
              &TStepReadingForm::FewerLines);
    AddButton(buttons, QStringLiteral("行 +"), QStringLiteral("每步多一行"),
              &TStepReadingForm::MoreLines);
    AddButton(buttons, QStringLiteral("字 −"), QStringLiteral("字号小一级"),
              &TStepReadingForm::SmallerFont);
    AddButton(buttons, QStringLiteral("字 +"), QStringLiteral("字号大一级"),
              &TStepReadingForm::LargerFont);
    FModeButton = AddButton(buttons, QString(), QStringLiteral("按词或按字分步 (M)"),
                            &TStepReadingForm::ToggleMode);
    FBeepButton = AddButton(buttons, QStringLiteral("提示音"), QStringLiteral("每步一声提示音"),
                            &TStepReadingForm::ToggleBeep);
    FBeepButton->setCheckable(true);
    buttons->addStretch(1);
    AddButton(buttons, QStringLiteral("全屏"), QStringLiteral("全屏/还原 (F11)"),
              &TStepReadingForm::ToggleFullScreen);
    AddButton(buttons, QStringLiteral("结束"), QStringLiteral("结束阅读 (Esc)"), &QDialog::reject);
    layout->addLayout(buttons);

    FStepTimer.setSingleShot(true);
    FStepTimer.setTimerType(Qt::PreciseTimer);
    connect(&FStepTimer, &QTimer::timeout, this, &TStepReadingForm::Refresh);
    FStatusTimer.setInterval(250);
    connect(&FStatusTimer, &QTimer::timeout, this, &TStepReadingForm::Refresh);

    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        resize(area.width() * 4 / 5, area.height() * 4 / 5);
        move(area.center() - rect().center());
    } else {
        resize(1000, 640);
    }
    FSinceBeep.start();
    ApplyLook();
    FArticleStartReadingMs = FReading.ReadingMs();
    FReading.Play();
    Refresh();
}

QPushButton *TStepReadingForm::AddButton(QHBoxLayout *row, const QString &text, const QString &tip,
                                         void (TStepReadingForm::*slot)()) {
    auto *button = new QPushButton(text, this);
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::NoFocus); // keys always reach the reading
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, slot);
    row->addWidget(button);
    return button;
}

void TStepReadingForm::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    FStatusTimer.start();
    setFocus();
}

void TStepReadingForm::ApplyLook() {
    const TFlashSettings &settings = FReading.Settings();
    const QFont font = ChooseReadingFont(settings.FontName(), FontPixelSize(settings.FontSize()) *
                                                                  FollowFontMagnification);
    FView->SetLook(font, settings.FontColor(), settings.BgColor(), settings.LineCount());
    QPalette look = palette();
    look.setColor(QPalette::Window, settings.BgColor());
    look.setColor(QPalette::WindowText, settings.FontColor());
    setPalette(look);
    QFont titleFont = ChooseReadingFont(settings.FontName(), 22);
    titleFont.setBold(true);
    FTitle->setFont(titleFont);
    const QFont statusFont = ChooseReadingFont(QStringLiteral("Noto Sans CJK SC"), 16);
    for (QLabel *label : {FPlace, FPace, FElapsed, FRead, FWords}) {
        label->setFont(statusFont);
    }
    FModeButton->setText(settings.Mode() == TFlashSettings::ByWords ? QStringLiteral("按词")
                                                                    : QStringLiteral("按字"));
    FBeepButton->setChecked(settings.BeepOnRefresh());
    FShownStep = -2; // repaint the steps in the new look
}

void TStepReadingForm::Refresh() {
    const TPaceSchedule &schedule = FReading.Schedule();
    const int article = FReading.ArticleIndex();
    const bool finished = FReading.IsFinished();
    const int index = FReading.StepIndex();
    if (finished && !FReading.IsPaused()) {
        FReading.Pause(); // the reading time stops with the article
    }

    if (article != FShownArticle) {
        const TArticleDTO &dto = FReading.Article();
        FTitle->setText(dto.Author.isEmpty() ? dto.Title
                                             : dto.Title + QStringLiteral("　　") + dto.Author);
        FPlace->setText(
            QStringLiteral("第%1篇/共%2篇").arg(article + 1).arg(FReading.ArticleCount()));
    }
    if (index != FShownStep || article != FShownArticle || finished != FShownFinished) {
        const auto text = [&](int i) {
            return i >= 0 && i < schedule.Steps.size() ? schedule.Steps[i].Text : QString();
        };
        if (finished) {
            FView->SetSteps(text(index), QString(), QString());
        } else {
            FView->SetSteps(text(index - 1), text(index), text(index + 1));
            const bool movedOn = article == FShownArticle && index == FShownStep + 1;
            if (movedOn && !FReading.IsPaused() && FReading.Settings().BeepOnRefresh() &&
                FSinceBeep.elapsed() >= MinBeepGapMs) {
                QApplication::beep();
                FSinceBeep.restart();
            }
        }
        FShownStep = index;
        FShownArticle = article;
        FShownFinished = finished;
    }

    // The notice under the current step.
    QString notice;
    if (schedule.IsEmpty()) {
        notice = QStringLiteral("本篇没有可读的文字　PgDn 下一篇　Esc 结束");
    } else if (finished) {
        const qint64 spent = FReading.ReadingMs() - FArticleStartReadingMs;
        const QString pace =
            spent > 0 ? QStringLiteral("　平均 %1 字/分钟")
                            .arg(std::llround(schedule.TotalChars() * 60000.0 / double(spent)))
                      : QString();
        const bool last = article + 1 >= FReading.ArticleCount();
        notice = QStringLiteral("%1　%2 字　用时 %3%4\n%5")
                     .arg(last ? QStringLiteral("全部读完") : QStringLiteral("本篇读完"))
                     .arg(schedule.TotalChars())
                     .arg(Clock(spent), pace,
                          last ? QStringLiteral("Home 重读本篇　PgUp 上一篇　Esc 结束")
                               : QStringLiteral("空格或 PgDn 读下一篇　Home 重读本篇　Esc 结束"));
    } else if (FReading.IsPaused()) {
        notice = QStringLiteral("已暂停　空格继续");
    }
    FView->SetNotice(notice);

    const int total = std::max(1, schedule.TotalChars());
    FProgress->setRange(0, total);
    FProgress->setValue(FReading.CharsDone());
    FRead->setText(QStringLiteral("%1/%2 字").arg(FReading.CharsDone()).arg(schedule.TotalChars()));
    FPace->setText(QStringLiteral("速度 %1 字/分钟").arg(PaceCpm(FReading.Settings().Rate())));
    FElapsed->setText(QStringLiteral("用时 %1").arg(Clock(FReading.ReadingMs())));
    FWords->setText(QStringLiteral("每步 %1 %2 · %3 行")
                        .arg(FReading.Settings().ExtractWordCount())
                        .arg(FReading.Settings().Mode() == TFlashSettings::ByWords
                                 ? QStringLiteral("词")
                                 : QStringLiteral("字"))
                        .arg(FReading.Settings().LineCount()));
    FPauseButton->setText(FReading.IsPaused() && !finished ? QStringLiteral("继续")
                                                           : QStringLiteral("暂停"));
    // Readable state for whoever drives the window (tests, measurements).
    setProperty("positionMs", FReading.PositionMs());
    setProperty("totalMs", schedule.TotalMs());
    setProperty("finished", finished);

    // Aim the timer at the next step; the clock decides what shows when it fires.
    const qint64 wait = FReading.IsPaused() ? -1 : FReading.MsToNextStep();
    if (wait >= 0) {
        FStepTimer.start(static_cast<int>(std::min<qint64>(wait + 1, 1000)));
    } else {
        FStepTimer.stop();
    }
}

void TStepReadingForm::Act(void (TStepReading::*action)()) {
    (FReading.*action)();
    Refresh();
}

void TStepReadingForm::TogglePause() {
    if (FReading.IsFinished()) {
        if (FReading.ArticleIndex() + 1 < FReading.ArticleCount()) {
            NextArticle();
        }
        return;
    }
    Act(&TStepReading::TogglePause);
}

void TStepReadingForm::NextStep() {
    Act(&TStepReading::NextStep);
}

void TStepReadingForm::PreviousStep() {
    Act(&TStepReading::PreviousStep);
}

void TStepReadingForm::SentenceStart() {
    Act(&TStepReading::SentenceStart);
}

void TStepReadingForm::ArticleStart() {
    const bool finished = FReading.IsFinished();
    FReading.ArticleStart();
    if (finished) {
        FArticleStartReadingMs = FReading.ReadingMs();
        FReading.Play();
    }
    Refresh();
}

void TStepReadingForm::OpenArticle(int index) {
    if (index < 0 || index >= FReading.ArticleCount()) {
        return;
    }
    FReading.OpenArticle(index);
    FArticleStartReadingMs = FReading.ReadingMs();
    FReading.Play(); // a new article starts at once
    Refresh();
}

void TStepReadingForm::PreviousArticle() {
    OpenArticle(FReading.ArticleIndex() - 1);
}

void TStepReadingForm::NextArticle() {
    OpenArticle(FReading.ArticleIndex() + 1);
}

void TStepReadingForm::Faster() {
    FReading.ChangeRate(+1);
    Refresh();
}

void TStepReadingForm::Slower() {
    FReading.ChangeRate(-1);
    Refresh();
}

void TStepReadingForm::MoreWords() {
    FReading.ChangeWordsPerStep(+1);
    Refresh();
}

void TStepReadingForm::FewerWords() {
    FReading.ChangeWordsPerStep(-1);
    Refresh();
}

void TStepReadingForm::MoreLines() {
    FReading.ChangeLineCount(+1);
    ApplyLook();
    Refresh();
}

void TStepReadingForm::FewerLines() {
    FReading.ChangeLineCount(-1);
    ApplyLook();
    Refresh();
}

void TStepReadingForm::LargerFont() {
    FReading.ChangeFontSize(+1);
    ApplyLook();
    Refresh();
}

void TStepReadingForm::SmallerFont() {
    FReading.ChangeFontSize(-1);
    ApplyLook();
    Refresh();
}

void TStepReadingForm::ToggleMode() {
    FReading.ToggleMode();
    ApplyLook();
    Refresh();
}

void TStepReadingForm::ToggleBeep() {
    FReading.ToggleBeep();
    ApplyLook();
}

void TStepReadingForm::ToggleFullScreen() {
    if (isFullScreen()) {
        showNormal();
    } else {
        showFullScreen();
    }
}

void TStepReadingForm::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Space:
        TogglePause();
        break;
    case Qt::Key_Right:
        NextStep();
        break;
    case Qt::Key_Left:
        PreviousStep();
        break;
    case Qt::Key_Backspace:
        SentenceStart();
        break;
    case Qt::Key_Home:
        ArticleStart();
        break;
    case Qt::Key_PageUp:
        PreviousArticle();
        break;
    case Qt::Key_PageDown:
        NextArticle();
        break;
    case Qt::Key_Up:
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        Faster();
        break;
    case Qt::Key_Down:
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        Slower();
        break;
    case Qt::Key_BracketRight:
        MoreWords();
        break;
    case Qt::Key_BracketLeft:
        FewerWords();
        break;
    case Qt::Key_M:
        ToggleMode();
        break;
    case Qt::Key_F11:
        ToggleFullScreen();
        break;
    default:
        QDialog::keyPressEvent(event); // Esc ends the reading
    }
}

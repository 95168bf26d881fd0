#pragma once

#include "LinePage.h"
#include "modules/PacerKit/PaceClock.h"
#include "modules/PacerKit/PacerSettings.h"
#include "reading/ReaderService.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

// The window of one line reading over a list of articles.
//
// What the settings mean here (element blockConfig):
//   layout  what one step covers: 0 a line (the default), 1 half a line, 2 two lines
//   mode    0 by key: the highlight moves only with → and ←; 1 paced (the default): the
//           highlight moves at the set pace and the pages turn by themselves
//   rate    a step of the pace scale (PaceScale.h), shown in 字/分钟
//   highLight  1: the step being read in lightFontColor, the other lines in bgFontColor;
//              0: every line in lightFontColor, the step marked by a bar beneath it
//   fontSize, fontName, bgColor, bgFontColor, lightFontColor: the page's looks
//   beepOnRefresh  1: a short beep each time the page turns
//
// Keys: Space pause/resume; ↑/↓ or +/− faster/slower; ←/→ a step back/on; Home the start of
// the article; PgUp/PgDn the previous/next article; [ / ] smaller/larger type; L the next
// layout; M paced or by key; H highlight on/off; F11 full screen; Esc ends the reading.
// Every change is written into the settings at once, so GetConfig hands it back.
class TLineReaderWindow : public QDialog {
    Q_OBJECT

public:
    TLineReaderWindow(const TArticleDTOList &articles, TBlockSettings &settings,
                      QWidget *parent = nullptr);

    // ---- State, for the tests and the pacing measurements (invokable by name, so a driver
    // without this header can read it) ----
    Q_INVOKABLE int ArticleIndex() const { return FArticle; }
    Q_INVOKABLE int StepIndex() const { return FStep; }
    int FirstLineOnPage() const { return FFirstLine; }
    Q_INVOKABLE bool IsPaused() const { return FClock.IsPaused(); }
    bool IsFinished() const { return FFinished; }
    Q_INVOKABLE int Cpm() const;
    const TLineSchedule &Schedule() const { return FSchedule; }
    const QList<TLaidLine> &Lines() const { return FLines; }
    Q_INVOKABLE int PageTurns() const { return FPageTurns; }
    // The position on the pacing clock, in ms into the article.
    Q_INVOKABLE qint64 PositionMs() const { return FClock.PositionMs(); }
    // Characters of the article before the step on screen.
    Q_INVOKABLE int CharsBefore() const;
    // How late the paced steps showed against their scheduled start on the pacing clock, in ms:
    // the last one, the worst and the mean.
    Q_INVOKABLE qint64 LastLateMs() const { return FLastLateMs; }
    Q_INVOKABLE qint64 MaxLateMs() const { return FMaxLateMs; }
    Q_INVOKABLE double MeanLateMs() const {
        return FPacedSteps > 0 ? double(FLateSumMs) / FPacedSteps : 0;
    }
    QString InfoText() const; // the title band and status texts, joined

    // ---- Actions, as the keys and buttons run them ----
    void TogglePause();
    void ChangePace(int steps);
    void StepBy(int steps);
    void GoToStart();
    void GoToArticle(int index);
    void ChangeFontSize(int steps);
    void NextLayout();
    void ToggleMode();
    void ToggleHighLight();
    void ToggleFullScreen();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void BuildWidgets();
    void ApplyLook();
    // Lays the article out again for the page's size and font, keeping the place read.
    void Relayout();
    void LoadArticle(int index);
    // Shows a step: its page, its highlight; counts a page turn when the page changes.
    void ShowStep(int step, bool byPace);
    void OnTick();
    void ScheduleTick();
    void UpdateInfo();
    bool Paced() const { return FSettings.Mode() != 0; }

    const TArticleDTOList FArticles; // a shallow copy: the list is shared, not copied
    TBlockSettings &FSettings;

    TLinePage *FPage = nullptr;
    QLabel *FTitle = nullptr;
    QLabel *FPlace = nullptr;
    QLabel *FPace = nullptr;
    QLabel *FElapsed = nullptr;
    QLabel *FStatus = nullptr;
    QProgressBar *FProgress = nullptr;
    QPushButton *FPauseButton = nullptr;
    QPushButton *FModeButton = nullptr;
    QPushButton *FLayoutButton = nullptr;

    int FArticle = 0;
    int FStep = 0;
    int FFirstLine = 0;
    bool FFinished = false;
    bool FStarted = false;
    int FPageTurns = 0;
    QList<TLaidLine> FLines;
    TLineSchedule FSchedule;
    TPaceClock FClock;       // position in the article
    TPaceClock FReadingTime; // time spent reading in this window, pauses left out
    QTimer FStepTimer;       // fires at the next step's start
    QTimer FInfoTimer;       // refreshes the elapsed time
    qint64 FLastLateMs = 0;
    qint64 FMaxLateMs = 0;
    qint64 FLateSumMs = 0;
    int FPacedSteps = 0;
};

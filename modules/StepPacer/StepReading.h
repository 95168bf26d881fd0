#pragma once

#include "modules/PacerKit/FollowSchedule.h"
#include "modules/PacerKit/PaceClock.h"
#include "modules/PacerKit/PacerSettings.h"
#include "modules/PacerKit/WordCutter.h"
#include "reading/ReaderService.h"

// The state of one follow reading, without a window: which article, its steps at the set
// pace, where the clock stands, and every move the reader can make. The window asks it what
// to show; the clock, not the window's timer, says which step is due.
class TStepReading {
public:
    TStepReading(const TArticleDTOList &articles, TFlashSettings &settings,
                 TPaceClock::TNow now = {});

    int ArticleCount() const { return static_cast<int>(FArticles.size()); }
    int ArticleIndex() const { return FArticle; }
    const TArticleDTO &Article() const { return FArticles.at(FArticle); }
    const TPaceSchedule &Schedule() const { return FSchedule; }
    const TFlashSettings &Settings() const { return FSettings; }

    // The step due now (-1 for an article without text).
    int StepIndex() const { return FSchedule.StepAt(PositionMs()); }
    qint64 PositionMs() const;
    bool IsPaused() const { return FClock.IsPaused(); }
    // The clock has passed the article's last step.
    bool IsFinished() const;
    // Milliseconds until the next step is due, measured on the clock; -1 when none is.
    qint64 MsToNextStep() const;
    // Counted characters read so far in the article (the steps before the one due).
    int CharsDone() const;
    // Time spent reading, pauses left out, over the whole reading.
    qint64 ReadingMs() const { return FReadingTime.PositionMs(); }

    void Play();
    void Pause();
    void TogglePause();
    void NextStep();
    void PreviousStep();
    void SentenceStart();
    void ArticleStart();
    // Opens an article of the list (0-based, kept within the list) at its start.
    void OpenArticle(int index);

    // Pace and layout changes, kept in the settings; the place in the article is kept.
    void ChangeRate(int delta);
    void ChangeWordsPerStep(int delta);
    void ChangeLineCount(int delta);
    void ToggleMode();
    void ChangeFontSize(int delta) { FSettings.SetFontSize(FSettings.FontSize() + delta); }
    void ToggleBeep() { FSettings.SetBeepOnRefresh(!FSettings.BeepOnRefresh()); }

private:
    void Build();
    void GoToStep(int index);

    const TArticleDTOList &FArticles;
    TFlashSettings &FSettings;
    TWordCutter FCutter;
    TPaceSchedule FSchedule;
    TPaceClock FClock;
    TPaceClock FReadingTime;
    int FArticle = 0;
};

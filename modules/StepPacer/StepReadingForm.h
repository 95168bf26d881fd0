#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;
class QScreen;
class TStepReading;
class TStepView;

// The window of follow reading. It shows what the reading says is due, moves on when the
// clock says so (one single-shot timer aimed at the next step, the step itself always taken
// from the clock), and turns keys and buttons into the reading's moves:
//   Space pause/resume (at an article's end: the next article), ←/→ step back/forward,
//   Backspace back to the start of the sentence, Home start of the article, PgUp/PgDn
//   previous/next article, ↑/↓ or +/− pace, [ ] words a step, M words or characters,
//   F11 full screen, Esc ends the reading.
class TStepReadingForm : public QDialog {
    Q_OBJECT

public:
    TStepReadingForm(TStepReading &reading, QScreen *screen, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QPushButton *AddButton(class QHBoxLayout *row, const QString &text, const QString &tip,
                           void (TStepReadingForm::*slot)());
    void ApplyLook();
    void Refresh();
    void Act(void (TStepReading::*action)());

    void TogglePause();
    void NextStep();
    void PreviousStep();
    void SentenceStart();
    void ArticleStart();
    void PreviousArticle();
    void NextArticle();
    void Faster();
    void Slower();
    void MoreWords();
    void FewerWords();
    void MoreLines();
    void FewerLines();
    void LargerFont();
    void SmallerFont();
    void ToggleMode();
    void ToggleBeep();
    void ToggleFullScreen();
    void OpenArticle(int index);

    TStepReading &FReading;
    TStepView *FView = nullptr;
    QLabel *FTitle = nullptr;
    QLabel *FPlace = nullptr;
    QLabel *FPace = nullptr;
    QLabel *FWords = nullptr;
    QLabel *FElapsed = nullptr;
    QLabel *FRead = nullptr;
    QProgressBar *FProgress = nullptr;
    QPushButton *FPauseButton = nullptr;
    QPushButton *FModeButton = nullptr;
    QPushButton *FBeepButton = nullptr;
    QTimer FStepTimer;
    QTimer FStatusTimer;
    QElapsedTimer FSinceBeep;
    int FShownStep = -2;
    int FShownArticle = -1;
    bool FShownFinished = false;
    qint64 FArticleStartReadingMs = 0;
};

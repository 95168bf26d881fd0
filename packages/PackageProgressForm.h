#pragma once

#include "packages/PackageProgress.h"

#include <QDialog>

class QFrame;
class QLabel;
class QProgressBar;
class QTimer;
class TGlobalManager;

// The small borderless progress window that a package job runs in: a label and a progress
// bar with its percentage on a white panel, no buttons. The job starts at the first tick of
// Timer1, one second after the window was made, so that the window is on screen first. The
// window cannot be closed until the job has ended (Alt+F4, Escape and close requests are
// refused); it then closes with Accepted, or with Rejected after showing the job's error.
class TPackageProgressForm : public QDialog, public IPackageProgress {
    Q_OBJECT

public:
    QFrame *suiPanel1 = nullptr;
    QLabel *RzLabel1 = nullptr;
    QProgressBar *RzProgressBar1 = nullptr;
    QTimer *Timer1 = nullptr;

    // The timer's handler: switches the timer off and runs the job, once.
    void Timer1Timer();

    // The progress as the job reports it (the bar shows a maximum of 0 as an empty bar).
    int ProgressMaximum() const { return FMaximum; }
    int ProgressPosition() const;

    void SetRange(int maximum) override;
    void SetPosition(int position) override;
    void SetLabel(const QString &text) override;
    void LetMessagesThrough() override;

    void reject() override;

protected:
    // A window of the application (no owner), centred on the given window, in the theme of
    // the settings, with the label's first caption.
    TPackageProgressForm(const TGlobalManager &settings, const QWidget *centreOn,
                         const QString &objectName, const QString &caption);

    // The job; what it raises is shown in the error box.
    virtual void RunJob() = 0;

    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool FStarted = false;
    bool FFinished = false;
    int FMaximum = 0;
};

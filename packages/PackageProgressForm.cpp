#include "packages/PackageProgressForm.h"

#include "app/MessageBox.h"
#include "app/ThemeManager.h"
#include "packages/PackageErrors.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int FormWidth = 418;
constexpr int FormHeight = 239;
constexpr int LabelLeft = 32;
constexpr int LabelTop = 40;
constexpr int LabelHeight = 16;
constexpr int BarLeft = 32;
constexpr int BarTop = 56;
constexpr int BarWidth = 385;
constexpr int BarHeight = 12;
constexpr int FirstTickMs = 1000;

} // namespace

TPackageProgressForm::TPackageProgressForm(const TGlobalManager &settings, const QWidget *centreOn,
                                           const QString &objectName, const QString &caption)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(objectName);
    setModal(true);
    setFixedSize(FormWidth, FormHeight);
    setFont(ThemeManager::DefaultFont());

    suiPanel1 = new QFrame(this);
    suiPanel1->setObjectName(QStringLiteral("suiPanel1"));
    suiPanel1->setFrameShape(QFrame::StyledPanel);
    suiPanel1->setGeometry(0, 0, FormWidth, FormHeight);
    QPalette white = suiPanel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    suiPanel1->setPalette(white);
    suiPanel1->setAutoFillBackground(true);

    RzLabel1 = new QLabel(caption, suiPanel1);
    RzLabel1->setObjectName(QStringLiteral("RzLabel1"));
    RzLabel1->setGeometry(LabelLeft, LabelTop, FormWidth - 2 * LabelLeft, LabelHeight);

    RzProgressBar1 = new QProgressBar(suiPanel1);
    RzProgressBar1->setObjectName(QStringLiteral("RzProgressBar1"));
    RzProgressBar1->setGeometry(BarLeft, BarTop, BarWidth, BarHeight);
    RzProgressBar1->setRange(0, 100);
    RzProgressBar1->setValue(0);
    RzProgressBar1->setTextVisible(true);
    RzProgressBar1->setFormat(QStringLiteral("%p%"));
    RzProgressBar1->setAlignment(Qt::AlignCenter);

    if (centreOn != nullptr) {
        const QRect frame = centreOn->frameGeometry();
        move(frame.x() + (frame.width() - FormWidth) / 2,
             frame.y() + (frame.height() - FormHeight) / 2);
    }
    ThemeManager::ApplyTheme(this, settings);

    // Running from the moment the window exists: the first tick comes when it is on screen.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(FirstTickMs);
    connect(Timer1, &QTimer::timeout, this, &TPackageProgressForm::Timer1Timer);
    Timer1->start();
}

void TPackageProgressForm::Timer1Timer() {
    Timer1->stop();
    if (FStarted) {
        return;
    }
    FStarted = true;
    int result = QDialog::Rejected;
    try {
        RunJob();
        result = QDialog::Accepted;
    } catch (const EPackageError &error) {
        MessageBox::Error(this, error.Message(), error.Details());
    } catch (const EMxError &error) {
        MessageBox::Error(this, error.Message());
    } catch (const std::exception &error) {
        MessageBox::Error(this, QString::fromUtf8(error.what()));
    }
    FFinished = true;
    done(result);
}

int TPackageProgressForm::ProgressPosition() const {
    return RzProgressBar1->value();
}

void TPackageProgressForm::SetRange(int maximum) {
    FMaximum = maximum;
    // A range of 0 to 0 would make the bar a busy indicator; an empty stage shows 0%.
    RzProgressBar1->setRange(0, std::max(maximum, 1));
    RzProgressBar1->setValue(0);
}

void TPackageProgressForm::SetPosition(int position) {
    RzProgressBar1->setValue(std::clamp(position, 0, std::max(FMaximum, 0)));
}

void TPackageProgressForm::SetLabel(const QString &text) {
    RzLabel1->setText(text);
    RzLabel1->repaint();
}

void TPackageProgressForm::LetMessagesThrough() {
    QCoreApplication::processEvents();
}

void TPackageProgressForm::reject() {
    // Escape, and anything else that would cancel, waits for the end of the job.
    if (FFinished) {
        QDialog::reject();
    }
}

void TPackageProgressForm::closeEvent(QCloseEvent *event) {
    if (!FFinished) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TPackageProgressForm::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::AltModifier) {
        event->accept(); // swallowed: the job is not to be cut short
        return;
    }
    QDialog::keyPressEvent(event);
}

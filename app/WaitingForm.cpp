#include "app/WaitingForm.h"

#include "app/ThemeManager.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>
#include <QWindow>

namespace {

constexpr int FormWidth = 418;
constexpr int FormHeight = 239;
constexpr int LabelLeft = 32;
constexpr int LabelTop = 40;
constexpr int LabelHeight = 24;
// How long ShowAndPaint lets the window system map the window before it paints anyway.
constexpr int ExposeWaitMs = 500;

} // namespace

TWaitingForm::TWaitingForm(const TGlobalManager &settings, const QWidget *centreOn)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("WaitingForm"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(FormWidth, FormHeight);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Panel = new QFrame(this);
    Panel->setObjectName(QStringLiteral("WaitingPanel"));
    Panel->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(Panel);

    // Placed by hand: 32 from the left, 40 from the top, as wide as the panel allows.
    RzLabel1 = new QLabel(QStringLiteral("..."), Panel);
    RzLabel1->setObjectName(QStringLiteral("RzLabel1"));
    RzLabel1->setGeometry(LabelLeft, LabelTop, FormWidth - 2 * LabelLeft, LabelHeight);

    if (centreOn != nullptr) {
        const QRect frame = centreOn->frameGeometry();
        move(frame.x() + (frame.width() - FormWidth) / 2,
             frame.y() + (frame.height() - FormHeight) / 2);
    }
    FormCreate(settings);
}

void TWaitingForm::FormCreate(const TGlobalManager &settings) {
    setFont(ThemeManager::DefaultFont());
    ThemeManager::ApplyTheme(this, settings);
}

void TWaitingForm::SetMessage(const QString &text) {
    RzLabel1->setText(text);
}

QString TWaitingForm::Message() const {
    return RzLabel1->text();
}

void TWaitingForm::ShowAndPaint() {
    show();
    // The window system maps a new window asynchronously; give it a moment (user input
    // stays queued) so that the text is on screen before the caller blocks.
    const QDeadlineTimer deadline(ExposeWaitMs);
    while (windowHandle() != nullptr && !windowHandle()->isExposed() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    }
    repaint();
}

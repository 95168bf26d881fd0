#include "textimport/PopupNotice.h"

#include <QLabel>
#include <QPropertyAnimation>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// It fits the corner it is shown in: 200 from the right, 150 from the bottom.
constexpr QSize NoticeSize(200, 150);

} // namespace

TPopupNotice::TPopupNotice(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("PopupNotice"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(NoticeSize);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xE1));
    setPalette(colours);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    TitleLabel = new QLabel(this);
    TitleLabel->setObjectName(QStringLiteral("PopupTitle"));
    QFont bold = TitleLabel->font();
    bold.setBold(true);
    TitleLabel->setFont(bold);
    TextLabel = new QLabel(this);
    TextLabel->setObjectName(QStringLiteral("PopupText"));
    TextLabel->setWordWrap(true);
    TextLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(TitleLabel);
    layout->addWidget(TextLabel, 1);

    FFadeIn = new QPropertyAnimation(this, "windowOpacity", this);
    FFadeIn->setStartValue(0.0);
    FFadeIn->setEndValue(1.0);
}

void TPopupNotice::SetTitle(const QString &title) {
    TitleLabel->setText(title);
}

void TPopupNotice::SetText(const QString &text) {
    TextLabel->setText(text);
}

QString TPopupNotice::Title() const {
    return TitleLabel->text();
}

QString TPopupNotice::Text() const {
    return TextLabel->text();
}

void TPopupNotice::Popup(const QPoint &topLeft, int fadeInMs, int stayMs) {
    move(topLeft);
    setWindowOpacity(0.0);
    show();
    FFadeIn->setDuration(fadeInMs);
    FFadeIn->start();
    QTimer::singleShot(fadeInMs + stayMs, this, &QWidget::close);
}

#include "app/MessageBox.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString InfoCaption = QStringLiteral("信息");
const QString ErrorCaption = QStringLiteral("错误");
const QString OkText = QStringLiteral("确定");
const QString CancelText = QStringLiteral("取消");

void PrepareBox(QMessageBox &box) {
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);
}

// The error box with its details always in sight: the message on top, the technical
// details below in a small read-only text.
class TErrorDialog : public QDialog {
public:
    TErrorDialog(QWidget *parent, const QString &text, const QString &details) : QDialog(parent) {
        setObjectName(QStringLiteral("ErrorDialog"));
        setWindowTitle(ErrorCaption);
        setModal(true);

        auto *icon = new QLabel(this);
        const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(side, side));
        icon->setAlignment(Qt::AlignTop);

        auto *message = new QLabel(text, this);
        message->setTextFormat(Qt::PlainText);
        message->setWordWrap(true);
        message->setTextInteractionFlags(Qt::TextSelectableByMouse);

        auto *top = new QHBoxLayout;
        top->addWidget(icon);
        top->addWidget(message, 1);

        auto *layout = new QVBoxLayout(this);
        layout->addLayout(top);
        if (!details.isEmpty()) {
            layout->addWidget(new QLabel(QStringLiteral("详细信息："), this));
            auto *box = new QPlainTextEdit(details, this);
            box->setReadOnly(true);
            box->setMinimumWidth(420);
            box->setFixedHeight(box->fontMetrics().lineSpacing() * 6 + 12);
            layout->addWidget(box);
        }
        auto *buttons = new QDialogButtonBox(this);
        QPushButton *ok = buttons->addButton(OkText, QDialogButtonBox::AcceptRole);
        ok->setDefault(true);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        layout->addWidget(buttons);
    }
};

} // namespace

namespace MessageBox {

void Notice(QWidget *parent, const QString &text) {
    if (TMessageBoxHook::Record({TMessageBoxHook::TKind::Notice, text, {}})) {
        return;
    }
    QMessageBox box(QMessageBox::Information, InfoCaption, text, QMessageBox::NoButton, parent);
    PrepareBox(box);
    QPushButton *ok = box.addButton(OkText, QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

bool Ask(QWidget *parent, const QString &text) {
    if (const std::optional<bool> answer =
            TMessageBoxHook::Answer({TMessageBoxHook::TKind::Question, text, {}})) {
        return *answer;
    }
    QMessageBox box(QMessageBox::Information, InfoCaption, text, QMessageBox::NoButton, parent);
    PrepareBox(box);
    QPushButton *ok = box.addButton(OkText, QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(CancelText, QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == ok;
}

void Error(QWidget *parent, const QString &text, const QString &details) {
    if (TMessageBoxHook::Record({TMessageBoxHook::TKind::Error, text, details})) {
        return;
    }
    TErrorDialog dialog(parent, text, details);
    dialog.exec();
}

} // namespace MessageBox

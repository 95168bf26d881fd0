#include "app/AboutForm.h"

#include "app/AboutBanner.h"
#include "app/Addresses.h"
#include "app/GlobalManager.h"
#include "app/ThemeManager.h"
#include "app/WebPage.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int FormWidth = 422;
constexpr int FormHeight = 343;

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text = QString()) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    // Stored values are shown exactly as they stand, never read as markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

TAboutForm::TAboutForm(const TGlobalManager &settings, const QWidget *centreOn)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("关于系统"));
    setModal(true);
    setFixedSize(FormWidth, FormHeight);
    CreateLayout();
    if (centreOn != nullptr) {
        const QRect frame = centreOn->frameGeometry();
        move(frame.x() + (frame.width() - FormWidth) / 2,
             frame.y() + (frame.height() - FormHeight) / 2);
    }
    FormCreate(settings);
}

void TAboutForm::CreateLayout() {
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(AboutBanner::Paint());
    Image1->setFixedSize(AboutBanner::Width, AboutBanner::Height);

    RzLabel3 = MakeLabel(this, "RzLabel3");
    RzLabel4 = MakeLabel(this, "RzLabel4");
    RzURLLabel1 = MakeLabel(this, "RzURLLabel1", QString::fromUtf8(Addresses::HomePage));
    RzURLLabel1->setToolTip(QString::fromUtf8(Addresses::HomePage));
    RzURLLabel1->setCursor(Qt::PointingHandCursor);
    RzURLLabel1->setFocusPolicy(Qt::StrongFocus);
    RzURLLabel1->installEventFilter(this);
    // Underlined in the highlight colour; a theme may give the link a colour of its own.
    QFont underlined = RzURLLabel1->font();
    underlined.setUnderline(true);
    RzURLLabel1->setFont(underlined);
    RzURLLabel1->setForegroundRole(QPalette::Highlight);

    suiButton1 = new QPushButton(QStringLiteral("关闭"), this);
    suiButton1->setObjectName(QStringLiteral("suiButton1"));
    suiButton1->setDefault(true);
    connect(suiButton1, &QPushButton::clicked, this, &QDialog::accept);

    Memo1 = new QPlainTextEdit(LegalNotice(), this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setTabChangesFocus(true);

    // The version and the date with "关闭" on their right; the site below, across the width.
    auto *facts = new QHBoxLayout;
    facts->setSpacing(6);
    facts->addWidget(new QLabel(QStringLiteral("版本:"), this));
    facts->addWidget(RzLabel3);
    facts->addSpacing(18);
    facts->addWidget(new QLabel(QStringLiteral("时间:"), this));
    facts->addWidget(RzLabel4, 1);
    facts->addWidget(suiButton1);

    auto *site = new QHBoxLayout;
    site->setSpacing(6);
    auto *siteLabel = new QLabel(QStringLiteral("快速阅读学习网站"), this);
    siteLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    site->addWidget(siteLabel);
    site->addWidget(RzURLLabel1, 1);

    auto *body = new QVBoxLayout;
    body->setContentsMargins(14, 10, 14, 12);
    body->setSpacing(8);
    body->addLayout(facts);
    body->addLayout(site);
    body->addWidget(Memo1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Image1);
    layout->addLayout(body, 1);
    setTabOrder(suiButton1, RzURLLabel1);
    setTabOrder(RzURLLabel1, Memo1);
}

void TAboutForm::FormCreate(const TGlobalManager &settings) {
    setFont(ThemeManager::DefaultFont());
    ThemeManager::ApplyTheme(this, settings);
    RzLabel3->setText(settings.PubVersion);
    RzLabel4->setText(settings.AppDate);
}

QString TAboutForm::LegalNotice() {
    return QStringLiteral(
        "明心轩阅读器受著作权法保护，其著作权归开发者所有。您可以在个人学习和训练中自由使用"
        "本软件；未经许可，不得出售、出租本软件，也不得将修改后的本软件再行发布。\n"
        "用本软件阅读、整理和交换的文章，其著作权归各自的作者或出版者所有。请只收录您有权"
        "使用的文章，文章包仅供个人学习交流，不得用于商业用途。\n"
        "本软件按现状提供，不附带任何明示或暗示的担保。请定期备份您的文章库，因使用本软件"
        "造成的数据丢失或其他损失，开发者不承担责任。");
}

bool TAboutForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == RzURLLabel1) {
        const bool clicked =
            event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton &&
            RzURLLabel1->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint());
        const bool pressed = event->type() == QEvent::KeyPress &&
                             (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space ||
                              static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return ||
                              static_cast<QKeyEvent *>(event)->key() == Qt::Key_Enter);
        if (clicked || pressed) {
            RzURLLabel1Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::RzURLLabel1Click() {
    WebPage::Open(QUrl(QString::fromUtf8(Addresses::HomePage)));
}

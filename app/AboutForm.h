#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TGlobalManager;

// The about box "关于系统": the banner, the published version and date, the maker's site and
// a short legal notice. It applies the current theme when it is created.
class TAboutForm : public QDialog {
    Q_OBJECT

public:
    // A window without an owner, centred on the given window when there is one.
    explicit TAboutForm(const TGlobalManager &settings, const QWidget *centreOn = nullptr);

    QLabel *Image1 = nullptr;          // the banner
    QLabel *RzLabel3 = nullptr;        // PubVersion
    QLabel *RzLabel4 = nullptr;        // AppDate
    QLabel *RzURLLabel1 = nullptr;     // the maker's site; a click opens it
    QPushButton *suiButton1 = nullptr; // 关闭
    QPlainTextEdit *Memo1 = nullptr;   // the legal notice

    // The text of the legal notice.
    static QString LegalNotice();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateLayout();
    void FormCreate(const TGlobalManager &settings);
    void RzURLLabel1Click();
};

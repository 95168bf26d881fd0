#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class TGlobalManager;

// The waiting window: a borderless window with one line of text, shown while a long job
// blocks the main window. It applies the current theme when it is created.
class TWaitingForm : public QWidget {
    Q_OBJECT

public:
    // A window of the application (no owner), centred on the given window when there is one,
    // in the theme of the settings.
    explicit TWaitingForm(const TGlobalManager &settings, const QWidget *centreOn = nullptr);

    void SetMessage(const QString &text);
    QString Message() const;

    // Shows the window and has it painted at once, before the caller blocks the event loop.
    void ShowAndPaint();

    QFrame *Panel = nullptr;
    QLabel *RzLabel1 = nullptr;

private:
    void FormCreate(const TGlobalManager &settings);
};

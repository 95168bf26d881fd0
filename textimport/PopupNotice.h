#pragma once

#include <QWidget>

class QLabel;
class QPropertyAnimation;

// A small notice in a corner of the screen: a title and a text, fading in, staying a while
// and closing by itself. It takes no focus and ignores clicks.
class TPopupNotice : public QWidget {
    Q_OBJECT

public:
    explicit TPopupNotice(QWidget *parent = nullptr);

    void SetTitle(const QString &title);
    void SetText(const QString &text);
    // Shows the notice with its top-left corner at the given screen position: fades in over
    // fadeInMs and closes after stayMs.
    void Popup(const QPoint &topLeft, int fadeInMs, int stayMs);

    QString Title() const;
    QString Text() const;

    QLabel *TitleLabel = nullptr;
    QLabel *TextLabel = nullptr;

private:
    QPropertyAnimation *FFadeIn = nullptr;
};

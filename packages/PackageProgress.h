#pragma once

#include <QString>

// What a package job reports while it runs. The windows show it in their label and progress
// bar and let window messages through where asked; the command-line tool shows nothing.
class IPackageProgress {
public:
    virtual ~IPackageProgress() = default;

    // A new stage: the bar runs from 0 to this maximum and stands at 0.
    virtual void SetRange(int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    // The label's text, painted at once.
    virtual void SetLabel(const QString &text) = 0;
    // Pending window messages are handled here, so that the window repaints.
    virtual void LetMessagesThrough() = 0;
};

// Progress that goes nowhere.
class TSilentProgress : public IPackageProgress {
public:
    void SetRange(int) override {}
    void SetPosition(int) override {}
    void SetLabel(const QString &) override {}
    void LetMessagesThrough() override {}
};

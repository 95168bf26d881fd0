#pragma once

#include "app/DialogHook.h"

#include <QList>
#include <QString>

class QWidget;

// The program's modal message boxes. Every box is themed through its parent window, whose
// style sheet reaches the box, and opens centred.
namespace MessageBox {

// The notice box: caption "信息", information icon, one button "确定".
void Notice(QWidget *parent, const QString &text);

// The question box: caption "信息", buttons "确定" and "取消". True only when the answer is
// "确定"; closing the box any other way counts as "取消".
bool Ask(QWidget *parent, const QString &text);

// The error box: caption "错误", the message, a read-only details section and one button
// "确定".
void Error(QWidget *parent, const QString &text, const QString &details = QString());

} // namespace MessageBox

// What a message box was asked to show, as its test hook records it.
struct TMessageBoxShown {
    enum class TKind { Notice, Question, Error };
    TKind Kind;
    QString Text;
    QString Details;
};

// The test hook of the message boxes: every request is recorded, and a question takes the
// next queued answer ("取消" when none is queued).
class TMessageBoxHook : public TDialogHook<bool, TMessageBoxShown> {
public:
    using TKind = TMessageBoxShown::TKind;
    using TShown = TMessageBoxShown;

    static QList<TShown> Shown() { return Records(); }
    static void ClearShown() { ClearRecords(); }
};

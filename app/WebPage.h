#pragma once

#include "app/DialogHook.h"

#include <QUrl>

// Opening addresses in the user's web browser (web pages, and the help page shipped in the
// application folder). Nothing waits for the browser, and a failure is not reported: a
// missing browser leaves the program as it was.
namespace WebPage {

void Open(const QUrl &address);

} // namespace WebPage

// The test hook of the opener: while it is installed no browser starts and every address is
// recorded instead.
class TWebPageHook : public TDialogHook<bool, QUrl> {
public:
    static QList<QUrl> Opened() { return Records(); }
};

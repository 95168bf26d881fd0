#include "app/WebPage.h"

#include <QDesktopServices>

namespace WebPage {

void Open(const QUrl &address) {
    if (TWebPageHook::Record(address)) {
        return;
    }
    // The result is not looked at: a page that cannot be opened is no error of the program.
    QDesktopServices::openUrl(address);
}

} // namespace WebPage

#pragma once

#include <QApplication>

#include <exception>
#include <utility>

// The application object with the application-wide error handler: an exception that
// escapes an event handler ends that handler, is shown in the error box with its
// technical details (exception type, receiver, event), and the program goes on.
class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows a caught exception in the error box; the event is null for a command run by a
    // signal.
    static void ReportException(const std::exception_ptr &failure, const QObject *receiver,
                                const QEvent *event);

    // The details section of a report: exception type, receiving object and event.
    static QString ErrorDetails(const QString &exceptionType, const QObject *receiver,
                                const QEvent *event);
};

// Wraps a command handler for connecting to a signal: what the handler throws is reported
// by the application's error handler right there. The toolkit's own code is not built for
// exceptions passing through it (a menu, for one, would stay locked after an error), so
// every command of a window is connected through this.
template <typename Handler> auto Guarded(const QObject *source, Handler handler) {
    return [source, handler = std::move(handler)]() {
        std::exception_ptr failure;
        try {
            handler();
        } catch (...) {
            failure = std::current_exception();
        }
        if (failure) {
            TApplication::ReportException(failure, source, nullptr);
        }
    };
}

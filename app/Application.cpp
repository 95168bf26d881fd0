#include "app/Application.h"

#include "app/MessageBox.h"
#include "reading/ReaderService.h"
#include "util/Errors.h"

#include <QEvent>
#include <QMetaEnum>

#include <cstdlib>
#include <cxxabi.h>
#include <exception>
#include <memory>
#include <typeinfo>

namespace {

QString Demangle(const char *name) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> readable(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
    return QString::fromLatin1(status == 0 && readable ? readable.get() : name);
}

QString EventName(const QEvent *event) {
    const QMetaEnum types = QMetaEnum::fromType<QEvent::Type>();
    const int type = static_cast<int>(event->type());
    const char *key = types.valueToKey(type);
    return QStringLiteral("%1 (%2)")
        .arg(key ? QString::fromLatin1(key) : QStringLiteral("?"))
        .arg(type);
}

struct TCaught {
    QString Message;
    QString Type;
};

// What a caught exception says about itself.
TCaught Describe(const std::exception_ptr &failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const EMxError &error) {
        return {error.Message(), Demangle(typeid(error).name())};
    } catch (const std::exception &error) {
        return {QString::fromLocal8Bit(error.what()), Demangle(typeid(error).name())};
    } catch (...) {
        const std::type_info *type = abi::__cxa_current_exception_type();
        return {QStringLiteral("未知错误"), type ? Demangle(type->name()) : QStringLiteral("?")};
    }
}

// True while an error box is open; errors raised meanwhile go to stderr only, so that a
// handler failing on every repaint cannot stack up boxes without end.
bool Reporting = false;

void Show(const QString &message, const QString &details) {
    if (Reporting) {
        qWarning("%s\n%s", qUtf8Printable(message), qUtf8Printable(details));
        return;
    }
    Reporting = true;
    try {
        MessageBox::Error(QApplication::activeWindow(), message, details);
    } catch (...) {
        qWarning("%s\n%s", qUtf8Printable(message), qUtf8Printable(details));
    }
    Reporting = false;
}

} // namespace

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject *receiver, QEvent *event) {
    // The report is shown after the catch clause has ended, so that the error box's own
    // event loop does not run inside an exception handler.
    if (event->type() == QEvent::ToolTip) {
        // Hints switched off (a reader module may do so while it reads) show nothing.
        const QVariant hints = property(ReaderHintsProperty);
        if (hints.isValid() && !hints.toBool()) {
            return true;
        }
    }
    std::exception_ptr failure;
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        failure = std::current_exception();
    }
    ReportException(failure, receiver, event);
    return false;
}

void TApplication::ReportException(const std::exception_ptr &failure, const QObject *receiver,
                                   const QEvent *event) {
    const TCaught caught = Describe(failure);
    Show(caught.Message, ErrorDetails(caught.Type, receiver, event));
}

QString TApplication::ErrorDetails(const QString &exceptionType, const QObject *receiver,
                                   const QEvent *event) {
    QString target = QStringLiteral("?");
    if (receiver) {
        target = QString::fromLatin1(receiver->metaObject()->className());
        if (!receiver->objectName().isEmpty()) {
            target += QStringLiteral(" \"%1\"").arg(receiver->objectName());
        }
    }
    const QString during = event ? EventName(event) : QStringLiteral("命令（信号处理）");
    return QStringLiteral("异常类型：%1\n接收对象：%2\n事件类型：%3")
        .arg(exceptionType, target, during);
}

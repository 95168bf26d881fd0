#pragma once

#include <QString>
#include <stdexcept>

// Failures travel as exceptions; messages are UTF-8 so that Chinese texts survive what().
class EMxError : public std::runtime_error {
public:
    explicit EMxError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromUtf8(what()); }
};

// A text that should hold a number does not (the scrambled settings, for example).
class EConvertError : public EMxError {
public:
    using EMxError::EMxError;
};

// A file could not be written.
class EWriteError : public EMxError {
public:
    using EMxError::EMxError;
};

// The database layer refused an operation; the message is the database's own.
class EDatabaseError : public EMxError {
public:
    using EMxError::EMxError;
};

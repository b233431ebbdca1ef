// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The error classes of the program. A handler that fails throws one of these; the application
// object shows its message in the error box. Abort is the silent refusal: it ends the operation
// and shows nothing.
class Error : public std::exception
{
public:
    explicit Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A failure of the table engine: missing, locked or unreadable file, required field, etc.
class EngineError : public Error
{
public:
    using Error::Error;
};

// A text that is not a date or not a number.
class ConvertError : public Error
{
public:
    using Error::Error;
};

// A before-handler's silent refusal.
class Abort : public std::exception
{
public:
    const char *what() const noexcept override { return "Operation aborted"; }
};

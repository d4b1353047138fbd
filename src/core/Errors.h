// SPDX-License-Identifier: MIT
// The program's own error type: a kind name (shown to the user as the error's class, such as
// "EConvertError" or "EInOutError") and a message text.
#pragma once

#include <QString>

#include <exception>
#include <string>

class TError : public std::exception
{
public:
    TError(QString className, QString message)
        : fClassName(std::move(className)), fMessage(std::move(message)),
          fWhat(fMessage.toStdString())
    {}

    const QString &ClassName() const { return fClassName; }
    const QString &Message() const { return fMessage; }
    const char *what() const noexcept override { return fWhat.c_str(); }

private:
    QString fClassName;
    QString fMessage;
    std::string fWhat;
};

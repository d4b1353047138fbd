// SPDX-License-Identifier: MIT
// Ends a tandor-cli command: the exit code and the message for standard error.
#pragma once

#include <QString>

#include <exception>

class TCliFailure : public std::exception
{
public:
    TCliFailure(int exitCode, QString message) : fExitCode(exitCode), fMessage(std::move(message))
    {}
    int ExitCode() const { return fExitCode; }
    const QString &Message() const { return fMessage; }
    const char *what() const noexcept override { return "tandor-cli failure"; }

private:
    int fExitCode;
    QString fMessage;
};

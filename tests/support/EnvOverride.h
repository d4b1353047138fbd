// SPDX-License-Identifier: MIT
// Sets or clears an environment variable for one scope.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

class TEnvOverride
{
public:
    TEnvOverride(const char *name, const std::optional<QString> &value)
        : fName(name), fHad(qEnvironmentVariableIsSet(name)), fOld(qgetenv(name))
    {
        if (value)
            qputenv(name, QFile::encodeName(*value));
        else
            qunsetenv(name);
    }
    ~TEnvOverride()
    {
        if (fHad)
            qputenv(fName, fOld);
        else
            qunsetenv(fName);
    }
    TEnvOverride(const TEnvOverride &) = delete;
    TEnvOverride &operator=(const TEnvOverride &) = delete;

private:
    const char *fName;
    bool fHad;
    QByteArray fOld;
};

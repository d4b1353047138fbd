// SPDX-License-Identifier: MIT
// The window reads preferences and the documents folder when it is created, and virtual ports
// live in the runtime folder: every benchmark program runs in a private home of its own, so
// that a run never touches the user's files or ports. Child processes inherit it.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class TBenchHome
{
public:
    TBenchHome()
    {
        const QString runtime = fHome.path() + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("HOME", QFile::encodeName(fHome.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(fHome.path() + QStringLiteral("/config")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("XDG_DATA_HOME", QFile::encodeName(fHome.path() + QStringLiteral("/data")));
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }

private:
    QTemporaryDir fHome{QDir::tempPath() + QStringLiteral("/tandor-bench-XXXXXX")};
};

// SPDX-License-Identifier: MIT
#include "FuzzSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {

void DropQtNoise(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "Qt: %s\n", qPrintable(message));
    // Qt aborts after a fatal message itself.
}

} // namespace

void UsePrivateHome()
{
    // Lives until exit, when its destructor removes the folder; a crashed run leaves it in the
    // temporary folder, which is where a finding's traces belong anyway.
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/tandor-fuzz-XXXXXX"));
    if (!home.isValid()) {
        std::fprintf(stderr, "cannot make a private home folder\n");
        std::exit(2);
    }
    const QString runtime = home.path() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    ::chmod(QFile::encodeName(runtime).constData(), 0700);
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/config")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(home.path() + QStringLiteral("/etc-xdg")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + QStringLiteral("/data")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
}

void QuietQtMessages()
{
    qInstallMessageHandler(DropQtNoise);
}

QString SeedFolderArgument(int argc, char **argv)
{
    const QByteArray flag = "--write-seeds=";
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith(flag))
            return QFile::decodeName(arg.mid(flag.size()));
    }
    return {};
}

void WriteSeed(const QString &folder, const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write seed %s\n", qPrintable(file.fileName()));
        std::exit(2);
    }
}

void FuzzFail(const char *file, int line, const QString &what)
{
    std::fprintf(stderr, "\n==== invariant violated at %s:%d\n     %s\n", file, line,
                 qPrintable(what));
    std::fflush(stderr);
    std::abort();
}

// SPDX-License-Identifier: MIT
// Other programs that hold a serial device, for tests of the "port in use" rule.
#pragma once

#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QTest>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

// A separate process (a shell that becomes `sleep`) with the device open as its standard
// input. It takes no lock file and sets no TIOCEXCL, like a terminal program would not, so
// only the look at other processes' open descriptors can tell that the port is in use.
class TOtherProgramHolding
{
public:
    explicit TOtherProgramHolding(const QString &devicePath)
    {
        fProcess.setProgram(QStringLiteral("/bin/sh"));
        fProcess.setArguments(
            {QStringLiteral("-c"), QStringLiteral("exec sleep 30 < \"$0\""), devicePath});
        fProcess.start();
        const QString target = QFileInfo(devicePath).canonicalFilePath();
        fHolding = fProcess.waitForStarted(5000) && QTest::qWaitFor([&] {
                       const QString fd0 =
                           QStringLiteral("/proc/%1/fd/0").arg(fProcess.processId());
                       return QFileInfo(fd0).canonicalFilePath() == target;
                   });
    }
    ~TOtherProgramHolding() { Stop(); }

    bool Holding() const { return fHolding; }
    void Stop()
    {
        if (fProcess.state() != QProcess::NotRunning) {
            fProcess.kill();
            fProcess.waitForFinished(5000);
        }
        fHolding = false;
    }

private:
    QProcess fProcess;
    bool fHolding = false;
};

// A separate process that plays the far end of a pseudo-terminal line and keeps the slave
// side open as well, as a simulator may do so that its master never reads EIO.
class TFarEndKeepingSlave
{
public:
    TFarEndKeepingSlave()
    {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0)
            return;
        fChild = ::fork();
        if (fChild == 0) {
            // Only plain system calls in the child: the parent has threads.
            ::close(pipeFds[0]);
            const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
            char name[128] = {};
            if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0 &&
                ::ptsname_r(master, name, sizeof name) == 0 &&
                ::open(name, O_RDWR | O_NOCTTY) >= 0) {
                (void)!::write(pipeFds[1], name, std::strlen(name));
            }
            ::close(pipeFds[1]);
            for (;;)
                ::pause();
        }
        ::close(pipeFds[1]);
        char name[128] = {};
        if (fChild > 0) {
            const ssize_t n = ::read(pipeFds[0], name, sizeof name - 1);
            if (n > 0)
                fSlavePath = QString::fromLocal8Bit(name, n);
        }
        ::close(pipeFds[0]);
    }
    ~TFarEndKeepingSlave()
    {
        if (fChild > 0) {
            ::kill(fChild, SIGKILL);
            ::waitpid(fChild, nullptr, 0);
        }
    }
    TFarEndKeepingSlave(const TFarEndKeepingSlave &) = delete;
    TFarEndKeepingSlave &operator=(const TFarEndKeepingSlave &) = delete;

    QString SlavePath() const { return fSlavePath; }

private:
    pid_t fChild = -1;
    QString fSlavePath;
};

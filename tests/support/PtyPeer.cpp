// SPDX-License-Identifier: MIT
#include "support/PtyPeer.h"

#include "core/PortPaths.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

TPtyPeer::TPtyPeer(const QString &portName) : fPortName(portName)
{
    fMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fMaster < 0)
        return;
    if (::grantpt(fMaster) != 0 || ::unlockpt(fMaster) != 0) {
        ::close(fMaster);
        fMaster = -1;
        return;
    }
    fSlavePath = QString::fromLocal8Bit(::ptsname(fMaster));
    // Raw mode from the start, so nothing the program sends is echoed back before it has set
    // the line up itself.
    const int slave = ::open(QFile::encodeName(fSlavePath).constData(), O_RDWR | O_NOCTTY);
    if (slave >= 0) {
        termios tio{};
        if (::tcgetattr(slave, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(slave, TCSANOW, &tio);
        }
        ::close(slave);
    }
    Publish();
}

TPtyPeer::~TPtyPeer()
{
    Unpublish();
    CloseMaster();
}

QString TPtyPeer::LinkPath() const
{
    return VirtualPortsFolder() + QLatin1Char('/') + fPortName;
}

bool TPtyPeer::LineSettings(termios &tio) const
{
    return fMaster >= 0 && ::tcgetattr(fMaster, &tio) == 0;
}

void TPtyPeer::Unpublish()
{
    QFile::remove(LinkPath());
}

void TPtyPeer::Publish()
{
    if (fSlavePath.isEmpty())
        return;
    QDir().mkpath(VirtualPortsFolder());
    QFile::remove(LinkPath());
    QFile::link(fSlavePath, LinkPath());
}

void TPtyPeer::CloseMaster()
{
    if (fMaster >= 0) {
        ::close(fMaster);
        fMaster = -1;
    }
}

void TPtyPeer::Write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (fMaster >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(fMaster, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            QTest::qWait(1);
        } else {
            break;
        }
    }
}

QByteArray TPtyPeer::ReadAvailable()
{
    QByteArray got;
    char buf[4096];
    while (fMaster >= 0) {
        const ssize_t n = ::read(fMaster, buf, sizeof buf);
        if (n <= 0)
            break; // EAGAIN: nothing waiting; EIO: the slave side is not open
        got.append(buf, n);
    }
    fReceived += got;
    return got;
}

bool TPtyPeer::WaitFor(const QByteArray &expected, int timeoutMs)
{
    return QTest::qWaitFor(
        [&] {
            ReadAvailable();
            return fReceived.contains(expected);
        },
        timeoutMs);
}

bool TPtyPeer::WaitForCount(qsizetype count, int timeoutMs)
{
    return QTest::qWaitFor(
        [&] {
            ReadAvailable();
            return fReceived.size() >= count;
        },
        timeoutMs);
}

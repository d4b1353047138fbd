// SPDX-License-Identifier: MIT
#include "SimPort.h"

#include "core/PortPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int kHangUpPollMs = 50;
}

TSimPort::TSimPort(QObject *parent) : QObject(parent)
{
    fHangUpPoll.setInterval(kHangUpPollMs);
    connect(&fHangUpPoll, &QTimer::timeout, this, &TSimPort::PollHangUp);
}

TSimPort::~TSimPort()
{
    Remove();
}

bool TSimPort::Create(const QString &name, QString *error)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String("..")) {
        *error = QStringLiteral("invalid port name \"%1\"").arg(name);
        return false;
    }
    const QString folder = VirtualPortsFolder();
    if (folder.isEmpty()) {
        *error = QStringLiteral("no per-user runtime folder (XDG_RUNTIME_DIR) for virtual ports");
        return false;
    }

    fMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fMaster < 0 || ::grantpt(fMaster) != 0 || ::unlockpt(fMaster) != 0) {
        *error = QStringLiteral("cannot create a pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        if (fMaster >= 0)
            ::close(fMaster);
        fMaster = -1;
        return false;
    }
    ::fcntl(fMaster, F_SETFD, FD_CLOEXEC);
    fSlavePath = QString::fromLocal8Bit(::ptsname(fMaster));

    // Raw from the start: a line discipline in its default mode would echo the program's
    // first commands back to it before the program has set the line up itself.
    const int slave = ::open(QFile::encodeName(fSlavePath).constData(), O_RDWR | O_NOCTTY);
    if (slave >= 0) {
        termios tio{};
        if (::tcgetattr(slave, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(slave, TCSANOW, &tio);
        }
        ::close(slave);
    }

    QDir().mkpath(folder);
    fLinkPath = folder + QLatin1Char('/') + name;
    // A link left behind by a simulator that was killed is replaced; so is one of a running
    // simulator, whose port then no longer shows.
    if (QFileInfo(fLinkPath).isSymLink() || QFileInfo::exists(fLinkPath))
        QFile::remove(fLinkPath);
    if (!QFile::link(fSlavePath, fLinkPath)) {
        *error = QStringLiteral("cannot publish %1").arg(fLinkPath);
        fLinkPath.clear();
        Remove();
        return false;
    }

    fReadNotifier = new QSocketNotifier(fMaster, QSocketNotifier::Read, this);
    connect(fReadNotifier, &QSocketNotifier::activated, this, &TSimPort::ReadMaster);
    fWriteNotifier = new QSocketNotifier(fMaster, QSocketNotifier::Write, this);
    fWriteNotifier->setEnabled(false);
    connect(fWriteNotifier, &QSocketNotifier::activated, this, &TSimPort::WriteMaster);
    return true;
}

void TSimPort::Remove()
{
    fHangUpPoll.stop();
    if (!fLinkPath.isEmpty()) {
        // Only our own link: another simulator may have taken the name over meanwhile.
        if (QFileInfo(fLinkPath).symLinkTarget() == fSlavePath)
            QFile::remove(fLinkPath);
        fLinkPath.clear();
    }
    delete fReadNotifier;
    fReadNotifier = nullptr;
    delete fWriteNotifier;
    fWriteNotifier = nullptr;
    if (fMaster >= 0) {
        ::close(fMaster);
        fMaster = -1;
    }
    fOut.clear();
}

bool TSimPort::PeerConnected() const
{
    if (fMaster < 0)
        return false;
    pollfd p{fMaster, POLLOUT, 0};
    return ::poll(&p, 1, 0) >= 0 && (p.revents & (POLLHUP | POLLERR)) == 0;
}

void TSimPort::ReadMaster()
{
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fMaster, buf, sizeof buf);
        if (n > 0) {
            if (OnReceived)
                OnReceived(QByteArray(buf, qsizetype(n)));
            if (fMaster < 0)
                return; // removed by the handler
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return;
        // EIO: the program closed the port. Nothing to read until it opens it again; what
        // was waiting to go out is stale by then.
        fReadNotifier->setEnabled(false);
        fWriteNotifier->setEnabled(false);
        fOut.clear();
        fHangUpPoll.start();
        return;
    }
}

void TSimPort::PollHangUp()
{
    if (fMaster < 0 || !PeerConnected())
        return;
    fHangUpPoll.stop();
    fReadNotifier->setEnabled(true);
}

void TSimPort::Send(const QByteArray &bytes)
{
    if (fMaster < 0 || bytes.isEmpty() || !PeerConnected())
        return;
    if (fOut.isEmpty()) {
        const ssize_t n = ::write(fMaster, bytes.constData(), size_t(bytes.size()));
        if (n == bytes.size())
            return;
        const qsizetype done = n > 0 ? qsizetype(n) : 0;
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return;
        fOut = bytes.mid(done);
    } else if (fOut.size() + bytes.size() <= kMaxPendingOutput) {
        fOut += bytes;
    }
    fWriteNotifier->setEnabled(true);
}

void TSimPort::WriteMaster()
{
    while (!fOut.isEmpty()) {
        const ssize_t n = ::write(fMaster, fOut.constData(), size_t(fOut.size()));
        if (n > 0) {
            fOut.remove(0, qsizetype(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return;
        fOut.clear(); // the program closed the port
        break;
    }
    fWriteNotifier->setEnabled(false);
}

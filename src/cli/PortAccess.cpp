// SPDX-License-Identifier: MIT
#include "cli/PortAccess.h"

#include "cli/CliArgs.h"
#include "cli/CliFailure.h"
#include "core/Errors.h"
#include "core/PortPaths.h"
#include "link/ComPort.h"
#include "ports/PortProbe.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

TPortTarget ResolvePortArgument(const QString &argument)
{
    TPortTarget target;
    target.label = argument;
    target.isPath = QFileInfo(argument).isAbsolute();
    if (target.isPath) {
        target.device = argument;
        return target;
    }
    // The name as the window opens its saved port (on Windows COM and the number).
    target.name = PortToOpen(argument).value_or(QString());
    target.device = target.name.isEmpty() ? QString() : PortDevicePath(target.name);
    return target;
}

TPortProblem ClassifyPortProblem(const TPortFacts &facts)
{
    if (!facts.exists)
        return TPortProblem::Missing;
    // A held port may also be unreadable for this user; the holder is the thing to fix first
    // only when the user could open it at all.
    if (facts.permissionDenied)
        return TPortProblem::NoPermission;
    if (facts.held)
        return TPortProblem::Held;
    return TPortProblem::Unusable;
}

QString PortProblemMessage(TPortProblem problem, const TPortTarget &target, const QString &detail)
{
    const QString where = target.device.isEmpty() || target.device == target.label
                              ? QStringLiteral("port %1").arg(target.label)
                              : QStringLiteral("port %1 (%2)").arg(target.label, target.device);
    switch (problem) {
    case TPortProblem::Missing:
        return QStringLiteral("%1: no such port; 'tandor-cli ports' lists the free ones")
            .arg(where);
    case TPortProblem::NoPermission:
        return QStringLiteral("%1: permission denied; serial ports belong to the dialout group: "
                              "sudo usermod -aG dialout $USER, then log in again")
            .arg(where);
    case TPortProblem::Held:
        return QStringLiteral("%1: in use by another program; close it (tandor-config too) and "
                              "try again")
            .arg(where);
    case TPortProblem::Unusable:
        break;
    }
    return QStringLiteral("%1: cannot be opened: %2").arg(where, detail);
}

TPortFacts GatherPortFacts(const TPortTarget &target)
{
    TPortFacts facts;
    const QString device = QFileInfo(target.device).canonicalFilePath();
    facts.exists = !device.isEmpty();
    if (!facts.exists)
        return facts;
    const QByteArray encoded = QFile::encodeName(device);
    facts.permissionDenied = ::access(encoded.constData(), R_OK | W_OK) != 0 && errno == EACCES;
    facts.held = HeldByLockFile(target.device) || HeldByLockFile(device);
    if (!facts.held && !facts.permissionDenied) {
        // No lock file: a holder that takes none may still have made the line exclusive.
        const int fd = ::open(encoded.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
        else
            facts.held = errno == EBUSY;
    }
    return facts;
}

void OpenPort(TComPort &port, const TPortTarget &target)
{
    if (target.isPath)
        port.SetDevicePath(target.device);
    else
        port.SetPortName(target.name);
    try {
        port.Open();
    } catch (const TError &e) {
        const TPortFacts facts = GatherPortFacts(target);
        throw TCliFailure(kExitUsage,
                          PortProblemMessage(ClassifyPortProblem(facts), target, e.Message()));
    }
}

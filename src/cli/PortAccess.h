// SPDX-License-Identifier: MIT
// Which device a --port argument names, and why a port could not be opened, in words a
// technician can act on: a port that is not there, one another program holds, or one the user
// may not open (the dialout group).
#pragma once

#include <QString>

class TComPort;

struct TPortTarget
{
    QString label;  // how messages name the port: the argument as given
    QString name;   // the port name to open (empty for a path, or a name that names no port)
    QString device; // the file that is opened: a virtual port's link, /dev/NAME or the path
    bool isPath = false;
};

// A name as the window shows it (resolved as the window resolves it, virtual ports first), or
// an absolute device path taken as it stands.
TPortTarget ResolvePortArgument(const QString &argument);

enum class TPortProblem
{
    Missing,      // no such device (or a virtual port whose far end is gone)
    NoPermission, // the user may not open the device
    Held,         // another program has the port open
    Unusable,     // anything else: not a serial device, a driver error
};

struct TPortFacts
{
    bool exists = false;           // the device (a link followed to its end) is there
    bool permissionDenied = false; // the user lacks read or write rights to it
    bool held = false;             // another program holds it (lock file or open descriptor)
};

TPortProblem ClassifyPortProblem(const TPortFacts &facts);

// The message for a port that could not be opened; detail is the system's own reason, shown
// where the problem has no words of its own.
QString PortProblemMessage(TPortProblem problem, const TPortTarget &target, const QString &detail);

// Looks at the device after a failed open.
TPortFacts GatherPortFacts(const TPortTarget &target);

// Opens the port through port; on failure throws TCliFailure (exit 2) with the message.
void OpenPort(TComPort &port, const TPortTarget &target);

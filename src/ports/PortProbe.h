// SPDX-License-Identifier: MIT
// The probe that decides whether a serial port is listed: the device must be present and
// usable, and no program (this one included) may hold it.
//
// On Linux and other Unix systems a port counts as held when
//  - a live process owns the serial lock file of its path or of the path the link points
//    to ("LCK.." + the path without a leading /dev/, every '/' made '_', in the lock folder);
//    Qt SerialPort takes this lock for every port it opens, other serial programs take the
//    same;
//  - (Linux) any process whose /proc entry we can read has the device open, found by its
//    device number as `fuser` would. This is what catches a holder that takes no lock, and it
//    is the only test that works for root, whom TIOCEXCL does not stop. A process that also
//    holds the master side of the same pseudo-terminal is the far end of that line (a
//    simulator keeping its line up), not a user of the port, and does not count; this
//    program's own descriptors always count;
//  - opening the device fails, EBUSY from TIOCEXCL among other reasons.
// The open is O_RDWR | O_NOCTTY | O_NONBLOCK and is closed again at once; line settings and
// modem lines are not touched, so a port in use by someone else is not disturbed. An open
// 8250-type port whose driver found no UART behind it (type PORT_UNKNOWN) is left out, as is
// anything that is not a terminal device.
//
// On Windows the probe opens "\\.\COMn" for exclusive read and write and closes it again.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// For each device path, whether the port is present, usable and free. Held processes are
// looked up once for the whole set.
std::vector<bool> ProbePorts(const QStringList &devicePaths);

// Whether another program holds the port, as the probe decides it: a process has the device
// open (the far end of a pseudo-terminal excepted; this program's own descriptors count), or
// a live process owns the lock file of the path or of the device a link leads to. The port is
// then not listed, and the serial port refuses to open it.
bool PortHeld(const QString &devicePath);

// Whether the path (links followed) is a terminal device node that may be a serial line.
// Nothing is opened.
bool IsSerialDeviceNode(const QString &path);

// The name Qt SerialPort and other serial programs give the lock file of a device path.
QString SerialLockFileName(const QString &devicePath);

// The folders where serial lock files are looked for, in the order programs choose them.
QStringList SerialLockFolders();

// Whether a live process owns the lock file of this exact path (no link is followed).
bool HeldByLockFile(const QString &devicePath);

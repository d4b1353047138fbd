// SPDX-License-Identifier: MIT
// Finds the serial ports that are present and free.
//
// Linux: the tty devices that udev knows (read from sysfs, so it works without a udev
// daemon) which have a parent device bound to a driver, that is real serial hardware rather
// than virtual consoles; then every entry of the virtual ports folder. Other systems: the
// ports Qt SerialPort reports, then (Unix) the virtual ports folder. Every candidate goes
// through the probe of PortProbe.h; what fails it, or cannot be read, is left out without a
// word.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

struct TPortCandidate
{
    QString name;        // the port name of the entry (ttyUSB0, sim0, COM3)
    QString devicePath;  // what the probe opens
    QString description; // the entry's description
};

// The serial hardware the system reports, before the probe, in enumeration order.
std::vector<TPortCandidate> HardwarePortCandidates();

// The entries of a virtual ports folder, before the probe, ordered by name; every one is
// described as "Virtual serial port". Entries whose name cannot stand in a port-list entry
// are left out.
std::vector<TPortCandidate> VirtualPortCandidates(const QString &folder);

// The hardware candidates, minus those whose name a virtual port takes over (the port name
// opens the virtual port then), followed by the virtual ones.
std::vector<TPortCandidate> MergePortCandidates(std::vector<TPortCandidate> hardware,
                                                std::vector<TPortCandidate> virtualPorts);

// The port-list entries of every serial port that is present and free, in enumeration order:
// the port name, two blanks and a description.
QStringList EnumerateSerialPorts();

// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

// The port-list entries of every serial port that is present and free, in enumeration order:
// the port name, two blanks and a description.
QStringList EnumerateSerialPorts();

// SPDX-License-Identifier: MIT
// Where serial ports live on this platform.
//
// A port name is the device's file name under /dev (ttyUSB0, ttyACM0, ttyS0). Every entry of
// the virtual ports folder (tandor/ports under the per-user runtime folder) is a port too: its
// name is the entry's file name and its device is the entry itself. tandor-sim publishes its
// pseudo-terminal there. On Windows the names are COM + number and the device \\.\COMn.
#pragma once

#include <QString>

#include <optional>

// The virtual ports folder, or empty text when the platform has no per-user runtime folder.
QString VirtualPortsFolder();

// The device to open for a port name: the virtual port of that name when the folder holds
// one, else /dev/ + name (\\.\ + name on Windows).
QString PortDevicePath(const QString &portName);

// The port to open for a saved port name: the name itself, or on Windows COM and the number
// that follows the first three characters (which are not looked at); none when that is no
// number.
std::optional<QString> PortToOpen(const QString &savedName);

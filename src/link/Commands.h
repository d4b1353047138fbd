// SPDX-License-Identifier: MIT
// The bytes of every command the program sends to the interface. Each is ASCII digits and
// commas ended by one CR, and goes to the serial port in a single write so that commands from
// different places never mix on the line. No command is answered by an acknowledgement.
#pragma once

#include <QByteArray>

#include <cstdint>

namespace Commands {

QByteArray RequestVersion();                // "11\r"  answered by reply 11
QByteArray RequestSerial();                 // "8\r"   answered by reply 8
QByteArray StatusReports(bool on);          // "2,1\r" / "2,0\r"  the unsolicited reply 2
QByteArray RequestParam(int32_t n);         // "3,n\r" answered by reply 3
QByteArray SendParam(int32_t n, int32_t v); // "4,n,v\r"
QByteArray RevertChanges();                 // "5,2,1\r"
QByteArray StoreChanges();                  // "6,2,1\r"

} // namespace Commands

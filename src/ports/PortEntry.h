// SPDX-License-Identifier: MIT
// The text of a port-list entry and the pieces it is made of.
//
// An entry is the port name, two blanks and a description. The port selection takes the
// port name back as everything before the first blank, so a name never contains a blank and
// the two blanks always follow it, even when the description is empty.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The entry text for a port: name + two blanks + description.
QString PortEntryText(const QString &portName, const QString &description);

// The port name of an entry: everything before its first blank (the whole text when it has
// none).
QString PortNameOfEntry(const QString &entry);

// The entry that shows a saved port name, or -1: names are compared with blanks and control
// characters (codes 0 to 32) trimmed from both ends; of several matches the last one counts.
int FindPortEntry(const QStringList &entries, const QString &portName);

// A Windows friendly name with its own port reference removed: the 7 characters starting at
// the first "(COM" are deleted (fewer when the text ends sooner). Nothing else is trimmed, so
// "USB Serial Port (COM3)" gives "USB Serial Port " with its blank, and "Port (COM123)" keeps
// the closing parenthesis. A name without "(COM" is returned whole.
QString StripComReference(const QString &friendlyName);

// A text read from the system: up to its first NUL, control characters (line breaks, tabs)
// turned into blanks, blanks trimmed from both ends.
QString SystemText(const QByteArray &raw);

// Undoes udev's encoding of property values (ID_MODEL_ENC and friends): "\xNN" is the byte
// NN, everything else is taken as it stands; the bytes are UTF-8.
QString DecodeUdevText(const QByteArray &encoded);

// What udev and sysfs tell about a serial device, as far as it helps describe it. Any field
// may be empty: without a running udev daemon only the sysfs attributes and the driver are
// known.
struct TPortDescriptionSource
{
    QString modelFromDatabase;  // ID_MODEL_FROM_DATABASE (hardware database)
    QString vendorFromDatabase; // ID_VENDOR_FROM_DATABASE
    QString modelEncoded;       // ID_MODEL_ENC, already decoded (the USB product string)
    QString model;              // ID_MODEL (blanks replaced by '_' by udev)
    QString usbModel;           // ID_USB_MODEL
    QString sysfsProduct;       // "product" attribute of the USB device
    QString driver;             // driver of the parent device (ftdi_sio, cdc_acm, serial)
};

// The description shown for a serial device: the hardware database's model name, followed
// by its vendor name in parentheses when both are known (the vendor alone when only it is);
// else the USB product string; else the driver name.
QString PortDescription(const TPortDescriptionSource &source);

// Whether a name can stand as the port name of an entry: a plain file name, not empty and
// without blanks, control characters or '/' (the port selection cuts the entry at the first
// blank, and a port name is opened as a file of /dev or of the virtual ports folder).
bool IsListablePortName(const QString &portName);

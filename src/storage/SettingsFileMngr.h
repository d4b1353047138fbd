// SPDX-License-Identifier: MIT
// Reads and writes settings files: one parameter set (the sixteen values) and the firmware
// version it belongs to, as a pretty-printed JSON object in UTF-8 with a byte-order mark.
//
// The manager keeps the document of the file last read (or an empty one), its own copy of the
// parameter table and the firmware version, and converts between the three. Pairs of a loaded
// file that are not parameters stay in the document, ahead of the parameters, and are written
// back by every later save until the next file is read.
#pragma once

#include "core/SettingsTable.h"
#include "storage/JsonDocument.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>

class TSettingsFileMngr
{
public:
    // The largest settings file read (1 MiB, some two thousand times a parameter set).
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

    // An empty document, a zeroed table copy (no names, no setters) and firmware 0.0.
    TSettingsFileMngr();
    ~TSettingsFileMngr();
    TSettingsFileMngr(const TSettingsFileMngr &) = delete;
    TSettingsFileMngr &operator=(const TSettingsFileMngr &) = delete;

    // Shows one of the manager's messages in a modal box and returns when the user closed it.
    std::function<void(const QString &text)> ShowMessage;

    // Takes a copy of the whole table and the firmware version, and puts their eighteen pairs
    // at the end of the document (each replacing the first pair of its key).
    void UpdateSettings(const TSettingsData &new_data, int32_t major, int32_t minor);
    // Writes the document. The file is replaced as a whole or not at all: a failed save is
    // reported ("when writing") and leaves the file that was there. A link to a regular file
    // is written through; a device, fifo or socket (or a link to one) is never written.
    void SaveSettingsToFile(const QString &FileName);
    // Reads the file into the document, the values of the table copy and the firmware version.
    // A missing file is created from the document with an empty "Contacts" array added.
    // Throws TError when the file exists but cannot be opened or read, is larger than
    // kMaxFileSize, or memory runs out while it is read (nothing changes in these cases), and
    // when it nests deeper than the parser allows (the pairs read before stay in the document).
    void ReadSettingsfromFile(const QString &FileName);
    // What ReadSettingsfromFile does with the bytes of a file it has read: decodes them, reads
    // the document, the values of the table copy and the firmware version. FileName only names
    // the file in messages; nothing is opened or written. Throws TError on nesting that is too
    // deep, as ReadSettingsfromFile does.
    void ReadSettingsFromBytes(const QByteArray &bytes, const QString &FileName);
    TSettingsRec GetSetting(int ix) const;
    int32_t GetMajor() const { return fFirmwareMajor; }
    int32_t GetMinor() const { return fFirmwareMinor; }

    const TJsonValue &Document() const { return fSettingsJSON; }

private:
    // Writes the document to the file atomically; empty on success, else the I/O error text.
    QString WriteDocument(const QString &FileName) const;
    void Show(const QString &text) const;
    void ReadValues(const QString &FileName);
    // Takes the values and the firmware version from the document when none of them needs a
    // message; false (with some of them taken) when one does.
    bool TakeValuesQuietly();

    TJsonValue fSettingsJSON = TJsonValue::Object();
    QString fSettingsFilename;
    TSettingsData fSettings;
    // The table's names as document keys (UTF-8), and the names they were made from.
    QString fKeySources[TSettingsData::Count + 1];
    std::string fKeys[TSettingsData::Count + 1];
    int32_t fFirmwareMajor = 0;
    int32_t fFirmwareMinor = 0;
};

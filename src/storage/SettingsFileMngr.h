// SPDX-License-Identifier: MIT
// Reads and writes settings files: one parameter set (the sixteen values) and the firmware
// version it belongs to, as a pretty-printed JSON object in UTF-8 with a byte-order mark.
#pragma once

#include "core/SettingsTable.h"

#include <QString>

#include <cstdint>
#include <functional>

class TSettingsFileMngr
{
public:
    TSettingsFileMngr();
    ~TSettingsFileMngr();
    TSettingsFileMngr(const TSettingsFileMngr &) = delete;
    TSettingsFileMngr &operator=(const TSettingsFileMngr &) = delete;

    // Shows one of the manager's messages in a modal box and returns when the user closed it.
    std::function<void(const QString &text)> ShowMessage;

    void UpdateSettings(const TSettingsData &new_data, int32_t major, int32_t minor);
    void SaveSettingsToFile(const QString &FileName);
    // Throws TError when the file exists but cannot be opened or read.
    void ReadSettingsfromFile(const QString &FileName);
    TSettingsRec GetSetting(int ix) const;
    int32_t GetMajor() const { return fFirmwareMajor; }
    int32_t GetMinor() const { return fFirmwareMinor; }

private:
    QString fSettingsFilename;
    TSettingsData fSettings;
    int32_t fFirmwareMajor = 0;
    int32_t fFirmwareMinor = 0;
};

// SPDX-License-Identifier: MIT
#include "storage/SettingsFileMngr.h"

TSettingsFileMngr::TSettingsFileMngr() = default;

TSettingsFileMngr::~TSettingsFileMngr() = default;

void TSettingsFileMngr::UpdateSettings(const TSettingsData &new_data, int32_t major, int32_t minor)
{
    fSettings = new_data;
    fFirmwareMajor = major;
    fFirmwareMinor = minor;
}

void TSettingsFileMngr::SaveSettingsToFile(const QString &) {}

void TSettingsFileMngr::ReadSettingsfromFile(const QString &FileName)
{
    fSettingsFilename = FileName;
}

TSettingsRec TSettingsFileMngr::GetSetting(int ix) const
{
    return fSettings[ix];
}

// SPDX-License-Identifier: MIT
// Parameter sets as tests compare them: the sixteen values of a window's table, and what a
// settings file on disk holds, read back by a manager of its own.
#pragma once

#include "core/SettingsTable.h"
#include "storage/SettingsFileMngr.h"
#include "ui/TandorMain.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QString>

#include <array>
#include <cstdint>

using TValues = std::array<int32_t, TSettingsData::Count>; // parameters 1..16

struct TReadSet
{
    TValues values{};
    int32_t major = 0;
    int32_t minor = 0;
};

inline TReadSet ReadSet(const QString &path)
{
    TSettingsData table;
    InitSettingsTable(table, nullptr);
    TSettingsFileMngr manager;
    manager.ShowMessage = [](const QString &text) {
        ADD_FAILURE() << text.toStdString();
    };
    manager.UpdateSettings(table, 0, 0);
    EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
    manager.ReadSettingsfromFile(path);
    TReadSet set;
    for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix)
        set.values[ix - 1] = manager.GetSetting(ix).value;
    set.major = manager.GetMajor();
    set.minor = manager.GetMinor();
    return set;
}

inline TValues TableValues(const TMerrowMainForm &form)
{
    TValues values{};
    for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix)
        values[ix - 1] = form.SettingsData[ix].value;
    return values;
}

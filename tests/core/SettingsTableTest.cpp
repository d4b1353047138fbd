// SPDX-License-Identifier: MIT
#include "core/SettingsTable.h"
#include "core/Rounding.h"

#include <gtest/gtest.h>

TEST(SettingsTable, InitFillsNamesRangesAndSettersInWireOrder)
{
    TSettingsData data;
    std::vector<std::pair<int, int>> calls;
    InitSettingsTable(data, [&](int index) -> tProc {
        return [&calls, index](int32_t val, int32_t) {
            calls.emplace_back(index, val);
        };
    });
    const char *names[] = {"RaAtype",       "RaBtype",       "GainA",        "GainB",
                           "LevelDetGainA", "LevelDetGainB", "DetLevelA",    "DetLevelB",
                           "PTTOnDelayA",   "PTTOnDelayB",   "PTTOffDelayA", "PTTOffDelayB",
                           "ComType_A",     "ComType_B",     "Baud_A",       "Baud_B"};
    const int maxima[] = {4,    4,    20,   20,   255, 255, 1023, 1023,
                          1500, 1500, 1500, 1500, 1,   1,   2304, 2304};
    for (int i = 1; i <= 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(data[i].ParamName, QString::fromLatin1(names[i - 1]));
        EXPECT_EQ(data[i].Maxval, maxima[i - 1]);
        EXPECT_EQ(data[i].Minval, 0);
        EXPECT_EQ(data[i].value, 0);
        ASSERT_TRUE(data[i].Setter);
        data[i].Setter(7, i);
    }
    ASSERT_EQ(calls.size(), 16u);
    EXPECT_EQ(calls.front(), std::make_pair(1, 7));
    EXPECT_EQ(calls.back(), std::make_pair(16, 7));
}

TEST(SettingsTable, LookupIsExactAndCaseSensitive)
{
    TSettingsData data;
    InitSettingsTable(data, nullptr);
    EXPECT_EQ(FindSettingIndex(data, QStringLiteral("GainA")), 3);
    EXPECT_EQ(FindSettingIndex(data, QStringLiteral("Baud_B")), 16);
    EXPECT_EQ(FindSettingIndex(data, QStringLiteral("gaina")), 0);
    EXPECT_EQ(FindSettingIndex(data, QStringLiteral("GainA ")), 0);
    EXPECT_EQ(FindSettingIndex(data, QString()), 0);
}

TEST(SettingsTable, WritesOutsideTheTableNeverReachIt)
{
    TSettingsData data;
    InitSettingsTable(data, nullptr);
    for (int bad : {0, -1, 17, 1 << 30}) {
        data[bad].value = 99;
        data[bad].ParamName = QStringLiteral("GainA");
        EXPECT_EQ(data[bad].value, 0) << bad;
    }
    for (int i = 1; i <= 16; ++i)
        EXPECT_EQ(data[i].value, 0);
    EXPECT_EQ(FindSettingIndex(data, QStringLiteral("GainA")), 3);
}

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    const std::pair<double, int> cases[] = {{0.5, 0},    {1.5, 2},   {2.5, 2},         {-2.5, -2},
                                            {10.5, 10},  {37.5, 38}, {262.5, 262},     {2.4999, 2},
                                            {2.5001, 3}, {-0.4, 0},  {1e12, INT32_MAX}};
    for (auto [x, expected] : cases)
        EXPECT_EQ(RoundHalfEven(x), expected) << x;
}

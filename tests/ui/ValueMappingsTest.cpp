// SPDX-License-Identifier: MIT
#include "core/ValueMappings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

struct TLevelCase
{
    const char *name;
    int position;
    int32_t level;
};

// V at the points the scale is anchored on: the top, the default position, the middle, the
// bottom, and one past the last position the formula is written for.
const TLevelCase kLevelCases[] = {
    {"top", 0, 1018},      {"defaultPosition", 255, 256}, {"middle", 512, 64},
    {"lastStep", 1023, 4}, {"bottom", 1024, 4},           {"nearTop", 131, 501},
};

TEST(DetectionLevel, PositionGivesLevelOnTheLogScale)
{
    for (const TLevelCase &c : kLevelCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DetLevelFromPosition(c.position), c.level);
    }
}

TEST(DetectionLevel, LevelGivesPosition)
{
    struct
    {
        const char *name;
        int32_t level;
        int32_t position;
    } const cases[] = {
        {"zeroSitsAtTheTop", 0, 0},
        {"negativeSitsAtTheTopLikeZero", -5, 0},
        {"defaultLevel", 256, 255},
        {"middle", 64, 511},
        {"betweenScaleSteps", 500, 131},
        {"lowest", 4, 1022},
        // Below the scale: past the bottom of the slider, which clamps it.
        {"one", 1, 1278},
        {"two", 2, 1150},
        {"three", 3, 1075},
        // Above the scale: past the top.
        {"top", 1018, 0},
        {"aboveTop", 1023, -1},
        {"largest", std::numeric_limits<int32_t>::max(), -2687},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DetLevelToPosition(c.level), c.position);
    }
}

// Whatever position the user leaves the thumb at, the level the interface then reports back
// puts the thumb at a position that sends that same level: a reply never changes the level.
TEST(DetectionLevel, LevelSurvivesTheTripThroughTheSlider)
{
    for (int p = 0; p <= 1024; ++p) {
        const int32_t level = DetLevelFromPosition(p);
        ASSERT_GE(level, 4) << p;
        ASSERT_LE(level, 1018) << p;
        const int back = std::clamp(DetLevelToPosition(level), 0, 1024);
        ASSERT_EQ(DetLevelFromPosition(back), level) << p;
    }
}

TEST(GainLabel, ShowsDecibelsWithoutSpaceBeforeTheUnit)
{
    struct
    {
        int32_t value;
        const char *text;
    } const cases[] = {
        {0, "Gain= -35dB"},
        {11, "Gain= -2dB"},
        {12, "Gain= 1dB"},
        {20, "Gain= 25dB"},
        {999, "Gain= 2962dB"},
        {-1, "Gain= -38dB"},
        // A value from a settings file can be anything; the label must not wrap around.
        {std::numeric_limits<int32_t>::max(), "Gain= 6442450906dB"},
        {std::numeric_limits<int32_t>::min(), "Gain= -6442450979dB"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(GainLabelText(c.value), QString::fromLatin1(c.text));
    }
}

TEST(DetectorGainLabel, ShowsTheBareNumber)
{
    EXPECT_EQ(DetGainLabelText(0), QStringLiteral("Gain= 0"));
    EXPECT_EQ(DetGainLabelText(255), QStringLiteral("Gain= 255"));
    EXPECT_EQ(DetGainLabelText(300), QStringLiteral("Gain= 300"));
    EXPECT_EQ(DetGainLabelText(-1), QStringLiteral("Gain= -1"));
}

TEST(DelayLabels, TwoLinesSplitByOneCarriageReturn)
{
    EXPECT_EQ(PttOnDelayText(250), QStringLiteral("PTT On filter\rdelay= 250ms"));
    EXPECT_EQ(PttOffDelayText(250), QStringLiteral("PTT Off hold\rdelay= 250ms"));
    EXPECT_EQ(PttOnDelayText(15), QStringLiteral("PTT On filter\rdelay= 15ms"));
    EXPECT_EQ(PttOffDelayText(0), QStringLiteral("PTT Off hold\rdelay= 0ms"));
    EXPECT_FALSE(PttOnDelayText(1).contains(QLatin1Char('\n')));
}

TEST(Delays, SliderCountsTensOfMilliseconds)
{
    struct
    {
        int32_t ms;
        int position;
    } const cases[] = {{0, 0},    {9, 0},      {10, 1},     {15, 1},
                       {250, 25}, {1500, 150}, {1505, 150}, {-15, -1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.ms);
        EXPECT_EQ(DelayToPosition(c.ms), c.position);
    }
    EXPECT_EQ(DelayFromPosition(0), 0);
    EXPECT_EQ(DelayFromPosition(1), 10);
    EXPECT_EQ(DelayFromPosition(150), 1500);
}

TEST(BaudTable, PositionsAndValuesBothWays)
{
    const int32_t values[] = {48, 96, 192, 384, 576, 1152};
    for (int position = 0; position < 6; ++position) {
        SCOPED_TRACE(position);
        ASSERT_TRUE(BaudValueForPosition(position).has_value());
        EXPECT_EQ(*BaudValueForPosition(position), values[position]);
        EXPECT_EQ(BaudPositionForValue(values[position]), position);
    }
    // "Invalid" and no selection name no rate.
    EXPECT_FALSE(BaudValueForPosition(kBaudInvalidPosition).has_value());
    EXPECT_FALSE(BaudValueForPosition(-1).has_value());
    EXPECT_FALSE(BaudValueForPosition(7).has_value());
    for (int32_t other : {0, 47, 49, 1151, 2304, -48, 115200}) {
        SCOPED_TRACE(other);
        EXPECT_EQ(BaudPositionForValue(other), kBaudInvalidPosition);
    }
}

TEST(RadioTypes, OnlyThePeiTypesAreSpottedAsPei)
{
    const bool pei[] = {false, false, true, true, true, false};
    for (int type = 0; type < 6; ++type)
        EXPECT_EQ(IsPeiRadioType(type), pei[type]) << type;
    EXPECT_FALSE(IsPeiRadioType(-1));
}

TEST(PeiState, FieldNamesTheStateText)
{
    const struct
    {
        const char *field;
        const char *text;
    } cases[] = {
        {"0", "PEI not used"},
        {"1", "PEI link not established"},
        {"2", "PEI is working"},
        {"3", ""},
        {"", ""},
        {"01", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PeiStateText(QString::fromLatin1(c.field)), QString::fromLatin1(c.text))
            << c.field;
}

} // namespace

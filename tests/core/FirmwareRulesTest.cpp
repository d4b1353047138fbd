// SPDX-License-Identifier: MIT
// What each firmware version allows, version by version.
#include "core/FirmwareRules.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace Firmware;

struct TVersionRow
{
    int major;
    int minor;
    std::optional<TRadioTypeRanges> ranges;
    std::optional<bool> squelchHigh;
    std::optional<QString> comType0;
    bool fixed; // com type and baud snap to RS232 / 38400
};

TEST(FirmwareRules, EachVersionAllowsItsChoices)
{
    const TRadioTypeRanges oneZero{{2, 2}, {1, 1}};
    const TRadioTypeRanges oneSix{{0, 3}, {0, 3}};
    const TRadioTypeRanges oneSeven{{0, 4}, {0, 4}};
    const TRadioTypeRanges two{{0, 5}, {0, 5}};
    const TVersionRow rows[] = {
        {1, 0, oneZero, false, "TTL 5V", true},
        {1, 5, oneZero, false, "TTL 5V", false},
        {1, 6, oneSix, false, "TTL 5V", false},
        {1, 7, oneSeven, false, "TTL 5V", false},
        {1, 12, oneSeven, false, "TTL 5V", false},
        {2, 0, two, true, "TTL 3V", false},
        {2, 10, two, true, "TTL 3V", false},
        // A negative minor still names the family (lists and names) but no range of it.
        {1, -1, std::nullopt, false, "TTL 5V", false},
        {2, -1, std::nullopt, true, "TTL 3V", false},
        // An unknown family changes nothing.
        {3, 0, std::nullopt, std::nullopt, std::nullopt, false},
        {0, 9, std::nullopt, std::nullopt, std::nullopt, false},
        {-1, 0, std::nullopt, std::nullopt, std::nullopt, false},
    };
    for (const TVersionRow &r : rows) {
        SCOPED_TRACE(testing::Message() << r.major << "." << r.minor);
        EXPECT_EQ(RadioTypeRanges(r.major, r.minor), r.ranges);
        EXPECT_EQ(OffersSquelchHigh(r.major), r.squelchHigh);
        EXPECT_EQ(FirstComTypeName(r.major), r.comType0);
        EXPECT_EQ(FixesComTypeAndBaud(r.major, r.minor), r.fixed);
    }
}

TEST(FirmwareRules, RadioTypesEndInTheSquelchHighType)
{
    const QStringList names = RadioTypeNames();
    ASSERT_EQ(names.size(), 6);
    EXPECT_EQ(names.at(kSquelchHighPosition),
              QStringLiteral("Radio with Squelch High output for RX detect"));
    EXPECT_EQ(names.at(0), QStringLiteral("Radio with AF level sense for RX detect "));
}

TEST(FirmwareRules, VersionTextShowsMajorDotMinor)
{
    EXPECT_EQ(VersionText(2, 0), QStringLiteral("Firmware version: 2.0"));
    EXPECT_EQ(VersionText(1, 12), QStringLiteral("Firmware version: 1.12"));
    EXPECT_EQ(VersionText(1, -1), QStringLiteral("Firmware version: 1.-1"));
}

} // namespace

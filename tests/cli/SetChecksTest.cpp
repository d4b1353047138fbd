// SPDX-License-Identifier: MIT
// The checks tandor-cli makes before it sends a set: a file that lacks parameters, values a
// firmware does not take, and the differences between two sets.
#include "cli/SetChecks.h"
#include "storage/JsonReader.h"

#include <gtest/gtest.h>

namespace {

// Radio types that every firmware takes, com type RS232 at 38400 baud: a set every version
// accepts, which the cases below change one value at a time.
constexpr TParamValues kUniversal = {2,   1,   10,  10,  128, 128, 400, 400,
                                     100, 100, 500, 500, 1,   1,   384, 384};

TEST(SetChecks, ValuesAFirmwareDoesNotTakeAreRefusedByName)
{
    struct Case
    {
        const char *why;
        int major;
        int minor;
        int index; // the value changed, 0 for none
        int32_t value;
        std::vector<int> refused; // indices refused
        const char *reason;       // a piece of the first reason
    };
    const Case cases[] = {
        {"the universal set under 2.0", 2, 0, 0, 0, {}, ""},
        {"the universal set under 1.0", 1, 0, 0, 0, {}, ""},
        {"the universal set under 1.6", 1, 6, 0, 0, {}, ""},
        {"1.0 takes only type 2 on side A", 1, 0, 1, 0, {1}, "takes only 2"},
        {"1.5 takes only type 1 on side B", 1, 5, 2, 2, {2}, "takes only 1"},
        {"1.6 takes types up to 3", 1, 6, 1, 3, {}, ""},
        {"1.6 refuses type 4", 1, 6, 2, 4, {2}, "firmware 1.6, which takes 0 to 3"},
        {"1.7 takes type 4", 1, 7, 1, 4, {}, ""},
        {"1.9 refuses the squelch-high type 5", 1, 9, 1, 5, {1}, "0 to 4"},
        {"2.0 takes type 5", 2, 0, 2, 5, {}, ""},
        {"2.3 refuses type 6", 2, 3, 1, 6, {1}, "0 to 5"},
        {"a negative type", 2, 0, 1, -1, {1}, "radio type -1"},
        {"an unknown firmware keeps the ranges the window starts with", 3, 0, 1, 5, {}, ""},
        {"a negative minor names no range either", 1, -1, 2, 5, {}, ""},
        {"1.0 talks RS232 only", 1, 0, 13, 0, {13}, "RS232 only"},
        {"1.0 talks 38400 baud only", 1, 0, 16, 96, {16}, "38400 baud only (384), not 96"},
        {"1.1 lets com type and baud be chosen", 1, 1, 15, 96, {}, ""},
        {"2.0 lets com type and baud be chosen", 2, 0, 14, 0, {}, ""},
        {"gain above its range", 2, 0, 3, 21, {3}, "21 is outside 0 to 20"},
        {"a negative delay", 2, 0, 10, -10, {10}, "outside 0 to 1500"},
        {"the highest detection level", 2, 0, 8, 1023, {}, ""},
        {"detection level past it", 2, 0, 7, 1024, {7}, "1024"},
        {"baud past its range under 1.0 is one refusal", 1, 0, 15, 9999, {15}, "outside"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.why);
        TParamValues values = kUniversal;
        if (c.index)
            values[size_t(c.index - 1)] = c.value;
        const std::vector<TValueRefusal> refused = CheckValuesForFirmware(values, c.major, c.minor);
        std::vector<int> indices;
        for (const TValueRefusal &r : refused)
            indices.push_back(r.index);
        EXPECT_EQ(indices, c.refused);
        if (!refused.empty()) {
            EXPECT_TRUE(refused.front().reason.contains(QString::fromLatin1(c.reason)))
                << refused.front().reason.toStdString();
            EXPECT_TRUE(RefusalLine(refused.front()).startsWith(ParamName(c.index) + ": "));
        }
    }
}

TEST(SetChecks, AFileMustNameEveryParameterWithANumber)
{
    struct Case
    {
        const char *why;
        const char *json;
        std::vector<int> missing;
    };
    const Case cases[] = {
        {"all sixteen",
         R"({"RaAtype":0,"RaBtype":0,"GainA":1,"GainB":1,"LevelDetGainA":1,"LevelDetGainB":1,
             "DetLevelA":1,"DetLevelB":1,"PTTOnDelayA":1,"PTTOnDelayB":1,"PTTOffDelayA":1,
             "PTTOffDelayB":1,"ComType_A":1,"ComType_B":1,"Baud_A":96,"Baud_B":96})",
         {}},
        {"empty", "", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        {"a lower-case key is another key",
         R"({"raatype":0,"RaBtype":0,"GainA":1,"GainB":1,"LevelDetGainA":1,"LevelDetGainB":1,
             "DetLevelA":1,"DetLevelB":1,"PTTOnDelayA":1,"PTTOnDelayB":1,"PTTOffDelayA":1,
             "PTTOffDelayB":1,"ComType_A":1,"ComType_B":1,"Baud_A":96,"Baud_B":96})",
         {1}},
        {"cut off after GainA",
         R"({"RaAtype":0,"RaBtype":0,"GainA":1,"GainB)",
         {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<int> indices;
        for (const TValueRefusal &m : MissingParameters(ReadJsonObject(c.json).document))
            indices.push_back(m.index);
        EXPECT_EQ(indices, c.missing);
    }
}

TEST(SetChecks, DifferencesComeInTableOrderWithBothValues)
{
    TParamValues unit = kUniversal;
    EXPECT_TRUE(CompareSets(kUniversal, unit).empty());
    unit[15] = 96;
    unit[2] = 7;
    unit[0] = -1; // a reply that did not read
    const std::vector<TSetDifference> expected = {{1, 2, -1}, {3, 10, 7}, {16, 384, 96}};
    EXPECT_EQ(CompareSets(kUniversal, unit), expected);
    EXPECT_EQ(DifferenceLine(expected[1]), QStringLiteral("GainA: file 10, unit 7"));
    EXPECT_EQ(DifferenceLine(expected[2]), QStringLiteral("Baud_B: file 384, unit 96"));
}

} // namespace

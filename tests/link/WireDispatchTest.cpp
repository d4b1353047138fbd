// SPDX-License-Identifier: MIT
#include "link/ReplyDispatch.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct DispatchCase
{
    const char *name;
    QByteArray line;
    TReplyKind kind;
};

void PrintTo(const DispatchCase &c, std::ostream *os)
{
    *os << c.name;
}

class ReplyClassifying : public testing::TestWithParam<DispatchCase>
{};

TEST_P(ReplyClassifying, ByIdAndExactFieldCount)
{
    TWireFields fields;
    EXPECT_EQ(ClassifyLine(GetParam().line, fields), GetParam().kind);
}

using K = TReplyKind;

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplyClassifying,
    testing::Values(
        DispatchCase{"Status", "2,512,0,1,0,0,1", K::Status},
        DispatchCase{"StatusWithBlanks", "2, 512, 0, 1, 0, 0, 1", K::Status},
        DispatchCase{"StatusShort", "2,512,0,1,0,0", K::None},
        DispatchCase{"StatusTrailingComma", "2,512,0,1,0,0,1,", K::None},
        DispatchCase{"Param", "3,5,7", K::Param},
        DispatchCase{"ParamUnreadableValueStillDispatches", "3,5,abc", K::Param},
        DispatchCase{"ParamLong", "3,5,7,9", K::None}, DispatchCase{"Serial", "8,AB123", K::Serial},
        DispatchCase{"SerialQuoted", "8,\"AB 123\"", K::Serial},
        DispatchCase{"SerialSplitByBlank", "8,AB 123", K::None},
        DispatchCase{"Version", "11,2,3", K::Version},
        DispatchCase{"VersionShort", "11,2", K::None}, DispatchCase{"Pei", "15,2,9", K::PeiStatus},
        DispatchCase{"IdInHex", "$F,1,2", K::PeiStatus},
        DispatchCase{"IdWithPlus", "+3,1,2", K::Param},
        DispatchCase{"CommandEchoWrite", "4,9,250", K::None},
        DispatchCase{"CommandEchoRevert", "5,2,1", K::None},
        DispatchCase{"CommandEchoStore", "6,2,1", K::None},
        DispatchCase{"UnknownId", "7,1,2", K::None},
        DispatchCase{"NonIntegerIdIsZero", "x,1", K::None}, DispatchCase{"ZeroId", "0,1", K::None},
        DispatchCase{"SingleField", "OK", K::None}, DispatchCase{"IdAlone", "11", K::None},
        DispatchCase{"Blank", "   ", K::None}, DispatchCase{"Empty", "", K::None}),
    [](const testing::TestParamInfo<DispatchCase> &info) { return std::string(info.param.name); });

} // namespace

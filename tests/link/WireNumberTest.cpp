// SPDX-License-Identifier: MIT
#include "link/WireNumber.h"

#include <gtest/gtest.h>

#include <QString>

#include <optional>
#include <ostream>

namespace {

struct NumberCase
{
    const char *text;
    std::optional<int32_t> value;
};

void PrintTo(const NumberCase &c, std::ostream *os)
{
    *os << c.text;
}

class WireNumberReading : public testing::TestWithParam<NumberCase>
{};

TEST_P(WireNumberReading, BytesAndTextAgree)
{
    const NumberCase &c = GetParam();
    EXPECT_EQ(ReadWireInt(QByteArrayView(c.text)), c.value);
    EXPECT_EQ(ReadWireInt(QString::fromLatin1(c.text)), c.value);
    EXPECT_EQ(ReadWireInt(QByteArrayView(c.text), -7), c.value.value_or(-7));
}

const std::optional<int32_t> kNone;

INSTANTIATE_TEST_SUITE_P(
    Cases, WireNumberReading,
    testing::Values(NumberCase{"0", 0}, NumberCase{"512", 512}, NumberCase{"-1", -1},
                    NumberCase{"+15", 15}, NumberCase{"007", 7},
                    NumberCase{"2147483647", INT32_MAX}, NumberCase{"-2147483648", INT32_MIN},
                    NumberCase{"2147483648", kNone}, NumberCase{"-2147483649", kNone},
                    NumberCase{"99999999999999999999", kNone}, NumberCase{"$1F", 31},
                    NumberCase{"$ff", 255}, NumberCase{"x10", 16}, NumberCase{"X10", 16},
                    NumberCase{"0x10", 16}, NumberCase{"0XaB", 171}, NumberCase{"-$10", -16},
                    NumberCase{"+0x7FFFFFFF", INT32_MAX}, NumberCase{"$80000000", kNone},
                    NumberCase{"-$80000000", INT32_MIN}, NumberCase{"$FFFFFFFF", kNone},
                    NumberCase{"", kNone}, NumberCase{"-", kNone}, NumberCase{"+", kNone},
                    NumberCase{"$", kNone}, NumberCase{"0x", kNone}, NumberCase{"x", kNone},
                    NumberCase{"--1", kNone}, NumberCase{"1-", kNone}, NumberCase{" 1", kNone},
                    NumberCase{"1 ", kNone}, NumberCase{"12a", kNone}, NumberCase{"1f", kNone},
                    NumberCase{"$1G", kNone}, NumberCase{"1.0", kNone}, NumberCase{"abc", kNone},
                    NumberCase{"$-1", kNone}, NumberCase{"0$1", kNone}));

TEST(WireNumberReadingText, DigitsOfOtherScriptsDoNotRead)
{
    EXPECT_EQ(ReadWireInt(QStringView(u"\u0661\u0662")), std::nullopt); // Arabic-Indic 1 2
    EXPECT_EQ(ReadWireInt(QStringView(u"\uff11")), std::nullopt);       // fullwidth 1
    EXPECT_EQ(ReadWireInt(QByteArrayView("\xb9")), std::nullopt);       // Latin-1 superscript 1
}

} // namespace

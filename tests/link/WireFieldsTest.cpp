// SPDX-License-Identifier: MIT
#include "link/FieldSplitter.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <ostream>
#include <string>

namespace {

QStringList Split(const QByteArray &line)
{
    TWireFields fields;
    const qsizetype n = SplitFields(line, fields);
    QStringList out;
    for (qsizetype i = 0; i < n; ++i)
        out << fields.Text(i);
    return out;
}

struct SplitCase
{
    const char *name;
    QByteArray line;
    QStringList fields;
};

void PrintTo(const SplitCase &c, std::ostream *os)
{
    *os << c.name;
}

class FieldSplitting : public testing::TestWithParam<SplitCase>
{};

TEST_P(FieldSplitting, GivesTheFields)
{
    EXPECT_EQ(Split(GetParam().line), GetParam().fields);
}

using L = QStringList;

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldSplitting,
    testing::Values(
        SplitCase{"Status", "2,512,0,1,0,0,1", L{"2", "512", "0", "1", "0", "0", "1"}},
        SplitCase{"BlanksAfterCommasAreSkipped", "2, 512, 0", L{"2", "512", "0"}},
        SplitCase{"BlanksBeforeCommasAreSkipped", "2 ,512\t,0", L{"2", "512", "0"}},
        SplitCase{"LeadingBlanksAreSkipped",
                  " \t\x01"
                  "3,1",
                  L{"3", "1"}},
        SplitCase{"TrailingBlanksAddNothing", "3,1 \t", L{"3", "1"}},
        SplitCase{"BlankAloneSeparates", "2 10", L{"2", "10"}},
        SplitCase{"ControlCharactersAreBlanks",
                  "2\x1f"
                  "10",
                  L{"2", "10"}},
        SplitCase{"TwoCommasGiveAnEmptyField", "3,,5", L{"3", "", "5"}},
        SplitCase{"TrailingCommaAddsAnEmptyField", "3,5,", L{"3", "5", ""}},
        SplitCase{"CommaThenBlankAtEndAddsNothing", "3,5, ", L{"3", "5"}},
        SplitCase{"CommasOnly", ",,", L{"", "", ""}}, SplitCase{"LeadingComma", ",5", L{"", "5"}},
        SplitCase{"QuotedFieldKeepsBlanksAndCommas", "8,\"AB 1,2\"", L{"8", "AB 1,2"}},
        SplitCase{"DoubledQuoteIsOneQuote", "8,\"a\"\"b\"", L{"8", "a\"b"}},
        SplitCase{"EmptyQuotedField", "8,\"\"", L{"8", ""}},
        SplitCase{"MissingClosingQuoteRunsToTheEnd", "8,\"AB 12", L{"8", "AB 12"}},
        SplitCase{"QuoteDoubledAtTheEndOfAnOpenField", "8,\"AB\"\"", L{"8", "AB\""}},
        SplitCase{"TextRightAfterClosingQuoteIsANewField", "8,\"AB\"CD", L{"8", "AB", "CD"}},
        SplitCase{"QuoteInsideAnUnquotedFieldIsOrdinary", "8,A\"B", L{"8", "A\"B"}},
        SplitCase{"TextEndsAtFirstNul", QByteArray("3,5\0,7", 6), L{"3", "5"}},
        SplitCase{"NulFirstGivesNothing",
                  QByteArray("\0"
                             "2,1",
                             4),
                  L{}},
        SplitCase{"Empty", "", L{}}, SplitCase{"BlanksOnly", " \t\x01\x1f ", L{}},
        SplitCase{"SingleWord", "OK", L{"OK"}},
        SplitCase{"HighBytesAreLatin1", "8,\xe9\xff", L{"8", QString::fromUtf8("\u00e9\u00ff")}},
        SplitCase{"Byte127IsNotBlank",
                  "8,a\x7f"
                  "b",
                  L{"8", "a\x7f"
                         "b"}}),
    [](const testing::TestParamInfo<SplitCase> &info) { return std::string(info.param.name); });

TEST(FieldSplittingReuse, ALongerLineThenAShorterOneLeavesNothingBehind)
{
    TWireFields fields;
    SplitFields("8,\"a long serial number\",x,y,z", fields);
    ASSERT_EQ(SplitFields("3,5,7", fields), 3);
    EXPECT_EQ(fields[0], "3");
    EXPECT_EQ(fields[1], "5");
    EXPECT_EQ(fields[2], "7");
}

TEST(FieldSplittingReuse, ManyFieldsAreAllKept)
{
    QByteArray line;
    for (int i = 0; i < 100; ++i)
        line += QByteArray::number(i) + ',';
    const QStringList fields = Split(line);
    ASSERT_EQ(fields.size(), 101);
    EXPECT_EQ(fields[99], "99");
    EXPECT_EQ(fields[100], "");
}

} // namespace

// SPDX-License-Identifier: MIT
#include "link/LineFramer.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Feeds each string as one receive event and collects the lines handed out.
struct TFramed
{
    TLineFramer framer;
    QByteArray buffer;
    QList<QByteArray> lines;

    void Event(const QByteArray &bytes)
    {
        framer.Feed(buffer, bytes.constData(), bytes.size(),
                    [this](const QByteArray &line) { lines.append(line); });
    }
};

struct FramingCase
{
    const char *name;
    std::vector<std::string> events;
    QList<QByteArray> lines;
    QByteArray rest; // the partial line left in the buffer
};

void PrintTo(const FramingCase &c, std::ostream *os)
{
    *os << c.name;
}

class LineFraming : public testing::TestWithParam<FramingCase>
{};

TEST_P(LineFraming, HandsOutEachLineOnce)
{
    const FramingCase &c = GetParam();
    TFramed f;
    for (const std::string &e : c.events)
        f.Event(QByteArray(e.data(), qsizetype(e.size())));
    EXPECT_EQ(f.lines, c.lines);
    EXPECT_EQ(f.buffer, c.rest);
}

const QByteArray kLine = "3,5,7";

INSTANTIATE_TEST_SUITE_P(
    Cases, LineFraming,
    testing::Values(
        FramingCase{"Cr", {"3,5,7\r"}, {kLine}, {}}, FramingCase{"Lf", {"3,5,7\n"}, {kLine}, {}},
        FramingCase{"CrLf", {"3,5,7\r\n"}, {kLine}, {}},
        FramingCase{"LfCr", {"3,5,7\n\r"}, {kLine}, {}},
        FramingCase{"CrCrGivesTwoEmptyLines", {"\r\r"}, {"", ""}, {}},
        FramingCase{"LfLfGivesTwoEmptyLines", {"\n\n"}, {"", ""}, {}},
        FramingCase{"CrLfCrLfIsOneLineEnd", {"3,5,7\r\n\r\n"}, {kLine}, {}},
        FramingCase{"LineSplitAcrossEvents", {"3,5", ",7\r"}, {kLine}, {}},
        FramingCase{"CrLfTornAcrossEventsAddsAnEmptyLine", {"3,5,7\r", "\n"}, {kLine, ""}, {}},
        FramingCase{"LfCrTornAcrossEventsAddsAnEmptyLine", {"3,5,7\n", "\r"}, {kLine, ""}, {}},
        FramingCase{
            "ByteAfterLineEndClearsFlags", {"a\rb\nc\r\nd\n\re\r"}, {"a", "b", "c", "d", "e"}, {}},
        FramingCase{"PartialLineStaysInBuffer", {"2,1\r2,51"}, {"2,1"}, "2,51"},
        FramingCase{"NulAndHighBytesAreOrdinary",
                    {std::string("8,\0\xff\x80", 5) + "\r"},
                    {QByteArray("8,\0\xff\x80", 5)},
                    {}}),
    [](const testing::TestParamInfo<FramingCase> &info) { return std::string(info.param.name); });

TEST(LineFramingLimit, LineOfMaximumLengthIsKept)
{
    TFramed f;
    const QByteArray longest(TLineFramer::kMaxLineLength, 'a');
    f.Event(longest.left(100));
    f.Event(longest.mid(100) + "\r2,1\r");
    ASSERT_EQ(f.lines.size(), 2);
    EXPECT_EQ(f.lines[0], longest);
    EXPECT_EQ(f.lines[1], "2,1");
}

TEST(LineFramingLimit, OverlongLineIsDroppedUpToItsEndAndTheNextLinesSurvive)
{
    TFramed f;
    // One byte too many, spread over many events, with no line end for a long time.
    const QByteArray chunk(1000, 'x');
    for (int i = 0; i < 50; ++i) {
        f.Event(chunk);
        EXPECT_LE(f.buffer.size(), TLineFramer::kMaxLineLength);
        EXPECT_LE(f.buffer.capacity(), 2 * TLineFramer::kMaxLineLength);
    }
    EXPECT_TRUE(f.framer.Dropping());
    f.Event("tail\r\n3,5,7\r");
    EXPECT_EQ(f.lines, QList<QByteArray>{kLine});
    EXPECT_FALSE(f.framer.Dropping());
    EXPECT_TRUE(f.buffer.isEmpty());
}

TEST(LineFramingLimit, DropStartsAtTheFirstByteBeyondTheLimit)
{
    TFramed f;
    f.Event(QByteArray(TLineFramer::kMaxLineLength + 1, 'a') + "\r" + "11,2,0\r");
    EXPECT_EQ(f.lines, QList<QByteArray>{"11,2,0"});
}

TEST(LineFramingErrors, LineWhoseHandlingFailsStaysInTheBuffer)
{
    TLineFramer framer;
    QByteArray buffer;
    const QByteArray bytes = "3,5,7\r2,1\r";
    qsizetype consumed = 0;
    framer.BeginEvent();
    try {
        for (; consumed < bytes.size(); ++consumed)
            framer.Push(buffer, bytes[consumed],
                        [](const QByteArray &) { throw std::runtime_error("handler"); });
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(consumed, 5); // stopped at the first line end
    EXPECT_EQ(buffer, kLine);
}

} // namespace

// SPDX-License-Identifier: MIT
// The connection state machine's tick, row by row: what a tick in each state does with the
// port open or closed, the silent-line count and the loading bar of the first cycle.
#include "link/ConnectionStep.h"

#include "link/Commands.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace Connection;
using Cmd = TConnectionCommand;
using Cur = TConnectionCursor;

// The expected tick, spelled as short as the table needs.
struct TExpected
{
    tComStates state;
    Cmd command;
    int param = 0;
    Cur cursor = Cur::Unchanged;
    const char *connection = nullptr; // lbIntfConnection's new text; null: untouched
    bool clearVersion = false;
    TLoadingBarView bar = {};
    int silentTicks = 1;
    bool resumeReading = false;
    const char *port = nullptr; // lbComIsOpen's new text; null: untouched
};

struct StepCase
{
    const char *name;
    TConnectionInput in;
    TExpected out;
};

void PrintTo(const StepCase &c, std::ostream *os)
{
    *os << c.name;
}

const char *const kClosed = "COM-port is closed";
const char *const kNotConn = "Not Connected to interface";
const char *const kConn = "Connected to interface";
const TLoadingBarView kHidden{kNoLoading, false, 0};

class ConnectionTick : public testing::TestWithParam<StepCase>
{};

TEST_P(ConnectionTick, GivesNextStateAndActions)
{
    const StepCase &c = GetParam();
    const TConnectionActions a = ConnectionStep(c.in);
    EXPECT_EQ(a.state, c.out.state);
    EXPECT_EQ(a.command, c.out.command);
    if (c.out.command == Cmd::RequestParam) {
        EXPECT_EQ(a.param, c.out.param);
    }
    EXPECT_EQ(a.cursor, c.out.cursor);
    EXPECT_EQ(a.connectionLabel,
              c.out.connection ? std::optional<QString>(c.out.connection) : std::nullopt);
    EXPECT_EQ(a.portLabel, c.out.port ? std::optional<QString>(c.out.port) : std::nullopt);
    EXPECT_EQ(a.clearVersion, c.out.clearVersion);
    EXPECT_EQ(a.loadingBar, c.out.bar);
    EXPECT_EQ(a.silentTicks, c.out.silentTicks);
    EXPECT_EQ(a.resumeReading, c.out.resumeReading);
}

// Rows: state, port open, silent ticks, cycle position -> the tick.
INSTANTIATE_TEST_SUITE_P(
    Cases, ConnectionTick,
    testing::Values(
        // Port closed: whatever the state, the tick says so and tries to open it.
        StepCase{"ClosedPortIsOpened",
                 {csNotOpened, false, 0, kNoLoading},
                 {csNotOpened, Cmd::OpenPort, 0, Cur::Arrow, kNotConn, true, kHidden, 1, false,
                  kClosed}},
        StepCase{"PortClosedUnderAParameterCycleStartsOver",
                 {csReqPrm5, false, 0, 4},
                 {csNotOpened, Cmd::OpenPort, 0, Cur::Arrow, kNotConn, true, kHidden, 1, false,
                  kClosed}},
        StepCase{"PortClosedWhileSendingSettings",
                 {csSendingSettings, false, 3, kNoLoading},
                 {csNotOpened, Cmd::OpenPort, 0, Cur::Arrow, kNotConn, true, kHidden, 4, false,
                  kClosed}},
        // A line error leaves the port open: the version is asked for again at once.
        StepCase{"PortErrorWithPortOpenAsksForVersion",
                 {csPortError, true, 2, 6},
                 {csNoData, Cmd::RequestVersion, 0, Cur::Arrow, kNotConn, true, kHidden, 3}},
        StepCase{"PortErrorWithPortClosedOpensIt",
                 {csPortError, false, 2, kNoLoading},
                 {csNotOpened, Cmd::OpenPort, 0, Cur::Arrow, kNotConn, true, kHidden, 3, false,
                  kClosed}},
        // An open port with no answer yet asks for the version at every tick.
        StepCase{"NotConnectedAsksForVersion",
                 {csNotConnected, true, 0, kNoLoading},
                 {csNotConnected, Cmd::RequestVersion, 0, Cur::Arrow, kNotConn, true, kHidden}},
        StepCase{"NoDataAsksForVersion",
                 {csNoData, true, 8, kNoLoading},
                 {csNoData, Cmd::RequestVersion, 0, Cur::Arrow, kNotConn, true, kHidden, 8, true}},
        // The version reply arrived: ask for the serial number, the bar appears empty.
        StepCase{"VersionReceivedAsksForSerial",
                 {csVersionReceived, true, 0, kNoLoading},
                 {csReqSerial, Cmd::RequestSerial, 0, Cur::Wait, kConn, false, {0, true, 0}}},
        StepCase{
            "SerialRequestedStartsStatusReports",
            {csReqSerial, true, 1, 0},
            {csReqPrm1, Cmd::StartStatusReports, 0, Cur::Unchanged, kConn, false, {0, true, 0}, 2}},
        // The first parameter cycle fills the bar.
        StepCase{"FirstParameterOfFirstCycle",
                 {csReqPrm1, true, 0, 0},
                 {csReqPrm2, Cmd::RequestParam, 1, Cur::Unchanged, nullptr, false, {1, true, 0}}},
        StepCase{"SecondParameterOfFirstCycle",
                 {csReqPrm2, true, 0, 1},
                 {csReqPrm3, Cmd::RequestParam, 2, Cur::Unchanged, nullptr, false, {2, true, 1}}},
        StepCase{
            "FifteenthParameterOfFirstCycle",
            {csReqPrm15, true, 0, 14},
            {csReqPrm16, Cmd::RequestParam, 15, Cur::Unchanged, nullptr, false, {15, true, 14}}},
        // The sixteenth wraps round to the first, gives back the arrow; the bar is full for
        // this one tick and then done.
        StepCase{"LastParameterOfFirstCycleFillsBar",
                 {csReqPrm16, true, 0, 15},
                 {csReqPrm1,
                  Cmd::RequestParam,
                  16,
                  Cur::Arrow,
                  nullptr,
                  false,
                  {kLoadingDone, true, 15}}},
        StepCase{"BarGoesAfterTheFullTick",
                 {csReqPrm1, true, 0, kLoadingDone},
                 {csReqPrm2, Cmd::RequestParam, 1, Cur::Unchanged, nullptr, false, kHidden}},
        // The endless cycle after the first shows no bar.
        StepCase{"LaterCycleShowsNoBar",
                 {csReqPrm7, true, 5, kNoLoading},
                 {csReqPrm8, Cmd::RequestParam, 7, Cur::Unchanged, nullptr, false, kHidden, 6}},
        StepCase{"LastParameterOfLaterCycle",
                 {csReqPrm16, true, 0, kNoLoading},
                 {csReqPrm1, Cmd::RequestParam, 16, Cur::Arrow, nullptr, false, kHidden}},
        // The two states in which a tick does nothing but count.
        StepCase{"StatusReceivedDoesNothing",
                 {csStatusReceived, true, 0, kNoLoading},
                 {csStatusReceived, Cmd::None, 0, Cur::Unchanged, nullptr, false, kHidden}},
        StepCase{"SendingSettingsDoesNothing",
                 {csSendingSettings, true, 0, 3},
                 {csSendingSettings, Cmd::None, 0, Cur::Unchanged, nullptr, false, {3, true, 2}}},
        // The silent-line count: the eighth silent tick starts the handshake again, reading
        // resumed; from then on it stays at eight and every tick asks for the version.
        StepCase{"SeventhSilentTickStillCycles",
                 {csReqPrm4, true, 6, kNoLoading},
                 {csReqPrm5, Cmd::RequestParam, 4, Cur::Unchanged, nullptr, false, kHidden, 7}},
        StepCase{"EighthSilentTickRestartsHandshake",
                 {csReqPrm4, true, 7, 3},
                 {csNoData, Cmd::RequestVersion, 0, Cur::Arrow, kNotConn, true, kHidden, 8, true}},
        StepCase{"SilentLineWithVersionReceivedIsNoData",
                 {csVersionReceived, true, 8, kNoLoading},
                 {csNoData, Cmd::RequestVersion, 0, Cur::Arrow, kNotConn, true, kHidden, 8, true}},
        StepCase{"SilentClosedPortIsNotOpened",
                 {csReqPrm4, false, 7, kNoLoading},
                 {csNotOpened, Cmd::OpenPort, 0, Cur::Arrow, kNotConn, true, kHidden, 8, true,
                  kClosed}}),
    [](const testing::TestParamInfo<StepCase> &info) { return std::string(info.param.name); });

// A whole first connection, tick by tick, as the window runs it with the interface answering
// the version (and never falling silent).
TEST(ConnectionRun, FirstConnectionFillsBarOnceThenCycles)
{
    TConnectionInput in{csNotConnected, true, 0, kNoLoading};
    in = {ConnectionStep(in).state, true, 0, kNoLoading};
    in.state = csVersionReceived; // the reply arrives between ticks
    std::vector<int> offsets;
    std::vector<int> requested;
    for (int tick = 0; tick < 2 + 16 + 16; ++tick) {
        const TConnectionActions a = ConnectionStep(in);
        offsets.push_back(a.loadingBar.visible ? a.loadingBar.offset : -1);
        if (a.command == Cmd::RequestParam)
            requested.push_back(a.param);
        in = {a.state, true, 0, a.loadingBar.loadingParam};
    }
    std::vector<int> expectOffsets{0, 0};
    for (int n = 1; n <= 16; ++n)
        expectOffsets.push_back(n - 1);
    expectOffsets.resize(expectOffsets.size() + 16, -1);
    EXPECT_EQ(offsets, expectOffsets);
    std::vector<int> expectRequested;
    for (int round = 0; round < 2; ++round)
        for (int n = 1; n <= 16; ++n)
            expectRequested.push_back(n);
    EXPECT_EQ(requested, expectRequested);
}

TEST(ConnectionCommandBytes, AreTheWireCommands)
{
    EXPECT_EQ(CommandBytes(Cmd::RequestVersion, 0), Commands::RequestVersion());
    EXPECT_EQ(CommandBytes(Cmd::RequestSerial, 0), Commands::RequestSerial());
    EXPECT_EQ(CommandBytes(Cmd::StartStatusReports, 0), Commands::StatusReports(true));
    EXPECT_EQ(CommandBytes(Cmd::RequestParam, 9), QByteArray("3,9\r"));
    EXPECT_TRUE(CommandBytes(Cmd::OpenPort, 0).isEmpty());
    EXPECT_TRUE(CommandBytes(Cmd::None, 0).isEmpty());
}

TEST(ConnectionTexts, AreTheLabelsTexts)
{
    EXPECT_EQ(PortOpenText(), QStringLiteral("COM-port is open"));
    EXPECT_EQ(PortErrorText(), QStringLiteral("COM-port Error"));
}

} // namespace

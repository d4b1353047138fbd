// SPDX-License-Identifier: MIT
// The simulator's interface model without a device: its answers, its parameter sets and the
// state file, and the radio model behind the status reports.
#include "SimInterface.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

TSimConfig Config(const QString &stateFile = QString())
{
    TSimConfig config;
    config.firmwareMajor = 2;
    config.firmwareMinor = 1;
    config.serial = QStringLiteral("TS 42");
    config.stateFile = stateFile;
    return config;
}

TEST(SimInterface, AnswersEveryRequestOfTheProtocol)
{
    struct Case
    {
        const char *command;
        const char *answer;
    };
    const Case cases[] = {
        {"11", "11,2,1\r\n"},
        {"8", "8,\"TS 42\"\r\n"},
        {"3,1", "3,1,0\r\n"},
        {"3,7", "3,7,300\r\n"},
        {"3,16", "3,16,96\r\n"},
        {" 3 , 9 ", "3,9,100\r\n"}, // blanks around fields
        {"3,0", ""},
        {"3,17", ""},
        {"3", ""},
        {"3,x", ""},
        {"4,3,12", ""}, // writes, store, revert and status switching are not answered
        {"6,2,1", ""},
        {"5,2,1", ""},
        {"2,1", ""},
        {"12", ""},
        {"OK", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        TSimInterface unit(Config());
        EXPECT_EQ(unit.HandleCommand(c.command), QByteArray(c.answer));
    }
}

TEST(SimInterface, FramesCommandsEndedByCrLfOrBoth)
{
    TSimInterface unit(Config());
    EXPECT_EQ(unit.Receive("1"), "");
    EXPECT_EQ(unit.Receive("1\r"), "11,2,1\r\n");
    EXPECT_EQ(unit.Receive("3,7\r\n3,8\n\r\r"), "3,7,300\r\n3,8,300\r\n");
}

TEST(SimInterface, QuotesAFieldTheWayTheHostSplitsItBack)
{
    struct Case
    {
        const char *text;
        const char *field;
    };
    const Case cases[] = {
        {"AB123", "AB123"}, {"AB 123", "\"AB 123\""},       {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"a,b", "\"a,b\""}, {"tab\there", "\"tab\there\""}, {"", "\"\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TSimInterface::QuoteField(QString::fromLatin1(c.text)), QByteArray(c.field));
    }
}

TEST(SimInterface, WritesChangeTheWorkingSetWithinRangeOnly)
{
    TSimInterface unit(Config());
    unit.Receive("4,3,17\r4,1,5\r");
    EXPECT_EQ(unit.Working(3), 17);
    EXPECT_EQ(unit.Working(1), 5);
    // Out of range or no such parameter: dropped.
    unit.Receive("4,1,6\r4,13,2\r4,3,-1\r4,17,1\r4,0,1\r4,9,1501\r");
    EXPECT_EQ(unit.Working(1), 5);
    EXPECT_EQ(unit.Working(13), 0);
    EXPECT_EQ(unit.Working(3), 17);
    EXPECT_EQ(unit.Working(9), 100);
    EXPECT_EQ(unit.HandleCommand("3,3"), "3,3,17\r\n");
}

TEST(SimInterface, RevertGoesBackToTheStoredSetAndAStoreSurvivesARestart)
{
    const QString stateFile = TestHome() + QStringLiteral("/sim-state.json");
    QFile::remove(stateFile);
    {
        TSimInterface unit(Config(stateFile));
        QString error;
        ASSERT_TRUE(unit.LoadState(&error)) << error.toStdString(); // no file yet: factory set
        unit.Receive("4,3,17\r");
        unit.Receive("5,2,1\r");
        EXPECT_EQ(unit.Working(3), 11) << "revert";
        unit.Receive("4,3,17\r4,7,512\r6,2,1\r");
        EXPECT_EQ(unit.Stored(3), 17);
        unit.Receive("4,3,2\r"); // not stored
    }
    TSimInterface restarted(Config(stateFile));
    QString error;
    ASSERT_TRUE(restarted.LoadState(&error)) << error.toStdString();
    EXPECT_EQ(restarted.HandleCommand("3,3"), "3,3,17\r\n");
    EXPECT_EQ(restarted.HandleCommand("3,7"), "3,7,512\r\n");

    // A state file that is not one is reported and leaves the factory set.
    QFile bad(stateFile);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("{ not json");
    bad.close();
    TSimInterface broken(Config(stateFile));
    EXPECT_FALSE(broken.LoadState(&error));
    EXPECT_EQ(broken.Working(3), 11);
}

TEST(SimInterface, SilentOrIgnoringTheSerialRequestItAnswersNothingOfThat)
{
    TSimConfig config = Config();
    config.ignoreSerial = true;
    TSimInterface unit(config);
    EXPECT_EQ(unit.HandleCommand("8"), "");
    EXPECT_EQ(unit.HandleCommand("11"), "11,2,1\r\n");

    unit.Receive("2,1\r");
    unit.SetSilent(true);
    EXPECT_EQ(unit.HandleCommand("11"), "");
    EXPECT_EQ(unit.Tick(100), "");
    unit.Receive("4,3,5\r"); // still taken in
    unit.SetSilent(false);
    EXPECT_EQ(unit.HandleCommand("3,3"), "3,3,5\r\n");
}

TEST(SimInterface, StatusReportsOnlyWhileSwitchedOn)
{
    TSimInterface unit(Config());
    EXPECT_EQ(unit.Tick(100), "");
    unit.Receive("2,1\r");
    const QByteArray report = unit.Tick(100);
    ASSERT_TRUE(report.startsWith("2,"));
    EXPECT_TRUE(report.endsWith("\r\n"));
    EXPECT_EQ(report.count(','), 6);
    unit.Receive("2,0\r");
    EXPECT_EQ(unit.Tick(100), "");
}

// Radio A receives; the interface keys radio B after A's PTT-on delay and lets it go after
// A's PTT-off delay. With level sense, what counts is the level against A's threshold.
TEST(SimInterface, ReceptionOnOneRadioKeysTheOtherAfterTheDelays)
{
    TSimInterface unit(Config());
    unit.Receive("2,1\r4,9,200\r4,11,300\r"); // PTTOnDelayA 200 ms, PTTOffDelayA 300 ms
    unit.SetCarrier(0, true, 60000);
    unit.SetCarrier(1, false, 60000);
    unit.Tick(50);
    ASSERT_TRUE(unit.Radio(0).rx) << "level " << unit.Radio(0).level;
    EXPECT_GT(unit.Radio(0).level, unit.Working(TSimInterface::pDetLevelA));
    EXPECT_FALSE(unit.Radio(1).keyed);
    unit.Tick(100);
    EXPECT_FALSE(unit.Radio(1).keyed);
    unit.Tick(100); // 250 ms of reception
    EXPECT_TRUE(unit.Radio(1).keyed);
    EXPECT_TRUE(unit.StatusReport().endsWith(",1,0,0,1\r\n"));

    unit.SetCarrier(0, false, 60000);
    unit.Tick(50);
    EXPECT_FALSE(unit.Radio(0).rx);
    unit.Tick(200);
    EXPECT_TRUE(unit.Radio(1).keyed);
    unit.Tick(100); // 350 ms without reception
    EXPECT_FALSE(unit.Radio(1).keyed);

    // A threshold above anything the radio brings: no reception, no keying.
    unit.Receive("4,5,0\r"); // LevelDetGainA 0
    unit.SetCarrier(0, true, 60000);
    unit.Tick(500);
    EXPECT_FALSE(unit.Radio(0).rx);
    EXPECT_FALSE(unit.Radio(1).keyed);
}

TEST(SimInterface, SquelchAndPeiRadiosDetectReceptionWithoutTheLevel)
{
    TSimInterface unit(Config());
    unit.Receive("2,1\r4,5,0\r4,6,0\r"); // no level at all on either radio
    unit.Receive("4,1,1\r");             // A: squelch output
    unit.SetCarrier(0, true, 60000);
    unit.Tick(50);
    EXPECT_TRUE(unit.Radio(0).rx);

    // B: PEI radio. Its link comes up first; only then is reception told over it.
    unit.Receive("4,2,3\r");
    unit.SetCarrier(1, true, 60000);
    const QByteArray first = unit.Tick(50);
    EXPECT_TRUE(first.contains("15,0,1\r\n")) << first.constData();
    EXPECT_FALSE(unit.Radio(1).rx);
    QByteArray later;
    for (int i = 0; i < 40; ++i)
        later += unit.Tick(50);
    EXPECT_TRUE(later.contains("15,0,2\r\n")) << later.constData();
    EXPECT_EQ(unit.Radio(1).peiState, 2);
    EXPECT_TRUE(unit.Radio(1).rx || unit.Radio(1).keyed);
}

} // namespace

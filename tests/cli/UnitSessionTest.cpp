// SPDX-License-Identifier: MIT
// The session's side of the conversation against a scripted unit on a pseudo-terminal:
// replies among noise, in pieces and out of turn, fields that do not read, a unit that stops
// answering and a line that goes away.
#include "cli/UnitSession.h"
#include "cli/CliFailure.h"
#include "link/ComPort.h"
#include "support/PtyPeer.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// A unit played by the test: every command line it receives goes to answer, whose result is
// written back at once. The peer is polled from the message loop the session runs.
class ScriptedUnit
{
public:
    explicit ScriptedUnit(TPtyPeer &peer) : fPeer(peer)
    {
        QObject::connect(&fPoll, &QTimer::timeout, [this] { Poll(); });
        fPoll.start(2);
    }

    std::function<QByteArray(const QByteArray &command)> answer;
    QList<QByteArray> commands;

private:
    void Poll()
    {
        fPending += fPeer.ReadAvailable();
        qsizetype end;
        while ((end = fPending.indexOf('\r')) >= 0) {
            const QByteArray command = fPending.left(end);
            fPending.remove(0, end + 1);
            commands << command;
            if (answer)
                fPeer.Write(answer(command));
        }
    }

    TPtyPeer &fPeer;
    QTimer fPoll;
    QByteArray fPending;
};

class UnitSessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(peer.IsValid());
        port.SetPortName(peer.PortName());
        port.Open();
    }

    TPtyPeer peer{QStringLiteral("us0")};
    TComPort port;
    ScriptedUnit unit{peer};
};

// The answer of a well-behaved unit of firmware 1.7 whose parameter n holds 10 * n.
QByteArray Plain(const QByteArray &command)
{
    if (command == "11")
        return "11,1,7\r\n";
    if (command == "8")
        return "8,\"TS 42\"\r\n";
    if (command.startsWith("3,"))
        return "3," + command.mid(2) + ',' + QByteArray::number(command.mid(2).toInt() * 10) +
               "\r\n";
    return {};
}

TEST_F(UnitSessionTest, RepliesAmongReportsInPiecesAndOutOfTurnAreTakenByTheirIndex)
{
    unit.answer = [](const QByteArray &command) -> QByteArray {
        if (!command.startsWith("3,"))
            return Plain(command);
        const int n = command.mid(2).toInt();
        // A status and a PEI report first, the reply to the previous request once more, a
        // line end of every kind, and parameter 5 as text that does not read.
        QByteArray out = "2,100,200,1,0,0,1\n15,2,0\r";
        if (n > 1)
            out += "3," + QByteArray::number(n - 1) + ",999\n\r";
        if (n == 5)
            return out + "3,5,abc\r\n";
        return out + Plain(command).chopped(2) + (n % 2 ? "\n" : "\r");
    };
    TUnitSession session(port, QStringLiteral("us0"), 2000);
    session.Connect();
    EXPECT_EQ(session.Major(), 1);
    EXPECT_EQ(session.Minor(), 7);
    const TParamValues values = session.ReadParameters();
    for (int n = 1; n <= 16; ++n) {
        SCOPED_TRACE(n);
        // A stale reply that arrives after its request was answered never counts for the next.
        EXPECT_EQ(values[size_t(n - 1)], n == 5 ? -1 : 10 * n);
    }
    ASSERT_TRUE(session.Serial().has_value());
    EXPECT_EQ(*session.Serial(), QStringLiteral("TS 42"));

    QList<QByteArray> expected = {"11", "8"};
    for (int n = 1; n <= 16; ++n)
        expected << "3," + QByteArray::number(n);
    EXPECT_EQ(unit.commands, expected);
}

TEST_F(UnitSessionTest, TheVersionIsAskedAgainAtTheWindowsPaceUntilTheUnitAnswers)
{
    int asked = 0;
    unit.answer = [&](const QByteArray &command) -> QByteArray {
        if (command == "11" && ++asked < 4)
            return {};
        return Plain(command);
    };
    QElapsedTimer clock;
    clock.start();
    TUnitSession session(port, QStringLiteral("us0"), 3000);
    session.Connect();
    EXPECT_EQ(asked, 4);
    // Three unanswered ticks of 150 ms.
    EXPECT_GE(clock.elapsed(), 3 * TUnitSession::kRetryMs - 20);
}

TEST_F(UnitSessionTest, AUnitThatStopsAnsweringEndsWithExitThreeNamingTheRequest)
{
    unit.answer = [](const QByteArray &command) -> QByteArray {
        return command == "3,4" ? QByteArray() : Plain(command);
    };
    TUnitSession session(port, QStringLiteral("us0"), 300);
    session.Connect();
    QElapsedTimer clock;
    clock.start();
    try {
        session.ReadParameters();
        ADD_FAILURE() << "no timeout";
    } catch (const TCliFailure &f) {
        EXPECT_EQ(f.ExitCode(), 3);
        EXPECT_TRUE(f.Message().contains(QStringLiteral("the request for GainB within 0.3 s")))
            << f.Message().toStdString();
    }
    EXPECT_GE(clock.elapsed(), 290);
    EXPECT_EQ(unit.commands.last(), QByteArray("3,4"));
}

TEST_F(UnitSessionTest, ALineThatGoesAwayEndsWithExitTwo)
{
    unit.answer = [this](const QByteArray &command) -> QByteArray {
        if (command == "3,2") {
            peer.CloseMaster();
            return {};
        }
        return Plain(command);
    };
    TUnitSession session(port, QStringLiteral("us0"), 5000);
    session.Connect();
    try {
        session.ReadParameters();
        ADD_FAILURE() << "the session went on without its port";
    } catch (const TCliFailure &f) {
        EXPECT_EQ(f.ExitCode(), 2);
        EXPECT_TRUE(f.Message().contains(QStringLiteral("port us0: closed")))
            << f.Message().toStdString();
    }
    EXPECT_FALSE(port.Active());
}

TEST_F(UnitSessionTest, WritesGoOutInTableOrderAndDrainBeforeTheCaller)
{
    unit.answer = Plain;
    TUnitSession session(port, QStringLiteral("us0"), 2000);
    session.Connect();
    TParamValues values{};
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = int32_t(i) * 3 - 1;
    session.WriteParameters(values);
    session.Send("6,2,1\r");
    session.Drain();
    EXPECT_EQ(port.OutQueue(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return unit.commands.size() == 2 + 17; }, 5000));
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(unit.commands[1 + n],
                  "4," + QByteArray::number(n) + ',' + QByteArray::number(values[size_t(n - 1)]));
    EXPECT_EQ(unit.commands.last(), QByteArray("6,2,1"));
}

} // namespace

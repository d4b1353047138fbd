// SPDX-License-Identifier: MIT
// How tandor-cli names a port it could not open, and which device a --port argument opens.
#include "cli/PortAccess.h"
#include "cli/CliFailure.h"
#include "core/PortPaths.h"
#include "link/ComPort.h"
#include "support/PtyPeer.h"

#include <gtest/gtest.h>

#include <QSerialPort>

namespace {

TEST(PortAccess, TheProblemFollowsWhatWasFoundAtTheDevice)
{
    struct Case
    {
        TPortFacts facts;
        TPortProblem problem;
    };
    const Case cases[] = {
        {{false, false, false}, TPortProblem::Missing},
        {{false, true, true}, TPortProblem::Missing},
        {{true, true, false}, TPortProblem::NoPermission},
        {{true, true, true}, TPortProblem::NoPermission},
        {{true, false, true}, TPortProblem::Held},
        {{true, false, false}, TPortProblem::Unusable},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.problem));
        EXPECT_EQ(ClassifyPortProblem(c.facts), c.problem);
    }
}

TEST(PortAccess, MessagesNameThePortAndWhatToDo)
{
    const TPortTarget named{QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB0"),
                            QStringLiteral("/dev/ttyUSB0"), false};
    const TPortTarget path{QStringLiteral("/dev/ttyS4"), QString(), QStringLiteral("/dev/ttyS4"),
                           true};
    struct Case
    {
        TPortProblem problem;
        const TPortTarget &target;
        QStringList pieces;
    };
    const Case cases[] = {
        {TPortProblem::Missing, named, {"port ttyUSB0 (/dev/ttyUSB0)", "no such port"}},
        {TPortProblem::NoPermission, named, {"ttyUSB0", "permission denied", "dialout"}},
        {TPortProblem::Held, path, {"port /dev/ttyS4:", "in use by another program"}},
        {TPortProblem::Unusable, path, {"port /dev/ttyS4:", "the reason"}},
    };
    for (const Case &c : cases) {
        const QString text = PortProblemMessage(c.problem, c.target, QStringLiteral("the reason"));
        SCOPED_TRACE(text.toStdString());
        for (const QString &piece : c.pieces)
            EXPECT_TRUE(text.contains(piece));
    }
}

TEST(PortAccess, ANameResolvesAsTheWindowResolvesItAndAnAbsolutePathStands)
{
    TPtyPeer peer(QStringLiteral("pa0"));
    ASSERT_TRUE(peer.IsValid());
    const TPortTarget virtualPort = ResolvePortArgument(QStringLiteral("pa0"));
    EXPECT_FALSE(virtualPort.isPath);
    EXPECT_EQ(virtualPort.device, PortDevicePath(QStringLiteral("pa0")));
    EXPECT_EQ(virtualPort.device, peer.LinkPath());

    EXPECT_EQ(virtualPort.name, QStringLiteral("pa0"));

    const TPortTarget hardware = ResolvePortArgument(QStringLiteral("ttyUSB7"));
    EXPECT_EQ(hardware.device, QStringLiteral("/dev/ttyUSB7"));

    const TPortTarget path = ResolvePortArgument(peer.SlavePath());
    EXPECT_TRUE(path.isPath);
    EXPECT_EQ(path.device, peer.SlavePath());
    EXPECT_EQ(path.label, peer.SlavePath());
}

TEST(PortAccess, OpeningAMissingOrHeldPortFailsWithItsReason)
{
    TPtyPeer peer(QStringLiteral("pa1"));
    ASSERT_TRUE(peer.IsValid());
    TComPort port;

    try {
        OpenPort(port, ResolvePortArgument(QStringLiteral("pa-missing")));
        ADD_FAILURE() << "a missing port opened";
    } catch (const TCliFailure &f) {
        EXPECT_EQ(f.ExitCode(), 2);
        EXPECT_TRUE(f.Message().contains(QStringLiteral("no such port")))
            << f.Message().toStdString();
    }

    QSerialPort holder;
    holder.setPortName(peer.SlavePath());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    for (const QString &argument : {QStringLiteral("pa1"), peer.SlavePath()}) {
        SCOPED_TRACE(argument.toStdString());
        try {
            OpenPort(port, ResolvePortArgument(argument));
            ADD_FAILURE() << "a held port opened";
        } catch (const TCliFailure &f) {
            EXPECT_EQ(f.ExitCode(), 2);
            EXPECT_TRUE(f.Message().contains(QStringLiteral("in use by another program")))
                << f.Message().toStdString();
        }
        EXPECT_FALSE(port.Active());
    }
    holder.close();
    OpenPort(port, ResolvePortArgument(QStringLiteral("pa1")));
    EXPECT_TRUE(port.Active());
}

} // namespace

// SPDX-License-Identifier: MIT
#include "ports/PortProbe.h"

#include "PortHolders.h"
#include "support/PtyPeer.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>

#include <cstring>
#include <termios.h>
#include <unistd.h>

namespace {

bool Free(const QString &path)
{
    return ProbePorts({path}).at(0);
}

TEST(SerialLockFile, NameFollowsThePathGiven)
{
    const struct
    {
        QString path;
        QString lockName;
    } cases[] = {
        {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("LCK..ttyUSB0")},
        {QStringLiteral("/dev/pts/3"), QStringLiteral("LCK..pts_3")},
        {QStringLiteral("ttyS0"), QStringLiteral("LCK..ttyS0")},
        {QStringLiteral("/run/user/1000/tandor/ports/sim0"),
         QStringLiteral("LCK.._run_user_1000_tandor_ports_sim0")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SerialLockFileName(c.path), c.lockName) << qPrintable(c.path);
}

// Qt SerialPort takes a lock file for every port it opens; the probe must look for the very
// file Qt makes, under the name Qt gives it, for the link and for its target alike.
TEST(SerialLockFile, IsTheOneQtSerialPortTakes)
{
    TPtyPeer peer(QStringLiteral("lockpeer"));
    ASSERT_TRUE(peer.IsValid());
    for (const QString &path : {peer.LinkPath(), peer.SlavePath()}) {
        SCOPED_TRACE(qPrintable(path));
        ASSERT_FALSE(HeldByLockFile(path));
        QSerialPort port(path);
        ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << qPrintable(port.errorString());
        bool found = false;
        for (const QString &folder : SerialLockFolders())
            found =
                found || QFileInfo::exists(folder + QLatin1Char('/') + SerialLockFileName(path));
        EXPECT_TRUE(found);
        EXPECT_TRUE(HeldByLockFile(path));
        port.close();
        EXPECT_FALSE(HeldByLockFile(path));
    }
}

TEST(SerialLockFile, OfADeadProcessHoldsNothing)
{
    TPtyPeer peer(QStringLiteral("stalepeer"));
    ASSERT_TRUE(peer.IsValid());
    QString folder;
    for (const QString &candidate : SerialLockFolders()) {
        if (QFileInfo(candidate).isDir() && QFileInfo(candidate).isWritable()) {
            folder = candidate;
            break;
        }
    }
    if (folder.isEmpty())
        GTEST_SKIP() << "no writable lock folder";
    QFile lock(folder + QLatin1Char('/') + SerialLockFileName(peer.LinkPath()));
    const auto write = [&](const QByteArray &content) {
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lock.write(content);
        lock.close();
    };
    // Above the largest process id Linux hands out (2^22), so no process has it.
    write("   4999999\n");
    EXPECT_FALSE(HeldByLockFile(peer.LinkPath()));
    EXPECT_TRUE(Free(peer.LinkPath()));
    write(QByteArray::number(qint64(::getppid())) + "\napp\nhost\n");
    EXPECT_TRUE(HeldByLockFile(peer.LinkPath()));
    EXPECT_FALSE(Free(peer.LinkPath()));
    write("not a process id\n");
    EXPECT_FALSE(HeldByLockFile(peer.LinkPath()));
    lock.remove();
}

TEST(PortProbe, FreePseudoTerminalPassesThroughLinkAndTarget)
{
    TPtyPeer peer(QStringLiteral("freepeer"));
    ASSERT_TRUE(peer.IsValid());
    EXPECT_EQ(ProbePorts({peer.LinkPath(), peer.SlavePath()}), (std::vector<bool>{true, true}));
}

// The other program takes neither a lock file nor TIOCEXCL (which root would ignore anyway):
// only its open descriptor, seen through /proc, shows the port in use.
TEST(PortProbe, PortHeldOpenByAnotherProgramIsNotFree)
{
    TPtyPeer peer(QStringLiteral("heldpeer"));
    ASSERT_TRUE(peer.IsValid());
    TOtherProgramHolding holder(peer.SlavePath());
    ASSERT_TRUE(holder.Holding());
    EXPECT_EQ(ProbePorts({peer.LinkPath(), peer.SlavePath()}), (std::vector<bool>{false, false}));
    holder.Stop();
    EXPECT_EQ(ProbePorts({peer.LinkPath(), peer.SlavePath()}), (std::vector<bool>{true, true}));
}

// This program's own open port is in use too, whichever of the two paths it was opened by;
// a lock file alone would only cover the path it was opened through.
TEST(PortProbe, PortThisProgramHasOpenIsNotFree)
{
    TPtyPeer peer(QStringLiteral("ownpeer"));
    ASSERT_TRUE(peer.IsValid());
    QSerialPort port(peer.LinkPath());
    ASSERT_TRUE(port.open(QIODevice::ReadWrite));
    EXPECT_EQ(ProbePorts({peer.LinkPath(), peer.SlavePath()}), (std::vector<bool>{false, false}));
    port.close();
    EXPECT_EQ(ProbePorts({peer.LinkPath(), peer.SlavePath()}), (std::vector<bool>{true, true}));
}

TEST(PortProbe, FarEndKeepingItsSlaveOpenDoesNotHoldThePort)
{
    TFarEndKeepingSlave farEnd;
    ASSERT_FALSE(farEnd.SlavePath().isEmpty());
    EXPECT_TRUE(Free(farEnd.SlavePath()));
    TOtherProgramHolding user(farEnd.SlavePath());
    ASSERT_TRUE(user.Holding());
    EXPECT_FALSE(Free(farEnd.SlavePath()));
}

// The probe must not leave its mark on a port in use: the line settings stay as the user set
// them and the port keeps working.
TEST(PortProbe, LeavesAPortInUseUndisturbed)
{
    TPtyPeer peer(QStringLiteral("busypeer"));
    ASSERT_TRUE(peer.IsValid());
    QSerialPort port(peer.LinkPath());
    ASSERT_TRUE(port.open(QIODevice::ReadWrite));
    ASSERT_TRUE(port.setBaudRate(QSerialPort::Baud115200));
    termios before{};
    ASSERT_EQ(::tcgetattr(int(port.handle()), &before), 0);
    for (int i = 0; i < 3; ++i)
        ProbePorts({peer.LinkPath(), peer.SlavePath()});
    termios after{};
    ASSERT_EQ(::tcgetattr(int(port.handle()), &after), 0);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    EXPECT_TRUE(port.isOpen());
    peer.Write("ping");
    EXPECT_TRUE(QTest::qWaitFor([&] { return port.bytesAvailable() >= 4; }, 5000));
    EXPECT_EQ(port.readAll(), QByteArray("ping"));
}

TEST(PortProbe, WhatIsNoTerminalOrNotThereIsNotAPort)
{
    const QString folder = TestHome() + QStringLiteral("/probe");
    QDir().mkpath(folder);
    QFile plain(folder + QStringLiteral("/plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QFile::link(QStringLiteral("/dev/null"), folder + QStringLiteral("/null"));
    QFile::link(folder + QStringLiteral("/gone"), folder + QStringLiteral("/dangling"));
    QFile::link(QStringLiteral("/dev/ptmx"), folder + QStringLiteral("/ptmx"));

    const struct
    {
        const char *label;
        QString path;
    } cases[] = {
        {"missing", folder + QStringLiteral("/missing")},
        {"plain file", folder + QStringLiteral("/plain")},
        {"folder", folder},
        {"character device that is no terminal", folder + QStringLiteral("/null")},
        {"dangling link", folder + QStringLiteral("/dangling")},
        {"pseudo-terminal multiplexer", folder + QStringLiteral("/ptmx")},
        {"controlling terminal", QStringLiteral("/dev/tty")},
        {"empty path", QString()},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(Free(c.path)) << c.label;
}

TEST(PortProbe, PseudoTerminalWhoseFarEndClosedIsNotAPort)
{
    TPtyPeer peer(QStringLiteral("closedpeer"));
    ASSERT_TRUE(peer.IsValid());
    const QString slave = peer.SlavePath();
    peer.CloseMaster();
    EXPECT_FALSE(Free(peer.LinkPath()));
    EXPECT_FALSE(Free(slave));
}

} // namespace

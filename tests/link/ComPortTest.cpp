// SPDX-License-Identifier: MIT
// The serial port over a real pseudo-terminal: line settings, exclusive access, event
// delivery and its end at Close, a far end that vanishes, a port Qt stopped reading, the
// bounded output queue and the line-error counters.
#include "link/ComPort.h"
#include "core/Errors.h"
#include "core/PortPaths.h"
#include "ports/PortHolders.h"
#include "ports/PortProbe.h"
#include "support/PtyPeer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTest>

#include <QFileInfo>

#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

class ComPortTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(peer.IsValid());
        port.SetPortName(peer.PortName());
        port.OnOpen = [this] {
            ++opens;
            activeDuringOpen = port.Active();
        };
        port.OnClose = [this] {
            ++closes;
        };
        port.OnError = [this](int flags) {
            errors.push_back(flags);
        };
        port.OnOutputFull = [this](const QString &text) {
            outputFull << text;
        };
        // By default a receive event reads every byte it announces.
        port.OnRxChar = [this](int count) {
            counts.push_back(count);
            for (int i = 0; i < count; ++i) {
                char c;
                if (!port.ReadChar(c))
                    break;
                received.append(c);
            }
        };
    }

    // Lets the message loop run for a while, for checks that something does NOT happen.
    static void Settle(int ms = 60) { QTest::qWait(ms); }

    TPtyPeer peer{QStringLiteral("cp0")};
    TComPort port;
    int opens = 0;
    int closes = 0;
    bool activeDuringOpen = false;
    std::vector<int> errors;
    std::vector<int> counts;
    QStringList outputFull;
    QByteArray received;
};

TEST_F(ComPortTest, OpensAtTheInterfacesLineSettingsAndReportsOpenBeforeReturning)
{
    port.Open();
    EXPECT_EQ(opens, 1);
    EXPECT_TRUE(activeDuringOpen);
    EXPECT_TRUE(port.Active());

    termios tio{};
    ASSERT_TRUE(peer.LineSettings(tio));
    EXPECT_EQ(::cfgetispeed(&tio), speed_t(B115200));
    EXPECT_EQ(::cfgetospeed(&tio), speed_t(B115200));
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_FALSE(tio.c_cflag & PARENB);
    EXPECT_FALSE(tio.c_cflag & CSTOPB);
    EXPECT_FALSE(tio.c_cflag & CRTSCTS);
    EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF | IXANY));
    EXPECT_TRUE(tio.c_cflag & CREAD);

    // Opening an open port changes nothing.
    port.Open();
    EXPECT_EQ(opens, 1);
}

TEST_F(ComPortTest, PortsThatCannotBeOpenedThrowAndStayClosed)
{
    // A link whose device is gone: its virtual port must not fall back to /dev.
    QFile::link(QStringLiteral("/dev/pts/does-not-exist"), peer.LinkPath() + QStringLiteral("x"));
    struct Case
    {
        const char *why;
        QString name;
    };
    const Case cases[] = {
        {"no such port", QStringLiteral("ttyTandorMissing")},
        {"no name", QString()},
        {"a path instead of a name", QStringLiteral("../../../etc/passwd")},
        {"a parent folder", QStringLiteral("..")},
        {"a control character", QStringLiteral("cp0\n")},
        {"a dangling virtual port", peer.PortName() + QStringLiteral("x")},
        {"not a serial device", QStringLiteral("null")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.why);
        port.SetPortName(c.name);
        EXPECT_THROW(port.Open(), TError);
        EXPECT_FALSE(port.Active());
    }
    EXPECT_EQ(opens, 0);
    EXPECT_EQ(closes, 0);
}

// A path typed on the command line names the device itself; a relative one is refused, and
// a port name set afterwards is again taken as a name.
TEST_F(ComPortTest, AnAbsoluteDevicePathOpensThatDeviceAndNothingElse)
{
    port.SetDevicePath(peer.SlavePath());
    port.Open();
    EXPECT_TRUE(port.Active());
    port.Close();

    port.SetDevicePath(peer.LinkPath());
    port.Open();
    EXPECT_TRUE(port.Active());
    port.Close();

    for (const QString &path : {QStringLiteral("dev/null"), QStringLiteral("/dev/tandor-none")}) {
        SCOPED_TRACE(path.toStdString());
        port.SetDevicePath(path);
        EXPECT_THROW(port.Open(), TError);
        EXPECT_FALSE(port.Active());
    }

    port.SetPortName(peer.SlavePath());
    EXPECT_THROW(port.Open(), TError);
    port.SetPortName(peer.PortName());
    port.Open();
    EXPECT_TRUE(port.Active());
    EXPECT_EQ(opens, 3);
}

// What exclusivity relies on here: QSerialPort's lock file, which is named after the path
// opened. TComPort opens the device behind a virtual port's link, so a program that opens the
// device itself (/dev/pts/N) meets the same lock. TIOCEXCL adds a kernel check as well, but
// root (as tests often run) is exempt from it, so the tests do not count on it.
TEST_F(ComPortTest, APortHeldByAnotherProgramCannotBeOpenedUntilItIsFree)
{
    QSerialPort holder;
    holder.setPortName(peer.SlavePath());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    EXPECT_THROW(port.Open(), TError);
    EXPECT_FALSE(port.Active());

    holder.close();
    port.Open();
    EXPECT_TRUE(port.Active());

    // And the other way round: while the program has it, nobody else gets it.
    QSerialPort intruder;
    intruder.setPortName(peer.SlavePath());
    EXPECT_FALSE(intruder.open(QIODevice::ReadWrite));
}

// The port is refused whenever the port list would call it held, whatever the holder did or
// did not take: a plain open descriptor in another process (a terminal program, a `cat`), or
// a lock file of the virtual port's own name owned by a live process. Once the holder lets
// go the port opens. The far end of a pseudo-terminal that keeps its slave open (as the
// simulator does) holds nothing.
TEST_F(ComPortTest, APortHeldAsThePortListSeesItIsRefusedUntilLetGo)
{
    const QString lockPath = [this] {
        for (const QString &folder : SerialLockFolders()) {
            if (QFileInfo(folder).isDir() && QFileInfo(folder).isWritable())
                return folder + QLatin1Char('/') + SerialLockFileName(peer.LinkPath());
        }
        return QString();
    }();
    struct THolder
    {
        std::function<void()> take;
        std::function<void()> release;
    };
    std::unique_ptr<TOtherProgramHolding> other;
    const struct
    {
        const char *why;
        THolder holder;
    } cases[] = {
        {"another process has the device open",
         {[&] {
              other = std::make_unique<TOtherProgramHolding>(peer.SlavePath());
              ASSERT_TRUE(other->Holding());
          },
          [&] {
              other.reset();
          }}},
        {"a live process owns the lock file of the virtual port",
         {[&] {
              if (lockPath.isEmpty())
                  GTEST_SKIP() << "no writable lock folder";
              QFile lock(lockPath);
              ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
              lock.write(QByteArray::number(qint64(::getppid())).rightJustified(10) + "\n");
          },
          [&] {
              QFile::remove(lockPath);
          }}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        c.holder.take();
        EXPECT_THROW(port.Open(), TError);
        EXPECT_FALSE(port.Active());
        c.holder.release();
        port.Open();
        EXPECT_TRUE(port.Active());
        port.Close();
    }
    EXPECT_EQ(opens, int(std::size(cases)));

    TFarEndKeepingSlave farEnd;
    ASSERT_FALSE(farEnd.SlavePath().isEmpty());
    const QString farName = QStringLiteral("cpfar");
    ASSERT_TRUE(QFile::link(farEnd.SlavePath(), VirtualPortsFolder() + QLatin1Char('/') + farName));
    TComPort far;
    far.SetPortName(farName);
    far.Open();
    EXPECT_TRUE(far.Active());
    far.Close();
    QFile::remove(VirtualPortsFolder() + QLatin1Char('/') + farName);
}

// Once open, the device is ours alone: another program without privileges gets EBUSY from
// the kernel (TIOCEXCL) until the port is closed. The other program is a child that gives up
// root before it tries; root itself is exempt from the check.
TEST_F(ComPortTest, AnOpenPortIsExclusiveUntilClosed)
{
    // Everyone may open the pseudo-terminal, so that only exclusivity can stop the child.
    ASSERT_EQ(::chmod(QFile::encodeName(peer.SlavePath()).constData(), 0666), 0);
    const QByteArray slave = QFile::encodeName(peer.SlavePath());
    // The errno of an open by an unprivileged process, or 0 when it succeeded.
    const auto otherProgramOpens = [&slave]() -> int {
        const pid_t child = ::fork();
        if (child == 0) {
            // Only plain system calls here: the parent has threads.
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(200);
            const int fd = ::open(slave.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            ::_exit(fd >= 0 ? 0 : (errno & 0x7f));
        }
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
            return -1;
        return WEXITSTATUS(status);
    };
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to start a process of another user";
    ASSERT_EQ(otherProgramOpens(), 0) << "the unprivileged child cannot open a free port";

    port.Open();
    ASSERT_TRUE(port.Active());
    EXPECT_EQ(otherProgramOpens(), EBUSY);
    port.Close();
    EXPECT_EQ(otherProgramOpens(), 0);
}

TEST_F(ComPortTest, CloseReportsOnceAndNoEventOfThePortFollows)
{
    port.Open();
    peer.Write("3,1,2\r");
    port.Close();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(port.Active());
    peer.Write("3,1,2\r");
    Settle();
    EXPECT_TRUE(counts.empty());
    EXPECT_EQ(port.InQueue(), 0);

    port.Close(); // closed already: nothing
    EXPECT_EQ(closes, 1);

    // Torn down with the program: the device closes, nobody is told.
    int otherCloses = 0;
    {
        TComPort other;
        other.OnClose = [&] {
            ++otherCloses;
        };
        other.SetPortName(peer.PortName());
        other.Open();
        EXPECT_TRUE(other.Active());
    }
    EXPECT_EQ(otherCloses, 0);
    port.Open(); // the destroyed port let go of the device
    EXPECT_TRUE(port.Active());
}

TEST_F(ComPortTest, ReceiveEventsCountWaitingBytesAndKeepWhatWasNotRead)
{
    // This handler reads only two bytes of each event.
    port.OnRxChar = [this](int count) {
        counts.push_back(count);
        char c;
        for (int i = 0; i < 2 && port.ReadChar(c); ++i)
            received.append(c);
    };
    port.Open();
    peer.Write("abcd");
    ASSERT_TRUE(QTest::qWaitFor([&] { return counts.size() == 1; }, 3000));
    EXPECT_EQ(counts.at(0), 4);
    EXPECT_EQ(received, "ab");
    EXPECT_EQ(port.InQueue(), 2);

    // The rest is read at the next event, which comes with the next byte.
    peer.Write("e");
    ASSERT_TRUE(QTest::qWaitFor([&] { return counts.size() == 2; }, 3000));
    EXPECT_EQ(counts.at(1), 3);
    EXPECT_EQ(received, "abcd");

    EXPECT_EQ(port.Read(10), "e");
    EXPECT_EQ(port.InQueue(), 0);
}

TEST_F(ComPortTest, AHandlerThatRunsTheMessageLoopGetsNoNestedEventAndLosesNothing)
{
    int depth = 0;
    int maxDepth = 0;
    port.OnRxChar = [&](int count) {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        counts.push_back(count);
        received += port.Read(count);
        if (counts.size() == 1) {
            // As a modal message box would: the loop runs while more bytes come in.
            peer.Write("second");
            QTest::qWait(100);
        }
        --depth;
    };
    port.Open();
    peer.Write("first");
    ASSERT_TRUE(QTest::qWaitFor([&] { return received == "firstsecond"; }, 3000));
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(counts.size(), 2u);
}

TEST_F(ComPortTest, AVanishedFarEndClosesThePortOnce)
{
    port.Open();
    peer.Write("3,5,");
    ASSERT_TRUE(QTest::qWaitFor([&] { return received == "3,5,"; }, 3000));
    peer.CloseMaster(); // the adapter was pulled mid-line
    ASSERT_TRUE(QTest::qWaitFor([&] { return closes == 1; }, 3000));
    EXPECT_FALSE(port.Active());
    // The read error is not taken up again and again: nothing more happens.
    Settle();
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(errors.empty());
}

TEST_F(ComPortTest, AQuietPortThatQtStoppedReadingIsReadAgainAfterResume)
{
    port.Open();
    peer.Write("11,2,0\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return received == "11,2,0\r"; }, 3000));

    // What Qt 6.4 does after a zero-length read: its read notifier stays off.
    auto *device = port.findChild<QSerialPort *>();
    ASSERT_NE(device, nullptr);
    int stopped = 0;
    for (QSocketNotifier *n : device->findChildren<QSocketNotifier *>()) {
        if (n->type() == QSocketNotifier::Read && n->isEnabled()) {
            n->setEnabled(false);
            ++stopped;
        }
    }
    ASSERT_EQ(stopped, 1);
    peer.Write("3,1,2\r");
    Settle(100);
    ASSERT_EQ(received, "11,2,0\r") << "the stall could not be reproduced";

    port.ResumeReading();
    ASSERT_TRUE(QTest::qWaitFor([&] { return received == "11,2,0\r3,1,2\r"; }, 3000));
    EXPECT_TRUE(port.Active());
}

TEST_F(ComPortTest, WritesGoOutWholeAndInOrder)
{
    port.Open();
    EXPECT_TRUE(port.WriteText("11\r"));
    EXPECT_TRUE(port.WriteText("8\r"));
    EXPECT_TRUE(port.WriteText("3,16\r"));
    ASSERT_TRUE(peer.WaitFor("11\r8\r3,16\r", 3000));
    EXPECT_EQ(peer.Received(), "11\r8\r3,16\r");

    port.Close();
    EXPECT_FALSE(port.WriteText("11\r"));
}

// With nothing queued, a write reaches the device before the message loop runs again; what
// the device does not take at once waits in the queue behind it. Either way the far end gets
// every byte, in order.
TEST_F(ComPortTest, WritesReachTheDeviceAtOnceAndTheRestFollowsInOrder)
{
    port.Open();
    EXPECT_TRUE(port.WriteText("11\r"));
    EXPECT_EQ(port.OutQueue(), 0);
    EXPECT_EQ(peer.ReadAvailable(), "11\r") << "no pass of the message loop in between";

    // More than the terminal's buffer holds: part goes at once, the rest waits, and so does
    // every write after it.
    QByteArray expected;
    for (int i = 0; i < 6; ++i) {
        const QByteArray block(8 * 1024, char('a' + i));
        ASSERT_TRUE(port.WriteText(block));
        expected += block;
    }
    EXPECT_GT(port.OutQueue(), 0) << "the terminal took it all: the test shows nothing";
    ASSERT_TRUE(port.WriteText("8\r"));
    expected += "8\r";
    peer.ClearReceived();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            peer.ReadAvailable();
            return peer.Received().size() >= expected.size() && port.OutQueue() == 0;
        },
        5000));
    EXPECT_TRUE(peer.Received() == expected);
}

// A write the device refuses (the adapter was pulled) is queued as before: the port is closed
// once, from the message loop, never from inside the write.
TEST_F(ComPortTest, AWriteToAPulledAdapterClosesThePortOnceFromTheMessageLoop)
{
    port.Open();
    peer.CloseMaster();
    EXPECT_TRUE(port.WriteText("11\r"));
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(port.Active());
    ASSERT_TRUE(QTest::qWaitFor([&] { return closes == 1; }, 3000));
    Settle();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(port.WriteText("11\r"));
}

TEST_F(ComPortTest, AFullOutputQueueRefusesWritesAndTellsOncePerBurst)
{
    port.Open();
    // The far end reads nothing: the queue fills without the message loop running.
    const QByteArray block(1024, 'x');
    int accepted = 0;
    while (port.WriteText(block) && accepted < 1000)
        ++accepted;
    ASSERT_LT(accepted, 1000);
    EXPECT_LE(port.OutQueue(), TComPort::kMaxPendingOutput);
    EXPECT_TRUE(outputFull.isEmpty()) << "reported from inside the write";
    EXPECT_FALSE(port.WriteText("11\r")) << "a refused command is not queued in part either";

    ASSERT_TRUE(QTest::qWaitFor([&] { return !outputFull.isEmpty(); }, 3000));
    EXPECT_EQ(outputFull,
              QStringList{QStringLiteral("Output buffer is full. Please check comm status.")});
    for (int i = 0; i < 20; ++i)
        port.WriteText(block);
    Settle();
    EXPECT_EQ(outputFull.size(), 1) << "one burst, one message";

    // The far end reads again: the queue drains, and the next overflow is a new burst.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            peer.ReadAvailable();
            return port.OutQueue() == 0;
        },
        5000));
    EXPECT_TRUE(port.WriteText("11\r"));
    while (port.WriteText(block)) {
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return outputFull.size() == 2; }, 3000));
}

TEST(LineErrorFlags, EachCounterThatGrewSetsItsFlag)
{
    struct Case
    {
        const char *why;
        TLineCounters after;
        int flags;
    };
    const TLineCounters before{5, 5, 5, 5, 5};
    const Case cases[] = {
        {"nothing changed", {5, 5, 5, 5, 5}, 0},
        {"framing", {6, 5, 5, 5, 5}, ceFrame},
        {"overrun", {5, 7, 5, 5, 5}, ceOverrun},
        {"parity", {5, 5, 6, 5, 5}, ceRxParity},
        {"break", {5, 5, 5, 6, 5}, ceBreak},
        {"driver buffer overrun", {5, 5, 5, 5, 9}, ceRxOver},
        {"several at once", {6, 5, 6, 5, 5}, ceFrame | ceRxParity},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(LineErrorFlags(before, c.after), c.flags);
    }
    // A counter that wrapped round still grew.
    EXPECT_EQ(LineErrorFlags(TLineCounters{0xFFFFFFFFu, 0, 0, 0, 0}, TLineCounters{}), ceFrame);
}

TEST_F(ComPortTest, LineErrorsCountedByTheDriverRaiseOnErrorAfterAReceive)
{
    TLineCounters driver;
    port.SetCounterSource([&](int, TLineCounters &c) {
        c = driver;
        return true;
    });
    port.Open();
    peer.Write("a");
    ASSERT_TRUE(QTest::qWaitFor([&] { return received == "a"; }, 3000));
    EXPECT_TRUE(errors.empty());

    driver.frame = 1;
    driver.overrun = 2;
    peer.Write("b");
    ASSERT_TRUE(QTest::qWaitFor([&] { return received == "ab"; }, 3000));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors.at(0), ceFrame | ceOverrun);

    peer.Write("c"); // counters unchanged since: no new error
    ASSERT_TRUE(QTest::qWaitFor([&] { return received == "abc"; }, 3000));
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_TRUE(port.Active());
}

TEST_F(ComPortTest, UnreadBytesBeyondTheReceiveQueueAreDroppedOldestFirstAndReported)
{
    bool hold = true; // the handler reads nothing until the test lets it
    port.OnRxChar = [&](int count) {
        if (!hold)
            received += port.Read(count);
    };
    port.Open();
    const QByteArray chunk(64 * 1024, 'g');
    const qsizetype total = TComPort::kMaxPendingInput + 4 * chunk.size();
    for (qsizetype sent = 0; sent < total; sent += chunk.size())
        peer.Write(chunk);
    peer.Write("END");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.empty(); }, 10000));
    EXPECT_EQ(errors.at(0), ceRxOver);
    EXPECT_LE(port.InQueue(), TComPort::kMaxPendingInput);

    hold = false;
    peer.Write("!");
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.endsWith("END!"); }, 10000));
    EXPECT_LT(received.size(), total) << "the oldest bytes were dropped";
    EXPECT_TRUE(port.Active());
}

} // namespace

// SPDX-License-Identifier: MIT
// Fault drills, run by `make drill`: the interface pulled and plugged back a hundred times in a
// row, and a far end that sends megabytes of random bytes or one line without end. The program
// must reconnect every time, keep its memory bounded and keep answering.
#include "SimProcess.h"
#include "link/ComPort.h"
#include "link/LineFramer.h"
#include "support/PtyPeer.h"
#include "support/RecordingSeam.h"
#include "ui/TandorMain.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// VmRSS of this process in kilobytes.
long ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

class Drill : public ::testing::Test
{
protected:
    void SetUp() override
    {
        seam = new TRecordingSeam;
        form = std::make_unique<TMerrowMainForm>(seam);
        form->tmStartCheck->stop();
    }

    void TearDown() override
    {
        form->ComPort1->Close();
        form.reset();
    }

    TRecordingSeam *seam = nullptr; // owned by the form
    std::unique_ptr<TMerrowMainForm> form;
};

TEST_F(Drill, PulledAndPluggedBackAHundredTimesItReconnectsEveryTime)
{
    const QString port = QStringLiteral("drill0");
    form->fComPort = port;
    for (int round = 1; round <= 100; ++round) {
        TSimProcess sim(port);
        ASSERT_TRUE(sim.Start()) << "round " << round;
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->fComState >= csReqPrm1; }, 10000))
            << "round " << round << ": not connected, state " << int(form->fComState);
        // Every other round the interface goes the hard way: killed, its port's link left
        // dangling until the next simulator replaces it. Else it goes and takes its port along.
        if (round % 2 == 0)
            sim.Kill();
        else
            sim.Stop();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form->ComPort1->Active(); }, 5000))
            << "round " << round << ": the pulled port stayed open";
    }
    EXPECT_TRUE(seam->messages.empty())
        << seam->MessageTexts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(Drill, RandomBytesAndAnEndlessLineLeaveMemoryBoundedAndTheProgramAnswering)
{
    TPtyPeer peer(QStringLiteral("drill1"));
    ASSERT_TRUE(peer.IsValid());
    form->fComPort = peer.PortName();
    ASSERT_TRUE(peer.WaitFor("11\r", 5000));

    // A first megabyte settles the buffers the receive path keeps; what follows may not grow
    // them.
    QRandomGenerator random(11);
    QByteArray junk(1 << 20, '\0');
    for (char &c : junk)
        c = char(random.bounded(256));
    const QByteArray endless(1 << 20, '7');
    // A status report behind the bytes shows when everything before it has been read.
    const auto drained = [&](int32_t level) {
        peer.Write("\r\n2," + QByteArray::number(level) + ",3,0,0,0,0\r\n");
        return QTest::qWaitFor([&] { return form->fAudioLvlA == level; }, 30000);
    };
    peer.Write(junk);
    peer.Write(endless);
    ASSERT_TRUE(drained(555));
    const long before = ResidentKb();

    for (int round = 0; round < 16; ++round) {
        peer.Write(junk);
        peer.Write(endless); // no line end anywhere in it
        EXPECT_LE(form->fComPort1InputBuffer.size(), TLineFramer::kMaxLineLength);
    }
    ASSERT_TRUE(drained(777));
    const long after = ResidentKb();
    EXPECT_LT(after - before, 4096) << "resident memory grew from " << before << " kB to " << after
                                    << " kB over 32 MB of input";
    EXPECT_TRUE(form->ComPort1->Active());

    // And it still talks: a version reply moves the connection on.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            peer.ReadAvailable();
            if (peer.Received().endsWith("11\r")) {
                peer.ClearReceived();
                peer.Write("11,2,0\r\n");
            }
            return form->fComState >= csReqSerial;
        },
        5000));
    EXPECT_EQ(form->lbVersion->text(), QStringLiteral("Firmware version: 2.0"));
}

} // namespace

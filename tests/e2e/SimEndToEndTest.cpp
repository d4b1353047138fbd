// SPDX-License-Identifier: MIT
// The program against the interface simulator, each on its own side of a real pseudo-terminal
// and with the real 150 ms connection timer: connecting, reading everything, falling silent,
// unplugging, a busy port, store and revert, and a far end that floods or talks nonsense.
#include "SimProcess.h"
#include "core/PortPaths.h"
#include "link/ComPort.h"
#include "support/PtyPeer.h"
#include "support/RecordingSeam.h"
#include "support/TestEnv.h"
#include "ui/ComboBox.h"
#include "ui/TandorMain.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QTest>
#include <QTimer>

namespace {

// A state file holding the stored set the simulator starts with.
QString WriteState(const QString &fileName, const std::array<int, 17> &values)
{
    static const char *const names[17] = {"",
                                          "RaAtype",
                                          "RaBtype",
                                          "GainA",
                                          "GainB",
                                          "LevelDetGainA",
                                          "LevelDetGainB",
                                          "DetLevelA",
                                          "DetLevelB",
                                          "PTTOnDelayA",
                                          "PTTOnDelayB",
                                          "PTTOffDelayA",
                                          "PTTOffDelayB",
                                          "ComType_A",
                                          "ComType_B",
                                          "Baud_A",
                                          "Baud_B"};
    QJsonObject stored;
    for (int n = 1; n <= 16; ++n)
        stored.insert(QLatin1String(names[n]), values[size_t(n)]);
    QJsonObject root;
    root.insert(QLatin1String("stored"), stored);
    const QString path = TestHome() + QLatin1Char('/') + fileName;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(QJsonDocument(root).toJson());
    return path;
}

class SimEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        seam = new TRecordingSeam;
        form = std::make_unique<TMerrowMainForm>(seam);
        form->tmStartCheck->stop();
        form->fComPort = QString::fromLatin1(kPort);
    }

    void TearDown() override
    {
        form->ComPort1->Close();
        form.reset();
    }

    bool TableHolds(const std::array<int, 17> &values) const
    {
        for (int n = 1; n <= 16; ++n) {
            if (form->SettingsData[n].value != values[size_t(n)])
                return false;
        }
        return true;
    }

    bool WaitForState(tComStates atLeast, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return form->fComState >= atLeast; }, timeoutMs);
    }

    static constexpr const char *kPort = "simE";
    TRecordingSeam *seam = nullptr; // owned by the form
    std::unique_ptr<TMerrowMainForm> form;
};

const std::array<int, 17> kValues = {0,   1,   0,   5,   7, 100, 120, 400, 450,
                                     150, 250, 600, 700, 1, 0,   192, 1152};

TEST_F(SimEndToEndTest, ConnectsByItselfAndReadsEverythingInTheHandshakesOrder)
{
    TSimProcess sim(QString::fromLatin1(kPort),
                    {QStringLiteral("--firmware"), QStringLiteral("2.1"),
                     QStringLiteral("--serial"), QStringLiteral("TS 0042"),
                     QStringLiteral("--state"),
                     WriteState(QStringLiteral("connect.json"), kValues)});
    ASSERT_TRUE(sim.Start());

    ASSERT_TRUE(QTest::qWaitFor([&] { return TableHolds(kValues); }, 8000));
    EXPECT_EQ(form->lbVersion->text(), QStringLiteral("Firmware version: 2.1"));
    EXPECT_EQ(form->lbSerial->text(), QStringLiteral("Ser n:o: TS 0042"));
    EXPECT_EQ(form->lbComIsOpen->text(), QStringLiteral("COM-port is open"));
    EXPECT_EQ(form->lbIntfConnection->text(), QStringLiteral("Connected to interface"));

    // On the wire: the version request until it is answered, the serial number, status
    // reports on, then parameters 1 to 16 and round again.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sim.Commands().count(QStringLiteral("3,1")) >= 2; }, 5000));
    QStringList commands = sim.Commands();
    ASSERT_FALSE(commands.isEmpty());
    EXPECT_EQ(commands.first(), QStringLiteral("11"));
    while (!commands.isEmpty() && commands.first() == QStringLiteral("11"))
        commands.removeFirst();
    QStringList expected{QStringLiteral("8"), QStringLiteral("2,1")};
    for (int n = 1; n <= 16; ++n)
        expected << QStringLiteral("3,%1").arg(n);
    expected << QStringLiteral("3,1");
    EXPECT_EQ(commands.mid(0, expected.size()), expected);

    // The status reports reach the window.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return form->fAudioLvlA > 0 && form->fAudioLvlB > 0; }, 3000));
    EXPECT_TRUE(seam->messages.empty());
}

TEST_F(SimEndToEndTest, AnInterfaceThatFallsSilentIsAskedForItsVersionAgain)
{
    TSimProcess sim(QString::fromLatin1(kPort),
                    {QStringLiteral("--silent-after"), QStringLiteral("1")});
    ASSERT_TRUE(sim.Start());
    ASSERT_TRUE(WaitForState(csReqPrm1));
    ASSERT_FALSE(form->lbVersion->text().isEmpty());

    ASSERT_TRUE(QTest::qWaitFor([&] { return form->fComState == csNoData; }, 5000));
    EXPECT_TRUE(form->lbVersion->text().isEmpty());
    EXPECT_EQ(form->lbIntfConnection->text(), QStringLiteral("Not Connected to interface"));
    EXPECT_EQ(seam->cursor, TCursorKind::Arrow);
    EXPECT_TRUE(form->ComPort1->Active());
    // The version request goes out again at every tick.
    const int before = int(sim.Commands().count(QStringLiteral("11")));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return sim.Commands().count(QStringLiteral("11")) >= before + 3; }, 3000));
    EXPECT_EQ(form->fComState, csNoData);
}

TEST_F(SimEndToEndTest, AnInterfaceWithoutSerialNumberStillGetsItsParametersRead)
{
    TSimProcess sim(QString::fromLatin1(kPort), {QStringLiteral("--ignore-serial")});
    ASSERT_TRUE(sim.Start());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sim.Commands().contains(QStringLiteral("3,2")); }, 5000));
    const QStringList commands = sim.Commands();
    EXPECT_LT(commands.indexOf(QStringLiteral("8")), commands.indexOf(QStringLiteral("2,1")));
    EXPECT_FALSE(form->lbSerial->text().startsWith(QStringLiteral("Ser n:o:")));
}

TEST_F(SimEndToEndTest, UnpluggedAndPluggedBackItReconnectsByItself)
{
    {
        TSimProcess sim(QString::fromLatin1(kPort));
        ASSERT_TRUE(sim.Start());
        ASSERT_TRUE(WaitForState(csReqPrm1));
    } // pulled out: the simulator goes and takes its port with it
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->ComPort1->Active(); }, 3000));
    EXPECT_EQ(form->lbComIsOpen->text(), QStringLiteral("COM-port is closed"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return form->lbIntfConnection->text() == QStringLiteral("Not Connected to interface");
        },
        3000));
    for (int tick = 0; tick < 3; ++tick) // a few ticks find nothing to open
        form->tmComStateTimer();
    EXPECT_FALSE(form->ComPort1->Active());

    TSimProcess back(QString::fromLatin1(kPort));
    ASSERT_TRUE(back.Start());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return back.Commands().contains(QStringLiteral("3,1")); }, 5000));
    const QStringList commands = back.Commands();
    EXPECT_EQ(commands.first(), QStringLiteral("11"));
    EXPECT_TRUE(commands.contains(QStringLiteral("8")));
    EXPECT_TRUE(commands.contains(QStringLiteral("2,1")));
    EXPECT_EQ(form->lbComIsOpen->text(), QStringLiteral("COM-port is open"));
    EXPECT_TRUE(seam->messages.empty());
}

// Exclusivity relies on QSerialPort's lock file of the device behind the virtual port (see
// ComPortTest): the holder opens the device itself, as another serial program would.
TEST_F(SimEndToEndTest, ABusyPortWarnsOnceAndIsTakenWhenItIsFree)
{
    // No saved port: the connection timer would otherwise open the virtual port as soon as
    // the simulator makes it, before the holder below can take it.
    form->fComPort.clear();
    TSimProcess sim(QString::fromLatin1(kPort));
    ASSERT_TRUE(sim.Start());
    QSerialPort holder;
    holder.setPortName(QFileInfo(VirtualPortsFolder() + QLatin1Char('/') + QLatin1String(kPort))
                           .canonicalFilePath());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));

    form->ComComboBox1->ClearItems();
    form->ComComboBox1->AddItem(QLatin1String(kPort) + QStringLiteral("  Virtual serial port"));
    form->ComComboBox1->SetItemIndex(0);
    form->ComComboBox1Change();
    ASSERT_EQ(seam->MessageTexts(),
              QStringList{QStringLiteral("Could not open selected COM-port")});

    for (int tick = 0; tick < 3; ++tick) // three ticks try in silence
        form->tmComStateTimer();
    EXPECT_FALSE(form->ComPort1->Active());
    holder.close();
    ASSERT_TRUE(WaitForState(csReqPrm1));
    EXPECT_EQ(seam->messages.size(), 1u);
}

TEST_F(SimEndToEndTest, StoreSurvivesARestartAndRevertBringsTheStoredValueBack)
{
    std::array<int, 17> values = kValues;
    const QString state = WriteState(QStringLiteral("store.json"), values);
    const QStringList options{QStringLiteral("--state"), state};
    {
        TSimProcess sim(QString::fromLatin1(kPort), options);
        ASSERT_TRUE(sim.Start());
        ASSERT_TRUE(QTest::qWaitFor([&] { return TableHolds(values); }, 8000));

        // What a slider does: the value into the table, then to the interface.
        form->SettingsData[3].value = 17;
        form->SendParam(3);
        form->btSaveChanges->click();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return sim.Commands().contains(QStringLiteral("6,2,1")); }, 3000));
        EXPECT_EQ(sim.Commands().count(QStringLiteral("6,2,1")), 1);
        EXPECT_EQ(form->btSaveChanges->text(), QStringLiteral("Storing changes in interface"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->btSaveChanges->isEnabled(); }, 3000));
        EXPECT_EQ(form->btSaveChanges->text(), QStringLiteral("Save changes to interface"));
    }

    // The interface restarts and comes back with the stored value.
    form->SettingsData[3].value = 0;
    values[3] = 17;
    TSimProcess sim(QString::fromLatin1(kPort), options);
    ASSERT_TRUE(sim.Start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return TableHolds(values); }, 8000));

    // A change that is not stored is taken back by a revert, and read back.
    form->SettingsData[3].value = 4;
    form->SendParam(3);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sim.Commands().contains(QStringLiteral("4,3,4")); }, 3000));
    form->btRevert->click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sim.Commands().contains(QStringLiteral("5,2,1")); }, 3000));
    // The cycle starts over at parameter 1 right after the revert.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QStringList c = sim.Commands();
            const qsizetype at = c.indexOf(QStringLiteral("5,2,1"));
            return at >= 0 && at + 1 < c.size();
        },
        3000));
    const QStringList commands = sim.Commands();
    EXPECT_EQ(commands.at(commands.indexOf(QStringLiteral("5,2,1")) + 1), QStringLiteral("3,1"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->SettingsData[3].value == 17; }, 5000));
    EXPECT_TRUE(seam->messages.empty());
}

TEST_F(SimEndToEndTest, AFloodingInterfaceLeavesTheWindowResponsiveAndConnected)
{
    TSimProcess sim(QString::fromLatin1(kPort),
                    {QStringLiteral("--flood"), QStringLiteral("--state"),
                     WriteState(QStringLiteral("flood.json"), kValues)});
    ASSERT_TRUE(sim.Start());
    TLatencyProbe probe;
    probe.Sample(1500);
    RecordProperty("flood_worst_loop_delay_ms", int(probe.worst));
    EXPECT_LT(probe.worst, 500) << "the message loop stalled for " << probe.worst << " ms";
    // Between the reports the answers still get through.
    ASSERT_TRUE(QTest::qWaitFor([&] { return TableHolds(kValues); }, 15000))
        << "state " << int(form->fComState) << ", table " << [&] {
               std::string held;
               for (int n = 1; n <= 16; ++n)
                   held += std::to_string(form->SettingsData[n].value) + ' ';
               return held;
           }();
    EXPECT_EQ(form->lbIntfConnection->text(), QStringLiteral("Connected to interface"));
    EXPECT_TRUE(form->fAudioLvlA > 0 || form->fAudioLvlB > 0);
    EXPECT_TRUE(seam->messages.empty());
}

TEST_F(SimEndToEndTest, GarbageAndAVanishingPeerLeaveTheProgramRunningAndConnectingAgain)
{
    form->fComPort = QStringLiteral("junk0");
    {
        TPtyPeer peer(QStringLiteral("junk0"));
        ASSERT_TRUE(peer.IsValid());
        ASSERT_TRUE(peer.WaitFor("11\r", 3000));

        // Random bytes, control characters, NULs and bytes above 127 among them, then a long
        // line that never ends, all while the window keeps working.
        QRandomGenerator random(7);
        QByteArray junk(64 * 1024, '\0');
        for (char &c : junk)
            c = char(random.bounded(256));
        peer.Write(junk);
        peer.Write(QByteArray(256 * 1024, '7'));
        TLatencyProbe probe;
        probe.Sample(500);
        RecordProperty("garbage_worst_loop_delay_ms", int(probe.worst));
        EXPECT_LT(probe.worst, 500);
        EXPECT_TRUE(form->ComPort1->Active());

        // Valid replies again: it connects.
        peer.Write("\r\n");
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

        peer.Write("3,5,1"); // and gone in the middle of a line
        peer.CloseMaster();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form->ComPort1->Active(); }, 3000));
    }

    // Something sane on the same name later: connected again.
    form->fComPort = QString::fromLatin1(kPort);
    TSimProcess sim(QString::fromLatin1(kPort));
    ASSERT_TRUE(sim.Start());
    ASSERT_TRUE(WaitForState(csReqPrm1, 8000));
    EXPECT_TRUE(seam->messages.empty())
        << seam->MessageTexts().join(QLatin1Char('|')).toStdString();
}

TEST(SimulatorProcess, ExitsCleanlyAndTakesItsPortAlong)
{
    const QString link = VirtualPortsFolder() + QStringLiteral("/simX");
    {
        TSimProcess sim(QStringLiteral("simX"));
        ASSERT_TRUE(sim.Start());
        sim.Stop(); // SIGTERM
        EXPECT_EQ(sim.Process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(sim.Process().exitCode(), 0);
        EXPECT_FALSE(QFileInfo(link).isSymLink());
    }
    {
        TSimProcess sim(QStringLiteral("simX"),
                        {QStringLiteral("--exit-after"), QStringLiteral("0.3")});
        ASSERT_TRUE(sim.Start());
        ASSERT_TRUE(sim.Process().waitForFinished(5000));
        EXPECT_EQ(sim.Process().exitCode(), 0);
        EXPECT_FALSE(QFileInfo(link).isSymLink());
    }
    const QStringList badOptions[] = {
        {QStringLiteral("--firmware"), QStringLiteral("two")},
        {QStringLiteral("--interval"), QStringLiteral("0")},
        {QStringLiteral("--port"), QStringLiteral("../escape")},
    };
    for (const QStringList &options : badOptions) {
        SCOPED_TRACE(options.join(QLatin1Char(' ')).toStdString());
        QProcess sim;
        sim.start(SimPath(), options);
        ASSERT_TRUE(sim.waitForFinished(5000));
        EXPECT_EQ(sim.exitCode(), 2);
    }
}

TEST(SimulatorProcess, ASilentSimulatorTakesCommandsButAnswersNothing)
{
    TSimProcess sim(QStringLiteral("simQ"), {QStringLiteral("--silent")});
    ASSERT_TRUE(sim.Start());
    QSerialPort port;
    port.setPortName(VirtualPortsFolder() + QStringLiteral("/simQ"));
    ASSERT_TRUE(port.open(QIODevice::ReadWrite));
    port.write("11\r8\r2,1\r3,1\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.Commands().size() == 4; }, 3000));
    QTest::qWait(300); // three report intervals
    EXPECT_EQ(port.readAll(), QByteArray());
}

} // namespace

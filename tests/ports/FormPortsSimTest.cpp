// SPDX-License-Identifier: MIT
// Unplugging and plugging the interface end to end: tandor-sim plays the interface on a
// virtual port, stopping it pulls the device (its port disappears), starting it again plugs
// it back in.
#include "ui/TandorMain.h"

#include "core/PortPaths.h"
#include "link/ComPort.h"
#include "support/PtyPeer.h"
#include "support/RecordingSeam.h"
#include "ui/ComboBox.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

constexpr int kTimeoutMs = 10000;

class TSimulator
{
public:
    explicit TSimulator(QString portName) : fPortName(std::move(portName)) {}
    ~TSimulator() { Stop(); }

    bool Start()
    {
        fProcess.start(qEnvironmentVariable("TANDOR_SIM"), {QStringLiteral("--port"), fPortName});
        const QString link = VirtualPortsFolder() + QLatin1Char('/') + fPortName;
        return fProcess.waitForStarted(kTimeoutMs) &&
               QTest::qWaitFor([&] { return QFileInfo(link).isSymLink(); }, kTimeoutMs);
    }
    // SIGTERM: the simulator removes its port and closes its end of the line.
    void Stop()
    {
        if (fProcess.state() == QProcess::NotRunning)
            return;
        fProcess.terminate();
        if (!fProcess.waitForFinished(kTimeoutMs))
            fProcess.kill();
    }

private:
    QString fPortName;
    QProcess fProcess;
};

class FormPortsSimTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("TANDOR_SIM"))
            GTEST_SKIP() << "TANDOR_SIM (the path of tandor-sim) is not set";
        fSeam = new TRecordingSeam;
        fForm = std::make_unique<TMerrowMainForm>(fSeam);
        auto formClose = fForm->ComPort1->OnClose;
        fForm->ComPort1->OnClose = [this, formClose] {
            ++fCloses;
            if (formClose)
                formClose();
        };
    }

    bool Listed(const QString &name) const
    {
        return fForm->ComComboBox1->findText(name + QStringLiteral("  Virtual serial port")) >= 0;
    }

    // Connected: the version reply came and the parameter cycle runs.
    bool WaitConnected()
    {
        return QTest::qWaitFor([&] { return fForm->fComState >= csReqPrm1; }, kTimeoutMs);
    }

    TRecordingSeam *fSeam = nullptr;
    std::unique_ptr<TMerrowMainForm> fForm;
    int fCloses = 0;
};

TEST_F(FormPortsSimTest, InterfacePulledAndPluggedBackReconnects)
{
    TSimulator sim(QStringLiteral("simplug"));
    ASSERT_TRUE(sim.Start());
    fForm->fComPort = QStringLiteral("simplug");
    fForm->tmComState->start();
    ASSERT_TRUE(WaitConnected());

    sim.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fForm->ComPort1->Active(); }, kTimeoutMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Listed(QStringLiteral("simplug")); }, kTimeoutMs));
    EXPECT_LT(fForm->fComState, csVersionReceived);

    ASSERT_TRUE(sim.Start());
    EXPECT_TRUE(WaitConnected());
    EXPECT_EQ(fForm->fVersionMain, 2);
    EXPECT_TRUE(fSeam->messages.empty()) << qPrintable(fSeam->MessageTexts().join(u'|'));
}

TEST_F(FormPortsSimTest, UnrelatedDevicePulledRestartsTheHandshake)
{
    TSimulator sim(QStringLiteral("simother"));
    ASSERT_TRUE(sim.Start());
    TPtyPeer adapter(QStringLiteral("adapter0"));
    fForm->fComPort = QStringLiteral("simother");
    fForm->tmComState->start();
    ASSERT_TRUE(WaitConnected());
    fCloses = 0;

    adapter.Unpublish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fCloses == 1; }, kTimeoutMs));
    EXPECT_TRUE(Listed(QStringLiteral("simother"))); // free while the port was closed
    EXPECT_TRUE(WaitConnected());
    EXPECT_EQ(fCloses, 1);
    EXPECT_TRUE(fSeam->messages.empty()) << qPrintable(fSeam->MessageTexts().join(u'|'));
}

} // namespace

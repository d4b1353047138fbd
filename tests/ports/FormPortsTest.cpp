// SPDX-License-Identifier: MIT
// The main window's port list and its reactions to devices coming and going, with pseudo-
// terminals published as virtual ports standing in for serial adapters.
#include "ui/TandorMain.h"

#include "link/ComPort.h"
#include "ports/DeviceNotifier.h"
#include "support/PtyPeer.h"
#include "support/RecordingSeam.h"
#include "ui/ComboBox.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QString VirtualEntry(const QString &name)
{
    return name + QStringLiteral("  Virtual serial port");
}

class FormPortsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fSeam = new TRecordingSeam;
        fForm = std::make_unique<TMerrowMainForm>(fSeam);
        ASSERT_NE(fForm->DeviceNotifier, nullptr);
        // Counts the closes of the port without changing what they do.
        auto formClose = fForm->ComPort1->OnClose;
        fForm->ComPort1->OnClose = [this, formClose] {
            ++fCloses;
            if (formClose)
                formClose();
        };
    }

    QStringList Items() const
    {
        QStringList items;
        for (int i = 0; i < fForm->ComComboBox1->count(); ++i)
            items << fForm->ComComboBox1->itemText(i);
        return items;
    }

    bool Listed(const QString &name) const { return Items().contains(VirtualEntry(name)); }

    bool WaitListed(const QString &name, bool listed)
    {
        return QTest::qWaitFor([&] { return Listed(name) == listed; }, 5000);
    }

    // Lets the connection timer open the port of peer, as after the user picked it.
    bool Connect(const TPtyPeer &peer)
    {
        fForm->fComPort = peer.PortName();
        fForm->tmComState->start();
        return QTest::qWaitFor([&] { return fForm->ComPort1->Active(); }, 5000);
    }

    TRecordingSeam *fSeam = nullptr;
    std::unique_ptr<TMerrowMainForm> fForm;
    int fCloses = 0;
};

TEST_F(FormPortsTest, RefreshListsFreePortsInCharacterOrderWithoutSelection)
{
    TPtyPeer com2(QStringLiteral("COM2"));
    TPtyPeer com10(QStringLiteral("COM10"));
    TPtyPeer com1(QStringLiteral("COM1"));
    fForm->RefreshPortList();
    ASSERT_GT(fForm->ComComboBox1->count(), 0);
    fForm->ComComboBox1->SetItemIndex(0);

    fForm->RefreshPortList();
    QStringList virtualOnes;
    for (const QString &item : Items()) {
        if (item.startsWith(QStringLiteral("COM")))
            virtualOnes << item;
    }
    EXPECT_EQ(virtualOnes, (QStringList{VirtualEntry(QStringLiteral("COM1")),
                                        VirtualEntry(QStringLiteral("COM10")),
                                        VirtualEntry(QStringLiteral("COM2"))}));
    const QStringList items = Items();
    QStringList sorted = items;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(items, sorted);
    EXPECT_EQ(fForm->ComComboBox1->ItemIndex(), -1);
    EXPECT_TRUE(fForm->ComComboBox1->currentText().isEmpty());
}

TEST_F(FormPortsTest, PluggedAndPulledPortsFollowInTheList)
{
    TPtyPeer adapter(QStringLiteral("usb0"));
    EXPECT_TRUE(WaitListed(QStringLiteral("usb0"), true));
    EXPECT_EQ(fForm->ComComboBox1->ItemIndex(), -1);
    adapter.Unpublish();
    EXPECT_TRUE(WaitListed(QStringLiteral("usb0"), false));
    adapter.Publish();
    EXPECT_TRUE(WaitListed(QStringLiteral("usb0"), true));
    EXPECT_TRUE(fSeam->messages.empty());
}

TEST_F(FormPortsTest, ArrivalLeavesTheConnectionAlone)
{
    TPtyPeer interfacePort(QStringLiteral("intf0"));
    ASSERT_TRUE(Connect(interfacePort));
    fCloses = 0;
    const tComStates before = fForm->fComState;

    TPtyPeer other(QStringLiteral("other0"));
    ASSERT_TRUE(WaitListed(QStringLiteral("other0"), true));
    EXPECT_TRUE(fForm->ComPort1->Active());
    EXPECT_EQ(fCloses, 0);
    EXPECT_GE(fForm->fComState, before);
    // The port in use by this program fails the probe: it is missing until it is closed.
    EXPECT_FALSE(Listed(QStringLiteral("intf0")));
    EXPECT_EQ(fForm->ComComboBox1->ItemIndex(), -1);
    EXPECT_TRUE(fSeam->messages.empty());
}

TEST_F(FormPortsTest, RemovalOfAnotherDeviceClosesAndTheTimerReopens)
{
    TPtyPeer interfacePort(QStringLiteral("intf1"));
    TPtyPeer other(QStringLiteral("other1"));
    ASSERT_TRUE(Connect(interfacePort));
    ASSERT_TRUE(WaitListed(QStringLiteral("other1"), true));
    fCloses = 0;

    other.Unpublish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fCloses == 1; }, 5000));
    // The list was rebuilt right after the close, so the interface's port was free then.
    EXPECT_FALSE(Listed(QStringLiteral("other1")));
    EXPECT_TRUE(Listed(QStringLiteral("intf1")));
    EXPECT_EQ(fForm->ComComboBox1->ItemIndex(), -1);
    // The connection timer reopens the saved port by itself.
    EXPECT_TRUE(QTest::qWaitFor([&] { return fForm->ComPort1->Active(); }, 5000));
    EXPECT_TRUE(fSeam->messages.empty());
}

TEST_F(FormPortsTest, OwnPortPulledAndPluggedBackIsReopened)
{
    TPtyPeer interfacePort(QStringLiteral("intf2"));
    ASSERT_TRUE(Connect(interfacePort));
    fCloses = 0;

    interfacePort.Unpublish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fCloses == 1; }, 5000));
    EXPECT_FALSE(fForm->ComPort1->Active());
    EXPECT_FALSE(Listed(QStringLiteral("intf2")));
    // Gone: the timer's attempts fail quietly.
    for (int tick = 0; tick < 2; ++tick)
        fForm->tmComStateTimer();
    EXPECT_FALSE(fForm->ComPort1->Active());

    interfacePort.Publish();
    EXPECT_TRUE(QTest::qWaitFor([&] { return fForm->ComPort1->Active(); }, 5000));
    EXPECT_EQ(fForm->fComPort, QStringLiteral("intf2"));
    EXPECT_TRUE(fSeam->messages.empty());
}

} // namespace

// SPDX-License-Identifier: MIT
// The connection state machine, port selection, store and revert, driven tick by tick against
// an interface played by the test on a pseudo-terminal, so that every byte on the wire and
// every state between ticks can be checked.
#include "core/ComStates.h"
#include "link/ComPort.h"
#include "storage/KVTRegStore.h"
#include "support/PtyPeer.h"
#include "support/RecordingSeam.h"
#include "ui/ComboBox.h"
#include "ui/TandorMain.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

namespace {

class ComStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(peer.IsValid());
        seam = new TRecordingSeam;
        form = std::make_unique<TMerrowMainForm>(seam);
        // The test makes every tick itself.
        form->tmComState->stop();
        form->tmStartCheck->stop();
        form->fComPort = peer.PortName();
    }

    void TearDown() override
    {
        form->ComPort1->Close();
        form.reset();
    }

    void Tick() { form->tmComStateTimer(); }

    // What went out since the last check must be exactly these bytes.
    void ExpectSent(const QByteArray &bytes)
    {
        EXPECT_TRUE(peer.WaitFor(bytes, 3000)) << "waiting for " << bytes.constData();
        EXPECT_EQ(peer.Received(), bytes);
        peer.ClearReceived();
    }

    // Forgets whatever went out so far.
    void Discard()
    {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                peer.ReadAvailable();
                return form->ComPort1->OutQueue() == 0;
            },
            3000));
        peer.ReadAvailable();
        peer.ClearReceived();
    }

    // The interface answers; returns once the program has taken the bytes in.
    void Reply(const QByteArray &line)
    {
        form->fComDataTimeoutCnt = 1; // so that the receive event shows
        peer.Write(line + "\r\n");
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->fComDataTimeoutCnt == 0; }, 3000))
            << "reply not received: " << line.constData();
    }

    // Opens the port and answers the version request: the state is csVersionReceived.
    void ConnectUpToVersion()
    {
        Tick();
        ASSERT_TRUE(form->ComPort1->Active());
        Tick();
        ExpectSent("11\r");
        Reply("11,2,3");
        ASSERT_EQ(form->fComState, csVersionReceived);
    }

    // Runs the handshake on to the parameter cycle: the next tick requests parameter 1.
    void Connect()
    {
        ConnectUpToVersion();
        Tick();
        ExpectSent("8\r");
        Tick();
        ExpectSent("2,1\r");
        ASSERT_EQ(form->fComState, csReqPrm1);
    }

    QString Text(QLabel *label) const { return label->text(); }

    TPtyPeer peer{QStringLiteral("cs0")};
    TRecordingSeam *seam = nullptr; // owned by the form
    std::unique_ptr<TMerrowMainForm> form;
};

TEST_F(ComStateTest, WithoutAPortEveryTickTriesToOpenAndFailsSilently)
{
    form->fComPort = QStringLiteral("ttyTandorNone");
    for (int i = 0; i < 10; ++i) {
        Tick();
        EXPECT_EQ(form->fComState, csNotOpened);
    }
    EXPECT_EQ(Text(form->lbComIsOpen), QStringLiteral("COM-port is closed"));
    EXPECT_EQ(Text(form->lbIntfConnection), QStringLiteral("Not Connected to interface"));
    EXPECT_TRUE(Text(form->lbVersion).isEmpty());
    EXPECT_TRUE(seam->messages.empty());
    EXPECT_EQ(seam->cursor, TCursorKind::Arrow);

    // The saved name appears later: the next tick opens it.
    form->fComPort = peer.PortName();
    Tick();
    EXPECT_TRUE(form->ComPort1->Active());
    EXPECT_EQ(form->fComState, csNotConnected);
    EXPECT_EQ(Text(form->lbComIsOpen), QStringLiteral("COM-port is open"));
}

TEST_F(ComStateTest, HandshakeGoesOutInOrderAndTheParameterCycleRepeats)
{
    Tick(); // opens; the opened event sets the state within the same tick
    EXPECT_EQ(form->fComState, csNotConnected);
    EXPECT_TRUE(peer.Received().isEmpty());

    // The version request repeats at every tick until it is answered.
    for (int i = 0; i < 3; ++i) {
        Tick();
        ExpectSent("11\r");
        EXPECT_EQ(form->fComState, csNotConnected);
        EXPECT_TRUE(Text(form->lbVersion).isEmpty());
    }
    Reply("11,2,3");
    EXPECT_EQ(form->fComState, csVersionReceived);
    EXPECT_EQ(Text(form->lbVersion), QStringLiteral("Firmware version: 2.3"));

    Tick();
    ExpectSent("8\r");
    EXPECT_EQ(form->fComState, csReqSerial);
    EXPECT_EQ(Text(form->lbIntfConnection), QStringLiteral("Connected to interface"));
    EXPECT_EQ(seam->cursor, TCursorKind::Wait);

    // The serial number never comes: status reports go on all the same.
    Tick();
    ExpectSent("2,1\r");
    EXPECT_EQ(form->fComState, csReqPrm1);

    // One parameter per tick; the values of the replies land in the table.
    const int32_t values[17] = {0,   1,   2,   10,  11, 100, 101, 500, 600,
                                150, 160, 700, 800, 1,  0,   96,  1152};
    for (int n = 1; n <= 16; ++n) {
        SCOPED_TRACE(n);
        Tick();
        ExpectSent("3," + QByteArray::number(n) + "\r");
        EXPECT_EQ(seam->cursor, n < 16 ? TCursorKind::Wait : TCursorKind::Arrow);
        Reply("3," + QByteArray::number(n) + "," + QByteArray::number(values[n]));
        EXPECT_EQ(form->SettingsData[n].value, values[n]);
    }
    EXPECT_EQ(form->fComState, csReqPrm1);

    // And round again, for as long as the connection lasts.
    Tick();
    ExpectSent("3,1\r");
    Tick();
    ExpectSent("3,2\r");
    EXPECT_TRUE(seam->messages.empty());
}

TEST_F(ComStateTest, TheLoadingBarFollowsTheFirstCycleAfterAConnectionOnly)
{
    EXPECT_FALSE(form->pbLoading->isVisibleTo(form.get()));
    ConnectUpToVersion();
    EXPECT_FALSE(form->pbLoading->isVisibleTo(form.get()));
    Tick(); // serial number
    EXPECT_TRUE(form->pbLoading->isVisibleTo(form.get()));
    EXPECT_EQ(form->pbLoading->value(), 5);
    Tick(); // status reports on
    EXPECT_EQ(form->pbLoading->value(), 5);
    for (int n = 1; n <= 16; ++n) {
        Tick();
        Reply("3," + QByteArray::number(n) + ",0");
        EXPECT_TRUE(form->pbLoading->isVisibleTo(form.get()));
        EXPECT_EQ(form->pbLoading->value(), 4 + n);
    }
    // Full for one tick, then gone for the endless cycle.
    Tick();
    EXPECT_FALSE(form->pbLoading->isVisibleTo(form.get()));
    for (int i = 0; i < 20; ++i) {
        Tick();
        Reply("3,1,0");
        EXPECT_FALSE(form->pbLoading->isVisibleTo(form.get()));
    }

    // A connection that breaks off mid-way hides it at once.
    Reply("11,2,3");
    Tick();
    Tick();
    Tick();
    EXPECT_TRUE(form->pbLoading->isVisibleTo(form.get()));
    form->ComPort1->Close();
    Tick();
    EXPECT_FALSE(form->pbLoading->isVisibleTo(form.get()));
}

TEST_F(ComStateTest, ASilentInterfaceIsNoticedOnTheEighthTickAndAskedForItsVersionAgain)
{
    Connect();
    Tick();
    ExpectSent("3,1\r");
    Reply("8,\"AB 12\""); // the last reply of all
    ASSERT_EQ(Text(form->lbSerial), QStringLiteral("Ser n:o: AB 12"));
    Discard();

    // Seven silent ticks change nothing yet (the cycle restarted with the serial reply).
    Tick();
    ExpectSent("2,1\r");
    for (int n = 1; n <= 6; ++n) {
        Tick();
        ExpectSent("3," + QByteArray::number(n) + "\r");
    }
    EXPECT_EQ(Text(form->lbIntfConnection), QStringLiteral("Connected to interface"));

    // The eighth: not connected, version empty, arrow, and the version request.
    Tick();
    ExpectSent("11\r");
    EXPECT_EQ(form->fComState, csNoData);
    EXPECT_TRUE(Text(form->lbVersion).isEmpty());
    EXPECT_EQ(Text(form->lbIntfConnection), QStringLiteral("Not Connected to interface"));
    EXPECT_EQ(seam->cursor, TCursorKind::Arrow);
    // What was shown of the interface otherwise stays.
    EXPECT_EQ(Text(form->lbSerial), QStringLiteral("Ser n:o: AB 12"));
    EXPECT_TRUE(form->ComPort1->Active());

    for (int i = 0; i < 3; ++i) {
        Tick();
        ExpectSent("11\r");
        EXPECT_EQ(form->fComState, csNoData);
    }

    // It speaks again: the handshake starts over.
    Reply("11,2,0");
    Tick();
    ExpectSent("8\r");
    EXPECT_EQ(Text(form->lbVersion), QStringLiteral("Firmware version: 2.0"));
}

TEST_F(ComStateTest, AnInterfaceThatNeverAnswersGetsTheVersionRequestAtEveryTick)
{
    Tick();
    for (int i = 0; i < 12; ++i) {
        Tick();
        ExpectSent("11\r");
        EXPECT_EQ(form->fComState,
                  i < 6 ? csNotConnected : csNoData); // counted from the opening tick
        EXPECT_TRUE(Text(form->lbVersion).isEmpty());
        EXPECT_EQ(Text(form->lbIntfConnection), QStringLiteral("Not Connected to interface"));
    }
}

// Qt 6.4 may stop reading a port after a zero-length read. A line that went quiet that way
// and then answers again must still be heard.
TEST_F(ComStateTest, APortThatWentQuietAndCameBackIsReadAgain)
{
    Connect();
    auto *device = form->ComPort1->findChild<QSerialPort *>();
    ASSERT_NE(device, nullptr);
    for (QSocketNotifier *n : device->findChildren<QSocketNotifier *>()) {
        if (n->type() == QSocketNotifier::Read)
            n->setEnabled(false);
    }
    for (int i = 0; i < 8; ++i)
        Tick();
    ASSERT_EQ(form->fComState, csNoData);
    Discard();
    Tick();
    ExpectSent("11\r");
    peer.Write("11,2,3\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->fComState == csVersionReceived; }, 3000));
    EXPECT_TRUE(form->ComPort1->Active());
}

TEST_F(ComStateTest, ALateSerialNumberReplyRestartsTheCycle)
{
    Connect();
    for (int n = 1; n <= 5; ++n) {
        Tick();
        ExpectSent("3," + QByteArray::number(n) + "\r");
        Reply("3," + QByteArray::number(n) + ",0");
    }
    Reply("8,SN42");
    EXPECT_EQ(form->fComState, csReqSerial);
    EXPECT_EQ(Text(form->lbSerial), QStringLiteral("Ser n:o: SN42"));
    Tick();
    ExpectSent("2,1\r");
    Tick();
    ExpectSent("3,1\r");
}

TEST_F(ComStateTest, ALineErrorRestartsTheHandshakeOnTheOpenPort)
{
    TLineCounters driver;
    form->ComPort1->SetCounterSource([&](int, TLineCounters &c) {
        c = driver;
        return true;
    });
    Connect();
    Tick();
    ExpectSent("3,1\r");
    driver.frame = 1;
    Reply("3,1,0");
    EXPECT_EQ(form->fComState, csPortError);
    EXPECT_EQ(Text(form->lbComIsOpen), QStringLiteral("COM-port Error"));

    Tick();
    ExpectSent("11\r");
    EXPECT_EQ(form->fComState, csNoData);
    EXPECT_EQ(Text(form->lbIntfConnection), QStringLiteral("Not Connected to interface"));
    EXPECT_TRUE(Text(form->lbVersion).isEmpty());
    // The label keeps telling of the error until the port is closed or opened again.
    Reply("11,2,3");
    Tick();
    ExpectSent("8\r");
    EXPECT_EQ(Text(form->lbComIsOpen), QStringLiteral("COM-port Error"));
}

TEST_F(ComStateTest, AnUnpluggedInterfaceIsReconnectedWhenItIsBack)
{
    Connect();
    Tick();
    ExpectSent("3,1\r");
    peer.Write("3,1,"); // and gone in the middle of a line
    peer.CloseMaster();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->ComPort1->Active(); }, 3000));
    EXPECT_EQ(form->fComState, csNotOpened);
    EXPECT_EQ(Text(form->lbComIsOpen), QStringLiteral("COM-port is closed"));
    peer.Unpublish();
    for (int i = 0; i < 5; ++i) {
        Tick();
        EXPECT_EQ(form->fComState, csNotOpened);
        EXPECT_EQ(Text(form->lbIntfConnection), QStringLiteral("Not Connected to interface"));
    }
    EXPECT_TRUE(seam->messages.empty());

    // Plugged in again (a new device under the same name): the handshake starts over.
    TPtyPeer back(peer.PortName());
    ASSERT_TRUE(back.IsValid());
    Tick();
    EXPECT_EQ(form->fComState, csNotConnected);
    // The line cut off above is still waiting for its end, so the first reply may be joined
    // to it and go unread; the repeated request brings the next one.
    for (int attempt = 0; attempt < 3 && form->fComState != csVersionReceived; ++attempt) {
        back.ClearReceived();
        Tick();
        ASSERT_TRUE(back.WaitFor("11\r", 3000));
        back.Write("11,2,0\r\n");
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->fComDataTimeoutCnt == 0; }, 3000));
    }
    ASSERT_EQ(form->fComState, csVersionReceived);
    back.ClearReceived();
    Tick();
    EXPECT_TRUE(back.WaitFor("8\r", 3000));
    EXPECT_TRUE(seam->messages.empty());
}

TEST_F(ComStateTest, SelectPortMarksTheLastMatchingEntryAndOpensNothing)
{
    TComboBox *list = form->ComComboBox1;
    list->ClearItems();
    for (const char *entry : {"ttyS0  Serial port", "sim0  Virtual serial port",
                              "sim01  Virtual serial port", "ttyUSB0  USB serial"})
        list->AddItem(QString::fromLatin1(entry));

    struct Case
    {
        const char *name;
        const char *selected; // nullptr: the selection stays as it was
    };
    const Case cases[] = {
        {"sim0", "sim0  Virtual serial port"},
        {" ttyUSB0\t", "ttyUSB0  USB serial"},
        {"sim01", "sim01  Virtual serial port"},
        {"SIM0", nullptr}, // case counts
        {"sim", nullptr},  // no prefix match
        {"ttyACM9", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString before = list->currentText();
        form->SelectPort(QString::fromLatin1(c.name));
        EXPECT_EQ(list->currentText(), c.selected ? QString::fromLatin1(c.selected) : before);
    }

    list->AddItem(QStringLiteral("ttyS1  "));
    list->AddItem(QStringLiteral("ttyS1  Second entry"));
    form->SelectPort(QStringLiteral("ttyS1"));
    EXPECT_EQ(list->currentText(), QStringLiteral("ttyS1  Second entry"));

    EXPECT_FALSE(form->ComPort1->Active());
    EXPECT_EQ(form->fComPort, peer.PortName());
}

TEST_F(ComStateTest, PickingAPortSavesItOpensItAndRestartsTheTimer)
{
    form->ComComboBox1->ClearItems();
    form->ComComboBox1->AddItem(peer.PortName() + QStringLiteral("  Virtual serial port"));
    form->ComComboBox1->SetItemIndex(0);
    form->fComPort.clear();
    form->ComComboBox1Change();

    EXPECT_EQ(form->fComPort, peer.PortName());
    EXPECT_TRUE(form->ComPort1->Active());
    EXPECT_TRUE(form->tmComState->isActive());
    EXPECT_EQ(form->tmComState->interval(), 150);
    EXPECT_TRUE(seam->messages.empty());

    TKVTRegistryStore store;
    store.SetKeyName(QStringLiteral("Software\\MerrowConfig"));
    store.Open();
    EXPECT_EQ(
        store.ReadString(QStringLiteral("MainApp"), QStringLiteral("InterfaceComPort"), QString()),
        peer.PortName());
    store.Close();

    // The running timer leads the handshake by itself.
    EXPECT_TRUE(peer.WaitFor("11\r", 3000));
}

TEST_F(ComStateTest, OpeningTheListClosesThePortAndStopsTheTimerUntilAPick)
{
    Connect();
    Tick(); // the wait cursor of the first cycle is on
    ASSERT_EQ(seam->cursor, TCursorKind::Wait);
    form->tmComState->start();
    form->ComComboBox1DropDown();
    EXPECT_FALSE(form->ComPort1->Active());
    EXPECT_FALSE(form->tmComState->isActive());
    EXPECT_EQ(form->fComState, csNotOpened);
    EXPECT_EQ(Text(form->lbComIsOpen), QStringLiteral("COM-port is closed"));
    EXPECT_EQ(Text(form->lbIntfConnection), QStringLiteral("Not Connected to interface"));
    EXPECT_TRUE(Text(form->lbVersion).isEmpty());
    EXPECT_EQ(seam->cursor, TCursorKind::Arrow);
    // The list shows what is there now: the port let go is listed again.
    bool listed = false;
    for (int i = 0; i < form->ComComboBox1->count(); ++i)
        listed |= form->ComComboBox1->itemText(i).startsWith(peer.PortName() + QLatin1Char(' '));
    EXPECT_TRUE(listed);

    // Closed again without a pick: with the timer stopped no tick comes, and nothing else
    // reopens the port.
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->tmComState->isActive());
    EXPECT_FALSE(form->ComPort1->Active());
}

// What exclusivity relies on: see ComPortTest (the lock file of the device behind the link).
TEST_F(ComStateTest, ABusyPortWarnsOnceThenTheTimerGetsItWhenItIsFree)
{
    QSerialPort holder;
    holder.setPortName(peer.SlavePath());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));

    form->ComComboBox1->ClearItems();
    form->ComComboBox1->AddItem(peer.PortName() + QStringLiteral("  Virtual serial port"));
    form->ComComboBox1->SetItemIndex(0);
    form->ComComboBox1Change();
    ASSERT_EQ(seam->messages.size(), 1u);
    EXPECT_EQ(seam->messages.at(0).kind, TMessageKind::Warning);
    EXPECT_EQ(seam->messages.at(0).text, QStringLiteral("Could not open selected COM-port"));
    EXPECT_EQ(form->fComPort, peer.PortName()); // chosen all the same

    // The timer keeps trying without another word.
    EXPECT_TRUE(form->tmComState->isActive());
    for (int i = 0; i < 3; ++i)
        Tick();
    EXPECT_FALSE(form->ComPort1->Active());
    EXPECT_EQ(seam->messages.size(), 1u);

    holder.close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->ComPort1->Active(); }, 3000));
    EXPECT_TRUE(peer.WaitFor("11\r", 3000));
    EXPECT_EQ(seam->messages.size(), 1u);
}

TEST_F(ComStateTest, StoreSendsOnceAndShowsTheIndicationForASecond)
{
    Connect();
    const QString before = form->btSaveChanges->text();
    EXPECT_EQ(before, QStringLiteral("Store changes in interface"));
    seam->cursorHistory.clear();

    QElapsedTimer clock;
    clock.start();
    form->btSaveChanges->click();
    ExpectSent("6,2,1\r");
    EXPECT_FALSE(form->btSaveChanges->isEnabled());
    EXPECT_EQ(form->btSaveChanges->text(), QStringLiteral("Storing changes in interface"));
    EXPECT_EQ(seam->cursor, TCursorKind::Wait);

    ASSERT_TRUE(QTest::qWaitFor([&] { return form->btSaveChanges->isEnabled(); }, 3000));
    EXPECT_GE(clock.elapsed(), 950);
    EXPECT_EQ(form->btSaveChanges->text(), QStringLiteral("Save changes to interface"));
    EXPECT_EQ(seam->cursor, TCursorKind::Arrow);
    EXPECT_FALSE(form->tmSaveIndication->isActive());
    EXPECT_TRUE(peer.Received().isEmpty()) << "sent once only";

    // The polling went on meanwhile, untouched.
    Tick();
    ExpectSent("3,1\r");
}

TEST_F(ComStateTest, StoreAndRevertWithThePortClosedOnlyBeep)
{
    form->btSaveChanges->click();
    EXPECT_EQ(seam->beeps, 1);
    EXPECT_TRUE(form->btSaveChanges->isEnabled());
    EXPECT_EQ(form->btSaveChanges->text(), QStringLiteral("Store changes in interface"));
    EXPECT_TRUE(seam->cursorHistory.empty());
    EXPECT_FALSE(form->tmSaveIndication->isActive());

    form->btRevert->click();
    EXPECT_EQ(seam->beeps, 2);
    EXPECT_EQ(form->fComState, csReqPrm1);
    Tick();                                     // the port check wins
    EXPECT_EQ(form->fComState, csNotConnected); // ... and the tick opened the port
    EXPECT_TRUE(peer.Received().isEmpty());
}

TEST_F(ComStateTest, RevertMidCycleSendsOnceAndReadsEveryParameterAgain)
{
    Connect();
    for (int n = 1; n <= 6; ++n) {
        Tick();
        Reply("3," + QByteArray::number(n) + ",0");
    }
    Discard();
    form->btRevert->click();
    ExpectSent("5,2,1\r");
    EXPECT_EQ(seam->cursor, TCursorKind::Wait);
    EXPECT_EQ(form->fComState, csReqPrm1);
    for (int n = 1; n <= 16; ++n) {
        Tick();
        ExpectSent("3," + QByteArray::number(n) + "\r");
        EXPECT_TRUE(form->pbLoading->isVisibleTo(form.get()));
        Reply("3," + QByteArray::number(n) + ",0");
    }
    EXPECT_EQ(seam->cursor, TCursorKind::Arrow);
}

TEST_F(ComStateTest, RevertOnASilentLineGivesWayToTheDataTimeout)
{
    Connect();
    for (int i = 0; i < 8; ++i)
        Tick();
    ASSERT_EQ(form->fComState, csNoData);
    Discard();
    form->btRevert->click();
    ExpectSent("5,2,1\r");
    Tick();
    ExpectSent("11\r");
    EXPECT_EQ(form->fComState, csNoData);
}

TEST_F(ComStateTest, AnOutputQueueThatCannotTakeACommandIsReportedOnce)
{
    Connect();
    // The interface stops reading; the program keeps sending.
    const QByteArray block(4096, '4');
    while (form->ComPort1->WriteText(block)) {
    }
    for (int i = 0; i < 30; ++i)
        Tick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !seam->messages.empty(); }, 3000));
    QTest::qWait(50);
    ASSERT_EQ(seam->messages.size(), 1u);
    EXPECT_EQ(seam->messages.at(0).kind, TMessageKind::Error);
    EXPECT_EQ(seam->messages.at(0).text,
              QStringLiteral("Output buffer is full. Please check comm status."));
}

} // namespace

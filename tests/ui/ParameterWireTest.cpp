// SPDX-License-Identifier: MIT
// The parameter controls over an open port: exactly the lines each gesture puts on the wire,
// the live re-send while a thumb is held, and the firmware rules as the interface reports its
// version.
#include "ControlsFixture.h"

#include "link/ComPort.h"
#include "support/PtyPeer.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <algorithm>
#include <vector>

namespace {

class ControlsWireTest : public ControlsTest
{
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        ASSERT_TRUE(peer.IsValid());
        form->fComPort = peer.PortName();
        form->OpenSavedPort();
        ASSERT_TRUE(form->ComPort1->Active());
        QCoreApplication::processEvents();
        peer.ReadAvailable();
        peer.ClearReceived();
        seam->Clear();
    }

    // What went out since the last call. A version request closes the span: the port sends in
    // order, so once its line is in, everything written before it is in too.
    QByteArray Sent()
    {
        form->RequestVersion();
        const bool closed = QTest::qWaitFor([&] {
            peer.ReadAvailable();
            const QByteArray &r = peer.Received();
            return r == "11\r" || r.endsWith("\r11\r");
        });
        EXPECT_TRUE(closed) << peer.Received().toStdString();
        QByteArray sent = peer.Received();
        peer.ClearReceived();
        sent.chop(3);
        return sent;
    }

    // The interface reports a parameter or its version over the line.
    void Reply(const QByteArray &line, const std::function<bool()> &arrived)
    {
        peer.Write(line);
        ASSERT_TRUE(QTest::qWaitFor(arrived)) << line.toStdString();
    }

    static QByteArray Line(int nr, int32_t value)
    {
        return "4," + QByteArray::number(nr) + "," + QByteArray::number(value) + "\r";
    }

    TPtyPeer peer{QStringLiteral("controls0")};
};

TEST_F(ControlsWireTest, EachSliderGestureSendsExactlyItsLines)
{
    ShowTypes(0, 0);
    for (const TSliderCase &c : kSliders) {
        SCOPED_TRACE(c.name);
        TTrackBar *bar = form.get()->*c.bar;
        const int nr = Index(c.param);
        const bool live = c.flag != nullptr;
        bar->SetPosition(c.start);
        Value(c.param) = ValueAt(c.kind, c.start);

        // Drag two steps, with one refresh tick while the thumb is held.
        QPoint at = Thumb(bar);
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, at);
        const int p1 = DragToNextPosition(bar, at);
        const int p2 = DragToNextPosition(bar, at);
        form->tmRefreshDetectSettingTimer();
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, at);
        const QByteArray release = Line(nr, ValueAt(c.kind, p2));
        EXPECT_EQ(Sent(), live ? Line(nr, ValueAt(c.kind, p1)) + release : release);

        // A keyboard step: one line, no flag left behind.
        bar->setFocus();
        QTest::keyClick(bar, bar->orientation() == Qt::Horizontal ? Qt::Key_Right : Qt::Key_Down);
        EXPECT_EQ(Sent(), Line(nr, ValueAt(c.kind, p2 + 1)));
        form->tmRefreshDetectSettingTimer();
        EXPECT_EQ(Sent(), QByteArray());

        // A wheel step and a press and release on the thumb: one line each.
        Wheel(bar, -120);
        const int wheeled = bar->Position();
        EXPECT_NE(wheeled, p2 + 1);
        EXPECT_EQ(Sent(), Line(nr, ValueAt(c.kind, wheeled)));
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, Thumb(bar));
        EXPECT_EQ(Sent(), Line(nr, ValueAt(c.kind, wheeled)));
    }
    EXPECT_EQ(seam->beeps, 0);
}

TEST_F(ControlsWireTest, HeldThumbIsResentEveryTickUntilItsRelease)
{
    ShowTypes(0, 0);
    TTrackBar *bar = form->tbDetLevelA;
    form->SetDetLevelA(256, Index("DetLevelA"));
    ASSERT_EQ(bar->Position(), 255);
    QPoint at = Thumb(bar);
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, at);
    const int held = DragToNextPosition(bar, at);
    // The value stored while changing is the one of the position left: 256.
    const QByteArray line = Line(7, 256);
    EXPECT_EQ(Sent(), QByteArray());

    form->tmRefreshDetectSetting->start();
    std::vector<qint64> arrivals;
    QByteArray pending; // bytes of a line not yet complete
    QElapsedTimer clock;
    clock.start();
    const size_t copies = 6;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            pending += peer.ReadAvailable();
            while (pending.startsWith(line)) {
                arrivals.push_back(clock.elapsed());
                pending.remove(0, line.size());
            }
            // Stop early on anything but the held value (or the start of it).
            return arrivals.size() >= copies || !line.startsWith(pending);
        },
        5000));
    ASSERT_TRUE(line.startsWith(pending)) << pending.toStdString();
    ASSERT_GE(arrivals.size(), copies);
    std::vector<qint64> gaps;
    for (size_t i = 1; i < arrivals.size(); ++i)
        gaps.push_back(arrivals[i] - arrivals[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    const qint64 median = gaps[gaps.size() / 2];
    RecordProperty("medianResendGapMs", static_cast<int>(median));
    // Ten a second, one line per tick: never a burst. The span of five gaps allows for the
    // timer's coarse slack and a late first look at the line on a busy machine.
    EXPECT_GE(arrivals.back() - arrivals.front(), 350);
    EXPECT_GE(median, 60);
    EXPECT_LE(median, 400);

    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_FALSE(form->fchangingDetLevelA);
    QSignalSpy ticks(form->tmRefreshDetectSetting, &QTimer::timeout);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.count() >= 3; }, 3000));
    // After the release: the final value once, then silence however many ticks pass.
    peer.ClearReceived();
    QByteArray after = pending + Sent();
    // A held copy already on its way when the button went up belongs before the release.
    while (after.startsWith(line))
        after.remove(0, line.size());
    EXPECT_EQ(after, Line(7, DetLevelFromPosition(held)));
}

TEST_F(ControlsWireTest, RefreshTickSendsTheHeldSlidersInTheirOrder)
{
    for (int nr = 5; nr <= 12; ++nr)
        form->SettingsData[nr].value = 100 + nr;
    form->fchangingPTToffDelayB = true;
    form->fchangingLevelDetGainA = true;
    form->tmRefreshDetectSettingTimer();
    EXPECT_EQ(Sent(), Line(5, 105) + Line(12, 112));

    for (bool F::*flag :
         {&F::fchangingLevelDetGainB, &F::fchangingDetLevelA, &F::fchangingDetLevelB,
          &F::fchangingPTTonDelayA, &F::fchangingPTTonDelayB, &F::fchangingPTToffDelayA})
        form.get()->*flag = true;
    form->tmRefreshDetectSettingTimer();
    QByteArray expected;
    for (int nr = 5; nr <= 12; ++nr)
        expected += Line(nr, 100 + nr);
    EXPECT_EQ(Sent(), expected);
}

TEST_F(ControlsWireTest, ListChoicesSendTheirValue)
{
    PickNext(form->cmb_RaAtype, 4);
    EXPECT_EQ(Sent(), Line(1, 5));
    PickNext(form->cmb_ComType_B, 0);
    EXPECT_EQ(Sent(), Line(14, 1));
    Type(form->cmb_ComType_A, QStringLiteral("ab"));
    EXPECT_EQ(Sent(), Line(13, -1) + Line(13, -1));
    PickNext(form->cmb_Baud_B, 4);
    EXPECT_EQ(Sent(), Line(16, 1152));
}

// A received rate that is not in the list shows "Invalid" and is never echoed; choosing
// "Invalid" sends the stored rate again.
TEST_F(ControlsWireTest, InvalidBaudChoiceResendsTheReceivedRate)
{
    Reply("3,15,2304\r", [&] { return Value("Baud_A") == 2304; });
    EXPECT_EQ(form->cmb_Baud_A->currentText(), QStringLiteral("Invalid"));
    EXPECT_EQ(Sent(), QByteArray());
    PickNext(form->cmb_Baud_A, 5);
    EXPECT_EQ(Sent(), Line(15, 2304));
}

TEST_F(ControlsWireTest, RepliesMoveTheControlsWithoutEcho)
{
    ShowTypes(0, 0);
    Reply("3,9,15\r3,7,0\r3,8,2\r3,6,300\r3,3,12\r",
          [&] { return form->lbGainA->text() == QStringLiteral("Gain= 1dB"); });
    EXPECT_EQ(form->tbPTTonDelayA->Position(), 1);
    EXPECT_EQ(form->lbPTTonDelayA->text(), QStringLiteral("PTT On filter\rdelay= 15ms"));
    EXPECT_EQ(form->tbDetLevelA->Position(), 0);
    EXPECT_EQ(form->tbDetLevelB->Position(), 1024);
    EXPECT_EQ(form->lbDetGainB->text(), QStringLiteral("Gain= 300"));
    EXPECT_EQ(Value("LevelDetGainB"), 0);
    EXPECT_EQ(Sent(), QByteArray());
}

TEST_F(ControlsWireTest, FirmwareOnePointFiveStoresTypeTwoAndRefusesAReceivedZero)
{
    Reply("11,1,5\r", [&] { return form->fVersionMinor == 5; });
    PickNext(form->cmb_RaAtype, 3); // type 4
    EXPECT_EQ(Sent(), Line(1, 2));
    Reply("3,1,0\r3,2,1\r", [&] { return form->cmb_RaBtype->ItemIndex() == 1; });
    EXPECT_EQ(Value("RaAtype"), 2);
    EXPECT_EQ(form->cmb_RaAtype->ItemIndex(), 2);
    EXPECT_EQ(Sent(), QByteArray());
}

TEST_F(ControlsWireTest, FirmwareOnePointSixCapsTypeFourToThree)
{
    Reply("11,1,6\r", [&] { return form->fVersionMinor == 6; });
    PickNext(form->cmb_RaBtype, 3);
    EXPECT_EQ(Sent(), Line(2, 3));
    EXPECT_EQ(form->cmb_RaBtype->ItemIndex(), 3);
}

TEST_F(ControlsWireTest, FirmwareOnePointZeroSnapsComTypeAndBaud)
{
    Reply("11,1,0\r", [&] { return form->fVersionMain == 1; });
    PickPrevious(form->cmb_ComType_A, 1); // "TTL 5V"
    EXPECT_EQ(Sent(), Line(13, 1));
    PickNext(form->cmb_Baud_B, 0); // "9600"
    EXPECT_EQ(Sent(), Line(16, 384));
    EXPECT_EQ(form->cmb_Baud_B->currentText(), QStringLiteral("38400"));
}

TEST_F(ControlsWireTest, UnknownMajorAfterOnePointTwoKeepsItsRules)
{
    Reply("11,1,2\r11,3,0\r", [&] { return form->fVersionMain == 3; });
    EXPECT_EQ(form->lbVersion->text(), QStringLiteral("Firmware version: 3.0"));
    EXPECT_EQ(form->cmb_RaAtype->count(), 5);
    EXPECT_EQ(form->cmb_ComType_A->itemText(0), QStringLiteral("TTL 5V"));
    PickNext(form->cmb_RaAtype, 3);
    EXPECT_EQ(Sent(), Line(1, 2));
    PickNext(form->cmb_RaBtype, 3);
    EXPECT_EQ(Sent(), Line(2, 1));
}

TEST_F(ControlsWireTest, FirmwareTwoAfterOnePointSevenOffersTheSixthTypeAgain)
{
    Reply("11,1,7\r", [&] { return form->fVersionMinor == 7; });
    EXPECT_EQ(form->cmb_RaAtype->count(), 5);
    Reply("11,2,0\r", [&] { return form->fVersionMain == 2; });
    ASSERT_EQ(form->cmb_RaAtype->count(), 6);
    PickNext(form->cmb_RaAtype, 4);
    EXPECT_EQ(Sent(), Line(1, 5));
    EXPECT_EQ(form->cmb_ComType_B->itemText(0), QStringLiteral("TTL 3V"));
}

} // namespace

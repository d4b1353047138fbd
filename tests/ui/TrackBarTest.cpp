// SPDX-License-Identifier: MIT
// The slider's notifications for each gesture, driven with real input events on the
// offscreen platform.
#include "ui/TrackBar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

namespace {

// A slider on a shown window that writes down each notification as "changing <NewPos> at
// <Position()>" or "change <Position()>".
class TrackBarTest : public ::testing::Test
{
protected:
    void Make(Qt::Orientation orientation, int maximum, int page, QSize size)
    {
        bar = new TTrackBar(orientation, &host);
        bar->setRange(0, maximum);
        bar->setPageStep(page);
        bar->setSingleStep(1);
        bar->setGeometry(QRect(QPoint(10, 10), size));
        bar->OnChanging = [this](TTrackBar *sender, int newPos, bool &allowChange) {
            EXPECT_EQ(sender, bar);
            EXPECT_TRUE(allowChange);
            events << QStringLiteral("changing %1 at %2").arg(newPos).arg(bar->Position());
            allowChange = allow;
        };
        bar->OnChange = [this](TTrackBar *sender) {
            EXPECT_EQ(sender, bar);
            events << QStringLiteral("change %1").arg(bar->Position());
        };
        host.resize(400, 400);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        bar->setFocus();
    }

    void MakeGainLike() { Make(Qt::Horizontal, 20, 5, QSize(212, 20)); }
    void MakeDetLevelLike() { Make(Qt::Vertical, 1024, 2, QSize(20, 80)); }

    QPoint ThumbCentre() const { return bar->ThumbRect().center(); }

    void Wheel(int angle)
    {
        const QPointF at = ThumbCentre();
        QWheelEvent event(at, bar->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &event);
    }

    QTimer *RepeatTimer() const { return bar->findChild<QTimer *>(QStringLiteral("trackRepeat")); }

    QWidget host;
    TTrackBar *bar = nullptr;
    QStringList events;
    bool allow = true;
};

TEST_F(TrackBarTest, DragRaisesChangingBeforeEachNewPositionAndChangeOnceAtRelease)
{
    MakeGainLike();
    bar->SetPosition(5);
    QPoint at = ThumbCentre();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_TRUE(events.isEmpty());
    for (int i = 0; i < 6; ++i) {
        at += QPoint(10, 0); // about one position per move on this 212-px slider
        QTest::mouseMove(bar, at);
    }
    const int dragged = bar->Position();
    ASSERT_GT(dragged, 5);
    // Every notification of the drag is a changing one, each with the position the slider
    // held until then, and they follow each other without gaps.
    ASSERT_FALSE(events.isEmpty());
    int previous = 5;
    for (const QString &e : events) {
        const QStringList parts = e.split(QLatin1Char(' '));
        ASSERT_EQ(parts.size(), 4) << e.toStdString();
        ASSERT_EQ(parts[0], QStringLiteral("changing"));
        EXPECT_EQ(parts[3].toInt(), previous) << e.toStdString();
        EXPECT_GT(parts[1].toInt(), previous) << e.toStdString();
        previous = parts[1].toInt();
    }
    EXPECT_EQ(previous, dragged);
    events.clear();
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(events, QStringList{QStringLiteral("change %1").arg(dragged)});
}

TEST_F(TrackBarTest, PressAndReleaseOnTheThumbWithoutMovingStillRaisesChange)
{
    MakeGainLike();
    bar->SetPosition(7);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, ThumbCentre());
    EXPECT_EQ(events, QStringList{QStringLiteral("change 7")});
}

TEST_F(TrackBarTest, RefusedChangeKeepsThePosition)
{
    MakeGainLike();
    bar->SetPosition(5);
    allow = false;
    QPoint at = ThumbCentre();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(bar, at + QPoint(30, 0));
    EXPECT_EQ(bar->Position(), 5);
    EXPECT_EQ(bar->sliderPosition(), 5);
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, at + QPoint(30, 0));
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(bar->Position(), 5);
    EXPECT_EQ(events, (QStringList{QStringLiteral("changing 8 at 5"), QStringLiteral("change 5"),
                                   QStringLiteral("changing 6 at 5")}));
}

// A reply that moves the slider back while the thumb is held wins until the pointer moves.
TEST_F(TrackBarTest, PositionSetFromCodeDuringADragHoldsUntilThePointerMoves)
{
    MakeGainLike();
    bar->SetPosition(5);
    QPoint at = ThumbCentre();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, at);
    at += QPoint(30, 0);
    QTest::mouseMove(bar, at);
    const int dragged = bar->Position();
    ASSERT_GT(dragged, 5);
    events.clear();
    bar->SetPosition(5);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(bar->Position(), 5);
    QTest::mouseMove(bar, at + QPoint(1, 0));
    EXPECT_EQ(bar->Position(), dragged);
    EXPECT_EQ(events, QStringList{QStringLiteral("changing %1 at 5").arg(dragged)});
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, at + QPoint(1, 0));
}

TEST_F(TrackBarTest, HidingTheSliderEndsADrag)
{
    MakeGainLike();
    bar->SetPosition(5);
    QPoint at = ThumbCentre();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(bar, at + QPoint(20, 0));
    const int dragged = bar->Position();
    events.clear();
    bar->hide();
    EXPECT_FALSE(bar->isSliderDown());
    EXPECT_EQ(events, QStringList{QStringLiteral("change %1").arg(dragged)});
}

struct TKeyCase
{
    const char *name;
    Qt::Key key;
    int to;
};

TEST_F(TrackBarTest, KeyboardStepRaisesChangingThenChange)
{
    // From position 10 of a 0..20 slider with page 5.
    const TKeyCase cases[] = {
        {"right", Qt::Key_Right, 11},   {"left", Qt::Key_Left, 9},
        {"up", Qt::Key_Up, 11},         {"down", Qt::Key_Down, 9},
        {"pageUp", Qt::Key_PageUp, 15}, {"pageDown", Qt::Key_PageDown, 5},
        {"home", Qt::Key_Home, 0},      {"end", Qt::Key_End, 20},
    };
    MakeGainLike();
    for (const TKeyCase &c : cases) {
        SCOPED_TRACE(c.name);
        bar->SetPosition(10);
        events.clear();
        QTest::keyClick(bar, c.key);
        EXPECT_EQ(bar->Position(), c.to);
        EXPECT_EQ(events, (QStringList{QStringLiteral("changing %1 at 10").arg(c.to),
                                       QStringLiteral("change %1").arg(c.to)}));
    }
}

TEST_F(TrackBarTest, VerticalSliderHasItsMinimumAtTheTopAndKeysFollowTheArrows)
{
    MakeDetLevelLike();
    bar->SetPosition(0);
    const int topY = bar->ThumbRect().center().y();
    bar->SetPosition(1024);
    EXPECT_GT(bar->ThumbRect().center().y(), topY);

    const TKeyCase cases[] = {
        {"upMovesTowardTheTop", Qt::Key_Up, 254},
        {"downMovesTowardTheBottom", Qt::Key_Down, 256},
        {"pageUp", Qt::Key_PageUp, 253},
        {"pageDown", Qt::Key_PageDown, 257},
        {"home", Qt::Key_Home, 0},
        {"end", Qt::Key_End, 1024},
    };
    for (const TKeyCase &c : cases) {
        SCOPED_TRACE(c.name);
        bar->SetPosition(255);
        events.clear();
        QTest::keyClick(bar, c.key);
        EXPECT_EQ(bar->Position(), c.to);
        EXPECT_EQ(events, (QStringList{QStringLiteral("changing %1 at 255").arg(c.to),
                                       QStringLiteral("change %1").arg(c.to)}));
    }
}

TEST_F(TrackBarTest, StepThatCannotMoveRaisesNothing)
{
    MakeGainLike();
    bar->SetPosition(20);
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_End);
    bar->SetPosition(0);
    QTest::keyClick(bar, Qt::Key_Home);
    Wheel(-120);
    EXPECT_TRUE(events.isEmpty()) << events.join(QLatin1Char('|')).toStdString();
}

TEST_F(TrackBarTest, WheelStepRaisesChangeOnly)
{
    MakeGainLike();
    bar->SetPosition(10);
    Wheel(120);
    ASSERT_EQ(events.size(), 1);
    EXPECT_GT(bar->Position(), 10);
    EXPECT_EQ(events.front(), QStringLiteral("change %1").arg(bar->Position()));

    // On the vertical slider the wheel turned away from the user moves the thumb up.
    delete bar;
    events.clear();
    MakeDetLevelLike();
    bar->SetPosition(255);
    Wheel(120);
    ASSERT_EQ(events.size(), 1);
    EXPECT_LT(bar->Position(), 255);
    EXPECT_EQ(events.front(), QStringLiteral("change %1").arg(bar->Position()));
}

TEST_F(TrackBarTest, PositionFromCodeIsClampedAndRaisesNothing)
{
    MakeGainLike();
    const struct
    {
        int set;
        int shown;
    } cases[] = {{7, 7}, {20, 20}, {21, 20}, {999, 20}, {-1, 0}, {0, 0}};
    for (const auto &c : cases) {
        bar->SetPosition(c.set);
        EXPECT_EQ(bar->Position(), c.shown) << c.set;
    }
    EXPECT_TRUE(events.isEmpty());
}

// A press on the track steps by one toward the pointer at once, keeps stepping while it is
// held, and stops when the thumb has reached the pointer; each step is its own
// changing-then-change pair, and the release adds nothing.
TEST_F(TrackBarTest, PressHeldOnTheTrackStepsByOneUntilTheThumbReachesThePointer)
{
    MakeGainLike();
    bar->SetPosition(2);
    const QPoint target(bar->ThumbRect().center().x() + 50, ThumbCentre().y());
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, target);
    EXPECT_EQ(events, (QStringList{QStringLiteral("changing 3 at 2"), QStringLiteral("change 3")}));
    QTimer *repeat = RepeatTimer();
    ASSERT_NE(repeat, nullptr);
    EXPECT_TRUE(repeat->isActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !repeat->isActive(); }, 5000));
    const QRect thumb = bar->ThumbRect();
    EXPECT_LE(thumb.left(), target.x());
    EXPECT_GE(thumb.right(), target.x());
    const int reached = bar->Position();
    ASSERT_GT(reached, 4);
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, target);
    QStringList expected;
    for (int p = 3; p <= reached; ++p)
        expected << QStringLiteral("changing %1 at %2").arg(p).arg(p - 1)
                 << QStringLiteral("change %1").arg(p);
    EXPECT_EQ(events, expected);
}

TEST_F(TrackBarTest, ReleaseOnTheTrackStopsTheSteps)
{
    MakeDetLevelLike();
    bar->SetPosition(512);
    const QPoint above(ThumbCentre().x(), bar->ThumbRect().top() - 10);
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, above);
    EXPECT_EQ(bar->Position(), 511); // toward the top: smaller positions
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->Position() <= 509; }, 5000));
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, above);
    EXPECT_FALSE(RepeatTimer()->isActive());
    ASSERT_EQ(events.size() % 2, 0);
    EXPECT_EQ(events.back(), QStringLiteral("change %1").arg(bar->Position()));
}

} // namespace

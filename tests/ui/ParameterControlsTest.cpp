// SPDX-License-Identifier: MIT
// The parameter controls with the port closed: what each gesture stores, shows and tries to
// send (every send with the port closed is one beep), and what the setters show.
#include "ControlsFixture.h"

#include <QImage>

#include <functional>
#include <string>

namespace {

// A drag stores and sends as the slider's kind does: the gain only at release with its label
// following the thumb; the others store the position they are leaving (trailing one step),
// raise their flag, re-send on each refresh tick, and store the final position at release.
TEST_F(ControlsTest, DragOfEachSliderStoresAndSendsAsItsKindDoes)
{
    ShowTypes(0, 0);
    for (const TSliderCase &c : kSliders) {
        SCOPED_TRACE(c.name);
        TTrackBar *bar = form.get()->*c.bar;
        ASSERT_TRUE(bar->isVisible());
        QLabel *label = c.label ? form.get()->*c.label : nullptr;
        const bool live = c.flag != nullptr;
        bar->SetPosition(c.start);
        Value(c.param) = ValueAt(c.kind, c.start);
        const QString labelBefore = label ? label->text() : QString();
        seam->Clear();

        QPoint at = Thumb(bar);
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, at);
        const int p1 = DragToNextPosition(bar, at);
        EXPECT_EQ(Value(c.param), ValueAt(c.kind, c.start));
        if (live) {
            EXPECT_TRUE(form.get()->*c.flag);
        }
        const int p2 = DragToNextPosition(bar, at);
        if (c.kind == TSliderKind::Gain) {
            EXPECT_EQ(Value(c.param), c.start);
            EXPECT_EQ(label->text(), GainLabelText(p2));
        } else {
            EXPECT_EQ(Value(c.param), ValueAt(c.kind, p1));
            if (label) {
                EXPECT_EQ(label->text(), LabelFor(c.kind, ValueAt(c.kind, p1)));
            }
        }
        EXPECT_EQ(seam->beeps, 0);

        form->tmRefreshDetectSettingTimer();
        EXPECT_EQ(seam->beeps, live ? 1 : 0);

        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_EQ(seam->beeps, live ? 2 : 1);
        EXPECT_EQ(Value(c.param), ValueAt(c.kind, p2));
        if (live) {
            EXPECT_FALSE(form.get()->*c.flag);
        }
        if (label) {
            EXPECT_EQ(label->text(), LabelFor(c.kind, ValueAt(c.kind, p2)));
        }
        if (c.kind != TSliderKind::Gain && label) {
            EXPECT_NE(label->text(), labelBefore);
        }
        form->tmRefreshDetectSettingTimer();
        EXPECT_EQ(seam->beeps, live ? 2 : 1);
    }
}

TEST_F(ControlsTest, PressAndReleaseOnAThumbSendsItsValueOnce)
{
    ShowTypes(0, 0);
    for (const TSliderCase &c : kSliders) {
        SCOPED_TRACE(c.name);
        TTrackBar *bar = form.get()->*c.bar;
        bar->SetPosition(c.start + 1);
        Value(c.param) = -7;
        seam->Clear();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, Thumb(bar));
        EXPECT_EQ(seam->beeps, 1);
        EXPECT_EQ(Value(c.param), ValueAt(c.kind, c.start + 1));
        if (c.flag) {
            EXPECT_FALSE(form.get()->*c.flag);
        }
    }
}

TEST_F(ControlsTest, KeyboardStepOnADetectionLevelSliderSendsOnceAndLeavesItsFlagClear)
{
    ShowTypes(0, 0);
    form->tbDetLevelA->setFocus();
    QTest::keyClick(form->tbDetLevelA, Qt::Key_Down);
    EXPECT_EQ(form->tbDetLevelA->Position(), 256);
    EXPECT_EQ(Value("DetLevelA"), DetLevelFromPosition(256));
    EXPECT_FALSE(form->fchangingDetLevelA);
    EXPECT_EQ(seam->beeps, 1);
}

TEST_F(ControlsTest, WheelStepOnAGainSliderSendsButLeavesTheLabel)
{
    form->SetGainA(10, Index("GainA"));
    ASSERT_EQ(form->lbGainA->text(), QStringLiteral("Gain= -5dB"));
    Wheel(form->tbGainA, 120);
    EXPECT_GT(form->tbGainA->Position(), 10);
    EXPECT_EQ(Value("GainA"), form->tbGainA->Position());
    EXPECT_EQ(form->lbGainA->text(), QStringLiteral("Gain= -5dB"));
    EXPECT_EQ(seam->beeps, 1);
}

// Gain is sent only at release, so a reply during the drag still carries the old value; it
// wins until the pointer moves again.
TEST_F(ControlsTest, GainReplyDuringADragPutsSliderAndLabelBackUntilThePointerMoves)
{
    form->SetGainA(5, Index("GainA"));
    TTrackBar *bar = form->tbGainA;
    QPoint at = Thumb(bar);
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, at);
    const int dragged = DragToNextPosition(bar, at);
    form->SetGainA(5, Index("GainA"));
    EXPECT_EQ(bar->Position(), 5);
    EXPECT_EQ(form->lbGainA->text(), QStringLiteral("Gain= -20dB"));
    at += QPoint(1, 0);
    QTest::mouseMove(bar, at);
    EXPECT_EQ(bar->Position(), dragged);
    EXPECT_EQ(form->lbGainA->text(), GainLabelText(dragged));
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(Value("GainA"), dragged);
    EXPECT_EQ(seam->beeps, 1);
}

TEST_F(ControlsTest, RefreshTickSendsEverySliderThatIsHeld)
{
    bool F::*flags[] = {&F::fchangingLevelDetGainA, &F::fchangingLevelDetGainB,
                        &F::fchangingDetLevelA,     &F::fchangingDetLevelB,
                        &F::fchangingPTTonDelayA,   &F::fchangingPTTonDelayB,
                        &F::fchangingPTToffDelayA,  &F::fchangingPTToffDelayB};
    form->tmRefreshDetectSettingTimer();
    EXPECT_EQ(seam->beeps, 0);
    for (bool F::*flag : flags)
        form.get()->*flag = true;
    form->tmRefreshDetectSettingTimer();
    EXPECT_EQ(seam->beeps, 8);
    // The loop only sends: the flags stay until their slider's release clears them.
    for (bool F::*flag : flags)
        EXPECT_TRUE(form.get()->*flag);
}

// ---- setters ----------------------------------------------------------------------------

// What the controls of a parameter show, as one comparable text.
using TShown = std::function<QString(TMerrowMainForm &)>;

QString Slider(TTrackBar *bar)
{
    return QStringLiteral("at %1").arg(bar->Position());
}

QString List(TComboBox *combo)
{
    return QStringLiteral("item %1 \"%2\"").arg(combo->ItemIndex()).arg(combo->currentText());
}

QString Pei(QLabel *label)
{
    return label->isHidden() ? QStringLiteral(" no PEI") : QStringLiteral(" PEI");
}

struct TSetterCase
{
    const char *param;
    TShown shown;
    const char *atMax; // what the controls show once Maxval is stored
};

// A value at Maxval is stored; Maxval + 1 and -1 (an unreadable reply) are refused and the
// controls show the stored value again. Both radio types range over 0..5 under firmware 2.0.
TEST_F(ControlsTest, SettersStoreWithinTheRangeAndShowTheStoredValue)
{
    const TSetterCase cases[] = {
        {"RaAtype", [](F &f) { return List(f.cmb_RaAtype) + Pei(f.lbPeiA); },
         "item 5 \"Radio with Squelch High output for RX detect\" no PEI"},
        {"RaBtype", [](F &f) { return List(f.cmb_RaBtype) + Pei(f.lbPeiB); },
         "item 5 \"Radio with Squelch High output for RX detect\" no PEI"},
        {"GainA", [](F &f) { return Slider(f.tbGainA) + " " + f.lbGainA->text(); },
         "at 20 Gain= 25dB"},
        {"GainB", [](F &f) { return Slider(f.tbGainB) + " " + f.lbGainB->text(); },
         "at 20 Gain= 25dB"},
        {"LevelDetGainA", [](F &f) { return Slider(f.tbLevelDetGainA); }, "at 255"},
        {"LevelDetGainB", [](F &f) { return Slider(f.tbLevelDetGainB); }, "at 255"},
        // 1023 lies above the top of the logarithmic scale.
        {"DetLevelA", [](F &f) { return Slider(f.tbDetLevelA); }, "at 0"},
        {"DetLevelB", [](F &f) { return Slider(f.tbDetLevelB); }, "at 0"},
        {"PTTOnDelayA",
         [](F &f) { return Slider(f.tbPTTonDelayA) + " " + f.lbPTTonDelayA->text(); },
         "at 150 PTT On filter\rdelay= 1500ms"},
        {"PTTOnDelayB",
         [](F &f) { return Slider(f.tbPTTonDelayB) + " " + f.lbPTTonDelayB->text(); },
         "at 150 PTT On filter\rdelay= 1500ms"},
        {"PTTOffDelayA",
         [](F &f) { return Slider(f.tbPTToffDelayA) + " " + f.lbPTToffDelayA->text(); },
         "at 150 PTT Off hold\rdelay= 1500ms"},
        {"PTTOffDelayB",
         [](F &f) { return Slider(f.tbPTToffDelayB) + " " + f.lbPTToffDelayB->text(); },
         "at 150 PTT Off hold\rdelay= 1500ms"},
        {"ComType_A", [](F &f) { return List(f.cmb_ComType_A); }, "item 1 \"RS232\""},
        {"ComType_B", [](F &f) { return List(f.cmb_ComType_B); }, "item 1 \"RS232\""},
        {"Baud_A", [](F &f) { return List(f.cmb_Baud_A); }, "item 6 \"Invalid\""},
        {"Baud_B", [](F &f) { return List(f.cmb_Baud_B); }, "item 6 \"Invalid\""},
    };
    for (const TSetterCase &c : cases) {
        SCOPED_TRACE(c.param);
        const int nr = Index(c.param);
        const TSettingsRec &entry = form->SettingsData[nr];
        entry.Setter(entry.Maxval, nr);
        EXPECT_EQ(entry.value, entry.Maxval);
        EXPECT_EQ(c.shown(*form), QString::fromLatin1(c.atMax));
        for (int32_t refused : {entry.Maxval + 1, -1}) {
            SCOPED_TRACE(refused);
            entry.Setter(refused, nr);
            EXPECT_EQ(entry.value, entry.Maxval);
            EXPECT_EQ(c.shown(*form), QString::fromLatin1(c.atMax));
        }
    }
    EXPECT_EQ(seam->beeps, 0);
    EXPECT_FALSE(form->fchangingDetLevelA);
}

TEST_F(ControlsTest, SettersShowWhatTheyStore)
{
    struct
    {
        const char *name;
        const char *param;
        int32_t val;
        TShown shown;
        const char *expected;
    } const cases[] = {
        {"gainMinimum", "GainA", 0,
         [](F &f) { return Slider(f.tbGainA) + " " + f.lbGainA->text(); }, "at 0 Gain= -35dB"},
        {"gainTwelveIsOneDecibel", "GainB", 12,
         [](F &f) { return Slider(f.tbGainB) + " " + f.lbGainB->text(); }, "at 12 Gain= 1dB"},
        {"detectorGain", "LevelDetGainA", 42,
         [](F &f) { return Slider(f.tbLevelDetGainA) + " " + f.lbDetGainA->text(); },
         "at 42 Gain= 42"},
        {"levelZeroAtTheTop", "DetLevelA", 0, [](F &f) { return Slider(f.tbDetLevelA); }, "at 0"},
        {"levelTwoAtTheBottom", "DetLevelA", 2, [](F &f) { return Slider(f.tbDetLevelA); },
         "at 1024"},
        {"defaultLevel", "DetLevelB", 256, [](F &f) { return Slider(f.tbDetLevelB); }, "at 255"},
        {"delayBetweenSteps", "PTTOnDelayA", 15,
         [](F &f) { return Slider(f.tbPTTonDelayA) + " " + f.lbPTTonDelayA->text(); },
         "at 1 PTT On filter\rdelay= 15ms"},
        {"offDelay", "PTTOffDelayB", 250,
         [](F &f) { return Slider(f.tbPTToffDelayB) + " " + f.lbPTToffDelayB->text(); },
         "at 25 PTT Off hold\rdelay= 250ms"},
        {"comTypeTtl", "ComType_B", 0, [](F &f) { return List(f.cmb_ComType_B); },
         "item 0 \"TTL 3V\""},
        {"baud38400", "Baud_A", 384, [](F &f) { return List(f.cmb_Baud_A); }, "item 3 \"38400\""},
        {"baud115200", "Baud_B", 1152, [](F &f) { return List(f.cmb_Baud_B); },
         "item 5 \"115200\""},
        {"baudNotInTheTable", "Baud_A", 2304, [](F &f) { return List(f.cmb_Baud_A); },
         "item 6 \"Invalid\""},
        {"peiType", "RaAtype", 3, [](F &f) { return List(f.cmb_RaAtype) + Pei(f.lbPeiA); },
         "item 3 \"MTM5400/5500 Radio using PEI for RX detect\" PEI"},
        {"squelchType", "RaBtype", 1, [](F &f) { return List(f.cmb_RaBtype) + Pei(f.lbPeiB); },
         "item 1 \"Radio with Squelch Low output for RX detect\" no PEI"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const int nr = Index(c.param);
        form->SettingsData[nr].Setter(c.val, nr);
        EXPECT_EQ(Value(c.param), c.val);
        EXPECT_EQ(c.shown(*form), QString::fromLatin1(c.expected));
    }
    EXPECT_EQ(seam->beeps, 0);
}

TEST_F(ControlsTest, OutOfRangeDelayLeavesEverythingAsItWas)
{
    form->SetPTTOnDelayA(250, Index("PTTOnDelayA"));
    form->SetPTTOnDelayA(1505, Index("PTTOnDelayA"));
    EXPECT_EQ(Value("PTTOnDelayA"), 250);
    EXPECT_EQ(form->tbPTTonDelayA->Position(), 25);
    EXPECT_EQ(form->lbPTTonDelayA->text(), QStringLiteral("PTT On filter\rdelay= 250ms"));
}

// The detector-gain label shows what arrived, even a value the setter refused.
TEST_F(ControlsTest, RefusedDetectorGainStillShowsInItsLabel)
{
    form->SetLevelDetGainA(80, Index("LevelDetGainA"));
    form->SetLevelDetGainA(300, Index("LevelDetGainA"));
    EXPECT_EQ(Value("LevelDetGainA"), 80);
    EXPECT_EQ(form->tbLevelDetGainA->Position(), 80);
    EXPECT_EQ(form->lbDetGainA->text(), QStringLiteral("Gain= 300"));
}

// A settings file puts its value into the table before the setter runs; the setter then
// refuses it as a new value but shows what the table holds.
TEST_F(ControlsTest, ValueAlreadyInTheTableIsShownEvenOutOfRange)
{
    Value("GainA") = 999;
    form->SetGainA(999, Index("GainA"));
    EXPECT_EQ(form->tbGainA->Position(), 20);
    EXPECT_EQ(form->lbGainA->text(), QStringLiteral("Gain= 2962dB"));

    Value("RaBtype") = 9;
    form->SetRaBtype(9, Index("RaBtype"));
    EXPECT_EQ(form->cmb_RaBtype->ItemIndex(), -1);
    EXPECT_TRUE(form->lbPeiB->isHidden());
}

// How many lines of text an image shows: the runs of pixel rows that hold dark (text) pixels.
int TextLines(const QImage &image)
{
    int lines = 0;
    bool inLine = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x)
            ink = qGray(image.pixel(x, y)) < 100 && qAlpha(image.pixel(x, y)) > 128;
        if (ink && !inLine)
            ++lines;
        inLine = ink;
    }
    return lines;
}

// The delay label holds the exact text with its single carriage return and shows it on the
// two lines the label is sized for.
TEST_F(ControlsTest, DelayLabelShowsItsTwoLines)
{
    ShowTypes(0, 0);
    for (QLabel *label : {form->lbPTTonDelayA, form->lbPTToffDelayB}) {
        SCOPED_TRACE(label->objectName().toStdString());
        ASSERT_TRUE(label->isVisible());
        const QString before = label->text();
        EXPECT_EQ(before.count(QLatin1Char('\r')), 1);
        EXPECT_EQ(TextLines(label->grab().toImage()), 2);
    }
    form->SetPTTOnDelayA(15, Index("PTTOnDelayA"));
    EXPECT_EQ(form->lbPTTonDelayA->text(), QStringLiteral("PTT On filter\rdelay= 15ms"));
    EXPECT_EQ(TextLines(form->lbPTTonDelayA->grab().toImage()), 2);

    // The measure itself tells one line from two.
    QLabel oneLine(QStringLiteral("PTT On filter delay= 15ms"));
    oneLine.setFont(form->lbPTTonDelayA->font());
    oneLine.resize(form->lbPTTonDelayA->size());
    EXPECT_EQ(TextLines(oneLine.grab().toImage()), 1);
}

// ---- lists ------------------------------------------------------------------------------

TEST_F(ControlsTest, RadioTypeChoiceStoresSendsShowsPeiAndRepaintsAtOnce)
{
    struct
    {
        const char *name;
        int from;
        bool down;
        int stored;
        bool pei;
    } const cases[] = {
        {"peiType", 1, true, 2, true},
        {"lastPeiType", 3, true, 4, true},
        {"squelchHigh", 4, true, 5, false},
        {"afLevelSense", 1, false, 0, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        seam->Clear();
        if (c.down)
            PickNext(form->cmb_RaAtype, c.from);
        else
            PickPrevious(form->cmb_RaAtype, c.from);
        EXPECT_EQ(Value("RaAtype"), c.stored);
        EXPECT_EQ(form->cmb_RaAtype->ItemIndex(), c.stored);
        EXPECT_EQ(!form->lbPeiA->isHidden(), c.pei);
        EXPECT_EQ(seam->beeps, 1);
    }
    // Type 0 shows the level-sense controls, painted before the handler returned.
    EXPECT_TRUE(form->tbDetLevelA->isVisible());
    EXPECT_TRUE(form->lbPeiB->isHidden());
}

TEST_F(ControlsTest, RadioTypeChoiceAboveTheRangeIsPulledBackToItsTop)
{
    form->SettingsData[2].Maxval = 3;
    PickNext(form->cmb_RaBtype, 3);
    EXPECT_EQ(form->cmb_RaBtype->ItemIndex(), 3);
    EXPECT_EQ(Value("RaBtype"), 3);
    EXPECT_FALSE(form->lbPeiB->isHidden());
    EXPECT_EQ(seam->beeps, 1);
}

TEST_F(ControlsTest, RadioTypeSetterRequestsTheRepaintThatShowsItsControls)
{
    ASSERT_FALSE(form->tbDetLevelB->isVisible());
    form->SetRaBtype(0, Index("RaBtype"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->tbDetLevelB->isVisible(); }));
}

TEST_F(ControlsTest, ComTypeTextThatNamesNoItemIsStoredAsMinusOne)
{
    form->SetComType_A(0, Index("ComType_A"));
    Type(form->cmb_ComType_A, QStringLiteral("abc"));
    EXPECT_EQ(Value("ComType_A"), -1);
    EXPECT_EQ(seam->beeps, 3); // one send per key
    Type(form->cmb_ComType_B, QStringLiteral("RS232"));
    EXPECT_EQ(Value("ComType_B"), 1);
}

TEST_F(ControlsTest, BaudChoiceStoresTheRateAndInvalidKeepsTheStoredOne)
{
    PickNext(form->cmb_Baud_B, 1);
    EXPECT_EQ(Value("Baud_B"), 192);
    EXPECT_EQ(seam->beeps, 1);

    form->SetBaud_A(2304, Index("Baud_A"));
    EXPECT_EQ(form->cmb_Baud_A->currentText(), QStringLiteral("Invalid"));
    PickNext(form->cmb_Baud_A, 5);
    ASSERT_EQ(form->cmb_Baud_A->ItemIndex(), 6);
    EXPECT_EQ(Value("Baud_A"), 2304);
    EXPECT_EQ(seam->beeps, 2); // sent again all the same

    Type(form->cmb_Baud_A, QStringLiteral("12"));
    EXPECT_EQ(Value("Baud_A"), 2304);
    EXPECT_EQ(seam->beeps, 4);
}

} // namespace

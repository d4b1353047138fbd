// SPDX-License-Identifier: MIT
// A shown main window with a recording seam and its timers stopped, for the tests of the
// parameter controls, and the gestures those tests make on its sliders and lists.
#pragma once

#include "core/ValueMappings.h"
#include "support/RecordingSeam.h"
#include "support/WindowTimers.h"
#include "ui/ComboBox.h"
#include "ui/TandorMain.h"
#include "ui/TrackBar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <memory>
#include <ostream>

// Readable QStrings in failure messages (a carriage return shows as \r).
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << QString(text).replace(QLatin1Char('\r'), QStringLiteral("\\r")).toStdString()
        << '"';
}

class ControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        seam = new TRecordingSeam;
        form = std::make_unique<TMerrowMainForm>(seam);
        StopWindowTimers(*form);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
        seam->Clear();
    }

    int Index(const char *name) { return form->FindSettingIndex(QString::fromLatin1(name)); }
    int32_t &Value(const char *name) { return form->SettingsData[Index(name)].value; }

    // Selects the radio types through their setters and paints, so the diagram shows the
    // controls of those types (type 0 shows every slider of its side).
    void ShowTypes(int a, int b)
    {
        form->SetRaAtype(a, 1);
        form->SetRaBtype(b, 2);
        form->RepaintNow();
    }

    static QPoint Thumb(TTrackBar *bar) { return bar->ThumbRect().center(); }

    // Moves the held pointer along the slider, a pixel at a time toward the larger positions,
    // until the slider takes a new position. Returns that position.
    static int DragToNextPosition(TTrackBar *bar, QPoint &at)
    {
        const int before = bar->Position();
        const QPoint step = bar->orientation() == Qt::Horizontal ? QPoint(1, 0) : QPoint(0, 1);
        for (int i = 0; i < 40 && bar->Position() == before; ++i) {
            at += step;
            QTest::mouseMove(bar, at);
        }
        EXPECT_NE(bar->Position(), before) << bar->objectName().toStdString();
        return bar->Position();
    }

    static void Wheel(QWidget *widget, int angle)
    {
        const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
        QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &event);
    }

    // The user picks the item below the selected one of a closed list with the keyboard.
    static void PickNext(TComboBox *combo, int from)
    {
        combo->SetItemIndex(from);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
    }

    static void PickPrevious(TComboBox *combo, int from)
    {
        combo->SetItemIndex(from);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Up);
    }

    // The user replaces the text of an editable list by typing.
    static void Type(TComboBox *combo, const QString &text)
    {
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), text);
    }

    TRecordingSeam *seam = nullptr;
    std::unique_ptr<TMerrowMainForm> form;
};

// The four kinds of slider and how each turns a position into its parameter value.
enum class TSliderKind
{
    Gain,
    DetectorGain,
    DetectionLevel,
    OnDelay,
    OffDelay
};

struct TSliderCase
{
    const char *name;
    TTrackBar *TMerrowMainForm::*bar;
    const char *param;
    TSliderKind kind;
    QLabel *TMerrowMainForm::*label; // null: no label
    bool TMerrowMainForm::*flag;     // null: not in the live re-send loop
    int start;                       // a position to start gestures from
};

inline int32_t ValueAt(TSliderKind kind, int position)
{
    switch (kind) {
    case TSliderKind::DetectionLevel:
        return DetLevelFromPosition(position);
    case TSliderKind::OnDelay:
    case TSliderKind::OffDelay:
        return DelayFromPosition(position);
    default:
        return position;
    }
}

inline QString LabelFor(TSliderKind kind, int32_t value)
{
    switch (kind) {
    case TSliderKind::Gain:
        return GainLabelText(value);
    case TSliderKind::DetectorGain:
        return DetGainLabelText(value);
    case TSliderKind::OnDelay:
        return PttOnDelayText(value);
    case TSliderKind::OffDelay:
        return PttOffDelayText(value);
    default:
        return QString();
    }
}

using F = TMerrowMainForm;
inline const TSliderCase kSliders[] = {
    {"GainA", &F::tbGainA, "GainA", TSliderKind::Gain, &F::lbGainA, nullptr, 5},
    {"GainB", &F::tbGainB, "GainB", TSliderKind::Gain, &F::lbGainB, nullptr, 5},
    {"LevelDetGainA", &F::tbLevelDetGainA, "LevelDetGainA", TSliderKind::DetectorGain,
     &F::lbDetGainA, &F::fchangingLevelDetGainA, 100},
    {"LevelDetGainB", &F::tbLevelDetGainB, "LevelDetGainB", TSliderKind::DetectorGain,
     &F::lbDetGainB, &F::fchangingLevelDetGainB, 100},
    {"DetLevelA", &F::tbDetLevelA, "DetLevelA", TSliderKind::DetectionLevel, nullptr,
     &F::fchangingDetLevelA, 255},
    {"DetLevelB", &F::tbDetLevelB, "DetLevelB", TSliderKind::DetectionLevel, nullptr,
     &F::fchangingDetLevelB, 255},
    {"PTTonDelayA", &F::tbPTTonDelayA, "PTTOnDelayA", TSliderKind::OnDelay, &F::lbPTTonDelayA,
     &F::fchangingPTTonDelayA, 20},
    {"PTTonDelayB", &F::tbPTTonDelayB, "PTTOnDelayB", TSliderKind::OnDelay, &F::lbPTTonDelayB,
     &F::fchangingPTTonDelayB, 20},
    {"PTToffDelayA", &F::tbPTToffDelayA, "PTTOffDelayA", TSliderKind::OffDelay, &F::lbPTToffDelayA,
     &F::fchangingPTToffDelayA, 20},
    {"PTToffDelayB", &F::tbPTToffDelayB, "PTTOffDelayB", TSliderKind::OffDelay, &F::lbPTToffDelayB,
     &F::fchangingPTToffDelayB, 20},
};

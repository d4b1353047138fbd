// SPDX-License-Identifier: MIT
#include "ui/diagram/DiagramGeometry.h"

#include "core/Rounding.h"

#include <cmath>

namespace {

using enum TDiagramControl;

// btClose keeps this distance from the bottom of the client area, as designed.
constexpr int kCloseBottomMargin = 6;

constexpr std::array<TDiagramControl, 8> kHorizontalSliders = {
    tbGainA,       tbGainB,       tbLevelDetGainA, tbLevelDetGainB,
    tbPTTonDelayA, tbPTTonDelayB, tbPTToffDelayA,  tbPTToffDelayB,
};
constexpr std::array<TDiagramControl, 2> kVerticalSliders = {tbDetLevelA, tbDetLevelB};
constexpr std::array<TDiagramControl, 3> kButtons = {btSaveChanges, btRevert, btClose};

} // namespace

const std::array<TDiagramControl, 10> kLevelSenseControlsA = {
    lbDetGainA, tbLevelDetGainA, tbDetLevelA,    lbPreAmpA,     lbPttTrigA,
    lbAfLevelA, lbPTTonDelayA,   lbPTToffDelayA, tbPTTonDelayA, tbPTToffDelayA,
};
const std::array<TDiagramControl, 10> kLevelSenseControlsB = {
    lbDetGainB, tbLevelDetGainB, tbDetLevelB,    lbPreAmpB,     lbPttTrigB,
    lbAfLevelB, lbPTTonDelayB,   lbPTToffDelayB, tbPTTonDelayB, tbPTToffDelayB,
};

int ScaleLength(double s, int n)
{
    return RoundHalfEven(n * s);
}

double LevelToScale(int32_t level)
{
    if (level < 4)
        return 0.0;
    // The meter spans about 30 dB of the interface's 12-bit level: 3.01 decades of amplitude
    // ratio from 4 up to 4096.
    const long double ratio = static_cast<long double>(level) / 4096.0L;
    return static_cast<double>(1.0L + std::log10(ratio) / 3.01L);
}

TDiagramGeometry::TDiagramGeometry(double scale, int clientWidth)
    : s(scale), W(clientWidth), M(S(20)), T(S(100)), RW(S(200)), BH(S(560)), IW(S(360)), C(Half(W)),
      IL(C - Half(IW)), IR(C + Half(IW)), YU(T + S(40)), YL(T + BH - S(60)), XL(IL + S(50)),
      XR(IR - S(50)), YA(T + S(100) + Half(S(175))), YB(T + BH - S(100) - Half(S(175)))
{}

int TDiagramGeometry::MeterHeight(int32_t level) const
{
    return RoundHalfEven(LevelToScale(level) * S(145));
}

TMeter TDiagramGeometry::MeterA(int levelHeight, int thresholdHeight) const
{
    // The meter stands in the Radio A detection box, measured from its bottom-left corner.
    const int x0 = XL;
    const int y0 = T + S(100) + S(175);
    const int left = x0 + S(85);
    const int right = left + S(15);
    const int base = y0 - S(10);
    const int markerY = base - thresholdHeight + 2;
    return {
        {left, base, right, base - S(145)},
        {left + 2, base - 2, right - 2, base - levelHeight + 2},
        {{right + 16, markerY}, {right + 3, markerY}},
    };
}

TMeter TDiagramGeometry::MeterB(int levelHeight, int thresholdHeight) const
{
    // Radio A's meter mirrored, measured from the bottom-right corner of the Radio B box.
    const int x0 = XR;
    const int y0 = T + BH - S(100);
    const int right = x0 - S(85);
    const int left = right - S(15);
    const int base = y0 - S(10);
    const int markerY = base - thresholdHeight + 2;
    return {
        {right, base, left, base - S(145)},
        {right - 2, base - 2, left + 2, base - levelHeight + 2},
        {{left - 17, markerY}, {left - 4, markerY}},
    };
}

TRadioKind RadioKindOf(int typeIndex)
{
    switch (typeIndex) {
    case 0:
        return TRadioKind::LevelSense;
    case 1:
    case 5:
        return TRadioKind::Squelch;
    case 2:
    case 3:
    case 4:
        return TRadioKind::Pei;
    default:
        return TRadioKind::None;
    }
}

namespace {

class TLayoutBuilder
{
public:
    TLayoutBuilder(TDiagramLayout &layout, const TDiagramGeometry &g) : fOut(layout), g(g) {}

    QRect &operator[](TDiagramControl c) { return fOut.rects[c]; }
    void Place(TDiagramControl c, int left, int top) { fOut.rects[c].moveTo(left, top); }
    void Show(TDiagramControl c, bool shown)
    {
        fOut.visibility[static_cast<std::size_t>(c)] =
            shown ? TVisibility::Shown : TVisibility::Hidden;
    }
    void ShowRadioControls(const std::array<TDiagramControl, 10> &levelSense,
                           TDiagramControl comType, TDiagramControl baud, TRadioKind kind)
    {
        for (TDiagramControl c : levelSense)
            Show(c, kind == TRadioKind::LevelSense);
        Show(comType, kind == TRadioKind::Pei);
        Show(baud, kind == TRadioKind::Pei);
    }

    void PlaceTypeIndependent();
    void PlaceLevelSenseA();
    void PlaceLevelSenseB();

private:
    TDiagramLayout &fOut;
    const TDiagramGeometry &g;
};

void TLayoutBuilder::PlaceTypeIndependent()
{
    const int W = g.W, M = g.M, RW = g.RW;
    auto &r = *this;
    Place(cmb_RaAtype, M, g.S(59));
    Place(cmb_RaBtype, W - M - r[cmb_RaBtype].width(), g.S(59));

    Place(cmb_ComType_A, M + RW - r[cmb_ComType_A].width() - g.S(8),
          g.YA - r[cmb_ComType_A].height() - 2);
    Place(cmb_Baud_A, M + RW - r[cmb_Baud_A].width() - g.S(8), g.YA + 2);
    Place(lbPeiA, M + g.S(50), g.YA + 2 + r[cmb_ComType_A].height() + 2);

    Place(cmb_ComType_B, W + g.S(8) - M - RW, g.YB - r[cmb_ComType_B].height() - 2);
    Place(cmb_Baud_B, W + g.S(8) - M - RW, g.YB + 2);
    Place(lbPeiB, W - M - g.S(50) - r[lbPeiB].width(), g.YB + r[cmb_ComType_B].height() + 4);

    const int gainLeft = g.C - Half(g.IW) + g.S(50);
    const int gainWidth = g.IW - 2 * g.S(50);
    r[tbGainA].setWidth(gainWidth);
    Place(tbGainA, gainLeft, g.YU + g.S(25) + 2);
    Place(lbGainA, r[tbGainA].left() + g.S(25) + 10, g.YU + 15);
    r[tbGainB].setWidth(gainWidth);
    Place(tbGainB, gainLeft, g.YL + g.S(25) + 2);
    Place(lbGainB, r[tbGainB].left() + g.S(25) + 10, g.YL + 15);
}

// The vertical detection-level slider is as tall as 0.8 of the meter plus its two 5-px track
// insets, so that its track spans the marker positions of DetLevel 4 to 1024.
int DetLevelSliderHeight(const TDiagramGeometry &g)
{
    return RoundHalfEven(0.8 * g.S(145)) + 10;
}

void TLayoutBuilder::PlaceLevelSenseA()
{
    const int x0 = g.XL;
    const int y0 = g.T + g.S(100) + g.S(175);
    auto &r = *this;
    r[tbLevelDetGainA].setWidth(g.S(60));
    Place(tbLevelDetGainA, x0 + g.M, y0 - g.M - g.S(25));
    Place(lbDetGainA, r[tbLevelDetGainA].left() + 5, y0 - g.S(60));
    Place(lbPreAmpA, x0 + g.S(50) - Half(r[lbPreAmpA].width()), y0 - g.S(138));
    r[tbDetLevelA].setHeight(DetLevelSliderHeight(g));
    Place(tbDetLevelA, x0 + g.S(120), y0 - g.S(10) - r[tbDetLevelA].height() + 7);
    Place(lbPttTrigA, r[tbDetLevelA].left() - 2, y0 - g.S(169));
    Place(lbAfLevelA, x0 + g.S(118) - r[lbAfLevelA].width() - 2, y0 - g.S(170));
    Place(lbPTTonDelayA, x0 + g.S(175), y0 - g.S(166));
    Place(lbPTToffDelayA, x0 + g.S(175), y0 - g.S(110));
    Place(tbPTTonDelayA, x0 + g.S(165), y0 - g.S(135));
    Place(tbPTToffDelayA, x0 + g.S(165), y0 - g.S(80));
}

void TLayoutBuilder::PlaceLevelSenseB()
{
    const int x0 = g.XR;
    const int y0 = g.T + g.BH - g.S(100);
    auto &r = *this;
    r[tbLevelDetGainB].setWidth(g.S(60));
    Place(tbLevelDetGainB, x0 - g.M - g.S(60), y0 - g.M - g.S(25));
    Place(lbDetGainB, r[tbLevelDetGainB].left() + 5, y0 - g.S(60));
    Place(lbPreAmpB, x0 - g.S(50) - Half(r[lbPreAmpB].width()), y0 - g.S(138));
    r[tbDetLevelB].setHeight(DetLevelSliderHeight(g));
    Place(tbDetLevelB, x0 - g.S(120) - g.M, y0 - g.S(10) - r[tbDetLevelB].height() + 7);
    Place(lbPttTrigB, r[tbDetLevelB].left() - 2, y0 - g.S(169));
    Place(lbAfLevelB, x0 - g.S(118), y0 - g.S(170));
    Place(lbPTTonDelayB, x0 - g.S(175) - r[lbPTTonDelayB].width(), y0 - g.S(166));
    Place(lbPTToffDelayB, x0 - g.S(175) - r[lbPTToffDelayB].width(), y0 - g.S(110));
    Place(tbPTTonDelayB, x0 - g.S(165) - r[tbPTTonDelayB].width(), y0 - g.S(135));
    Place(tbPTToffDelayB, x0 - g.S(165) - r[tbPTToffDelayB].width(), y0 - g.S(80));
}

} // namespace

TDiagramLayout LayoutDiagram(double s, const TControlRects &current, int typeA, int typeB)
{
    TDiagramLayout out;
    out.rects = current;
    TControlRects &r = out.rects;

    // Every slider is M thick.
    const int M = ScaleLength(s, 20);
    for (TDiagramControl c : kHorizontalSliders)
        r[c].setHeight(M);
    for (TDiagramControl c : kVerticalSliders)
        r[c].setWidth(M);

    // The buttons sit just below the blocks, and the client area ends a margin beyond Close.
    const int buttonTop = ScaleLength(s, 100) + ScaleLength(s, 560) + ScaleLength(s, 8);
    for (TDiagramControl c : kButtons)
        r[c].moveTop(buttonTop);
    const QRect &close = r[btClose];
    out.client =
        QSize(close.left() + close.width() + M, close.top() + close.height() + kCloseBottomMargin);

    const TDiagramGeometry g(s, out.client.width());
    TLayoutBuilder builder(out, g);
    builder.PlaceTypeIndependent();

    const TRadioKind kindA = RadioKindOf(typeA);
    if (kindA != TRadioKind::None)
        builder.ShowRadioControls(kLevelSenseControlsA, cmb_ComType_A, cmb_Baud_A, kindA);
    if (kindA == TRadioKind::LevelSense)
        builder.PlaceLevelSenseA();

    const TRadioKind kindB = RadioKindOf(typeB);
    if (kindB != TRadioKind::None)
        builder.ShowRadioControls(kLevelSenseControlsB, cmb_ComType_B, cmb_Baud_B, kindB);
    if (kindB == TRadioKind::LevelSense)
        builder.PlaceLevelSenseB();
    return out;
}

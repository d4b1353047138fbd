// SPDX-License-Identifier: MIT
// Where everything of the block diagram goes: the scaled lengths, the blocks and boxes, the
// level meters, and the place, size and visibility of every control laid over the diagram.
// All of it is a pure function of the scale s (the screen's dots per inch / 96), the client
// width and, where a control's own size matters, that size; nothing here touches a widget.
//
// Lengths are designed in 96-dpi pixels. Each one is scaled and rounded by itself, halves to
// the even neighbour, and only then combined, so S(20) + S(200) may differ from S(220) by one:
// the window must come out the same at every resolution as the interface's own tool draws it.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <cstddef>
#include <cstdint>

// x / 2, truncated toward zero (also for negative x).
constexpr int Half(int x)
{
    return x / 2;
}

// n designed pixels at scale s: n * s rounded to the nearest integer, halves to even.
int ScaleLength(double s, int n);

// Position of an audio level on the meter scale as a fraction of the meter's height:
// logarithmic, 4096 at the top (1.0), 4 at the bottom, below 4 nothing; above 4096 the result
// grows past 1, so a loud signal draws past the top of the meter.
double LevelToScale(int32_t level);

// A rectangle as the drawing routines take it: two opposite corners, in either order.
struct TBox
{
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool operator==(const TBox &) const = default;
};

struct TSegment
{
    QPoint from, to;
    bool operator==(const TSegment &) const = default;
};

// The level meter of one radio: its frame, the bar for the current level and the red marker
// at the detection threshold.
struct TMeter
{
    TBox frame;
    TBox bar;
    TSegment marker;
};

// The named lengths of the diagram for one scale and client width.
class TDiagramGeometry
{
public:
    TDiagramGeometry(double s, int clientWidth);

    int S(int n) const { return ScaleLength(s, n); }

    const double s;
    const int W;
    const int M;  // block margin, rounded-corner size, thickness of every slider
    const int T;  // top of the three blocks
    const int RW; // width of a radio block
    const int BH; // height of the three blocks
    const int IW; // width of the interface block
    const int C;  // horizontal centre
    const int IL; // left edge of the interface block
    const int IR; // right edge of the interface block as the detection boxes use it
    const int YU; // upper audio path: Radio A received audio to Radio B modulation
    const int YL; // lower audio path: Radio B received audio to Radio A modulation
    const int XL; // left edge of both detection boxes
    const int XR; // right edge of both detection boxes
    const int YA; // Radio A receive-detection line
    const int YB; // Radio B receive-detection line

    TBox RadioABlock() const { return {M, T, M + RW, T + BH}; }
    TBox InterfaceBlock() const { return {IL, T, IL + IW, T + BH}; }
    TBox RadioBBlock() const { return {W - M - RW, T, W - M, T + BH}; }
    TBox DetectionBoxA() const { return {XL, T + S(100), XR, T + S(100) + S(175)}; }
    TBox DetectionBoxB() const { return {XL, T + BH - S(100) - S(175), XR, T + BH - S(100)}; }

    // Height in pixels of a level (or threshold) on the meter.
    int MeterHeight(int32_t level) const;
    // The meters in the detection boxes; levelHeight and thresholdHeight from MeterHeight.
    TMeter MeterA(int levelHeight, int thresholdHeight) const;
    TMeter MeterB(int levelHeight, int thresholdHeight) const;
};

// How a radio is attached, by the position of its type in the type list.
enum class TRadioKind
{
    None,       // no type selected (or a position the list does not have)
    LevelSense, // 0: the interface senses the received audio level
    Squelch,    // 1 and 5: the radio's squelch output
    Pei,        // 2, 3 and 4: the radio's PEI data link
};
TRadioKind RadioKindOf(int typeIndex);

// The controls the diagram places, sizes, shows or hides, named as in the main window.
enum class TDiagramControl
{
    cmb_RaAtype,
    cmb_RaBtype,
    cmb_ComType_A,
    cmb_Baud_A,
    lbPeiA,
    cmb_ComType_B,
    cmb_Baud_B,
    lbPeiB,
    tbGainA,
    lbGainA,
    tbGainB,
    lbGainB,
    lbDetGainA,
    tbLevelDetGainA,
    tbDetLevelA,
    lbPreAmpA,
    lbPttTrigA,
    lbAfLevelA,
    lbPTTonDelayA,
    lbPTToffDelayA,
    tbPTTonDelayA,
    tbPTToffDelayA,
    lbDetGainB,
    tbLevelDetGainB,
    tbDetLevelB,
    lbPreAmpB,
    lbPttTrigB,
    lbAfLevelB,
    lbPTTonDelayB,
    lbPTToffDelayB,
    tbPTTonDelayB,
    tbPTToffDelayB,
    btSaveChanges,
    btRevert,
    btClose,
    Count
};
constexpr std::size_t kDiagramControlCount = static_cast<std::size_t>(TDiagramControl::Count);

// One rectangle (left, top, width, height) per control, indexed by TDiagramControl.
class TControlRects
{
public:
    QRect &operator[](TDiagramControl c) { return fRects[static_cast<std::size_t>(c)]; }
    const QRect &operator[](TDiagramControl c) const { return fRects[static_cast<std::size_t>(c)]; }
    bool operator==(const TControlRects &) const = default;

private:
    std::array<QRect, kDiagramControlCount> fRects;
};

enum class TVisibility
{
    Unchanged,
    Shown,
    Hidden
};

struct TDiagramLayout
{
    QSize client;        // the client size the window is given
    TControlRects rects; // every control's new geometry (unchanged where not placed)
    std::array<TVisibility, kDiagramControlCount> visibility{};

    TVisibility VisibilityOf(TDiagramControl c) const
    {
        return visibility[static_cast<std::size_t>(c)];
    }
};

// The layout of one paint. current holds each control's present geometry: a control keeps
// its position where the diagram does not place it, and its own size where the diagram does
// not set one. The client width follows from btClose, and everything horizontal from that
// width; typeA and typeB are the selected positions of the two type lists (-1 for none).
TDiagramLayout LayoutDiagram(double s, const TControlRects &current, int typeA, int typeB);

// The ten controls of a radio that only the level-sense type shows.
extern const std::array<TDiagramControl, 10> kLevelSenseControlsA;
extern const std::array<TDiagramControl, 10> kLevelSenseControlsB;

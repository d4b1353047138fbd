// SPDX-License-Identifier: MIT
// The diagram's geometry as a pure function: the worked values at 96 dpi, the rounding at
// other resolutions, the meter scale and the layout of every control.
#include "ui/diagram/DiagramGeometry.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using enum TDiagramControl;

static std::ostream &operator<<(std::ostream &os, const QRect &r)
{
    return os << "(" << r.left() << ", " << r.top() << ") " << r.width() << "x" << r.height();
}

static std::ostream &operator<<(std::ostream &os, const TBox &b)
{
    return os << "(" << b.x1 << ", " << b.y1 << ")-(" << b.x2 << ", " << b.y2 << ")";
}

namespace {

// The controls' designed rectangles in the window (left, top, width, height at 96 dpi).
TControlRects DesignedRects()
{
    TControlRects r;
    r[cmb_RaAtype] = {25, 57, 261, 21};
    r[cmb_RaBtype] = {680, 57, 260, 21};
    r[cmb_Baud_A] = {116, 115, 105, 21};
    r[cmb_Baud_B] = {612, 115, 105, 21};
    r[cmb_ComType_A] = {116, 155, 105, 21};
    r[cmb_ComType_B] = {612, 155, 105, 21};
    r[lbPeiA] = {25, 84, 110, 13};
    r[lbPeiB] = {680, 84, 110, 13};
    r[tbGainB] = {305, 243, 212, 20};
    r[tbGainA] = {305, 217, 212, 20};
    r[lbGainA] = {499, 134, 29, 13};
    r[lbGainB] = {499, 156, 29, 13};
    r[tbLevelDetGainA] = {404, 323, 116, 20};
    r[tbLevelDetGainB] = {404, 363, 116, 20};
    r[lbDetGainA] = {563, 221, 29, 13};
    r[lbDetGainB] = {563, 243, 29, 13};
    r[tbDetLevelA] = {540, 379, 20, 80};
    r[tbDetLevelB] = {588, 379, 20, 80};
    r[lbPreAmpA] = {643, 291, 62, 30};
    r[lbPreAmpB] = {643, 327, 62, 30};
    r[lbPttTrigA] = {643, 379, 27, 50};
    r[lbPttTrigB] = {643, 435, 27, 50};
    r[lbAfLevelA] = {643, 243, 51, 16};
    r[lbAfLevelB] = {643, 259, 51, 16};
    r[tbPTTonDelayA] = {404, 427, 83, 20};
    r[tbPTTonDelayB] = {404, 453, 83, 20};
    r[tbPTToffDelayA] = {404, 491, 83, 20};
    r[tbPTToffDelayB] = {404, 517, 83, 20};
    r[lbPTTonDelayA] = {540, 465, 79, 26};
    r[lbPTTonDelayB] = {540, 497, 79, 26};
    r[lbPTToffDelayA] = {540, 547, 79, 26};
    r[lbPTToffDelayB] = {540, 577, 79, 26};
    r[btRevert] = {434, 619, 199, 25};
    r[btSaveChanges] = {645, 619, 190, 25};
    r[btClose] = {856, 619, 84, 25};
    return r;
}

struct TNamedValue
{
    const char *name;
    int actual;
    int expected;
};

TEST(DiagramGeometry, NamedLengthsMatchTheWorkedValuesAt96Dpi)
{
    const TDiagramGeometry g(1.0, 960);
    const TNamedValue rows[] = {
        {"M", g.M, 20},    {"T", g.T, 100},   {"RW", g.RW, 200}, {"BH", g.BH, 560},
        {"IW", g.IW, 360}, {"C", g.C, 480},   {"IL", g.IL, 300}, {"IR", g.IR, 660},
        {"YU", g.YU, 140}, {"YL", g.YL, 600}, {"XL", g.XL, 350}, {"XR", g.XR, 610},
        {"YA", g.YA, 287}, {"YB", g.YB, 473},
    };
    for (const TNamedValue &row : rows)
        EXPECT_EQ(row.actual, row.expected) << row.name;
}

TEST(DiagramGeometry, BlocksAndDetectionBoxesMatchTheWorkedValuesAt96Dpi)
{
    const TDiagramGeometry g(1.0, 960);
    const struct
    {
        const char *name;
        TBox actual;
        TBox expected;
    } rows[] = {
        {"Radio A block", g.RadioABlock(), {20, 100, 220, 660}},
        {"interface block", g.InterfaceBlock(), {300, 100, 660, 660}},
        {"Radio B block", g.RadioBBlock(), {740, 100, 940, 660}},
        {"Radio A detection box", g.DetectionBoxA(), {350, 200, 610, 375}},
        {"Radio B detection box", g.DetectionBoxB(), {350, 385, 610, 560}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(row.actual, row.expected) << row.name;
}

TEST(DiagramGeometry, LengthsRoundHalvesToEvenAndEachLengthByItself)
{
    const struct
    {
        double s;
        int n;
        int expected;
    } rows[] = {
        {1.5, 100, 150}, {1.5, 20, 30},  {1.5, 7, 10},    {1.5, 25, 38},   {1.5, 175, 262},
        {1.5, -25, -38}, {1.5, 1, 2},    {1.5, 3, 4},     {1.5, 5, 8},     {1.25, 2, 2},
        {1.25, 6, 8},    {1.25, 10, 12}, {1.0, 145, 145}, {2.0, 145, 290}, {1.5, 0, 0},
    };
    for (const auto &row : rows)
        EXPECT_EQ(ScaleLength(row.s, row.n), row.expected) << "S(" << row.n << ") at " << row.s;

    // At 144 dpi the top T is S(100) = 150 and the margin M is S(20) = 30, and YA adds the
    // rounded lengths: 150 + 150 + half(262).
    const TDiagramGeometry g(1.5, 970);
    EXPECT_EQ(g.T, 150);
    EXPECT_EQ(g.M, 30);
    EXPECT_EQ(g.S(7), 10);
    EXPECT_EQ(g.YA, 150 + 150 + 131);
    // Each length is rounded before lengths are added: S(1) + S(1) = 4 while S(2) = 3.
    EXPECT_EQ(ScaleLength(1.5, 1) + ScaleLength(1.5, 1), 4);
    EXPECT_EQ(ScaleLength(1.5, 2), 3);
}

TEST(DiagramGeometry, HalfTruncatesTowardZero)
{
    EXPECT_EQ(Half(7), 3);
    EXPECT_EQ(Half(-7), -3);
    EXPECT_EQ(Half(0), 0);
}

TEST(DiagramGeometry, HorizontalPositionsFollowTheClientWidthAndVerticalOnesDoNot)
{
    const TDiagramGeometry narrow(1.0, 960);
    const TDiagramGeometry wide(1.0, 1001);
    EXPECT_EQ(wide.C, 500);
    EXPECT_EQ(wide.IL, 320);
    EXPECT_EQ(wide.RadioABlock(), narrow.RadioABlock());
    EXPECT_EQ(wide.RadioBBlock(), (TBox{781, 100, 981, 660}));
    EXPECT_EQ(wide.DetectionBoxA(), (TBox{370, 200, 630, 375}));
    EXPECT_EQ(wide.YU, narrow.YU);
    EXPECT_EQ(wide.YL, narrow.YL);
    EXPECT_EQ(wide.YA, narrow.YA);
    EXPECT_EQ(wide.YB, narrow.YB);
}

TEST(DiagramGeometry, RightEdgeOfAnOddInterfaceWidthIsTakenFromTheCentre)
{
    // s chosen so that S(360) is odd: the detection boxes and the Radio B tap use C + half(IW),
    // one pixel left of IL + IW.
    const TDiagramGeometry g(361.0 / 360.0, 960);
    ASSERT_EQ(g.IW, 361);
    EXPECT_EQ(g.IR, 480 + 180);
    EXPECT_EQ(g.IL + g.IW, g.IR + 1);
}

TEST(LevelToScale, IsLogarithmicWithTheTopAt4096AndNothingBelow4)
{
    const struct
    {
        int32_t level;
        double expected;
    } rows[] = {
        {4096, 1.0}, {2048, 0.899990}, {1024, 0.799980}, {256, 0.599960},        {4, -0.0000997},
        {3, 0.0},    {0, 0.0},         {-1, 0.0},        {-2147483647 - 1, 0.0}, {8192, 1.100010},
    };
    for (const auto &row : rows)
        EXPECT_NEAR(LevelToScale(row.level), row.expected, 1e-6) << row.level;
}

TEST(LevelToScale, MeterHeightAt96DpiRoundsTheScaledFraction)
{
    const TDiagramGeometry g(1.0, 960);
    const struct
    {
        int32_t level;
        int height;
    } rows[] = {
        {-100, 0},   {0, 0},      {4, 0},      {5, 5},      {10, 19},    {256, 87},
        {1023, 116}, {1024, 116}, {2048, 130}, {4096, 145}, {8192, 160},
    };
    for (const auto &row : rows)
        EXPECT_EQ(g.MeterHeight(row.level), row.height) << row.level;
}

TEST(DiagramGeometry, MetersStandInTheirDetectionBoxesMirrored)
{
    const TDiagramGeometry g(1.0, 960);
    for (const int L : {0, 116, 160}) {
        const TMeter a = g.MeterA(L, 116);
        EXPECT_EQ(a.frame, (TBox{435, 365, 450, 220}));
        EXPECT_EQ(a.bar, (TBox{437, 363, 448, 367 - L})) << L;
        EXPECT_EQ(a.marker, (TSegment{{466, 251}, {453, 251}}));

        const TMeter b = g.MeterB(L, 116);
        EXPECT_EQ(b.frame, (TBox{525, 550, 510, 405}));
        EXPECT_EQ(b.bar, (TBox{523, 548, 512, 552 - L})) << L;
        EXPECT_EQ(b.marker, (TSegment{{493, 436}, {506, 436}}));
    }
}

struct TPlaced
{
    TDiagramControl control;
    const char *name;
    QRect expected;
};

void ExpectPlaced(const TDiagramLayout &layout, const std::vector<TPlaced> &rows)
{
    for (const TPlaced &row : rows)
        EXPECT_EQ(layout.rects[row.control], row.expected) << row.name;
}

TEST(DiagramLayout, TypeIndependentControlsAndClientSizeAt96Dpi)
{
    const TDiagramLayout layout = LayoutDiagram(1.0, DesignedRects(), -1, -1);
    EXPECT_EQ(layout.client, QSize(960, 699));
    ExpectPlaced(layout, {
                             {cmb_RaAtype, "cmb_RaAtype", {20, 59, 261, 21}},
                             {cmb_RaBtype, "cmb_RaBtype", {680, 59, 260, 21}},
                             {cmb_ComType_A, "cmb_ComType_A", {107, 264, 105, 21}},
                             {cmb_Baud_A, "cmb_Baud_A", {107, 289, 105, 21}},
                             {lbPeiA, "lbPeiA", {70, 312, 110, 13}},
                             {cmb_ComType_B, "cmb_ComType_B", {748, 450, 105, 21}},
                             {cmb_Baud_B, "cmb_Baud_B", {748, 475, 105, 21}},
                             {lbPeiB, "lbPeiB", {780, 498, 110, 13}},
                             {tbGainA, "tbGainA", {350, 167, 260, 20}},
                             {lbGainA, "lbGainA", {385, 155, 29, 13}},
                             {tbGainB, "tbGainB", {350, 627, 260, 20}},
                             {lbGainB, "lbGainB", {385, 615, 29, 13}},
                             {btRevert, "btRevert", {434, 668, 199, 25}},
                             {btSaveChanges, "btSaveChanges", {645, 668, 190, 25}},
                             {btClose, "btClose", {856, 668, 84, 25}},
                         });
}

TEST(DiagramLayout, PlacementUsesEachControlsOwnSize)
{
    TControlRects rects = DesignedRects();
    rects[lbPeiB].setWidth(150);      // a longer PEI status keeps its right edge
    rects[cmb_RaBtype].setWidth(300); // the B type list keeps its right edge at W - M
    rects[cmb_ComType_A].setHeight(25);
    rects[cmb_ComType_B].setHeight(25);
    const TDiagramLayout layout = LayoutDiagram(1.0, rects, -1, -1);
    ExpectPlaced(layout, {
                             {lbPeiB, "lbPeiB", {740, 502, 150, 13}},
                             {cmb_RaBtype, "cmb_RaBtype", {640, 59, 300, 21}},
                             {cmb_ComType_A, "cmb_ComType_A", {107, 260, 105, 25}},
                             {lbPeiA, "lbPeiA", {70, 316, 110, 13}},
                             {cmb_ComType_B, "cmb_ComType_B", {748, 446, 105, 25}},
                         });
}

TEST(DiagramLayout, BothLevelSenseSectionsAt96Dpi)
{
    const TDiagramLayout layout = LayoutDiagram(1.0, DesignedRects(), 0, 0);
    ExpectPlaced(layout, {
                             {tbLevelDetGainA, "tbLevelDetGainA", {370, 330, 60, 20}},
                             {lbDetGainA, "lbDetGainA", {375, 315, 29, 13}},
                             {lbPreAmpA, "lbPreAmpA", {369, 237, 62, 30}},
                             {tbDetLevelA, "tbDetLevelA", {470, 246, 20, 126}},
                             {lbPttTrigA, "lbPttTrigA", {468, 206, 27, 50}},
                             {lbAfLevelA, "lbAfLevelA", {415, 205, 51, 16}},
                             {lbPTTonDelayA, "lbPTTonDelayA", {525, 209, 79, 26}},
                             {lbPTToffDelayA, "lbPTToffDelayA", {525, 265, 79, 26}},
                             {tbPTTonDelayA, "tbPTTonDelayA", {515, 240, 83, 20}},
                             {tbPTToffDelayA, "tbPTToffDelayA", {515, 295, 83, 20}},
                             {tbLevelDetGainB, "tbLevelDetGainB", {530, 515, 60, 20}},
                             {lbDetGainB, "lbDetGainB", {535, 500, 29, 13}},
                             {lbPreAmpB, "lbPreAmpB", {529, 422, 62, 30}},
                             {tbDetLevelB, "tbDetLevelB", {470, 431, 20, 126}},
                             {lbPttTrigB, "lbPttTrigB", {468, 391, 27, 50}},
                             {lbAfLevelB, "lbAfLevelB", {492, 390, 51, 16}},
                             {lbPTTonDelayB, "lbPTTonDelayB", {356, 394, 79, 26}},
                             {lbPTToffDelayB, "lbPTToffDelayB", {356, 450, 79, 26}},
                             {tbPTTonDelayB, "tbPTTonDelayB", {362, 425, 83, 20}},
                             {tbPTToffDelayB, "tbPTToffDelayB", {362, 480, 83, 20}},
                         });
}

TEST(DiagramLayout, SlidersAreMThickAndUnplacedControlsKeepTheirPosition)
{
    // At 144 dpi with no type selected: every slider is 30 thick, the level-sense controls stay
    // where they are, the buttons drop to T + BH + S(8) and the client area ends beyond Close.
    const TDiagramLayout layout = LayoutDiagram(1.5, DesignedRects(), -1, -1);
    EXPECT_EQ(layout.client, QSize(856 + 84 + 30, 150 + 840 + 12 + 25 + 6));
    ExpectPlaced(layout, {
                             {tbLevelDetGainA, "tbLevelDetGainA", {404, 323, 116, 30}},
                             {tbPTToffDelayB, "tbPTToffDelayB", {404, 517, 83, 30}},
                             {tbDetLevelA, "tbDetLevelA", {540, 379, 30, 80}},
                             {tbDetLevelB, "tbDetLevelB", {588, 379, 30, 80}},
                             {lbPreAmpA, "lbPreAmpA", {643, 291, 62, 30}},
                             {btClose, "btClose", {856, 1002, 84, 25}},
                         });
    for (std::size_t i = 0; i < kDiagramControlCount; ++i)
        EXPECT_EQ(layout.visibility[i], TVisibility::Unchanged) << i;
}

TEST(DiagramLayout, DetectionLevelSliderSpansTheMarkerScaleAt144Dpi)
{
    // S(145) = 217.5 rounds to 218; 0.8 of it is 174.4, so the slider is 174 + 10 high and its
    // top lies 7 px above the meter base less that height.
    const TDiagramLayout layout = LayoutDiagram(1.5, DesignedRects(), 0, 0);
    const TDiagramGeometry g(1.5, layout.client.width());
    const int baseA = g.T + g.S(100) + g.S(175) - g.S(10);
    EXPECT_EQ(layout.rects[tbDetLevelA], QRect(g.XL + g.S(120), baseA - 184 + 7, 30, 184));
    const int baseB = g.T + g.BH - g.S(100) - g.S(10);
    EXPECT_EQ(layout.rects[tbDetLevelB], QRect(g.XR - g.S(120) - g.M, baseB - 184 + 7, 30, 184));
}

} // namespace

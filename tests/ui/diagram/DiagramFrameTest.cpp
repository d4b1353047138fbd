// SPDX-License-Identifier: MIT
// The kept diagram picture: brought from state to state by redrawing only what changed, it
// must come out pixel for pixel as a picture painted whole for the last state.
#include "ui/diagram/DiagramPainter.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

TDiagramState State(int typeA, int typeB, int32_t levelA, int32_t levelB, bool rxA, bool rxB,
                    bool pttA, bool pttB, int32_t detA = 1023, int32_t detB = 1023)
{
    TDiagramState s;
    s.typeA = typeA;
    s.typeB = typeB;
    s.audioLvlA = levelA;
    s.audioLvlB = levelB;
    s.rxDetectedA = rxA;
    s.rxDetectedB = rxB;
    s.pttActiveA = pttA;
    s.pttActiveB = pttB;
    s.detLevelA = detA;
    s.detLevelB = detB;
    return s;
}

// Reports as an interface sends them, through every kind of detection section: levels rising,
// falling, past the top of the meter, at and below the bottom; receive and PTT switching on
// and off alone and together; thresholds moving; types changing under a report.
std::vector<TDiagramState> ReportSequence()
{
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    std::vector<TDiagramState> seq = {
        State(0, 0, 0, 0, false, false, false, false),
        State(0, 0, 300, 20, false, false, false, false),
        State(0, 0, 300, 20, false, false, false, false), // the same again
        State(0, 0, 2500, 700, true, false, false, false),
        State(0, 0, 4096, 4096, true, true, false, false),
        State(0, 0, 8192, 100000, true, true, true, false),
        State(0, 0, kMax, 5, false, true, true, true),
        State(0, 0, 3, -7, false, false, false, true),
        State(0, 0, 1024, 1024, true, true, true, true, 256, 4),
        State(0, 0, 1000, 1100, true, true, true, true, 4, 1023),
        State(0, 1, 1000, 1100, true, true, false, false),
        State(1, 1, 0, 0, true, true, true, false),
        State(1, 1, 0, 0, false, true, false, true),
        State(1, 5, 0, 0, true, false, true, true),
        State(2, 2, 0, 0, true, true, false, false),
        State(2, 4, 0, 0, false, true, true, false),
        State(3, 2, 0, 0, false, false, false, false),
        State(-1, -1, 500, 500, true, true, true, true),
        State(-1, 0, 500, 600, false, true, false, true),
        State(0, 2, 4000, 600, true, false, true, false),
    };
    // A long stretch of arbitrary reports, from a fixed seed, so that no pairing of one state
    // with the next is left out by the choice above.
    uint32_t seed = 12345;
    const auto next = [&seed](uint32_t range) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % range;
    };
    const int32_t levels[] = {0, 4, 5, 100, 999, 1000, 2047, 4096, 4097, 30000};
    const int types[] = {0, 0, 0, 1, 2, 5, -1};
    int typeA = 0;
    int typeB = 0;
    for (int i = 0; i < 60; ++i) {
        if (next(10) == 0) {
            typeA = types[next(7)];
            typeB = types[next(7)];
        }
        seq.push_back(State(typeA, typeB, levels[next(10)], levels[next(10)], next(2), next(2),
                            next(3) == 0, next(3) == 0, levels[next(10)], levels[next(10)]));
    }
    return seq;
}

struct FrameCase
{
    const char *name;
    double s;
    int width;
    int height;
    qreal ratio;
};

class DiagramFrameUpdate : public testing::TestWithParam<FrameCase>
{};

TEST_P(DiagramFrameUpdate, EqualsAWholePaintAfterEveryReport)
{
    const FrameCase &c = GetParam();
    const TDiagramGeometry g(c.s, c.width);
    const QColor face(240, 240, 240);
    const QRect client(0, 0, c.width - 1, c.height - 1);
    TDiagramFrame frame;
    const std::vector<TDiagramState> seq = ReportSequence();
    for (std::size_t i = 0; i < seq.size(); ++i) {
        const TDiagramFrame::TChange change = frame.Update(g, c.height, seq[i], face, c.ratio);
        EXPECT_EQ(change.whole, i == 0) << "report " << i;
        const QImage whole = RenderDiagram(g, c.height, seq[i], face, c.ratio);
        ASSERT_EQ(frame.Image().size(), whole.size());
        if (frame.Image() != whole) {
            // Where the pictures differ tells which part of the diagram was not redrawn.
            QRect differ;
            for (int y = 0; y < whole.height(); ++y)
                for (int x = 0; x < whole.width(); ++x)
                    if (frame.Image().pixel(x, y) != whole.pixel(x, y))
                        differ |= QRect(x, y, 1, 1);
            ADD_FAILURE() << "report " << i << ": pictures differ in device pixels (" << differ.x()
                          << "," << differ.y() << " " << differ.width() << "x" << differ.height()
                          << ")";
            return;
        }
        if (i > 0) {
            // Only what a report can change is redrawn, within the picture.
            EXPECT_TRUE(change.area.isEmpty() || client.contains(change.area.boundingRect()))
                << "report " << i;
            const bool same = seq[i].typeA == seq[i - 1].typeA &&
                              seq[i].typeB == seq[i - 1].typeB &&
                              seq[i].audioLvlA == seq[i - 1].audioLvlA &&
                              seq[i].audioLvlB == seq[i - 1].audioLvlB &&
                              seq[i].rxDetectedA == seq[i - 1].rxDetectedA &&
                              seq[i].rxDetectedB == seq[i - 1].rxDetectedB &&
                              seq[i].pttActiveA == seq[i - 1].pttActiveA &&
                              seq[i].pttActiveB == seq[i - 1].pttActiveB &&
                              seq[i].detLevelA == seq[i - 1].detLevelA &&
                              seq[i].detLevelB == seq[i - 1].detLevelB;
            if (same) {
                EXPECT_TRUE(change.area.isEmpty()) << "report " << i << " changed nothing";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ScalesAndPixelRatios, DiagramFrameUpdate,
                         testing::Values(FrameCase{"s1_0", 1.0, 960, 699, 1.0},
                                         FrameCase{"s1_5", 1.5, 970, 1033, 1.0},
                                         FrameCase{"s1_0_ratio2", 1.0, 960, 699, 2.0},
                                         FrameCase{"s1_5_ratio2", 1.5, 970, 1033, 2.0},
                                         FrameCase{"s1_0_ratio1_5", 1.0, 960, 699, 1.5}),
                         [](const testing::TestParamInfo<FrameCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(DiagramFrame, ALevelChangeRedrawsTheBarAndNoMore)
{
    const TDiagramGeometry g(1.0, 960);
    const QColor face(240, 240, 240);
    TDiagramFrame frame;
    frame.Update(g, 699, State(0, 0, 300, 300, true, true, false, false), face, 1.0);
    const TDiagramFrame::TChange change =
        frame.Update(g, 699, State(0, 0, 2000, 300, true, true, false, false), face, 1.0);
    // The bar of Radio A's meter, with the reach of its outline: the meter's column, the
    // threshold slider beside it left alone.
    const TMeter meter = g.MeterA(g.MeterHeight(2000), g.MeterHeight(1023));
    const QRect column =
        QRect(QPoint(meter.frame.x1, meter.frame.y2), QPoint(meter.frame.x2, meter.frame.y1))
            .adjusted(-4, -4, 4, 4);
    EXPECT_FALSE(change.area.isEmpty());
    EXPECT_TRUE(column.contains(change.area.boundingRect()))
        << change.area.boundingRect().x() << "," << change.area.boundingRect().y() << " "
        << change.area.boundingRect().width() << "x" << change.area.boundingRect().height();
    EXPECT_FALSE(change.area.intersects(QRect(470, 246, 20, 126))) << "threshold slider";
}

TEST(DiagramFrame, ANewSizeScaleBackgroundOrRatioPaintsItAllAnew)
{
    const TDiagramState state = State(0, 2, 900, 40, true, false, true, false);
    const QColor face(240, 240, 240);
    const struct
    {
        const char *what;
        double s;
        int width, height;
        QColor background;
        qreal ratio;
    } rows[] = {
        {"scale", 1.5, 960, 699, face, 1.0},       {"width", 1.0, 970, 699, face, 1.0},
        {"height", 1.0, 960, 700, face, 1.0},      {"background", 1.0, 960, 699, Qt::white, 1.0},
        {"pixel ratio", 1.0, 960, 699, face, 2.0},
    };
    for (const auto &row : rows) {
        TDiagramFrame frame;
        frame.Update(TDiagramGeometry(1.0, 960), 699, state, face, 1.0);
        const TDiagramGeometry g(row.s, row.width);
        const TDiagramFrame::TChange change =
            frame.Update(g, row.height, state, row.background, row.ratio);
        EXPECT_TRUE(change.whole) << row.what;
        EXPECT_TRUE(frame.Image() == RenderDiagram(g, row.height, state, row.background, row.ratio))
            << row.what;
    }
}

} // namespace

// SPDX-License-Identifier: MIT
// Painting of the block diagram into an off-screen image: the fixed diagram of the two radios
// and the interface, each radio's detection section by its type, and the live receive, level
// and PTT indicators. The caller copies the image to the window in one operation, so the
// diagram never flickers while status reports arrive ten or more times a second.
#pragma once

#include "ui/diagram/DiagramGeometry.h"

#include <QColor>
#include <QImage>

#include <cstdint>

class QPainter;

// Everything one paint shows besides the geometry; read afresh from the window each time.
struct TDiagramState
{
    int typeA = -1; // selected position of each radio-type list, -1 for none
    int typeB = -1;
    int32_t audioLvlA = 0;
    int32_t audioLvlB = 0;
    bool rxDetectedA = false;
    bool rxDetectedB = false;
    bool pttActiveA = false;
    bool pttActiveB = false;
    int32_t detLevelA = 0; // thresholds; only looked at for the level-sense type
    int32_t detLevelB = 0;
};

namespace DiagramColors {
inline const QColor Blue{0, 0, 255};
inline const QColor LightBlue{173, 216, 230};
inline const QColor MoneyGreen{192, 220, 192};
inline const QColor LightYellow{255, 255, 224};
inline const QColor Black{0, 0, 0};
inline const QColor Red{255, 0, 0};
inline const QColor Grey{128, 128, 128};
inline const QColor Green{0, 255, 0};
inline const QColor LightGreen{144, 255, 144};
} // namespace DiagramColors

// The face every diagram text is asked for; fontconfig substitutes where it is missing.
inline constexpr const char *kDiagramFontFamily = "Segoe UI";

// Paints the whole diagram for a client area of g.W x clientHeight into an image that covers
// all but its last column and row, filled first with background. The image has
// devicePixelRatio device pixels per logical pixel and the dots per inch that make point-sized
// text follow the scale, so drawing stays in logical coordinates and sharp on any screen.
QImage RenderDiagram(const TDiagramGeometry &g, int clientHeight, const TDiagramState &state,
                     const QColor &background, qreal devicePixelRatio);

// The amplifier symbol, an open triangle drawn with canvas's current pen: its vertical side
// at x - size, its point at (x + size, y). A negative size points it to the left.
void DrawAmplifier(QPainter &canvas, int x, int y, int size);

// SPDX-License-Identifier: MIT
// Painting of the block diagram into an off-screen image: the fixed diagram of the two radios
// and the interface, each radio's detection section by its type, and the live receive, level
// and PTT indicators. The caller copies the image to the window in one operation, so the
// diagram never flickers while status reports arrive ten or more times a second.
#pragma once

#include "ui/diagram/DiagramGeometry.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QRegion>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

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
    bool operator==(const TDiagramState &) const = default;
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

// One drawing operation of the live layer as the canvas performs it: what it draws, with the
// pen, fill, text colour and font in force, and the logical pixels it may colour (reach).
struct TDrawOp
{
    enum TKind
    {
        Line,
        Amplifier,
        Rectangle,
        RoundRect,
        Text
    };
    TKind kind = Line;
    std::array<int, 5> args{};
    QRgb pen = 0;
    int penWidth = 0;
    QRgb fill = 0;
    QRgb textColor = 0;
    int fontPoints = 0;
    bool bold = false;
    QString text;
    QRect reach;
    bool operator==(const TDrawOp &other) const;
};
using TDrawOps = std::vector<TDrawOp>;

// Text measurements kept from one recording of the live layer to the next: shaping a text is
// the dearest part of a recording, and the live layer shows the same few texts over and over.
class TTextMeasures
{
public:
    struct TMeasure
    {
        int width = 0;  // the advance
        int height = 0; // the font's line height
        int ascent = 0;
        QRect ink; // the glyphs' bounding rectangle, relative to the baseline's start
    };
    // text in font on device, measured on first use.
    const TMeasure &Measure(const QFont &font, const QImage &device, const QString &text);
    static TMeasure MeasureNow(const QFont &font, const QImage &device, const QString &text);
    void Clear() { fFonts.clear(); }

private:
    struct TFontMeasures
    {
        QFont font;
        int dpiX = 0;
        int dpiY = 0;
        QHash<QString, TMeasure> texts;
    };
    std::vector<TFontMeasures> fFonts;
};

// The live layer of state (the radios' detection sections, meters and PTT indicators), the
// part of the picture a status report can change, as its sequence of operations; nothing is
// drawn. device is an image made as the diagram's (its resolution sizes the texts); texts are
// measured through measures when given.
TDrawOps RecordLiveLayer(const TDiagramGeometry &g, const TDiagramState &state, QImage &device,
                         TTextMeasures *measures = nullptr);

// The logical pixels in which the pictures of two recorded live layers may differ: the reach
// of every operation that is not the same at the same place in both.
QRegion ChangedArea(const TDrawOps &before, const TDrawOps &after);

// The diagram kept between paints: the fixed diagram as a cached picture, and over it the live
// layer of the last state. A new state redraws only where its live layer differs from the one
// before, and the picture is then the same as RenderDiagram's for that state.
class TDiagramFrame
{
public:
    struct TChange
    {
        QRegion area;       // the logical pixels of the client area that may have changed
        bool whole = false; // painted anew: the scale, size, background or pixel ratio changed
    };
    // Brings the picture to state.
    TChange Update(const TDiagramGeometry &g, int clientHeight, const TDiagramState &state,
                   const QColor &background, qreal devicePixelRatio);
    // Whether the picture is the one Update would bring for these, so that it has nothing
    // to redraw.
    bool Shows(const TDiagramGeometry &g, int clientHeight, const TDiagramState &state,
               const QColor &background, qreal devicePixelRatio) const;
    // The picture as the last Update left it (null before the first, or for an empty area).
    const QImage &Image() const { return fFrame; }
    // Forgets the picture; the next Update paints it all.
    void Invalidate();

private:
    struct TKey
    {
        TKey() = default;
        TKey(const TDiagramGeometry &g, int clientHeight, const QColor &background,
             qreal devicePixelRatio);
        double s = 0;
        int width = 0;
        int height = 0;
        QRgb background = 0;
        qreal ratio = 0;
        bool operator==(const TKey &) const = default;
    };
    TKey fKey;
    QImage fBase;  // the fixed diagram
    QImage fFrame; // the fixed diagram with the live layer of the last state
    TDrawOps fOps; // that live layer
    TTextMeasures fMeasures;
    TDiagramState fState;
};

// The amplifier symbol, an open triangle drawn with canvas's current pen: its vertical side
// at x - size, its point at (x + size, y). A negative size points it to the left.
void DrawAmplifier(QPainter &canvas, int x, int y, int size);

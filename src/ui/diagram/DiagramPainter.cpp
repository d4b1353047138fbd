// SPDX-License-Identifier: MIT
#include "ui/diagram/DiagramPainter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace {

using namespace DiagramColors;

const QString kReceivedAfOut = QStringLiteral("Received AF out");
const QString kAfModulationInput = QStringLiteral("AF modulation input");
const QString kSquelchDetect = QStringLiteral("Squelch detect");
const QString kPei = QStringLiteral("PEI");
const QString kPtt = QStringLiteral("PTT");

// The pixels a rectangle given by two corners covers: from its left/top corner up to, not
// including, its right/bottom corner, as the interface's own tool draws rectangles.
QRect Covered(const TBox &box)
{
    const int left = std::min(box.x1, box.x2);
    const int right = std::max(box.x1, box.x2);
    const int top = std::min(box.y1, box.y2);
    const int bottom = std::max(box.y1, box.y2);
    return QRect(left, top, right - left, bottom - top);
}

// A drawing surface with the state the diagram is described in: a current pen (colour and
// width), a fill colour for shapes and behind text, a text colour and a font. Shapes are drawn
// without anti-aliasing, lines with round ends, as crisp as the interface's own tool draws
// them. A wide pen is centred on the path: 3 px cover the pixel on the path and one either
// side, 2 px the pixel on the path and the one before it.
//
// Rectangles and rounded rectangles are composed of filled rectangles (and four small arcs):
// the general path stroker and filler would spend most of a frame on the three tall blocks.
class TCanvas
{
public:
    // With record set, every drawing operation is appended to it with the pixels it may
    // touch; with draw false nothing is drawn, and no painter is opened on the image (it still
    // measures the texts). Texts are measured through measures when given.
    explicit TCanvas(QImage &image, TDrawOps *record = nullptr, bool draw = true,
                     TTextMeasures *measures = nullptr)
        : fDevice(image), fRecord(record), fDraw(draw), fMeasures(measures)
    {
        fFont.setFamily(QString::fromLatin1(kDiagramFontFamily));
        fFont.setPointSize(8);
        if (fDraw) {
            fPainter.emplace(&image);
            fPainter->setRenderHint(QPainter::Antialiasing, false);
            fPainter->setFont(fFont);
            ApplyPen();
        }
    }

    // Only a canvas that draws has a painter.
    QPainter &Painter() { return *fPainter; }

    void SetPen(const QColor &color, int width)
    {
        fPenColor = color;
        fPenWidth = width;
        ApplyPen();
    }
    void SetPenColor(const QColor &color) { SetPen(color, fPenWidth); }
    void SetFill(const QColor &color)
    {
        fFill = color;
        if (fPainter)
            fPainter->setBrush(color);
    }
    void SetTextColor(const QColor &color) { fTextColor = color; }
    void SetFontSize(int points)
    {
        fFont.setPointSize(points);
        if (fPainter)
            fPainter->setFont(fFont);
    }
    void SetBold(bool bold)
    {
        fFont.setBold(bold);
        if (fPainter)
            fPainter->setFont(fFont);
    }

    // Only the pixels in area are drawn, and of the operations only those whose recorded
    // reach (from a recording of the same drawing) meets it.
    void Clip(const QRegion &area, const TDrawOps *recorded)
    {
        if (fPainter)
            fPainter->setClipRegion(area);
        fOnly.clear();
        if (!recorded)
            return;
        fOnly.reserve(recorded->size());
        for (const TDrawOp &op : *recorded)
            fOnly.push_back(area.intersects(op.reach));
        fOnlyGiven = true;
    }

    void Line(int x1, int y1, int x2, int y2)
    {
        if (fRecord)
            Record(
                TDrawOp::Line, {x1, y1, x2, y2},
                Spanned(x1, y1, x2, y2).adjusted(-PenReach(), -PenReach(), PenReach(), PenReach()));
        if (Next())
            fPainter->drawLine(x1, y1, x2, y2);
    }
    void Line(const TSegment &segment)
    {
        Line(segment.from.x(), segment.from.y(), segment.to.x(), segment.to.y());
    }

    void Amplifier(int x, int y, int size)
    {
        if (fRecord) {
            const int r = PenReach();
            Record(TDrawOp::Amplifier, {x, y, size},
                   Spanned(x - size, y - size, x + size, y + size).adjusted(-r, -r, r, r));
        }
        if (Next())
            DrawAmplifier(*fPainter, x, y, size);
    }

    // Two strokes from the tip back to (tip x + back, tip y - spread) and (.., tip y + spread):
    // a negative back points the arrow to the right.
    void Arrowhead(int tipX, int tipY, int back, int spread)
    {
        Line(tipX, tipY, tipX + back, tipY - spread);
        Line(tipX, tipY, tipX + back, tipY + spread);
    }

    // A rectangle filled with the fill colour, outlined with the pen on its edge pixels.
    void Rectangle(const TBox &box)
    {
        const QRect q = Covered(box);
        if (q.isEmpty())
            return;
        if (fRecord)
            Record(TDrawOp::Rectangle, {box.x1, box.y1, box.x2, box.y2}, OutlineReach(q));
        if (!Next())
            return;
        fPainter->fillRect(q, fFill);
        const int lo = fPenWidth / 2;
        const int across = fPenWidth;
        fPainter->fillRect(QRect(q.left() - lo, q.top() - lo, q.width() + across - 1, across),
                           fPenColor);
        fPainter->fillRect(QRect(q.left() - lo, q.bottom() - lo, q.width() + across - 1, across),
                           fPenColor);
        fPainter->fillRect(QRect(q.left() - lo, q.top() - lo, across, q.height() + across - 1),
                           fPenColor);
        fPainter->fillRect(QRect(q.right() - lo, q.top() - lo, across, q.height() + across - 1),
                           fPenColor);
    }

    // The same with corners that are quarters of a circle corner pixels across.
    void RoundRect(const TBox &box, int corner)
    {
        const QRect q = Covered(box);
        const int r = corner / 2;
        if (q.width() <= 2 * r || q.height() <= 2 * r) {
            Rectangle(box);
            return;
        }
        if (fRecord)
            Record(TDrawOp::RoundRect, {box.x1, box.y1, box.x2, box.y2, corner}, OutlineReach(q));
        if (!Next())
            return;
        const int lo = fPenWidth / 2;
        const int across = fPenWidth;
        fPainter->fillRect(QRect(q.left(), q.top() + r, q.width(), q.height() - 2 * r), fFill);
        fPainter->fillRect(QRect(q.left() + r, q.top(), q.width() - 2 * r, q.height()), fFill);
        const QRectF corners[] = {
            {qreal(q.left()), qreal(q.top()), qreal(corner), qreal(corner)},
            {qreal(q.right() - corner), qreal(q.top()), qreal(corner), qreal(corner)},
            {qreal(q.left()), qreal(q.bottom() - corner), qreal(corner), qreal(corner)},
            {qreal(q.right() - corner), qreal(q.bottom() - corner), qreal(corner), qreal(corner)},
        };
        fPainter->setPen(Qt::NoPen);
        for (const QRectF &c : corners)
            fPainter->drawEllipse(c);
        fPainter->fillRect(QRect(q.left() + r, q.top() - lo, q.width() - 2 * r, across), fPenColor);
        fPainter->fillRect(QRect(q.left() + r, q.bottom() - lo, q.width() - 2 * r, across),
                           fPenColor);
        fPainter->fillRect(QRect(q.left() - lo, q.top() + r, across, q.height() - 2 * r),
                           fPenColor);
        fPainter->fillRect(QRect(q.right() - lo, q.top() + r, across, q.height() - 2 * r),
                           fPenColor);
        // Square ends reach into the straight edges, so no pixel is left open where they meet.
        fPainter->setPen(QPen(fPenColor, fPenWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        fPainter->setBrush(Qt::NoBrush);
        constexpr int kQuarter = 90 * 16; // Qt measures arcs in 1/16 degree
        fPainter->drawArc(corners[0], 2 * kQuarter, -kQuarter);
        fPainter->drawArc(corners[1], 0, kQuarter);
        fPainter->drawArc(corners[2], 2 * kQuarter, kQuarter);
        fPainter->drawArc(corners[3], 3 * kQuarter, kQuarter);
        fPainter->setBrush(fFill);
        ApplyPen();
    }

    int TextWidth(const QString &text) { return Measure(text).width; }
    int TextHeight() { return Measure(QString()).height; }

    // Text with its top-left corner at (x, y) on an opaque box of the fill colour; width is
    // the text's width, measured once by the caller.
    void TextOut(int x, int y, const QString &text, int width)
    {
        const TTextMeasures::TMeasure &metrics = Measure(text);
        if (fRecord) {
            // The box behind the text, and the ink, which may stand out of the box (a bold
            // glyph's overhang), with a margin for the smoothing of the glyphs' edges.
            const QRect box(x, y, width, metrics.height);
            const QRect ink = metrics.ink.translated(x, y + metrics.ascent);
            Record(TDrawOp::Text, {x, y, width}, box.united(ink).adjusted(-2, -2, 2, 2), text);
        }
        if (!Next())
            return;
        fPainter->fillRect(QRect(x, y, width, metrics.height), fFill);
        fPainter->setPen(fTextColor);
        fPainter->drawText(x, y + metrics.ascent, text);
        ApplyPen();
    }
    void TextCentredOnY(int left, int y, const QString &text)
    {
        TextOut(left, y - Half(TextHeight()), text, TextWidth(text));
    }
    void TextRightAlignedCentredOnY(int right, int y, const QString &text)
    {
        const int width = TextWidth(text);
        TextOut(right - width, y - Half(TextHeight()), text, width);
    }
    void TextCentredOnX(int x, int top, const QString &text)
    {
        const int width = TextWidth(text);
        TextOut(x - Half(width), top, text, width);
    }

private:
    void ApplyPen()
    {
        if (fPainter)
            fPainter->setPen(
                QPen(fPenColor, fPenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }

    const TTextMeasures::TMeasure &Measure(const QString &text)
    {
        if (fMeasures)
            return fMeasures->Measure(fFont, fDevice, text);
        fMeasure = TTextMeasures::MeasureNow(fFont, fDevice, text);
        return fMeasure;
    }

    // How far past a path the current pen may colour pixels: half its width, its round end,
    // and one pixel for the rounding of the centre line.
    int PenReach() const { return fPenWidth / 2 + 2; }
    // The outline of a rectangle, pen width wide over its edge pixels as Rectangle fills it.
    QRect OutlineReach(const QRect &q) const
    {
        const int lo = fPenWidth / 2;
        const int across = std::max(fPenWidth, 1);
        return QRect(QPoint(q.left() - lo, q.top() - lo),
                     QPoint(q.right() - lo + across - 1, q.bottom() - lo + across - 1));
    }
    static QRect Spanned(int x1, int y1, int x2, int y2)
    {
        return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                     QPoint(std::max(x1, x2), std::max(y1, y2)));
    }

    void Record(TDrawOp::TKind kind, std::initializer_list<int> args, const QRect &reach,
                const QString &text = QString())
    {
        TDrawOp op;
        op.kind = kind;
        std::copy(args.begin(), args.end(), op.args.begin());
        // Only what the operation draws with: a line drawn in the same place with the same pen
        // is the same line whatever font is in force.
        const bool outlined = kind != TDrawOp::Text;
        const bool filled =
            kind == TDrawOp::Rectangle || kind == TDrawOp::RoundRect || kind == TDrawOp::Text;
        if (outlined) {
            op.pen = fPenColor.rgba();
            op.penWidth = fPenWidth;
        }
        if (filled)
            op.fill = fFill.rgba();
        if (kind == TDrawOp::Text) {
            op.textColor = fTextColor.rgba();
            op.fontPoints = fFont.pointSize();
            op.bold = fFont.bold();
            op.text = text;
        }
        op.reach = reach;
        fRecord->push_back(std::move(op));
    }

    // Whether the next operation is drawn; counts the operations as Record does.
    bool Next()
    {
        const std::size_t index = fIndex++;
        return fDraw && (!fOnlyGiven || (index < fOnly.size() && fOnly[index]));
    }

    QImage &fDevice;
    std::optional<QPainter> fPainter;
    TDrawOps *fRecord;
    bool fDraw;
    TTextMeasures *fMeasures;
    TTextMeasures::TMeasure fMeasure; // the last text measured without fMeasures
    std::size_t fIndex = 0;
    std::vector<bool> fOnly;
    bool fOnlyGiven = false;
    QFont fFont;
    QColor fPenColor = Black;
    int fPenWidth = 1;
    QColor fFill = Qt::white;
    QColor fTextColor = Black;
};

// The background colour everywhere the three blocks do not paint over themselves: filling the
// whole image first would write the blocks' half a million pixels twice on every frame.
void FillBackground(QPainter &painter, const QRect &all, const TDiagramGeometry &g,
                    const QColor &background)
{
    QRegion region(all);
    const int r = g.M / 2;
    for (const TBox &block : {g.RadioABlock(), g.InterfaceBlock(), g.RadioBBlock()}) {
        const QRect q = Covered(block);
        if (q.width() <= 2 * r || q.height() <= 2 * r)
            continue;
        region -= q;
        // The rounded corners leave the outside of each corner to the background.
        region += QRect(q.left(), q.top(), r, r);
        region += QRect(q.right() - r + 1, q.top(), r, r);
        region += QRect(q.left(), q.bottom() - r + 1, r, r);
        region += QRect(q.right() - r + 1, q.bottom() - r + 1, r, r);
    }
    for (const QRect &rect : region)
        painter.fillRect(rect, background);
}

void PaintFixedDiagram(TCanvas &c, const TDiagramGeometry &g, const QColor &background)
{
    const int W = g.W, M = g.M, T = g.T, RW = g.RW, C = g.C;

    c.SetPen(Blue, 3);
    c.SetTextColor(Blue);
    c.SetFontSize(12);
    c.SetFill(background);

    const int titleTop = T - g.S(22);
    c.TextCentredOnX(M + Half(RW), titleTop, QStringLiteral("Radio A"));
    c.TextCentredOnX(W - M - RW + Half(RW), titleTop, QStringLiteral("Radio B"));
    c.TextCentredOnX(C, titleTop, QStringLiteral("Merrow Interface"));

    // The rounded blocks are filled as they are drawn, which leaves the same picture as
    // flood-filling their inside up to the outline.
    c.SetFill(LightBlue);
    c.RoundRect(g.RadioABlock(), M);
    c.SetFontSize(11);
    c.TextRightAlignedCentredOnY(M + RW - g.S(7), g.YU, kReceivedAfOut);
    c.TextRightAlignedCentredOnY(M + RW - g.S(7), g.YL, kAfModulationInput);

    c.SetFill(MoneyGreen);
    c.RoundRect(g.RadioBBlock(), M);
    c.TextCentredOnY(W - M - RW + g.S(7), g.YL, kReceivedAfOut);
    c.TextCentredOnY(W - M - RW + g.S(7), g.YU, kAfModulationInput);

    c.SetPenColor(Black);
    c.SetFill(LightYellow);
    c.RoundRect(g.InterfaceBlock(), M);
    c.Rectangle(g.DetectionBoxA());
    c.Rectangle(g.DetectionBoxB());

    // Upper path: Radio A's received audio through the A-to-B amplifier to Radio B.
    c.Line(M + RW, g.YU, C - g.S(25), g.YU);
    c.Line(C + g.S(25), g.YU, W - M - RW, g.YU);
    DrawAmplifier(c.Painter(), C, g.YU, g.S(25));
    c.Arrowhead(M + RW + g.S(14), g.YU, -g.S(8), g.S(8));

    // Lower path: Radio B's received audio back to Radio A.
    c.Line(M + RW, g.YL, C - g.S(25), g.YL);
    c.Line(C + g.S(25), g.YL, W - M - RW, g.YL);
    DrawAmplifier(c.Painter(), C, g.YL, g.S(-25));
    c.Arrowhead(W - M - RW - g.S(14), g.YL, g.S(8), g.S(8));
}

// Detection line and label colours: green and bold while the radio receives.
void SetReceiveColours(TCanvas &c, bool receiving)
{
    c.SetPen(receiving ? Green : Black, 3);
    c.SetTextColor(receiving ? LightGreen : Black);
    c.SetBold(receiving);
}

void PaintMeter(TCanvas &c, const TMeter &meter, bool receiving)
{
    c.SetPen(Black, 2);
    c.SetFill(LightYellow);
    c.Rectangle(meter.frame);
    const QColor &bar = receiving ? Red : Grey;
    c.SetPen(bar, 2);
    c.SetFill(bar);
    c.Rectangle(meter.bar);
    c.SetPen(Red, 3);
    c.Line(meter.marker);
}

void PaintRadioA(TCanvas &c, const TDiagramGeometry &g, const TDiagramState &state)
{
    const int M = g.M, RW = g.RW;
    switch (RadioKindOf(state.typeA)) {
    case TRadioKind::LevelSense: {
        const int x0 = g.XL;
        const int y0 = g.T + g.S(100) + g.S(175);
        c.SetPen(Black, 3);
        c.Arrowhead(g.XL - g.S(7), g.YA, -g.S(8), g.S(8));
        c.SetTextColor(Black);
        c.SetFill(LightYellow);
        // The received audio is tapped off the upper path into the detector's pre-amplifier.
        const int tapX = g.IL + g.S(25);
        c.Line(tapX, g.YU, tapX, g.YA);
        c.Line(tapX, g.YA, g.XL + g.S(50) - g.S(25), g.YA);
        c.Amplifier(x0 + g.S(50), y0 - g.S(88), g.S(25));
        PaintMeter(c, g.MeterA(g.MeterHeight(state.audioLvlA), g.MeterHeight(state.detLevelA)),
                   state.rxDetectedA);
        break;
    }
    case TRadioKind::Squelch:
        SetReceiveColours(c, state.rxDetectedA);
        c.Line(M + RW, g.YA, g.XL, g.YA);
        c.SetFill(LightBlue);
        c.SetFontSize(11);
        // Starts where "Received AF out" starts in the font in force, so in bold it begins
        // a little further left than the label above it.
        c.TextCentredOnY(M + RW - g.S(7) - c.TextWidth(kReceivedAfOut), g.YA, kSquelchDetect);
        break;
    case TRadioKind::Pei:
        SetReceiveColours(c, state.rxDetectedA);
        c.Line(M + RW, g.YA, g.XL, g.YA);
        c.SetFill(LightBlue);
        c.SetFontSize(11);
        c.TextCentredOnY(M + g.S(50), g.YA, kPei);
        break;
    case TRadioKind::None:
        break;
    }
    c.SetBold(false);
}

void PaintRadioB(TCanvas &c, const TDiagramGeometry &g, const TDiagramState &state)
{
    const int W = g.W, M = g.M, RW = g.RW;
    SetReceiveColours(c, state.rxDetectedB);
    switch (RadioKindOf(state.typeB)) {
    case TRadioKind::LevelSense: {
        const int x0 = g.XR;
        const int y0 = g.T + g.BH - g.S(100);
        c.SetPen(Black, 3);
        c.Arrowhead(g.XR + g.S(7), g.YB, g.S(8), g.S(8));
        c.SetTextColor(Black);
        c.SetFill(LightYellow);
        const int tapX = g.IR - g.S(25);
        c.Line(tapX, g.YL, tapX, g.YB);
        c.Line(tapX, g.YB, g.XR - g.S(50) + g.S(25), g.YB);
        c.Amplifier(x0 - g.S(50), y0 - g.S(88), g.S(-25));
        PaintMeter(c, g.MeterB(g.MeterHeight(state.audioLvlB), g.MeterHeight(state.detLevelB)),
                   state.rxDetectedB);
        break;
    }
    case TRadioKind::Squelch:
        c.Line(W - M - RW, g.YB, g.XR, g.YB);
        c.SetFill(MoneyGreen);
        c.SetFontSize(11);
        c.TextCentredOnY(W - M - RW + g.S(7), g.YB, kSquelchDetect);
        break;
    case TRadioKind::Pei:
        SetReceiveColours(c, state.rxDetectedB);
        c.Line(W - M - RW, g.YB, g.XR, g.YB);
        c.SetFill(MoneyGreen);
        c.SetFontSize(11);
        c.TextRightAlignedCentredOnY(W - M - g.S(50), g.YB, kPei);
        break;
    case TRadioKind::None:
        break;
    }
    c.SetBold(false);
}

// A radio's PTT comes from the other radio's detection box and points into the radio.
void PaintPtt(TCanvas &c, const TDiagramGeometry &g, const TDiagramState &state)
{
    const int W = g.W, M = g.M, RW = g.RW;
    if (state.pttActiveA) {
        c.SetPen(Red, 3);
        c.Line(M + RW, g.YB, g.XL, g.YB);
        c.Arrowhead(M + RW + g.S(14), g.YB, g.S(8), g.S(8));
        c.SetTextColor(Red);
        c.SetFill(LightBlue);
        c.SetFontSize(14);
        c.SetBold(false);
        c.TextRightAlignedCentredOnY(M + RW - g.S(7), g.YB, kPtt);
    }
    if (state.pttActiveB) {
        c.SetPen(Red, 3);
        c.Line(W - M - RW, g.YA, g.XR, g.YA);
        c.Arrowhead(W - M - RW - g.S(14), g.YA, -g.S(8), g.S(8));
        c.SetTextColor(Red);
        c.SetFill(MoneyGreen);
        c.SetFontSize(14);
        c.SetBold(false);
        c.TextCentredOnY(W - M - RW + g.S(7), g.YA, kPtt);
    }
}

} // namespace

void DrawAmplifier(QPainter &canvas, int x, int y, int size)
{
    const QPoint upper[] = {{x - size, y}, {x - size, y - size}, {x + size, y}};
    const QPoint lower[] = {{x - size, y}, {x - size, y + size}, {x + size, y}};
    canvas.drawPolyline(upper, 3);
    canvas.drawPolyline(lower, 3);
}

namespace {

// The live layer: everything a status report or a radio type changes, drawn over the fixed
// diagram in this order.
void PaintLiveLayer(TCanvas &c, const TDiagramGeometry &g, const TDiagramState &state)
{
    PaintRadioA(c, g, state);
    PaintRadioB(c, g, state);
    PaintPtt(c, g, state);
}

// An image for the client area without its last column and row, with the pixel ratio and the
// resolution that make point-sized text follow the scale; null when there is nothing to show.
QImage ClientImage(const TDiagramGeometry &g, int clientHeight, qreal devicePixelRatio)
{
    const int width = g.W - 1;
    const int height = clientHeight - 1;
    if (width <= 0 || height <= 0)
        return {};
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QImage image(static_cast<int>(std::ceil(width * ratio)),
                 static_cast<int>(std::ceil(height * ratio)), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.setDevicePixelRatio(ratio);
    // Point sizes follow the screen resolution: at s = 1.5 a 12-pt title is 24 pixels high.
    const int dotsPerMeter = static_cast<int>(std::lround(96.0 * g.s / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

// The fixed diagram alone: background, blocks, paths and their texts.
QImage RenderFixedDiagram(const TDiagramGeometry &g, int clientHeight, const QColor &background,
                          qreal devicePixelRatio)
{
    QImage image = ClientImage(g, clientHeight, devicePixelRatio);
    if (image.isNull())
        return image;
    TCanvas canvas(image);
    if (image.devicePixelRatio() == 1.0) {
        FillBackground(canvas.Painter(), QRect(0, 0, g.W - 1, clientHeight - 1), g, background);
    } else {
        // At another pixel ratio block edges may fall between device pixels: fill it all.
        image.fill(background);
    }
    PaintFixedDiagram(canvas, g, background);
    return image;
}

// Copies the logical area from one image to another of the same size, format and whole
// pixel ratio, row by row: the painter would go over the whole image for a clipped copy.
void CopyArea(QImage &to, const QImage &from, const QRegion &area)
{
    const int ratio = static_cast<int>(to.devicePixelRatio());
    const int depth = to.depth() / 8;
    const QRect bounds = to.rect();
    for (const QRect &logical : area) {
        const QRect r = QRect(logical.topLeft() * ratio, logical.size() * ratio) & bounds;
        if (r.isEmpty())
            continue;
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::memcpy(to.scanLine(y) + r.left() * depth, from.constScanLine(y) + r.left() * depth,
                        std::size_t(r.width()) * depth);
    }
}

} // namespace

bool TDrawOp::operator==(const TDrawOp &other) const
{
    return kind == other.kind && args == other.args && pen == other.pen &&
           penWidth == other.penWidth && fill == other.fill && textColor == other.textColor &&
           fontPoints == other.fontPoints && bold == other.bold && reach == other.reach &&
           text == other.text;
}

QRegion ChangedArea(const TDrawOps &before, const TDrawOps &after)
{
    // Operations that are the same at the same place in both sequences draw the same pixels
    // wherever no differing operation reaches: there the two pictures are the same.
    QRegion changed;
    const std::size_t count = std::max(before.size(), after.size());
    for (std::size_t i = 0; i < count; ++i) {
        const bool inBefore = i < before.size();
        const bool inAfter = i < after.size();
        if (inBefore && inAfter && before[i] == after[i])
            continue;
        if (inBefore)
            changed += before[i].reach;
        if (inAfter)
            changed += after[i].reach;
    }
    return changed;
}

QImage RenderDiagram(const TDiagramGeometry &g, int clientHeight, const TDiagramState &state,
                     const QColor &background, qreal devicePixelRatio)
{
    QImage image = RenderFixedDiagram(g, clientHeight, background, devicePixelRatio);
    if (image.isNull())
        return image;
    TCanvas canvas(image);
    PaintLiveLayer(canvas, g, state);
    return image;
}

TTextMeasures::TMeasure TTextMeasures::MeasureNow(const QFont &font, const QImage &device,
                                                  const QString &text)
{
    const QFontMetrics metrics(font, &device);
    return {metrics.horizontalAdvance(text), metrics.height(), metrics.ascent(),
            metrics.boundingRect(text)};
}

const TTextMeasures::TMeasure &TTextMeasures::Measure(const QFont &font, const QImage &device,
                                                      const QString &text)
{
    // A handful of fonts: a search is quicker than hashing the font.
    const int dpiX = device.logicalDpiX();
    const int dpiY = device.logicalDpiY();
    auto it = std::find_if(fFonts.begin(), fFonts.end(), [&](const TFontMeasures &f) {
        return f.dpiX == dpiX && f.dpiY == dpiY && f.font == font;
    });
    if (it == fFonts.end()) {
        fFonts.push_back({font, dpiX, dpiY, {}});
        it = std::prev(fFonts.end());
    }
    // The diagram's texts are fixed or short numbers; the bound only keeps the memory fixed
    // whatever comes.
    constexpr qsizetype kMaxTexts = 1024;
    auto found = it->texts.constFind(text);
    if (found != it->texts.constEnd())
        return *found;
    if (it->texts.size() >= kMaxTexts)
        it->texts.clear();
    return *it->texts.insert(text, MeasureNow(font, device, text));
}

TDrawOps RecordLiveLayer(const TDiagramGeometry &g, const TDiagramState &state, QImage &device,
                         TTextMeasures *measures)
{
    TDrawOps ops;
    TCanvas canvas(device, &ops, false, measures);
    PaintLiveLayer(canvas, g, state);
    return ops;
}

TDiagramFrame::TKey::TKey(const TDiagramGeometry &g, int clientHeight, const QColor &background,
                          qreal devicePixelRatio)
    : s(g.s), width(g.W), height(clientHeight), background(background.rgba()),
      ratio(devicePixelRatio > 0 ? devicePixelRatio : 1.0)
{}

bool TDiagramFrame::Shows(const TDiagramGeometry &g, int clientHeight, const TDiagramState &state,
                          const QColor &background, qreal devicePixelRatio) const
{
    return !fFrame.isNull() && fKey == TKey(g, clientHeight, background, devicePixelRatio) &&
           state == fState;
}

TDiagramFrame::TChange TDiagramFrame::Update(const TDiagramGeometry &g, int clientHeight,
                                             const TDiagramState &state, const QColor &background,
                                             qreal devicePixelRatio)
{
    const TKey key(g, clientHeight, background, devicePixelRatio);
    const QRect all(0, 0, g.W - 1, clientHeight - 1);
    if (fFrame.isNull() || !(key == fKey)) {
        fKey = key;
        fBase = RenderFixedDiagram(g, clientHeight, background, devicePixelRatio);
        fFrame = fBase;
        fOps.clear();
        fMeasures.Clear();
        if (fFrame.isNull())
            return {};
        fFrame.detach();
        fState = state;
        TCanvas canvas(fFrame, &fOps, true, &fMeasures);
        PaintLiveLayer(canvas, g, state);
        return {all, true};
    }

    if (state == fState)
        return {};
    fState = state;
    TDrawOps ops = RecordLiveLayer(g, state, fFrame, &fMeasures);
    const QRegion changed = ChangedArea(fOps, ops) & all;
    fOps = std::move(ops);
    if (changed.isEmpty())
        return {};
    const qreal ratio = fFrame.devicePixelRatio();
    if (ratio == std::floor(ratio)) {
        // Logical pixels are whole device pixels: the fixed diagram is put back under the
        // changed area and the live layer drawn again there alone.
        CopyArea(fFrame, fBase, changed);
        TCanvas canvas(fFrame, nullptr, true, &fMeasures);
        canvas.Clip(changed, &fOps);
        PaintLiveLayer(canvas, g, state);
    } else {
        // A logical pixel's edge may fall inside a device pixel, which a clip would cut:
        // the whole live layer over a fresh copy of the fixed diagram.
        fFrame = fBase;
        fFrame.detach();
        TCanvas canvas(fFrame, nullptr, true, &fMeasures);
        PaintLiveLayer(canvas, g, state);
    }
    return {changed, false};
}

void TDiagramFrame::Invalidate()
{
    fFrame = QImage();
    fBase = QImage();
    fOps.clear();
    fMeasures.Clear();
}

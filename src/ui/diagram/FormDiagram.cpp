// SPDX-License-Identifier: MIT
// The painted block diagram of the main window. Every paint lays the parameter controls out
// over the diagram (and fixes the client size), then copies the part of the client area it
// covers from an off-screen picture, so nothing flickers while status reports stream in. The
// picture is kept from paint to paint (TDiagramFrame): a status report redraws and repaints
// only the pixels its meters, receive indicators and PTT indicators change, and the controls
// lying elsewhere are left alone.
#include "ui/TandorMain.h"

#include "ui/ClientArea.h"
#include "ui/ComboBox.h"
#include "ui/TrackBar.h"
#include "ui/diagram/DiagramGeometry.h"
#include "ui/diagram/DiagramPainter.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <array>

namespace {

// Rows of device pixels the window's copy of the picture takes at a time (see PaintDiagram).
constexpr int kPaintBandRows = 64;

using TDiagramWidgets = std::array<QWidget *, kDiagramControlCount>;

// The window's control for each control the diagram lays out.
TDiagramWidgets DiagramWidgets(const TMerrowMainForm &f)
{
    using enum TDiagramControl;
    TDiagramWidgets w{};
    const auto set = [&w](TDiagramControl c, QWidget *widget) {
        w[static_cast<std::size_t>(c)] = widget;
    };
    set(cmb_RaAtype, f.cmb_RaAtype);
    set(cmb_RaBtype, f.cmb_RaBtype);
    set(cmb_ComType_A, f.cmb_ComType_A);
    set(cmb_Baud_A, f.cmb_Baud_A);
    set(lbPeiA, f.lbPeiA);
    set(cmb_ComType_B, f.cmb_ComType_B);
    set(cmb_Baud_B, f.cmb_Baud_B);
    set(lbPeiB, f.lbPeiB);
    set(tbGainA, f.tbGainA);
    set(lbGainA, f.lbGainA);
    set(tbGainB, f.tbGainB);
    set(lbGainB, f.lbGainB);
    set(lbDetGainA, f.lbDetGainA);
    set(tbLevelDetGainA, f.tbLevelDetGainA);
    set(tbDetLevelA, f.tbDetLevelA);
    set(lbPreAmpA, f.lbPreAmpA);
    set(lbPttTrigA, f.lbPttTrigA);
    set(lbAfLevelA, f.lbAfLevelA);
    set(lbPTTonDelayA, f.lbPTTonDelayA);
    set(lbPTToffDelayA, f.lbPTToffDelayA);
    set(tbPTTonDelayA, f.tbPTTonDelayA);
    set(tbPTToffDelayA, f.tbPTToffDelayA);
    set(lbDetGainB, f.lbDetGainB);
    set(tbLevelDetGainB, f.tbLevelDetGainB);
    set(tbDetLevelB, f.tbDetLevelB);
    set(lbPreAmpB, f.lbPreAmpB);
    set(lbPttTrigB, f.lbPttTrigB);
    set(lbAfLevelB, f.lbAfLevelB);
    set(lbPTTonDelayB, f.lbPTTonDelayB);
    set(lbPTToffDelayB, f.lbPTToffDelayB);
    set(tbPTTonDelayB, f.tbPTTonDelayB);
    set(tbPTToffDelayB, f.tbPTToffDelayB);
    set(btSaveChanges, f.btSaveChanges);
    set(btRevert, f.btRevert);
    set(btClose, f.btClose);
    return w;
}

// Applies a layout. Only what differs is touched, so the second paint after a resize changes
// nothing and raises no further events: moving, resizing or showing a child schedules another
// paint, and an unconditional set would repaint the window for ever.
// True when anything changed.
bool ApplyLayout(const TDiagramLayout &layout, const TDiagramWidgets &widgets)
{
    bool changed = false;
    for (std::size_t i = 0; i < kDiagramControlCount; ++i) {
        QWidget *widget = widgets[i];
        if (!widget)
            continue;
        const QRect &rect = layout.rects[static_cast<TDiagramControl>(i)];
        if (widget->geometry() != rect) {
            widget->setGeometry(rect);
            changed = true;
        }
        switch (layout.visibility[i]) {
        case TVisibility::Shown:
            if (widget->isHidden()) {
                widget->show();
                changed = true;
            }
            break;
        case TVisibility::Hidden:
            if (!widget->isHidden()) {
                widget->hide();
                changed = true;
            }
            break;
        case TVisibility::Unchanged:
            break;
        }
    }
    return changed;
}

// Whether the widgets already stand as the layout places them.
bool LayoutApplied(const TDiagramLayout &layout, const TDiagramWidgets &widgets)
{
    for (std::size_t i = 0; i < kDiagramControlCount; ++i) {
        const QWidget *widget = widgets[i];
        if (!widget)
            continue;
        if (widget->geometry() != layout.rects[static_cast<TDiagramControl>(i)])
            return false;
        if ((layout.visibility[i] == TVisibility::Shown && widget->isHidden()) ||
            (layout.visibility[i] == TVisibility::Hidden && !widget->isHidden()))
            return false;
    }
    return true;
}

// The layout of the controls for the window's scale and radio types, from where they stand.
const TDiagramLayout &CurrentLayout(TMerrowMainForm &f, const TDiagramWidgets &widgets)
{
    TControlRects current;
    for (std::size_t i = 0; i < kDiagramControlCount; ++i) {
        if (widgets[i])
            current[static_cast<TDiagramControl>(i)] = widgets[i]->geometry();
    }
    const double s = f.ScreenScale();
    const int typeA = f.cmb_RaAtype->currentIndex();
    const int typeB = f.cmb_RaBtype->currentIndex();
    TClientArea::TLaidOut &last = f.ClientArea->LaidOut();
    if (!last.valid || last.s != s || last.typeA != typeA || last.typeB != typeB ||
        !(last.from == current)) {
        last.valid = true;
        last.s = s;
        last.typeA = typeA;
        last.typeB = typeB;
        last.from = current;
        last.layout = LayoutDiagram(s, current, typeA, typeB);
    }
    return last.layout;
}

// Lays out the controls over the diagram and fixes the client size; true when a control or
// the client size changed.
bool LayOutControls(TMerrowMainForm &f)
{
    const TDiagramWidgets widgets = DiagramWidgets(f);
    // A copy: applying it raises events, which may lay out again.
    const TDiagramLayout layout = CurrentLayout(f, widgets);
    bool changed = false;
    if (f.ClientArea->size() != layout.client) {
        f.SetClientSize(layout.client.width(), layout.client.height());
        changed = true;
    }
    return ApplyLayout(layout, widgets) || changed;
}

// Everything of the window's state the diagram shows, read afresh.
TDiagramState CurrentState(TMerrowMainForm &f)
{
    TDiagramState state;
    state.typeA = f.cmb_RaAtype->currentIndex();
    state.typeB = f.cmb_RaBtype->currentIndex();
    state.audioLvlA = f.fAudioLvlA;
    state.audioLvlB = f.fAudioLvlB;
    state.rxDetectedA = f.fRXdetectedA;
    state.rxDetectedB = f.fRXdetectedB;
    state.pttActiveA = f.fPTTActiveA;
    state.pttActiveB = f.fPTTActiveB;
    if (RadioKindOf(state.typeA) == TRadioKind::LevelSense)
        state.detLevelA = f.GetSettingValue(QStringLiteral("DetLevelA"));
    if (RadioKindOf(state.typeB) == TRadioKind::LevelSense)
        state.detLevelB = f.GetSettingValue(QStringLiteral("DetLevelB"));
    return state;
}

// Calls use(frame, geometry, client height, state, background, pixel ratio) with the client
// area's picture and what the window shows now: the picture is made from these alone.
template <class Use> decltype(auto) WithPictureInputs(TMerrowMainForm &f, Use &&use)
{
    TClientArea *area = f.ClientArea;
    const TDiagramGeometry geometry(f.ScreenScale(), area->width());
    return use(area->Frame(), geometry, area->height(), CurrentState(f),
               area->palette().color(QPalette::Button), area->devicePixelRatioF());
}

// Brings the client area's picture to the window's state.
TDiagramFrame::TChange UpdatePicture(TMerrowMainForm &f)
{
    return WithPictureInputs(
        f, [](TDiagramFrame &frame, const auto &...inputs) { return frame.Update(inputs...); });
}

// Whether the picture is the one UpdatePicture would bring.
bool PictureShowsState(TMerrowMainForm &f)
{
    return WithPictureInputs(f, [](const TDiagramFrame &frame, const auto &...inputs) {
        return frame.Shows(inputs...);
    });
}

} // namespace

void TMerrowMainForm::FormPaint()
{
    PaintDiagram();
}

void TMerrowMainForm::FormResize()
{
    // A resize always needs the whole diagram again. update() rather than repaint(): the
    // client area is resized from within its own paint event, where a synchronous repaint
    // would recurse; Qt paints the pending update right after the current paint returns.
    ClientArea->update();
}

double TMerrowMainForm::ScreenScale() const
{
    if (fScreenScale > 0.0)
        return fScreenScale;
    // The logical resolution of the screen the window is on; under Qt's high-DPI scaling this
    // stays 96 and the device pixel ratio carries the rest.
    const int dpi = ClientArea ? ClientArea->logicalDpiX() : logicalDpiX();
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

void TMerrowMainForm::SetScreenScale(double s)
{
    fScreenScale = s > 0.0 ? s : 0.0;
    RequestRepaint();
}

void TMerrowMainForm::PaintDiagram()
{
    LayOutControls(*this);

    // Qt lets a widget be painted only from its own paint event; called from anywhere else
    // the layout above is all that can be done now, and the picture follows at once.
    if (!ClientArea->IsPainting()) {
        ClientArea->update();
        return;
    }

    const TDiagramFrame::TChange change = UpdatePicture(*this);
    const QImage &image = ClientArea->Frame().Image();
    if (image.isNull())
        return;
    QPainter window(ClientArea);
    // A paint for a control's sake may come between a status report and its repaint, and
    // bring the picture up to date where this paint does not reach: the live repaint shows
    // the rest. A picture painted anew comes with a paint of the whole area. A rendering
    // into a pixmap (a grab of the window) shows nothing on screen.
    QRegion &unshown = ClientArea->Unshown();
    if (change.whole)
        unshown = QRegion();
    else
        unshown += change.area;
    if (window.device()->devType() != QInternal::Pixmap)
        unshown -= ClientArea->PaintingRegion();
    // Only the part of the picture this paint covers is copied. Qt's raster engine hands a
    // copy of more than about a hundred rows to its thread pool, in pieces; for the few
    // thousand pixels a status report changes, waking the pool's threads costs more than the
    // copy. So the copy goes in bands short enough to stay on this thread.
    window.setCompositionMode(QPainter::CompositionMode_Source);
    const qreal ratio = image.devicePixelRatio();
    const int band = std::max(1, static_cast<int>(kPaintBandRows / ratio));
    const QRect pictureArea(QPoint(0, 0), image.deviceIndependentSize().toSize());
    for (const QRect &rect : ClientArea->PaintingRegion()) {
        const QRect part = rect & pictureArea;
        for (int top = part.top(); top <= part.bottom(); top += band) {
            const QRect piece(part.left(), top, part.width(),
                              std::min(band, part.bottom() + 1 - top));
            window.drawImage(piece.topLeft(), image,
                             QRectF(piece.x() * ratio, piece.y() * ratio, piece.width() * ratio,
                                    piece.height() * ratio));
        }
    }
}

bool TMerrowMainForm::LiveIndicatorsShown()
{
    if (ClientArea->IsPainting() || !ClientArea->isVisible() || !ClientArea->Unshown().isEmpty())
        return false;
    // The picture first: a status report that moved a meter fails there, at little cost.
    if (!PictureShowsState(*this))
        return false;
    const TDiagramWidgets widgets = DiagramWidgets(*this);
    const TDiagramLayout &layout = CurrentLayout(*this, widgets);
    return ClientArea->size() == layout.client && LayoutApplied(layout, widgets);
}

void TMerrowMainForm::RepaintLiveIndicators()
{
    if (ClientArea->IsPainting() || !ClientArea->isVisible()) {
        RepaintNow();
        return;
    }
    // A reply that moved, showed or hid a control (a new radio type) needs the whole area.
    if (LayOutControls(*this)) {
        ClientArea->repaint();
        return;
    }
    const TDiagramFrame::TChange change = UpdatePicture(*this);
    if (change.whole) {
        ClientArea->repaint();
        return;
    }
    const QRegion area = change.area + ClientArea->Unshown();
    ClientArea->Unshown() = QRegion();
    if (!area.isEmpty())
        ClientArea->repaint(area);
}

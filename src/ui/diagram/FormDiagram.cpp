// SPDX-License-Identifier: MIT
// The painted block diagram of the main window. Every paint lays the parameter controls out
// over the diagram (and fixes the client size), then paints the whole client area through an
// off-screen image copied in one operation, so nothing flickers while status reports stream in.
#include "ui/TandorMain.h"

#include "ui/ClientArea.h"
#include "ui/ComboBox.h"
#include "ui/TrackBar.h"
#include "ui/diagram/DiagramGeometry.h"
#include "ui/diagram/DiagramPainter.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <array>

namespace {

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
void ApplyLayout(const TDiagramLayout &layout, const TDiagramWidgets &widgets)
{
    for (std::size_t i = 0; i < kDiagramControlCount; ++i) {
        QWidget *widget = widgets[i];
        if (!widget)
            continue;
        const QRect &rect = layout.rects[static_cast<TDiagramControl>(i)];
        if (widget->geometry() != rect)
            widget->setGeometry(rect);
        switch (layout.visibility[i]) {
        case TVisibility::Shown:
            if (widget->isHidden())
                widget->show();
            break;
        case TVisibility::Hidden:
            if (!widget->isHidden())
                widget->hide();
            break;
        case TVisibility::Unchanged:
            break;
        }
    }
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
    const double s = ScreenScale();

    // Lay out the controls over the diagram and fix the client size.
    const TDiagramWidgets widgets = DiagramWidgets(*this);
    TControlRects current;
    for (std::size_t i = 0; i < kDiagramControlCount; ++i) {
        if (widgets[i])
            current[static_cast<TDiagramControl>(i)] = widgets[i]->geometry();
    }
    const int typeA = cmb_RaAtype->currentIndex();
    const int typeB = cmb_RaBtype->currentIndex();
    const TDiagramLayout layout = LayoutDiagram(s, current, typeA, typeB);
    if (ClientArea->size() != layout.client)
        SetClientSize(layout.client.width(), layout.client.height());
    ApplyLayout(layout, widgets);

    // Qt lets a widget be painted only from its own paint event; called from anywhere else
    // the layout above is all that can be done now, and the picture follows at once.
    if (!ClientArea->IsPainting()) {
        ClientArea->update();
        return;
    }

    TDiagramState state;
    state.typeA = typeA;
    state.typeB = typeB;
    state.audioLvlA = fAudioLvlA;
    state.audioLvlB = fAudioLvlB;
    state.rxDetectedA = fRXdetectedA;
    state.rxDetectedB = fRXdetectedB;
    state.pttActiveA = fPTTActiveA;
    state.pttActiveB = fPTTActiveB;
    if (RadioKindOf(typeA) == TRadioKind::LevelSense)
        state.detLevelA = GetSettingValue(QStringLiteral("DetLevelA"));
    if (RadioKindOf(typeB) == TRadioKind::LevelSense)
        state.detLevelB = GetSettingValue(QStringLiteral("DetLevelB"));

    const TDiagramGeometry geometry(s, ClientArea->width());
    const QImage image = RenderDiagram(geometry, ClientArea->height(), state,
                                       ClientArea->palette().color(QPalette::Button),
                                       ClientArea->devicePixelRatioF());
    if (image.isNull())
        return;
    QPainter window(ClientArea);
    window.setCompositionMode(QPainter::CompositionMode_Source);
    window.drawImage(QPoint(0, 0), image);
}

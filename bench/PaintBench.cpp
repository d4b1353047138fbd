// SPDX-License-Identifier: MIT
// Painting the block diagram, the work every status report causes: both radios of the
// level-sense type (the busiest picture), both receiving and both keyed, at 96 dpi (s = 1.0)
// and at 144 dpi (s = 1.5).
//  - BM_PaintDiagram: one run of the diagram routine in the client area's paint event with
//    the kept picture forgotten first, that is the layout of the controls, the whole
//    off-screen picture and its copy, rendered into an image that stands in for the window's
//    backing store (the controls are left out): what a new size, scale or expose costs.
//  - BM_StatusReportRepaint: what one status report costs the shown window: the levels and
//    receive indicators change, the live indicators are redrawn where they changed and that
//    part of the window is repainted, with any control lying there.
//  - BM_WindowRepaint: a synchronous repaint of the window's client area as the receive path
//    asks for it: the same, plus the controls repainting themselves over the picture.
#include "BenchHome.h"
#include "support/RecordingSeam.h"
#include "support/WindowTimers.h"
#include "ui/ClientArea.h"
#include "ui/ComboBox.h"
#include "ui/TandorMain.h"
#include "ui/diagram/DiagramPainter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace {

void SetBusiestState(TMerrowMainForm &form)
{
    form.cmb_RaAtype->SetItemIndex(0);
    form.cmb_RaBtype->SetItemIndex(0);
    form.fAudioLvlA = 2500;
    form.fAudioLvlB = 700;
    form.fRXdetectedA = true;
    form.fRXdetectedB = true;
    form.fPTTActiveA = true;
    form.fPTTActiveB = true;
    form.SettingsData[form.FindSettingIndex(QStringLiteral("DetLevelA"))].value = 1023;
    form.SettingsData[form.FindSettingIndex(QStringLiteral("DetLevelB"))].value = 1023;
}

// Lets the window settle: the first paints change the client size and repaint once more.
bool Settle(TMerrowMainForm &form, QSize expected)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (form.ClientArea->size() == expected && form.ClientArea->isVisible())
            break;
    }
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    return form.ClientArea->size() == expected;
}

// A window in the busiest state at scale s, shown and settled; null if it does not settle.
std::unique_ptr<TMerrowMainForm> BusyWindow(double s)
{
    auto form = std::make_unique<TMerrowMainForm>(new TRecordingSeam);
    StopWindowTimers(*form);
    SetBusiestState(*form);
    form->SetScreenScale(s);
    form->show();
    const QSize client(form->btClose->x() + form->btClose->width() + ScaleLength(s, 20),
                       ScaleLength(s, 100) + ScaleLength(s, 560) + ScaleLength(s, 8) +
                           form->btClose->height() + 6);
    if (!Settle(*form, client))
        return nullptr;
    return form;
}

void BM_PaintDiagram(benchmark::State &state)
{
    const double s = state.range(0) / 100.0;
    const auto form = BusyWindow(s);
    if (!form) {
        state.SkipWithError("the client area did not reach its computed size");
        return;
    }
    QImage backingStore(form->ClientArea->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        form->ClientArea->Frame().Invalidate();
        form->ClientArea->render(&backingStore, QPoint(), QRegion(), QWidget::RenderFlags());
    }
    // Radio A's fill just inside its top-left corner.
    const QPoint seed(ScaleLength(s, 20) + 20, ScaleLength(s, 100) + 20);
    if (backingStore.pixelColor(seed) != DiagramColors::LightBlue)
        state.SkipWithError("the diagram was not painted");
    state.counters["s"] = s;
}

void BM_WindowRepaint(benchmark::State &state)
{
    const double s = state.range(0) / 100.0;
    const auto form = BusyWindow(s);
    if (!form) {
        state.SkipWithError("the client area did not reach its computed size");
        return;
    }
    for (auto _ : state)
        form->RepaintNow();
    state.counters["s"] = s;
}

void BM_StatusReportRepaint(benchmark::State &state)
{
    const double s = state.range(0) / 100.0;
    const auto form = BusyWindow(s);
    if (!form) {
        state.SkipWithError("the client area did not reach its computed size");
        return;
    }
    // Two reports in turn, as a talking radio gives them: every level and receive indicator
    // changes from one to the next.
    bool second = false;
    for (auto _ : state) {
        second = !second;
        form->fAudioLvlA = second ? 900 : 2500;
        form->fAudioLvlB = second ? 2200 : 700;
        form->fRXdetectedA = second;
        form->fRXdetectedB = !second;
        form->RepaintLiveIndicators();
    }
    state.counters["s"] = s;
}

BENCHMARK(BM_PaintDiagram)->Arg(100)->Arg(150)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WindowRepaint)->Arg(100)->Arg(150)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_StatusReportRepaint)->Arg(100)->Arg(150)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    const TBenchHome home;

    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// SPDX-License-Identifier: MIT
// The receive path: bytes as the serial port delivers them, framed into lines, split into
// fields and dispatched by id, once into a counting handler and once into the main window.
// The window is never shown, so painting is left out; what is measured is the work the
// program does per reply on top of painting.
#include "BenchHome.h"
#include "link/FieldSplitter.h"
#include "link/LineFramer.h"
#include "link/ReplyDispatch.h"
#include "link/WireNumber.h"
#include "ui/TandorMain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

// A receive event's size: a serial port at 115200 baud hands over a few dozen bytes at a time.
constexpr qsizetype kEventBytes = 64;

struct TStream
{
    QByteArray bytes;
    int64_t lines = 0;
};

// Mostly status reports, with parameter replies, PEI states and now and then a serial number
// and a version, as a connected interface sends them.
TStream MixedReplies()
{
    TStream s;
    for (int i = 0; i < 2000; ++i) {
        const int k = i % 20;
        if (k < 15)
            s.bytes += "2," + QByteArray::number(500 + i % 37) + ",0,1,0,0,1\r\n";
        else if (k < 18)
            s.bytes +=
                "3," + QByteArray::number(1 + i % 16) + "," + QByteArray::number(i % 5) + "\r\n";
        else if (k == 18)
            s.bytes += "15,1,2\r\n";
        else
            s.bytes += (i % 40 == 19) ? QByteArray("8,TND0042\r\n") : QByteArray("11,2,0\r\n");
        ++s.lines;
    }
    return s;
}

TStream StatusReports()
{
    TStream s;
    for (int i = 0; i < 2000; ++i) {
        s.bytes += "2," + QByteArray::number(i % 1024) + "," + QByteArray::number(1023 - i % 1024) +
                   ",1,0,0,1\r\n";
        ++s.lines;
    }
    return s;
}

const TStream &Mixed()
{
    static const TStream s = MixedReplies();
    return s;
}

const TStream &Status()
{
    static const TStream s = StatusReports();
    return s;
}

// The pure path: framing, splitting and classifying, with the status fields read as numbers
// the way the window reads them.
void PurePath(benchmark::State &state, const TStream &stream)
{
    TLineFramer framer;
    QByteArray buffer;
    TWireFields fields;
    std::array<int64_t, 6> counts{};
    int64_t unknown = 0;
    int64_t levels = 0;
    auto onLine = [&](const QByteArray &line) {
        const TReplyKind kind = ClassifyLine(line, fields);
        // A CR LF torn between two receive events hands an empty line; only those may be
        // ignored.
        if (kind == TReplyKind::None && !line.isEmpty())
            ++unknown;
        ++counts[size_t(kind)];
        if (kind == TReplyKind::Status)
            levels += ReadWireInt(fields[1], 0) + ReadWireInt(fields[2], 0);
    };
    for (auto _ : state) {
        for (qsizetype at = 0; at < stream.bytes.size(); at += kEventBytes) {
            const qsizetype n = std::min(kEventBytes, stream.bytes.size() - at);
            framer.Feed(buffer, stream.bytes.constData() + at, n, onLine);
        }
        benchmark::DoNotOptimize(levels);
    }
    benchmark::DoNotOptimize(counts);
    if (unknown != 0)
        state.SkipWithError("a reply of the stream was not recognised");
    state.SetItemsProcessed(state.iterations() * stream.lines);
}

void FormPath(benchmark::State &state, const TStream &stream)
{
    TMerrowMainForm form;
    for (QTimer *t :
         {form.tmComState, form.tmRefreshDetectSetting, form.tmSaveIndication, form.tmStartCheck})
        t->stop();
    for (auto _ : state) {
        for (qsizetype at = 0; at < stream.bytes.size(); at += kEventBytes) {
            const qsizetype n = std::min(kEventBytes, stream.bytes.size() - at);
            form.ReceiveBytes(QByteArrayView(stream.bytes.constData() + at, n));
        }
        benchmark::DoNotOptimize(form.fAudioLvlA);
    }
    if (form.fAudioLvlA == 0)
        state.SkipWithError("the status reports did not reach the window");
    state.SetItemsProcessed(state.iterations() * stream.lines);
}

void BM_PurePathMixed(benchmark::State &state)
{
    PurePath(state, Mixed());
}
void BM_PurePathStatus(benchmark::State &state)
{
    PurePath(state, Status());
}
void BM_FormPathMixed(benchmark::State &state)
{
    FormPath(state, Mixed());
}
void BM_FormPathStatus(benchmark::State &state)
{
    FormPath(state, Status());
}

BENCHMARK(BM_PurePathMixed);
BENCHMARK(BM_PurePathStatus);
BENCHMARK(BM_FormPathMixed);
BENCHMARK(BM_FormPathStatus);

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

// SPDX-License-Identifier: MIT
// The program live, against the interface simulator over a real pseudo-terminal, or starting
// from nothing. Each run prints one line of "name=value" figures for scripts/bench.sh.
//
//   bench_live flood SECONDS   tandor-sim sends status reports back to back at the full
//                              115200-baud line rate; the window is shown (painting included).
//                              Prints the program's CPU seconds per second of flood and the
//                              largest event-loop stall.
//   bench_live terminal SECONDS  the same flood read by a plain serial terminal: the port
//                              opened and every byte read and thrown away (the reference).
//   bench_live startup         starts a copy of this program that builds and shows the window
//                              as the program's entry does; prints the time from process start
//                              to the first painted frame, and the resident memory then.
//   bench_live soak SECONDS    20 status reports a second for SECONDS; prints the resident
//                              memory once connected and at the end.
// Every run lives in a private home folder with its own virtual ports folder.
#include "BenchHome.h"
#include "app/ApplicationIdentity.h"
#include "core/PortPaths.h"
#include "link/ComPort.h"
#include "support/RecordingSeam.h"
#include "ui/ClientArea.h"
#include "ui/DesignedFonts.h"
#include "ui/TandorAboutForm.h"
#include "ui/TandorMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <memory>
#include <sys/resource.h>

namespace {

int64_t MonotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// VmRSS of this process in kilobytes.
long ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

bool WaitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QTimer tick; // wakes the loop to look again when nothing else does
    tick.start(10);
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Runs the event loop for a while, sleeping whenever there is nothing to do, as the program's
// own loop does.
void RunLoopFor(double seconds)
{
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

int Fail(const char *what)
{
    std::fprintf(stderr, "bench_live: %s\n", what);
    return 1;
}

// tandor-sim as a child process on its own virtual port.
class TSim
{
public:
    TSim(const QString &port, const QStringList &options)
    {
        fProcess.setProgram(QStringLiteral(TANDOR_SIM_PATH));
        fProcess.setArguments(QStringList{QStringLiteral("--port"), port} + options);
        fProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        fProcess.start();
        const QString link = VirtualPortsFolder() + QLatin1Char('/') + port;
        fStarted =
            fProcess.waitForStarted(5000) && WaitFor([&] { return QFileInfo::exists(link); }, 5000);
    }
    ~TSim() { Stop(); }
    void Freeze(bool frozen) { ::kill(pid_t(fProcess.processId()), frozen ? SIGSTOP : SIGCONT); }
    void Stop()
    {
        if (fProcess.state() == QProcess::NotRunning)
            return;
        fProcess.terminate();
        if (!fProcess.waitForFinished(5000))
            fProcess.kill();
        fProcess.waitForFinished(2000);
    }
    bool Started() const { return fStarted; }

private:
    QProcess fProcess;
    bool fStarted = false;
};

// The window, shown, connected to the simulator on port and done reading the parameters.
std::unique_ptr<TMerrowMainForm> ConnectedWindow(TRecordingSeam *seam, const QString &port)
{
    auto form = std::make_unique<TMerrowMainForm>(seam);
    form->tmStartCheck->stop();
    form->fComPort = port;
    form->show();
    if (!WaitFor([&] { return form->fComState >= csReqPrm1 && form->fAudioLvlA > 0; }, 10000))
        return nullptr;
    return form;
}

// The largest delay of a 5 ms timer over the run: how long the event loop was kept from
// anything else.
struct TStallProbe
{
    TStallProbe()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const int64_t now = MonotonicNs();
            if (last != 0)
                worstMs = std::max(worstMs, double(now - last) / 1e6 - 5.0);
            last = now;
        });
        timer.start();
    }
    QTimer timer;
    int64_t last = 0;
    double worstMs = 0;
};

int Flood(double seconds)
{
    TSim sim(QStringLiteral("benchF"), {QStringLiteral("--flood")});
    if (!sim.Started())
        return Fail("tandor-sim did not start");
    auto *seam = new TRecordingSeam; // owned by the window
    const auto form = ConnectedWindow(seam, QStringLiteral("benchF"));
    if (!form)
        return Fail("the window did not connect to the simulator");

    // The levels change with every status report: a run in which they stood still got no flood.
    int changes = 0;
    int32_t lastLevel = form->fAudioLvlA;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (form->fAudioLvlA != lastLevel)
            ++changes;
        lastLevel = form->fAudioLvlA;
    });
    sampler.start(100);

    // Counts the paints, and keeps what the last one showed.
    struct TPaintCounter : QObject
    {
        explicit TPaintCounter(const TMerrowMainForm &form) : form(form) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint) {
                ++count;
                shownA = form.fAudioLvlA;
                shownB = form.fAudioLvlB;
            }
            return false;
        }
        const TMerrowMainForm &form;
        int count = 0;
        int32_t shownA = -1;
        int32_t shownB = -1;
    } paints(*form);
    form->ClientArea->installEventFilter(&paints);

    TStallProbe probe;
    const double cpu0 = CpuSeconds();
    const int64_t t0 = MonotonicNs();
    RunLoopFor(seconds);
    const double wall = double(MonotonicNs() - t0) / 1e9;
    const double cpu = CpuSeconds() - cpu0;
    if (!seam->messages.empty() || !form->ComPort1->Active())
        return Fail("the window reported an error or lost the port during the flood");
    if (changes < int(seconds))
        return Fail("the status reports did not reach the window");
    // Once the flood stops (the simulator frozen, the line quiet), the window shows the last
    // report it took in.
    sim.Freeze(true);
    RunLoopFor(0.2);
    const bool showsLast = paints.shownA == form->fAudioLvlA && paints.shownB == form->fAudioLvlB;
    sim.Freeze(false);
    if (!showsLast)
        return Fail("the window does not show the last status report");
    std::printf("flood_cpu_per_s=%.4f flood_stall_ms=%.1f flood_paints_per_s=%.1f\n", cpu / wall,
                probe.worstMs, paints.count / wall);
    return 0;
}

int Terminal(double seconds)
{
    TSim sim(QStringLiteral("benchT"), {QStringLiteral("--flood")});
    if (!sim.Started())
        return Fail("tandor-sim did not start");
    QSerialPort port;
    port.setPortName(PortDevicePath(QStringLiteral("benchT")));
    if (!port.open(QIODevice::ReadWrite))
        return Fail("the port did not open");
    port.setBaudRate(115200);
    int64_t bytes = 0;
    QObject::connect(&port, &QSerialPort::readyRead, [&] { bytes += port.readAll().size(); });
    WaitFor([&] { return bytes > 0; }, 5000);
    bytes = 0;
    const double cpu0 = CpuSeconds();
    const int64_t t0 = MonotonicNs();
    RunLoopFor(seconds);
    const double wall = double(MonotonicNs() - t0) / 1e9;
    std::printf("terminal_cpu_per_s=%.4f terminal_bytes_per_s=%.0f\n", (CpuSeconds() - cpu0) / wall,
                double(bytes) / wall);
    return 0;
}

int Soak(double seconds)
{
    const QString port = QStringLiteral("benchS%1").arg(QCoreApplication::applicationPid());
    TSim sim(port, {QStringLiteral("--interval"), QStringLiteral("50")});
    if (!sim.Started())
        return Fail("tandor-sim did not start");
    auto *seam = new TRecordingSeam;
    const auto form = ConnectedWindow(seam, port);
    if (!form)
        return Fail("the window did not connect to the simulator");
    RunLoopFor(1);
    const long before = ResidentKb();
    RunLoopFor(seconds);
    const long after = ResidentKb();
    if (!seam->messages.empty() || form->fComState < csReqPrm1)
        return Fail("the window reported an error or lost the interface during the soak");
    std::printf("soak_rss_start_kb=%ld soak_rss_end_kb=%ld soak_growth_kb=%ld\n", before, after,
                after - before);
    return 0;
}

// The child of `startup`: what the program's entry does, up to the first painted frame.
int StartupChild(int argc, char **argv)
{
    const int64_t spawned = qEnvironmentVariable("TANDOR_BENCH_SPAWNED_NS").toLongLong();
    int appArgc = argc > 0 ? 1 : 0;
    QApplication app(appArgc, argv);
    SetApplicationIdentity();
    UseDesignedFonts();

    TMerrowMainForm mainForm;
    auto *aboutBox = new TAboutBox(&mainForm);
    mainForm.SetAboutBox(aboutBox);

    // The first paint of the diagram, once it is done: the next pass of the loop.
    struct TFirstPaint : QObject
    {
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && painted == 0)
                QTimer::singleShot(0, this, [this] { painted = MonotonicNs(); });
            return false;
        }
        int64_t painted = 0;
    } firstPaint;
    mainForm.ClientArea->installEventFilter(&firstPaint);
    mainForm.show();
    while (firstPaint.painted == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const long rss = ResidentKb();
    std::printf("startup_ms=%.1f startup_rss_kb=%ld\n", double(firstPaint.painted - spawned) / 1e6,
                rss);
    std::fflush(stdout);
    // Straight out: the run is over, and the window's shut-down is not what is measured.
    std::_Exit(0);
}

int Startup(const char *self)
{
    QProcess child;
    child.setProgram(QString::fromLocal8Bit(self));
    child.setArguments({QStringLiteral("startup-child")});
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Taken as late as possible before the fork, so that the figure includes loading the
    // libraries, Qt's start-up and the window's creation.
    env.insert(QStringLiteral("TANDOR_BENCH_SPAWNED_NS"), QString::number(MonotonicNs()));
    child.setProcessEnvironment(env);
    child.start();
    if (!child.waitForFinished(30000) || child.exitCode() != 0)
        return Fail("the start-up child failed");
    std::fputs(child.readAllStandardOutput().constData(), stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    // The child inherits its parent's private home.
    if (mode == "startup-child")
        return StartupChild(argc, argv);

    const TBenchHome home;
    if (mode == "startup") {
        QCoreApplication app(argc, argv);
        return Startup(argv[0]);
    }

    const double seconds = argc > 2 ? std::atof(argv[2]) : 5.0;
    QApplication app(argc, argv);
    if (mode == "flood")
        return Flood(seconds);
    if (mode == "terminal")
        return Terminal(seconds);
    if (mode == "soak")
        return Soak(seconds);
    std::fprintf(stderr, "usage: bench_live flood|terminal|startup|soak [SECONDS]\n");
    return 2;
}

// SPDX-License-Identifier: MIT
// The program live, against the interface simulator over a real pseudo-terminal, or starting
// from nothing. Each run prints one line of "name=value" figures for scripts/bench.sh.
//
//   bench_live flood SECONDS   tandor-sim sends status reports back to back at the full
//                              115200-baud line rate; the window is shown (painting included).
//                              Prints the program's CPU seconds per second of flood, then
//                              the largest event-loop stall over another SECONDS / 2 (at
//                              least 2 s) of it.
//   bench_live terminal SECONDS  the same flood read by a plain serial terminal: the port
//                              opened and every byte read and thrown away (the reference).
//   bench_live cutecom SECONDS the same flood shown by the CuteCom serial terminal, which
//                              appends the lines as text; needs an X display (xvfb-run) and
//                              xdotool, which presses CuteCom's Open button by its shortcut.
//                              Prints CuteCom's CPU seconds per second of flood.
//   bench_live normal SECONDS  the window connected to tandor-sim at its normal 10 status
//                              reports a second; prints the program's CPU seconds per second.
//   bench_live startup         starts a copy of this program that builds and shows the window
//                              as the program's entry does; prints the time from process start
//                              to the first painted frame, and the resident memory then.
//   bench_live soak SECONDS    20 status reports a second for SECONDS; prints the resident
//                              memory once connected and at the end.
//   bench_live load BYTES      a settings file of BYTES bytes that is one large kept array of
//                              numbers (the costliest shape to read) loaded into the shown
//                              window; prints the peak resident memory of the load, its time,
//                              how soon the window answers after it, and whether it was refused.
// Every run lives in a private home folder with its own virtual ports folder.
#include "BenchHome.h"
#include "app/ApplicationIdentity.h"
#include "core/PortPaths.h"
#include "link/ComPort.h"
#include "support/RecordingSeam.h"
#include "support/WindowTimers.h"
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
#include <QScopeGuard>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTimer>

#include <QTextStream>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

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

// A figure of /proc/self/status in kilobytes (VmRSS, VmHWM).
long StatusKb(const QByteArray &key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// VmRSS of this process in kilobytes.
long ResidentKb()
{
    return StatusKb("VmRSS");
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

// Counts, every intervalMs, whether radio A's level changed since the last look: the status
// reports reached the window.
class TLevelChanges
{
public:
    TLevelChanges(const TMerrowMainForm &form, int intervalMs) : fLast(form.fAudioLvlA)
    {
        QObject::connect(&fSampler, &QTimer::timeout, [this, &form] {
            if (form.fAudioLvlA != fLast)
                ++fCount;
            fLast = form.fAudioLvlA;
        });
        fSampler.start(intervalMs);
    }
    int Count() const { return fCount; }

private:
    QTimer fSampler;
    int fCount = 0;
    int32_t fLast;
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
    const TLevelChanges changes(*form, 100);

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

    // The connection state machine's ticks, which poll the interface's parameters: the flood
    // must not slow them down.
    int pollTicks = 0;
    QObject::connect(form->tmComState, &QTimer::timeout, [&pollTicks] { ++pollTicks; });

    const double cpu0 = CpuSeconds();
    const int64_t t0 = MonotonicNs();
    RunLoopFor(seconds);
    const double wall = double(MonotonicNs() - t0) / 1e9;
    const double cpu = CpuSeconds() - cpu0;
    const double pollPace = pollTicks / wall * form->tmComState->interval() / 1000.0;
    const int paintCount = paints.count;
    const int changesSeen = changes.Count();
    // The stall probe wakes the event loop 200 times a second, a cost of its own that the CPU
    // figure must not carry (the serial terminal and the reader it is compared with run
    // without one): the stalls are looked for after it, the flood going on.
    double worstStallMs = 0;
    {
        TStallProbe probe;
        RunLoopFor(std::max(2.0, seconds / 2));
        worstStallMs = probe.worstMs;
    }
    if (!seam->messages.empty() || !form->ComPort1->Active())
        return Fail("the window reported an error or lost the port during the flood");
    if (changesSeen < int(seconds))
        return Fail("the status reports did not reach the window");
    // Once the flood stops (the simulator frozen, the line quiet), the window shows the last
    // report it took in.
    sim.Freeze(true);
    RunLoopFor(0.2);
    const bool showsLast = paints.shownA == form->fAudioLvlA && paints.shownB == form->fAudioLvlB;
    sim.Freeze(false);
    if (!showsLast)
        return Fail("the window does not show the last status report");
    std::printf("flood_cpu_per_s=%.4f flood_stall_ms=%.1f flood_paints_per_s=%.1f "
                "flood_poll_pace=%.3f\n",
                cpu / wall, worstStallMs, paintCount / wall, pollPace);
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

// The line rate of 115200 baud with 8 data bits, no parity and one stop bit.
constexpr double kLineBytesPerSecond = 115200.0 / 10.0;

// User plus system CPU seconds of another process, -1 when it is gone.
double ProcessCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The command name in brackets may hold spaces: the fields are counted after its end.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    // utime and stime are the 14th and 15th fields of the whole line.
    const double ticks = fields[11].toDouble() + fields[12].toDouble();
    return ticks / double(sysconf(_SC_CLK_TCK));
}

// Bytes another process has read, from any file.
qint64 ProcessReadBytes(qint64 pid)
{
    QFile io(QStringLiteral("/proc/%1/io").arg(pid));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}

// True when the process has device open.
bool ProcessHasOpen(qint64 pid, const QString &device)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot)) {
        if (fd.symLinkTarget() == device)
            return true;
    }
    return false;
}

// Runs a helper to its end; its standard output, or a null array when it failed.
QByteArray RunHelper(const QString &program, const QStringList &arguments, int timeoutMs)
{
    QProcess helper;
    helper.start(program, arguments);
    if (!helper.waitForFinished(timeoutMs) || helper.exitStatus() != QProcess::NormalExit ||
        helper.exitCode() != 0) {
        helper.kill();
        helper.waitForFinished(1000);
        return QByteArray();
    }
    const QByteArray out = helper.readAllStandardOutput();
    return out.isNull() ? QByteArray("") : out;
}

int CuteCom(double seconds)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return Fail("CuteCom needs an X display (run under xvfb-run)");
    const QString port = QStringLiteral("benchC");
    TSim sim(port, {QStringLiteral("--flood")});
    if (!sim.Started())
        return Fail("tandor-sim did not start");
    const QString device = QFileInfo(PortDevicePath(port)).canonicalFilePath();
    if (device.isEmpty())
        return Fail("the simulator's port has no device");

    // CuteCom opens the device of its current session, read-only here, as a terminal that
    // only shows what comes in; its settings live in the private home.
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/CuteCom");
    QDir().mkpath(folder);
    QFile config(folder + QStringLiteral("/CuteCom5.conf"));
    if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Fail("CuteCom's settings could not be written");
    QTextStream(&config) << "[CuteCom]\nsession=Default\n\n[sessions]\n1\\name=Default\n"
                         << "1\\Device=" << device << "\n1\\BaudRate=115200\n"
                         << "1\\OpenMode=1\nsize=1\n";
    config.close();

    QProcess cutecom;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    cutecom.setProcessEnvironment(env);
    cutecom.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    cutecom.setStandardOutputFile(QProcess::nullDevice());
    cutecom.start(QStringLiteral("cutecom"), QStringList());
    if (!cutecom.waitForStarted(5000))
        return Fail("CuteCom did not start");
    const auto stop = qScopeGuard([&cutecom] {
        cutecom.terminate();
        if (!cutecom.waitForFinished(5000))
            cutecom.kill();
        cutecom.waitForFinished(2000);
    });
    const QString xdotool = QStringLiteral("xdotool");
    const QByteArray window =
        RunHelper(xdotool, {"search", "--sync", "--onlyvisible", "--name", "CuteCom"}, 15000)
            .split('\n')
            .value(0)
            .trimmed();
    if (window.isEmpty())
        return Fail("CuteCom's window did not appear");
    RunHelper(xdotool, {"windowfocus", "--sync", QString::fromLatin1(window)}, 5000);
    // Alt+O is the Open button's shortcut.
    RunHelper(xdotool, {"key", "alt+o"}, 5000);
    if (!WaitFor([&] { return ProcessHasOpen(cutecom.processId(), device); }, 10000))
        return Fail("CuteCom did not open the port");
    RunLoopFor(1);

    const qint64 pid = cutecom.processId();
    const double cpu0 = ProcessCpuSeconds(pid);
    const qint64 read0 = ProcessReadBytes(pid);
    const int64_t t0 = MonotonicNs();
    RunLoopFor(seconds);
    const double wall = double(MonotonicNs() - t0) / 1e9;
    const double cpu = ProcessCpuSeconds(pid) - cpu0;
    const double readPerSecond = double(ProcessReadBytes(pid) - read0) / wall;
    if (cpu0 < 0 || cpu < 0 || cutecom.state() != QProcess::Running)
        return Fail("CuteCom ended during the flood");
    // A terminal that fell behind the line would have less to do: it must keep up.
    if (readPerSecond < 0.8 * kLineBytesPerSecond)
        return Fail("CuteCom did not read the flood at the line rate");
    std::printf("cutecom_cpu_per_s=%.4f cutecom_bytes_per_s=%.0f\n", cpu / wall, readPerSecond);
    return 0;
}

int Normal(double seconds)
{
    TSim sim(QStringLiteral("benchN"), {});
    if (!sim.Started())
        return Fail("tandor-sim did not start");
    auto *seam = new TRecordingSeam; // owned by the window
    const auto form = ConnectedWindow(seam, QStringLiteral("benchN"));
    if (!form)
        return Fail("the window did not connect to the simulator");
    // Once a second: the sampler's own wake-ups count in the figure.
    const TLevelChanges changes(*form, 1000);
    // The parameters are read once after connecting; what is measured is the steady state.
    RunLoopFor(1);
    const double cpu0 = CpuSeconds();
    const int64_t t0 = MonotonicNs();
    RunLoopFor(seconds);
    const double wall = double(MonotonicNs() - t0) / 1e9;
    const double cpu = CpuSeconds() - cpu0;
    if (!seam->messages.empty() || !form->ComPort1->Active())
        return Fail("the window reported an error or lost the port");
    if (changes.Count() < int(seconds) / 2)
        return Fail("the status reports did not reach the window");
    std::printf("normal_cpu_per_s=%.5f\n", cpu / wall);
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

// Loads a settings file of `bytes` bytes: two parameters around one kept array of zeros.
int Load(qint64 bytes)
{
    const QString path = QDir::homePath() + QStringLiteral("/large.tconf");
    {
        const QByteArray head =
            R"({"FirmwareMajor": 2, "FirmwareMinor": 0, "GainA": 4, "Kept": [0)";
        const QByteArray tail = R"(], "GainB": 3})";
        QByteArray text;
        text.reserve(bytes);
        text += head;
        const qint64 items = std::max<qint64>(0, (bytes - head.size() - tail.size()) / 2);
        for (qint64 i = 0; i < items; ++i)
            text += ",0";
        text += tail;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return Fail("the settings file could not be written");
    }
    auto *seam = new TRecordingSeam;
    TMerrowMainForm form(seam);
    StopWindowTimers(form);
    form.show();
    RunLoopFor(0.2);

    // The peak is counted from here: writing 5 to clear_refs resets VmHWM to VmRSS.
    {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
            return Fail("the peak resident memory could not be reset");
    }
    const int64_t start = MonotonicNs();
    form.LoadSettingsFile(path);
    const int64_t loaded = MonotonicNs();
    // The window answers when its loop takes the next event and has painted it.
    int64_t answered = 0;
    QTimer::singleShot(0, &form, [&] {
        form.repaint();
        answered = MonotonicNs();
    });
    if (!WaitFor([&] { return answered != 0; }, 60000))
        return Fail("the window did not answer after the load");
    const long peak = StatusKb("VmHWM");
    const bool refused = !seam->messages.empty();
    if (refused && !seam->messages.back().text.startsWith(QStringLiteral("Cannot open file")))
        return Fail("the load failed with an unexpected message");
    if (!refused &&
        (form.SettingsData[form.FindSettingIndex(QStringLiteral("GainA"))].value != 4 ||
         form.SettingsData[form.FindSettingIndex(QStringLiteral("GainB"))].value != 3)) {
        std::fprintf(stderr, "bench_live: read %d and %d\n",
                     form.SettingsData[form.FindSettingIndex(QStringLiteral("GainA"))].value,
                     form.SettingsData[form.FindSettingIndex(QStringLiteral("GainB"))].value);
        return Fail("the file's values were not loaded");
    }
    std::printf("load_ms=%.1f load_answer_ms=%.1f load_peak_rss_kb=%ld load_refused=%d\n",
                double(loaded - start) / 1e6, double(answered - loaded) / 1e6, peak,
                refused ? 1 : 0);
    std::fflush(stdout);
    std::_Exit(0);
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
    if (mode == "cutecom")
        return CuteCom(seconds);
    if (mode == "normal")
        return Normal(seconds);
    if (mode == "load")
        return Load(argc > 2 ? QByteArray(argv[2]).toLongLong() : 0);
    std::fprintf(stderr, "usage: bench_live flood|terminal|cutecom|normal|startup|soak [SECONDS]"
                         " | load BYTES\n");
    return 2;
}

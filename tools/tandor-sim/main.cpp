// SPDX-License-Identifier: MIT
// tandor-sim: plays the Tandor interface at the far end of a pseudo-terminal published as a
// virtual serial port, so that tandor-config can be run, shown and tested without hardware.
//
//   tandor-sim [--port sim0] [--firmware 2.0] [--serial TEXT] [--interval MS] [--state FILE]
//              [--silent] [--silent-after SEC] [--ignore-serial] [--exit-after SEC]
//              [--flood] [--seed N] [--verbose]
//
// It exits on SIGINT, SIGTERM or SIGHUP and removes its virtual port.
#include "SimInterface.h"
#include "SimPort.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int gSignalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &byte, 1);
}

// Quits the message loop on SIGINT, SIGTERM and SIGHUP, from the loop itself: only the write
// to a socket happens in the signal handler.
bool InstallSignalHandlers(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(gSignalPipe[0], &byte, 1);
        app.quit();
    });
    struct sigaction action
    {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(sig, &action, nullptr);
    return true;
}

bool ParseSeconds(const QString &text, double &seconds)
{
    bool ok = false;
    seconds = text.toDouble(&ok);
    return ok && seconds >= 0;
}

int Fail(const QString &message)
{
    std::fprintf(stderr, "tandor-sim: %s\n", qPrintable(message));
    return 2;
}

// 115200 baud, 8N1: ten bits on the line for every byte.
constexpr int kLineBytesPerSecond = 115200 / 10;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tandor-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Plays the Tandor interface on a virtual serial port."));
    parser.addHelpOption();
    const QCommandLineOption portOpt(QStringLiteral("port"),
                                     QStringLiteral("Name of the virtual port (default sim0)."),
                                     QStringLiteral("NAME"), QStringLiteral("sim0"));
    const QCommandLineOption firmwareOpt(QStringLiteral("firmware"),
                                         QStringLiteral("Firmware version (default 2.0)."),
                                         QStringLiteral("MAJOR.MINOR"), QStringLiteral("2.0"));
    const QCommandLineOption serialOpt(QStringLiteral("serial"),
                                       QStringLiteral("Serial number text."),
                                       QStringLiteral("TEXT"), QStringLiteral("TS 000123"));
    const QCommandLineOption intervalOpt(QStringLiteral("interval"),
                                         QStringLiteral("Status report interval (default 100 ms)."),
                                         QStringLiteral("MS"), QStringLiteral("100"));
    const QCommandLineOption stateOpt(
        QStringLiteral("state"),
        QStringLiteral("File that keeps the stored parameter set between runs."),
        QStringLiteral("FILE"));
    const QCommandLineOption silentOpt(QStringLiteral("silent"),
                                       QStringLiteral("Never answer anything."));
    const QCommandLineOption silentAfterOpt(QStringLiteral("silent-after"),
                                            QStringLiteral("Fall silent after SEC seconds."),
                                            QStringLiteral("SEC"));
    const QCommandLineOption ignoreSerialOpt(
        QStringLiteral("ignore-serial"), QStringLiteral("Never answer the serial-number request."));
    const QCommandLineOption exitAfterOpt(QStringLiteral("exit-after"),
                                          QStringLiteral("Exit after SEC seconds."),
                                          QStringLiteral("SEC"));
    const QCommandLineOption floodOpt(
        QStringLiteral("flood"),
        QStringLiteral("Send status reports back to back at the line rate while a program has "
                       "the port open, switched on or not (benchmarks)."));
    const QCommandLineOption seedOpt(QStringLiteral("seed"),
                                     QStringLiteral("Seed of the simulated radio traffic."),
                                     QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption verboseOpt(QStringLiteral("verbose"),
                                        QStringLiteral("Print every command received."));
    parser.addOptions({portOpt, firmwareOpt, serialOpt, intervalOpt, stateOpt, silentOpt,
                       silentAfterOpt, ignoreSerialOpt, exitAfterOpt, floodOpt, seedOpt,
                       verboseOpt});
    parser.process(app);

    TSimConfig config;
    const QStringList version = parser.value(firmwareOpt).split(QLatin1Char('.'));
    bool majorOk = false;
    bool minorOk = false;
    if (version.size() == 2) {
        config.firmwareMajor = version.at(0).toInt(&majorOk);
        config.firmwareMinor = version.at(1).toInt(&minorOk);
    }
    if (!majorOk || !minorOk)
        return Fail(QStringLiteral("--firmware wants MAJOR.MINOR, such as 2.0"));
    config.serial = parser.value(serialOpt);
    config.ignoreSerial = parser.isSet(ignoreSerialOpt);
    config.stateFile = parser.value(stateOpt);
    bool seedOk = false;
    config.seed = parser.value(seedOpt).toUInt(&seedOk);
    if (!seedOk)
        return Fail(QStringLiteral("--seed wants a number"));
    bool intervalOk = false;
    const int interval = parser.value(intervalOpt).toInt(&intervalOk);
    if (!intervalOk || interval < 1)
        return Fail(QStringLiteral("--interval wants a number of milliseconds"));
    double silentAfter = -1;
    if (parser.isSet(silentAfterOpt) && !ParseSeconds(parser.value(silentAfterOpt), silentAfter))
        return Fail(QStringLiteral("--silent-after wants a number of seconds"));
    double exitAfter = -1;
    if (parser.isSet(exitAfterOpt) && !ParseSeconds(parser.value(exitAfterOpt), exitAfter))
        return Fail(QStringLiteral("--exit-after wants a number of seconds"));
    const bool verbose = parser.isSet(verboseOpt);
    const bool flood = parser.isSet(floodOpt);

    TSimInterface unit(config);
    QString error;
    if (!unit.LoadState(&error))
        std::fprintf(stderr, "tandor-sim: %s; starting from the factory set\n", qPrintable(error));
    unit.SetSilent(parser.isSet(silentOpt));
    if (verbose) {
        unit.OnCommand = [](const QByteArray &line) {
            std::printf("%s\n", line.constData());
            std::fflush(stdout);
        };
    }

    if (!InstallSignalHandlers(app))
        return Fail(QStringLiteral("cannot install signal handlers"));

    TSimPort port;
    if (!port.Create(parser.value(portOpt), &error))
        return Fail(error);
    port.OnReceived = [&](const QByteArray &bytes) {
        port.Send(unit.Receive(bytes));
    };
    std::fprintf(stderr, "tandor-sim: interface on %s (%s)\n", qPrintable(port.LinkPath()),
                 qPrintable(port.SlavePath()));

    QElapsedTimer clock;
    clock.start();
    QTimer reports;
    // The flood's pacing: when it last sent, and how many bytes the line could carry since.
    // They live as long as the timer whose handler keeps them.
    qint64 last = 0;
    double budget = 0;
    if (flood) {
        // As many reports as 115200 baud carries, paced by the bytes they take.
        reports.setInterval(5);
        QObject::connect(&reports, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            budget = std::min(budget + double(now - last) * kLineBytesPerSecond / 1000.0,
                              double(kLineBytesPerSecond) / 10);
            last = now;
            if (!port.PeerConnected() || unit.Silent() ||
                port.PendingOutput() > TSimPort::kMaxPendingOutput / 2)
                return;
            QByteArray burst;
            while (budget > 0) {
                unit.Tick(2);
                const QByteArray line = unit.StatusReport();
                burst += line;
                budget -= double(line.size());
            }
            port.Send(burst);
        });
    } else {
        reports.setInterval(interval);
        QObject::connect(&reports, &QTimer::timeout, [&] { port.Send(unit.Tick(interval)); });
    }
    reports.start();

    if (silentAfter >= 0)
        QTimer::singleShot(int(silentAfter * 1000), &app, [&] { unit.SetSilent(true); });
    if (exitAfter >= 0)
        QTimer::singleShot(int(exitAfter * 1000), &app, &QCoreApplication::quit);

    const int result = app.exec();
    port.Remove();
    return result;
}

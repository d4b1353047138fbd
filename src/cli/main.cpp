// SPDX-License-Identifier: MIT
// tandor-cli: reads, writes, verifies, stores and reverts the parameter set of a Tandor
// interface unit from the command line, for technicians who set up many units and for
// scripts. It talks to the unit with the window's wire protocol, serial port, connection steps
// and port names, and reads and writes the window's settings files.
//
// Data (a settings file, the port list, the differences) goes to standard output, messages to
// standard error. Exit codes: see TCliExit.
#include "cli/CliArgs.h"
#include "cli/CliFailure.h"
#include "cli/PortAccess.h"
#include "cli/SetChecks.h"
#include "cli/UnitSession.h"
#include "core/Errors.h"
#include "link/ComPort.h"
#include "link/Commands.h"
#include "ports/PortEnumerator.h"
#include "storage/JsonWriter.h"
#include "storage/SettingsFileMngr.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int gWakePipe[2] = {-1, -1};

void OnSignal(int sig)
{
    gCliSignal = sig;
    // Wakes the message loop, which may be waiting for the unit.
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(gWakePipe[1], &byte, 1);
}

// SIGINT, SIGTERM and SIGHUP end the command from the message loop, so that the port is
// closed (and its lock released) before the program ends by the signal as usual.
void InstallSignalHandlers(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gWakePipe) == 0) {
        auto *notifier = new QSocketNotifier(gWakePipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
            char byte;
            [[maybe_unused]] const ssize_t n = ::read(gWakePipe[0], &byte, 1);
        });
    }
    struct sigaction action
    {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(sig, &action, nullptr);
}

void PrintError(const QString &message)
{
    if (message.isEmpty())
        return;
    std::fprintf(stderr, "tandor-cli: %s\n", message.toLocal8Bit().constData());
}

void PrintOut(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    // Data and the messages that sum it up reach a terminal in the order they were written.
    std::fflush(stdout);
}

// Reads a settings file as the window's load does. Whatever the reader has to say about the
// file (the window's message texts) refuses it, as does a file that lacks a parameter: nothing
// may reach a unit from a file that was not read whole.
TParamValues LoadSettings(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        // The reader would create a missing file; here it is a mistyped name.
        throw TCliFailure(kExitUsage, QStringLiteral("Cannot open file \"%1\". The file does "
                                                     "not exist")
                                          .arg(path));
    TSettingsFileMngr manager;
    QStringList messages;
    manager.ShowMessage = [&](const QString &text) {
        messages << text;
    };
    // The manager reads the parameters by the names of the table it took last, as the
    // window's does after its start-up.
    TSettingsData names;
    InitSettingsTable(names, nullptr);
    manager.UpdateSettings(names, 0, 0);
    try {
        manager.ReadSettingsfromFile(path);
    } catch (const TError &e) {
        messages << e.Message();
    }
    if (!messages.isEmpty())
        throw TCliFailure(kExitUsage, messages.join(QLatin1Char('\n')));
    const std::vector<TValueRefusal> missing = MissingParameters(manager.Document());
    if (!missing.empty()) {
        QStringList lines;
        for (const TValueRefusal &m : missing)
            lines << RefusalLine(m);
        throw TCliFailure(kExitUsage, QStringLiteral("%1: not a complete parameter set, nothing "
                                                     "sent:\n  %2")
                                          .arg(path, lines.join(QStringLiteral("\n  "))));
    }
    TParamValues values{};
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i)
        values[size_t(i - 1)] = manager.GetSetting(i).value;
    return values;
}

int RunPorts()
{
    QStringList entries = EnumerateSerialPorts();
    // The window's list keeps its entries in character order.
    std::sort(entries.begin(), entries.end(),
              [](const QString &a, const QString &b) { return a < b; });
    for (const QString &entry : entries)
        PrintOut(entry + QLatin1Char('\n'));
    return kExitOk;
}

int RunWithUnit(const TCliArgs &args)
{
    // Everything the command needs from files is read and checked before the port is opened.
    TParamValues fileValues{};
    if (args.command == TCliCommand::Write || args.command == TCliCommand::Verify)
        fileValues = LoadSettings(args.file);

    const TPortTarget target = ResolvePortArgument(args.port);
    TComPort port;
    OpenPort(port, target);
    TUnitSession session(port, target.label, int(std::lround(args.timeoutSeconds * 1000)));
    session.Connect();
    const QString version = QStringLiteral("%1.%2").arg(session.Major()).arg(session.Minor());

    switch (args.command) {
    case TCliCommand::Read: {
        const TParamValues unit = session.ReadParameters();
        port.Close();
        TSettingsData table;
        FillTable(table, unit);
        TSettingsFileMngr manager;
        manager.UpdateSettings(table, session.Major(), session.Minor());
        if (args.file.isEmpty()) {
            const QByteArray bytes = WriteSettingsJson(manager.Document());
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
            std::fflush(stdout);
        } else {
            QStringList messages;
            manager.ShowMessage = [&](const QString &text) {
                messages << text;
            };
            manager.SaveSettingsToFile(args.file);
            if (!messages.isEmpty())
                throw TCliFailure(kExitUsage, messages.join(QLatin1Char('\n')));
            PrintError(QStringLiteral("read the set of the unit on %1 (firmware %2) into %3")
                           .arg(target.label, version, args.file));
        }
        return kExitOk;
    }
    case TCliCommand::Verify: {
        const TParamValues unit = session.ReadParameters();
        port.Close();
        const std::vector<TSetDifference> differences = CompareSets(fileValues, unit);
        for (const TSetDifference &d : differences)
            PrintOut(DifferenceLine(d) + QLatin1Char('\n'));
        if (!differences.empty()) {
            PrintError(QStringLiteral("%1 of 16 values differ between %2 and the unit on %3")
                           .arg(differences.size())
                           .arg(args.file, target.label));
            return kExitDifferences;
        }
        PrintError(QStringLiteral("all 16 values of %1 match the unit on %2")
                       .arg(args.file, target.label));
        return kExitOk;
    }
    case TCliCommand::Write: {
        const std::vector<TValueRefusal> refused =
            CheckValuesForFirmware(fileValues, session.Major(), session.Minor());
        if (!refused.empty()) {
            QStringList lines;
            for (const TValueRefusal &r : refused)
                lines << RefusalLine(r);
            throw TCliFailure(
                kExitUsage,
                QStringLiteral("%1: refused for the unit on %2 (firmware %3), "
                               "nothing sent:\n  %4")
                    .arg(args.file, target.label, version, lines.join(QStringLiteral("\n  "))));
        }
        session.WriteParameters(fileValues);
        const TParamValues unit = session.ReadParameters();
        const std::vector<TSetDifference> differences = CompareSets(fileValues, unit);
        if (!differences.empty()) {
            QStringList lines;
            for (const TSetDifference &d : differences)
                lines << DifferenceLine(d);
            throw TCliFailure(kExitDifferences,
                              QStringLiteral("the unit on %1 did not take %2 of the values%3:\n  "
                                             "%4")
                                  .arg(target.label)
                                  .arg(differences.size())
                                  .arg(args.store ? QStringLiteral(", nothing stored") : QString())
                                  .arg(lines.join(QStringLiteral("\n  "))));
        }
        if (args.store) {
            session.Send(Commands::StoreChanges());
            session.Drain();
        }
        PrintError(QStringLiteral("wrote %1 to the unit on %2 (firmware %3)%4")
                       .arg(args.file, target.label, version,
                            args.store ? QStringLiteral(" and stored it") : QString()));
        return kExitOk;
    }
    case TCliCommand::Store:
        session.Send(Commands::StoreChanges());
        session.Drain();
        PrintError(QStringLiteral("the unit on %1 keeps its present values").arg(target.label));
        return kExitOk;
    case TCliCommand::Revert:
        session.Send(Commands::RevertChanges());
        session.Drain();
        PrintError(
            QStringLiteral("the unit on %1 went back to its stored values").arg(target.label));
        return kExitOk;
    case TCliCommand::None:
    case TCliCommand::Ports:
        break;
    }
    return kExitUsage;
}

// Ends the program by the signal that asked for it, as it would have without a handler.
[[noreturn]] void EndBySignal(int sig)
{
    std::fflush(stdout);
    ::signal(sig, SIG_DFL);
    ::raise(sig);
    std::_Exit(128 + sig);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tandor-cli"));
    InstallSignalHandlers(app);

    const TCliParse parsed = ParseCliArgs(app.arguments().mid(1));
    if (!parsed.error.isEmpty()) {
        PrintError(parsed.error);
        std::fprintf(stderr, "Try 'tandor-cli --help'.\n");
        return kExitUsage;
    }
    const TCliArgs &args = parsed.args;
    if (args.help) {
        PrintOut(CliHelpText(args.command));
        return kExitOk;
    }

    int result = kExitUsage;
    try {
        result = args.command == TCliCommand::Ports ? RunPorts() : RunWithUnit(args);
    } catch (const TCliFailure &failure) {
        PrintError(failure.Message());
        result = failure.ExitCode();
    } catch (const TError &e) {
        PrintError(e.Message());
        result = kExitUsage;
    }
    // The port object is gone by now: closed, its lock released.
    if (gCliSignal != 0)
        EndBySignal(int(gCliSignal));
    std::fflush(stdout);
    return result;
}

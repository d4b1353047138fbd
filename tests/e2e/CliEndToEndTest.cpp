// SPDX-License-Identifier: MIT
// tandor-cli against tandor-sim over a real pseudo-terminal: read then verify, a change in the
// unit, write with and without --store (the lines on the wire, the stored set across a
// restart), a firmware 1.0 unit, refused files, a missing, a held and a silent port, and a
// termination signal in the middle of a wait.
#include "SimProcess.h"
#include "cli/SetChecks.h"
#include "core/PortPaths.h"
#include "link/ComPort.h"
#include "storage/SettingsFileMngr.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTest>

#include <csignal>

namespace {

QString CliPath()
{
    const QString fromEnv = qEnvironmentVariable("TANDOR_CLI");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../../src/cli/tandor-cli");
}

struct TCliRun
{
    int exitCode = -1;
    bool crashed = false; // ended by a signal
    QByteArray out;
    QString err;
    qint64 ms = 0;
};

TCliRun RunCli(const QStringList &arguments, int timeoutMs = 20000)
{
    QProcess cli;
    cli.setProgram(CliPath());
    cli.setArguments(arguments);
    QElapsedTimer clock;
    clock.start();
    cli.start();
    EXPECT_TRUE(cli.waitForStarted(5000));
    EXPECT_TRUE(cli.waitForFinished(timeoutMs)) << arguments.join(QLatin1Char(' ')).toStdString();
    TCliRun run;
    run.ms = clock.elapsed();
    run.exitCode = cli.exitCode();
    run.crashed = cli.exitStatus() == QProcess::CrashExit;
    run.out = cli.readAllStandardOutput();
    run.err = QString::fromLocal8Bit(cli.readAllStandardError());
    return run;
}

// The factory set of tandor-sim.
constexpr TParamValues kFactory = {0,   0,   11,  11,  128, 128, 300, 300,
                                   100, 100, 500, 500, 0,   0,   96,  96};

QString WriteSet(const QString &name, const TParamValues &values, int major = 2, int minor = 0)
{
    TSettingsData table;
    FillTable(table, values);
    TSettingsFileMngr manager;
    manager.ShowMessage = [](const QString &text) {
        ADD_FAILURE() << text.toStdString();
    };
    manager.UpdateSettings(table, major, minor);
    const QString path = TestHome() + QLatin1Char('/') + name;
    manager.SaveSettingsToFile(path);
    return path;
}

TParamValues ReadSetFile(const QString &path)
{
    EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
    TSettingsFileMngr manager;
    manager.ShowMessage = [](const QString &text) {
        ADD_FAILURE() << text.toStdString();
    };
    TSettingsData names;
    InitSettingsTable(names, nullptr);
    manager.UpdateSettings(names, -1, -1);
    manager.ReadSettingsfromFile(path);
    TParamValues values{};
    for (int i = 1; i <= 16; ++i)
        values[size_t(i - 1)] = manager.GetSetting(i).value;
    return values;
}

// The simulator's commands once the last one is in: it tells them through a pipe that is read
// from the message loop.
QStringList CommandsThrough(TSimProcess &sim, const QString &last)
{
    QStringList commands;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            commands = sim.Commands();
            return !commands.isEmpty() && commands.last() == last;
        },
        5000))
        << commands.join(QLatin1Char(' ')).toStdString();
    return commands;
}

QStringList Lines(const QStringList &commands, const QString &prefix)
{
    QStringList out;
    for (const QString &c : commands) {
        if (c.startsWith(prefix))
            out << c;
    }
    return out;
}

// The commands after the handshake: the version request may repeat while the simulator starts.
QStringList AfterHandshake(QStringList commands)
{
    while (!commands.isEmpty() && commands.first() == QLatin1String("11"))
        commands.removeFirst();
    EXPECT_FALSE(commands.isEmpty());
    if (!commands.isEmpty()) {
        EXPECT_EQ(commands.first(), QStringLiteral("8"));
        commands.removeFirst();
    }
    return commands;
}

QStringList ParamLines(const char *command, const TParamValues *values)
{
    QStringList lines;
    for (int i = 1; i <= 16; ++i) {
        QString line = QString::fromLatin1(command) + QLatin1Char(',') + QString::number(i);
        if (values)
            line += QLatin1Char(',') + QString::number((*values)[size_t(i - 1)]);
        lines << line;
    }
    return lines;
}

class CliEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        statePath = TestHome() + QStringLiteral("/cli-sim-state.json");
        QFile::remove(statePath);
    }

    std::unique_ptr<TSimProcess> StartSim(QStringList options = {})
    {
        auto sim = std::make_unique<TSimProcess>(
            port, QStringList{QStringLiteral("--state"), statePath} + options);
        EXPECT_TRUE(sim->Start());
        return sim;
    }

    QString port = QStringLiteral("clisim0");
    QString statePath;
};

TEST_F(CliEndToEndTest, ReadThenVerifyMatchesAndReadAsksWhatTheWindowAsksWithoutReports)
{
    auto sim = StartSim();
    const QString file = TestHome() + QStringLiteral("/read.tconf");
    const TCliRun read = RunCli({"read", "--port", port, "-o", file});
    EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_TRUE(read.out.isEmpty());
    EXPECT_EQ(ReadSetFile(file), kFactory);

    QStringList expected = ParamLines("3", nullptr);
    const QStringList commands = CommandsThrough(*sim, QStringLiteral("3,16"));
    EXPECT_EQ(AfterHandshake(commands), expected);
    EXPECT_TRUE(Lines(commands, QStringLiteral("2,")).isEmpty()) << "status reports on";

    // To standard output: the same bytes as the file, the window's layout.
    const TCliRun toStdout = RunCli({"read", "--port", port});
    EXPECT_EQ(toStdout.exitCode, 0) << toStdout.err.toStdString();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(toStdout.out, written.readAll());
    EXPECT_TRUE(toStdout.out.startsWith("\xEF\xBB\xBF{\r\n    \"RaAtype\": 0,\r\n"));
    EXPECT_TRUE(toStdout.out.endsWith("\"FirmwareMajor\": 2,\r\n    \"FirmwareMinor\": 0\r\n}"));

    const TCliRun verify = RunCli({"verify", "--port", port, file});
    EXPECT_EQ(verify.exitCode, 0) << verify.err.toStdString();
    EXPECT_TRUE(verify.out.isEmpty());
}

TEST_F(CliEndToEndTest, VerifyAfterAChangeInTheUnitNamesTheParameter)
{
    auto sim = StartSim();
    const QString original = WriteSet(QStringLiteral("factory.tconf"), kFactory);
    TParamValues changed = kFactory;
    changed[2] = 7;    // GainA
    changed[10] = 900; // PTTOffDelayA
    const QString changedFile = WriteSet(QStringLiteral("changed.tconf"), changed);
    ASSERT_EQ(RunCli({"write", "--port", port, changedFile}).exitCode, 0);

    const TCliRun verify = RunCli({"verify", "--port", port, original});
    EXPECT_EQ(verify.exitCode, 1) << verify.err.toStdString();
    EXPECT_EQ(QString::fromLocal8Bit(verify.out),
              QStringLiteral("GainA: file 11, unit 7\nPTTOffDelayA: file 500, unit 900\n"));
    EXPECT_TRUE(verify.err.contains(QStringLiteral("2 of 16 values differ")))
        << verify.err.toStdString();
}

TEST_F(CliEndToEndTest, WriteSendsTheSetInTableOrderReadsItBackAndStoresOnlyWhenAsked)
{
    TParamValues set = {1, 5, 3, 20, 10, 255, 4, 1018, 0, 1500, 30, 40, 1, 0, 1152, 48};
    const QString file = WriteSet(QStringLiteral("write.tconf"), set);
    const QStringList writeLines = ParamLines("4", &set);
    const QStringList readLines = ParamLines("3", nullptr);

    {
        auto sim = StartSim();
        const TCliRun write = RunCli({"write", "--port", port, file});
        EXPECT_EQ(write.exitCode, 0) << write.err.toStdString();
        EXPECT_EQ(AfterHandshake(CommandsThrough(*sim, QStringLiteral("3,16"))),
                  writeLines + readLines);
    }
    {
        // Not stored: a restart brings the stored set back.
        auto sim = StartSim();
        const QString after = TestHome() + QStringLiteral("/after-restart.tconf");
        ASSERT_EQ(RunCli({"read", "--port", port, "-o", after}).exitCode, 0);
        EXPECT_EQ(ReadSetFile(after), kFactory);

        const TCliRun write = RunCli({"write", "--port", port, file, "--store"});
        EXPECT_EQ(write.exitCode, 0) << write.err.toStdString();
        QStringList commands = CommandsThrough(*sim, QStringLiteral("6,2,1"));
        commands = commands.mid(commands.lastIndexOf(QStringLiteral("8")) + 1);
        EXPECT_EQ(commands, writeLines + readLines + QStringList{QStringLiteral("6,2,1")});
    }
    {
        auto sim = StartSim();
        const TCliRun verify = RunCli({"verify", "--port", port, file});
        EXPECT_EQ(verify.exitCode, 0) << verify.out.toStdString() << verify.err.toStdString();
    }
}

TEST_F(CliEndToEndTest, StoreAndRevertSendTheirCommands)
{
    TParamValues set = kFactory;
    set[3] = 2; // GainB
    const QString file = WriteSet(QStringLiteral("gainb.tconf"), set);
    auto sim = StartSim();
    ASSERT_EQ(RunCli({"write", "--port", port, file}).exitCode, 0);
    TCliRun revert = RunCli({"revert", "--port", port});
    EXPECT_EQ(revert.exitCode, 0) << revert.err.toStdString();
    CommandsThrough(*sim, QStringLiteral("5,2,1"));
    EXPECT_EQ(RunCli({"verify", "--port", port, file}).exitCode, 1);

    ASSERT_EQ(RunCli({"write", "--port", port, file}).exitCode, 0);
    const TCliRun store = RunCli({"store", "--port", port});
    EXPECT_EQ(store.exitCode, 0) << store.err.toStdString();
    CommandsThrough(*sim, QStringLiteral("6,2,1"));
    ASSERT_EQ(RunCli({"revert", "--port", port}).exitCode, 0);
    EXPECT_EQ(RunCli({"verify", "--port", port, file}).exitCode, 0);
}

TEST_F(CliEndToEndTest, AFirmwareOnePointZeroUnitRefusesValuesBeforeAnythingIsSent)
{
    auto sim = StartSim({QStringLiteral("--firmware"), QStringLiteral("1.0")});
    // The factory set has radio types 0 and com type TTL at 9600 baud, none of which 1.0
    // takes; the gain is one it would take.
    TParamValues refused = kFactory;
    refused[2] = 5;
    const QString file = WriteSet(QStringLiteral("fw10.tconf"), refused);
    const TCliRun write = RunCli({"write", "--port", port, file, "--store"});
    EXPECT_EQ(write.exitCode, 2);
    for (const char *piece : {"RaAtype: radio type 0 is not taken by firmware 1.0, which takes "
                              "only 2",
                              "RaBtype: radio type 0", "ComType_A: firmware 1.0 talks RS232 only",
                              "Baud_B: firmware 1.0 talks 38400 baud only", "nothing sent"})
        EXPECT_TRUE(write.err.contains(QString::fromLatin1(piece))) << write.err.toStdString();
    EXPECT_FALSE(write.err.contains(QStringLiteral("GainA")));

    // The unit holds what it held, and no value or store command reached it.
    const TCliRun verify =
        RunCli({"verify", "--port", port, WriteSet(QStringLiteral("f.tconf"), kFactory, 1, 0)});
    EXPECT_EQ(verify.exitCode, 0) << verify.out.toStdString();
    const QStringList commands = CommandsThrough(*sim, QStringLiteral("3,16"));
    EXPECT_TRUE(Lines(commands, QStringLiteral("4,")).isEmpty());
    EXPECT_TRUE(Lines(commands, QStringLiteral("6,")).isEmpty());

    // What 1.0 allows goes through.
    TParamValues allowed = kFactory;
    allowed[0] = 2;
    allowed[1] = 1;
    allowed[12] = allowed[13] = 1;
    allowed[14] = allowed[15] = 384;
    const TCliRun ok = RunCli({"write", "--port", port, WriteSet("fw10ok.tconf", allowed, 1, 0)});
    EXPECT_EQ(ok.exitCode, 0) << ok.err.toStdString();
}

TEST_F(CliEndToEndTest, AFileTheReaderRefusesGivesTheWindowsMessageAndNothingIsSent)
{
    auto sim = StartSim();
    struct Case
    {
        const char *name;
        QByteArray content;
        const char *message;
    };
    const Case cases[] = {
        {"fraction.tconf", "{\"RaAtype\": 0, \"GainA\": 1.5}",
         "EConvertError error raised, with message : '1.5' is not a valid integer value when "
         "reading "},
        {"string.tconf", "{\"DetLevelA\": \"400\"}",
         "EInvalidCast error raised, with message : Invalid class typecast when reading "},
        {"null.tconf", "{\"GainB\": null}", "property_value is Null when reading "},
        {"empty.tconf", "", "GainA: missing from the file"},
        {"partial.tconf", "{\"RaAtype\": 1, \"RaBtype\": 1}", "Baud_B: missing from the file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = TestHome() + QLatin1Char('/') + QLatin1String(c.name);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.content);
        f.close();
        for (const char *command : {"write", "verify"}) {
            const TCliRun run = RunCli({command, "--port", port, path});
            EXPECT_EQ(run.exitCode, 2);
            EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.message))) << run.err.toStdString();
        }
    }
    const TCliRun missing =
        RunCli({"write", "--port", port, TestHome() + QStringLiteral("/no-such.tconf")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Cannot open file")))
        << missing.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(TestHome() + QStringLiteral("/no-such.tconf")));
    // The port was never opened.
    EXPECT_TRUE(sim->Commands().isEmpty());
}

TEST_F(CliEndToEndTest, AMissingOrHeldPortEndsWithExitTwoNamingThePortAndTheReason)
{
    const TCliRun missing = RunCli({"read", "--port", "clisim-none"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("port clisim-none")))
        << missing.err.toStdString();
    EXPECT_TRUE(missing.err.contains(QStringLiteral("no such port")));
    EXPECT_TRUE(missing.out.isEmpty());

    auto sim = StartSim();
    const QString device = QFileInfo(PortDevicePath(port)).canonicalFilePath();
    QSerialPort holder;
    holder.setPortName(device);
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    for (const QString &argument : {port, device}) {
        SCOPED_TRACE(argument.toStdString());
        const TCliRun held = RunCli(
            {"verify", "--port", argument, WriteSet(QStringLiteral("held.tconf"), kFactory)});
        EXPECT_EQ(held.exitCode, 2);
        EXPECT_TRUE(held.err.contains(QStringLiteral("port ") + argument))
            << held.err.toStdString();
        EXPECT_TRUE(held.err.contains(QStringLiteral("in use by another program")));
    }
    holder.close();
    EXPECT_TRUE(sim->Commands().isEmpty());
    // By its device path the same port works once it is free.
    EXPECT_EQ(RunCli({"store", "--port", device}).exitCode, 0);
}

TEST_F(CliEndToEndTest, ASilentUnitEndsWithExitThreeAfterTheTimeout)
{
    auto sim = StartSim({QStringLiteral("--silent")});
    const TCliRun run = RunCli({"read", "--port", port, "--timeout", "1"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains(QStringLiteral("did not answer"))) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    // About a second: the wait itself, plus starting a process on a busy machine.
    EXPECT_GE(run.ms, 950);
    EXPECT_LE(run.ms, 4000);
    // The version request went out at the window's pace while waiting.
    QStringList commands;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            commands = sim->Commands();
            return commands.size() >= 5;
        },
        5000));
    EXPECT_EQ(Lines(commands, QStringLiteral("11")).size(), commands.size());
}

TEST_F(CliEndToEndTest, ATerminationSignalClosesAndReleasesThePort)
{
    auto sim = StartSim({QStringLiteral("--silent")});
    for (const int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        QProcess cli;
        cli.setProgram(CliPath());
        cli.setArguments({"verify", "--port", port, "--timeout", "60",
                          WriteSet(QStringLiteral("sig.tconf"), kFactory)});
        cli.start();
        ASSERT_TRUE(cli.waitForStarted(5000));
        // Waiting for the unit: the version request is on the wire.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !sim->Commands().isEmpty(); }, 10000));
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(cli.processId()), sig);
        ASSERT_TRUE(cli.waitForFinished(5000));
        EXPECT_LT(clock.elapsed(), 2000);
        EXPECT_EQ(cli.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(cli.exitCode(), sig);

        TComPort again;
        again.SetPortName(port);
        EXPECT_NO_THROW(again.Open());
        again.Close();
    }
}

TEST_F(CliEndToEndTest, HelpAndUsage)
{
    const TCliRun help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: tandor-cli COMMAND"));
    const TCliRun writeHelp = RunCli({"write", "--help"});
    EXPECT_EQ(writeHelp.exitCode, 0);
    EXPECT_TRUE(writeHelp.out.contains("--store"));
    const TCliRun bad = RunCli({"read"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.out.isEmpty());
    EXPECT_TRUE(bad.err.contains(QStringLiteral("read wants --port")));
}

TEST_F(CliEndToEndTest, PortsListsTheFreeVirtualPortAsTheWindowShowsIt)
{
    auto sim = StartSim();
    const TCliRun ports = RunCli({"ports"});
    EXPECT_EQ(ports.exitCode, 0);
    EXPECT_TRUE(ports.out.split('\n').contains(
        (port + QStringLiteral("  Virtual serial port")).toLocal8Bit()))
        << ports.out.toStdString();
}

} // namespace

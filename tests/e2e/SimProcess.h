// SPDX-License-Identifier: MIT
// tandor-sim as a child process of a test, and a probe of the message loop's delays.
#pragma once

#include "core/PortPaths.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <algorithm>

inline QString SimPath()
{
    const QString fromEnv = qEnvironmentVariable("TANDOR_SIM");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QCoreApplication::applicationDirPath() +
           QStringLiteral("/../../tools/tandor-sim/tandor-sim");
}

// tandor-sim as a child process, telling the test every command it receives.
class TSimProcess
{
public:
    explicit TSimProcess(QString port, QStringList options = {})
        : fPort(std::move(port)), fOptions(std::move(options))
    {}
    ~TSimProcess() { Stop(); }

    bool Start()
    {
        fOutput.clear();
        fProcess.setProgram(SimPath());
        fProcess.setArguments(
            QStringList{QStringLiteral("--port"), fPort, QStringLiteral("--verbose")} + fOptions);
        fProcess.setProcessChannelMode(QProcess::SeparateChannels);
        fProcess.start();
        if (!fProcess.waitForStarted(5000))
            return false;
        const QString link = VirtualPortsFolder() + QLatin1Char('/') + fPort;
        return QTest::qWaitFor(
            [&] { return QFileInfo(link).isSymLink() && QFileInfo::exists(link); }, 5000);
    }

    // SIGTERM, as a user's Ctrl-C would: the simulator removes its port and exits.
    void Stop()
    {
        if (fProcess.state() == QProcess::NotRunning)
            return;
        fProcess.terminate();
        if (!fProcess.waitForFinished(5000)) {
            fProcess.kill();
            fProcess.waitForFinished(2000);
        }
    }

    // SIGKILL, as a crash or a pulled USB hub would leave it: the port's link stays behind,
    // its far end gone.
    void Kill()
    {
        if (fProcess.state() == QProcess::NotRunning)
            return;
        fProcess.kill();
        fProcess.waitForFinished(5000);
    }

    // The commands received so far, one per line, in order.
    QStringList Commands()
    {
        fOutput += fProcess.readAllStandardOutput();
        QStringList lines = QString::fromLatin1(fOutput).split(QLatin1Char('\n'));
        lines.removeAll(QString());
        return lines;
    }

    QProcess &Process() { return fProcess; }

private:
    QString fPort;
    QStringList fOptions;
    QProcess fProcess;
    QByteArray fOutput;
};

// How long the message loop takes to run a posted call, sampled while something else goes on.
class TLatencyProbe
{
public:
    void Sample(int forMs)
    {
        QElapsedTimer total;
        total.start();
        while (total.elapsed() < forMs) {
            QElapsedTimer one;
            one.start();
            bool ran = false;
            QTimer::singleShot(0, [&] { ran = true; });
            EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }, 5000));
            worst = std::max(worst, one.elapsed());
            QTest::qWait(20);
        }
    }
    qint64 worst = 0;
};

// SPDX-License-Identifier: MIT
// Two copies of the installed program on one machine: the second stays off the port the first
// holds, trying in silence, and takes it once the first has exited. Runs the real
// tandor-config twice against an in-test peer.
#include "support/PtyPeer.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTest>

#include <csignal>

namespace {

// Whether the process has the device open, looked up in its descriptors.
bool HasOpen(const QProcess &program, const QString &device)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(program.processId()));
    for (const QString &fd :
         fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (QFileInfo(fds.filePath(fd)).canonicalFilePath() == device)
            return true;
    }
    return false;
}

TEST(SecondProgram, StaysOffAHeldPortAndTakesItOnceTheFirstHasExited)
{
    const QString port = QStringLiteral("second0");
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString prefs = config + QStringLiteral("/MerrowConfig.conf");
    QFile::remove(prefs);
    {
        QDir().mkpath(config);
        QSettings seed(prefs, QSettings::IniFormat);
        seed.setValue(QStringLiteral("MainApp/InterfaceComPort"), port);
    }
    TPtyPeer peer(port);
    ASSERT_TRUE(peer.IsValid());
    const QString device = QFileInfo(peer.SlavePath()).canonicalFilePath();

    QProcess first;
    first.setProgram(QStringLiteral(TANDOR_CONFIG_PATH));
    first.setProcessChannelMode(QProcess::ForwardedChannels);
    first.start();
    ASSERT_TRUE(first.waitForStarted(5000));
    ASSERT_TRUE(peer.WaitFor("11\r", 10000));
    ASSERT_TRUE(HasOpen(first, device));

    QProcess second;
    second.setProgram(QStringLiteral(TANDOR_CONFIG_PATH));
    // Preferences and virtual ports shared, documents folder not: the last settings the first
    // one writes at its exit must not bring up the second one's question to load them.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), TestHome() + QStringLiteral("/second-home"));
    second.setProcessEnvironment(env);
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.start();
    ASSERT_TRUE(second.waitForStarted(5000));
    // Several connection ticks of the second program pass; it never gets the port.
    QElapsedTimer clock;
    clock.start();
    bool secondOpened = false;
    while (clock.elapsed() < 1500 && !secondOpened) {
        QTest::qWait(20);
        secondOpened = HasOpen(second, device);
    }
    EXPECT_FALSE(secondOpened);
    EXPECT_EQ(second.state(), QProcess::Running);

    ::kill(pid_t(first.processId()), SIGTERM);
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.state() == QProcess::NotRunning; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return HasOpen(second, device); }, 10000));

    ::kill(pid_t(second.processId()), SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 10000));
    QFile::remove(prefs);
}

} // namespace

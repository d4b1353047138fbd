// SPDX-License-Identifier: MIT
// The installed program ended by a signal (a session that ends, Ctrl-C, kill) shuts down as
// when its window is closed: status reports off on the wire, preferences and last settings
// written, a clean exit. Runs the real tandor-config against an in-test peer.
#include "support/PtyPeer.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTest>

#include <csignal>

namespace {

struct SignalCase
{
    const char *name;
    int signal;
};

class SignalClose : public ::testing::TestWithParam<SignalCase>
{};

TEST_P(SignalClose, ClosesTheWindowAsItsCloseBoxWould)
{
    const QString port = QStringLiteral("sig%1").arg(GetParam().signal);
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString prefs = config + QStringLiteral("/MerrowConfig.conf");
    const QString last = TestHome() + QStringLiteral("/Documents/TandorLastSettings.tconf");
    QFile::remove(prefs);
    QFile::remove(last);
    {
        QDir().mkpath(config);
        QSettings seed(prefs, QSettings::IniFormat);
        seed.setValue(QStringLiteral("MainApp/InterfaceComPort"), port);
        seed.setValue(QStringLiteral("MainApp/Top"), QStringLiteral("140"));
        seed.setValue(QStringLiteral("MainApp/Left"), QStringLiteral("230"));
    }

    TPtyPeer peer(port);
    ASSERT_TRUE(peer.IsValid());
    QProcess program;
    program.setProgram(QStringLiteral(TANDOR_CONFIG_PATH));
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start();
    ASSERT_TRUE(program.waitForStarted(5000));
    // Running its loop: the connection timer asks the saved port for the version.
    ASSERT_TRUE(peer.WaitFor("11\r", 10000));
    peer.ClearReceived();

    ::kill(pid_t(program.processId()), GetParam().signal);
    ASSERT_TRUE(QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 10000));
    peer.ReadAvailable();
    EXPECT_TRUE(peer.Received().contains("2,0\r")) << peer.Received().toStdString();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    QSettings written(prefs, QSettings::IniFormat);
    EXPECT_EQ(written.value(QStringLiteral("MainApp/InterfaceComPort")).toString(), port);
    EXPECT_TRUE(written.contains(QStringLiteral("MainApp/Top")));
    EXPECT_TRUE(written.contains(QStringLiteral("MainApp/Left")));
    EXPECT_TRUE(written.contains(QStringLiteral("MainApp/LastFolder")));
    QFile lastSettings(last);
    ASSERT_TRUE(lastSettings.open(QIODevice::ReadOnly)) << last.toStdString();
    EXPECT_TRUE(lastSettings.readAll().startsWith("\xEF\xBB\xBF{"));
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalClose,
                         ::testing::Values(SignalCase{"SIGTERM", SIGTERM},
                                           SignalCase{"SIGINT", SIGINT},
                                           SignalCase{"SIGHUP", SIGHUP}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace

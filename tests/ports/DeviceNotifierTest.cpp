// SPDX-License-Identifier: MIT
#include "ports/DeviceNotifier.h"

#include "core/PortPaths.h"
#include "support/PtyPeer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

struct TNotice
{
    bool arrival;
    QString path;
    bool operator==(const TNotice &other) const
    {
        return arrival == other.arrival && path == other.path;
    }
};

void PrintTo(const TNotice &n, std::ostream *os)
{
    *os << (n.arrival ? "arrival " : "removal ") << n.path.toStdString();
}

TNotice Arrival(const QString &path)
{
    return {true, path};
}

TNotice Removal(const QString &path)
{
    return {false, path};
}

class DeviceNotifierTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Every test starts from an empty folder, or none at all.
        QDir(VirtualPortsFolder()).removeRecursively();
        fNotifier = std::make_unique<TDeviceNotifier>();
        fNotifier->OnDeviceArrival = [this](TDeviceNotifier *sender, const QString &name) {
            EXPECT_EQ(sender, fNotifier.get());
            fNotices.push_back(Arrival(name));
        };
        fNotifier->OnDeviceRemoval = [this](TDeviceNotifier *sender, const QString &name) {
            EXPECT_EQ(sender, fNotifier.get());
            fNotices.push_back(Removal(name));
        };
    }

    bool WaitForNotices(size_t count)
    {
        return QTest::qWaitFor([&] { return fNotices.size() >= count; }, 5000);
    }

    std::unique_ptr<TDeviceNotifier> fNotifier;
    std::vector<TNotice> fNotices;
};

TEST_F(DeviceNotifierTest, MakesAMissingFolderToWatchIt)
{
    EXPECT_EQ(fNotifier->WatchedFolder(), VirtualPortsFolder());
    EXPECT_TRUE(QFileInfo(VirtualPortsFolder()).isDir());
}

TEST_F(DeviceNotifierTest, PublishingAndUnpublishingAreArrivalAndRemoval)
{
    TPtyPeer peer(QStringLiteral("np0"));
    ASSERT_TRUE(WaitForNotices(1));
    peer.Unpublish();
    ASSERT_TRUE(WaitForNotices(2));
    peer.Publish();
    ASSERT_TRUE(WaitForNotices(3));
    EXPECT_EQ(fNotices, (std::vector<TNotice>{Arrival(peer.LinkPath()), Removal(peer.LinkPath()),
                                              Arrival(peer.LinkPath())}));
}

// A port published again under its old name, now leading to another device, must not slip
// through as "nothing changed".
TEST_F(DeviceNotifierTest, EntryPointedAtAnotherDeviceIsRemovalThenArrival)
{
    TPtyPeer first(QStringLiteral("np1"));
    TPtyPeer second(QStringLiteral("np2"));
    ASSERT_TRUE(WaitForNotices(2));
    fNotices.clear();
    const QString link = first.LinkPath();
    ASSERT_TRUE(QFile::remove(link));
    ASSERT_TRUE(QFile::link(second.SlavePath(), link)); // faster than one notice apart
    ASSERT_TRUE(WaitForNotices(2));
    // The removal may come alone before the arrival, or both out of one change.
    EXPECT_EQ(fNotices, (std::vector<TNotice>{Removal(link), Arrival(link)}));
}

TEST_F(DeviceNotifierTest, FolderRemovedAndWatchedAgain)
{
    auto peer = std::make_unique<TPtyPeer>(QStringLiteral("np3"));
    TPtyPeer other(QStringLiteral("np4"));
    ASSERT_TRUE(WaitForNotices(2));
    fNotices.clear();
    const QString gone = peer->LinkPath();
    QDir(VirtualPortsFolder()).removeRecursively();
    ASSERT_TRUE(WaitForNotices(2));
    EXPECT_EQ(fNotices, (std::vector<TNotice>{Removal(gone), Removal(other.LinkPath())}));
    EXPECT_TRUE(QTest::qWaitFor([] { return QFileInfo(VirtualPortsFolder()).isDir(); }, 5000));
    fNotices.clear();
    other.Publish();
    ASSERT_TRUE(WaitForNotices(1));
    EXPECT_EQ(fNotices, (std::vector<TNotice>{Arrival(other.LinkPath())}));
}

TEST_F(DeviceNotifierTest, ErrorInACallbackIsSwallowed)
{
    fNotifier->OnDeviceArrival = [this](TDeviceNotifier *, const QString &name) {
        fNotices.push_back(Arrival(name));
        throw std::runtime_error("callback failed");
    };
    TPtyPeer first(QStringLiteral("np5"));
    ASSERT_TRUE(WaitForNotices(1));
    TPtyPeer second(QStringLiteral("np6"));
    ASSERT_TRUE(WaitForNotices(2));
    EXPECT_EQ(fNotices.back(), Arrival(second.LinkPath()));
}

// The owner may drop the notifier from within its own callback; the notices still due from
// the same change are then not delivered.
TEST_F(DeviceNotifierTest, CallbackMayDestroyTheNotifier)
{
    TPtyPeer first(QStringLiteral("np7"));
    TPtyPeer second(QStringLiteral("np8"));
    ASSERT_TRUE(WaitForNotices(2));
    fNotices.clear();
    fNotifier->OnDeviceRemoval = [this](TDeviceNotifier *, const QString &name) {
        fNotices.push_back(Removal(name));
        fNotifier.reset();
    };
    QDir(VirtualPortsFolder()).removeRecursively();
    ASSERT_TRUE(WaitForNotices(1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return fNotifier == nullptr; }, 5000));
    QTest::qWait(50); // let any stray notice of the removal arrive
    EXPECT_EQ(fNotices.size(), 1u);
}

// The device numbers of a terminal the kernel registers in the tty class (a serial or
// virtual console slot), for a node of our own; empty when sysfs shows none.
std::optional<dev_t> SomeTtyDeviceNumber()
{
    for (const char *numbers : {"4:64", "4:1", "4:0"}) {
        const QString subsystem =
            QFileInfo(QStringLiteral("/sys/dev/char/%1/subsystem").arg(QLatin1String(numbers)))
                .canonicalFilePath();
        if (subsystem.endsWith(QStringLiteral("/tty"))) {
            const QStringList parts = QString::fromLatin1(numbers).split(QLatin1Char(':'));
            return makedev(parts[0].toUInt(), parts[1].toUInt());
        }
    }
    return std::nullopt;
}

// Only serial devices come and go: a plain file, a folder, a fifo, a device node that is no
// terminal, and links to such things or to nothing are no ports, whether they are added or
// removed. A real pseudo-terminal's link, and a terminal device node of our own made with
// mknod, are.
TEST_F(DeviceNotifierTest, OnlySerialDevicesArriveAndLeave)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "device nodes need root";
    const std::optional<dev_t> ttyNumbers = SomeTtyDeviceNumber();
    const QString folder = VirtualPortsFolder();
    const QString outside = QDir(folder).absoluteFilePath(QStringLiteral("../not-ports"));
    QDir().mkpath(outside);
    const QByteArray nullNode = QFile::encodeName(outside + QStringLiteral("/null"));
    ASSERT_EQ(::mknod(nullNode.constData(), S_IFCHR | 0600, makedev(1, 3)), 0);
    QFile plainOutside(outside + QStringLiteral("/plain"));
    ASSERT_TRUE(plainOutside.open(QIODevice::WriteOnly));
    plainOutside.close();

    const auto at = [&](const char *name) {
        return folder + QLatin1Char('/') + name;
    };
    const struct
    {
        const char *name;
        std::function<bool(const QString &)> make;
    } nonPorts[] = {
        {"plain",
         [](const QString &path) {
             QFile file(path);
             return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
         }},
        {"folder",
         [](const QString &path) {
             return QDir().mkdir(path);
         }},
        {"fifo",
         [](const QString &path) {
             return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
         }},
        {"null-node",
         [](const QString &path) {
             return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0600, makedev(1, 3)) ==
                    0;
         }},
        {"link-to-file",
         [&](const QString &path) {
             return QFile::link(plainOutside.fileName(), path);
         }},
        {"link-to-null-node",
         [&](const QString &path) {
             return QFile::link(QFile::decodeName(nullNode), path);
         }},
        {"link-to-nothing",
         [&](const QString &path) {
             return QFile::link(outside + QStringLiteral("/gone"), path);
         }},
    };
    for (const auto &n : nonPorts)
        ASSERT_TRUE(n.make(at(n.name))) << n.name;
    // A real port after them: once its arrival is in, every earlier change has been seen.
    TPtyPeer peer(QStringLiteral("np10"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !fNotices.empty() && fNotices.back() == Arrival(peer.LinkPath()); }, 5000));
    EXPECT_EQ(fNotices, (std::vector<TNotice>{Arrival(peer.LinkPath())}));

    if (ttyNumbers) {
        fNotices.clear();
        ASSERT_EQ(
            ::mknod(QFile::encodeName(at("ttynode")).constData(), S_IFCHR | 0600, *ttyNumbers), 0);
        ASSERT_TRUE(WaitForNotices(1));
        ASSERT_TRUE(QFile::remove(at("ttynode")));
        ASSERT_TRUE(WaitForNotices(2));
        EXPECT_EQ(fNotices, (std::vector<TNotice>{Arrival(at("ttynode")), Removal(at("ttynode"))}));
    }

    fNotices.clear();
    for (const auto &n : nonPorts) {
        const QString path = at(n.name);
        ASSERT_TRUE(QFileInfo(path).isDir() && !QFileInfo(path).isSymLink() ? QDir().rmdir(path)
                                                                            : QFile::remove(path))
            << n.name;
    }
    peer.Unpublish();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !fNotices.empty() && fNotices.back() == Removal(peer.LinkPath()); }, 5000));
    EXPECT_EQ(fNotices, (std::vector<TNotice>{Removal(peer.LinkPath())}));
    QDir(outside).removeRecursively();
}

TEST_F(DeviceNotifierTest, WorksWithoutCallbacks)
{
    fNotifier->OnDeviceArrival = nullptr;
    fNotifier->OnDeviceRemoval = nullptr;
    TPtyPeer peer(QStringLiteral("np9"));
    peer.Unpublish();
    // Nothing to see; the notifier must just survive the notices.
    QTest::qWait(50);
    SUCCEED();
}

} // namespace

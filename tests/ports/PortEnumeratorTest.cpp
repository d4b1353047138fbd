// SPDX-License-Identifier: MIT
#include "ports/PortEnumerator.h"

#include "PortHolders.h"
#include "core/PortPaths.h"
#include "support/PtyPeer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSerialPort>

namespace {

const QString kVirtualDescription = QStringLiteral("Virtual serial port");

QString VirtualEntry(const QString &name)
{
    return name + QStringLiteral("  ") + kVirtualDescription;
}

TEST(PortEnumeration, PublishedPseudoTerminalComesAndGoes)
{
    TPtyPeer peer(QStringLiteral("vport0"));
    ASSERT_TRUE(peer.IsValid());
    EXPECT_TRUE(EnumerateSerialPorts().contains(VirtualEntry(QStringLiteral("vport0"))));
    peer.Unpublish();
    EXPECT_FALSE(EnumerateSerialPorts().contains(VirtualEntry(QStringLiteral("vport0"))));
    peer.Publish();
    EXPECT_TRUE(EnumerateSerialPorts().contains(VirtualEntry(QStringLiteral("vport0"))));
}

TEST(PortEnumeration, PortInUseElsewhereIsLeftOutUntilReleased)
{
    TPtyPeer peer(QStringLiteral("vport1"));
    TPtyPeer other(QStringLiteral("vport2"));
    ASSERT_TRUE(peer.IsValid() && other.IsValid());
    {
        // Held through the pseudo-terminal itself, not through the published link.
        TOtherProgramHolding holder(peer.SlavePath());
        ASSERT_TRUE(holder.Holding());
        const QStringList entries = EnumerateSerialPorts();
        EXPECT_FALSE(entries.contains(VirtualEntry(QStringLiteral("vport1"))));
        EXPECT_TRUE(entries.contains(VirtualEntry(QStringLiteral("vport2"))));
    }
    EXPECT_TRUE(EnumerateSerialPorts().contains(VirtualEntry(QStringLiteral("vport1"))));
}

TEST(PortEnumeration, OwnOpenPortIsLeftOut)
{
    TPtyPeer peer(QStringLiteral("vport3"));
    ASSERT_TRUE(peer.IsValid());
    QSerialPort port(peer.LinkPath());
    ASSERT_TRUE(port.open(QIODevice::ReadWrite));
    EXPECT_FALSE(EnumerateSerialPorts().contains(VirtualEntry(QStringLiteral("vport3"))));
    port.close();
    EXPECT_TRUE(EnumerateSerialPorts().contains(VirtualEntry(QStringLiteral("vport3"))));
}

TEST(PortEnumeration, DeadAndForeignEntriesOfTheVirtualFolderAreLeftOut)
{
    const QString folder = VirtualPortsFolder();
    ASSERT_FALSE(folder.isEmpty());
    QDir().mkpath(folder);
    TPtyPeer blank(QStringLiteral("with blank"));
    // Closed after every other pseudo-terminal of the test is made, so none of them takes
    // over its number (and with it the link).
    TPtyPeer closed(QStringLiteral("vdead"));
    closed.CloseMaster();
    QFile::link(QStringLiteral("/dev/null"), folder + QStringLiteral("/vnull"));
    QFile plain(folder + QStringLiteral("/vplain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();

    const QStringList entries = EnumerateSerialPorts();
    for (const QString &entry : entries) {
        EXPECT_FALSE(entry.startsWith(QStringLiteral("vdead "))) << qPrintable(entry);
        EXPECT_FALSE(entry.startsWith(QStringLiteral("vnull "))) << qPrintable(entry);
        EXPECT_FALSE(entry.startsWith(QStringLiteral("vplain "))) << qPrintable(entry);
        EXPECT_FALSE(entry.startsWith(QStringLiteral("with "))) << qPrintable(entry);
    }
    QFile::remove(folder + QStringLiteral("/vnull"));
    plain.remove();
}

TEST(PortEnumeration, EveryEntryIsANameTwoBlanksAndADescription)
{
    TPtyPeer peer(QStringLiteral("vport4"));
    ASSERT_TRUE(peer.IsValid());
    const QStringList entries = EnumerateSerialPorts();
    ASSERT_FALSE(entries.isEmpty());
    for (const QString &entry : entries) {
        const qsizetype blank = entry.indexOf(QLatin1Char(' '));
        ASSERT_GT(blank, 0) << qPrintable(entry);
        EXPECT_EQ(entry.mid(blank, 2), QStringLiteral("  ")) << qPrintable(entry);
        EXPECT_EQ(entries.count(entry), 1) << qPrintable(entry);
    }
}

TEST(PortCandidates, VirtualNameTakesOverTheHardwareOfTheSameName)
{
    std::vector<TPortCandidate> hardware = {
        {QStringLiteral("ttyS0"), QStringLiteral("/dev/ttyS0"), QStringLiteral("serial")},
        {QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R")},
    };
    std::vector<TPortCandidate> virtualPorts = {
        {QStringLiteral("ttyUSB0"), QStringLiteral("/v/ttyUSB0"), kVirtualDescription},
        {QStringLiteral("sim0"), QStringLiteral("/v/sim0"), kVirtualDescription},
    };
    const std::vector<TPortCandidate> merged = MergePortCandidates(hardware, virtualPorts);
    QStringList paths;
    for (const TPortCandidate &c : merged)
        paths << c.devicePath;
    EXPECT_EQ(paths, (QStringList{QStringLiteral("/dev/ttyS0"), QStringLiteral("/v/ttyUSB0"),
                                  QStringLiteral("/v/sim0")}));
}

TEST(PortCandidates, VirtualFolderIsReadInNameOrder)
{
    TPtyPeer b(QStringLiteral("vb"));
    TPtyPeer a(QStringLiteral("va"));
    QStringList names;
    for (const TPortCandidate &c : VirtualPortCandidates(VirtualPortsFolder())) {
        if (c.name == QStringLiteral("va") || c.name == QStringLiteral("vb")) {
            names << c.name;
            EXPECT_EQ(c.devicePath, VirtualPortsFolder() + QLatin1Char('/') + c.name);
            EXPECT_EQ(c.description, kVirtualDescription);
        }
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("va"), QStringLiteral("vb")}));
    EXPECT_TRUE(VirtualPortCandidates(QString()).empty());
}

} // namespace

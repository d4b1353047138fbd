// SPDX-License-Identifier: MIT
#include "ports/PortEntry.h"

#include <gtest/gtest.h>

namespace {

struct TFriendlyNameCase
{
    const char *label;
    const char *portName;
    const char *friendlyName;
    const char *entry;
};

// The port selection cuts the port name off at the first blank; what matters besides is the
// exact text of the rest, trailing blank and all.
const TFriendlyNameCase kFriendlyNames[] = {
    {"one digit", "COM3", "USB Serial Port (COM3)", "COM3  USB Serial Port "},
    {"two digits", "COM12", "Communications Port (COM12)", "COM12  Communications Port "},
    {"three digits keep the parenthesis", "COM123", "Modem Port (COM123)", "COM123  Modem Port )"},
    {"no port reference", "COM4", "Bluetooth Link", "COM4  Bluetooth Link"},
    {"reference cut short by the end", "COM5", "Odd Port (COM", "COM5  Odd Port "},
    {"fewer than 7 after the reference", "COM6", "Odd (COM6", "COM6  Odd "},
    {"only the first reference goes", "COM7", "(COM7) via (COM8)", "COM7  via (COM8)"},
    {"lower case is no reference", "COM9", "Port (com9)", "COM9  Port (com9)"},
    {"reference inside the text", "COM2", "A (COM2) B", "COM2  A B"},
    {"empty friendly name", "COM1", "", "COM1  "},
};

class FriendlyNameEntry : public ::testing::TestWithParam<TFriendlyNameCase>
{};

TEST_P(FriendlyNameEntry, LosesItsOwnPortReference)
{
    const TFriendlyNameCase &c = GetParam();
    const QString entry = PortEntryText(QString::fromUtf8(c.portName),
                                        StripComReference(QString::fromUtf8(c.friendlyName)));
    EXPECT_EQ(entry, QString::fromUtf8(c.entry));
    EXPECT_EQ(entry.section(QLatin1Char(' '), 0, 0), QString::fromUtf8(c.portName));
}

INSTANTIATE_TEST_SUITE_P(Windows, FriendlyNameEntry, ::testing::ValuesIn(kFriendlyNames),
                         [](const auto &info) {
                             std::string name = info.param.label;
                             for (char &ch : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             }
                             return name;
                         });

struct TDescriptionCase
{
    const char *label;
    TPortDescriptionSource source;
    const char *description;
};

TPortDescriptionSource Everything()
{
    return {QStringLiteral("FT232 Serial (UART) IC"),
            QStringLiteral("Future Technology Devices International, Ltd"),
            QStringLiteral("FT232R USB UART"),
            QStringLiteral("FT232R_USB_UART"),
            QStringLiteral("FT232R_USB_UART"),
            QStringLiteral("FT232R USB UART"),
            QStringLiteral("ftdi_sio")};
}

TEST(PortDescription, FallsBackFromDatabaseToProductToDriver)
{
    TPortDescriptionSource vendorOnly;
    vendorOnly.vendorFromDatabase = QStringLiteral("Prolific Technology, Inc.");
    vendorOnly.driver = QStringLiteral("pl2303");

    TPortDescriptionSource encodedProduct;
    encodedProduct.modelEncoded = QStringLiteral("USB_Serial Adapter");
    encodedProduct.model = QStringLiteral("USB_Serial_Adapter");
    encodedProduct.driver = QStringLiteral("cp210x");

    TPortDescriptionSource underscoredModel;
    underscoredModel.model = QStringLiteral("CP2102_USB_to_UART_Bridge");
    underscoredModel.sysfsProduct = QStringLiteral("ignored");

    TPortDescriptionSource sysfsOnly; // no udev daemon: properties missing
    sysfsOnly.sysfsProduct = QStringLiteral("Arduino Uno");
    sysfsOnly.driver = QStringLiteral("cdc_acm");

    TPortDescriptionSource driverOnly;
    driverOnly.driver = QStringLiteral("serial");

    TPortDescriptionSource blanksOnly;
    blanksOnly.modelFromDatabase = QStringLiteral("  ");
    blanksOnly.driver = QStringLiteral("serial8250");

    const TDescriptionCase cases[] = {
        {"model and vendor", Everything(),
         "FT232 Serial (UART) IC (Future Technology Devices International, Ltd)"},
        {"vendor only", vendorOnly, "Prolific Technology, Inc."},
        {"encoded product keeps its underscore", encodedProduct, "USB_Serial Adapter"},
        {"ID_MODEL underscores become blanks", underscoredModel, "CP2102 USB to UART Bridge"},
        {"sysfs product", sysfsOnly, "Arduino Uno"},
        {"driver", driverOnly, "serial"},
        {"blank database name is no name", blanksOnly, "serial8250"},
        {"nothing known", TPortDescriptionSource{}, ""},
    };
    for (const TDescriptionCase &c : cases)
        EXPECT_EQ(PortDescription(c.source), QString::fromUtf8(c.description)) << c.label;
}

TEST(SystemTexts, AreCutAtNulAndFreedOfControlCharacters)
{
    EXPECT_EQ(SystemText(QByteArray("USB Serial\0garbage", 18)), QStringLiteral("USB Serial"));
    EXPECT_EQ(SystemText(QByteArray("Two\nlines\t ")), QStringLiteral("Two lines"));
    EXPECT_EQ(SystemText(QByteArray("caf\xc3\xa9")), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(SystemText(QByteArray()), QString());
}

TEST(SystemTexts, UdevEscapesAreDecoded)
{
    const struct
    {
        const char *encoded;
        QString decoded;
    } cases[] = {
        {"FT232R\\x20USB\\x20UART", QStringLiteral("FT232R USB UART")},
        {"caf\\xc3\\xa9", QStringLiteral("caf\u00e9")},
        {"back\\\\slash", QStringLiteral("back\\\\slash")},
        {"bad\\xZZhex", QStringLiteral("bad\\xZZhex")},
        {"cut\\x2", QStringLiteral("cut\\x2")},
        {"end\\x21", QStringLiteral("end!")},
        {"nul\\x00tail", QStringLiteral("nul")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DecodeUdevText(QByteArray(c.encoded)), c.decoded) << c.encoded;
}

TEST(PortNames, WithBlanksOrControlsCannotStandInAnEntry)
{
    EXPECT_TRUE(IsListablePortName(QStringLiteral("ttyUSB0")));
    EXPECT_TRUE(IsListablePortName(QStringLiteral("COM12")));
    EXPECT_TRUE(IsListablePortName(QStringLiteral("ttyACM0.1-x")));
    EXPECT_FALSE(IsListablePortName(QStringLiteral("serial/by-id")));
    EXPECT_FALSE(IsListablePortName(QStringLiteral("..")));
    EXPECT_FALSE(IsListablePortName(QString()));
    EXPECT_FALSE(IsListablePortName(QStringLiteral("my port")));
    EXPECT_FALSE(IsListablePortName(QStringLiteral("tab\there")));
    EXPECT_FALSE(IsListablePortName(QStringLiteral("line\n")));
    EXPECT_FALSE(IsListablePortName(QStringLiteral("nbsp\u00a0x")));
}

TEST(PortEntries, GiveBackThePortNameBeforeTheFirstBlank)
{
    EXPECT_EQ(PortNameOfEntry(PortEntryText(QStringLiteral("ttyUSB0"), QStringLiteral("FT232R"))),
              QStringLiteral("ttyUSB0"));
    EXPECT_EQ(PortNameOfEntry(PortEntryText(QStringLiteral("sim0"), QString())),
              QStringLiteral("sim0"));
    EXPECT_EQ(PortNameOfEntry(QStringLiteral("ttyS0")), QStringLiteral("ttyS0"));
    EXPECT_EQ(PortNameOfEntry(QString()), QString());
}

TEST(PortEntries, SavedPortFindsItsEntry)
{
    const QStringList entries{QStringLiteral("sim0  Tandor simulator"),
                              QStringLiteral("ttyUSB0  FT232R USB UART"),
                              QStringLiteral("ttyUSB1  FT232R USB UART")};
    const struct
    {
        QString saved;
        int found;
    } cases[] = {
        {QStringLiteral("ttyUSB0"), 1},
        {QStringLiteral("ttyUSB1"), 2},
        {QStringLiteral("  sim0\t\r\n"), 0}, // blanks and controls trimmed
        {QStringLiteral("ttyUSB"), -1},      // no prefix match
        {QStringLiteral("TTYUSB0"), -1},     // case counts
        {QString(), -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FindPortEntry(entries, c.saved), c.found) << c.saved.toStdString();
    // Of two entries of one name the last counts.
    EXPECT_EQ(FindPortEntry({QStringLiteral("sim0  a"), QStringLiteral("sim0  b")},
                            QStringLiteral("sim0")),
              1);
}

} // namespace

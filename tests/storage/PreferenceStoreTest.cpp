// SPDX-License-Identifier: MIT
// The preference store against real files: where each key and root lives, what reads give
// for odd and broken contents, texts that survive a write, read-only rights, removal, and a
// store that cannot be written.
#include "storage/KVTRegStore.h"
#include "support/EnvOverride.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSettings>

#include <cstdint>
#include <optional>
#include <ostream>
#include <random>

// Readable QStrings in failure messages.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString kSection = QStringLiteral("MainApp");
const QString kProgramKey = QStringLiteral("Software\\MerrowConfig");

QString UserFile()
{
    return TestHome() + QStringLiteral("/config/MerrowConfig.conf");
}

QString MachineFile()
{
    return TestHome() + QStringLiteral("/etc-xdg/MerrowConfig.conf");
}

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes a store file by hand. Each file gets a modification time of its own, so that a
// cached copy of an earlier content is never taken for this one.
void WriteRaw(const QString &path, const QByteArray &bytes)
{
    static int stamp = 0;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
    file.close();
    const QDateTime when = QDateTime::currentDateTimeUtc().addSecs(-100000 + ++stamp);
    ASSERT_TRUE(file.open(QIODevice::Append));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

void RemoveStores()
{
    for (const QString &path : {UserFile(), MachineFile()}) {
        if (QFileInfo(path).isDir())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
}

std::unique_ptr<TKVTRegistryStore> MakeStore(TRegistryRoot root = rrCurrentUser,
                                             bool readOnly = false,
                                             const QString &key = kProgramKey)
{
    auto store = std::make_unique<TKVTRegistryStore>();
    store->SetKeyName(key);
    store->SetRegistryRoot(root);
    store->SetReadOnlyRights(readOnly);
    return store;
}

// The four preferences as one text, for comparing with what a run reads at start-up.
QString ReadPreferences(TKVTRegistryStore &store)
{
    store.Open();
    const QString text =
        store.ReadString(kSection, QStringLiteral("InterfaceComPort"), QStringLiteral("<none>")) +
        QLatin1Char('|') +
        QString::number(store.ReadInteger(kSection, QStringLiteral("Top"), 100)) +
        QLatin1Char('|') +
        QString::number(store.ReadInteger(kSection, QStringLiteral("Left"), 200)) +
        QLatin1Char('|') +
        store.ReadString(kSection, QStringLiteral("LastFolder"), QStringLiteral("<none>"));
    store.Close();
    return text;
}

const QString kDefaults = QStringLiteral("<none>|100|200|<none>");

void WritePreferences(TKVTRegistryStore &store, const QString &port, int top, int left,
                      const QString &folder)
{
    store.Open();
    store.WriteString(kSection, QStringLiteral("InterfaceComPort"), port);
    store.WriteInteger(kSection, QStringLiteral("Top"), top);
    store.WriteInteger(kSection, QStringLiteral("Left"), left);
    store.WriteString(kSection, QStringLiteral("LastFolder"), folder);
    store.Close();
}

class PreferenceStore : public ::testing::Test
{
protected:
    void SetUp() override { RemoveStores(); }
    void TearDown() override { RemoveStores(); }
};

TEST(PreferenceKey, KeyNameIsKeptWithoutOuterBackslashes)
{
    struct Row
    {
        const char *given;
        const char *kept;
    };
    const Row rows[] = {
        {"Software\\MerrowConfig", "Software\\MerrowConfig"},
        {"\\Software\\MerrowConfig", "Software\\MerrowConfig"},
        {"Software\\MerrowConfig\\", "Software\\MerrowConfig"},
        {"\\\\\\Software\\MerrowConfig\\\\", "Software\\MerrowConfig"},
        {"\\", ""},
        {"\\\\", ""},
        {"", ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.given);
        TKVTRegistryStore store;
        store.SetKeyName(QStringLiteral("Other"));
        store.SetKeyName(QString::fromLatin1(row.given));
        EXPECT_EQ(store.KeyName(), QString::fromLatin1(row.kept));
        // The same name again changes nothing.
        store.SetKeyName(QString::fromLatin1(row.given));
        EXPECT_EQ(store.KeyName(), QString::fromLatin1(row.kept));
    }

    // The defaults of a new store: the current user's root, full rights.
    TKVTRegistryStore store;
    EXPECT_EQ(store.RegistryRoot(), rrCurrentUser);
    EXPECT_FALSE(store.ReadOnlyRights());
}

TEST_F(PreferenceStore, EachKeyAndRootLivesInItsOwnConfigurationFile)
{
    const QString home = TestHome();
    struct Row
    {
        const char *name;
        TRegistryRoot root;
        const char *key;
        std::optional<QString> configHome; // XDG_CONFIG_HOME
        std::optional<QString> configDirs; // XDG_CONFIG_DIRS
        QString location;
        bool write; // the folder is the test's own, so the file may be written
    };
    const Row rows[] = {
        {"program key", rrCurrentUser, "Software\\MerrowConfig", home + "/config",
         home + "/etc-xdg", home + "/config/MerrowConfig.conf", true},
        {"outer backslashes", rrCurrentUser, "\\Software\\MerrowConfig\\", home + "/config",
         home + "/etc-xdg", home + "/config/MerrowConfig.conf", true},
        {"no config home", rrCurrentUser, "Software\\MerrowConfig", std::nullopt, std::nullopt,
         home + "/.config/MerrowConfig.conf", true},
        {"relative config home", rrCurrentUser, "Software\\MerrowConfig", QStringLiteral("cfg"),
         std::nullopt, home + "/.config/MerrowConfig.conf", true},
        {"deeper key", rrCurrentUser, "Software\\Merrow\\Tandor", home + "/config", std::nullopt,
         home + "/config/Merrow/Tandor.conf", true},
        {"key without Software", rrCurrentUser, "Merrow\\Tandor", home + "/config", std::nullopt,
         home + "/config/Merrow/Tandor.conf", true},
        {"Software alone", rrCurrentUser, "Software", home + "/config", std::nullopt,
         home + "/config/Software.conf", true},
        {"dot parts stay inside", rrCurrentUser, "Software\\..\\..\\MerrowConfig", home + "/config",
         std::nullopt, home + "/config/MerrowConfig.conf", true},
        {"machine root", rrLocalMachine, "Software\\MerrowConfig", home + "/config",
         home + "/etc-xdg", home + "/etc-xdg/MerrowConfig.conf", true},
        {"machine root, first absolute folder", rrLocalMachine, "Software\\MerrowConfig",
         home + "/config", "relative:" + home + "/xdg-first:" + home + "/xdg-second",
         home + "/xdg-first/MerrowConfig.conf", true},
        {"machine root by default", rrLocalMachine, "Software\\MerrowConfig", home + "/config",
         std::nullopt, QStringLiteral("/etc/xdg/MerrowConfig.conf"), false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TEnvOverride configHome("XDG_CONFIG_HOME", row.configHome);
        TEnvOverride configDirs("XDG_CONFIG_DIRS", row.configDirs);
        auto store = MakeStore(row.root, false, QString::fromLatin1(row.key));
        EXPECT_EQ(store->StoreLocation(), row.location);
        if (!row.write)
            continue;
        QFile::remove(row.location);
        WritePreferences(*store, QStringLiteral("ttyUSB0"), 100, -20,
                         QStringLiteral("/home/user/Documents/"));
        // One group per section, every value a plain text.
        EXPECT_EQ(ReadBytes(row.location), QByteArray("[MainApp]\n"
                                                      "InterfaceComPort=ttyUSB0\n"
                                                      "LastFolder=/home/user/Documents/\n"
                                                      "Left=-20\n"
                                                      "Top=100\n"));
        EXPECT_EQ(ReadPreferences(*store), QStringLiteral("ttyUSB0|100|-20|/home/user/Documents/"));
        QFile::remove(row.location);
    }
}

TEST_F(PreferenceStore, AKeyNameThatNamesNothingReadsDefaultsAndKeepsNothing)
{
    auto store = MakeStore(rrCurrentUser, false, QStringLiteral("\\\\"));
    EXPECT_TRUE(store->StoreLocation().isEmpty());
    WritePreferences(*store, QStringLiteral("ttyUSB0"), 1, 2, QStringLiteral("/x/"));
    EXPECT_EQ(ReadPreferences(*store), kDefaults);
    EXPECT_TRUE(QDir(TestHome() + QStringLiteral("/config")).entryList(QDir::Files).isEmpty());
}

TEST_F(PreferenceStore, TheTwoRootsKeepTheirOwnValues)
{
    auto user = MakeStore(rrCurrentUser);
    auto machine = MakeStore(rrLocalMachine);
    WritePreferences(*user, QStringLiteral("ttyUSB0"), 1, 2, QStringLiteral("/user/"));
    EXPECT_EQ(ReadPreferences(*machine), kDefaults);
    WritePreferences(*machine, QStringLiteral("ttyS0"), 3, 4, QStringLiteral("/machine/"));
    EXPECT_EQ(ReadPreferences(*user), QStringLiteral("ttyUSB0|1|2|/user/"));
    EXPECT_EQ(ReadPreferences(*machine), QStringLiteral("ttyS0|3|4|/machine/"));
    EXPECT_TRUE(QFileInfo::exists(UserFile()));
    EXPECT_TRUE(QFileInfo::exists(MachineFile()));
}

enum class TReadKind
{
    String,
    Integer,
    Boolean
};

TEST_F(PreferenceStore, ReadsGiveTheTextOrTheirDefault)
{
    struct Row
    {
        const char *name;
        const char *file; // null: no file
        TReadKind kind;
        const char *item;
        const char *defaultValue; // decimal text for integers, "1"/"0" for Booleans
        const char *expected;
    };
    const Row rows[] = {
        {"no file", nullptr, TReadKind::Integer, "Top", "100", "100"},
        {"no file, text", nullptr, TReadKind::String, "InterfaceComPort", "", ""},
        {"other section only", "[Other]\nTop=5\n", TReadKind::Integer, "Top", "100", "100"},
        {"no such item", "[MainApp]\nLeft=5\n", TReadKind::Integer, "Top", "100", "100"},
        {"number", "[MainApp]\nTop=37\n", TReadKind::Integer, "Top", "100", "37"},
        {"negative number", "[MainApp]\nLeft=-1200\n", TReadKind::Integer, "Left", "200", "-1200"},
        {"plus sign", "[MainApp]\nTop=+7\n", TReadKind::Integer, "Top", "100", "7"},
        {"smallest integer", "[MainApp]\nTop=-2147483648\n", TReadKind::Integer, "Top", "100",
         "-2147483648"},
        {"largest integer", "[MainApp]\nTop=2147483647\n", TReadKind::Integer, "Top", "100",
         "2147483647"},
        {"beyond 32 bits", "[MainApp]\nTop=2147483648\n", TReadKind::Integer, "Top", "100", "100"},
        {"below 32 bits", "[MainApp]\nTop=-2147483649\n", TReadKind::Integer, "Top", "100", "100"},
        {"not a number", "[MainApp]\nTop=abc\n", TReadKind::Integer, "Top", "100", "100"},
        {"number and junk", "[MainApp]\nTop=12px\n", TReadKind::Integer, "Top", "100", "100"},
        {"sign alone", "[MainApp]\nTop=-\n", TReadKind::Integer, "Top", "100", "100"},
        {"empty number", "[MainApp]\nTop=\n", TReadKind::Integer, "Top", "100", "100"},
        {"fraction", "[MainApp]\nTop=1.5\n", TReadKind::Integer, "Top", "100", "100"},
        {"number as a list", "[MainApp]\nTop=1, 2\n", TReadKind::Integer, "Top", "100", "100"},
        {"number as a variant", "[MainApp]\nTop=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n",
         TReadKind::Integer, "Top", "100", "100"},
        {"number as bytes", "[MainApp]\nTop=@ByteArray(5)\n", TReadKind::Integer, "Top", "100",
         "100"},
        {"port", "[MainApp]\nInterfaceComPort=ttyUSB0\n", TReadKind::String, "InterfaceComPort", "",
         "ttyUSB0"},
        {"empty folder", "[MainApp]\nLastFolder=\n", TReadKind::String, "LastFolder", "<default>",
         ""},
        {"quoted empty folder", "[MainApp]\nLastFolder=\"\"\n", TReadKind::String, "LastFolder",
         "<default>", ""},
        {"quoted comma", "[MainApp]\nLastFolder=\"/a, b/\"\n", TReadKind::String, "LastFolder",
         "<default>", "/a, b/"},
        {"folder as a list", "[MainApp]\nLastFolder=/a, b/\n", TReadKind::String, "LastFolder",
         "<default>", "<default>"},
        {"folder as a rectangle", "[MainApp]\nLastFolder=@Rect(1 2 3 4)\n", TReadKind::String,
         "LastFolder", "<default>", "<default>"},
        {"true", "[MainApp]\nFlag=1\n", TReadKind::Boolean, "Flag", "0", "1"},
        {"begins with 1", "[MainApp]\nFlag=10\n", TReadKind::Boolean, "Flag", "0", "1"},
        {"false", "[MainApp]\nFlag=0\n", TReadKind::Boolean, "Flag", "1", "0"},
        {"other text is false", "[MainApp]\nFlag=yes\n", TReadKind::Boolean, "Flag", "1", "0"},
        {"empty is the default", "[MainApp]\nFlag=\n", TReadKind::Boolean, "Flag", "1", "1"},
        {"missing is the default", "[MainApp]\n", TReadKind::Boolean, "Flag", "1", "1"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        RemoveStores();
        if (row.file)
            WriteRaw(UserFile(), row.file);
        auto store = MakeStore();
        store->Open();
        const QString item = QString::fromLatin1(row.item);
        const QString def = QString::fromLatin1(row.defaultValue);
        QString got;
        switch (row.kind) {
        case TReadKind::String:
            got = store->ReadString(kSection, item, def);
            break;
        case TReadKind::Integer:
            got = QString::number(store->ReadInteger(kSection, item, def.toInt()));
            break;
        case TReadKind::Boolean:
            got = store->ReadBoolean(kSection, item, def == QLatin1String("1"))
                      ? QStringLiteral("1")
                      : QStringLiteral("0");
            break;
        }
        store->Close();
        EXPECT_EQ(got, QString::fromLatin1(row.expected));
    }
}

TEST_F(PreferenceStore, EveryWrittenTextReadsBackAsWritten)
{
    const QString texts[] = {
        QString(),
        QStringLiteral("ttyUSB0"),
        QStringLiteral("/home/user/Documents/"),
        QStringLiteral("C:\\Users\\me\\Documents\\"),
        QStringLiteral("/data/a, b/"),
        QStringLiteral("@Variant(\\0\\0\\0\\x2)"),
        QStringLiteral("@at the start"),
        QStringLiteral("  blanks around  "),
        QStringLiteral("semi;colon"),
        QStringLiteral("x=y"),
        QStringLiteral("#not a comment"),
        QStringLiteral("[MainApp]"),
        QStringLiteral("quote\"inside"),
        QStringLiteral("/home/\u00fcser/D\u00f6kumente \u20ac/"),
        QStringLiteral("two\nlines"),
        QStringLiteral("tab\there"),
    };
    auto store = MakeStore();
    store->Open();
    int n = 0;
    for (const QString &text : texts)
        store->WriteString(kSection, QStringLiteral("Text%1").arg(n++), text);
    store->WriteInteger(kSection, QStringLiteral("Smallest"), INT32_MIN);
    store->WriteInteger(kSection, QStringLiteral("Largest"), INT32_MAX);
    store->WriteBoolean(kSection, QStringLiteral("Yes"), true);
    store->WriteBoolean(kSection, QStringLiteral("No"), false);
    store->Close();

    store = MakeStore();
    store->Open();
    n = 0;
    for (const QString &text : texts) {
        const QString item = QStringLiteral("Text%1").arg(n++);
        EXPECT_EQ(store->ReadString(kSection, item, QStringLiteral("<default>")), text)
            << item.toStdString();
    }
    EXPECT_EQ(store->ReadInteger(kSection, QStringLiteral("Smallest"), 0), INT32_MIN);
    EXPECT_EQ(store->ReadInteger(kSection, QStringLiteral("Largest"), 0), INT32_MAX);
    // Integers and Booleans are kept as their texts.
    EXPECT_EQ(store->ReadString(kSection, QStringLiteral("Smallest"), QString()),
              QStringLiteral("-2147483648"));
    EXPECT_EQ(store->ReadString(kSection, QStringLiteral("Yes"), QString()), QStringLiteral("1"));
    EXPECT_EQ(store->ReadString(kSection, QStringLiteral("No"), QString()), QStringLiteral("0"));
    EXPECT_TRUE(store->ReadBoolean(kSection, QStringLiteral("Yes"), false));
    EXPECT_FALSE(store->ReadBoolean(kSection, QStringLiteral("No"), true));
    store->Close();
}

TEST_F(PreferenceStore, AValueOfAnotherTypeIsReplacedByText)
{
    WriteRaw(UserFile(), "[MainApp]\nTop=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\nLeft=1, 2\n"
                         "LastFolder=@Rect(1 2 3 4)\nInterfaceComPort=@ByteArray(ttyS0)\n");
    auto store = MakeStore();
    EXPECT_EQ(ReadPreferences(*store), kDefaults);
    WritePreferences(*store, QStringLiteral("ttyUSB1"), 55, 66, QStringLiteral("/f/"));
    EXPECT_EQ(ReadPreferences(*store), QStringLiteral("ttyUSB1|55|66|/f/"));
    QSettings raw(UserFile(), QSettings::IniFormat);
    raw.beginGroup(kSection);
    for (const char *item : {"Top", "Left", "LastFolder", "InterfaceComPort"})
        EXPECT_EQ(raw.value(QString::fromLatin1(item)).typeId(), QMetaType::QString) << item;
}

TEST_F(PreferenceStore, ReadOnlyRightsReadEverythingAndLoseEveryWrite)
{
    WriteRaw(UserFile(), "[MainApp]\nInterfaceComPort=ttyACM0\nTop=12\nLeft=34\n"
                         "LastFolder=/kept/\nFlag=1\n");
    const QByteArray before = ReadBytes(UserFile());
    auto store = MakeStore(rrCurrentUser, true);
    EXPECT_EQ(ReadPreferences(*store), QStringLiteral("ttyACM0|12|34|/kept/"));

    WritePreferences(*store, QStringLiteral("ttyUSB9"), 1, 2, QStringLiteral("/lost/"));
    store->Open();
    store->WriteBoolean(kSection, QStringLiteral("Flag"), false);
    store->WriteString(QStringLiteral("NewSection"), QStringLiteral("Item"), QStringLiteral("x"));
    EXPECT_FALSE(store->RemoveValue(kSection, QStringLiteral("Top")));
    store->Close();

    EXPECT_EQ(ReadPreferences(*store), QStringLiteral("ttyACM0|12|34|/kept/"));
    EXPECT_EQ(ReadBytes(UserFile()), before);

    // Without a file, read-only rights create none.
    RemoveStores();
    WritePreferences(*store, QStringLiteral("ttyUSB9"), 1, 2, QStringLiteral("/lost/"));
    EXPECT_FALSE(QFileInfo::exists(UserFile()));
}

TEST_F(PreferenceStore, RemoveValueTellsWhetherAValueWentAndTouchesNoOther)
{
    WriteRaw(UserFile(), "[MainApp]\nTop=12\nLeft=34\n[Other]\nTop=56\n");
    auto store = MakeStore();
    store->Open();
    EXPECT_TRUE(store->RemoveValue(kSection, QStringLiteral("Top")));
    EXPECT_FALSE(store->RemoveValue(kSection, QStringLiteral("Top")));
    EXPECT_FALSE(store->RemoveValue(kSection, QStringLiteral("Missing")));
    EXPECT_FALSE(store->RemoveValue(QStringLiteral("NoSuchSection"), QStringLiteral("Left")));
    EXPECT_FALSE(store->RemoveValue(kSection, QString()));
    store->Close();

    store->Open();
    EXPECT_EQ(store->ReadInteger(kSection, QStringLiteral("Top"), 100), 100);
    EXPECT_EQ(store->ReadInteger(kSection, QStringLiteral("Left"), 200), 34);
    EXPECT_EQ(store->ReadInteger(QStringLiteral("Other"), QStringLiteral("Top"), 100), 56);
    store->Close();

    // Removing from a store that does not exist creates nothing.
    RemoveStores();
    store->Open();
    EXPECT_FALSE(store->RemoveValue(kSection, QStringLiteral("Top")));
    store->Close();
    EXPECT_FALSE(QFileInfo::exists(UserFile()));
}

TEST_F(PreferenceStore, OutsideOpenAndCloseNothingIsReadOrWritten)
{
    WriteRaw(UserFile(), "[MainApp]\nTop=12\n");
    auto store = MakeStore();
    EXPECT_EQ(store->ReadInteger(kSection, QStringLiteral("Top"), 100), 100);
    store->WriteInteger(kSection, QStringLiteral("Top"), 99);
    EXPECT_FALSE(store->RemoveValue(kSection, QStringLiteral("Top")));
    store->Close(); // a Close without an Open does no harm
    EXPECT_EQ(ReadBytes(UserFile()), QByteArray("[MainApp]\nTop=12\n"));

    // Writes are kept by the Close.
    store->Open();
    store->WriteInteger(kSection, QStringLiteral("Top"), 99);
    store->Close();
    EXPECT_EQ(ReadPreferences(*store), QStringLiteral("<none>|99|200|<none>"));
}

// Whatever lies where the preferences should be, the program reads its defaults and goes on;
// a file it can write is written afresh.
TEST_F(PreferenceStore, ABrokenStoreReadsAsDefaultsAndNeverCrashes)
{
    struct Row
    {
        std::string name;
        QByteArray bytes;
    };
    std::vector<Row> rows = {
        {"empty", QByteArray()},
        {"NUL bytes", QByteArray(512, '\0')},
        {"section cut short", "[MainApp"},
        {"section without values", "[MainApp]\n\n\n"},
        {"invalid UTF-8", "[MainApp]\n\xff\xfe\xc3=\xc3\x28\n"},
        {"variant of an unknown type",
         "[MainApp]\nTop=@Variant(\\0\\0\\xff\\xff\\xff\\xff\\0\\0\\0)\n"
         "Left=@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\n"},
        {"variant cut short", "[MainApp]\nTop=@Variant(\\0\\0\nLeft=@Variant(\n"},
        {"one long line", QByteArray(1 << 20, 'x')},
        {"nothing but separators", QByteArray(4096, '=')},
    };
    std::mt19937 random(20261210);
    for (int i = 0; i < 24; ++i) {
        QByteArray bytes(4096, '\0');
        for (char &c : bytes)
            c = static_cast<char>(random() & 0xff);
        rows.push_back({"random bytes " + std::to_string(i), bytes});
    }
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        RemoveStores();
        WriteRaw(UserFile(), row.bytes);
        auto store = MakeStore();
        EXPECT_EQ(ReadPreferences(*store), kDefaults);
        WritePreferences(*store, QStringLiteral("ttyUSB0"), 10, 20, QStringLiteral("/w/"));
        EXPECT_EQ(ReadPreferences(*store), QStringLiteral("ttyUSB0|10|20|/w/"));
    }
}

TEST_F(PreferenceStore, AStoreThatCannotBeWrittenForgetsSilently)
{
    // A plain file where a folder of the path should be: nothing can be created below it.
    const QString blocker = TestHome() + QStringLiteral("/not-a-folder");
    WriteRaw(blocker, "x");
    TEnvOverride configHome("XDG_CONFIG_HOME", blocker + QStringLiteral("/config"));
    TEnvOverride configDirs("XDG_CONFIG_DIRS", blocker + QStringLiteral("/etc-xdg"));
    for (TRegistryRoot root : {rrCurrentUser, rrLocalMachine}) {
        SCOPED_TRACE(root == rrCurrentUser ? "user" : "machine");
        auto store = MakeStore(root);
        WritePreferences(*store, QStringLiteral("ttyUSB0"), 10, 20, QStringLiteral("/w/"));
        EXPECT_EQ(ReadPreferences(*store), kDefaults);
    }
    EXPECT_EQ(ReadBytes(blocker), QByteArray("x"));

    // A folder where the file should be: read as no file, and left as it is.
    TEnvOverride ownHome("XDG_CONFIG_HOME", TestHome() + QStringLiteral("/config"));
    QDir().mkpath(UserFile());
    auto store = MakeStore();
    EXPECT_EQ(ReadPreferences(*store), kDefaults);
    WritePreferences(*store, QStringLiteral("ttyUSB0"), 10, 20, QStringLiteral("/w/"));
    EXPECT_TRUE(QFileInfo(UserFile()).isDir());
    EXPECT_TRUE(QDir(UserFile()).isEmpty());
}

} // namespace

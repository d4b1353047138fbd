// SPDX-License-Identifier: MIT
// The settings-file manager against real files: the layout it writes, what it reads from
// good, odd and broken files and the messages it shows, saves that fail without harming the
// file that was there, and every file of the JSON test suite read as a settings file.
#include "core/Errors.h"
#include "core/SettingsTable.h"
#include "storage/JsonReader.h"
#include "storage/SettingsFileMngr.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

// QString::fromUtf8 drops a leading byte-order mark, so the mark is spelt as its character.
const QString kBom = QString(QChar(0xFEFF));

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file's text with a leading byte-order mark kept as its character.
QString ReadText(const QString &path)
{
    const QByteArray bytes = ReadBytes(path);
    return bytes.startsWith("\xEF\xBB\xBF") ? kBom + QString::fromUtf8(bytes.mid(3))
                                            : QString::fromUtf8(bytes);
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class SettingsFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        InitSettingsTable(table, nullptr);
        manager.ShowMessage = [this](const QString &text) {
            messages << text;
        };
        // As at start-up: the manager holds the table's names and firmware 2.0.
        manager.UpdateSettings(table, 2, 0);
    }

    QString Path(const QString &name) const { return dir.filePath(name); }

    std::map<std::string, int32_t> Values() const
    {
        std::map<std::string, int32_t> values;
        for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix) {
            const TSettingsRec rec = manager.GetSetting(ix);
            values[rec.ParamName.toStdString()] = rec.value;
        }
        return values;
    }

    // All sixteen zero except the ones given.
    static std::map<std::string, int32_t> ValuesWith(std::map<std::string, int32_t> some)
    {
        std::map<std::string, int32_t> values;
        for (const TSettingsDef &def : kSettingsDefs)
            values[def.name] = 0;
        for (const auto &[name, value] : some)
            values[name] = value;
        return values;
    }

    QTemporaryDir dir;
    TSettingsData table;
    TSettingsFileMngr manager;
    QStringList messages;
};

TEST_F(SettingsFileTest, SaveWritesTheEighteenPairsInTheFileLayout)
{
    const int32_t values[] = {0, 1, 10, 12, 128, 128, 400, 400, 100, 100, 500, 500, 0, 0, 96, 96};
    for (int ix = 1; ix <= 16; ++ix)
        table[ix].value = values[ix - 1];
    manager.UpdateSettings(table, 2, 0);
    const QString path = Path(QStringLiteral("example.tconf"));
    manager.SaveSettingsToFile(path);

    EXPECT_EQ(ReadBytes(path), (kBom + QStringLiteral("{\r\n"
                                                      "    \"RaAtype\": 0,\r\n"
                                                      "    \"RaBtype\": 1,\r\n"
                                                      "    \"GainA\": 10,\r\n"
                                                      "    \"GainB\": 12,\r\n"
                                                      "    \"LevelDetGainA\": 128,\r\n"
                                                      "    \"LevelDetGainB\": 128,\r\n"
                                                      "    \"DetLevelA\": 400,\r\n"
                                                      "    \"DetLevelB\": 400,\r\n"
                                                      "    \"PTTOnDelayA\": 100,\r\n"
                                                      "    \"PTTOnDelayB\": 100,\r\n"
                                                      "    \"PTTOffDelayA\": 500,\r\n"
                                                      "    \"PTTOffDelayB\": 500,\r\n"
                                                      "    \"ComType_A\": 0,\r\n"
                                                      "    \"ComType_B\": 0,\r\n"
                                                      "    \"Baud_A\": 96,\r\n"
                                                      "    \"Baud_B\": 96,\r\n"
                                                      "    \"FirmwareMajor\": 2,\r\n"
                                                      "    \"FirmwareMinor\": 0\r\n"
                                                      "}"))
                                   .toUtf8());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(SettingsFileTest, ASavedSetReadsBackUnchanged)
{
    for (int ix = 1; ix <= 16; ++ix)
        table[ix].value = ix * 7 - 50; // negative ones too
    table[16].value = INT32_MIN;
    manager.UpdateSettings(table, 1, 7);
    const QString path = Path(QStringLiteral("round.tconf"));
    manager.SaveSettingsToFile(path);

    TSettingsFileMngr other;
    TSettingsData names;
    InitSettingsTable(names, nullptr);
    other.UpdateSettings(names, 2, 0);
    other.ReadSettingsfromFile(path);
    for (int ix = 1; ix <= 16; ++ix)
        EXPECT_EQ(other.GetSetting(ix).value, table[ix].value) << ix;
    EXPECT_EQ(other.GetMajor(), 1);
    EXPECT_EQ(other.GetMinor(), 7);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(SettingsFileTest, UpdatesKeepOnePairPerKeyAfterTheLoadedFilesOwnPairs)
{
    const QString path = Path(QStringLiteral("own.tconf"));
    WriteBytes(path, R"({"Note": "mine", "GainA": 5, "Contacts": [], "FirmwareMajor": 1,
                        "Extra": {"x": [1, 2]}, "FirmwareMinor": 6, "GainA": 6})");
    manager.ReadSettingsfromFile(path);
    manager.UpdateSettings(table, 2, 1);

    QStringList keys;
    for (const TJsonPair &pair : manager.Document().Pairs())
        keys << QString::fromStdString(pair.key);
    QStringList expected = {QStringLiteral("Note"), QStringLiteral("Contacts"),
                            QStringLiteral("Extra")};
    for (const TSettingsDef &def : kSettingsDefs)
        expected << QString::fromLatin1(def.name);
    expected << QStringLiteral("FirmwareMajor") << QStringLiteral("FirmwareMinor");
    // Both of the file's "GainA" pairs make way for the set.
    EXPECT_EQ(keys, expected);

    manager.SaveSettingsToFile(path);
    const QString text = ReadText(path);
    EXPECT_TRUE(text.startsWith(kBom + QStringLiteral("{\r\n    \"Note\": \"mine\",\r\n"
                                                      "    \"Contacts\": [\r\n    ],\r\n"
                                                      "    \"Extra\": {\r\n"
                                                      "        \"x\": [\r\n"
                                                      "            1,\r\n"
                                                      "            2\r\n"
                                                      "        ]\r\n"
                                                      "    },\r\n    \"RaAtype\": 0,\r\n")))
        << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("\"FirmwareMajor\"")), 1);
    EXPECT_TRUE(text.endsWith(QStringLiteral("\"FirmwareMinor\": 1\r\n}")));
}

struct ReadCase
{
    const char *name;
    QByteArray content;
    std::map<std::string, int32_t> values; // besides these, all zero
    int32_t major;                         // after firmware 2.0 was held
    int32_t minor;
    QStringList messages; // %1 is the path
};

QByteArray Utf16(const QString &text, bool littleEndian)
{
    QByteArray out = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (const QChar c : text) {
        const char lo = static_cast<char>(c.unicode() & 0xFF);
        const char hi = static_cast<char>(c.unicode() >> 8);
        out.append(littleEndian ? lo : hi).append(littleEndian ? hi : lo);
    }
    return out;
}

const QString kSample = QStringLiteral(R"({"GainA": 4, "DetLevelB": 1023, "FirmwareMajor": 1,
                                          "FirmwareMinor": 7, "Comment": "R\u00e9sum\u00e9"})");
const std::map<std::string, int32_t> kSampleValues = {{"GainA", 4}, {"DetLevelB", 1023}};

const QString kConvert = QStringLiteral(
    "EConvertError error raised, with message : '%2' is not a valid integer value when reading %1");
const QString kCast = QStringLiteral(
    "EInvalidCast error raised, with message : Invalid class typecast when reading %1");
const QString kNull = QStringLiteral("property_value is Null when reading %1");

ReadCase kReadCases[] = {
    {"missing keys read 0 and keep the firmware", R"({"GainB": 12})", {{"GainB", 12}}, 2, 0, {}},
    {"keys are case-sensitive", R"({"raatype": 3, "RAATYPE": 3, "GainA ": 3})", {}, 2, 0, {}},
    {"a later pair overrides", R"({"GainA": 3, "GainA": 7})", {{"GainA", 7}}, 2, 0, {}},
    {"no range check",
     R"({"GainA": 999, "GainB": -3, "Baud_A": -2147483648, "Baud_B": 2147483647})",
     {{"GainA", 999}, {"GainB", -3}, {"Baud_A", INT32_MIN}, {"Baud_B", INT32_MAX}},
     2,
     0,
     {}},
    {"a fraction stops the walk",
     R"({"GainB": 2, "GainA": 1.5, "DetLevelA": 400})",
     {{"GainB", 2}},
     2,
     0,
     {kConvert.arg(QStringLiteral("%1"), QStringLiteral("1.5"))}},
    {"an exponent stops the walk",
     R"({"GainA": 1e2, "GainB": 1})",
     {},
     2,
     0,
     {kConvert.arg(QStringLiteral("%1"), QStringLiteral("1e2"))}},
    {"a value beyond 32 bits stops the walk",
     R"({"GainA": 2147483648})",
     {},
     2,
     0,
     {kConvert.arg(QStringLiteral("%1"), QStringLiteral("2147483648"))}},
    {"minus zero is zero", R"({"GainA": -0, "GainB": 1})", {{"GainB", 1}}, 2, 0, {}},
    {"a firmware fraction stops the walk",
     R"({"FirmwareMajor": 1, "FirmwareMinor": 0.5,
                                              "GainA": 4})",
     {},
     1,
     0,
     {kConvert.arg(QStringLiteral("%1"), QStringLiteral("0.5"))}},
    {"a string stops the walk",
     R"({"GainA": 2, "DetLevelA": "400", "GainB": 3})",
     {{"GainA", 2}},
     2,
     0,
     {kCast}},
    {"true stops the walk", R"({"RaAtype": true})", {}, 2, 0, {kCast}},
    {"an array stops the walk", R"({"RaAtype": [1]})", {}, 2, 0, {kCast}},
    {"an object stops the walk", R"({"FirmwareMajor": {}})", {}, 2, 0, {kCast}},
    {"null is reported and passed",
     R"({"GainB": null, "GainA": 5, "Other": null})",
     {{"GainA", 5}},
     2,
     0,
     {kNull, kNull}},
    {"values on both sides of a null",
     R"({"FirmwareMajor": 1, "GainA": 3, "Other": null, "GainA": 4, "FirmwareMinor": 2})",
     {{"GainA", 4}},
     1,
     2,
     {kNull}},
    {"other keys pass whatever they hold",
     R"({"x": "5", "y": [true, {}], "z": 1.5, "GainA": 1})",
     {{"GainA", 1}},
     2,
     0,
     {}},
    {"an empty file", "", {}, 2, 0, {}},
    {"a file that is not JSON", "RaAtype=3\r\nGainA=4\r\n", {}, 2, 0, {}},
    {"a byte-order mark only", "\xEF\xBB\xBF", {}, 2, 0, {}},
    {"cut inside a key", R"({"GainA": 4, "Gai)", {{"GainA", 4}}, 2, 0, {}},
    {"cut inside a value", R"({"GainA": 4, "DetLevelA": 40)", {{"GainA", 4}}, 2, 0, {}},
    {"firmware read from the file", R"({"FirmwareMajor": 1, "FirmwareMinor": 6})", {}, 1, 6, {}},
    {"UTF-8 with mark", kBom.toUtf8() + kSample.toUtf8(), kSampleValues, 1, 7, {}},
    {"UTF-8 without mark", kSample.toUtf8(), kSampleValues, 1, 7, {}},
    {"UTF-16 LE with mark", Utf16(kSample, true), kSampleValues, 1, 7, {}},
    {"UTF-16 BE with mark", Utf16(kSample, false), kSampleValues, 1, 7, {}},
};

class SettingsFileReadTest : public SettingsFileTest, public ::testing::WithParamInterface<ReadCase>
{
protected:
    // Values left from an earlier read must not survive into the case's own.
    static QByteArray Before()
    {
        return R"({"RaAtype": 5, "RaBtype": 5, "GainA": 5, "Baud_B": 5})";
    }

    void ExpectRead(const ReadCase &c, const QString &path)
    {
        EXPECT_EQ(Values(), ValuesWith(c.values));
        EXPECT_EQ(manager.GetMajor(), c.major);
        EXPECT_EQ(manager.GetMinor(), c.minor);
        QStringList expected;
        for (const QString &m : c.messages)
            expected << m.arg(path);
        EXPECT_EQ(messages, expected);
        // Names, ranges and setters are never read from a file.
        EXPECT_EQ(manager.GetSetting(3).ParamName, QStringLiteral("GainA"));
        EXPECT_EQ(manager.GetSetting(3).Maxval, 20);
    }
};

TEST_P(SettingsFileReadTest, ReadsValuesAndReportsAsTheFileSays)
{
    const ReadCase &c = GetParam();
    const QString before = Path(QStringLiteral("before.tconf"));
    WriteBytes(before, Before());
    manager.ReadSettingsfromFile(before);

    const QString path = Path(QStringLiteral("case.tconf"));
    WriteBytes(path, c.content);
    manager.ReadSettingsfromFile(path);
    ExpectRead(c, path);
}

// A file's bytes read from memory give what the file gives; the name is only for the messages,
// and nothing is made under it (a missing file read from disk would be created).
TEST_P(SettingsFileReadTest, ReadsTheSameFromMemoryWithoutTouchingTheDisk)
{
    const ReadCase &c = GetParam();
    manager.ReadSettingsFromBytes(Before(), Path(QStringLiteral("before.tconf")));
    const QString path = Path(QStringLiteral("case.tconf"));
    manager.ReadSettingsFromBytes(c.content, path);
    ExpectRead(c, path);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, SettingsFileReadTest, ::testing::ValuesIn(kReadCases),
                         [](const ::testing::TestParamInfo<ReadCase> &info) {
                             std::string name;
                             for (const char *p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST_F(SettingsFileTest, ReadingAMissingFileCreatesItFromTheDocument)
{
    table[3].value = 9; // not taken by the manager: the file holds what the manager held
    const QString path = Path(QStringLiteral("new.tconf"));
    manager.ReadSettingsfromFile(path);

    EXPECT_EQ(ReadBytes(path), (kBom + QStringLiteral("{\r\n"
                                                      "    \"RaAtype\": 0,\r\n"
                                                      "    \"RaBtype\": 0,\r\n"
                                                      "    \"GainA\": 0,\r\n"
                                                      "    \"GainB\": 0,\r\n"
                                                      "    \"LevelDetGainA\": 0,\r\n"
                                                      "    \"LevelDetGainB\": 0,\r\n"
                                                      "    \"DetLevelA\": 0,\r\n"
                                                      "    \"DetLevelB\": 0,\r\n"
                                                      "    \"PTTOnDelayA\": 0,\r\n"
                                                      "    \"PTTOnDelayB\": 0,\r\n"
                                                      "    \"PTTOffDelayA\": 0,\r\n"
                                                      "    \"PTTOffDelayB\": 0,\r\n"
                                                      "    \"ComType_A\": 0,\r\n"
                                                      "    \"ComType_B\": 0,\r\n"
                                                      "    \"Baud_A\": 0,\r\n"
                                                      "    \"Baud_B\": 0,\r\n"
                                                      "    \"FirmwareMajor\": 2,\r\n"
                                                      "    \"FirmwareMinor\": 0,\r\n"
                                                      "    \"Contacts\": [\r\n"
                                                      "    ]\r\n"
                                                      "}"))
                                   .toUtf8());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(Values(), ValuesWith({}));

    // Read back, the "Contacts" pair comes first in the next save.
    manager.ReadSettingsfromFile(path);
    manager.UpdateSettings(table, 2, 0);
    manager.SaveSettingsToFile(path);
    EXPECT_TRUE(
        ReadText(path).startsWith(kBom + QStringLiteral("{\r\n    \"Contacts\": [\r\n    ],\r\n"
                                                        "    \"RaAtype\": 0,\r\n")));
}

TEST_F(SettingsFileTest, AMissingFileThatCannotBeCreatedIsReportedWhenRewriting)
{
    const QString path = Path(QStringLiteral("no-such-folder/new.tconf"));
    manager.ReadSettingsfromFile(path);
    EXPECT_EQ(messages, QStringList{QStringLiteral("EInOutError error raised, with message : "
                                                   "Invalid filename when rewriting ") +
                                    path});
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_FALSE(manager.Document().Pairs().empty());
    EXPECT_EQ(manager.Document().Pairs().back().key, "Contacts");
}

// A save that fails is reported and leaves the file that was there as it was.
TEST_F(SettingsFileTest, AFailedSaveKeepsTheOldFile)
{
    const QString path = Path(QStringLiteral("keep.tconf"));
    table[3].value = 11;
    manager.UpdateSettings(table, 2, 0);
    manager.SaveSettingsToFile(path);
    const QByteArray old = ReadBytes(path);
    ASSERT_FALSE(old.isEmpty());
    table[3].value = 12;
    manager.UpdateSettings(table, 2, 0);

    // The file size limit: writes beyond it fail with EFBIG (the signal is ignored), as on a
    // full disk. A read-only folder would do too, but tests run as root.
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &previous), 0);
    struct rlimit limit = {}, saved = {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    limit = saved;
    limit.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    manager.SaveSettingsToFile(path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_EQ(messages, QStringList{QStringLiteral("EInOutError error raised, with message : "
                                                   "Disk full when writing ") +
                                    path});
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.tconf")})
        << "no temporary file is left behind";

    // Nothing of the manager changed: the next save writes the new value.
    messages.clear();
    manager.SaveSettingsToFile(path);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(ReadBytes(path).contains("\"GainA\": 12,"));
}

TEST_F(SettingsFileTest, SaveFailuresNameTheirCause)
{
    QDir(dir.path()).mkdir(QStringLiteral("folder.tconf"));
    WriteBytes(Path(QStringLiteral("plain")), "x");
    const struct
    {
        const char *name;
        QString path;
        QString cause;
    } cases[] = {
        {"folder missing", Path(QStringLiteral("gone/x.tconf")),
         QStringLiteral("Invalid filename")},
        {"a file where a folder should be", Path(QStringLiteral("plain/x.tconf")),
         QStringLiteral("Invalid filename")},
        {"a folder of that name", Path(QStringLiteral("folder.tconf")),
         QStringLiteral("File access denied")},
        {"no name", QString(), QStringLiteral("Invalid filename")},
    };
    for (const auto &c : cases) {
        messages.clear();
        manager.SaveSettingsToFile(c.path);
        EXPECT_EQ(messages,
                  QStringList{QStringLiteral("EInOutError error raised, with message : ") +
                              c.cause + QStringLiteral(" when writing ") + c.path})
            << c.name;
    }
}

// A Unix socket: it exists and is no folder, but cannot be opened as a file.
bool MakeSocketFile(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (static_cast<std::size_t>(name.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

TEST_F(SettingsFileTest, AFileThatCannotBeReadThrowsAndChangesNothing)
{
    const QString loaded = Path(QStringLiteral("loaded.tconf"));
    WriteBytes(loaded, R"({"Mine": 1, "GainA": 4, "FirmwareMajor": 1, "FirmwareMinor": 7})");
    manager.ReadSettingsfromFile(loaded);
    const TJsonValue document = manager.Document();

    const QString socketPath = Path(QStringLiteral("s.tconf"));
    ASSERT_TRUE(MakeSocketFile(socketPath));
    const QString fifoPath = Path(QStringLiteral("f.tconf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifoPath).constData(), 0600), 0);
    for (const QString &path : {socketPath, fifoPath, QStringLiteral("/dev/zero")}) {
        try {
            manager.ReadSettingsfromFile(path);
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const TError &e) {
            EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot open file \"") + path +
                                               QStringLiteral("\". ")))
                << e.Message().toStdString();
            EXPECT_GT(e.Message().size(), path.size() + 21) << "the reason is given";
        }
        EXPECT_EQ(manager.Document(), document);
        EXPECT_EQ(Values(), ValuesWith({{"GainA", 4}}));
        EXPECT_EQ(manager.GetMajor(), 1);
        EXPECT_EQ(manager.GetMinor(), 7);
    }
    EXPECT_TRUE(messages.isEmpty());
}

// A valid settings text of exactly `size` bytes: GainA, a kept value that is the bulk of the
// file (an array of zeros, the costliest shape to hold, or one long string), GainB, padded
// with blanks before the closing brace.
QByteArray SetWithKeptValue(qint64 size, bool array = true)
{
    const QByteArray head = array ? R"({"GainA": 4, "Kept": [0)" : R"({"GainA": 4, "Kept": ")";
    const QByteArray tail = array ? R"(], "GainB": 3})" : R"(", "GainB": 3})";
    QByteArray text = head;
    const qint64 bulk = size - head.size() - tail.size();
    text.reserve(size);
    if (array) {
        for (qint64 i = 0; i < bulk / 2; ++i)
            text += ",0";
    } else {
        text += QByteArray(bulk, 'x');
    }
    text += tail;
    text.insert(text.size() - 1, QByteArray(size - text.size(), ' '));
    return text;
}

// A file beyond the bound is refused before it is read, with the reason, and changes nothing;
// one of exactly the bound reads whole.
TEST_F(SettingsFileTest, AFileBeyondTheSizeBoundIsRefusedAndChangesNothing)
{
    const QString loaded = Path(QStringLiteral("loaded.tconf"));
    WriteBytes(loaded, R"({"Mine": 1, "GainA": 7, "FirmwareMajor": 1, "FirmwareMinor": 7})");
    manager.ReadSettingsfromFile(loaded);
    const TJsonValue document = manager.Document();

    const QString large = Path(QStringLiteral("large.tconf"));
    WriteBytes(large, SetWithKeptValue(TSettingsFileMngr::kMaxFileSize + 1, false));
    try {
        manager.ReadSettingsfromFile(large);
        ADD_FAILURE() << "no error";
    } catch (const TError &e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot open file \"") + large +
                                           QStringLiteral("\". File too large")))
            << e.Message().toStdString();
    }
    EXPECT_EQ(manager.Document(), document);
    EXPECT_EQ(Values(), ValuesWith({{"GainA", 7}}));
    EXPECT_EQ(manager.GetMajor(), 1);

    const QString bound = Path(QStringLiteral("bound.tconf"));
    WriteBytes(bound, SetWithKeptValue(TSettingsFileMngr::kMaxFileSize, false));
    manager.ReadSettingsfromFile(bound);
    EXPECT_EQ(Values(), ValuesWith({{"GainA", 4}, {"GainB", 3}}));
    EXPECT_TRUE(messages.isEmpty());
}

// Memory that runs out while a file is read is no end of the text: the pairs after that point
// are not zeros. The read fails with the reason and changes nothing. Run in a child process
// whose address space is capped a little above what it uses already.
TEST_F(SettingsFileTest, MemoryRunningOutIsAnErrorNotTheEndOfTheText)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves its shadow memory up front; a capped address "
                    "space makes it abort instead of failing the allocation";
#else
    const QString loaded = Path(QStringLiteral("loaded.tconf"));
    WriteBytes(loaded, R"({"Mine": 1, "GainA": 7, "FirmwareMajor": 1, "FirmwareMinor": 7})");
    manager.ReadSettingsfromFile(loaded);
    const TJsonValue document = manager.Document();
    // Within the size bound, but its thousands of array items need far more than the cap.
    const QString big = Path(QStringLiteral("big.tconf"));
    WriteBytes(big, SetWithKeptValue(TSettingsFileMngr::kMaxFileSize - 16));

    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto readUnderCap = [&] {
        long pages = 0;
        if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        if (pages <= 0)
            std::_Exit(10);
        const rlim_t cap = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + 24 * 1024 * 1024;
        const rlimit limit = {cap, cap};
        if (::setrlimit(RLIMIT_AS, &limit) != 0)
            std::_Exit(11);
        try {
            manager.ReadSettingsfromFile(big);
        } catch (const TError &e) {
            const bool unchanged = manager.Document() == document && manager.GetMajor() == 1 &&
                                   Values() == ValuesWith({{"GainA", 7}}) && messages.isEmpty();
            const bool said = e.Message() == QStringLiteral("Cannot open file \"") + big +
                                                 QStringLiteral("\". Out of memory");
            std::fprintf(stderr, "%s (document %s)\n", e.Message().toLocal8Bit().constData(),
                         unchanged ? "unchanged" : "changed");
            std::_Exit(unchanged && said ? 0 : 2);
        } catch (...) {
            std::_Exit(3);
        }
        std::_Exit(1); // read as if the text had ended where memory ran out
    };
    EXPECT_EXIT(readUnderCap(), ::testing::ExitedWithCode(0), "");
#endif
}

// Saving follows a link to a regular file and writes the file behind it; the link stays.
// Anything else that is not a regular file, or a link to it, is never written or replaced:
// the save says so and the entry is as it was.
TEST_F(SettingsFileTest, SavingNeverWritesOntoAnythingButARegularFile)
{
    const QString target = Path(QStringLiteral("target.tconf"));
    WriteBytes(target, "old");
    const QString link = Path(QStringLiteral("link.tconf"));
    ASSERT_TRUE(QFile::link(target, link));
    messages.clear();
    manager.SaveSettingsToFile(link);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
    EXPECT_TRUE(ReadBytes(target).startsWith("\xEF\xBB\xBF{"));

    struct TMaker
    {
        const char *name;
        std::function<bool(const QString &)> make;
    };
    std::vector<TMaker> makers = {
        {"fifo",
         [](const QString &path) {
             return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
         }},
        {"socket",
         [](const QString &path) {
             return MakeSocketFile(path);
         }},
    };
    if (::geteuid() == 0)
        makers.push_back({"character device", [](const QString &path) {
                              // The numbers of the null device, in our own folder.
                              return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0600,
                                             makedev(1, 3)) == 0;
                          }});
    const auto identity = [](const QString &path) {
        struct stat st
        {};
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
            return std::tuple<ino_t, mode_t, dev_t>{0, 0, 0};
        return std::tuple<ino_t, mode_t, dev_t>{st.st_ino, st.st_mode, st.st_rdev};
    };
    int n = 0;
    for (const TMaker &maker : makers) {
        for (const bool throughLink : {false, true}) {
            SCOPED_TRACE(std::string(maker.name) + (throughLink ? " behind a link" : ""));
            const QString entry = Path(QStringLiteral("entry%1").arg(n++));
            ASSERT_TRUE(maker.make(entry));
            QString path = entry;
            if (throughLink) {
                path = entry + QStringLiteral(".link");
                ASSERT_TRUE(QFile::link(entry, path));
            }
            const auto entryBefore = identity(entry);
            const auto pathBefore = identity(path);
            messages.clear();
            manager.SaveSettingsToFile(path);
            EXPECT_EQ(messages, QStringList{QStringLiteral("EInOutError error raised, with "
                                                           "message : Not a regular file when "
                                                           "writing ") +
                                            path});
            EXPECT_EQ(identity(entry), entryBefore);
            EXPECT_EQ(identity(path), pathBefore);
        }
    }
}

// Editors on Linux write UTF-8 without a byte-order mark: such a file's text is UTF-8, and a
// kept pair comes back from a save as it was, not as its bytes read one by one.
TEST_F(SettingsFileTest, UnmarkedUtf8KeepsItsCharactersThroughLoadAndSave)
{
    const QByteArray greeting = "Gr\xC3\xBC\xC3\x9F"
                                "e"; // "Grüße"
    const QString path = Path(QStringLiteral("unmarked.tconf"));
    WriteBytes(path, "{\"Greeting\": \"" + greeting + "\", \"GainA\": 5}");
    manager.ReadSettingsfromFile(path);
    ASSERT_FALSE(manager.Document().Pairs().empty());
    EXPECT_EQ(manager.Document().Pairs()[0].value.Text(), greeting.toStdString());

    const QString saved = Path(QStringLiteral("saved.tconf"));
    manager.UpdateSettings(table, 2, 0);
    manager.SaveSettingsToFile(saved);
    TSettingsFileMngr again;
    again.ReadSettingsfromFile(saved);
    ASSERT_FALSE(again.Document().Pairs().empty());
    EXPECT_EQ(again.Document().Pairs()[0].value.Text(), greeting.toStdString());
    EXPECT_TRUE(messages.isEmpty());
}

// A kept pair with a number too large for a double is written back ahead of the parameters:
// the saved file must read back with its parameters, not stop at that number.
TEST_F(SettingsFileTest, AHugeNumberInAKeptPairLosesNoParameterThroughLoadAndSave)
{
    const QString path = Path(QStringLiteral("huge.tconf"));
    WriteBytes(path, R"({"GainA": 4, "X": 1e99999, "GainB": 6})");
    manager.ReadSettingsfromFile(path);
    EXPECT_EQ(Values(), ValuesWith({{"GainA", 4}, {"GainB", 6}}));

    TSettingsData read;
    for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix)
        read[ix] = manager.GetSetting(ix);
    manager.UpdateSettings(read, manager.GetMajor(), manager.GetMinor());
    const QString saved = Path(QStringLiteral("saved.tconf"));
    manager.SaveSettingsToFile(saved);
    TSettingsFileMngr again;
    again.ShowMessage = [this](const QString &text) {
        messages << text;
    };
    again.UpdateSettings(table, 2, 0);
    again.ReadSettingsfromFile(saved);
    for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix)
        EXPECT_EQ(again.GetSetting(ix).value, read[ix].value) << ix;
    ASSERT_FALSE(again.Document().Pairs().empty());
    EXPECT_EQ(again.Document().Pairs()[0].value.Text(), "1e99999");
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(SettingsFileTest, NestingTooDeepThrowsAndKeepsThePairsBeforeIt)
{
    const QString loaded = Path(QStringLiteral("loaded.tconf"));
    WriteBytes(loaded, R"({"GainA": 4, "FirmwareMajor": 1, "FirmwareMinor": 7})");
    manager.ReadSettingsfromFile(loaded);

    const QString path = Path(QStringLiteral("deep.tconf"));
    WriteBytes(path, "{\"GainB\": 3, \"deep\": " + QByteArray(512, '[') + QByteArray(512, ']') +
                         ", \"GainA\": 1}");
    try {
        manager.ReadSettingsfromFile(path);
        ADD_FAILURE() << "no error";
    } catch (const TError &e) {
        EXPECT_EQ(e.Message(),
                  QStringLiteral("The nesting level of JSON arrays / objects is greater than 512"));
    }
    ASSERT_EQ(manager.Document().Pairs().size(), 1u);
    EXPECT_EQ(manager.Document().Pairs()[0].key, "GainB");
    EXPECT_EQ(Values(), ValuesWith({{"GainA", 4}}));
    EXPECT_EQ(manager.GetMajor(), 1);
    EXPECT_TRUE(messages.isEmpty());
}

// Every file of the JSON test suite, read as a settings file, gives a defined result and
// never crashes or hangs: the document holds what came before the first error, values the
// file does not give are 0. A file that parses as an object saves and reads back the same.
TEST_F(SettingsFileTest, EveryFileOfTheJsonTestSuiteReadsToADefinedResult)
{
    const QString corpus = qEnvironmentVariable("TANDOR_CORPUS");
    if (corpus.isEmpty())
        GTEST_SKIP() << "TANDOR_CORPUS names the corpus folder (set by ctest)";
    const QDir folder(corpus + QStringLiteral("/json-test-suite/test_parsing"));
    // The corpus lies beside the project, not in it: a clone elsewhere has none.
    if (!folder.exists())
        GTEST_SKIP() << "no JSON test suite at " << folder.path().toStdString();
    const QStringList files = folder.entryList({QStringLiteral("*.json")}, QDir::Files);
    ASSERT_GE(files.size(), 300);

    QElapsedTimer clock;
    clock.start();
    int objects = 0;
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        const QString path = folder.filePath(name);
        messages.clear();
        bool tooDeep = false;
        try {
            manager.ReadSettingsfromFile(path);
        } catch (const TError &e) {
            tooDeep = true;
            EXPECT_EQ(e.Message(),
                      QStringLiteral("The nesting level of JSON arrays / objects is greater "
                                     "than 512"));
        }
        const QByteArray raw = ReadBytes(path);
        qsizetype start = raw.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        while (start < raw.size() && std::strchr(" \t\r\n", raw[start]) && raw[start] != 0)
            ++start;
        const bool object = start < raw.size() && raw[start] == '{';
        if (!object) {
            EXPECT_TRUE(manager.Document().Pairs().empty());
        }
        if (!tooDeep) {
            EXPECT_EQ(Values(), ValuesWith({}));
        }
        EXPECT_EQ(manager.GetMajor(), 2);
        for (const QString &m : messages)
            EXPECT_TRUE(m.startsWith(QStringLiteral("property_value is Null when reading ")))
                << m.toStdString();

        // Objects the suite says must parse are read whole and survive a save unchanged.
        if (name.startsWith(QLatin1String("y_")) && object) {
            ++objects;
            const std::string text = raw.toStdString();
            EXPECT_TRUE(ReadJsonObject(text).complete);
            const TJsonValue document = manager.Document();
            const QString copy = Path(QStringLiteral("copy.tconf"));
            manager.SaveSettingsToFile(copy);
            manager.ReadSettingsfromFile(copy);
            EXPECT_EQ(manager.Document(), document);
        }
        manager.UpdateSettings(table, 2, 0);
    }
    EXPECT_GT(objects, 10);
    EXPECT_LT(clock.elapsed(), 20000);
}

} // namespace

// SPDX-License-Identifier: MIT
// Fuzzes the settings-file reader: arbitrary bytes as the whole content of a settings file,
// read from memory through the code that reads every file the program loads (the manager's
// ReadSettingsFromBytes, which ReadSettingsfromFile calls with the file's bytes), by a manager
// set up as the main window sets up its own (the parameter table's names, firmware 2.0) and
// kept, like the window's, from one input to the next.
// Whatever the bytes, reading either throws TError or gives values. When it gave values without
// a message, saving what was read and reading the saved text back must give the same sixteen
// values and the same firmware version, again without a message, and saving that again must
// give the same bytes: the program's own files always load as they were saved. Most inputs
// save a text met shortly before (a mutation in white space, in a pair cut off by a syntax
// error, in a value the program does not keep), and a saved text already read back is not
// read back again (see TCheckedTexts).
//
//   fuzz_settings_file --write-seeds=DIR   writes settings files as the program writes them
#include "FuzzSupport.h"

#include "core/Errors.h"
#include "core/SettingsTable.h"
#include "storage/JsonWriter.h"
#include "storage/SettingsFileMngr.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Names the input in the manager's messages; no file of that name is ever made.
const QString kInputName = QStringLiteral("input.tconf");

TSettingsData DefaultTable()
{
    TSettingsData data;
    InitSettingsTable(data, [](int) { return tProc{}; });
    return data;
}

// A manager as the main window makes one: the table it starts with, no message box.
std::unique_ptr<TSettingsFileMngr> MakeManager(int *messages, QString *lastMessage)
{
    static const TSettingsData defaults = DefaultTable();
    auto manager = std::make_unique<TSettingsFileMngr>();
    manager->ShowMessage = [messages, lastMessage](const QString &text) {
        ++*messages;
        *lastMessage = text;
    };
    manager->UpdateSettings(defaults, 2, 0);
    return manager;
}

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        std::exit(2);
    }
    return file.readAll();
}

void WriteSeeds(const QString &folder)
{
    QTemporaryDir scratch;
    int messages = 0;
    QString last;
    const auto save = [&](const QString &name, TSettingsData data, int32_t major, int32_t minor) {
        auto manager = MakeManager(&messages, &last);
        manager->UpdateSettings(data, major, minor);
        const QString path = scratch.filePath(name);
        manager->SaveSettingsToFile(path);
        WriteSeed(folder, name, ReadBytes(path));
    };

    save(QStringLiteral("defaults.tconf"), DefaultTable(), 2, 0);
    TSettingsData data = DefaultTable();
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i)
        data[i].value = data[i].Maxval;
    save(QStringLiteral("maxima.tconf"), data, 3, 1);
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i)
        data[i].value = (i % 3 == 0) ? -1 : (i % 3 == 1) ? 2147483647 : -2147483647 - 1;
    save(QStringLiteral("extremes.tconf"), data, 1, 9);

    {
        // The file the program makes when it reads one that is missing.
        auto manager = MakeManager(&messages, &last);
        const QString path = scratch.filePath(QStringLiteral("created.tconf"));
        manager->ReadSettingsfromFile(path);
        WriteSeed(folder, QStringLiteral("created.tconf"), ReadBytes(path));
    }
    {
        // A loaded file's other pairs are written back ahead of the parameters.
        const QString path = scratch.filePath(QStringLiteral("kept.tconf"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            std::exit(2);
        file.write("{\"Comment\": \"caf\\u00e9 \xe2\x82\xac\", \"GainA\": 7,"
                   " \"Contacts\": [{\"Name\": \"A\", \"Nr\": [1, 2.5e3, -0.0, true, false]}],"
                   " \"Nested\": {\"a\": {\"b\": [[[]]]}}, \"FirmwareMinor\": 4}");
        file.close();
        auto manager = MakeManager(&messages, &last);
        manager->ReadSettingsfromFile(path);
        TSettingsData read;
        for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i)
            read[i] = manager->GetSetting(i);
        manager->UpdateSettings(read, manager->GetMajor(), manager->GetMinor());
        manager->SaveSettingsToFile(path);
        WriteSeed(folder, QStringLiteral("kept.tconf"), ReadBytes(path));
    }
    if (messages != 0) {
        std::fprintf(stderr, "writing the seeds reported: %s\n", qPrintable(last));
        std::exit(2);
    }
}

// The window keeps one manager for the whole session and reads every file through it; so do
// these two, so that what one input leaves in a manager (the document, the firmware version
// of a file that named none) is where the next begins.
struct TManager
{
    int messages = 0;
    QString lastMessage;
    std::unique_ptr<TSettingsFileMngr> manager;
};
TManager *gFirst = nullptr;
TManager *gSecond = nullptr;

TManager *NewManager()
{
    auto *m = new TManager;
    m->manager = MakeManager(&m->messages, &m->lastMessage);
    return m;
}

// The saved texts whose round trip held, most recent per slot. The outcome of the round trip
// is a function of the saved text alone: the text ends with the sixteen values and the firmware
// version that the check compares against, so equal texts mean equal expectations, whatever
// state the first manager carried into the input to produce it; and the second manager's
// reading depends on the text alone but for its firmware version, which stays from the file
// it read before when the text holds none. Ahead of every read back the second manager is
// therefore given a firmware version other than the one saved: a read that stops short of the
// version fails the check whatever came before. Texts are compared whole, not by hash, so a
// text that was never checked is never taken for one that was. A slot holds one text (a
// few kilobytes at most), so the table stays within some megabytes however long the run.
class TCheckedTexts
{
public:
    bool Contains(const QByteArray &text) const { return Slot(text) == text; }
    void Add(const QByteArray &text) { Slot(text) = text; }

private:
    static constexpr std::size_t kSlots = 16384;
    QByteArray &Slot(const QByteArray &text) { return fSlots[qHash(text) % kSlots]; }
    const QByteArray &Slot(const QByteArray &text) const { return fSlots[qHash(text) % kSlots]; }

    std::array<QByteArray, kSlots> fSlots;
};
TCheckedTexts *gChecked = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    const QString seeds = SeedFolderArgument(*argc, *argv);
    if (!seeds.isEmpty()) {
        WriteSeeds(seeds);
        std::exit(0);
    }
    UsePrivateHome();
    QuietQtMessages();
    gFirst = NewManager();
    gSecond = NewManager();
    gChecked = new TCheckedTexts;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TSettingsFileMngr *first = gFirst->manager.get();
    int &messages = gFirst->messages;
    messages = 0;
    try {
        first->ReadSettingsFromBytes(
            QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)),
            kInputName);
    } catch (const TError &) {
        // Too deeply nested, too large or out of memory: reported to the user by the caller,
        // nothing more to check.
        return 0;
    }
    if (messages != 0)
        return 0; // a value that is no integer, or a null: the user was told
    if (first->Document().Pairs().empty())
        return 0; // nothing read: saving gives the manager's own pairs, round-tripped already

    // What SaveSettingsToFile writes, after the window handed the values back.
    TSettingsData read;
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i)
        read[i] = first->GetSetting(i);
    first->UpdateSettings(read, first->GetMajor(), first->GetMinor());
    const QByteArray saved = WriteSettingsJson(first->Document());
    if (gChecked->Contains(saved))
        return 0;

    TSettingsFileMngr *second = gSecond->manager.get();
    second->UpdateSettings(read, ~first->GetMajor(), ~first->GetMinor());
    gSecond->messages = 0;
    try {
        second->ReadSettingsFromBytes(saved, kInputName);
    } catch (const TError &e) {
        FuzzFail(__FILE__, __LINE__, QStringLiteral("saved file unreadable: ") + e.Message());
    }
    FUZZ_CHECK(gSecond->messages == 0, gSecond->lastMessage);
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i)
        FUZZ_CHECK(second->GetSetting(i).value == read[i].value,
                   QStringLiteral("parameter %1: %2 saved, %3 read back")
                       .arg(i)
                       .arg(read[i].value)
                       .arg(second->GetSetting(i).value));
    FUZZ_CHECK(second->GetMajor() == first->GetMajor() && second->GetMinor() == first->GetMinor(),
               QStringLiteral("firmware %1.%2 saved, %3.%4 read back")
                   .arg(first->GetMajor())
                   .arg(first->GetMinor())
                   .arg(second->GetMajor())
                   .arg(second->GetMinor()));

    TSettingsData again;
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i)
        again[i] = second->GetSetting(i);
    second->UpdateSettings(again, second->GetMajor(), second->GetMinor());
    const QByteArray resaved = WriteSettingsJson(second->Document());
    FUZZ_CHECK(resaved == saved, QStringLiteral("saved %1 bytes, saved again %2 bytes differing")
                                     .arg(saved.size())
                                     .arg(resaved.size()));
    gChecked->Add(saved);
    return 0;
}

// SPDX-License-Identifier: MIT
// The main window coming up from the preferences of the last run and going down again: where
// it opens, the port it selects, the folder its dialogs open in, and, at exit, the interface
// told to be quiet, the preferences and the last settings written.
#include "app/SignalClose.h"
#include "core/ComStates.h"
#include "core/SettingsTable.h"
#include "link/ComPort.h"
#include "ports/DeviceNotifier.h"
#include "storage/GetSysDirs.h"
#include "storage/KVTRegStore.h"
#include "storage/SettingsFileMngr.h"
#include "support/EnvOverride.h"
#include "support/PtyPeer.h"
#include "support/RecordingSeam.h"
#include "support/SettingsSets.h"
#include "support/TestEnv.h"
#include "support/WindowTimers.h"
#include "ui/ComboBox.h"
#include "ui/TandorMain.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <array>
#include <csignal>
#include <functional>
#include <optional>
#include <ostream>
#include <random>
#include <utility>

// Readable QStrings in failure messages (a carriage return shows as \r).
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << QString(text).replace(QLatin1Char('\r'), QStringLiteral("\\r")).toStdString()
        << '"';
}

namespace {

using F = TMerrowMainForm;

const QString kSection = QStringLiteral("MainApp");

QString DocumentsFolder()
{
    return TestHome() + QStringLiteral("/Documents");
}

QString LastSettingsFile()
{
    return DocumentsFolder() + QStringLiteral("/TandorLastSettings.tconf");
}

QString PreferenceFile()
{
    return TestHome() + QStringLiteral("/config/MerrowConfig.conf");
}

// Writes the preference file by hand; each content gets a modification time of its own, so
// that a cached copy of an earlier one is never taken for it.
void WritePreferenceFile(const QByteArray &bytes)
{
    static int stamp = 0;
    QDir().mkpath(QFileInfo(PreferenceFile()).absolutePath());
    QFile file(PreferenceFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-100000 + ++stamp),
                                 QFileDevice::FileModificationTime));
}

void WritePreferences(const QString &port, int top, int left, const QString &folder)
{
    TKVTRegistryStore store;
    store.SetKeyName(QStringLiteral("Software\\MerrowConfig"));
    store.Open();
    store.WriteString(kSection, QStringLiteral("InterfaceComPort"), port);
    store.WriteInteger(kSection, QStringLiteral("Top"), top);
    store.WriteInteger(kSection, QStringLiteral("Left"), left);
    store.WriteString(kSection, QStringLiteral("LastFolder"), folder);
    store.Close();
}

// The four preferences as the next start reads them, each with the type it has in the file.
QStringList ReadPreferences()
{
    QSettings raw(PreferenceFile(), QSettings::IniFormat);
    raw.beginGroup(kSection);
    QStringList values;
    for (const char *item : {"InterfaceComPort", "Top", "Left", "LastFolder"}) {
        const QVariant value = raw.value(QString::fromLatin1(item));
        values << (value.typeId() == QMetaType::QString ? value.toString()
                                                        : QStringLiteral("<not text>"));
    }
    return values;
}

class StartupShutdownTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(PreferenceFile());
        QFile::remove(LastSettingsFile());
    }

    void TearDown() override
    {
        if (form)
            form->ComPort1->Close();
        form.reset();
        QFile::remove(PreferenceFile());
        QFile::remove(LastSettingsFile());
    }

    // Builds the window as the program does; its creation handler has run on return.
    void MakeForm()
    {
        if (form)
            form->ComPort1->Close();
        form.reset();
        seam = new TRecordingSeam;
        form = std::make_unique<F>(seam);
    }

    // Shows the window with every timer stopped: nothing but the test's own steps happens.
    void ShowStill()
    {
        StopWindowTimers(*form);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
    }

    void OpenPort()
    {
        ASSERT_TRUE(peer.IsValid());
        form->fComPort = peer.PortName();
        form->OpenSavedPort();
        ASSERT_TRUE(form->ComPort1->Active());
        QCoreApplication::processEvents();
        peer.ReadAvailable();
        peer.ClearReceived();
    }

    void MoveTo(const QPoint &at)
    {
        form->move(at);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->pos() == at; }));
    }

    void ShowValues(const TValues &values)
    {
        for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix)
            form->SettingsData[ix].Setter(values[ix - 1], ix);
        ASSERT_EQ(TableValues(*form), values);
    }

    TRecordingSeam *seam = nullptr; // owned by the form
    std::unique_ptr<F> form;
    TPtyPeer peer{QStringLiteral("startup0")};
};

// Nothing usable in the preferences: the window opens at its default place with no port
// chosen, its dialogs in the documents folder, the choices of firmware 2.0 and an empty table
// that the settings-file manager holds as well.
TEST_F(StartupShutdownTest, WithoutUsablePreferencesTheWindowStartsFromItsDefaults)
{
    struct Row
    {
        std::string name;
        std::optional<QByteArray> file; // none: no file
    };
    std::vector<Row> rows = {
        {"first run", std::nullopt},
        {"empty file", QByteArray()},
        {"numbers that are none", "[MainApp]\nTop=abc\nLeft=\nInterfaceComPort=\nLastFolder=\n"},
        {"values of other types", "[MainApp]\nTop=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n"
                                  "Left=1, 2\nInterfaceComPort=@ByteArray(ttyS0)\n"
                                  "LastFolder=@Rect(1 2 3 4)\n"},
        {"other section only", "[Other]\nTop=5\nLeft=6\n"},
    };
    std::mt19937 random(1210);
    for (int i = 0; i < 4; ++i) {
        QByteArray bytes(4096, '\0');
        for (char &c : bytes)
            c = static_cast<char>(random() & 0xff);
        rows.push_back({"random bytes " + std::to_string(i), bytes});
    }
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(PreferenceFile());
        if (row.file)
            WritePreferenceFile(*row.file);
        MakeForm();
        EXPECT_EQ(form->pos(), QPoint(200, 100));
        EXPECT_TRUE(form->fComPort.isEmpty());
        EXPECT_EQ(form->ComComboBox1->ItemIndex(), -1);
        EXPECT_FALSE(form->ComPort1->Active());
        EXPECT_EQ(form->fUserDataFolder, DocumentsFolder());
        EXPECT_EQ(form->fLastFolder, DocumentsFolder());
        EXPECT_EQ(form->fComState, csNotOpened);
        EXPECT_EQ(form->fComDataTimeoutCnt, 0);
        EXPECT_FALSE(form->fchangingDetLevelA);
        EXPECT_FALSE(form->fchangingDetLevelB);
        EXPECT_NE(form->DeviceNotifier, nullptr);
        EXPECT_EQ(form->fVersionMain, 2);
        EXPECT_EQ(form->fVersionMinor, 0);
        EXPECT_EQ(form->lbVersion->text(), QStringLiteral("Firmware version: 2.0"));
        EXPECT_EQ(form->cmb_RaAtype->count(), 6);
        ASSERT_NE(form->SettingsFileManager, nullptr);
        for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix) {
            const TSettingsRec &rec = form->SettingsData[ix];
            EXPECT_EQ(rec.ParamName, QString::fromLatin1(kSettingsDefs[ix - 1].name));
            EXPECT_EQ(rec.value, 0);
            EXPECT_TRUE(rec.Setter);
            // The manager holds the same names, ranges and setters from the start.
            const TSettingsRec held = form->SettingsFileManager->GetSetting(ix);
            EXPECT_EQ(held.ParamName, rec.ParamName);
            EXPECT_EQ(held.Maxval, rec.Maxval);
            EXPECT_TRUE(held.Setter);
        }
        EXPECT_EQ(form->SettingsFileManager->GetMajor(), 2);
        EXPECT_EQ(form->SettingsFileManager->GetMinor(), 0);
        EXPECT_TRUE(seam->messages.empty());
        ShowStill();
        EXPECT_EQ(form->pos(), QPoint(200, 100));
    }
}

TEST_F(StartupShutdownTest, SavedPreferencesPlaceTheWindowAndSelectThePortWithoutOpeningIt)
{
    ASSERT_TRUE(peer.IsValid());
    struct Row
    {
        const char *name;
        QString port;
        QPoint at; // left, top
        QString folder;
        bool listed;
    };
    const Row rows[] = {
        {"port present", peer.PortName(), {411, 37}, QStringLiteral("/srv/sets/"), true},
        {"far off the desktop", peer.PortName(), {50000, -3000}, QStringLiteral("/x/"), true},
        {"port gone", QStringLiteral("ttyTandorGone9"), {0, 0}, QStringLiteral("/y/"), false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        WritePreferences(row.port, row.at.y(), row.at.x(), row.folder);
        MakeForm();
        EXPECT_EQ(form->pos(), row.at);
        EXPECT_EQ(form->fComPort, row.port);
        EXPECT_EQ(form->fLastFolder, row.folder);
        if (row.listed) {
            EXPECT_EQ(form->ComComboBox1->currentText(),
                      row.port + QStringLiteral("  Virtual serial port"));
        } else {
            EXPECT_EQ(form->ComComboBox1->ItemIndex(), -1);
        }
        // The connection timer opens the port later, not the start-up.
        EXPECT_FALSE(form->ComPort1->Active());
        EXPECT_EQ(form->fComState, csNotOpened);
        EXPECT_TRUE(form->tmComState->isActive());
        EXPECT_TRUE(seam->messages.empty());
    }
}

TEST_F(StartupShutdownTest, TheDocumentsFolderIsCreatedWhenMissing)
{
    QFile::remove(LastSettingsFile());
    ASSERT_TRUE(QDir(DocumentsFolder()).removeRecursively());
    MakeForm();
    EXPECT_TRUE(QFileInfo(DocumentsFolder()).isDir());
    EXPECT_EQ(form->fUserDataFolder, DocumentsFolder());
    EXPECT_EQ(form->LastSettingsPath(), LastSettingsFile());
}

TEST_F(StartupShutdownTest, ADocumentsFolderThatCannotBeMadeLeavesTheFoldersEmpty)
{
    EXPECT_EQ(GetSpecialFolderPath(CSIDL_PERSONAL_CREATE), DocumentsFolder());
    EXPECT_TRUE(GetSpecialFolderPath(0x0005).isEmpty()); // no other folder is known
    // A plain file where the home folder should be: no documents folder can be made below it.
    const QString blocker = TestHome() + QStringLiteral("/no-home");
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    {
        TEnvOverride home("HOME", blocker + QStringLiteral("/home"));
        EXPECT_TRUE(GetSpecialFolderPath(CSIDL_PERSONAL_CREATE).isEmpty());
        MakeForm();
    }
    EXPECT_TRUE(form->fUserDataFolder.isEmpty());
    EXPECT_TRUE(form->fLastFolder.isEmpty());
    // No last-settings file then, rather than one at the root of the file system: the exit
    // says that it could not be written, and where it tried.
    const QString tried = blocker + QStringLiteral("/home/Documents/TandorLastSettings.tconf");
    EXPECT_EQ(form->LastSettingsPath(), tried);
    EXPECT_TRUE(seam->messages.empty());
    const bool atRootBefore = QFile::exists(QStringLiteral("/TandorLastSettings.tconf"));
    form->close();
    EXPECT_EQ(QFile::exists(QStringLiteral("/TandorLastSettings.tconf")), atRootBefore);
    EXPECT_EQ(seam->MessageTexts(),
              QStringList{QStringLiteral("EInOutError error raised, with message : "
                                         "Invalid filename when writing ") +
                          tried});
    QFile::remove(blocker);
}

// A termination signal (the session ends) while one of a load's messages is shown: the exit
// waits for the load to end, then saves what the window shows, the loaded set, not the one
// from before the load.
TEST_F(StartupShutdownTest, ATerminationSignalDuringALoadClosesOnceTheLoadHasEnded)
{
    class TSignalSeam : public TRecordingSeam
    {
    public:
        void ShowMessage(QWidget *parent, TMessageKind kind, const QString &text) override
        {
            TRecordingSeam::ShowMessage(parent, kind, text);
            if (onMessage)
                onMessage();
        }
        std::function<void()> onMessage;
    };
    form.reset();
    auto *signalSeam = new TSignalSeam;
    seam = signalSeam;
    form = std::make_unique<F>(seam);
    ShowStill();
    CloseOnTerminationSignals(form.get());
    const TValues before = {1, 0, 5, 6, 7, 8, 300, 400, 100, 200, 300, 400, 0, 1, 96, 192};
    ShowValues(before);

    // A file whose last pair is no number: reading it shows a message in the middle of the
    // load, after the sixteen values.
    const TValues loaded = {2, 1, 3, 4, 9, 10, 200, 300, 50, 150, 250, 350, 1, 0, 64, 128};
    QByteArray text = "{\"FirmwareMajor\": 2";
    for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix)
        text += ", \"" + form->SettingsData[ix].ParamName.toUtf8() +
                "\": " + QByteArray::number(loaded[ix - 1]);
    text += ", \"FirmwareMinor\": \"0\"}";
    const QString path = TestHome() + QStringLiteral("/during-load.tconf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();

    struct TCloseWatch : QObject
    {
        int closeEvents = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Close)
                ++closeEvents;
            return false;
        }
    } watch;
    form->installEventFilter(&watch);
    bool signalled = false;
    signalSeam->onMessage = [&] {
        if (std::exchange(signalled, true))
            return;
        // The session ends while the box stands; its loop handles the signal.
        ::raise(SIGTERM);
        EXPECT_TRUE(QTest::qWaitFor([&] { return watch.closeEvents > 0; }, 5000));
    };
    form->LoadSettingsFile(path);
    ASSERT_TRUE(signalled);
    EXPECT_EQ(TableValues(*form), loaded);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 5000));
    form->removeEventFilter(&watch);
    EXPECT_EQ(ReadSet(LastSettingsFile()).values, loaded);
}

// File, Exit, the Close button and the window's close box all end the same way: status reports
// switched off when the port is open, then the preferences and the last settings written with
// what the window shows.
TEST_F(StartupShutdownTest, EveryWayOfClosingWritesThePreferencesAndTheLastSettings)
{
    struct Way
    {
        const char *name;
        std::function<void(F &)> close;
    };
    const Way ways[] = {
        {"close box",
         [](F &f) {
             f.close();
         }},
        {"File, Exit",
         [](F &f) {
             f.mnExit->trigger();
         }},
        {"Close button",
         [](F &f) {
             f.btClose->click();
         }},
    };
    const TValues shown = {4, 1, 13, 7, 200, 55, 512, 64, 250, 1000, 1500, 0, 1, 0, 1152, 96};
    for (const Way &way : ways) {
        for (const bool open : {true, false}) {
            SCOPED_TRACE(std::string(way.name) + (open ? ", port open" : ", port closed"));
            QFile::remove(PreferenceFile());
            QFile::remove(LastSettingsFile());
            MakeForm();
            ShowStill();
            if (open)
                OpenPort();
            else
                form->fComPort = QStringLiteral("ttyUSB7");
            form->ApplyFirmwareVersion(1, 7);
            ShowValues(shown);
            MoveTo(QPoint(321, 123));
            form->fLastFolder = QStringLiteral("/srv/chosen/");
            const QString port = form->fComPort;

            QElapsedTimer clock;
            clock.start();
            way.close(*form);
            const qint64 took = clock.elapsed();

            EXPECT_FALSE(form->isVisible());
            // Eight pauses of 20 ms let the command leave before the port goes.
            EXPECT_GE(took, 160);
            if (open) {
                EXPECT_TRUE(peer.WaitFor("2,0\r"));
                peer.ReadAvailable();
                EXPECT_EQ(peer.Received(), QByteArray("2,0\r"));
            } else {
                EXPECT_EQ(peer.ReadAvailable(), QByteArray());
            }
            EXPECT_EQ(ReadPreferences(),
                      QStringList({port, QStringLiteral("123"), QStringLiteral("321"),
                                   QStringLiteral("/srv/chosen/")}));
            const TReadSet saved = ReadSet(LastSettingsFile());
            EXPECT_EQ(saved.values, shown);
            EXPECT_EQ(saved.major, 1);
            EXPECT_EQ(saved.minor, 7);
            EXPECT_TRUE(seam->questions.empty());
            EXPECT_TRUE(seam->messages.empty()) << seam->MessageTexts().join('\n').toStdString();
            EXPECT_EQ(seam->beeps, 0);
            form->ComPort1->Close();
            peer.ClearReceived();
        }
    }
}

// A reply that comes in while the window closes is handled, and the set saved holds it.
TEST_F(StartupShutdownTest, RepliesDuringTheShutDownPausesAreHandled)
{
    MakeForm();
    ShowStill();
    OpenPort();
    form->fComState = csReqPrm3;
    peer.Write("3,3,17\r\n");
    form->close();
    EXPECT_EQ(form->SettingsData[3].value, 17);
    EXPECT_EQ(ReadSet(LastSettingsFile()).values[2], 17);
}

TEST_F(StartupShutdownTest, AtExitEveryPreferenceIsWrittenAsText)
{
    WritePreferenceFile("[MainApp]\nTop=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\nLeft=1, 2\n"
                        "InterfaceComPort=@ByteArray(ttyS0)\nLastFolder=@Rect(1 2 3 4)\n");
    MakeForm();
    ShowStill();
    form->close();
    EXPECT_EQ(ReadPreferences(), QStringList({QString(), QStringLiteral("100"),
                                              QStringLiteral("200"), DocumentsFolder()}));
}

TEST_F(StartupShutdownTest, PreferencesThatCannotBeWrittenStillLeaveTheLastSettings)
{
    MakeForm();
    ShowStill();
    const TValues shown = {1, 0, 5, 6, 7, 8, 300, 400, 100, 200, 300, 400, 0, 1, 96, 192};
    ShowValues(shown);
    // A plain file where the configuration folder should be.
    const QString blocker = TestHome() + QStringLiteral("/no-config");
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    {
        TEnvOverride configHome("XDG_CONFIG_HOME", blocker + QStringLiteral("/config"));
        form->close();
    }
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(ReadSet(LastSettingsFile()).values, shown);
    EXPECT_TRUE(seam->messages.empty()) << seam->MessageTexts().join('\n').toStdString();
    QFile::remove(blocker);
}

TEST_F(StartupShutdownTest, ALastSettingsFileThatCannotBeWrittenIsReportedAndThePreferencesKept)
{
    MakeForm();
    ShowStill();
    MoveTo(QPoint(64, 48));
    const QString blocker = TestHome() + QStringLiteral("/no-documents");
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    form->fUserDataFolder = blocker + QStringLiteral("/Documents");
    const QString path = form->fUserDataFolder + QStringLiteral("/TandorLastSettings.tconf");
    ASSERT_EQ(form->LastSettingsPath(), path);
    form->close();
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(seam->messages.size(), 1u);
    EXPECT_TRUE(seam->messages[0].text.endsWith(QStringLiteral(" when writing ") + path))
        << seam->messages[0].text.toStdString();
    EXPECT_EQ(ReadPreferences(), QStringList({QString(), QStringLiteral("48"), QStringLiteral("64"),
                                              DocumentsFolder()}));
    QFile::remove(blocker);
}

} // namespace

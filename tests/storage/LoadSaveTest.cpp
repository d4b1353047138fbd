// SPDX-License-Identifier: MIT
// Parameter sets on the main window: loading a file into the table, the controls and the
// interface, saving what is shown, the two file dialogs and the folder they open in, and the
// offer of the last settings shortly after start-up.
#include "core/ComStates.h"
#include "core/SettingsTable.h"
#include "core/ValueMappings.h"
#include "link/ComPort.h"
#include "storage/KVTRegStore.h"
#include "storage/SettingsFileMngr.h"
#include "support/PtyPeer.h"
#include "support/RecordingSeam.h"
#include "support/SettingsSets.h"
#include "support/TestEnv.h"
#include "support/WindowTimers.h"
#include "ui/ComboBox.h"
#include "ui/TandorMain.h"
#include "ui/TrackBar.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <array>
#include <functional>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Readable QStrings in failure messages (a carriage return shows as \r).
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << QString(text).replace(QLatin1Char('\r'), QStringLiteral("\\r")).toStdString()
        << '"';
}

namespace {

using F = TMerrowMainForm;

// A set every firmware from 1.7 on accepts, each value different from what the window shows
// before anything is loaded.
constexpr TValues kFileSet = {4, 1, 13, 7, 200, 55, 512, 64, 250, 1000, 1500, 0, 1, 0, 1152, 96};

QString DocumentsFolder()
{
    return TestHome() + QStringLiteral("/Documents");
}

QString LastSettingsFile()
{
    return DocumentsFolder() + QStringLiteral("/TandorLastSettings.tconf");
}

void WriteSet(const QString &path, const TValues &values, int32_t major, int32_t minor)
{
    TSettingsData table;
    InitSettingsTable(table, nullptr);
    for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix)
        table[ix].value = values[ix - 1];
    TSettingsFileMngr manager;
    manager.ShowMessage = [](const QString &text) {
        ADD_FAILURE() << text.toStdString();
    };
    manager.UpdateSettings(table, major, minor);
    manager.SaveSettingsToFile(path);
    ASSERT_TRUE(QFileInfo::exists(path));
}

// What each parameter's controls show, and what they show for a value.
struct TShownRow
{
    int index;
    std::function<QString(const F &)> shown;
    std::function<QString(int32_t)> expected;
};

QString Num(int n)
{
    return QString::number(n);
}

const std::vector<TShownRow> &ShownRows()
{
    static const std::vector<TShownRow> rows = {
        {1, [](const F &f) { return Num(f.cmb_RaAtype->ItemIndex()); }, Num},
        {2, [](const F &f) { return Num(f.cmb_RaBtype->ItemIndex()); }, Num},
        {3, [](const F &f) { return Num(f.tbGainA->Position()) + ' ' + f.lbGainA->text(); },
         [](int32_t v) {
             return Num(v) + ' ' + GainLabelText(v);
         }},
        {4, [](const F &f) { return Num(f.tbGainB->Position()) + ' ' + f.lbGainB->text(); },
         [](int32_t v) {
             return Num(v) + ' ' + GainLabelText(v);
         }},
        {5,
         [](const F &f) { return Num(f.tbLevelDetGainA->Position()) + ' ' + f.lbDetGainA->text(); },
         [](int32_t v) {
             return Num(v) + ' ' + DetGainLabelText(v);
         }},
        {6,
         [](const F &f) { return Num(f.tbLevelDetGainB->Position()) + ' ' + f.lbDetGainB->text(); },
         [](int32_t v) {
             return Num(v) + ' ' + DetGainLabelText(v);
         }},
        {7, [](const F &f) { return Num(f.tbDetLevelA->Position()); },
         [](int32_t v) {
             return Num(DetLevelToPosition(v));
         }},
        {8, [](const F &f) { return Num(f.tbDetLevelB->Position()); },
         [](int32_t v) {
             return Num(DetLevelToPosition(v));
         }},
        {9,
         [](const F &f) {
             return Num(f.tbPTTonDelayA->Position()) + ' ' + f.lbPTTonDelayA->text();
         },
         [](int32_t v) {
             return Num(DelayToPosition(v)) + ' ' + PttOnDelayText(v);
         }},
        {10,
         [](const F &f) {
             return Num(f.tbPTTonDelayB->Position()) + ' ' + f.lbPTTonDelayB->text();
         },
         [](int32_t v) {
             return Num(DelayToPosition(v)) + ' ' + PttOnDelayText(v);
         }},
        {11,
         [](const F &f) {
             return Num(f.tbPTToffDelayA->Position()) + ' ' + f.lbPTToffDelayA->text();
         },
         [](int32_t v) {
             return Num(DelayToPosition(v)) + ' ' + PttOffDelayText(v);
         }},
        {12,
         [](const F &f) {
             return Num(f.tbPTToffDelayB->Position()) + ' ' + f.lbPTToffDelayB->text();
         },
         [](int32_t v) {
             return Num(DelayToPosition(v)) + ' ' + PttOffDelayText(v);
         }},
        {13, [](const F &f) { return Num(f.cmb_ComType_A->ItemIndex()); }, Num},
        {14, [](const F &f) { return Num(f.cmb_ComType_B->ItemIndex()); }, Num},
        {15, [](const F &f) { return Num(f.cmb_Baud_A->ItemIndex()); },
         [](int32_t v) {
             return Num(BaudPositionForValue(v));
         }},
        {16, [](const F &f) { return Num(f.cmb_Baud_B->ItemIndex()); },
         [](int32_t v) {
             return Num(BaudPositionForValue(v));
         }},
    };
    return rows;
}

void ExpectShown(const F &f, const TValues &values)
{
    for (const TShownRow &row : ShownRows())
        EXPECT_EQ(row.shown(f), row.expected(values[row.index - 1]))
            << f.SettingsData[row.index].ParamName.toStdString();
}

QStringList Shown(const F &f)
{
    QStringList shown;
    for (const TShownRow &row : ShownRows())
        shown << row.shown(f);
    return shown;
}

QByteArray WriteLines(const TValues &values)
{
    QByteArray lines;
    for (int ix = 1; ix <= TSettingsData::Count; ++ix)
        lines += "4," + QByteArray::number(ix) + "," + QByteArray::number(values[ix - 1]) + "\r";
    return lines;
}

// A recording seam that also notes, at each beep, the connection state and whether the
// connection timer ran.
class TStateSeam : public TRecordingSeam
{
public:
    void Beep() override
    {
        TRecordingSeam::Beep();
        if (onBeep)
            onBeep();
    }
    std::function<void()> onBeep;
};

struct TBeepState
{
    tComStates state;
    bool timerRunning;
};

class LoadSaveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QFile::remove(LastSettingsFile());
        QFile::remove(TestHome() + QStringLiteral("/config/MerrowConfig.conf"));
        MakeForm();
    }

    void TearDown() override
    {
        if (form)
            form->ComPort1->Close();
        form.reset();
        QFile::remove(LastSettingsFile());
        QFile::remove(TestHome() + QStringLiteral("/config/MerrowConfig.conf"));
    }

    // A fresh, shown window with every timer stopped: the test makes each tick itself.
    void MakeForm()
    {
        if (form)
            form->ComPort1->Close();
        form.reset();
        seam = new TStateSeam;
        form = std::make_unique<F>(seam);
        startCheckAtStart = form->tmStartCheck->isActive();
        startCheckInterval = form->tmStartCheck->interval();
        StopWindowTimers(*form);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
        seam->Clear();
        beepStates.clear();
        seam->onBeep = [this] {
            beepStates.push_back({form->fComState, form->tmComState->isActive()});
        };
    }

    // Opens the port to the peer; what the opening sent is forgotten.
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

    // Everything sent since the last call. A version request closes the span: the port
    // sends in order, so once its line is in, everything written before it is in too.
    QByteArray Sent()
    {
        form->RequestVersion();
        EXPECT_TRUE(QTest::qWaitFor([&] {
            peer.ReadAvailable();
            return peer.Received().endsWith("11\r");
        })) << peer.Received().toStdString();
        QByteArray sent = peer.Received();
        peer.ClearReceived();
        sent.chop(3);
        return sent;
    }

    // Values through the setters, as parameter replies bring them.
    void ShowValues(const TValues &values)
    {
        for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix)
            form->SettingsData[ix].Setter(values[ix - 1], ix);
        ASSERT_EQ(TableValues(*form), values);
    }

    QString Path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    TStateSeam *seam = nullptr; // owned by the form
    std::unique_ptr<F> form;
    std::vector<TBeepState> beepStates;
    bool startCheckAtStart = false;
    int startCheckInterval = 0;
    TPtyPeer peer{QStringLiteral("loadsave0")};
};

// With the port closed every value beeps instead of going out; the set is shown all the same,
// and the controls follow the file's firmware only while no interface has sent its version.
TEST_F(LoadSaveTest, LoadingWithThePortClosedShowsTheSetAndBeepsForEachValue)
{
    struct Row
    {
        tComStates state;
        bool followsFile;
    };
    const Row rows[] = {
        {csNotOpened, true},       {csNotConnected, true}, {csNoData, true},
        {csPortError, true},       {csReqSerial, true},    {csVersionReceived, false},
        {csStatusReceived, false}, {csReqPrm1, false},     {csReqPrm16, false},
    };
    const QString path = Path(QStringLiteral("set.tconf"));
    WriteSet(path, kFileSet, 1, 7);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.state);
        MakeForm();
        form->fComState = row.state;
        form->tmComState->start(); // as it runs in use
        form->LoadSettingsFile(path);

        EXPECT_EQ(TableValues(*form), kFileSet);
        ExpectShown(*form, kFileSet);
        if (row.followsFile) {
            EXPECT_EQ(form->fVersionMain, 1);
            EXPECT_EQ(form->fVersionMinor, 7);
            EXPECT_EQ(form->lbVersion->text(), QStringLiteral("Firmware version: 1.7"));
            EXPECT_EQ(form->cmb_RaAtype->count(), 5); // no squelch-high radio before 2.0
        } else {
            EXPECT_EQ(form->fVersionMain, 2);
            EXPECT_EQ(form->fVersionMinor, 0);
            EXPECT_EQ(form->cmb_RaAtype->count(), 6);
        }
        // Sixteen beeps, each while the set is being sent and no tick can poll.
        EXPECT_EQ(seam->beeps, 16);
        ASSERT_EQ(beepStates.size(), 16u);
        for (const TBeepState &at : beepStates) {
            EXPECT_EQ(at.state, csSendingSettings);
            EXPECT_FALSE(at.timerRunning);
        }
        // Afterwards the cycle starts again at parameter 1.
        EXPECT_EQ(form->fComState, csReqPrm1);
        EXPECT_TRUE(form->tmComState->isActive());
        EXPECT_EQ(form->tmComState->interval(), 150);
        EXPECT_TRUE(seam->messages.empty()) << seam->MessageTexts().join('\n').toStdString();
    }
}

TEST_F(LoadSaveTest, LoadingWhileConnectedSendsTheSixteenValuesAndKeepsTheInterfacesFirmware)
{
    OpenPort();
    // An interface with firmware 1.7 is being polled.
    form->ApplyFirmwareVersion(1, 7);
    form->fComState = csReqPrm9;
    TValues values = kFileSet;
    values[2] = 999; // GainA far beyond its range: taken and sent as it is
    const QString path = Path(QStringLiteral("connected.tconf"));
    WriteSet(path, values, 2, 3);

    form->LoadSettingsFile(path);
    const bool restarted = form->tmComState->isActive();
    form->tmComState->stop();

    EXPECT_TRUE(restarted);
    EXPECT_EQ(Sent(), WriteLines(values));
    EXPECT_EQ(seam->beeps, 0);
    EXPECT_EQ(TableValues(*form), values);
    EXPECT_EQ(form->fVersionMain, 1);
    EXPECT_EQ(form->fVersionMinor, 7);
    EXPECT_EQ(form->lbVersion->text(), QStringLiteral("Firmware version: 1.7"));
    // The radio-type records come back with the ranges the manager took at start-up (2.0);
    // the lists keep the choices of 1.7.
    EXPECT_EQ(form->SettingsData[1].Maxval, 5);
    EXPECT_EQ(form->SettingsData[2].Maxval, 5);
    EXPECT_EQ(form->cmb_RaAtype->count(), 5);
    EXPECT_EQ(form->cmb_RaBtype->count(), 5);

    // The next tick polls from parameter 1 again.
    EXPECT_EQ(form->fComState, csReqPrm1);
    form->tmComStateTimer();
    EXPECT_EQ(Sent(), QByteArray("3,1\r"));
}

TEST_F(LoadSaveTest, AFileThatCannotBeReadShowsWhyAndChangesNothing)
{
    struct Row
    {
        const char *name;
        std::function<void(const QString &)> make;
    };
    std::vector<Row> rows = {
        {"a pipe",
         [](const QString &path) {
             ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
         }},
        {"larger than a settings file may be",
         [](const QString &path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             const QByteArray head = "{\"GainA\": 9, \"Kept\": \"";
             file.write(head + QByteArray(TSettingsFileMngr::kMaxFileSize - head.size(), 'x') +
                        "\"}");
         }},
    };
    // Root reads whatever the rights say.
    if (::geteuid() != 0)
        rows.push_back({"no read rights", [](const QString &path) {
                            WriteSet(path, kFileSet, 1, 7);
                            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0);
                        }});
    OpenPort();
    const TValues before = {1, 0, 5, 6, 7, 8, 300, 400, 100, 200, 300, 400, 0, 1, 96, 192};
    ShowValues(before);
    form->fComState = csReqPrm3;
    form->tmComState->start();
    const QStringList shownBefore = Shown(*form);
    int n = 0;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        seam->Clear();
        const QString path = Path(QStringLiteral("unreadable%1.tconf").arg(n++));
        row.make(path);
        seam->openResults.push_back(path);
        form->mnLoad->trigger();

        ASSERT_EQ(seam->messages.size(), 1u);
        EXPECT_EQ(seam->messages[0].kind, TMessageKind::Error);
        const QString prefix = QStringLiteral("Cannot open file \"") + path + "\". ";
        const QString text = seam->messages[0].text;
        EXPECT_TRUE(text.startsWith(prefix) && text.size() > prefix.size()) << text.toStdString();
        EXPECT_EQ(TableValues(*form), before);
        EXPECT_EQ(Shown(*form), shownBefore);
        EXPECT_EQ(form->fComState, csReqPrm3);
        EXPECT_TRUE(form->tmComState->isActive());
        EXPECT_EQ(form->fVersionMain, 2);
        EXPECT_EQ(seam->beeps, 0);
        EXPECT_EQ(Sent(), QByteArray());
    }
}

TEST_F(LoadSaveTest, CancellingEitherDialogChangesNothing)
{
    const QString folderBefore = form->fLastFolder;
    ShowValues(kFileSet);
    for (QAction *item : {form->mnLoad, form->mnSave}) {
        SCOPED_TRACE(item->objectName().toStdString());
        seam->Clear();
        item->trigger();
        EXPECT_EQ(seam->openDialogs.size() + seam->saveDialogs.size(), 1u);
        EXPECT_EQ(form->fLastFolder, folderBefore);
        EXPECT_EQ(TableValues(*form), kFileSet);
        EXPECT_EQ(seam->beeps, 0);
        EXPECT_TRUE(seam->messages.empty());
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_TRUE(QDir(DocumentsFolder()).isEmpty());
}

// The dialogs open in the folder of the file chosen last, with its trailing separator; at exit
// that folder becomes the "LastFolder" preference.
TEST_F(LoadSaveTest, TheDialogsOpenWhereTheLastFileWasChosen)
{
    EXPECT_EQ(form->fLastFolder, DocumentsFolder());
    ASSERT_TRUE(QDir().mkpath(Path(QStringLiteral("sets"))));
    ASSERT_TRUE(QDir().mkpath(Path(QStringLiteral("other"))));
    const QString loaded = Path(QStringLiteral("other/loaded.tconf"));
    WriteSet(loaded, kFileSet, 2, 0);

    // A name typed without its extension gets ".tconf".
    seam->saveResults.push_back(Path(QStringLiteral("sets/typed")));
    form->mnSave->trigger();
    ASSERT_EQ(seam->saveDialogs.size(), 1u);
    const TFileDialogConfig &save = seam->saveDialogs[0];
    EXPECT_EQ(save.initialDir, DocumentsFolder());
    EXPECT_EQ(save.filter, QStringLiteral("Tandor config files [*.tconf] (*.tconf)"));
    EXPECT_EQ(save.defaultSuffix, QStringLiteral("tconf"));
    EXPECT_TRUE(save.confirmOverwrite);
    EXPECT_FALSE(save.fileMustExist);
    EXPECT_TRUE(save.resizable);
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("sets/typed.tconf"))).isFile());
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("sets/typed"))));
    EXPECT_EQ(form->fLastFolder, Path(QStringLiteral("sets/")));

    seam->openResults.push_back(loaded);
    form->mnLoad->trigger();
    ASSERT_EQ(seam->openDialogs.size(), 1u);
    const TFileDialogConfig &open = seam->openDialogs[0];
    EXPECT_EQ(open.initialDir, Path(QStringLiteral("sets/")));
    EXPECT_EQ(open.filter, QStringLiteral("Tandor config files [*.tconf] (*.tconf)"));
    EXPECT_EQ(open.defaultSuffix, QStringLiteral("tconf"));
    EXPECT_TRUE(open.fileMustExist);
    EXPECT_FALSE(open.confirmOverwrite);
    EXPECT_TRUE(open.resizable);
    EXPECT_EQ(TableValues(*form), kFileSet);
    EXPECT_EQ(form->fLastFolder, Path(QStringLiteral("other/")));

    form->mnSave->trigger(); // cancelled
    ASSERT_EQ(seam->saveDialogs.size(), 2u);
    EXPECT_EQ(seam->saveDialogs[1].initialDir, Path(QStringLiteral("other/")));

    form->close();
    TKVTRegistryStore store;
    store.SetKeyName(QStringLiteral("Software\\MerrowConfig"));
    store.Open();
    EXPECT_EQ(store.ReadString(QStringLiteral("MainApp"), QStringLiteral("LastFolder"), QString()),
              Path(QStringLiteral("other/")));
    store.Close();
}

TEST_F(LoadSaveTest, SavingWritesTheValuesShownWithTheFirmwareInForce)
{
    // Values the interface reported, under firmware 1.7.
    form->ApplyFirmwareVersion(1, 7);
    const TValues reported = {3, 2, 20, 0, 255, 1, 1023, 4, 1500, 10, 0, 730, 0, 1, 2304, 48};
    ShowValues(reported);
    const QString first = Path(QStringLiteral("reported.tconf"));
    seam->saveResults.push_back(first);
    form->mnSave->trigger();
    TReadSet saved = ReadSet(first);
    EXPECT_EQ(saved.values, reported);
    EXPECT_EQ(saved.major, 1);
    EXPECT_EQ(saved.minor, 7);

    // Right after a load, a save writes the loaded set.
    const QString loaded = Path(QStringLiteral("loaded.tconf"));
    WriteSet(loaded, kFileSet, 2, 4);
    form->fComState = csNotConnected;
    form->LoadSettingsFile(loaded);
    form->tmComState->stop();
    const QString second = Path(QStringLiteral("again.tconf"));
    seam->saveResults.push_back(second);
    form->mnSave->trigger();
    saved = ReadSet(second);
    EXPECT_EQ(saved.values, kFileSet);
    EXPECT_EQ(saved.major, 2);
    EXPECT_EQ(saved.minor, 4);
    EXPECT_TRUE(seam->messages.empty()) << seam->MessageTexts().join('\n').toStdString();
}

// About two seconds after start-up the last settings are offered, while no interface has
// replied; Yes loads them.
TEST_F(LoadSaveTest, TheStartCheckOffersTheLastSettingsOnlyWhileNoInterfaceReplied)
{
    enum class TFile
    {
        Present,
        Missing,
        Folder
    };
    struct Row
    {
        const char *name;
        tComStates state;
        TFile file;
        bool answer;
        bool asked;
    };
    const Row rows[] = {
        {"not opened, yes", csNotOpened, TFile::Present, true, true},
        {"not opened, no", csNotOpened, TFile::Present, false, true},
        {"not connected", csNotConnected, TFile::Present, true, true},
        {"no data", csNoData, TFile::Present, true, true},
        {"port error", csPortError, TFile::Present, true, true},
        {"serial requested", csReqSerial, TFile::Present, true, false},
        {"version received", csVersionReceived, TFile::Present, true, false},
        {"polling", csReqPrm4, TFile::Present, true, false},
        {"first run", csNotOpened, TFile::Missing, true, false},
        {"a folder of that name", csNotOpened, TFile::Folder, true, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(LastSettingsFile());
        QDir(LastSettingsFile()).removeRecursively();
        if (row.file == TFile::Present) {
            WriteSet(LastSettingsFile(), kFileSet, 1, 7);
        } else if (row.file == TFile::Folder) {
            ASSERT_TRUE(QDir().mkpath(LastSettingsFile()));
        }
        MakeForm();
        EXPECT_TRUE(startCheckAtStart);
        EXPECT_EQ(startCheckInterval, 2000);
        ASSERT_EQ(form->LastSettingsPath(), LastSettingsFile());
        form->move(140, 60);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->pos() == QPoint(140, 60); }));
        form->fComState = row.state;
        seam->answers.push_back(row.answer);
        form->tmStartCheck->start();
        form->tmStartCheckTimer();

        EXPECT_FALSE(form->tmStartCheck->isActive());
        const bool loads = row.asked && row.answer;
        if (row.asked) {
            ASSERT_EQ(seam->questions.size(), 1u);
            EXPECT_EQ(seam->questions[0].text,
                      QStringLiteral("Do you want to load the latest settings?"));
            EXPECT_EQ(seam->questions[0].topLeft, QPoint(440, 360));
        } else {
            EXPECT_TRUE(seam->questions.empty());
        }
        if (loads) {
            EXPECT_EQ(TableValues(*form), kFileSet);
            ExpectShown(*form, kFileSet);
            EXPECT_EQ(form->lbVersion->text(), QStringLiteral("Firmware version: 1.7"));
            EXPECT_EQ(seam->beeps, 16);
            EXPECT_EQ(form->fComState, csReqPrm1);
        } else {
            EXPECT_EQ(TableValues(*form), TValues{});
            EXPECT_EQ(form->lbVersion->text(), QStringLiteral("Firmware version: 2.0"));
            EXPECT_EQ(seam->beeps, 0);
            EXPECT_EQ(form->fComState, row.state);
        }
        EXPECT_TRUE(seam->messages.empty()) << seam->MessageTexts().join('\n').toStdString();
    }
    QDir(LastSettingsFile()).removeRecursively();
}

TEST_F(LoadSaveTest, TheStartCheckTimerFiresOnce)
{
    WriteSet(LastSettingsFile(), kFileSet, 2, 0);
    seam->answers = {true, true};
    form->tmStartCheck->setInterval(1);
    form->tmStartCheck->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !seam->questions.empty(); }));
    EXPECT_FALSE(form->tmStartCheck->isActive());
    EXPECT_EQ(TableValues(*form), kFileSet);
    form->tmComState->stop();
    // Ticks go on; the question does not come again.
    form->tmRefreshDetectSetting->start();
    QSignalSpy ticks(form->tmRefreshDetectSetting, &QTimer::timeout);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.count() >= 2; }));
    EXPECT_EQ(seam->questions.size(), 1u);
}

TEST_F(LoadSaveTest, AnInterfaceThatRepliedIsNotAskedAboutTheLastSettings)
{
    WriteSet(LastSettingsFile(), kFileSet, 2, 0);
    ASSERT_TRUE(peer.IsValid());
    form->fComPort = peer.PortName();
    form->tmComStateTimer(); // opens the port
    ASSERT_TRUE(form->ComPort1->Active());
    form->tmComStateTimer(); // asks for the version
    ASSERT_TRUE(peer.WaitFor("11\r"));
    peer.Write("11,2,3\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->fComState == csVersionReceived; }));
    seam->answers.push_back(true);
    form->tmStartCheckTimer();
    EXPECT_TRUE(seam->questions.empty());
    EXPECT_EQ(TableValues(*form), TValues{});
}

// The program's own question box: its text, icon and buttons, where it stands, and the answer
// each button gives. A guard closes any box left open, so the test can never hang on one.
TEST(StartCheckQuestion, TheQuestionBoxStandsWhereItIsPutAndAnswersYesOrNo)
{
    QWidget owner;
    owner.setGeometry(100, 50, 300, 200);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    for (const QMessageBox::StandardButton pressed : {QMessageBox::Yes, QMessageBox::No}) {
        SCOPED_TRACE(pressed == QMessageBox::Yes ? "Yes" : "No");
        bool seen = false;
        QPoint at;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QTimer answer;
        answer.setInterval(5);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            answer.stop();
            seen = true;
            at = box->pos();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            box->button(pressed)->click();
        });
        answer.start();
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget *box = QApplication::activeModalWidget())
                box->close();
        });
        guard.start(10000);
        TQtUserSeam seam;
        const bool yes = seam.AskYesNo(
            &owner, QStringLiteral("Do you want to load the latest settings?"), QPoint(400, 350));
        ASSERT_TRUE(seen);
        EXPECT_EQ(yes, pressed == QMessageBox::Yes);
        EXPECT_EQ(at, QPoint(400, 350));
        EXPECT_EQ(text, QStringLiteral("Do you want to load the latest settings?"));
        EXPECT_EQ(icon, QMessageBox::Question);
        EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No));
    }
}

} // namespace

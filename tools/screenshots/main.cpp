// SPDX-License-Identifier: MIT
// Takes the pictures of the README and the user guide: tandor-sim plays the interface on the
// virtual port sim0, the main window runs in this process and is connected to it the way a
// user connects it (pick the port, then the radio types), and each picture is the window's
// own rendering (QWidget::grab), so it needs no window manager and no screen capture.
//
//   tandor-screenshots OUTPUT_FOLDER [TANDOR_SIM]
//
// Everything runs inside a private home, configuration and runtime folder, so the pictures
// never show and never touch the user's preferences, documents or virtual ports. Run it
// under Xvfb (scripts/screenshots.sh) to get the fonts and style of a real X display.
#include "TandorVersion.h"
#include "core/PortPaths.h"
#include "core/SettingsTable.h"
#include "link/ComPort.h"
#include "ui/ComboBox.h"
#include "ui/DesignedFonts.h"
#include "ui/TandorAboutForm.h"
#include "ui/TandorMain.h"
#include "ui/TrackBar.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <array>
#include <cstdio>
#include <functional>
#include <sys/stat.h>

namespace {

constexpr const char *kPort = "sim0";
constexpr const char *kSerial = "TS 004217";

// The set the simulated interface has stored when it starts: Radio A senses the received audio
// level, Radio B is an MTM5400/5500 on its PEI link at 9600 baud.
const std::array<int, 17> kStoredSet = {0,
                                        /* RaAtype */ 0,
                                        /* RaBtype */ 3,
                                        /* GainA */ 12,
                                        /* GainB */ 14,
                                        /* LevelDetGainA */ 128,
                                        /* LevelDetGainB */ 128,
                                        /* DetLevelA */ 256,
                                        /* DetLevelB */ 256,
                                        /* PTTOnDelayA */ 150,
                                        /* PTTOnDelayB */ 150,
                                        /* PTTOffDelayA */ 600,
                                        /* PTTOffDelayB */ 600,
                                        /* ComType_A */ 1,
                                        /* ComType_B */ 1,
                                        /* Baud_A */ 96,
                                        /* Baud_B */ 96};

// The radio types of one picture of the guide, as positions of the radio-type lists.
struct TTypeShot
{
    const char *file;
    int typeA;
    int typeB;
};
const TTypeShot kTypeShots[] = {
    {"radio-types-level-sense.png", 0, 0}, // AF level sense on both radios
    {"radio-types-squelch.png", 1, 5},     // squelch low output on A, squelch high on B
    {"radio-types-pei.png", 2, 4},         // SRG3900 on A, TMR880i on B, both over PEI
};

void Fail(const QString &what)
{
    std::fprintf(stderr, "tandor-screenshots: %s\n", qPrintable(what));
}

// Nothing may wait for a user here: a message the program would have shown is printed and
// counted (the pictures are then not worth keeping), questions are answered No, file dialogs
// cancelled.
class TPrintingSeam : public TUserSeam
{
public:
    void ShowMessage(QWidget *, TMessageKind, const QString &text) override
    {
        Fail(QStringLiteral("the program showed: ") + text);
        ++messages;
    }
    bool AskYesNo(QWidget *, const QString &, const QPoint &) override { return false; }
    QString GetOpenFileName(QWidget *, TFileDialogConfig &) override { return {}; }
    QString GetSaveFileName(QWidget *, TFileDialogConfig &) override { return {}; }
    void Beep() override {}
    void SetCursor(TCursorKind) override {}

    int messages = 0;
};

// HOME, the configuration folders and the runtime folder (where virtual ports are published)
// inside home; set before the application object exists, as Qt reads them once.
void UsePrivateHome(const QString &home)
{
    const QString runtime = home + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    ::chmod(QFile::encodeName(runtime).constData(), 0700);
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/config")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(home + QStringLiteral("/etc-xdg")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/data")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
}

// The simulator's state file: the set it has stored, which it works with after power-up.
bool WriteStoredSet(const QString &path)
{
    QJsonObject stored;
    for (int n = 1; n <= TSettingsData::Count; ++n)
        stored.insert(QLatin1String(kSettingsDefs.at(size_t(n - 1)).name), kStoredSet[size_t(n)]);
    QJsonObject root;
    root.insert(QLatin1String("stored"), stored);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(root).toJson()) > 0;
}

bool WaitFor(const std::function<bool()> &condition, int timeoutMs, const char *what)
{
    if (QTest::qWaitFor(condition, timeoutMs))
        return true;
    Fail(QStringLiteral("timed out waiting for ") + QLatin1String(what));
    return false;
}

bool Save(QWidget *widget, const QString &folder, const char *file)
{
    const QString path = folder + QLatin1Char('/') + QLatin1String(file);
    if (!widget->grab().save(path, "PNG")) {
        Fail(QStringLiteral("cannot write ") + path);
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
    return true;
}

// The user picks the port of the simulator in the port list.
bool PickPort(TMerrowMainForm &form)
{
    form.RefreshPortList();
    const QString prefix = QLatin1String(kPort) + QLatin1Char(' ');
    for (int i = 0; i < form.ComComboBox1->count(); ++i) {
        if (form.ComComboBox1->itemText(i).startsWith(prefix)) {
            form.ComComboBox1->SetItemIndex(i);
            form.ComComboBox1Change();
            return true;
        }
    }
    Fail(QStringLiteral("the port list does not offer ") + QLatin1String(kPort));
    return false;
}

// The user picks a radio type in one of the two lists; the handler sends it to the interface.
void PickType(TMerrowMainForm &form, TComboBox *list, int type)
{
    list->SetItemIndex(type);
    if (list == form.cmb_RaAtype)
        form.cmb_RaAtypeChange();
    else
        form.cmb_RaBtypeChange();
}

bool IsPei(int type)
{
    return type >= 2 && type <= 4;
}

// The controls that show for a radio of the type, and the interface's reply for the type, are
// in the window: the level-sense controls for type 0, the com-type and baud lists for the
// PEI types, the PEI state once the simulated link works.
bool ShowsType(TMerrowMainForm &form, int typeA, int typeB)
{
    const auto shows = [&](int type, QWidget *levelSense, QWidget *comType, QLabel *pei) {
        if (levelSense->isVisible() != (type == 0) || comType->isVisible() != IsPei(type))
            return false;
        return !IsPei(type) || pei->text() == QLatin1String("PEI is working");
    };
    return form.SettingsData[1].value == typeA && form.SettingsData[2].value == typeB &&
           shows(typeA, form.tbLevelDetGainA, form.cmb_ComType_A, form.lbPeiA) &&
           shows(typeB, form.tbLevelDetGainB, form.cmb_ComType_B, form.lbPeiB);
}

// One picture of the window with the radio types given. The simulated traffic comes and goes;
// a picture shows it best while a radio receives and the other one is keyed, and is taken all
// the same when that does not happen soon. A parameter reply that was on its way while a type
// was picked shows the old type until the next reading, hence the second look at the types.
bool Snap(TMerrowMainForm &form, int typeA, int typeB, const QString &folder, const char *file)
{
    const auto showsTypes = [&] {
        return ShowsType(form, typeA, typeB);
    };
    if (!WaitFor(showsTypes, 8000, file))
        return false;
    const bool traffic = QTest::qWaitFor(
        [&] {
            return (form.fRXdetectedA && form.fPTTActiveB) ||
                   (form.fRXdetectedB && form.fPTTActiveA);
        },
        12000);
    if (!traffic)
        std::printf("%s: no radio received meanwhile\n", file);
    std::fflush(stdout);
    if (!WaitFor(showsTypes, 5000, file))
        return false;
    form.RepaintNow();
    return Save(&form, folder, file);
}

int TakePictures(const QString &folder, const QString &simPath, const QString &home)
{
    const QString stateFile = home + QStringLiteral("/interface.json");
    if (!WriteStoredSet(stateFile)) {
        Fail(QStringLiteral("cannot write ") + stateFile);
        return 1;
    }

    QProcess sim;
    sim.setProgram(simPath);
    sim.setArguments({QStringLiteral("--port"), QLatin1String(kPort), QStringLiteral("--serial"),
                      QLatin1String(kSerial), QStringLiteral("--state"), stateFile,
                      QStringLiteral("--seed"), QStringLiteral("7")});
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start();
    if (!sim.waitForStarted(5000)) {
        Fail(QStringLiteral("cannot start ") + simPath);
        return 1;
    }
    const auto stopSim = [&] {
        sim.terminate();
        if (!sim.waitForFinished(5000))
            sim.kill();
        sim.waitForFinished(2000);
    };
    const QString link = VirtualPortsFolder() + QLatin1Char('/') + QLatin1String(kPort);
    if (!WaitFor([&] { return QFileInfo(link).isSymLink() && QFileInfo::exists(link); }, 5000,
                 "the simulator's port")) {
        stopSim();
        return 1;
    }

    auto *seam = new TPrintingSeam; // owned by the form
    int result = 0;
    {
        TMerrowMainForm form(seam);
        auto *aboutBox = new TAboutBox(&form);
        form.SetAboutBox(aboutBox);
        // A fresh home holds no last settings; nothing is to be offered.
        form.tmStartCheck->stop();
        form.show();

        const auto tableHolds = [&] {
            for (int n = 1; n <= TSettingsData::Count; ++n) {
                if (form.SettingsData[n].value != kStoredSet[size_t(n)])
                    return false;
            }
            return true;
        };
        bool ok = PickPort(form) &&
                  WaitFor(
                      [&] {
                          return form.lbIntfConnection->text() ==
                                     QLatin1String("Connected to interface") &&
                                 !form.lbSerial->text().trimmed().isEmpty() &&
                                 !form.lbVersion->text().trimmed().isEmpty() && tableHolds() &&
                                 !form.pbLoading->isVisible();
                      },
                      10000, "the connection and the sixteen parameters") &&
                  WaitFor([&] { return ShowsType(form, kStoredSet[1], kStoredSet[2]); }, 5000,
                          "the controls of the stored radio types") &&
                  Snap(form, kStoredSet[1], kStoredSet[2], folder, "main-window.png");

        for (const TTypeShot &shot : kTypeShots) {
            if (!ok)
                break;
            PickType(form, form.cmb_RaAtype, shot.typeA);
            PickType(form, form.cmb_RaBtype, shot.typeB);
            ok = Snap(form, shot.typeA, shot.typeB, folder, shot.file);
        }

        if (ok) {
            form.mnAboutClick();
            ok = WaitFor([&] { return aboutBox->isVisible(); }, 3000, "the about box") &&
                 Save(aboutBox, folder, "about-box.png");
            aboutBox->hide();
        }

        if (!ok || seam->messages > 0)
            result = 1;
        form.ComPort1->Close();
    }
    stopSim();
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/tandor-screenshots-XXXXXX"));
    if (!home.isValid()) {
        Fail(QStringLiteral("cannot make a private home folder"));
        return 1;
    }
    UsePrivateHome(home.path());

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tandor Configuration"));
    QApplication::setApplicationVersion(QStringLiteral(TANDOR_VERSION_STRING));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tandor/tandor-config.png")));
    // The faces the program itself registers at start, so the pictures show its texts.
    UseDesignedFonts();

    const QStringList args = QApplication::arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: tandor-screenshots OUTPUT_FOLDER [TANDOR_SIM]\n");
        return 2;
    }
    const QString folder = QFileInfo(args.at(1)).absoluteFilePath();
    if (!QDir().mkpath(folder)) {
        Fail(QStringLiteral("cannot make ") + folder);
        return 1;
    }
    const QString simPath = args.size() == 3 ? args.at(2)
                                             : QApplication::applicationDirPath() +
                                                   QStringLiteral("/../tandor-sim/tandor-sim");
    return TakePictures(folder, simPath, home.path());
}

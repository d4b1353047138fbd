// SPDX-License-Identifier: MIT
// Start-up and shut-down of the main window.
#include "ui/TandorMain.h"

#include "ports/DeviceNotifier.h"
#include "storage/GetSysDirs.h"
#include "storage/KVTRegStore.h"
#include "storage/Preferences.h"
#include "storage/SettingsFileMngr.h"

#include <QCoreApplication>
#include <QThread>

void TMerrowMainForm::FormCreate()
{
    fComState = csNotOpened;
    fComDataTimeoutCnt = 0;
    fchangingDetLevelA = false;
    fchangingDetLevelB = false;

    DeviceNotifier = std::make_unique<TDeviceNotifier>();
    DeviceNotifier->OnDeviceArrival = [this](TDeviceNotifier *sender, const QString &name) {
        DeviceNotifierDeviceArrival(sender, name);
    };
    DeviceNotifier->OnDeviceRemoval = [this](TDeviceNotifier *sender, const QString &name) {
        DeviceNotifierDeviceRemoval(sender, name);
    };

    fUserDataFolder = GetSpecialFolderPath(CSIDL_PERSONAL_CREATE);

    SettingsFileManager = std::make_unique<TSettingsFileMngr>();
    SettingsFileManager->ShowMessage = [this](const QString &text) {
        fSeam->ShowMessage(this, TMessageKind::Plain, text);
    };

    const TPreferences preferences = TPreferences::Read(*KVTRegistryStore);
    fComPort = preferences.comPort;
    fLastFolder = preferences.lastFolder;
    move(preferences.left, preferences.top);

    if (fLastFolder.isEmpty())
        fLastFolder = fUserDataFolder;

    RefreshPortList();
    if (!fComPort.isEmpty())
        SelectPort(fComPort);

    InitSettingsTable();
    ApplyFirmwareVersion(2, 0);
    SettingsFileManager->UpdateSettings(SettingsData, fVersionMain, fVersionMinor);
}

void TMerrowMainForm::FormClose()
{
    // The interface stops its reports before the port goes; the pauses give the command time
    // to leave and let the replies and ticks that arrive meanwhile be handled as usual.
    StopStatusReports();
    constexpr int kPauses = 8;
    constexpr unsigned long kPauseMs = 20;
    for (int i = 1; i < kPauses; ++i) {
        QThread::msleep(kPauseMs);
        QCoreApplication::processEvents();
    }
    QThread::msleep(kPauseMs);

    // A store that cannot be written forgets this run's preferences; the exit goes on.
    try {
        TPreferences preferences;
        preferences.comPort = fComPort;
        preferences.top = pos().y();
        preferences.left = pos().x();
        preferences.lastFolder = fLastFolder;
        preferences.Write(*KVTRegistryStore);
    } catch (...) {
    }

    SaveSettingsFile(LastSettingsPath());
}

void TMerrowMainForm::mnExitClick()
{
    close();
}

void TMerrowMainForm::btCloseClick()
{
    close();
}

// SPDX-License-Identifier: MIT
// Tells its owner when a serial device arrives or leaves. On Linux it watches the tty
// subsystem through a libudev monitor and the virtual ports folder through a file-system
// watcher; where no udev runs, only the virtual ports are followed. On Windows it registers a
// message-only window for device-interface notices of the serial-port class.
//
// Callbacks run on the thread that owns the notifier (the user-interface thread), from its
// event loop. An error thrown by a callback is swallowed, like every other failure here: the
// worst a failed notice can do is leave the port list as it was until it is next opened.
#pragma once

#include <QMap>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QFileSystemWatcher;
class QSocketNotifier;
class TDeviceNotifier;

// (Sender: the notifier, DeviceName: the device path the notice carries)
using TDeviceNotifyProc = std::function<void(TDeviceNotifier *Sender, const QString &DeviceName)>;

class TDeviceNotifier : public QObject
{
    Q_OBJECT
public:
    explicit TDeviceNotifier(QObject *parent = nullptr);
    ~TDeviceNotifier() override;

    TDeviceNotifyProc OnDeviceArrival;
    TDeviceNotifyProc OnDeviceRemoval;

    // The virtual ports folder being watched; empty when there is none.
    QString WatchedFolder() const { return FFolder; }
    // Whether a system device monitor (udev, or the Windows registration) is in place.
    bool HasDeviceMonitor() const;

private:
    enum class TNotice
    {
        ntArrival,
        ntRemoval
    };
    // Calls the callback for the notice; returns false when the notifier was destroyed by it.
    bool Notify(TNotice notice, const QString &deviceName);

    void StartFolderWatch();
    void FolderChanged();
    // Watches the folder again, creating it first when it went away.
    void ArmFolderWatch();
    // The serial devices the folder holds: entry name -> what it leads to, so that a link pointed
    // at a new device under the same name counts as a removal and an arrival.
    QMap<QString, QString> ReadFolder() const;

    void StartDeviceMonitor();
    void StopDeviceMonitor();
    void DeviceMonitorReady();

    QString FFolder;
    QFileSystemWatcher *FFolderWatcher = nullptr;
    QMap<QString, QString> FFolderEntries;

    struct TMonitor;
    std::unique_ptr<TMonitor> FMonitor;
};

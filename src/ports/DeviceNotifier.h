// SPDX-License-Identifier: MIT
// Tells its owner when a serial device arrives or leaves. On Linux it watches the tty
// subsystem through a libudev monitor and the virtual ports folder through a file-system
// watcher; where no udev runs, only the virtual ports are followed.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

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
};

// SPDX-License-Identifier: MIT
#include "ui/TandorMain.h"

QStringList TMerrowMainForm::EnumerateComPorts()
{
    return {};
}

void TMerrowMainForm::RefreshPortList()
{}

void TMerrowMainForm::DeviceNotifierDeviceArrival(TDeviceNotifier *, const QString &)
{}

void TMerrowMainForm::DeviceNotifierDeviceRemoval(TDeviceNotifier *, const QString &)
{}

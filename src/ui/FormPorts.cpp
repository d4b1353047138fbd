// SPDX-License-Identifier: MIT
// The port list and what the main window does when serial devices come and go.
#include "ui/TandorMain.h"

#include "link/ComPort.h"
#include "ports/DeviceNotifier.h"
#include "ports/PortEnumerator.h"
#include "ui/ComboBox.h"

QStringList TMerrowMainForm::EnumerateComPorts()
{
    return EnumerateSerialPorts();
}

void TMerrowMainForm::RefreshPortList()
{
    // Emptying the list also clears its selection and text; the entries are added one by one
    // and the list keeps them in character order. No entry is selected again here: only
    // start-up follows the refresh with SelectPort.
    ComComboBox1->ClearItems();
    const QStringList entries = EnumerateComPorts();
    for (const QString &entry : entries)
        ComComboBox1->AddItem(entry);
}

void TMerrowMainForm::DeviceNotifierDeviceArrival(TDeviceNotifier *, const QString &)
{
    // The connection carries on. The port it holds fails the probe and is missing from the
    // refreshed list until the port is next closed.
    RefreshPortList();
}

void TMerrowMainForm::DeviceNotifierDeviceRemoval(TDeviceNotifier *, const QString &)
{
    // Whichever device left, the port is closed: the connection timer reopens the saved port
    // at its next tick if it is still there, or once it comes back.
    ComPort1->Close();
    RefreshPortList();
}

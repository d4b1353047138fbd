// SPDX-License-Identifier: MIT
// The connection timer's tick, the serial port's events and the choice of port. The tick
// applies what the pure step (link/ConnectionStep.h) decides.
#include "ui/TandorMain.h"

#include "core/PortPaths.h"
#include "link/ComPort.h"
#include "link/ConnectionStep.h"
#include "ports/PortEntry.h"
#include "storage/Preferences.h"
#include "ui/ComboBox.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <exception>
#include <optional>

void TMerrowMainForm::tmComStateTimer()
{
    const TConnectionActions step =
        ConnectionStep({fComState, ComPort1->Active(), fComDataTimeoutCnt, fLoadingParam});
    fComState = step.state;
    fComDataTimeoutCnt = step.silentTicks;
    if (step.resumeReading)
        ComPort1->ResumeReading();
    if (step.portLabel)
        lbComIsOpen->setText(*step.portLabel);
    if (step.clearVersion)
        lbVersion->clear();
    if (step.connectionLabel)
        lbIntfConnection->setText(*step.connectionLabel);
    if (step.cursor != TConnectionCursor::Unchanged)
        Seam().SetCursor(step.cursor == TConnectionCursor::Wait ? TCursorKind::Wait
                                                                : TCursorKind::Arrow);
    switch (step.command) {
    case TConnectionCommand::None:
        break;
    case TConnectionCommand::OpenPort:
        // A successful open raises the port-opened event at once (state csNotConnected).
        OpenSavedPort();
        break;
    case TConnectionCommand::RequestVersion:
        RequestVersion();
        break;
    case TConnectionCommand::RequestSerial:
        RequestSerial();
        break;
    case TConnectionCommand::StartStatusReports:
        StartStatusReports();
        break;
    case TConnectionCommand::RequestParam:
        RequestParam(step.param);
        break;
    }
    ShowLoadingBar(step.loadingBar);
}

void TMerrowMainForm::ShowLoadingBar(const TLoadingBarView &view)
{
    fLoadingParam = view.loadingParam;
    pbLoading->setValue(pbLoading->minimum() + view.offset);
    pbLoading->setVisible(view.visible);
}

void TMerrowMainForm::UpdateLoadingBar()
{
    ShowLoadingBar(LoadingBarView(fComState, fLoadingParam));
}

void TMerrowMainForm::ComPort1Open()
{
    fComState = csNotConnected;
    lbComIsOpen->setText(Connection::PortOpenText());
}

void TMerrowMainForm::ComPort1Close()
{
    fComState = csNotOpened;
    lbComIsOpen->setText(Connection::PortClosedText());
}

void TMerrowMainForm::ComPort1Error(int)
{
    // Which line error it was does not matter: the handshake starts over at the next tick.
    fComState = csPortError;
    lbComIsOpen->setText(Connection::PortErrorText());
}

void TMerrowMainForm::ComPort1PErr()
{
    fComState = csPortError;
    lbComIsOpen->setText(Connection::PortErrorText());
}

void TMerrowMainForm::ComPort1OutputFull(const QString &message)
{
    Seam().ShowMessage(this, TMessageKind::Error, message);
}

void TMerrowMainForm::OpenSavedPort()
{
    // A port that cannot be opened (none saved, a name that is no port, a missing or busy
    // device) is not reported here: the next tick simply tries again.
    try {
        const std::optional<QString> port = PortToOpen(fComPort);
        if (!port)
            return;
        ComPort1->SetPortName(*port);
        ComPort1->Open();
    } catch (const std::exception &) {
    } catch (...) {
    }
}

void TMerrowMainForm::SelectPort(const QString &name)
{
    // Shows the saved port in the list without picking it: nothing is opened here.
    QStringList entries;
    for (int i = 0; i < ComComboBox1->count(); ++i)
        entries << ComComboBox1->itemText(i);
    const int found = FindPortEntry(entries, name);
    if (found >= 0)
        ComComboBox1->SetItemIndex(found);
}

void TMerrowMainForm::ComComboBox1DropDown()
{
    // While the user chooses, no tick may reopen the port that is being replaced.
    ComPort1->Close();
    RefreshPortList();
    tmComState->stop();
    // No tick comes until a port is picked, so show now what the next one would: not
    // connected, no version, the arrow (not the wait cursor of a first cycle cut short).
    lbVersion->clear();
    lbIntfConnection->setText(Connection::NotConnectedText());
    Seam().SetCursor(TCursorKind::Arrow);
    UpdateLoadingBar();
}

void TMerrowMainForm::ComComboBox1Change()
{
    if (ComPort1->Active())
        ComPort1->Close();
    fComPort = PortNameOfEntry(ComComboBox1->currentText());

    // The choice is kept even when the port cannot be opened now; a failed save loses only
    // the preference.
    TPreferences::WriteComPort(*KVTRegistryStore, fComPort);

    OpenSavedPort();
    if (!ComPort1->Active())
        Seam().ShowMessage(this, TMessageKind::Warning,
                           QStringLiteral("Could not open selected COM-port"));
    tmComState->start();
}

// SPDX-License-Identifier: MIT
// The connection timer's tick, the serial port's events and the choice of port. The tick
// applies what the pure step (link/ConnectionStep.h) decides.
#include "ui/TandorMain.h"

#include "core/Errors.h"
#include "link/ComPort.h"
#include "link/ConnectionStep.h"
#include "storage/KVTRegStore.h"
#include "ui/ComboBox.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <exception>

namespace {

// Blanks and control characters (codes 0 to 32) off both ends.
QString TrimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

// A port-list entry is the port name, two blanks and a description: the name is everything
// before the first blank.
QString PortNameOfEntry(const QString &entry)
{
    const qsizetype blank = entry.indexOf(QLatin1Char(' '));
    return blank < 0 ? entry : entry.left(blank);
}

} // namespace

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
#ifdef Q_OS_WIN
        // Windows names are COM and a number; the letters are not looked at.
        bool ok = false;
        const int number = fComPort.mid(3).toInt(&ok, 10);
        if (!ok)
            throw TError(QStringLiteral("EConvertError"),
                         QStringLiteral("'%1' is not a valid integer value").arg(fComPort.mid(3)));
        ComPort1->SetPortNum(number);
#else
        // Elsewhere the saved name is the port name itself (ttyUSB0, sim0).
        ComPort1->SetPortName(fComPort);
#endif
        ComPort1->Open();
    } catch (const std::exception &) {
    } catch (...) {
    }
}

void TMerrowMainForm::SelectPort(const QString &name)
{
    // Shows the saved port in the list without picking it: nothing is opened here.
    const QString wanted = TrimBlanks(name);
    for (int i = 0; i < ComComboBox1->count(); ++i) {
        if (TrimBlanks(PortNameOfEntry(ComComboBox1->itemText(i))) == wanted)
            ComComboBox1->SetItemIndex(i); // of several matches the last one stays
    }
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
    const QString section = QStringLiteral("MainApp");
    try {
        KVTRegistryStore->Open();
        KVTRegistryStore->WriteString(section, QStringLiteral("InterfaceComPort"), fComPort);
        KVTRegistryStore->Close();
    } catch (...) {
        try {
            KVTRegistryStore->Close();
        } catch (...) {
        }
    }

    OpenSavedPort();
    if (!ComPort1->Active())
        Seam().ShowMessage(this, TMessageKind::Warning,
                           QStringLiteral("Could not open selected COM-port"));
    tmComState->start();
}

// SPDX-License-Identifier: MIT
// The connection state machine, the serial port's events and the choice of port.
//
// One 150 ms tick drives the whole conversation: it opens the saved port, asks for the
// firmware version until it answers, then for the serial number, switches the status reports
// on and from then on asks for one parameter per tick in an endless cycle. Replies and port
// events move the state between ticks; a count of ticks without any received byte notices an
// interface that fell silent.
#include "ui/TandorMain.h"

#include "core/Errors.h"
#include "link/ComPort.h"
#include "storage/KVTRegStore.h"
#include "ui/ComboBox.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>
#include <exception>

namespace {

// Ticks without a received byte after which the interface counts as silent (1.05 to 1.2 s).
constexpr int32_t kDataTimeoutTicks = 8;

const QString kPortClosed = QStringLiteral("COM-port is closed");
const QString kPortOpen = QStringLiteral("COM-port is open");
const QString kPortError = QStringLiteral("COM-port Error");
const QString kNotConnected = QStringLiteral("Not Connected to interface");
const QString kConnected = QStringLiteral("Connected to interface");

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
    // 1. Data timeout: every tick without a received byte counts, up to 8; from then on each
    //    tick starts the handshake again.
    if (fComDataTimeoutCnt < kDataTimeoutTicks)
        ++fComDataTimeoutCnt;
    if (fComDataTimeoutCnt == kDataTimeoutTicks) {
        fComState = csNoData;
        // A silent line may also be one that Qt has stopped reading; make sure the answer to
        // the next request is read.
        ComPort1->ResumeReading();
    }

    // 2. Port check.
    if (!ComPort1->Active()) {
        fComState = csNotOpened;
        lbComIsOpen->setText(kPortClosed);
    }

    // 3. One step by state.
    switch (fComState) {
    case csNotOpened:
    case csPortError:
        lbVersion->clear();
        lbIntfConnection->setText(kNotConnected);
        Seam().SetCursor(TCursorKind::Arrow);
        if (ComPort1->Active()) {
            // After a line error the port is still open: start over with the version.
            fComState = csNoData;
            RequestVersion();
        } else {
            // Opening raises the port-opened event at once, so a successful open ends this
            // tick in csNotConnected.
            try {
                OpenSavedPort();
            } catch (...) {
            }
        }
        break;
    case csNotConnected:
    case csNoData:
        lbIntfConnection->setText(kNotConnected);
        lbVersion->clear();
        Seam().SetCursor(TCursorKind::Arrow);
        RequestVersion(); // again at every tick until the version reply comes
        break;
    case csVersionReceived:
        lbIntfConnection->setText(kConnected);
        RequestSerial();
        Seam().SetCursor(TCursorKind::Wait);
        fComState = csReqSerial;
        fLoadingParam = 0;
        break;
    case csReqSerial:
        // The serial number is not waited for: its reply, whenever it comes, lands here again
        // and restarts the parameter cycle.
        lbIntfConnection->setText(kConnected);
        StartStatusReports();
        fComState = csReqPrm1;
        break;
    case csStatusReceived:
    case csSendingSettings:
        break;
    default:
        if (fComState >= csReqPrm1 && fComState <= csReqPrm16) {
            const int n = fComState - csReqPrm1 + 1;
            RequestParam(n);
            if (n < TSettingsData::Last) {
                fComState = tComStates(fComState + 1);
            } else {
                fComState = csReqPrm1;
                Seam().SetCursor(TCursorKind::Arrow);
            }
            if (fLoadingParam >= 0 && fLoadingParam < kLoadingDone)
                fLoadingParam = n;
        }
        break;
    }

    UpdateLoadingBar();
}

// The loading bar is seen while the parameters are first read after a connection (or again
// after a revert): it appears with the serial-number request, fills from 5 to 20 as parameters
// 1 to 16 are requested, stays full for one tick and then goes. The endless cycle after that
// shows nothing; losing the connection hides it at once.
void TMerrowMainForm::UpdateLoadingBar()
{
    if (fComState < csReqSerial || fLoadingParam == kLoadingDone)
        fLoadingParam = -1;
    if (fLoadingParam < 0) {
        pbLoading->setVisible(false);
        pbLoading->setValue(pbLoading->minimum());
        return;
    }
    pbLoading->setValue(pbLoading->minimum() + std::max(fLoadingParam - 1, 0));
    pbLoading->setVisible(true);
    if (fLoadingParam == TSettingsData::Last)
        fLoadingParam = kLoadingDone;
}

void TMerrowMainForm::ComPort1Open()
{
    fComState = csNotConnected;
    lbComIsOpen->setText(kPortOpen);
}

void TMerrowMainForm::ComPort1Close()
{
    fComState = csNotOpened;
    lbComIsOpen->setText(kPortClosed);
}

void TMerrowMainForm::ComPort1Error(int)
{
    // Which line error it was does not matter: the handshake starts over at the next tick.
    fComState = csPortError;
    lbComIsOpen->setText(kPortError);
}

void TMerrowMainForm::ComPort1PErr()
{
    fComState = csPortError;
    lbComIsOpen->setText(kPortError);
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
    lbIntfConnection->setText(kNotConnected);
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

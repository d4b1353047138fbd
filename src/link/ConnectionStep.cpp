// SPDX-License-Identifier: MIT
#include "link/ConnectionStep.h"

#include "core/SettingsTable.h"
#include "link/Commands.h"

#include <algorithm>

namespace Connection {

QString PortClosedText()
{
    return QStringLiteral("COM-port is closed");
}

QString PortOpenText()
{
    return QStringLiteral("COM-port is open");
}

QString PortErrorText()
{
    return QStringLiteral("COM-port Error");
}

QString NotConnectedText()
{
    return QStringLiteral("Not Connected to interface");
}

QString ConnectedText()
{
    return QStringLiteral("Connected to interface");
}

} // namespace Connection

TConnectionActions ConnectionStep(const TConnectionInput &in)
{
    using namespace Connection;
    TConnectionActions out;
    out.state = in.state;
    out.silentTicks = in.silentTicks;
    int loadingParam = in.loadingParam;

    // 1. Data timeout: every tick without a received byte counts, up to 8; from then on each
    //    tick starts the handshake again.
    if (out.silentTicks < kDataTimeoutTicks)
        ++out.silentTicks;
    if (out.silentTicks == kDataTimeoutTicks) {
        out.state = csNoData;
        out.resumeReading = true;
    }

    // 2. Port check.
    if (!in.portOpen) {
        out.state = csNotOpened;
        out.portLabel = PortClosedText();
    }

    // 3. One step by state.
    switch (out.state) {
    case csNotOpened:
    case csPortError:
        out.clearVersion = true;
        out.connectionLabel = NotConnectedText();
        out.cursor = TConnectionCursor::Arrow;
        if (in.portOpen) {
            // After a line error the port is still open: start over with the version.
            out.state = csNoData;
            out.command = TConnectionCommand::RequestVersion;
        } else {
            // Opening raises the port-opened event at once, so a successful open ends the
            // tick in csNotConnected.
            out.command = TConnectionCommand::OpenPort;
        }
        break;
    case csNotConnected:
    case csNoData:
        out.connectionLabel = NotConnectedText();
        out.clearVersion = true;
        out.cursor = TConnectionCursor::Arrow;
        out.command = TConnectionCommand::RequestVersion; // at every tick until the reply
        break;
    case csVersionReceived:
        out.connectionLabel = ConnectedText();
        out.command = TConnectionCommand::RequestSerial;
        out.cursor = TConnectionCursor::Wait;
        out.state = csReqSerial;
        loadingParam = 0;
        break;
    case csReqSerial:
        // The serial number is not waited for: its reply, whenever it comes, lands here again
        // and restarts the parameter cycle.
        out.connectionLabel = ConnectedText();
        out.command = TConnectionCommand::StartStatusReports;
        out.state = csReqPrm1;
        break;
    case csStatusReceived:
    case csSendingSettings:
        break;
    default:
        if (out.state >= csReqPrm1 && out.state <= csReqPrm16) {
            const int n = out.state - csReqPrm1 + 1;
            out.command = TConnectionCommand::RequestParam;
            out.param = n;
            if (n < TSettingsData::Last) {
                out.state = tComStates(out.state + 1);
            } else {
                out.state = csReqPrm1;
                out.cursor = TConnectionCursor::Arrow;
            }
            if (loadingParam >= 0 && loadingParam < kLoadingDone)
                loadingParam = n;
        }
        break;
    }

    out.loadingBar = LoadingBarView(out.state, loadingParam);
    return out;
}

TLoadingBarView LoadingBarView(tComStates state, int loadingParam)
{
    using namespace Connection;
    TLoadingBarView view;
    if (state < csReqSerial || loadingParam == kLoadingDone)
        loadingParam = kNoLoading;
    if (loadingParam < 0)
        return view;
    view.visible = true;
    view.offset = std::max(loadingParam - 1, 0);
    view.loadingParam = loadingParam == TSettingsData::Last ? kLoadingDone : loadingParam;
    return view;
}

QByteArray CommandBytes(TConnectionCommand command, int param)
{
    switch (command) {
    case TConnectionCommand::RequestVersion:
        return Commands::RequestVersion();
    case TConnectionCommand::RequestSerial:
        return Commands::RequestSerial();
    case TConnectionCommand::StartStatusReports:
        return Commands::StatusReports(true);
    case TConnectionCommand::RequestParam:
        return Commands::RequestParam(param);
    case TConnectionCommand::None:
    case TConnectionCommand::OpenPort:
        break;
    }
    return {};
}

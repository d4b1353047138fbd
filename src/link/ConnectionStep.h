// SPDX-License-Identifier: MIT
// The connection state machine as one pure step.
//
// One 150 ms tick drives the whole conversation with the interface: it opens the saved port,
// asks for the firmware version until it answers, then for the serial number, switches the
// status reports on and from then on asks for one parameter per tick in an endless cycle.
// Replies and port events move the state between ticks; a count of ticks without any received
// byte notices an interface that fell silent.
//
// ConnectionStep computes one tick from what the caller holds (state, whether the port is open,
// the silent-tick count, the position in the first parameter cycle) and returns the next values
// of those and the tick's actions. It performs nothing: the window (or any other driver of the
// conversation) applies the actions in the order the fields are listed.
#pragma once

#include "core/ComStates.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace Connection {

// Ticks without a received byte after which the interface counts as silent (1.05 to 1.2 s).
inline constexpr int kDataTimeoutTicks = 8;

// The position in the first full parameter cycle after a connection or a revert (what the
// loading bar shows): the number of the last parameter requested in it, 0 before the first,
// kLoadingDone once all sixteen were, kNoLoading while no such cycle runs.
inline constexpr int kNoLoading = -1;
inline constexpr int kLoadingDone = 17;

// The texts of the port and connection labels.
QString PortClosedText();
QString PortOpenText();
QString PortErrorText();
QString NotConnectedText();
QString ConnectedText();

} // namespace Connection

// What a tick sends (or, for OpenPort, does to the port).
enum class TConnectionCommand
{
    None,
    OpenPort,           // open the saved port; success raises the port-opened event at once
    RequestVersion,     // ask for the firmware version
    RequestSerial,      // ask for the serial number
    StartStatusReports, // switch the status reports on
    RequestParam,       // ask for parameter `param`
};

enum class TConnectionCursor
{
    Unchanged,
    Arrow,
    Wait,
};

struct TConnectionInput
{
    tComStates state = csNotOpened;
    bool portOpen = false;
    int silentTicks = 0;                       // ticks since the last received byte, up to 8
    int loadingParam = Connection::kNoLoading; // the cycle position (see above)
};

// The loading bar after a tick: visible or not, and its value above the bar's minimum (0 to 15).
struct TLoadingBarView
{
    int loadingParam = Connection::kNoLoading; // the cycle position after the bar was shown
    bool visible = false;
    int offset = 0;

    friend bool operator==(const TLoadingBarView &, const TLoadingBarView &) = default;
};

struct TConnectionActions
{
    // The values to keep for the next tick.
    tComStates state = csNotOpened;
    int silentTicks = 0;
    // The line fell silent: make sure the answer to the next request is read (Qt may have
    // stopped reading a line that said nothing for long).
    bool resumeReading = false;
    // Label texts; no value leaves the label as it is.
    std::optional<QString> portLabel;       // lbComIsOpen
    std::optional<QString> connectionLabel; // lbIntfConnection
    bool clearVersion = false;              // lbVersion emptied
    TConnectionCursor cursor = TConnectionCursor::Unchanged;
    TConnectionCommand command = TConnectionCommand::None;
    int param = 0; // the parameter number of RequestParam
    TLoadingBarView loadingBar;

    friend bool operator==(const TConnectionActions &, const TConnectionActions &) = default;
};

// One tick of the connection state machine.
TConnectionActions ConnectionStep(const TConnectionInput &in);

// The loading bar for a state and a cycle position. It is seen while the parameters are first
// read after a connection (or again after a revert): it appears with the serial-number request,
// fills from 0 to 15 as parameters 1 to 16 are requested, stays full for one tick and then goes.
// The endless cycle after that shows nothing; losing the connection hides it at once.
TLoadingBarView LoadingBarView(tComStates state, int loadingParam);

// The bytes a command puts on the wire; empty for None and OpenPort.
QByteArray CommandBytes(TConnectionCommand command, int param);

// SPDX-License-Identifier: MIT
// The states of the conversation with the interface, in the order the program compares them.
#pragma once

enum tComStates : int
{
    csNotOpened,       // the serial port is not open
    csNotConnected,    // the port is open, no version reply yet
    csNoData,          // nothing received for 8 ticks, or the handshake restarts after an error
    csPortError,       // the port reported a line error
    csReqSerial,       // the serial number has been requested or has arrived
    csVersionReceived, // the version reply has arrived
    csStatusReceived,  // never entered; a tick in it does nothing
    csReqPrm1,
    csReqPrm2,
    csReqPrm3,
    csReqPrm4,
    csReqPrm5,
    csReqPrm6,
    csReqPrm7,
    csReqPrm8,
    csReqPrm9,
    csReqPrm10,
    csReqPrm11,
    csReqPrm12,
    csReqPrm13,
    csReqPrm14,
    csReqPrm15,
    csReqPrm16,
    csSendingSettings // a loaded settings file is being sent; a tick in it does nothing
};

static_assert(csReqPrm1 == 7 && csReqPrm16 == 22 && csSendingSettings == 23);

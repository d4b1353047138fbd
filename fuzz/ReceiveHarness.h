// SPDX-License-Identifier: MIT
// What both receive-path targets share. One main window lives for the whole run, so the state
// one input leaves behind (a partial line, an overlong line being skipped, the levels, the
// firmware version, the parameter table) is where the next begins, as in a long session with a
// misbehaving interface. The window is fed through its own receive entry (ReceiveBytes), so
// every byte goes through the window's framing, field splitting, reply dispatch and reply
// handlers exactly as bytes from the serial port would.
//
// Input layout: the first byte, modulo 17, is the number of split bytes that follow; each is
// the length of one receive event (0 to 255 bytes, an empty event included); what remains
// after the last split is one more event. Every 1024th input is preceded by a line without
// end: the input's own bytes without line ends, repeated past the framer's bound.
//
// Beside the window runs a plain model of what the replies must leave behind: any CR or LF ends
// a line, a line longer than the framer's bound is dropped up to its line end, and each reply
// sets what its handler sets. After each input the window must agree with the model on the
// partial line, the levels and indications of the last status report, the firmware version,
// the serial number, the PEI states and the connection state; every parameter stays within the
// widest range any firmware allows, and no error reached the user. Every 64 inputs the window
// must still answer a plain status report.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

enum class TReceivePainting
{
    // The window is shown: every receive event's repaint paints the diagram (the integration
    // target, slow).
    Shown,
    // The window is never shown: the reply handlers run in full, painting is skipped by Qt.
    Hidden,
};

// LLVMFuzzerInitialize of a receive target. With --write-seeds=DIR writes the seeds and ends
// the process.
int ReceiveFuzzInitialize(int *argc, char ***argv, TReceivePainting painting);

// LLVMFuzzerTestOneInput of a receive target.
int ReceiveFuzzOneInput(const uint8_t *data, size_t size);

// Writes the seed inputs: sessions with the simulated interface (what tandor-sim answers to
// the program's own commands, at several firmware versions and serial numbers) and replies cut
// at the edges of the protocol.
void WriteReceiveSeeds(const QString &folder);

// SPDX-License-Identifier: MIT
// One conversation of tandor-cli with a unit over an open TComPort.
//
// The steps are the window's connection steps (ConnectionStep): the version request until the
// unit answers, the serial-number request, then the sixteen parameter requests in table order.
// The window paces them by its 150 ms tick and never waits; a command-line run has a result
// to deliver, so each parameter request waits for its answer, and the tick only paces the
// repeated version request. Status reports are never switched on: the program reads the set,
// it does not watch the radios.
//
// Replies go through the window's framing, field splitting and reply classification. Every
// wait is bounded by the timeout for one answer; a unit that does not answer in time ends the
// command with exit 3, a port that goes away with exit 2, a termination signal with its own
// code (TCliFailure::Interrupted).
#pragma once

#include "cli/SetChecks.h"
#include "core/ComStates.h"
#include "link/FieldSplitter.h"
#include "link/LineFramer.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

#include <array>
#include <csignal>
#include <cstdint>
#include <functional>
#include <optional>

class TComPort;

// The signal that asked the program to end, 0 while none has; set by the signal handler.
extern volatile std::sig_atomic_t gCliSignal;

class TUnitSession
{
public:
    // The window's tick: how often the version request goes out while the unit is silent.
    static constexpr int kRetryMs = 150;

    TUnitSession(TComPort &port, QString portLabel, int timeoutMs);
    ~TUnitSession();
    TUnitSession(const TUnitSession &) = delete;
    TUnitSession &operator=(const TUnitSession &) = delete;

    // Firmware version, then the serial-number request. Throws TCliFailure.
    void Connect();
    // The sixteen parameter requests, each waiting for its answer. Throws TCliFailure.
    TParamValues ReadParameters();
    // Sends the sixteen values in table order ("4,n,v"); nothing answers these.
    void WriteParameters(const TParamValues &values);
    // Sends one command as it stands.
    void Send(const QByteArray &command);
    // Waits until everything sent has left the output queue, so that closing the port drops
    // nothing. Throws TCliFailure.
    void Drain();

    int32_t Major() const { return fMajor; }
    int32_t Minor() const { return fMinor; }
    // The serial number, once its reply came (it is not waited for).
    const std::optional<QString> &Serial() const { return fSerial; }

private:
    void Received(int count);
    void HandleLine(const QByteArray &line);
    // Runs the message loop until done() or the deadline; false at the deadline.
    bool WaitUntil(const std::function<bool()> &done, QDeadlineTimer deadline);
    QDeadlineTimer AnswerDeadline() const { return QDeadlineTimer(fTimeoutMs); }
    [[noreturn]] void NoAnswer(const QString &what) const;
    // Runs the connection steps from state until the first parameter request (withParams
    // false) or through the sixteenth parameter (true).
    void RunSteps(tComStates state, bool withParams);

    TComPort &fPort;
    QString fPortLabel;
    int fTimeoutMs;

    TLineFramer fFramer;
    QByteArray fLine;
    TWireFields fFields;

    bool fVersionSeen = false;
    int32_t fMajor = 0;
    int32_t fMinor = 0;
    std::optional<QString> fSerial;
    std::array<std::optional<int32_t>, TSettingsData::Count> fParams{};
    // The parameter whose request is in flight, 0 when none is.
    int fAwaited = 0;
};

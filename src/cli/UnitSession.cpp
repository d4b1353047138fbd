// SPDX-License-Identifier: MIT
#include "cli/UnitSession.h"

#include "cli/CliArgs.h"
#include "cli/CliFailure.h"
#include "link/ComPort.h"
#include "link/Commands.h"
#include "link/ConnectionStep.h"
#include "link/ReplyDispatch.h"
#include "link/WireNumber.h"

#include <QCoreApplication>
#include <QTimer>

volatile std::sig_atomic_t gCliSignal = 0;

TUnitSession::TUnitSession(TComPort &port, QString portLabel, int timeoutMs)
    : fPort(port), fPortLabel(std::move(portLabel)), fTimeoutMs(timeoutMs)
{
    fPort.OnRxChar = [this](int count) {
        Received(count);
    };
}

TUnitSession::~TUnitSession()
{
    fPort.OnRxChar = nullptr;
}

void TUnitSession::Received(int count)
{
    const QByteArray bytes = fPort.Read(count);
    fFramer.Feed(fLine, bytes.constData(), bytes.size(),
                 [this](const QByteArray &line) { HandleLine(line); });
}

void TUnitSession::HandleLine(const QByteArray &line)
{
    switch (ClassifyLine(line, fFields)) {
    case TReplyKind::Version:
        fMajor = ReadWireInt(fFields[1], 0);
        fMinor = ReadWireInt(fFields[2], 0);
        fVersionSeen = true;
        break;
    case TReplyKind::Serial:
        fSerial = fFields.Text(1);
        break;
    case TReplyKind::Param: {
        // Only the first answer to the request in flight counts: a late or repeated reply to an
        // earlier request must not overwrite the value that was taken for it.
        const int32_t index = ReadWireInt(fFields[1], -1);
        if (index == fAwaited && !fParams[size_t(index - 1)])
            fParams[size_t(index - 1)] = ReadWireInt(fFields[2], -1);
        break;
    }
    case TReplyKind::Status:
    case TReplyKind::PeiStatus:
    case TReplyKind::None:
        break;
    }
}

bool TUnitSession::WaitUntil(const std::function<bool()> &done, QDeadlineTimer deadline)
{
    QTimer wake;
    wake.setSingleShot(true);
    while (!done()) {
        if (gCliSignal != 0)
            throw TCliFailure(128 + int(gCliSignal), QString());
        if (!fPort.Active())
            throw TCliFailure(kExitUsage,
                              QStringLiteral("port %1: closed while talking to the unit (device "
                                             "removed?)")
                                  .arg(fPortLabel));
        if (deadline.hasExpired())
            return false;
        wake.start(int(std::max<qint64>(deadline.remainingTime(), 1)));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void TUnitSession::NoAnswer(const QString &what) const
{
    throw TCliFailure(kExitNoAnswer,
                      QStringLiteral("port %1: the unit did not answer %2 within %3 s")
                          .arg(fPortLabel, what)
                          .arg(double(fTimeoutMs) / 1000.0));
}

void TUnitSession::Send(const QByteArray &command)
{
    if (!fPort.WriteText(command))
        throw TCliFailure(
            kExitUsage,
            QStringLiteral("port %1: %2").arg(fPortLabel, TComPort::kOutputFullMessage));
}

void TUnitSession::RunSteps(tComStates state, bool withParams)
{
    const QDeadlineTimer versionDeadline = AnswerDeadline();
    for (;;) {
        TConnectionInput in;
        in.state = state;
        in.portOpen = fPort.Active();
        const TConnectionActions step = ConnectionStep(in);
        state = step.state;
        switch (step.command) {
        case TConnectionCommand::RequestVersion: {
            Send(CommandBytes(step.command, step.param));
            // Asked again at every tick until it answers, as the window does.
            QDeadlineTimer tick(kRetryMs);
            if (versionDeadline.deadline() < tick.deadline())
                tick = versionDeadline;
            if (WaitUntil([this] { return fVersionSeen; }, tick))
                state = csVersionReceived; // what the version reply does to the state
            else if (versionDeadline.hasExpired())
                NoAnswer(QStringLiteral("the version request"));
            break;
        }
        case TConnectionCommand::RequestSerial:
            // Not waited for, as in the window; its reply is taken whenever it comes.
            Send(CommandBytes(step.command, step.param));
            break;
        case TConnectionCommand::StartStatusReports:
            break; // the set is read, the radios are not watched
        case TConnectionCommand::RequestParam: {
            if (!withParams)
                return;
            const int n = step.param;
            fParams[size_t(n - 1)].reset();
            fAwaited = n;
            Send(CommandBytes(step.command, n));
            if (!WaitUntil([this, n] { return fParams[size_t(n - 1)].has_value(); },
                           AnswerDeadline()))
                NoAnswer(QStringLiteral("the request for %1").arg(ParamName(n)));
            fAwaited = 0;
            if (n == TSettingsData::Last)
                return;
            break;
        }
        case TConnectionCommand::OpenPort:
            // The port was found closed: it went away between two steps.
            WaitUntil([] { return false; }, QDeadlineTimer(0));
            return;
        case TConnectionCommand::None:
            // A state in which the window's tick does nothing; none is reached from here.
            return;
        }
    }
}

void TUnitSession::Connect()
{
    // The port has just opened: the port-opened event's state.
    RunSteps(csNotConnected, false);
}

TParamValues TUnitSession::ReadParameters()
{
    RunSteps(csReqPrm1, true);
    TParamValues values{};
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = fParams[i].value_or(-1);
    return values;
}

void TUnitSession::WriteParameters(const TParamValues &values)
{
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i)
        Send(Commands::SendParam(i, values[size_t(i - 1)]));
}

void TUnitSession::Drain()
{
    if (!WaitUntil([this] { return fPort.OutQueue() == 0; }, AnswerDeadline()))
        throw TCliFailure(kExitUsage,
                          QStringLiteral("port %1: the commands could not be sent within %2 s")
                              .arg(fPortLabel)
                              .arg(double(fTimeoutMs) / 1000.0));
}

// SPDX-License-Identifier: MIT
// The main window's side of the wire protocol: the commands it sends, the framing of received
// bytes into lines, and what each reply does to the controller's state and controls.
#include "ui/TandorMain.h"

#include "core/Errors.h"
#include "core/ValueMappings.h"
#include "link/ComPort.h"
#include "link/Commands.h"
#include "link/ConnectionStep.h"
#include "link/ReplyDispatch.h"
#include "link/WireNumber.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <exception>
#include <typeinfo>

#if defined(__GNUG__)
#include <cxxabi.h>

#include <cstdlib>
#endif

namespace {

// A readable name for an exception's type: "std::bad_alloc" rather than "St9bad_alloc".
QString TypeName(const std::type_info *type)
{
    if (!type)
        return QStringLiteral("unknown exception");
    const char *raw = type->name();
#if defined(__GNUG__)
    int status = 0;
    char *demangled = abi::__cxa_demangle(raw, nullptr, nullptr, &status);
    if (status == 0 && demangled) {
        QString name = QString::fromLatin1(demangled);
        std::free(demangled);
        return name;
    }
    std::free(demangled);
#endif
    return QString::fromLatin1(raw);
}

const std::type_info *CurrentExceptionType()
{
#if defined(__GNUG__)
    return abi::__cxa_current_exception_type();
#else
    return nullptr;
#endif
}

} // namespace

// ---- receiving ----------------------------------------------------------------------------

// One receive event. readByte(char &) takes the next byte or returns false when none is left.
// Bytes are read one at a time and framed at once, so that when a line's handling fails the
// bytes behind it stay unread in their queue for the next event. False when an error ended it.
template <class ReadByte> bool TMerrowMainForm::RunReceiveEvent(int count, ReadByte &&readByte)
{
    fComDataTimeoutCnt = 0;
    fFramer.BeginEvent();
    const bool outerEvent = fInRxEvent;
    fInRxEvent = true;

    QString errorClass;
    QString errorMessage;
    bool failed = false;
    // Nothing may leave the port's event handler by an exception: the port's own code is on
    // the stack below it. The first error of the event is the one reported.
    auto guarded = [&](auto &&work) {
        try {
            work();
            return;
        } catch (const TError &e) {
            if (!failed) {
                errorClass = e.ClassName();
                errorMessage = e.Message();
            }
        } catch (const std::exception &e) {
            if (!failed) {
                errorClass = TypeName(&typeid(e));
                errorMessage = QString::fromLocal8Bit(e.what());
            }
        } catch (...) {
            if (!failed)
                errorClass = TypeName(CurrentExceptionType());
        }
        failed = true;
    };

    guarded([&] {
        for (int i = 0; i < count; ++i) {
            char c;
            if (!readByte(c))
                break;
            fFramer.Push(fComPort1InputBuffer, c,
                         [this](const QByteArray &line) { HandleReply(line); });
        }
    });

    fInRxEvent = outerEvent;
    // The replies of this event asked for a repaint: one paint after the last of them shows
    // the same picture as one after each, at a fraction of the cost. Also after an error, so
    // that the window shows every reply that was handled.
    if (fRepaintPending && !fInRxEvent) {
        fRepaintPending = false;
        guarded([this] { RepaintForReplies(); });
    }
    if (failed)
        ReportRxError(errorClass, errorMessage);
    return !failed;
}

void TMerrowMainForm::ComPort1RxChar(int Count)
{
    RunReceiveEvent(Count, [this](char &c) { return ComPort1->ReadChar(c); });
}

void TMerrowMainForm::ReceiveBytes(QByteArrayView bytes)
{
    // A receive event reports its count as an int; a larger block is several events. The bytes
    // behind a line whose handling failed have no queue to wait in and are dropped.
    qsizetype next = 0;
    const qsizetype count = bytes.size();
    bool ok = true;
    do {
        const int chunk = int(std::min<qsizetype>(count - next, 1 << 30));
        ok = RunReceiveEvent(chunk, [&](char &c) {
            if (next >= count)
                return false;
            c = bytes[next++];
            return true;
        });
    } while (ok && next < count);
}

void TMerrowMainForm::ReportRxError(const QString &className, const QString &message)
{
    // The boxes are modal and run the message loop; shown from inside the port's event they
    // would let further port events in while this one is still on the stack. Show them from
    // the message loop instead, once for a burst of errors.
    if (fRxErrorReportBusy)
        return;
    fRxErrorReportBusy = true;
    QMetaObject::invokeMethod(
        this,
        [this, className, message] {
            fSeam->ShowMessage(nullptr, TMessageKind::Plain,
                               QStringLiteral("Exception class name = ") + className);
            fSeam->ShowMessage(nullptr, TMessageKind::Plain,
                               QStringLiteral("Exception message = ") + message);
            fRxErrorReportBusy = false;
        },
        Qt::QueuedConnection);
}

void TMerrowMainForm::RepaintForReplies()
{
    // An interface that reports without pause hands over a receive event every few
    // milliseconds, far more often than a screen shows pictures. The first event after a
    // quiet frame interval paints at once; those that follow within the interval leave one
    // paint for its end, which shows everything they brought. A receive event that changed
    // nothing on show (most parameter replies) paints nothing, and does not count as a paint
    // that the next status report would have to wait behind.
    const std::chrono::milliseconds now = fClock();
    const auto wait = fRxPaintThrottle.WaitBeforePaint(now);
    if (wait.count() > 0 && fRxPaintTimer->isActive())
        return; // the paint at the interval's end shows this event's replies too
    if (LiveIndicatorsShown())
        return;
    if (wait.count() > 0) {
        fRxPaintTimer->start(wait);
        return;
    }
    fRxPaintTimer->stop();
    fRxPaintThrottle.Painted(now);
    RepaintLiveIndicators();
}

void TMerrowMainForm::RxPaintTimerTimer()
{
    fRxPaintThrottle.Painted(fClock());
    try {
        RepaintLiveIndicators();
    } catch (const TError &e) {
        ReportRxError(e.ClassName(), e.Message());
    } catch (const std::exception &e) {
        ReportRxError(TypeName(&typeid(e)), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ReportRxError(TypeName(CurrentExceptionType()), QString());
    }
}

void TMerrowMainForm::RepaintAfterReply()
{
    if (fInRxEvent)
        fRepaintPending = true;
    else
        RepaintLiveIndicators();
}

void TMerrowMainForm::HandleReply(const QByteArray &line)
{
    // Every field is taken out before a handler runs, so nothing a handler does can change
    // the fields it was given.
    TWireFields &f = fReplyFields;
    switch (ClassifyLine(line, f)) {
    case TReplyKind::None:
        return;
    case TReplyKind::Status:
        StatusReceived(f.Text(1), f.Text(2), f.Text(3), f.Text(4), f.Text(5), f.Text(6));
        return;
    case TReplyKind::Param:
        ParamReceived(f.Text(1), f.Text(2));
        return;
    case TReplyKind::Serial:
        ShowSerialNumber(f.Text(1));
        fComState = csReqSerial;
        lbIntfConnection->setText(Connection::ConnectedText());
        return;
    case TReplyKind::Version:
        VersionReceived(f.Text(1), f.Text(2));
        return;
    case TReplyKind::PeiStatus:
        PeiStatusReceived(f.Text(1), f.Text(2));
        return;
    }
}

void TMerrowMainForm::StatusReceived(const QString &f1, const QString &f2, const QString &f3,
                                     const QString &f4, const QString &f5, const QString &f6)
{
    const auto on = [](const QString &field) {
        return field == QLatin1String("1");
    };
    fAudioLvlA = ReadWireInt(f1, 0);
    fAudioLvlB = ReadWireInt(f2, 0);
    fRXdetectedA = on(f3);
    fRXdetectedB = on(f4);
    fPTTActiveA = on(f5);
    fPTTActiveB = on(f6);
    RepaintAfterReply();
}

void TMerrowMainForm::ParamReceived(const QString &f1, const QString &f2)
{
    const int32_t index = ReadWireInt(f1, -1);
    const int32_t value = ReadWireInt(f2, -1);
    // The setter checks the range and brings the controls in line; it sends nothing back.
    if (TSettingsData::IsValidIndex(index) && SettingsData[index].Setter)
        SettingsData[index].Setter(value, index);
    RepaintAfterReply();
}

void TMerrowMainForm::PeiStatusReceived(const QString &f1, const QString &f2)
{
    const QString a = PeiStateText(f1);
    if (!a.isNull())
        lbPeiA->setText(a);
    const QString b = PeiStateText(f2);
    if (!b.isNull())
        lbPeiB->setText(b);
    RepaintAfterReply();
}

void TMerrowMainForm::ShowSerialNumber(const QString &f1)
{
    // The text comes off the wire: never let it be taken for markup.
    lbSerial->setTextFormat(Qt::PlainText);
    lbSerial->setText(QStringLiteral("Ser n:o: ") + f1);
}

void TMerrowMainForm::VersionReceived(const QString &f1, const QString &f2)
{
    fVersionMain = ReadWireInt(f1, 0);
    fVersionMinor = ReadWireInt(f2, 0);
    ApplyFirmwareVersion(fVersionMain, fVersionMinor);
    // Set even when the state machine is elsewhere: a late version reply restarts the
    // handshake from the serial-number request.
    fComState = csVersionReceived;
    lbIntfConnection->setText(Connection::ConnectedText());
}

// ---- commands -----------------------------------------------------------------------------
// Every command first checks the port. The timer's requests are then skipped silently (the
// next tick repeats them); what the user started beeps instead.

void TMerrowMainForm::RequestVersion()
{
    if (ComPort1->Active())
        ComPort1->WriteText(Commands::RequestVersion());
}

void TMerrowMainForm::RequestSerial()
{
    if (!ComPort1->Active())
        return;
    ComPort1->WriteText(Commands::RequestSerial());
    Seam().SetCursor(TCursorKind::Wait);
}

void TMerrowMainForm::StartStatusReports()
{
    if (ComPort1->Active())
        ComPort1->WriteText(Commands::StatusReports(true));
}

void TMerrowMainForm::StopStatusReports()
{
    if (ComPort1->Active())
        ComPort1->WriteText(Commands::StatusReports(false));
}

void TMerrowMainForm::RequestParam(int n)
{
    if (ComPort1->Active())
        ComPort1->WriteText(Commands::RequestParam(n));
}

void TMerrowMainForm::SendParam(int n)
{
    if (!ComPort1->Active()) {
        Seam().Beep();
        return;
    }
    // Only the sixteen parameters exist in the interface; never write to any other number.
    if (!TSettingsData::IsValidIndex(n))
        return;
    ComPort1->WriteText(Commands::SendParam(n, SettingsData[n].value));
}

void TMerrowMainForm::SendAllParams()
{
    for (int n = TSettingsData::First; n <= TSettingsData::Last; ++n)
        SendParam(n);
}

void TMerrowMainForm::RevertInterface()
{
    if (!ComPort1->Active()) {
        Seam().Beep();
        return;
    }
    ComPort1->WriteText(Commands::RevertChanges());
    Seam().SetCursor(TCursorKind::Wait);
}

void TMerrowMainForm::StoreInInterface()
{
    if (!ComPort1->Active()) {
        Seam().Beep();
        return;
    }
    ComPort1->WriteText(Commands::StoreChanges());
    // The interface confirms nothing; the indication only shows that the command went out.
    btSaveChanges->setText(QStringLiteral("Storing changes in interface"));
    btSaveChanges->setEnabled(false);
    Seam().SetCursor(TCursorKind::Wait);
    tmSaveIndication->start(); // for its one interval
}

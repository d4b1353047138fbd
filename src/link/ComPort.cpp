// SPDX-License-Identifier: MIT
#include "link/ComPort.h"

#include "core/Errors.h"
#include "core/PortPaths.h"
#include "ports/PortProbe.h"

#include <QFileInfo>
#include <QSerialPort>

#include <algorithm>
#include <climits>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

const QString kErrorClass = QStringLiteral("EComPortError");

// The driver's line-error counters. The ioctl's errno is put back: QSerialPort reports a
// zero-length read with whatever errno was left behind, and this call must not be it.
bool DriverCounters([[maybe_unused]] int handle, [[maybe_unused]] TLineCounters &counters)
{
#ifdef Q_OS_LINUX
    serial_icounter_struct ic{};
    const int savedErrno = errno;
    const int result = ::ioctl(handle, TIOCGICOUNT, &ic);
    errno = savedErrno;
    if (result != 0)
        return false;
    counters.frame = uint32_t(ic.frame);
    counters.overrun = uint32_t(ic.overrun);
    counters.parity = uint32_t(ic.parity);
    counters.brk = uint32_t(ic.brk);
    counters.bufOverrun = uint32_t(ic.buf_overrun);
    return true;
#else
    return false;
#endif
}

} // namespace

const QString TComPort::kOutputFullMessage =
    QStringLiteral("Output buffer is full. Please check comm status.");

int LineErrorFlags(const TLineCounters &before, const TLineCounters &after)
{
    int flags = 0;
    if (after.frame != before.frame)
        flags |= ceFrame;
    if (after.overrun != before.overrun)
        flags |= ceOverrun;
    if (after.parity != before.parity)
        flags |= ceRxParity;
    if (after.brk != before.brk)
        flags |= ceBreak;
    if (after.bufOverrun != before.bufOverrun)
        flags |= ceRxOver;
    return flags;
}

bool IsPlainPortName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 32 || c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return false;
    }
    return true;
}

TComPort::TComPort(QObject *parent)
    : QObject(parent), fPort(new QSerialPort(this)), fCounterSource(DriverCounters)
{
    connect(fPort, &QSerialPort::readyRead, this, &TComPort::PortReadyRead);
    connect(fPort, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { PortError(int(error)); });
    connect(fPort, &QSerialPort::bytesWritten, this, &TComPort::PortBytesWritten);
}

TComPort::~TComPort()
{
    // Torn down with the program: the device is closed, but nobody is told any more.
    fDestroying = true;
    Close();
}

void TComPort::Open()
{
    if (fOpen)
        return;
    const QString name = fPortName;
    if (fNameIsPath ? !QFileInfo(name).isAbsolute() : !IsPlainPortName(name))
        throw TError(kErrorClass, QStringLiteral("Invalid port name \"%1\"").arg(name));

    QString device = fNameIsPath ? name : PortDevicePath(name);
#ifndef Q_OS_WIN
    // QSerialPort's lock file is named after the path it opens. Opening the device a virtual
    // port's link points to gives the link and the device itself one lock, so two programs
    // never share the line whichever name each of them used.
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        throw TError(kErrorClass, QStringLiteral("Port %1 not found").arg(name));
    device = target;
    // Two programs on one line read each other's replies. A port the port list would call
    // held (another program has the device open, or a live process owns its lock file) is
    // refused here as well, whether or not that program took a lock or exclusive access.
    if (PortHeld(PortDevicePath(name)))
        throw TError(
            kErrorClass,
            QStringLiteral("Could not open %1: the port is in use by another program").arg(name));
#endif

    fPort->setPortName(device);
    fPort->setBaudRate(QSerialPort::Baud115200);
    fPort->setDataBits(QSerialPort::Data8);
    fPort->setParity(QSerialPort::NoParity);
    fPort->setStopBits(QSerialPort::OneStop);
    fPort->setFlowControl(QSerialPort::NoFlowControl);
    // The open itself reports through errorOccurred (NoError on success); fOpen is still
    // false, so PortError ignores all of it.
    if (!fPort->open(QIODevice::ReadWrite)) {
        const QString reason = fPort->errorString();
        fPort->clearError();
        throw TError(kErrorClass, QStringLiteral("Could not open %1: %2").arg(name, reason));
    }
#ifdef TIOCEXCL
    // Exclusive from now on: a later open of the device by another (unprivileged) program
    // fails with EBUSY until the port is closed, which clears it with the last descriptor.
    ::ioctl(int(fPort->handle()), TIOCEXCL);
#endif
    // The interface may take its power or its idea of "host present" from these lines. A
    // pseudo-terminal has neither and refuses; it is used all the same.
    fPort->setDataTerminalReady(true);
    fPort->setRequestToSend(true);
    fPort->clearError();

    fRx.resize(0);
    fRxPos = 0;
    fRxOverflowed = false;
    fOutputFullReported = false;
    fCountersValid = fCounterSource && fCounterSource(int(fPort->handle()), fCounters);

    ++fGeneration;
    fOpen = true;
    if (OnOpen)
        OnOpen();
}

void TComPort::Close()
{
    if (!fOpen)
        return;
    fOpen = false;
    ++fGeneration;
    fPort->close();
    fPort->clearError();
    fRx.resize(0);
    fRxPos = 0;
    if (!fDestroying && OnClose)
        OnClose();
}

bool TComPort::ReadChar(char &c)
{
    if (fRxPos >= fRx.size())
        return false;
    c = fRx.at(fRxPos++);
    if (fRxPos == fRx.size()) {
        fRx.resize(0);
        fRxPos = 0;
    }
    return true;
}

QByteArray TComPort::Read(qsizetype maxCount)
{
    const qsizetype n = std::clamp<qsizetype>(maxCount, 0, InQueue());
    QByteArray bytes = fRx.mid(fRxPos, n);
    fRxPos += n;
    if (fRxPos == fRx.size()) {
        fRx.resize(0);
        fRxPos = 0;
    }
    return bytes;
}

bool TComPort::WriteText(const QByteArray &bytes)
{
    if (!fOpen)
        return false;
    if (fPort->bytesToWrite() == 0)
        fOutputFullReported = false; // drained since the last refusal: a new burst
    if (fPort->bytesToWrite() + bytes.size() > kMaxPendingOutput) {
        ReportOutputFull();
        return false;
    }
    // With nothing queued, the bytes go to the device at once, as far as it takes them without
    // waiting. Through QSerialPort's queue even a request of a few bytes costs two more passes
    // of the message loop (its write notifier is switched on, fires, and is switched off
    // again, each waking the loop): with the parameter poll's request every 150 ms, that was a
    // good part of what the program costs while it sits connected. What the device does not
    // take, and a write that fails, go through the queue as before, which also reports the
    // error.
    qsizetype written = 0;
    if (fPort->bytesToWrite() == 0 && !bytes.isEmpty()) {
        const int savedErrno = errno; // put back, as after the line-error counters
        const ssize_t n =
            ::write(int(fPort->handle()), bytes.constData(), std::size_t(bytes.size()));
        if (n > 0)
            written = n;
        errno = savedErrno;
    }
    if (written == bytes.size())
        return true;
    const QByteArray rest = bytes.sliced(written);
    return fPort->write(rest) == rest.size();
}

qint64 TComPort::OutQueue() const
{
    return fOpen ? fPort->bytesToWrite() : 0;
}

void TComPort::ResumeReading()
{
    if (!fOpen)
        return;
    // Setting the read buffer size restarts QSerialPort's reading, notifier included.
    fPort->setReadBufferSize(0);
    if (fPort->bytesAvailable() > 0) {
        const quint64 generation = fGeneration;
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation == fGeneration)
                    PortReadyRead();
            },
            Qt::QueuedConnection);
    }
}

// Takes what QSerialPort has read into the receive queue; true when there was anything.
bool TComPort::TakeFromPort()
{
    const QByteArray bytes = fPort->readAll();
    if (bytes.isEmpty())
        return false;
    // Drop what has been read already before the queue grows, so it never holds more than
    // the unread bytes and one block.
    if (fRxPos > 0 && fRxPos >= fRx.size() / 2) {
        fRx.remove(0, fRxPos);
        fRxPos = 0;
    }
    fRx += bytes;
    if (InQueue() > kMaxPendingInput) {
        fRxPos = fRx.size() - kMaxPendingInput;
        fRxOverflowed = true;
    }
    return true;
}

void TComPort::PortReadyRead()
{
    // During a receive event the loop below takes up whatever arrives meanwhile (a handler
    // that runs the message loop), so events never nest and none is lost.
    if (!fOpen || fInRxEvent)
        return;
    const quint64 generation = fGeneration;
    bool fresh = TakeFromPort();
    while (fresh) {
        const int count = int(std::min<qsizetype>(InQueue(), INT_MAX));
        fInRxEvent = true;
        try {
            if (OnRxChar)
                OnRxChar(count);
        } catch (...) {
            // The receive handler reports its own errors; nothing may unwind into Qt.
        }
        fInRxEvent = false;
        if (generation != fGeneration)
            return; // closed (or closed and reopened) by the handler
        CheckLineErrors();
        if (generation != fGeneration)
            return;
        fresh = TakeFromPort();
    }
}

void TComPort::CheckLineErrors()
{
    int flags = 0;
    if (fRxOverflowed) {
        flags |= ceRxOver;
        fRxOverflowed = false;
    }
    if (fCountersValid) {
        TLineCounters now;
        if (fCounterSource(int(fPort->handle()), now)) {
            flags |= LineErrorFlags(fCounters, now);
            fCounters = now;
        } else {
            fCountersValid = false;
        }
    }
    if (flags != 0 && OnError)
        OnError(flags);
}

void TComPort::PortError(int error)
{
    if (!fOpen)
        return;
    switch (QSerialPort::SerialPortError(error)) {
    case QSerialPort::NoError:
        return;                      // every successful open reports this
    case QSerialPort::ResourceError: // the adapter was pulled, the far end of a pty closed
    case QSerialPort::ReadError:     // includes a zero-length read from a hung-up device
    case QSerialPort::WriteError:
        // QSerialPort repeats a read error for as long as the dead device stays open. Close
        // it; the connection timer opens it again when it is back.
        Close();
        return;
    default:
        // A refused setting or an unsupported operation leaves the line working.
        fPort->clearError();
        return;
    }
}

void TComPort::PortBytesWritten()
{
    if (fOpen && fPort->bytesToWrite() == 0)
        fOutputFullReported = false; // the burst is over; the next one is reported again
}

// The user is told from the message loop, not from inside the write: the message box is modal
// and runs the loop, and the write may come from anywhere, an I/O slot included.
void TComPort::ReportOutputFull()
{
    if (fOutputFullReported)
        return;
    fOutputFullReported = true;
    const quint64 generation = fGeneration;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == fGeneration && OnOutputFull)
                OnOutputFull(kOutputFullMessage);
        },
        Qt::QueuedConnection);
}

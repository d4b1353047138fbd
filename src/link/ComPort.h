// SPDX-License-Identifier: MIT
// The serial port that leads to the interface: 115200 baud, 8 data bits, no parity, 1 stop bit,
// no flow control, DTR and RTS on, exclusive access. Every event is delivered on the thread
// that owns the object (the user-interface thread), and none arrives after Close() returns.
//
// The port sits on QSerialPort, which reads and writes through socket notifiers of the
// user-interface thread's message loop: nothing here ever waits for the line.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class QSerialPort;

// The line-error flags an OnError event carries, with the values the Windows driver gives them.
enum TLineErrorFlag : int
{
    ceRxOver = 0x0001,  // the receive queue overflowed
    ceOverrun = 0x0002, // the UART's receive register was overwritten
    ceRxParity = 0x0004,
    ceFrame = 0x0008,
    ceBreak = 0x0010,
};

// The driver's counters of line errors since the device was opened (TIOCGICOUNT on Linux).
struct TLineCounters
{
    uint32_t frame = 0;
    uint32_t overrun = 0;
    uint32_t parity = 0;
    uint32_t brk = 0;
    uint32_t bufOverrun = 0;
};

// The flags for every counter that changed from before to after; 0 when none did. A driver
// counter only ever grows (and wraps round), so any change is growth.
int LineErrorFlags(const TLineCounters &before, const TLineCounters &after);

// Whether a port name may be opened: a plain file name (ttyUSB0, sim0, COM3), never a path.
// The name comes from a preference file that anyone could edit.
bool IsPlainPortName(const QString &name);

class TComPort : public QObject
{
    Q_OBJECT
public:
    // How many bytes may wait in the output queue. Commands are a few bytes each, so only a
    // line that has stopped taking data fills it.
    static constexpr qint64 kMaxPendingOutput = 64 * 1024;
    // How many received bytes may wait unread before the oldest are dropped (and reported as
    // a receive-queue overflow, ceRxOver).
    static constexpr qsizetype kMaxPendingInput = 1024 * 1024;

    explicit TComPort(QObject *parent = nullptr);
    ~TComPort() override;

    // The port to open next (ttyUSB0, sim0; COM3 on Windows).
    QString PortName() const { return fPortName; }
    void SetPortName(const QString &name)
    {
        fPortName = name;
        fNameIsPath = false;
    }
    // Opens this absolute device path instead of a port name's device: a path typed on the
    // command line, which names the device itself (/dev/ttyUSB0, /dev/pts/3).
    void SetDevicePath(const QString &path)
    {
        fPortName = path;
        fNameIsPath = true;
    }
    // The Windows form of the name: COM followed by the number.
    void SetPortNum(int number) { SetPortName(QStringLiteral("COM%1").arg(number)); }

    // Opens the port; throws TError and leaves it closed on failure. Raises OnOpen before
    // returning on success. Does nothing when the port is already open.
    void Open();
    // Closes an open port and raises OnClose before returning; does nothing when closed.
    // Unread received bytes are dropped with the device.
    void Close();
    bool Active() const { return fOpen; }

    // Takes one byte from the receive queue without waiting; false when it is empty.
    bool ReadChar(char &c);
    // Takes up to maxCount bytes from the receive queue without waiting.
    QByteArray Read(qsizetype maxCount);
    // Bytes waiting in the receive queue.
    qsizetype InQueue() const { return fRx.size() - fRxPos; }

    // Hands the bytes to the output queue and returns at once whether all were taken. When
    // the queue cannot take them, nothing is queued, the result is false and OnOutputFull is
    // raised from the message loop, once until the queue has drained again.
    bool WriteText(const QByteArray &bytes);
    // Bytes waiting in the output queue.
    qint64 OutQueue() const;

    // Re-arms reading. Qt 6.4 takes a zero-length read for an error and may leave its read
    // notifier off afterwards, so that a port that went quiet is never read again; the
    // connection timer calls this while the line is silent.
    void ResumeReading();

    // Where the line-error counters come from; the driver's by default. Returns false when the
    // device keeps no counters (a pseudo-terminal), which turns the check off until the next
    // open.
    using TCounterSource = std::function<bool(int handle, TLineCounters &counters)>;
    void SetCounterSource(TCounterSource source) { fCounterSource = std::move(source); }

    std::function<void()> OnOpen;
    std::function<void()> OnClose;
    std::function<void(int Errors)> OnError;
    // A printer-error event; no Linux device has one, so it is never raised there.
    std::function<void()> OnPErr;
    std::function<void(int Count)> OnRxChar;
    // The output queue could not take a write; message is the text to show the user.
    std::function<void(const QString &message)> OnOutputFull;

    static const QString kOutputFullMessage;

private:
    void PortReadyRead();
    void PortError(int error);
    void PortBytesWritten();
    bool TakeFromPort();
    void CheckLineErrors();
    void ReportOutputFull();

    QString fPortName;
    bool fNameIsPath = false;
    // One device object for the life of the port: closing never deletes it, because its
    // notifiers may still be on the call stack when an error or a handler closes the port.
    QSerialPort *fPort = nullptr;
    bool fOpen = false;
    // Counts opens and closes; work posted to the message loop for one open is dropped when
    // it no longer matches.
    quint64 fGeneration = 0;

    // The receive queue: bytes taken from the device and not yet read; fRxPos is the first
    // unread byte.
    QByteArray fRx;
    qsizetype fRxPos = 0;
    bool fInRxEvent = false;
    bool fRxOverflowed = false;

    bool fOutputFullReported = false;

    TCounterSource fCounterSource;
    bool fCountersValid = false;
    TLineCounters fCounters;

    bool fDestroying = false;
};

// SPDX-License-Identifier: MIT
// The serial port that leads to the interface: 115200 baud, 8 data bits, no parity, 1 stop bit,
// no flow control, DTR and RTS on, exclusive access. Every event is delivered on the thread
// that owns the object (the user-interface thread), and none arrives after Close() returns.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class TComPort : public QObject
{
    Q_OBJECT
public:
    explicit TComPort(QObject *parent = nullptr);
    ~TComPort() override;

    // The port to open next (ttyUSB0, sim0; COM3 on Windows).
    QString PortName() const { return fPortName; }
    void SetPortName(const QString &name) { fPortName = name; }

    // Opens the port; throws TError and leaves it closed on failure. Raises OnOpen before
    // returning on success.
    void Open();
    // Closes an open port and raises OnClose before returning; does nothing when closed.
    void Close();
    bool Active() const;

    // Takes one byte from the receive queue without waiting; false when it is empty.
    bool ReadChar(char &c);
    // Hands the bytes to the output queue and returns at once whether all were taken.
    bool WriteText(const QByteArray &bytes);

    std::function<void()> OnOpen;
    std::function<void()> OnClose;
    std::function<void(int Errors)> OnError;
    std::function<void()> OnPErr;
    std::function<void(int Count)> OnRxChar;

private:
    QString fPortName;
};

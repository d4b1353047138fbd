// SPDX-License-Identifier: MIT
// The simulator's end of the serial line: the master side of a pseudo-terminal whose slave
// side is published as a virtual port (a symbolic link in the virtual ports folder), so the
// configuration program lists and opens it like any serial port.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QSocketNotifier;

class TSimPort : public QObject
{
    Q_OBJECT
public:
    // Bytes the simulator may have waiting for a program that does not read; more is dropped,
    // as a real unit's transmit buffer would overflow.
    static constexpr qsizetype kMaxPendingOutput = 16 * 1024;

    explicit TSimPort(QObject *parent = nullptr);
    ~TSimPort() override;

    // Creates the pseudo-terminal and publishes it under name; false with a reason.
    bool Create(const QString &name, QString *error);
    // Removes the virtual port (when it is still ours) and closes the pseudo-terminal.
    void Remove();

    QString LinkPath() const { return fLinkPath; }
    QString SlavePath() const { return fSlavePath; }
    // Whether a program has the port open now.
    bool PeerConnected() const;

    // Sends bytes to the program; dropped while no program has the port open, so that it
    // never reads stale reports when it opens the port again.
    void Send(const QByteArray &bytes);
    qsizetype PendingOutput() const { return fOut.size(); }

    std::function<void(const QByteArray &bytes)> OnReceived;

private:
    void ReadMaster();
    void WriteMaster();
    void PollHangUp();

    int fMaster = -1;
    QString fSlavePath;
    QString fLinkPath;
    QSocketNotifier *fReadNotifier = nullptr;
    QSocketNotifier *fWriteNotifier = nullptr;
    // While no program has the slave side open, reading the master fails at once and it polls
    // as hung up for ever; this timer looks again now and then instead of spinning.
    QTimer fHangUpPoll;
    QByteArray fOut;
};

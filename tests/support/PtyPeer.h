// SPDX-License-Identifier: MIT
// The far end of a serial line for tests: a pseudo-terminal whose slave side is published as
// a virtual port, so the program opens it like any other port. The test reads what the
// program sent and writes replies through the master side.
#pragma once

#include <QByteArray>
#include <QString>

#include <termios.h>

class TPtyPeer
{
public:
    // Creates the pseudo-terminal and publishes it as the virtual port portName.
    explicit TPtyPeer(const QString &portName = QStringLiteral("peer0"));
    ~TPtyPeer();
    TPtyPeer(const TPtyPeer &) = delete;
    TPtyPeer &operator=(const TPtyPeer &) = delete;

    bool IsValid() const { return fMaster >= 0; }
    QString PortName() const { return fPortName; }
    QString SlavePath() const { return fSlavePath; }
    QString LinkPath() const;

    // Removes or restores the virtual port's entry (unplugging and plugging the device).
    void Unpublish();
    void Publish();
    // Closes the master side: the program's next read fails as if the device was pulled.
    void CloseMaster();

    // The line settings of the slave side, read through the master (the two share them), so
    // that the test need not open the port the program holds.
    bool LineSettings(termios &tio) const;

    void Write(const QByteArray &bytes);
    // Reads what is waiting without blocking and appends it to Received().
    QByteArray ReadAvailable();
    // Pumps the Qt event loop until Received() contains expected (true), or the time is up.
    bool WaitFor(const QByteArray &expected, int timeoutMs = 5000);
    // Pumps the Qt event loop until Received() holds at least count bytes.
    bool WaitForCount(qsizetype count, int timeoutMs = 5000);
    const QByteArray &Received() const { return fReceived; }
    void ClearReceived() { fReceived.clear(); }

private:
    QString fPortName;
    QString fSlavePath;
    int fMaster = -1;
    QByteArray fReceived;
};

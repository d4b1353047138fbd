// SPDX-License-Identifier: MIT
// The Tandor interface as the simulator plays it: the commands it understands, the parameter
// sets it keeps (a working set the host edits and a stored set that survives a restart), and
// a small model of the two radios that feeds the status reports.
//
// Nothing here touches a device or a clock: bytes go in, bytes come out, and time passes only
// when Tick is called. The simulator's main program wires it to a pseudo-terminal and timers.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <random>

struct TSimConfig
{
    int firmwareMajor = 2;
    int firmwareMinor = 0;
    // Sent in the serial-number reply; quoted on the wire when it holds blanks.
    QString serial = QStringLiteral("TS 000123");
    // Never answer the serial-number request.
    bool ignoreSerial = false;
    // Where the stored set is kept between runs; empty keeps it in memory only.
    QString stateFile;
    // Seed of the radio model's random traffic.
    uint32_t seed = 1;
};

class TSimInterface
{
public:
    static constexpr int kParams = 16;

    // Parameter numbers on the wire.
    enum : int
    {
        pRaAtype = 1,
        pRaBtype,
        pGainA,
        pGainB,
        pLevelDetGainA,
        pLevelDetGainB,
        pDetLevelA,
        pDetLevelB,
        pPTTOnDelayA,
        pPTTOnDelayB,
        pPTTOffDelayA,
        pPTTOffDelayB,
        pComTypeA,
        pComTypeB,
        pBaudA,
        pBaudB,
    };

    explicit TSimInterface(TSimConfig config);

    // Frames received bytes into command lines (ended by CR, LF or both) and answers each;
    // returns all the answers. A partial line waits for the rest.
    QByteArray Receive(const QByteArray &bytes);
    // Answers one command line; empty when the command has no answer or is not understood.
    QByteArray HandleCommand(const QByteArray &line);
    // Called with every command line received, before it is handled (--verbose).
    std::function<void(const QByteArray &line)> OnCommand;
    // Answers nothing from now on (the interface fell silent); commands are still taken in.
    void SetSilent(bool silent) { fSilent = silent; }
    bool Silent() const { return fSilent; }

    bool ReportsOn() const { return fReportsOn; }
    // Lets ms milliseconds pass for the radio model and returns the reports that are due:
    // the status report (when switched on) and a PEI-state report when a PEI radio's link
    // state changed or every two seconds.
    QByteArray Tick(int ms);
    // The status report for the present state, "2,lvlA,lvlB,rxA,rxB,pttA,pttB" and CR LF.
    QByteArray StatusReport() const;
    // The PEI-state report "15,a,b" and CR LF (0 not used, 1 no link yet, 2 working).
    QByteArray PeiReport() const;

    int32_t Working(int n) const { return fWorking.at(size_t(n - 1)); }
    int32_t Stored(int n) const { return fStored.at(size_t(n - 1)); }
    // The highest value the interface takes for parameter n.
    int32_t MaxValue(int n) const;

    // The state file holds the stored set as one JSON object of parameter names and values.
    // A missing file leaves the defaults; false with a reason for a file that cannot be read.
    bool LoadState(QString *error);
    bool SaveState(QString *error) const;

    // A field as the host's field splitter reads it back: quoted, with inner double quotes
    // doubled, when it is empty or holds a blank, a comma or a double quote.
    static QByteArray QuoteField(const QString &text);

    // The simulated state of one radio, visible for tests.
    struct TRadio
    {
        bool carrier = false; // a far station is transmitting to this radio
        int phaseLeftMs = 0;  // time until the carrier changes
        int level = 0;        // audio level as the interface measures it
        bool rx = false;      // the interface detects reception
        int rxOnMs = 0;       // how long rx has been on (or off)
        int rxOffMs = 0;
        bool keyed = false; // this radio's transmitter is keyed by the interface
        int peiState = 0;
        int peiLinkMs = 0;
        int lastType = -1;
    };
    const TRadio &Radio(int index) const { return fRadios.at(size_t(index)); }
    // Forces the far-end carrier of a radio on or off for the given time (tests, demos).
    void SetCarrier(int radio, bool on, int forMs);

private:
    void AdvanceRadio(int self, int ms);
    int RandomBetween(int low, int high);

    TSimConfig fConfig;
    std::array<int32_t, kParams> fWorking{};
    std::array<int32_t, kParams> fStored{};
    QByteArray fLine;
    bool fReportsOn = false;
    bool fSilent = false;
    std::array<TRadio, 2> fRadios{};
    int fClockMs = 0;
    int fPeiReportMs = 0;
    std::mt19937 fRandom;
};

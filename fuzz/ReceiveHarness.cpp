// SPDX-License-Identifier: MIT
#include "ReceiveHarness.h"

#include "FuzzSupport.h"

#include "SimInterface.h"
#include "link/Commands.h"
#include "link/FieldSplitter.h"
#include "link/LineFramer.h"
#include "link/ReplyDispatch.h"
#include "link/WireNumber.h"
#include "support/RecordingSeam.h"
#include "ui/TandorMain.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

namespace {

TMerrowMainForm *gForm = nullptr;
TRecordingSeam *gSeam = nullptr;
uint64_t gRuns = 0;

// What the window must show after the replies it was given, kept by a plain reading of the
// protocol beside the window's own.
class TReplyModel
{
public:
    // Starts from what the window shows before any reply.
    explicit TReplyModel(const TMerrowMainForm &form)
        : fLevelA(form.fAudioLvlA), fLevelB(form.fAudioLvlB), fRxA(form.fRXdetectedA),
          fRxB(form.fRXdetectedB), fPttA(form.fPTTActiveA), fPttB(form.fPTTActiveB),
          fMajor(form.fVersionMain), fMinor(form.fVersionMinor), fState(form.fComState),
          fSerial(form.lbSerial->text()), fVersion(form.lbVersion->text()),
          fConnection(form.lbIntfConnection->text()), fPeiA(form.lbPeiA->text()),
          fPeiB(form.lbPeiB->text())
    {}

    // Any CR or LF ends a line (runs of line ends only add empty lines, which are no replies);
    // a line that grows past the bound is dropped up to its line end.
    void Push(char c)
    {
        if (c == '\r' || c == '\n') {
            if (fDropping)
                fDropping = false;
            else if (!fLine.isEmpty())
                Reply(fLine);
            fLine.resize(0);
        } else if (!fDropping) {
            if (fLine.size() >= TLineFramer::kMaxLineLength) {
                fLine.resize(0);
                fDropping = true;
            } else {
                fLine.append(c);
            }
        }
    }

    void Compare(const TMerrowMainForm &form) const
    {
        FUZZ_CHECK(form.fComPort1InputBuffer == fLine,
                   QStringLiteral("partial line %1 bytes, expected %2")
                       .arg(form.fComPort1InputBuffer.size())
                       .arg(fLine.size()));
        FUZZ_CHECK(form.fAudioLvlA == fLevelA && form.fAudioLvlB == fLevelB,
                   QStringLiteral("levels %1, %2; last report said %3, %4")
                       .arg(form.fAudioLvlA)
                       .arg(form.fAudioLvlB)
                       .arg(fLevelA)
                       .arg(fLevelB));
        FUZZ_CHECK(form.fRXdetectedA == fRxA && form.fRXdetectedB == fRxB &&
                       form.fPTTActiveA == fPttA && form.fPTTActiveB == fPttB,
                   QStringLiteral("RX/PTT indications differ from the last status report"));
        FUZZ_CHECK(form.fVersionMain == fMajor && form.fVersionMinor == fMinor,
                   QStringLiteral("firmware %1.%2, last version reply said %3.%4")
                       .arg(form.fVersionMain)
                       .arg(form.fVersionMinor)
                       .arg(fMajor)
                       .arg(fMinor));
        FUZZ_CHECK(form.lbVersion->text() == fVersion, form.lbVersion->text());
        FUZZ_CHECK(form.fComState == fState, QStringLiteral("connection state %1, expected %2")
                                                 .arg(int(form.fComState))
                                                 .arg(int(fState)));
        FUZZ_CHECK(form.lbSerial->text() == fSerial, form.lbSerial->text());
        FUZZ_CHECK(form.lbIntfConnection->text() == fConnection, form.lbIntfConnection->text());
        FUZZ_CHECK(form.lbPeiA->text() == fPeiA && form.lbPeiB->text() == fPeiB,
                   form.lbPeiA->text() + QStringLiteral(" / ") + form.lbPeiB->text());
    }

private:
    static QString PeiText(QByteArrayView field, const QString &before)
    {
        if (field == "0")
            return QStringLiteral("PEI not used");
        if (field == "1")
            return QStringLiteral("PEI link not established");
        if (field == "2")
            return QStringLiteral("PEI is working");
        return before;
    }

    void Reply(const QByteArray &line)
    {
        TWireFields &f = fFields;
        switch (ClassifyLine(line, f)) {
        case TReplyKind::None:
        case TReplyKind::Param:
            // What a parameter reply does depends on the firmware's ranges: the invariants
            // hold it within the widest of them.
            return;
        case TReplyKind::Status:
            fLevelA = ReadWireInt(f[1], 0);
            fLevelB = ReadWireInt(f[2], 0);
            fRxA = f[3] == "1";
            fRxB = f[4] == "1";
            fPttA = f[5] == "1";
            fPttB = f[6] == "1";
            return;
        case TReplyKind::Serial:
            fSerial = QStringLiteral("Ser n:o: ") + f.Text(1);
            fState = csReqSerial;
            fConnection = QStringLiteral("Connected to interface");
            return;
        case TReplyKind::Version:
            fMajor = ReadWireInt(f[1], 0);
            fMinor = ReadWireInt(f[2], 0);
            fVersion = QStringLiteral("Firmware version: %1.%2").arg(fMajor).arg(fMinor);
            fState = csVersionReceived;
            fConnection = QStringLiteral("Connected to interface");
            return;
        case TReplyKind::PeiStatus:
            fPeiA = PeiText(f[1], fPeiA);
            fPeiB = PeiText(f[2], fPeiB);
            return;
        }
    }

    QByteArray fLine;
    bool fDropping = false;
    TWireFields fFields;
    int32_t fLevelA, fLevelB;
    bool fRxA, fRxB, fPttA, fPttB;
    int32_t fMajor, fMinor;
    tComStates fState;
    QString fSerial, fVersion, fConnection, fPeiA, fPeiB;
};

TReplyModel *gModel = nullptr;

// One receive event into the window and the model alike.
void Receive(QByteArrayView bytes)
{
    gForm->ReceiveBytes(bytes);
    for (char c : bytes)
        gModel->Push(c);
}

void CheckInvariants()
{
    // First: an error shown means a handler failed, and the window dropped the event's rest.
    FUZZ_CHECK(gSeam->messages.empty(), gSeam->MessageTexts().join(QLatin1Char('\n')));
    FUZZ_CHECK(gForm->fComPort1InputBuffer.size() <= TLineFramer::kMaxLineLength,
               QString::number(gForm->fComPort1InputBuffer.size()));
    // A value takes the range in force when it arrived; a later version reply may narrow the
    // range until the parameter is read again. Either way it lies within the widest range of
    // any firmware: the table's, and for the radio types the six types of firmware 2.
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i) {
        const int32_t value = gForm->SettingsData[i].value;
        const int32_t widest = i <= 2 ? 5 : kSettingsDefs[size_t(i - 1)].maxval;
        FUZZ_CHECK(value >= 0 && value <= widest,
                   QStringLiteral("parameter %1 = %2").arg(i).arg(value));
    }
    gModel->Compare(*gForm);
}

// A line end closes whatever the input left open (or ends the skipping of an overlong line);
// the status report after it must then be handled like any other.
void CheckStillAnswering()
{
    const int32_t level = int32_t(gRuns % 1000) + 1;
    Receive(QByteArray("\r\n2," + QByteArray::number(level) + ",3,1,0,0,1\r\n"));
    QCoreApplication::processEvents();
    FUZZ_CHECK(gForm->fAudioLvlA == level && gForm->fAudioLvlB == 3 && gForm->fRXdetectedA &&
                   !gForm->fRXdetectedB && !gForm->fPTTActiveA && gForm->fPTTActiveB,
               QStringLiteral("status report not taken"));
}

// How often the interface streams a line without end ahead of an input.
constexpr uint64_t kStreamEvery = 1024;

// The input's bytes without their line ends, repeated in one receive event until they are
// longer than the framer's bound: the input then meets a line being dropped. (Inputs that long
// of their own would make every input slow; the partial line outlives the input anyway.)
void StreamWithoutLineEnds(const uint8_t *data, size_t size)
{
    QByteArray piece;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != '\r' && data[i] != '\n')
            piece.append(char(data[i]));
    }
    if (piece.isEmpty())
        piece = "7";
    QByteArray streamed;
    streamed.reserve(TLineFramer::kMaxLineLength + 1 + piece.size());
    while (streamed.size() <= TLineFramer::kMaxLineLength)
        streamed.append(piece);
    Receive(streamed);
}

// One seed: the split lengths, then the bytes.
QByteArray Seed(std::initializer_list<uint8_t> splits, const QByteArray &bytes)
{
    QByteArray seed;
    seed.append(char(splits.size()));
    for (uint8_t s : splits)
        seed.append(char(s));
    return seed + bytes;
}

// The same bytes in sixteen receive events of `every` bytes and one with the rest.
QByteArray SplitSeed(const QByteArray &bytes, uint8_t every)
{
    QByteArray seed;
    seed.append(char(16));
    seed.append(QByteArray(16, char(every)));
    return seed + bytes;
}

// A session with the simulated interface: the program's handshake and parameter requests,
// then status (and PEI) reports while time passes. Returns everything the interface sent.
QByteArray SimSession(const TSimConfig &config, bool peiRadios)
{
    TSimInterface sim(config);
    QByteArray out;
    if (peiRadios) {
        out += sim.Receive(Commands::SendParam(TSimInterface::pRaAtype, 2));
        out += sim.Receive(Commands::SendParam(TSimInterface::pRaBtype, 4));
    }
    out += sim.Receive(Commands::RequestVersion());
    out += sim.Receive(Commands::RequestSerial());
    for (int n = 1; n <= TSimInterface::kParams; ++n)
        out += sim.Receive(Commands::RequestParam(n));
    out += sim.Receive(Commands::StatusReports(true));
    sim.SetCarrier(0, true, 700);
    for (int t = 0; t < 30; ++t)
        out += sim.Tick(100);
    out += sim.Receive(Commands::StatusReports(false));
    return out;
}

} // namespace

void WriteReceiveSeeds(const QString &folder)
{
    // What tandor-sim sends, at the firmware versions whose replies differ.
    struct TSimSeed
    {
        const char *name;
        int major, minor;
        const char *serial;
        bool pei;
    };
    const TSimSeed sims[] = {
        {"sim-2.0", 2, 0, "TS 000123", false}, {"sim-2.0-pei", 2, 0, "TI-004711", true},
        {"sim-1.0", 1, 0, "A1", false},        {"sim-1.7-pei", 1, 7, "TS,\"7\"", true},
        {"sim-3.1", 3, 1, "", false},
    };
    for (const TSimSeed &s : sims) {
        TSimConfig config;
        config.firmwareMajor = s.major;
        config.firmwareMinor = s.minor;
        config.serial = QString::fromLatin1(s.serial);
        const QByteArray session = SimSession(config, s.pei);
        if (session.isEmpty()) {
            std::fprintf(stderr, "the simulator answered nothing (%s)\n", s.name);
            std::exit(2);
        }
        WriteSeed(folder, QLatin1String(s.name), Seed({}, session));
        WriteSeed(folder, QLatin1String(s.name) + QStringLiteral("-torn"), SplitSeed(session, 7));
    }

    // The edges of the protocol.
    WriteSeed(folder, QStringLiteral("status"),
              Seed({}, "2,512,0,1,0,0,1\r\n2,1023,1023,1,1,1,1\r\n2,-1,x,0,1,,\r\n"));
    WriteSeed(folder, QStringLiteral("pei"), Seed({}, "15,2,0\r\n15,1,1\r\n15,7,x\r\n"));
    WriteSeed(folder, QStringLiteral("old-firmware"), Seed({}, "11,1,9\r3,13,1\r3,16,5\r"));
    WriteSeed(folder, QStringLiteral("ignored"),
              Seed({}, "OK\r\n4,1,2\r\n5,2,1\r\n6,2,1\r\n\r\n\n\r   \r\n3,5\r\n8\r\n"));
    // A line and its line end torn over events: CR here, LF in the next.
    WriteSeed(folder, QStringLiteral("torn"),
              Seed({3, 6, 1, 0, 9}, "2,5,6,1,0,1,0\r\n3,3,40\r\n11,2,0\n\r"));
    // A line longer than any reply, then a reply that must still be read.
    WriteSeed(folder, QStringLiteral("overlong"),
              Seed({200, 255},
                   QByteArray(TLineFramer::kMaxLineLength + 100, '7') + "\r\n2,9,9,0,0,0,0\r\n"));
    WriteSeed(folder, QStringLiteral("numbers"),
              Seed({}, "3,1,2147483647\r\n3,2,-2147483648\r\n3,3,99999999999\r\n"
                       "2,2147483647,-2147483648,1,1,1,1\r\n11,2147483647,-1\r\n3,0,0\r\n"
                       "3,17,1\r\n3,-1,1\r\n3,  4 , 1 \r\n"));
    WriteSeed(
        folder, QStringLiteral("quoted"),
        Seed({}, "8,\"TS 1,2\"\r\n8,\"a\"\"b\"\r\n8,\"\"\r\n8,\"open\r\n2,\"1\",2,1,1,1,1\r\n"));
    WriteSeed(folder, QStringLiteral("binary"),
              Seed({1, 2}, QByteArray("\x00\xff\x80,\x00\r8,\xc3\x28\xe2\x82\r\n", 15)));
}

int ReceiveFuzzInitialize(int *argc, char ***argv, TReceivePainting painting)
{
    const QString seeds = SeedFolderArgument(*argc, *argv);
    if (!seeds.isEmpty()) {
        WriteReceiveSeeds(seeds);
        std::exit(0);
    }
    UsePrivateHome();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QuietQtMessages();

    static int qtArgc = 1;
    static char *qtArgv[] = {(*argv)[0], nullptr};
    new QApplication(qtArgc, qtArgv);

    gSeam = new TRecordingSeam;
    gForm = new TMerrowMainForm(gSeam);
    // No tick may poll, time out or offer the last settings while the fuzzer drives the window.
    for (QTimer *t : {gForm->tmComState, gForm->tmRefreshDetectSetting, gForm->tmSaveIndication,
                      gForm->tmStartCheck})
        t->stop();
    // Shown, each reply's repaint really paints the diagram with what it brought. Hidden, Qt
    // skips the paint, and the run spends its time in the receive path itself.
    if (painting == TReceivePainting::Shown)
        gForm->show();
    QCoreApplication::processEvents();
    gSeam->Clear();
    gModel = new TReplyModel(*gForm);
    return 0;
}

int ReceiveFuzzOneInput(const uint8_t *data, size_t size)
{
    if (gRuns % kStreamEvery == kStreamEvery - 1)
        StreamWithoutLineEnds(data, size);

    size_t pos = 0;
    const size_t splits = size > 0 ? data[pos++] % 17 : 0;
    const uint8_t *lengths = data + pos;
    const size_t splitCount = std::min(splits, size - pos);
    pos += splitCount;

    const auto *bytes = reinterpret_cast<const char *>(data);
    for (size_t i = 0; i < splitCount; ++i) {
        const size_t n = std::min<size_t>(lengths[i], size - pos);
        Receive(QByteArrayView(bytes + pos, qsizetype(n)));
        pos += n;
    }
    const QByteArrayView last(bytes + pos, qsizetype(size - pos));
    Receive(last);
    // Runs what the receive events queued: error reports, paints, layout requests.
    QCoreApplication::processEvents();
    CheckInvariants();

    if (++gRuns % 64 == 0) {
        CheckStillAnswering();
        CheckInvariants();
    }
    return 0;
}

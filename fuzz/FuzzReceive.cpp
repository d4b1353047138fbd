// SPDX-License-Identifier: MIT
// Fuzzes the receive path: arbitrary bytes, split into arbitrary receive events, go into one
// headless main window, exactly as bytes from the serial port would. The window lives for the
// whole run, so the state one input leaves behind (a partial line, an overlong line being
// skipped, the levels, the firmware version, the parameter table) is where the next begins,
// as in a long session with a misbehaving interface.
//
// Input layout: the first byte, modulo 17, is the number of split bytes that follow; each is
// the length of one receive event (0 to 255 bytes, an empty event included); what remains
// after the last split is one more event.
//
// After each input: the partial line stays within the framer's bound, every parameter stays
// within the widest range any firmware allows, the connection state is one of its states, and no
// error reached the user. Every 64 inputs the window must still answer a plain status report.
//
//   fuzz_receive --write-seeds=DIR   writes seed inputs made of the interface's replies
#include "FuzzSupport.h"

#include "link/LineFramer.h"
#include "support/RecordingSeam.h"
#include "ui/TandorMain.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>

namespace {

TMerrowMainForm *gForm = nullptr;
TRecordingSeam *gSeam = nullptr;
uint64_t gRuns = 0;

// One seed: the split lengths, then the bytes.
QByteArray Seed(std::initializer_list<uint8_t> splits, const QByteArray &bytes)
{
    QByteArray seed;
    seed.append(char(splits.size()));
    for (uint8_t s : splits)
        seed.append(char(s));
    return seed + bytes;
}

void WriteSeeds(const QString &folder)
{
    const QByteArray handshake = "11,2,1\r\n8,TI-004711\r\n2,0,0,0,0,0,0\r\n";
    QByteArray parameters;
    for (int n = 1; n <= 16; ++n)
        parameters += "3," + QByteArray::number(n) + "," + QByteArray::number(n % 4) + "\r\n";
    WriteSeed(folder, QStringLiteral("handshake"), Seed({}, handshake + parameters));
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
    WriteSeed(folder, QStringLiteral("binary"),
              Seed({1, 2}, QByteArray("\x00\xff\x80,\x00\r8,\xc3\x28\xe2\x82\r\n", 15)));
}

void CheckInvariants()
{
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
    FUZZ_CHECK(gForm->fComState >= csNotOpened && gForm->fComState <= csSendingSettings,
               QString::number(int(gForm->fComState)));
    FUZZ_CHECK(gSeam->messages.empty(), gSeam->MessageTexts().join(QLatin1Char('\n')));
}

// A line end closes whatever the input left open (or ends the skipping of an overlong line);
// the status report after it must then be handled like any other.
void CheckStillAnswering()
{
    const int32_t level = int32_t(gRuns % 1000) + 1;
    gForm->ReceiveBytes("\r\n2," + QByteArray::number(level) + ",3,1,0,0,1\r\n");
    QCoreApplication::processEvents();
    FUZZ_CHECK(gForm->fAudioLvlA == level && gForm->fAudioLvlB == 3 && gForm->fRXdetectedA &&
                   !gForm->fRXdetectedB && !gForm->fPTTActiveA && gForm->fPTTActiveB,
               QStringLiteral("status report not taken"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    const QString seeds = SeedFolderArgument(*argc, *argv);
    if (!seeds.isEmpty()) {
        WriteSeeds(seeds);
        std::exit(0);
    }
    UsePrivateHome();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QuietQtMessages();

    static int qtArgc = 1;
    static char name[] = "fuzz_receive";
    static char *qtArgv[] = {name, nullptr};
    new QApplication(qtArgc, qtArgv);

    gSeam = new TRecordingSeam;
    gForm = new TMerrowMainForm(gSeam);
    // No tick may poll, time out or offer the last settings while the fuzzer drives the window.
    for (QTimer *t : {gForm->tmComState, gForm->tmRefreshDetectSetting, gForm->tmSaveIndication,
                      gForm->tmStartCheck})
        t->stop();
    // Shown, so that each reply's repaint really paints the diagram with what it brought.
    gForm->show();
    QCoreApplication::processEvents();
    gSeam->Clear();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    size_t pos = 0;
    const size_t splits = size > 0 ? data[pos++] % 17 : 0;
    const uint8_t *lengths = data + pos;
    const size_t splitCount = std::min(splits, size - pos);
    pos += splitCount;

    const auto *bytes = reinterpret_cast<const char *>(data);
    for (size_t i = 0; i < splitCount; ++i) {
        const size_t n = std::min<size_t>(lengths[i], size - pos);
        gForm->ReceiveBytes(QByteArrayView(bytes + pos, qsizetype(n)));
        pos += n;
    }
    gForm->ReceiveBytes(QByteArrayView(bytes + pos, qsizetype(size - pos)));
    // Runs what the receive events queued: error reports, paints, layout requests.
    QCoreApplication::processEvents();
    CheckInvariants();

    if (++gRuns % 64 == 0) {
        CheckStillAnswering();
        CheckInvariants();
    }
    return 0;
}

// SPDX-License-Identifier: MIT
// The main window's receive path and commands: what each reply does to the controller, how a
// receive event paints, how errors while handling received bytes reach the user, and what the
// commands do while the port is closed.
#include "core/Errors.h"
#include "link/ComPort.h"
#include "support/PtyPeer.h"
#include "support/RecordingSeam.h"
#include "support/WindowTimers.h"
#include "ui/ClientArea.h"
#include "ui/ComboBox.h"
#include "ui/TandorMain.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <ostream>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

class TPaintCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

class FormWire : public testing::Test
{
protected:
    void SetUp() override
    {
        seam = new TRecordingSeam;
        form = std::make_unique<TMerrowMainForm>(seam);
        form->SetClock([this] { return now; });
        StopWindowTimers(*form);
        seam->Clear();
    }

    // Replaces every setter with one that records (val, Nr).
    void RecordSetters()
    {
        for (int i = 1; i <= 16; ++i)
            form->SettingsData[i].Setter = [this](int32_t val, int32_t nr) {
                setterCalls.emplace_back(val, nr);
            };
    }

    // Shows the window so that a repaint really paints, and counts the paints from here on.
    // Both radios are of the level-sense type, whose meters show every level; a report that
    // changes nothing on screen paints nothing.
    void CountPaints()
    {
        form->cmb_RaAtype->SetItemIndex(0);
        form->cmb_RaBtype->SetItemIndex(0);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->ClientArea->installEventFilter(&paints);
        QCoreApplication::processEvents();
        paints.count = 0;
    }

    void Receive(const QByteArray &bytes) { form->ReceiveBytes(bytes); }

    // The receive path's clock; it moves only when a test moves it.
    std::chrono::milliseconds now{100000};
    TRecordingSeam *seam = nullptr;
    std::unique_ptr<TMerrowMainForm> form;
    std::vector<std::pair<int32_t, int32_t>> setterCalls;
    TPaintCounter paints;
};

// ---- status reports -------------------------------------------------------------------------

struct StatusCase
{
    const char *name;
    QByteArray line;
    int32_t levelA, levelB;
    bool rxA, rxB, pttA, pttB;
};

void PrintTo(const StatusCase &c, std::ostream *os)
{
    *os << c.name;
}

class FormWireStatus : public FormWire, public testing::WithParamInterface<StatusCase>
{};

TEST_P(FormWireStatus, SetsLevelsAndFlags)
{
    const StatusCase &c = GetParam();
    form->fAudioLvlA = form->fAudioLvlB = 77;
    form->fRXdetectedA = form->fRXdetectedB = form->fPTTActiveA = form->fPTTActiveB = true;
    form->HandleReply(c.line);
    EXPECT_EQ(form->fAudioLvlA, c.levelA);
    EXPECT_EQ(form->fAudioLvlB, c.levelB);
    EXPECT_EQ(form->fRXdetectedA, c.rxA);
    EXPECT_EQ(form->fRXdetectedB, c.rxB);
    EXPECT_EQ(form->fPTTActiveA, c.pttA);
    EXPECT_EQ(form->fPTTActiveB, c.pttB);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormWireStatus,
    testing::Values(
        StatusCase{"Plain", "2,512,0,1,0,0,1", 512, 0, true, false, false, true},
        StatusCase{"BlanksAfterCommas", "2, 512, 0, 1, 0, 0, 1", 512, 0, true, false, false, true},
        StatusCase{"OnlyExactOneIsOn", "2,1,2,01,\"1\",+1,1", 1, 2, false, true, false, true},
        StatusCase{"EmptyFlagsAreOff", "2,3,4,,,,", 3, 4, false, false, false, false},
        StatusCase{"UnreadableLevelsAreZero", "2,abc,99999999999,1,1,1,1", 0, 0, true, true, true,
                   true},
        StatusCase{"NegativeAndHexLevels", "2,-5,$10,0,0,0,0", -5, 16, false, false, false, false},
        // Ignored lines leave the last report as it was.
        StatusCase{"SixFieldsIgnored", "2,512,0,1,0,0", 77, 77, true, true, true, true},
        StatusCase{"TrailingCommaIgnored", "2,512,0,1,0,0,1,", 77, 77, true, true, true, true}),
    [](const testing::TestParamInfo<StatusCase> &info) { return std::string(info.param.name); });

// ---- parameter replies ---------------------------------------------------------------------

struct ParamCase
{
    const char *name;
    QByteArray line;
    std::vector<std::pair<int32_t, int32_t>> calls; // (val, Nr)
};

void PrintTo(const ParamCase &c, std::ostream *os)
{
    *os << c.name;
}

class FormWireParam : public FormWire, public testing::WithParamInterface<ParamCase>
{};

TEST_P(FormWireParam, CallsTheSetterOfTheIndex)
{
    RecordSetters();
    form->HandleReply(GetParam().line);
    EXPECT_EQ(setterCalls, GetParam().calls);
}

TEST_F(FormWire, ParameterReplyRepaintsWhatItChangedAtOnce)
{
    CountPaints();
    const int detLevelA = form->FindSettingIndex(QStringLiteral("DetLevelA"));
    const QByteArray moved = "3," + QByteArray::number(detLevelA) + ",300";
    form->HandleReply(moved);
    EXPECT_EQ(form->SettingsData[detLevelA].value, 300);
    // The marker, and with it the threshold slider the setter moved.
    const int painted = paints.count;
    EXPECT_GE(painted, 1) << "the threshold marker moved";
    form->HandleReply(moved);
    EXPECT_EQ(paints.count, painted) << "the same value again changes nothing on screen";
}

using Calls = std::vector<std::pair<int32_t, int32_t>>;

INSTANTIATE_TEST_SUITE_P(
    Cases, FormWireParam,
    testing::Values(ParamCase{"First", "3,1,4", Calls{{4, 1}}},
                    ParamCase{"Last", "3,16,1152", Calls{{1152, 16}}},
                    ParamCase{"UnreadableValueIsMinusOne", "3,5,abc", Calls{{-1, 5}}},
                    ParamCase{"EmptyValueIsMinusOne", "3,5,", Calls{{-1, 5}}},
                    ParamCase{"IndexZero", "3,0,5", Calls{}},
                    ParamCase{"IndexAboveTable", "3,17,5", Calls{}},
                    ParamCase{"IndexNegative", "3,-1,5", Calls{}},
                    ParamCase{"IndexUnreadable", "3,abc,5", Calls{}},
                    ParamCase{"IndexHuge", "3,4294967301,5", Calls{}}),
    [](const testing::TestParamInfo<ParamCase> &info) { return std::string(info.param.name); });

TEST_F(FormWire, IgnoredLinesNeitherCallSettersNorPaint)
{
    RecordSetters();
    CountPaints();
    for (const char *line : {"3,5", "3,5,7,8", "4,5,7", "x,1", "OK", "", "  \t"})
        form->HandleReply(line);
    EXPECT_TRUE(setterCalls.empty());
    EXPECT_EQ(paints.count, 0);
}

// ---- PEI state -------------------------------------------------------------------------------

TEST_F(FormWire, PeiStateSetsKnownStatesAndLeavesOthers)
{
    const QString before = QStringLiteral("PEI link not established");
    const struct
    {
        QByteArray line;
        QString a, b;
    } cases[] = {
        {"15,0,1", "PEI not used", "PEI link not established"},
        {"15,2,9", "PEI is working", "PEI link not established"},
        {"15,x,0", "PEI is working", "PEI not used"},
        {"15,02, 2", "PEI is working", "PEI is working"},
        {"15,1,", "PEI link not established", "PEI is working"},
        {"15,0", "PEI link not established", "PEI is working"}, // two fields: ignored
    };
    EXPECT_EQ(form->lbPeiA->text(), before);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.constData());
        form->HandleReply(c.line);
        EXPECT_EQ(form->lbPeiA->text(), c.a);
        EXPECT_EQ(form->lbPeiB->text(), c.b);
    }
}

// ---- serial number and version ---------------------------------------------------------------

TEST_F(FormWire, SerialNumberReplyShowsTheNumberAndMovesToSerialState)
{
    const struct
    {
        QByteArray line;
        QString shown;
    } cases[] = {
        {"8,AB123", "Ser n:o: AB123"},
        {"8,\"AB 123\"", "Ser n:o: AB 123"},
        {"8, \"say \"\"hi\"\"\"", "Ser n:o: say \"hi\""},
        {"8,\xe9t\xe9", QStringLiteral("Ser n:o: \u00e9t\u00e9")},
        {"8,<b>x</b>", "Ser n:o: <b>x</b>"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.constData());
        form->fComState = csReqPrm9;
        form->lbIntfConnection->setText(QStringLiteral("Not Connected to interface"));
        form->HandleReply(c.line);
        EXPECT_EQ(form->lbSerial->text(), c.shown);
        EXPECT_EQ(form->fComState, csReqSerial);
        EXPECT_EQ(form->lbIntfConnection->text(), QStringLiteral("Connected to interface"));
    }
    // Text off the wire is never taken for markup.
    EXPECT_EQ(form->lbSerial->textFormat(), Qt::PlainText);
}

TEST_F(FormWire, SerialNumberSplitByABlankIsIgnored)
{
    const QString before = form->lbSerial->text();
    form->fComState = csReqPrm3;
    form->HandleReply("8,AB 123");
    EXPECT_EQ(form->lbSerial->text(), before);
    EXPECT_EQ(form->fComState, csReqPrm3);
}

TEST_F(FormWire, VersionReplySetsVersionAndState)
{
    const struct
    {
        QByteArray line;
        int32_t major, minor;
        int32_t typeMin, typeMax; // the range of RaAtype that the version allows
    } cases[] = {
        {"11,2,3", 2, 3, 0, 5},  {"11,1,7", 1, 7, 0, 4},     {"11,1,0", 1, 0, 2, 2},
        {"11,abc,", 0, 0, 2, 2}, // 0.0 is no known firmware: the ranges stay
        {"11,2,0", 2, 0, 0, 5},  {"11,-1,$A", -1, 10, 0, 5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.constData());
        form->fComState = csNoData;
        form->lbIntfConnection->setText(QStringLiteral("Not Connected to interface"));
        form->HandleReply(c.line);
        EXPECT_EQ(form->fVersionMain, c.major);
        EXPECT_EQ(form->fVersionMinor, c.minor);
        EXPECT_EQ(form->SettingsData[1].Minval, c.typeMin);
        EXPECT_EQ(form->SettingsData[1].Maxval, c.typeMax);
        EXPECT_EQ(form->fComState, csVersionReceived);
        EXPECT_EQ(form->lbIntfConnection->text(), QStringLiteral("Connected to interface"));
    }
}

// ---- receive events --------------------------------------------------------------------------

TEST_F(FormWire, ReceiveEventResetsTheDataTimeoutBeforeAnything)
{
    form->fComDataTimeoutCnt = 8;
    Receive("");
    EXPECT_EQ(form->fComDataTimeoutCnt, 0);
    form->fComDataTimeoutCnt = 5;
    Receive("2,1");
    EXPECT_EQ(form->fComDataTimeoutCnt, 0);
}

TEST_F(FormWire, ReceiveEventPaintsOnceAfterItsLastReply)
{
    CountPaints();
    Receive("2,1,2,0,0,0,0\r\n2,3,4,0,0,0,0\r\n15,2,2\r\n2,5,6,1,1,1,1\r\n");
    EXPECT_EQ(paints.count, 1);
    EXPECT_EQ(form->fAudioLvlA, 5);
    EXPECT_EQ(form->fAudioLvlB, 6);
    EXPECT_TRUE(form->fPTTActiveB);

    Receive("11,2,0\r8,XY\r"); // these replies do not repaint
    EXPECT_EQ(paints.count, 1);
    Receive("2,7,8,0,0");
    EXPECT_EQ(paints.count, 1);           // no line ended yet
    now += std::chrono::milliseconds(45); // a frame interval since the last paint
    QCoreApplication::processEvents();    // and the posted updates done
    const int before = paints.count;
    Receive(",0,0\r");
    EXPECT_EQ(paints.count, before + 1);
    EXPECT_EQ(form->fAudioLvlA, 7);
}

TEST_F(FormWire, EventsInQuickSuccessionShareOnePaintAtTheFrameIntervalsEnd)
{
    CountPaints();
    auto *heldPaint = form->findChild<QTimer *>(QStringLiteral("RxPaintTimer"));
    ASSERT_NE(heldPaint, nullptr);
    Receive("2,101,1,0,0,0,0\r");
    EXPECT_EQ(paints.count, 1); // the first after a quiet interval paints at once
    // The rest come within the frame interval, 1 ms apart on the clock.
    for (int level = 102; level <= 140; ++level) {
        now += std::chrono::milliseconds(1);
        Receive("2," + QByteArray::number(level) + ",1,0,0,0,0\r");
    }
    EXPECT_EQ(paints.count, 1);
    ASSERT_TRUE(heldPaint->isActive());
    EXPECT_EQ(heldPaint->interval(), 39); // the rest of the interval after the second event
    ASSERT_TRUE(QTest::qWaitFor([&] { return paints.count == 2; }, 1000));
    EXPECT_EQ(form->fAudioLvlA, 140);
    QCoreApplication::processEvents();
    EXPECT_FALSE(heldPaint->isActive()); // nothing more is held back
    EXPECT_EQ(paints.count, 2);          // one paint showed all of them
}

// The parameter poll reads the same values back all the time. Such a reply changes nothing on
// show: it paints nothing, and a status report just after it still paints at once. A reply
// that moves a threshold marker is a change like any other.
TEST_F(FormWire, ReplyThatChangesNothingShownDoesNotHoldBackTheNextReport)
{
    CountPaints();
    auto *heldPaint = form->findChild<QTimer *>(QStringLiteral("RxPaintTimer"));
    ASSERT_NE(heldPaint, nullptr);
    const auto reply = [this](int nr, int32_t value) {
        return "3," + QByteArray::number(nr) + "," + QByteArray::number(value) + "\r";
    };
    const int kPolled[] = {Param::GainA, Param::DetLevelA, Param::RaAtype, Param::Baud_B};
    // The controls show the values once; from then on the poll reads the same values back.
    for (const int nr : kPolled)
        Receive(reply(nr, form->SettingsData[nr].value));
    const int32_t detLevelA = form->SettingsData[Param::DetLevelA].value;
    now += std::chrono::milliseconds(100);
    Receive("2,200,1,0,0,0,0\r");
    EXPECT_GE(paints.count, 1);
    // From the first pass of the event loop without a paint, only the replies are at work.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const int before = paints.count;
        QCoreApplication::processEvents();
        return paints.count == before;
    }));
    paints.count = 1;
    // A frame interval after that paint, when a reply that changed something would paint.
    now += std::chrono::milliseconds(50);
    for (const int nr : kPolled) {
        SCOPED_TRACE(nr);
        Receive(reply(nr, form->SettingsData[nr].value));
        EXPECT_FALSE(heldPaint->isActive());
        QCoreApplication::processEvents();
        EXPECT_EQ(paints.count, 1);
    }
    // The next report comes within a frame interval of the replies.
    now += std::chrono::milliseconds(10);
    Receive("2,300,1,0,0,0,0\r");
    EXPECT_EQ(paints.count, 2);
    EXPECT_FALSE(heldPaint->isActive());

    now += std::chrono::milliseconds(5);
    Receive(reply(Param::DetLevelA, detLevelA == 100 ? 200 : 100));
    EXPECT_TRUE(heldPaint->isActive()); // the marker moves at the frame interval's end
    EXPECT_TRUE(QTest::qWaitFor([&] { return !heldPaint->isActive(); }, 1000));
}

TEST_F(FormWire, LineSplitOverEventsIsHandledOnce)
{
    RecordSetters();
    Receive("3,5");
    EXPECT_TRUE(setterCalls.empty());
    Receive(",7\r");
    Receive("\n"); // the torn CR LF gives an empty line, which is ignored
    EXPECT_EQ(setterCalls, (Calls{{7, 5}}));
    EXPECT_TRUE(form->fComPort1InputBuffer.isEmpty());
}

TEST_F(FormWire, GarbageAndEndlessLinesNeverHideTheRepliesThatFollow)
{
    RecordSetters();
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray noise(256 * 1024, Qt::Uninitialized);
    for (char &c : noise)
        c = char(byte(random));
    for (int i = 0; i < 4; ++i) {
        Receive(noise);
        EXPECT_LE(form->fComPort1InputBuffer.size(), 4096);
    }
    // An endless line: no line end for far longer than any reply.
    const QByteArray endless(64 * 1024, 'A');
    for (int i = 0; i < 8; ++i)
        Receive(endless);
    EXPECT_LE(form->fComPort1InputBuffer.size(), 4096);

    setterCalls.clear();
    Receive("\r3,5,7\r\n2,9,9,1,0,0,0\r\n");
    EXPECT_EQ(setterCalls, (Calls{{7, 5}}));
    EXPECT_EQ(form->fAudioLvlA, 9);
    EXPECT_TRUE(form->fRXdetectedA);
}

// ---- errors while handling received bytes ---------------------------------------------------

TEST_F(FormWire, HandlerErrorEndsTheEventAndIsShownAfterIt)
{
    RecordSetters();
    form->SettingsData[5].Setter = [](int32_t, int32_t) {
        throw TError(QStringLiteral("EConvertError"), QStringLiteral("bad value"));
    };
    CountPaints();
    Receive("2,400,4,0,0,0,0\r3,5,7\r3,1,2\r");

    // Nothing is shown from inside the receive event...
    EXPECT_TRUE(seam->messages.empty());
    // ...the rest of the event was not handled, the status report before the error was
    // painted, and the failing line stays in the buffer.
    EXPECT_TRUE(setterCalls.empty());
    EXPECT_EQ(form->fAudioLvlA, 400);
    EXPECT_EQ(paints.count, 1);
    EXPECT_EQ(form->fComPort1InputBuffer, QByteArray("3,5,7"));

    ASSERT_TRUE(QTest::qWaitFor([&] { return seam->messages.size() >= 2; }));
    EXPECT_EQ(seam->MessageTexts(), (QStringList{"Exception class name = EConvertError",
                                                 "Exception message = bad value"}));
}

TEST_F(FormWire, StandardExceptionsAreNamedByTheirType)
{
    form->SettingsData[2].Setter = [](int32_t, int32_t) {
        throw std::out_of_range("index 99");
    };
    Receive("3,2,1\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return seam->messages.size() >= 2; }));
    EXPECT_EQ(seam->MessageTexts(), (QStringList{"Exception class name = std::out_of_range",
                                                 "Exception message = index 99"}));
}

TEST_F(FormWire, BurstOfErrorsIsReportedOnce)
{
    form->SettingsData[5].Setter = [](int32_t, int32_t) {
        throw TError(QStringLiteral("EFirst"), QStringLiteral("one"));
    };
    for (int i = 0; i < 20; ++i)
        Receive("\r3,5,7\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return seam->messages.size() >= 2; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(seam->messages.size(), 2u);
    EXPECT_EQ(seam->messages[0].text, QStringLiteral("Exception class name = EFirst"));

    // Once the boxes are closed, a new error is reported again.
    seam->Clear();
    form->fComPort1InputBuffer.clear();
    Receive("3,5,7\r");
    EXPECT_TRUE(QTest::qWaitFor([&] { return seam->messages.size() >= 2; }));
}

// ---- commands while the port is closed -------------------------------------------------------

TEST_F(FormWire, TimerRequestsOnAClosedPortAreSilent)
{
    form->RequestVersion();
    form->RequestSerial();
    form->StartStatusReports();
    form->StopStatusReports();
    for (int n = 1; n <= 16; ++n)
        form->RequestParam(n);
    EXPECT_EQ(seam->beeps, 0);
    EXPECT_TRUE(seam->cursorHistory.empty()); // no wait cursor without a serial request
}

TEST_F(FormWire, UserCommandsOnAClosedPortBeep)
{
    form->SendParam(7);
    EXPECT_EQ(seam->beeps, 1);
    form->SendAllParams();
    EXPECT_EQ(seam->beeps, 17);

    seam->Clear();
    form->RevertInterface();
    EXPECT_EQ(seam->beeps, 1);
    form->StoreInInterface();
    EXPECT_EQ(seam->beeps, 2);
    EXPECT_TRUE(seam->cursorHistory.empty());
    EXPECT_EQ(form->btSaveChanges->text(), QStringLiteral("Store changes in interface"));
    EXPECT_TRUE(form->btSaveChanges->isEnabled());
    EXPECT_FALSE(form->tmSaveIndication->isActive());
}

// ---- commands and replies over an open port ---------------------------------------------------

class FormWireOpen : public FormWire
{
protected:
    void SetUp() override
    {
        FormWire::SetUp();
        ASSERT_TRUE(peer.IsValid());
        form->fComPort = peer.PortName();
        form->OpenSavedPort();
        ASSERT_TRUE(form->ComPort1->Active());
        QCoreApplication::processEvents();
        peer.ReadAvailable();
        peer.ClearReceived();
        seam->Clear();
    }

    TPtyPeer peer{QStringLiteral("wire0")};
};

TEST_F(FormWireOpen, CommandsGoOutByteForByte)
{
    form->SettingsData[9].value = 250;
    form->SettingsData[3].value = -5;
    const struct
    {
        const char *name;
        std::function<void()> send;
        QByteArray bytes;
    } cases[] = {
        {"version", [&] { form->RequestVersion(); }, "11\r"},
        {"serial", [&] { form->RequestSerial(); }, "8\r"},
        {"status on", [&] { form->StartStatusReports(); }, "2,1\r"},
        {"status off", [&] { form->StopStatusReports(); }, "2,0\r"},
        {"read 1", [&] { form->RequestParam(1); }, "3,1\r"},
        {"read 12", [&] { form->RequestParam(12); }, "3,12\r"},
        {"write 9", [&] { form->SendParam(9); }, "4,9,250\r"},
        {"write negative", [&] { form->SendParam(3); }, "4,3,-5\r"},
        {"revert", [&] { form->RevertInterface(); }, "5,2,1\r"},
        {"store", [&] { form->StoreInInterface(); }, "6,2,1\r"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        peer.ClearReceived();
        c.send();
        ASSERT_TRUE(peer.WaitForCount(c.bytes.size()));
        // Nothing more may follow: all the program wrote has left its queue.
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->ComPort1->OutQueue() == 0; }));
        peer.ReadAvailable();
        EXPECT_EQ(peer.Received(), c.bytes);
    }
    EXPECT_EQ(seam->beeps, 0);
}

TEST_F(FormWireOpen, SendAllParamsWritesTheSixteenInOrder)
{
    QByteArray expected;
    for (int n = 1; n <= 16; ++n) {
        form->SettingsData[n].value = n * 10;
        expected += "4," + QByteArray::number(n) + "," + QByteArray::number(n * 10) + "\r";
    }
    form->SendAllParams();
    ASSERT_TRUE(peer.WaitForCount(expected.size()));
    EXPECT_EQ(peer.Received(), expected);
    EXPECT_EQ(seam->beeps, 0);
}

TEST_F(FormWireOpen, SerialRequestRevertAndStoreSetTheWaitCursor)
{
    form->RequestSerial();
    EXPECT_EQ(seam->cursorHistory, std::vector<TCursorKind>{TCursorKind::Wait});
    seam->Clear();
    form->RevertInterface();
    EXPECT_EQ(seam->cursorHistory, std::vector<TCursorKind>{TCursorKind::Wait});

    seam->Clear();
    form->StoreInInterface();
    EXPECT_EQ(seam->cursorHistory, std::vector<TCursorKind>{TCursorKind::Wait});
    EXPECT_EQ(form->btSaveChanges->text(), QStringLiteral("Storing changes in interface"));
    EXPECT_FALSE(form->btSaveChanges->isEnabled());
    EXPECT_TRUE(form->tmSaveIndication->isActive());
    EXPECT_EQ(form->tmSaveIndication->interval(), 1000);
}

TEST_F(FormWireOpen, RepliesFromThePortReachTheWindow)
{
    RecordSetters();
    form->fComDataTimeoutCnt = 6;
    peer.Write("2,512,0,1,0,0,1\r\n3,5");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->fAudioLvlA == 512; }));
    EXPECT_EQ(form->fComDataTimeoutCnt, 0);
    EXPECT_TRUE(form->fRXdetectedA);
    EXPECT_TRUE(form->fPTTActiveB);

    peer.Write(",7\r\n15,2,0\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->lbPeiB->text() == "PEI not used"; }));
    EXPECT_EQ(setterCalls, (Calls{{7, 5}}));
    EXPECT_EQ(form->lbPeiA->text(), QStringLiteral("PEI is working"));
}

} // namespace

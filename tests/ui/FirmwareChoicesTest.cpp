// SPDX-License-Identifier: MIT
// What the applied firmware version does to the radio-type ranges and lists, the com-type
// names, the fixed choices of firmware 1.0, and the version label.
#include "ControlsFixture.h"

#include <utility>
#include <vector>

namespace {

const QStringList kFixedTypes = {
    "Radio with AF level sense for RX detect ", "Radio with Squelch Low output for RX detect",
    "SRG3900 Radio using PEI for RX detect",    "MTM5400/5500 Radio using PEI for RX detect",
    "TMR880i using PEI for RX detect and PTT",
};
const QString kSquelchHigh = QStringLiteral("Radio with Squelch High output for RX detect");

QStringList Items(TComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

struct TFirmwareCase
{
    const char *name;
    std::vector<std::pair<int, int>> applied; // after the start-up's 2.0
    int aMin, aMax, bMin, bMax;
    bool squelchHigh; // the sixth radio type is offered
    const char *comType0;
    const char *label;
};

TEST_F(ControlsTest, FirmwareVersionSetsRangesListsAndLabel)
{
    const TFirmwareCase cases[] = {
        {"2.0", {}, 0, 5, 0, 5, true, "TTL 3V", "Firmware version: 2.0"},
        {"1.0", {{1, 0}}, 2, 2, 1, 1, false, "TTL 5V", "Firmware version: 1.0"},
        {"1.5", {{1, 5}}, 2, 2, 1, 1, false, "TTL 5V", "Firmware version: 1.5"},
        {"1.6", {{1, 6}}, 0, 3, 0, 3, false, "TTL 5V", "Firmware version: 1.6"},
        {"1.7", {{1, 7}}, 0, 4, 0, 4, false, "TTL 5V", "Firmware version: 1.7"},
        {"1.12", {{1, 12}}, 0, 4, 0, 4, false, "TTL 5V", "Firmware version: 1.12"},
        {"1.7Twice", {{1, 7}, {1, 7}}, 0, 4, 0, 4, false, "TTL 5V", "Firmware version: 1.7"},
        {"2.0After1.7", {{1, 7}, {2, 0}}, 0, 5, 0, 5, true, "TTL 3V", "Firmware version: 2.0"},
        {"2.0Twice", {{2, 0}}, 0, 5, 0, 5, true, "TTL 3V", "Firmware version: 2.0"},
        {"2.10", {{1, 2}, {2, 10}}, 0, 5, 0, 5, true, "TTL 3V", "Firmware version: 2.10"},
        {"3.0After1.2", {{1, 2}, {3, 0}}, 2, 2, 1, 1, false, "TTL 5V", "Firmware version: 3.0"},
        {"0.9After1.6", {{1, 6}, {0, 9}}, 0, 3, 0, 3, false, "TTL 5V", "Firmware version: 0.9"},
        {"negativeMajor", {{-1, 0}}, 0, 5, 0, 5, true, "TTL 3V", "Firmware version: -1.0"},
        // A negative minor names the family's lists but none of its ranges.
        {"1.-1After2.0", {{1, -1}}, 0, 5, 0, 5, false, "TTL 5V", "Firmware version: 1.-1"},
        {"2.-1After1.6", {{1, 6}, {2, -1}}, 0, 3, 0, 3, true, "TTL 3V", "Firmware version: 2.-1"},
    };
    for (const TFirmwareCase &c : cases) {
        SCOPED_TRACE(c.name);
        form->ApplyFirmwareVersion(2, 0); // as at start-up
        for (const auto &[major, minor] : c.applied)
            form->ApplyFirmwareVersion(major, minor);
        const int major = c.applied.empty() ? 2 : c.applied.back().first;
        const int minor = c.applied.empty() ? 0 : c.applied.back().second;
        EXPECT_EQ(form->fVersionMain, major);
        EXPECT_EQ(form->fVersionMinor, minor);
        EXPECT_EQ(form->SettingsData[1].Minval, c.aMin);
        EXPECT_EQ(form->SettingsData[1].Maxval, c.aMax);
        EXPECT_EQ(form->SettingsData[2].Minval, c.bMin);
        EXPECT_EQ(form->SettingsData[2].Maxval, c.bMax);
        const QStringList types =
            c.squelchHigh ? kFixedTypes + QStringList{kSquelchHigh} : kFixedTypes;
        EXPECT_EQ(Items(form->cmb_RaAtype), types);
        EXPECT_EQ(Items(form->cmb_RaBtype), types);
        for (TComboBox *com : {form->cmb_ComType_A, form->cmb_ComType_B})
            EXPECT_EQ(Items(com), (QStringList{QString::fromLatin1(c.comType0), "RS232"}));
        EXPECT_EQ(form->lbVersion->text(), QString::fromLatin1(c.label));
    }
    // The ranges of the other parameters never move.
    for (int i = 3; i <= 16; ++i) {
        EXPECT_EQ(form->SettingsData[i].Minval, 0) << i;
        EXPECT_EQ(form->SettingsData[i].Maxval, kSettingsDefs[i - 1].maxval) << i;
    }
    EXPECT_EQ(seam->beeps, 0);
}

// Until an interface reports its version the window behaves as for firmware 2.0.
TEST(FirmwareAtStartUp, WindowStartsWithFirmwareTwoPointZero)
{
    auto *seam = new TRecordingSeam;
    TMerrowMainForm form(seam);
    EXPECT_EQ(form.fVersionMain, 2);
    EXPECT_EQ(form.fVersionMinor, 0);
    EXPECT_EQ(form.lbVersion->text(), QStringLiteral("Firmware version: 2.0"));
    for (int i : {1, 2}) {
        EXPECT_EQ(form.SettingsData[i].Minval, 0);
        EXPECT_EQ(form.SettingsData[i].Maxval, 5);
    }
    EXPECT_EQ(Items(form.cmb_RaAtype), kFixedTypes + QStringList{kSquelchHigh});
    EXPECT_EQ(Items(form.cmb_RaBtype), kFixedTypes + QStringList{kSquelchHigh});
    EXPECT_EQ(form.cmb_RaAtype->ItemIndex(), -1);
    EXPECT_EQ(form.cmb_ComType_A->itemText(0), QStringLiteral("TTL 3V"));
    EXPECT_EQ(form.cmb_ComType_B->itemText(0), QStringLiteral("TTL 3V"));
    EXPECT_EQ(form.cmb_ComType_A->ItemIndex(), -1);
    EXPECT_EQ(form.cmb_ComType_A->currentText(), QStringLiteral("Select Com-type"));
}

TEST_F(ControlsTest, FirmwareLeavesTheStoredTypesAndTheComTypeChoiceAlone)
{
    form->SetRaAtype(4, 1);
    form->SetComType_A(0, Index("ComType_A"));
    form->ApplyFirmwareVersion(1, 2);
    EXPECT_EQ(Value("RaAtype"), 4); // outside 2..2 now, but only a setter or a choice changes it
    EXPECT_EQ(form->cmb_RaAtype->ItemIndex(), 4);
    EXPECT_EQ(form->cmb_ComType_A->ItemIndex(), 0);
    EXPECT_EQ(form->cmb_ComType_A->currentText(), QStringLiteral("TTL 5V"));
}

TEST_F(ControlsTest, RemovingTheSelectedSixthTypeLeavesTheListWithoutSelection)
{
    form->SetRaAtype(5, 1);
    form->SetRaBtype(2, 2);
    form->ApplyFirmwareVersion(1, 7);
    EXPECT_EQ(form->cmb_RaAtype->ItemIndex(), -1);
    EXPECT_EQ(form->cmb_RaBtype->ItemIndex(), 2);
    EXPECT_EQ(Value("RaAtype"), 5);
    // The next parameter reply restores the selection.
    form->SetRaAtype(3, 1);
    EXPECT_EQ(form->cmb_RaAtype->ItemIndex(), 3);
}

TEST_F(ControlsTest, FirmwareOnePointFiveFixesTheTypesButTheListCapsOnlyFromAbove)
{
    form->ApplyFirmwareVersion(1, 5);
    PickNext(form->cmb_RaAtype, 3); // the user picks type 4
    EXPECT_EQ(form->cmb_RaAtype->ItemIndex(), 2);
    EXPECT_EQ(Value("RaAtype"), 2);
    PickPrevious(form->cmb_RaAtype, 1); // type 0
    EXPECT_EQ(Value("RaAtype"), 0);
    EXPECT_EQ(seam->beeps, 2);
    form->SetRaAtype(2, 1);
    form->SetRaAtype(0, 1); // refused: Minval is 2
    EXPECT_EQ(Value("RaAtype"), 2);
    EXPECT_EQ(form->cmb_RaAtype->ItemIndex(), 2);
    form->SetRaBtype(2, 2); // refused: B accepts type 1 only
    EXPECT_EQ(Value("RaBtype"), 0);
    form->SetRaBtype(1, 2);
    EXPECT_EQ(Value("RaBtype"), 1);
}

TEST_F(ControlsTest, FirmwareOnePointSixCapsTheTypesAtThree)
{
    form->ApplyFirmwareVersion(1, 6);
    EXPECT_EQ(form->cmb_RaBtype->count(), 5);
    PickNext(form->cmb_RaBtype, 3);
    EXPECT_EQ(form->cmb_RaBtype->ItemIndex(), 3);
    EXPECT_EQ(Value("RaBtype"), 3);
}

// Firmware 1.0 talks RS232 at 38400 baud only, whatever the user picks or types.
TEST_F(ControlsTest, FirmwareOnePointZeroFixesComTypeAndBaud)
{
    form->ApplyFirmwareVersion(1, 0);
    PickPrevious(form->cmb_ComType_A, 1); // "TTL 5V"
    EXPECT_EQ(form->cmb_ComType_A->ItemIndex(), 1);
    EXPECT_EQ(form->cmb_ComType_A->currentText(), QStringLiteral("RS232"));
    EXPECT_EQ(Value("ComType_A"), 1);
    Type(form->cmb_ComType_B, QStringLiteral("x"));
    EXPECT_EQ(Value("ComType_B"), 1);
    EXPECT_EQ(form->cmb_ComType_B->currentText(), QStringLiteral("RS232"));

    PickNext(form->cmb_Baud_A, 0); // "9600"
    EXPECT_EQ(form->cmb_Baud_A->currentText(), QStringLiteral("38400"));
    EXPECT_EQ(Value("Baud_A"), 384);
    PickNext(form->cmb_Baud_B, 5); // "Invalid"
    EXPECT_EQ(Value("Baud_B"), 384);
    EXPECT_EQ(seam->beeps, 4);

    // Any other 1.x lets the user choose again.
    form->ApplyFirmwareVersion(1, 1);
    PickPrevious(form->cmb_ComType_A, 1);
    EXPECT_EQ(Value("ComType_A"), 0);
    PickNext(form->cmb_Baud_A, 0);
    EXPECT_EQ(Value("Baud_A"), 96);
}

} // namespace

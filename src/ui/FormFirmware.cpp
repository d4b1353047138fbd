// SPDX-License-Identifier: MIT
// What the interface's firmware version allows: the radio types offered and accepted, the
// name of the first com type, and the version shown in the window. Firmware 1.0 also fixes
// com type and baud rate; the list handlers read the applied version for that.
#include "ui/TandorMain.h"

#include "ui/ComboBox.h"

#include <QLabel>

namespace {

// Only firmware 2 knows radios with a squelch-high output; it is the sixth radio type.
const QString kSquelchHighType = QStringLiteral("Radio with Squelch High output for RX detect");
constexpr int kSquelchHighPosition = 5;

void SetRange(TSettingsRec &entry, int32_t minval, int32_t maxval)
{
    entry.Minval = minval;
    entry.Maxval = maxval;
}

} // namespace

void TMerrowMainForm::ApplyFirmwareVersion(int32_t major, int32_t minor)
{
    // A negative minor still names the family (lists and names) but no range of it.
    if (major == 1) {
        if (minor >= 0) {
            // The earliest firmware fixes each side to one radio: A a PEI radio (SRG3900),
            // B a squelch-low radio.
            SetRange(SettingsData[1], 2, 2);
            SetRange(SettingsData[2], 1, 1);
        }
        if (minor >= 6) {
            SetRange(SettingsData[1], 0, 3);
            SetRange(SettingsData[2], 0, 3);
        }
        if (minor >= 7) {
            SetRange(SettingsData[1], 0, 4);
            SetRange(SettingsData[2], 0, 4);
        }
        cmb_RaAtype->DeleteItem(kSquelchHighPosition);
        cmb_RaBtype->DeleteItem(kSquelchHighPosition);
        cmb_ComType_A->setItemText(0, QStringLiteral("TTL 5V"));
        cmb_ComType_B->setItemText(0, QStringLiteral("TTL 5V"));
    } else if (major == 2) {
        if (minor >= 0) {
            SetRange(SettingsData[1], 0, 5);
            SetRange(SettingsData[2], 0, 5);
        }
        // Removed and appended again, so each list ends in exactly one such item.
        for (TComboBox *types : {cmb_RaAtype, cmb_RaBtype}) {
            types->DeleteItem(kSquelchHighPosition);
            types->AddItem(kSquelchHighType);
        }
        cmb_ComType_A->setItemText(0, QStringLiteral("TTL 3V"));
        cmb_ComType_B->setItemText(0, QStringLiteral("TTL 3V"));
    }
    fVersionMain = major;
    fVersionMinor = minor;
    ShowFirmwareVersion(major, minor);
}

void TMerrowMainForm::ShowFirmwareVersion(int32_t major, int32_t minor)
{
    lbVersion->setText(QStringLiteral("Firmware version: ") + QString::number(major) +
                       QStringLiteral(".") + QString::number(minor));
}

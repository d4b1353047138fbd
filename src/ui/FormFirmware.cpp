// SPDX-License-Identifier: MIT
// The firmware version applied to the window: the radio-type ranges and lists, the name of the
// first com type, the version label (the rules are core/FirmwareRules.h).
#include "ui/TandorMain.h"

#include "core/FirmwareRules.h"
#include "ui/ComboBox.h"

#include <QLabel>

void TMerrowMainForm::ApplyFirmwareVersion(int32_t major, int32_t minor)
{
    if (const auto ranges = Firmware::RadioTypeRanges(major, minor)) {
        SettingsData[Param::RaAtype].Minval = ranges->a.min;
        SettingsData[Param::RaAtype].Maxval = ranges->a.max;
        SettingsData[Param::RaBtype].Minval = ranges->b.min;
        SettingsData[Param::RaBtype].Maxval = ranges->b.max;
    }
    if (const auto squelchHigh = Firmware::OffersSquelchHigh(major)) {
        const QString name = Firmware::RadioTypeNames().at(Firmware::kSquelchHighPosition);
        // Removed (and appended again where offered), so each list ends in at most one such
        // item.
        for (TComboBox *types : {cmb_RaAtype, cmb_RaBtype}) {
            types->DeleteItem(Firmware::kSquelchHighPosition);
            if (*squelchHigh)
                types->AddItem(name);
        }
    }
    if (const auto comType = Firmware::FirstComTypeName(major)) {
        cmb_ComType_A->setItemText(0, *comType);
        cmb_ComType_B->setItemText(0, *comType);
    }
    fVersionMain = major;
    fVersionMinor = minor;
    ShowFirmwareVersion(major, minor);
}

void TMerrowMainForm::ShowFirmwareVersion(int32_t major, int32_t minor)
{
    lbVersion->setText(Firmware::VersionText(major, minor));
}

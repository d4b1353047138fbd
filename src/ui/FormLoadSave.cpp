// SPDX-License-Identifier: MIT
// Saving the parameter set to a file, loading one from a file into the table, the controls and
// the interface, and the offer of the last settings shortly after start-up.
#include "ui/TandorMain.h"

#include "core/Errors.h"
#include "storage/SettingsFileMngr.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

const QString kLastSettingsName = QStringLiteral("TandorLastSettings.tconf");

// The default suffix goes on a name typed without one. The dialog does so itself; doing it
// again here keeps it true whatever dialog the seam shows. A name without a suffix that names
// an existing file is opened as it is.
QString WithDefaultSuffix(const QString &path, const QString &suffix, bool forSaving)
{
    if (suffix.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    if (!forSaving && QFileInfo(path).isFile())
        return path;
    return path + QLatin1Char('.') + suffix;
}

// The folder of the chosen file, with the separator at its end.
QString FolderOf(const QString &path)
{
    QString folder = QFileInfo(path).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return QDir::toNativeSeparators(folder);
}

bool FileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

} // namespace

void TMerrowMainForm::mnLoadClick()
{
    OpenDialog1.initialDir = fLastFolder;
    QString path = Seam().GetOpenFileName(this, OpenDialog1);
    if (path.isEmpty())
        return;
    path = WithDefaultSuffix(path, OpenDialog1.defaultSuffix, false);
    fLastFolder = FolderOf(path);
    LoadSettingsFile(path);
}

void TMerrowMainForm::mnSaveClick()
{
    SaveDialog1.initialDir = fLastFolder;
    QString path = Seam().GetSaveFileName(this, SaveDialog1);
    if (path.isEmpty())
        return;
    path = WithDefaultSuffix(path, SaveDialog1.defaultSuffix, true);
    fLastFolder = FolderOf(path);
    SaveSettingsFile(path);
}

void TMerrowMainForm::SaveSettingsFile(const QString &path)
{
    // The firmware version is the one the controls are adapted to.
    SettingsFileManager->UpdateSettings(SettingsData, fVersionMain, fVersionMinor);
    SettingsFileManager->SaveSettingsToFile(path);
}

void TMerrowMainForm::LoadSettingsFile(const QString &path)
{
    try {
        SettingsFileManager->ReadSettingsfromFile(path);
    } catch (const TError &e) {
        // A file that cannot be read changes nothing: not the table, not the controls, not
        // the interface.
        Seam().ShowMessage(this, TMessageKind::Error, e.Message());
        return;
    }

    // Whole records: names, ranges and setters as the manager last took them, the values as
    // read, without a range check.
    for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix)
        SettingsData[ix] = SettingsFileManager->GetSetting(ix);

    // With no interface connected the controls follow the firmware the set was saved for;
    // a connected interface's version stays in force.
    if (fComState < csVersionReceived)
        ApplyFirmwareVersion(SettingsFileManager->GetMajor(), SettingsFileManager->GetMinor());

    // No tick may poll while the set goes out; afterwards the cycle reads it all back.
    fComState = csSendingSettings;
    tmComState->stop();
    SendAllParams();
    fComState = csReqPrm1;
    tmComState->start();

    for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix) {
        // A copy: the setter stores into the very record it came from.
        const TSettingsRec rec = SettingsData[ix];
        if (rec.Setter)
            rec.Setter(rec.value, ix);
    }
    RepaintNow();
}

void TMerrowMainForm::tmStartCheckTimer()
{
    tmStartCheck->stop();
    // Offered only while no interface has answered: a connected one holds its own settings.
    if (!FileExists(LastSettingsPath()) || fComState >= csReqSerial)
        return;
    const QPoint topLeft = frameGeometry().topLeft() + QPoint(300, 300);
    if (Seam().AskYesNo(this, QStringLiteral("Do you want to load the latest settings?"), topLeft))
        LoadSettingsFile(LastSettingsPath());
}

QString TMerrowMainForm::LastSettingsPath() const
{
    // Without a documents folder there is no last-settings file: the name alone would put it
    // at the root of the file system.
    if (fUserDataFolder.isEmpty())
        return QString();
    return fUserDataFolder + QDir::separator() + kLastSettingsName;
}

// SPDX-License-Identifier: MIT
#include "SimInterface.h"

#include "core/SettingsTable.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The set a new interface comes with: level-sense radios on both sides, a middle gain, the
// detection threshold a little above the noise, short PTT delays, TTL level at 9600 baud.
constexpr std::array<int32_t, TSimInterface::kParams> kFactorySet = {
    0,   0,   // RaAtype, RaBtype
    11,  11,  // GainA, GainB
    128, 128, // LevelDetGainA, LevelDetGainB
    300, 300, // DetLevelA, DetLevelB
    100, 100, // PTTOnDelayA, PTTOnDelayB
    500, 500, // PTTOffDelayA, PTTOffDelayB
    0,   0,   // ComType_A, ComType_B
    96,  96,  // Baud_A, Baud_B
};

constexpr int kPeiLinkUpMs = 1500;      // a PEI radio's data link takes this long to come up
constexpr int kPeiReportEveryMs = 2000; // PEI states are repeated this often
constexpr int kMaxLevel = 4095;

bool IsPeiType(int32_t type)
{
    return type >= 2 && type <= 4;
}

bool IsSquelchType(int32_t type)
{
    return type == 1 || type == 5;
}

// The comma-separated fields of a command, blanks around them dropped; false when one of
// them is not a plain decimal number.
bool NumberFields(const QByteArray &line, QList<int32_t> &numbers)
{
    numbers.clear();
    for (const QByteArray &raw : line.split(',')) {
        bool ok = false;
        const int32_t value = raw.trimmed().toInt(&ok, 10);
        if (!ok)
            return false;
        numbers.append(value);
    }
    return true;
}

QByteArray Line(const QByteArray &text)
{
    return text + "\r\n";
}

} // namespace

TSimInterface::TSimInterface(TSimConfig config) : fConfig(std::move(config)), fRandom(fConfig.seed)
{
    fStored = kFactorySet;
    fWorking = fStored;
    for (int r = 0; r < 2; ++r)
        fRadios[size_t(r)].phaseLeftMs = RandomBetween(500, 3000);
}

int32_t TSimInterface::MaxValue(int n) const
{
    if (n == pRaAtype || n == pRaBtype) {
        // Radio types grew with the firmware: five from 1.7, six from 2.0.
        if (fConfig.firmwareMajor >= 2)
            return 5;
        if (fConfig.firmwareMajor == 1 && fConfig.firmwareMinor >= 7)
            return 4;
        return 3;
    }
    return kSettingsDefs.at(size_t(n - 1)).maxval;
}

QByteArray TSimInterface::Receive(const QByteArray &bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (!fLine.isEmpty()) {
                out += HandleCommand(fLine);
                fLine.clear();
            }
        } else if (fLine.size() < 256) {
            fLine.append(c);
        }
    }
    return out;
}

QByteArray TSimInterface::HandleCommand(const QByteArray &line)
{
    if (OnCommand)
        OnCommand(line);
    QList<int32_t> f;
    if (!NumberFields(line, f) || f.isEmpty())
        return {};

    QByteArray answer;
    switch (f.at(0)) {
    case 11:
        if (f.size() == 1)
            answer = Line("11," + QByteArray::number(fConfig.firmwareMajor) + ',' +
                          QByteArray::number(fConfig.firmwareMinor));
        break;
    case 8:
        if (f.size() == 1 && !fConfig.ignoreSerial)
            answer = Line("8," + QuoteField(fConfig.serial));
        break;
    case 3:
        if (f.size() == 2 && f.at(1) >= 1 && f.at(1) <= kParams)
            answer = Line("3," + QByteArray::number(f.at(1)) + ',' +
                          QByteArray::number(Working(f.at(1))));
        break;
    case 4:
        // A value the interface cannot take is dropped; the host reads the old one back.
        if (f.size() == 3 && f.at(1) >= 1 && f.at(1) <= kParams && f.at(2) >= 0 &&
            f.at(2) <= MaxValue(f.at(1)))
            fWorking[size_t(f.at(1) - 1)] = f.at(2);
        break;
    case 5:
        if (f.size() == 3 && f.at(1) == 2 && f.at(2) == 1)
            fWorking = fStored;
        break;
    case 6:
        if (f.size() == 3 && f.at(1) == 2 && f.at(2) == 1) {
            fStored = fWorking;
            QString error;
            if (!SaveState(&error))
                qWarning("tandor-sim: %s", qPrintable(error));
        }
        break;
    case 2:
        if (f.size() == 2 && (f.at(1) == 0 || f.at(1) == 1))
            fReportsOn = f.at(1) == 1;
        break;
    default:
        break;
    }
    return fSilent ? QByteArray() : answer;
}

QByteArray TSimInterface::QuoteField(const QString &text)
{
    bool quote = text.isEmpty();
    for (const QChar c : text) {
        if (c.unicode() <= 32 || c == QLatin1Char(',') || c == QLatin1Char('"'))
            quote = true;
    }
    QByteArray bytes = text.toLatin1();
    if (!quote)
        return bytes;
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}

int TSimInterface::RandomBetween(int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(fRandom);
}

void TSimInterface::SetCarrier(int radio, bool on, int forMs)
{
    TRadio &r = fRadios.at(size_t(radio));
    r.carrier = on;
    r.phaseLeftMs = forMs;
}

// One radio for ms milliseconds: the far station's traffic, the audio level the interface
// measures, and whether it detects reception the way this radio's type says.
void TSimInterface::AdvanceRadio(int self, int ms)
{
    TRadio &r = fRadios[size_t(self)];
    const bool a = self == 0;
    const int32_t type = Working(a ? pRaAtype : pRaBtype);

    r.phaseLeftMs -= ms;
    if (r.phaseLeftMs <= 0) {
        r.carrier = !r.carrier;
        r.phaseLeftMs = r.carrier ? RandomBetween(1500, 4000) : RandomBetween(2000, 6000);
    }
    // A radio that transmits hears nothing.
    const bool hearing = r.carrier && !r.keyed;

    // Speech rises and falls a few times a second, well above the noise of an idle channel.
    int raw;
    if (hearing) {
        const double phase = 2.0 * std::numbers::pi * double(fClockMs) / (a ? 900.0 : 1100.0);
        raw = int(500.0 + 1500.0 * std::abs(std::sin(phase))) + RandomBetween(-100, 100);
    } else {
        raw = RandomBetween(4, 30);
    }
    const int32_t gain = Working(a ? pLevelDetGainA : pLevelDetGainB);
    r.level = std::clamp(int(int64_t(raw) * gain / 128), 0, kMaxLevel);

    if (IsPeiType(type)) {
        if (r.lastType != type) {
            r.peiState = 1;
            r.peiLinkMs = 0;
        }
        r.peiLinkMs += ms;
        if (r.peiLinkMs >= kPeiLinkUpMs)
            r.peiState = 2;
    } else {
        r.peiState = 0;
    }
    r.lastType = type;

    if (type == 0)
        r.rx = r.level > Working(a ? pDetLevelA : pDetLevelB);
    else if (IsSquelchType(type))
        r.rx = hearing; // the radio's squelch output
    else
        r.rx = hearing && r.peiState == 2; // told over the PEI link once it works

    if (r.rx) {
        r.rxOnMs += ms;
        r.rxOffMs = 0;
    } else {
        r.rxOffMs += ms;
        r.rxOnMs = 0;
    }
}

QByteArray TSimInterface::Tick(int ms)
{
    ms = std::max(ms, 0);
    fClockMs += ms;
    const int peiBefore[2] = {fRadios[0].peiState, fRadios[1].peiState};
    AdvanceRadio(0, ms);
    AdvanceRadio(1, ms);

    // Reception on one radio keys the other one's transmitter after its PTT-on delay and
    // releases it after its PTT-off delay, both the receiving radio's settings.
    for (int self = 0; self < 2; ++self) {
        const TRadio &r = fRadios[size_t(self)];
        TRadio &other = fRadios[size_t(1 - self)];
        const int32_t onDelay = Working(self == 0 ? pPTTOnDelayA : pPTTOnDelayB);
        const int32_t offDelay = Working(self == 0 ? pPTTOffDelayA : pPTTOffDelayB);
        if (!other.keyed && r.rx && r.rxOnMs >= onDelay)
            other.keyed = true;
        else if (other.keyed && !r.rx && r.rxOffMs >= offDelay)
            other.keyed = false;
    }

    if (fSilent || !fReportsOn)
        return {};
    QByteArray out = StatusReport();
    const bool anyPei = IsPeiType(Working(pRaAtype)) || IsPeiType(Working(pRaBtype));
    fPeiReportMs += ms;
    const bool changed = peiBefore[0] != fRadios[0].peiState || peiBefore[1] != fRadios[1].peiState;
    if (anyPei && (changed || fPeiReportMs >= kPeiReportEveryMs)) {
        out += PeiReport();
        fPeiReportMs = 0;
    }
    return out;
}

QByteArray TSimInterface::StatusReport() const
{
    const TRadio &a = fRadios[0];
    const TRadio &b = fRadios[1];
    const auto flag = [](bool on) {
        return on ? QByteArray("1") : QByteArray("0");
    };
    return Line("2," + QByteArray::number(a.level) + ',' + QByteArray::number(b.level) + ',' +
                flag(a.rx) + ',' + flag(b.rx) + ',' + flag(a.keyed) + ',' + flag(b.keyed));
}

QByteArray TSimInterface::PeiReport() const
{
    return Line("15," + QByteArray::number(fRadios[0].peiState) + ',' +
                QByteArray::number(fRadios[1].peiState));
}

bool TSimInterface::LoadState(QString *error)
{
    if (fConfig.stateFile.isEmpty())
        return true;
    QFile file(fConfig.stateFile);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(fConfig.stateFile, file.errorString());
        return false;
    }
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
    if (!doc.isObject()) {
        *error = QStringLiteral("%1 is not a state file: %2")
                     .arg(fConfig.stateFile, parse.errorString());
        return false;
    }
    const QJsonObject stored = doc.object().value(QLatin1String("stored")).toObject();
    for (int n = 1; n <= kParams; ++n) {
        const QJsonValue v = stored.value(QLatin1String(kSettingsDefs.at(size_t(n - 1)).name));
        const int value = v.toInt(-1);
        if (v.isDouble() && value >= 0 && value <= MaxValue(n))
            fStored[size_t(n - 1)] = value;
    }
    // Like the real unit after power-up: it works with what it stored.
    fWorking = fStored;
    return true;
}

bool TSimInterface::SaveState(QString *error) const
{
    if (fConfig.stateFile.isEmpty())
        return true;
    QJsonObject stored;
    for (int n = 1; n <= kParams; ++n)
        stored.insert(QLatin1String(kSettingsDefs.at(size_t(n - 1)).name), Stored(n));
    QJsonObject root;
    root.insert(QLatin1String("stored"), stored);
    // Written beside the old file and renamed over it, so a crash never leaves half a file.
    QSaveFile file(fConfig.stateFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(root).toJson()) < 0 ||
        !file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(fConfig.stateFile, file.errorString());
        return false;
    }
    return true;
}

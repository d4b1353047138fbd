// SPDX-License-Identifier: MIT
#include "storage/KVTRegStore.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

namespace {

const QChar kBackslash = QLatin1Char('\\');

#ifndef Q_OS_WIN
// An XDG folder variable counts only when it holds an absolute path.
QString AbsoluteOrEmpty(const QString &path)
{
    return QDir::isAbsolutePath(path) ? path : QString();
}

QString ConfigRoot(TRegistryRoot root)
{
    if (root == rrLocalMachine) {
        const QStringList dirs = qEnvironmentVariable("XDG_CONFIG_DIRS").split(QLatin1Char(':'));
        for (const QString &dir : dirs) {
            if (!AbsoluteOrEmpty(dir).isEmpty())
                return dir;
        }
        return QStringLiteral("/etc/xdg");
    }
    const QString home = AbsoluteOrEmpty(qEnvironmentVariable("XDG_CONFIG_HOME"));
    return home.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : home;
}
#endif

// Integers as the store keeps them: decimal text, an optional sign, nothing else.
bool ParseInteger(const QString &text, int32_t &value)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    if (i == t.size())
        return false;
    int64_t magnitude = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > int64_t(INT32_MAX) + 1)
            return false;
    }
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX)
        return false;
    value = static_cast<int32_t>(result);
    return true;
}

} // namespace

TKVTRegistryStore::TKVTRegistryStore(QObject *parent) : QObject(parent) {}

TKVTRegistryStore::~TKVTRegistryStore() = default;

void TKVTRegistryStore::SetKeyName(const QString &Value)
{
    if (Value == FKeyName)
        return;
    QString name = Value;
    while (name.startsWith(kBackslash))
        name.remove(0, 1);
    while (name.endsWith(kBackslash))
        name.chop(1);
    FKeyName = name;
}

QString TKVTRegistryStore::StoreLocation() const
{
#ifdef Q_OS_WIN
    const QString root = FRegistryRoot == rrLocalMachine ? QStringLiteral("HKEY_LOCAL_MACHINE")
                                                         : QStringLiteral("HKEY_CURRENT_USER");
    return FKeyName.isEmpty() ? root : root + kBackslash + FKeyName;
#else
    QStringList parts;
    for (const QString &part : FKeyName.split(kBackslash, Qt::SkipEmptyParts)) {
        // The key is a path below the root and never leads out of it.
        if (part != QLatin1String(".") && part != QLatin1String(".."))
            parts << part;
    }
    // Outside Windows no "Software" tree holds the programs' keys.
    if (parts.size() > 1 &&
        parts.first().compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    if (parts.isEmpty())
        return {};
    return ConfigRoot(FRegistryRoot) + QLatin1Char('/') + parts.join(QLatin1Char('/')) +
           QStringLiteral(".conf");
#endif
}

void TKVTRegistryStore::Open()
{
    FReg.reset();
    const QString location = StoreLocation();
    if (location.isEmpty())
        return;
#ifdef Q_OS_WIN
    FReg = std::make_unique<QSettings>(location, QSettings::NativeFormat);
#else
    FReg = std::make_unique<QSettings>(location, QSettings::IniFormat);
#endif
}

void TKVTRegistryStore::Close()
{
    if (!FReg)
        return;
    // A store that cannot be written keeps what it had; the values of this run are lost.
    FReg->sync();
    FReg.reset();
}

bool TKVTRegistryStore::ReadBoolean(const QString &Section, const QString &Item, bool DefaultValue)
{
    const QString defaultText = DefaultValue ? QStringLiteral("1") : QStringLiteral("0");
    QString text = ReadString(Section, Item, defaultText);
    if (text.isEmpty())
        text = defaultText;
    return text.startsWith(QLatin1Char('1'));
}

int32_t TKVTRegistryStore::ReadInteger(const QString &Section, const QString &Item,
                                       int32_t DefaultValue)
{
    int32_t value = DefaultValue;
    if (!ParseInteger(ReadString(Section, Item, QString::number(DefaultValue)), value))
        return DefaultValue;
    return value;
}

QString TKVTRegistryStore::ReadString(const QString &Section, const QString &Item,
                                      const QString &DefaultValue)
{
    if (!FReg || Item.isEmpty())
        return DefaultValue;
    FReg->beginGroup(Section);
    const QVariant value = FReg->value(Item);
    FReg->endGroup();
    // QSettings turns some texts of an INI file into other types (a comma makes a list,
    // "@Variant(...)" anything); like a registry value of another type they are not text.
    if (!value.isValid() || value.typeId() != QMetaType::QString)
        return DefaultValue;
    return value.toString();
}

void TKVTRegistryStore::WriteBoolean(const QString &Section, const QString &Item, bool Value)
{
    WriteString(Section, Item, Value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TKVTRegistryStore::WriteInteger(const QString &Section, const QString &Item, int32_t Value)
{
    WriteString(Section, Item, QString::number(Value));
}

void TKVTRegistryStore::WriteString(const QString &Section, const QString &Item,
                                    const QString &Value)
{
    if (!FReg || FReadOnlyRights || Item.isEmpty())
        return;
    FReg->beginGroup(Section);
    FReg->setValue(Item, Value);
    FReg->endGroup();
}

bool TKVTRegistryStore::RemoveValue(const QString &Section, const QString &Item)
{
    if (!FReg || FReadOnlyRights || Item.isEmpty())
        return false;
    FReg->beginGroup(Section);
    const bool present = FReg->contains(Item);
    if (present)
        FReg->remove(Item);
    FReg->endGroup();
    return present;
}

// SPDX-License-Identifier: MIT
#include "storage/SettingsFileMngr.h"

#include "core/Errors.h"
#include "storage/JsonReader.h"
#include "storage/JsonWriter.h"
#include "storage/TextDecoding.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <optional>
#include <string_view>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

const std::string kFirmwareMajor = "FirmwareMajor";
const std::string kFirmwareMinor = "FirmwareMinor";
const std::string kContacts = "Contacts";

std::string Utf8(const QString &text)
{
    return text.toUtf8().toStdString();
}

// The texts the user sees for the causes of a failed write, after the error numbers of the
// platform.
QString InOutErrorText(int code)
{
#ifdef Q_OS_WIN
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
        return QStringLiteral("File not found");
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return QStringLiteral("Invalid filename");
    case ERROR_TOO_MANY_OPEN_FILES:
        return QStringLiteral("Too many open files");
    case ERROR_ACCESS_DENIED:
        return QStringLiteral("File access denied");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return QStringLiteral("Disk full");
    default:
        break;
    }
#else
    switch (code) {
    // Creating a file fails this way only when a folder of its path is missing or no folder.
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return QStringLiteral("Invalid filename");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return QStringLiteral("File access denied");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("Disk full");
    default:
        break;
    }
#endif
    return QStringLiteral("I/O error ") + QString::number(code);
}

int LastSystemError()
{
#ifdef Q_OS_WIN
    return static_cast<int>(::GetLastError());
#else
    return errno;
#endif
}

void ClearSystemError()
{
#ifdef Q_OS_WIN
    ::SetLastError(0);
#else
    errno = 0;
#endif
}

QString InOutMessage(const QString &ioText, const char *when, const QString &path)
{
    return QStringLiteral("EInOutError error raised, with message : ") + ioText +
           QLatin1String(when) + path;
}

// The error a file that exists but cannot be read raises; the caller shows it.
[[noreturn]] void ThrowCannotOpen(const QString &path, const QString &reason)
{
    throw TError(QStringLiteral("EFOpenError"),
                 QStringLiteral("Cannot open file \"") + path + QStringLiteral("\". ") + reason);
}

QByteArray ReadWholeFile(const QString &path, const QFileInfo &info)
{
    // Only plain files are read: a pipe would block the program and a device could deliver
    // bytes for ever.
    if (!info.isFile())
        ThrowCannotOpen(path, QStringLiteral("Not a regular file"));
    // A parameter set is about half a kilobyte; reading it costs a hundred times its size
    // at the peak. A file beyond the bound is refused before it is read, and the file is
    // read no further than the bound whatever its size said.
    const QString tooLarge =
        QStringLiteral("File too large: a settings file holds at most %1 bytes")
            .arg(TSettingsFileMngr::kMaxFileSize);
    if (info.size() > TSettingsFileMngr::kMaxFileSize)
        ThrowCannotOpen(path, tooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        ThrowCannotOpen(path, file.errorString());
    QByteArray bytes = file.read(TSettingsFileMngr::kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        ThrowCannotOpen(path, file.errorString());
    if (bytes.size() > TSettingsFileMngr::kMaxFileSize)
        ThrowCannotOpen(path, tooLarge);
    return bytes;
}

// Whether a pair's key is the given name. Many names have the length of another (GainA and
// GainB, DetLevelA and ComType_A), and most of those differ in their last letter: it is looked
// at before the whole key is compared.
bool IsKey(const std::string &key, const std::string &name)
{
    return key.size() == name.size() && (key.empty() || key.back() == name.back()) && key == name;
}

// A JSON number whose text is a 32-bit signed decimal integer, or nothing.
std::optional<int32_t> ParseInteger(TJsonValue::TKind kind, std::string_view text)
{
    if (kind != TJsonValue::TKind::jkNumber)
        return std::nullopt;
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        i = 1;
    if (i == text.size())
        return std::nullopt;
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            return std::nullopt;
    }
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(result);
}

// The same, for a value that must be one: anything else is an error that ends the reading of
// values.
int32_t ToInteger(TJsonValue::TKind kind, const std::string &text)
{
    if (kind != TJsonValue::TKind::jkNumber)
        throw TError(QStringLiteral("EInvalidCast"), QStringLiteral("Invalid class typecast"));
    if (const std::optional<int32_t> value = ParseInteger(kind, text))
        return *value;
    throw TError(QStringLiteral("EConvertError"),
                 QStringLiteral("'") + QString::fromStdString(text) +
                     QStringLiteral("' is not a valid integer value"));
}

} // namespace

TSettingsFileMngr::TSettingsFileMngr() = default;

TSettingsFileMngr::~TSettingsFileMngr() = default;

void TSettingsFileMngr::Show(const QString &text) const
{
    if (ShowMessage)
        ShowMessage(text);
}

void TSettingsFileMngr::UpdateSettings(const TSettingsData &new_data, int32_t major, int32_t minor)
{
    fSettings = new_data;
    fFirmwareMajor = major;
    fFirmwareMinor = minor;
    // The keys in UTF-8, converted again only when a name changed (the window hands the same
    // table over at every change).
    for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix) {
        if (fKeySources[ix] != fSettings[ix].ParamName) {
            fKeySources[ix] = fSettings[ix].ParamName;
            fKeys[ix] = Utf8(fSettings[ix].ParamName);
        }
    }

    // Every pair of the set's keys goes, not only the first: a loaded file that holds a key
    // twice would otherwise carry the stale copy into every later save, ahead of the set.
    // One pass over the document, not one per key: the window saves after every change.
    fSettingsJSON.RemovePairsIf([this](const std::string &key) {
        if (IsKey(key, kFirmwareMajor) || IsKey(key, kFirmwareMinor))
            return true;
        for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix) {
            if (IsKey(key, fKeys[ix]))
                return true;
        }
        return false;
    });

    fSettingsJSON.ReservePairs(fSettingsJSON.Pairs().size() + TSettingsData::Count + 2);
    for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix)
        fSettingsJSON.AddPair(fKeys[ix], TJsonValue::Integer(fSettings[ix].value));
    fSettingsJSON.AddPair(kFirmwareMajor, TJsonValue::Integer(major));
    fSettingsJSON.AddPair(kFirmwareMinor, TJsonValue::Integer(minor));
}

QString TSettingsFileMngr::WriteDocument(const QString &FileName) const
{
    if (FileName.isEmpty())
        return QStringLiteral("Invalid filename");
    // QSaveFile says so without an error number in both of these cases.
    const QFileInfo info(FileName);
    if (info.isDir() || (info.exists() && !info.isWritable()))
        return QStringLiteral("File access denied");
    // QSaveFile follows a link and renames the new file over what it leads to: a link to a
    // regular file is written through and stays a link. A device, fifo or socket (or a link
    // to one) would be replaced by a regular file, or the write fail at every save; such an
    // entry is never written.
    if (info.exists() && !info.isFile())
        return QStringLiteral("Not a regular file");

    // The new text goes to a temporary file beside the target, which replaces the target only
    // once it is complete: a full disk or a vanished folder leaves the old file as it was.
    const QByteArray bytes = WriteSettingsJson(fSettingsJSON);
    QSaveFile file(FileName);
    ClearSystemError();
    // Unbuffered, so that a failing write reports at once, with its error number.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return InOutErrorText(LastSystemError());
    ClearSystemError();
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        const int code = LastSystemError();
        file.cancelWriting();
        // Fewer bytes stored than given: the disk (or the space allowed) is full.
        return written >= 0 ? QStringLiteral("Disk full") : InOutErrorText(code);
    }
    ClearSystemError();
    if (!file.commit())
        return InOutErrorText(LastSystemError());
    return {};
}

void TSettingsFileMngr::SaveSettingsToFile(const QString &FileName)
{
    const QString ioText = WriteDocument(FileName);
    if (!ioText.isEmpty())
        Show(InOutMessage(ioText, " when writing ", FileName));
}

void TSettingsFileMngr::ReadSettingsfromFile(const QString &FileName)
{
    fSettingsFilename = FileName;
    const QFileInfo info(FileName);
    if (!info.exists() || info.isDir()) {
        // A missing file is made from what the manager holds, with an (unused) contact list.
        fSettingsJSON.AddPair(kContacts, TJsonValue::Array());
        const QString ioText = WriteDocument(FileName);
        if (!ioText.isEmpty())
            Show(InOutMessage(ioText, " when rewriting ", FileName));
        return;
    }

    QByteArray bytes;
    try {
        bytes = ReadWholeFile(FileName, info);
    } catch (const std::bad_alloc &) {
        ThrowCannotOpen(FileName, QStringLiteral("Out of memory"));
    }
    ReadSettingsFromBytes(bytes, FileName);
}

void TSettingsFileMngr::ReadSettingsFromBytes(const QByteArray &bytes, const QString &FileName)
{
    TJsonReadResult read;
    try {
        const QByteArray text = FileTextToUtf8(bytes);
        read = ReadJsonObject(
            std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    } catch (const std::bad_alloc &) {
        // Not the end of the text: the pairs after the point where memory ran out are not
        // zeros, and must not go to the interface or over the user's file.
        ThrowCannotOpen(FileName, QStringLiteral("Out of memory"));
    }
    // A syntax error is not looked at: the pairs before it are the file's content.
    fSettingsJSON = std::move(read.document);
    if (!read.nestingError.isEmpty())
        throw TError(QStringLiteral("EJSONParseException"), read.nestingError);
    ReadValues(FileName);
}

void TSettingsFileMngr::ReadValues(const QString &FileName)
{
    for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix)
        fSettings[ix].value = 0;
    if (TakeValuesQuietly())
        return;

    // A copy: the messages below run the message loop, and nothing that happens meanwhile
    // may pull the document from under this walk. Only what the walk looks at is copied, not
    // the content of arrays and objects.
    struct TWalkPair
    {
        std::string key;
        TJsonValue::TKind kind;
        std::string text;
    };
    std::vector<TWalkPair> pairs;
    pairs.reserve(fSettingsJSON.Pairs().size());
    std::string keys[TSettingsData::Count + 1];
    std::copy(std::begin(fKeys), std::end(fKeys), std::begin(keys));
    for (const TJsonPair &pair : fSettingsJSON.Pairs())
        pairs.push_back({pair.key, pair.value.Kind(), pair.value.Text()});
    try {
        for (const TWalkPair &pair : pairs) {
            if (pair.kind == TJsonValue::TKind::jkNull) {
                Show(QStringLiteral("property_value is Null when reading ") + FileName);
                continue;
            }
            for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix) {
                if (pair.key == keys[ix])
                    fSettings[ix].value = ToInteger(pair.kind, pair.text);
            }
            if (pair.key == kFirmwareMajor)
                fFirmwareMajor = ToInteger(pair.kind, pair.text);
            else if (pair.key == kFirmwareMinor)
                fFirmwareMinor = ToInteger(pair.kind, pair.text);
        }
    } catch (const TError &e) {
        // The first value that is no integer ends the walk; what was read before it stays.
        Show(e.ClassName() + QStringLiteral(" error raised, with message : ") + e.Message() +
             QStringLiteral(" when reading ") + FileName);
    }
}

bool TSettingsFileMngr::TakeValuesQuietly()
{
    // Nothing here shows a message, so nothing can change the document during the walk, and
    // no copy is needed. Where the walk above would show one, this one stops, having set what
    // that walk sets before it, and the walk above starts over.
    for (const TJsonPair &pair : fSettingsJSON.Pairs()) {
        const TJsonValue::TKind kind = pair.value.Kind();
        if (kind == TJsonValue::TKind::jkNull)
            return false;
        int32_t *target = nullptr;
        for (int ix = TSettingsData::First; ix <= TSettingsData::Last; ++ix) {
            if (IsKey(pair.key, fKeys[ix])) {
                const std::optional<int32_t> value = ParseInteger(kind, pair.value.Text());
                if (!value)
                    return false;
                fSettings[ix].value = *value;
            }
        }
        if (IsKey(pair.key, kFirmwareMajor))
            target = &fFirmwareMajor;
        else if (IsKey(pair.key, kFirmwareMinor))
            target = &fFirmwareMinor;
        if (target) {
            const std::optional<int32_t> value = ParseInteger(kind, pair.value.Text());
            if (!value)
                return false;
            *target = *value;
        }
    }
    return true;
}

TSettingsRec TSettingsFileMngr::GetSetting(int ix) const
{
    return fSettings[ix];
}

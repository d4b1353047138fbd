// SPDX-License-Identifier: MIT
#include "ports/PortEntry.h"

QString PortEntryText(const QString &portName, const QString &description)
{
    return portName + QStringLiteral("  ") + description;
}

QString StripComReference(const QString &friendlyName)
{
    const qsizetype at = friendlyName.indexOf(QStringLiteral("(COM"));
    if (at < 0)
        return friendlyName;
    QString result = friendlyName;
    result.remove(at, 7); // QString::remove stops at the end of the text
    return result;
}

QString SystemText(const QByteArray &raw)
{
    const qsizetype nul = raw.indexOf('\0');
    QString text = QString::fromUtf8(nul >= 0 ? raw.left(nul) : raw);
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return text.trimmed();
}

QString DecodeUdevText(const QByteArray &encoded)
{
    QByteArray bytes;
    bytes.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '\\' && i + 3 < encoded.size() && encoded[i + 1] == 'x') {
            bool ok = false;
            const int value = encoded.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                bytes.append(char(value));
                i += 3;
                continue;
            }
        }
        bytes.append(encoded[i]);
    }
    return SystemText(bytes);
}

QString PortDescription(const TPortDescriptionSource &source)
{
    const QString model = source.modelFromDatabase.trimmed();
    const QString vendor = source.vendorFromDatabase.trimmed();
    if (!model.isEmpty() && !vendor.isEmpty())
        return model + QStringLiteral(" (") + vendor + QLatin1Char(')');
    if (!model.isEmpty())
        return model;
    if (!vendor.isEmpty())
        return vendor;
    for (const QString *product :
         {&source.modelEncoded, &source.usbModel, &source.model, &source.sysfsProduct}) {
        QString text = product->trimmed();
        if (text.isEmpty())
            continue;
        // ID_MODEL and ID_USB_MODEL carry '_' for every blank of the product string.
        if (product == &source.model || product == &source.usbModel)
            text.replace(QLatin1Char('_'), QLatin1Char(' '));
        return text;
    }
    return source.driver.trimmed();
}

bool IsListablePortName(const QString &portName)
{
    if (portName.isEmpty() || portName == QStringLiteral(".") || portName == QStringLiteral(".."))
        return false;
    for (const QChar c : portName) {
        if (c.isSpace() || c.category() == QChar::Other_Control || c == QLatin1Char('/'))
            return false;
    }
    return true;
}

namespace {

// Blanks and control characters (codes 0 to 32) off both ends.
QString TrimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

QString PortNameOfEntry(const QString &entry)
{
    const qsizetype blank = entry.indexOf(QLatin1Char(' '));
    return blank < 0 ? entry : entry.left(blank);
}

int FindPortEntry(const QStringList &entries, const QString &portName)
{
    const QString wanted = TrimBlanks(portName);
    int found = -1;
    for (int i = 0; i < entries.size(); ++i) {
        if (TrimBlanks(PortNameOfEntry(entries.at(i))) == wanted)
            found = i;
    }
    return found;
}

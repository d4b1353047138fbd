// SPDX-License-Identifier: MIT
#include "link/Commands.h"

namespace Commands {

namespace {

constexpr char kEnd = '\r';

// Decimal without leading zeros or blanks, with a minus sign when negative.
void AppendNumber(QByteArray &out, int32_t n)
{
    out.append(QByteArray::number(n));
}

} // namespace

QByteArray RequestVersion()
{
    return QByteArrayLiteral("11\r");
}

QByteArray RequestSerial()
{
    return QByteArrayLiteral("8\r");
}

QByteArray StatusReports(bool on)
{
    return on ? QByteArrayLiteral("2,1\r") : QByteArrayLiteral("2,0\r");
}

QByteArray RequestParam(int32_t n)
{
    QByteArray out("3,");
    AppendNumber(out, n);
    out.append(kEnd);
    return out;
}

QByteArray SendParam(int32_t n, int32_t v)
{
    QByteArray out("4,");
    AppendNumber(out, n);
    out.append(',');
    AppendNumber(out, v);
    out.append(kEnd);
    return out;
}

QByteArray RevertChanges()
{
    return QByteArrayLiteral("5,2,1\r");
}

QByteArray StoreChanges()
{
    return QByteArrayLiteral("6,2,1\r");
}

} // namespace Commands

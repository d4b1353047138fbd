// SPDX-License-Identifier: MIT
#include "link/ComPort.h"

#include "core/Errors.h"

TComPort::TComPort(QObject *parent) : QObject(parent) {}

TComPort::~TComPort() = default;

void TComPort::Open()
{
    throw TError(QStringLiteral("EComPortError"), QStringLiteral("not implemented"));
}

void TComPort::Close() {}

bool TComPort::Active() const
{
    return false;
}

bool TComPort::ReadChar(char &)
{
    return false;
}

bool TComPort::WriteText(const QByteArray &)
{
    return false;
}

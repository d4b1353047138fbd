// SPDX-License-Identifier: MIT
#include "ports/PortEnumerator.h"

QStringList EnumerateSerialPorts()
{
    return {};
}

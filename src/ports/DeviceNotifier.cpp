// SPDX-License-Identifier: MIT
#include "ports/DeviceNotifier.h"

TDeviceNotifier::TDeviceNotifier(QObject *parent) : QObject(parent) {}

TDeviceNotifier::~TDeviceNotifier() = default;

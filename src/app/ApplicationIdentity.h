// SPDX-License-Identifier: MIT
// What the application object says of the program: its name, version, desktop entry and icon.
#pragma once

// Call once the application object exists. The name shows in message-box titles. It does not
// move the preferences: the preference store names its own file. No organisation is set for
// the same reason.
void SetApplicationIdentity();

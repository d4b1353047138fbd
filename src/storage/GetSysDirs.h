// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The folder id of the user's documents folder, created when missing.
constexpr int CSIDL_PERSONAL_CREATE = 0x8005;

// The path of a special folder without a trailing separator, or empty text when the platform
// cannot name it. Only the documents folder (CSIDL_PERSONAL_CREATE) is known; it is created
// when missing.
QString GetSpecialFolderPath(int folderId);

// Where the user's documents folder is or would be, without a trailing separator, whether or
// not it exists; empty when the desktop names none. Nothing is created.
QString DocumentsFolderLocation();

// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The private home folder of this test program (also HOME); its config/ holds the
// preferences, runtime/ is XDG_RUNTIME_DIR, Documents/ the documents folder.
QString TestHome();

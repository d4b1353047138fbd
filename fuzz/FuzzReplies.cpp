// SPDX-License-Identifier: MIT
// The receive path into the controller's reply handling without painting: the same inputs and
// checks as fuzz_receive (see ReceiveHarness.h), into a main window that is built but never
// shown. Framing, field splitting, dispatch and every reply handler run as in the program;
// only the paint is left out, which makes this the deep, fast target for long campaigns.
//
//   fuzz_replies --write-seeds=DIR   writes seed inputs made of the interface's replies
#include "ReceiveHarness.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    return ReceiveFuzzInitialize(argc, argv, TReceivePainting::Hidden);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return ReceiveFuzzOneInput(data, size);
}

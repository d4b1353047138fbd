// SPDX-License-Identifier: MIT
// The receive path through one shown main window: arbitrary bytes, split into arbitrary
// receive events, framed, split into fields, dispatched, handled, and then painted, as in the
// program. The slow integration target beside fuzz_replies; see ReceiveHarness.h for the
// input layout and the checks.
//
//   fuzz_receive --write-seeds=DIR   writes seed inputs made of the interface's replies
#include "ReceiveHarness.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    return ReceiveFuzzInitialize(argc, argv, TReceivePainting::Shown);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return ReceiveFuzzOneInput(data, size);
}

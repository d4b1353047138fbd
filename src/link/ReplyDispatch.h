// SPDX-License-Identifier: MIT
// Which reply a line is. The interface's replies are handled by their id alone, in the order
// they arrive; a reply counts only when it has exactly the number of fields its id calls for
// (the id included). Everything else, the ids of commands (4, 5, 6) among it, is ignored.
#pragma once

#include "link/FieldSplitter.h"

#include <cstdint>

enum class TReplyKind
{
    None,      // not a reply the program handles
    Status,    // 2, audio level A, audio level B, RX A, RX B, PTT A, PTT B
    Param,     // 3, parameter index, parameter value
    Serial,    // 8, serial number text
    Version,   // 11, firmware major, firmware minor
    PeiStatus, // 15, PEI state of Radio A, PEI state of Radio B
};

struct TReplySpec
{
    int32_t id;
    qsizetype fields;
    TReplyKind kind;
};

inline constexpr TReplySpec kReplySpecs[] = {
    {2, 7, TReplyKind::Status},   {3, 3, TReplyKind::Param},      {8, 2, TReplyKind::Serial},
    {11, 3, TReplyKind::Version}, {15, 3, TReplyKind::PeiStatus},
};

// The kind of the split line fields. An id that does not read as an integer counts as 0,
// which no reply has.
TReplyKind ClassifyReply(const TWireFields &fields);

// Splits line into fields (reusing fields) and classifies it.
TReplyKind ClassifyLine(QByteArrayView line, TWireFields &fields);

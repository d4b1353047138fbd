// SPDX-License-Identifier: MIT
// At most one paint per frame interval. The time is given by the caller, so a test can drive
// it: the first paint after a quiet interval goes at once, one asked for sooner waits for the
// rest of the interval.
#pragma once

#include <chrono>
#include <optional>

class TFrameThrottle
{
public:
    using ms = std::chrono::milliseconds;

    explicit constexpr TFrameThrottle(ms interval) : fInterval(interval) {}

    ms Interval() const { return fInterval; }
    // How long a paint asked for at `now` must wait: zero once a whole interval has passed
    // since the last paint, or when there was none.
    ms WaitBeforePaint(ms now) const
    {
        if (!fLastPaint || now - *fLastPaint >= fInterval)
            return ms::zero();
        return fInterval - (now - *fLastPaint);
    }
    void Painted(ms now) { fLastPaint = now; }

private:
    ms fInterval;
    std::optional<ms> fLastPaint;
};

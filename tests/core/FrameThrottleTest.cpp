// SPDX-License-Identifier: MIT
// The paint throttle on a clock the test drives.
#include "core/FrameThrottle.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(FrameThrottle, PaintsOncePerIntervalAndSaysHowLongTheRestWaits)
{
    TFrameThrottle throttle(40ms);
    EXPECT_EQ(throttle.WaitBeforePaint(1000ms), 0ms); // never painted: at once
    throttle.Painted(1000ms);
    const struct
    {
        std::chrono::milliseconds now;
        std::chrono::milliseconds wait;
    } rows[] = {
        {1000ms, 40ms}, {1001ms, 39ms}, {1039ms, 1ms}, {1040ms, 0ms}, {1500ms, 0ms},
    };
    for (const auto &r : rows)
        EXPECT_EQ(throttle.WaitBeforePaint(r.now), r.wait) << r.now.count();
    throttle.Painted(1040ms);
    EXPECT_EQ(throttle.WaitBeforePaint(1050ms), 30ms);
}

} // namespace

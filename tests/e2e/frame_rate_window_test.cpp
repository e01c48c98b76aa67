// The frame-rate window ends after 1000 ms of SDL ticks, also once the tick count has passed 2^31 (where the start
// of the window is negative as a signed number) and when it wraps round 2^32.

#include "app/main_loop.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameRateWindow, EndsAfter1000TicksWhereverTheCountStands)
{
    const struct {
        std::uint32_t Now, Start;
        bool Ended;
    } Windows[] = {
        {1000, 0, true},
        {999, 0, false},
        {5000, 3999, true},
        {5000, 4001, false},
        {0x80000000u + 999, 0x80000000u, false},
        {0x80000000u + 1000, 0x80000000u, true},
        {0xFFFFFFFFu, 0xFFFFFC18u, false},
        {0xFFFFFFFFu, 0xFFFFFC17u, true},
        {0x00000005u, 0xFFFFFF00u, false},
        {0x000002E8u, 0xFFFFFF00u, true},
        {0x000002E7u, 0xFFFFFF00u, false},
    };
    for (const auto& Window : Windows)
        EXPECT_EQ(FrameRateWindowEnded(Window.Now, static_cast<std::int32_t>(Window.Start)), Window.Ended)
            << std::hex << "now " << Window.Now << ", start " << Window.Start;
}

} // namespace

#pragma once
// A fresh simulated device and a fresh device layer for every test, and what the hardware saw as text that reads
// like the simulator's trace ("W16 C00028DA 04AB").

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "device/device_state.h"
#include "sim/sim.h"
#include "support/test_support.h"

using TLines = std::vector<std::string>;

inline std::string AccessText(const TSimAccess& Access)
{
    char Text[32];
    std::snprintf(Text, sizeof Text, Access.Bits == 16 ? "%c16 %08X %04X" : "%c32 %08X %08X", Access.Write ? 'W' : 'R',
                  Access.Address, Access.Value);
    return Text;
}

inline std::string W32(std::uint32_t Address, std::uint32_t Value)
{
    return AccessText({true, 32, Address, Value});
}

// The accesses recorded since the last call; with WritesOnly, the writes alone.
inline TLines TakeAccesses(bool WritesOnly = false)
{
    TLines Result;
    for (const TSimAccess& Access : SimTakeRecording())
        if (Access.Write || !WritesOnly)
            Result.push_back(AccessText(Access));
    return Result;
}

// What Body prints on standard output.
template <typename TBody>
std::string Captured(TBody Body)
{
    testing::internal::CaptureStdout();
    Body();
    return testing::internal::GetCapturedStdout();
}

// The last release of the register window leaves the display at 16 bits per pixel, 640 bytes a line.
const TLines RestoreWrites = {"W16 C00028DA 04AB", "W16 C000290C 0280"};

// One wait for the idle blitter (in fast mode a single read), as every blitter operation begins and ends.
const std::string BlitterIdle = "R32 E0020034 00000000";

// NopBlit on the page at Target: its fixed operation between two waits.
inline TLines NopAccesses(std::uint32_t Target)
{
    return {BlitterIdle,           W32(0xE0020000, 0x60),  W32(0xE0020004, Target), W32(0xE002000C, 0x100),
            W32(0xE0020020, 0),    W32(0xE002002C, 0x10008), W32(0xE0020030, 0x7AA), W32(0xE0020034, 1),
            BlitterIdle};
}

class DeviceTest : public testing::Test {
protected:
    void SetUp() override { Fresh(); }

    static void Fresh()
    {
        SimReset();
        SimSetFastMode(true);
        DeviceInitialization();
    }
};

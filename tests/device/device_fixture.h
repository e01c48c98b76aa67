#pragma once
// A fresh simulated device and a fresh device layer for every test, with helpers that turn what the hardware saw
// into text that reads like the simulator's trace ("W16 C00028DA 04AB").

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "device/device_state.h"
#include "sim/sim.h"
#include "support/test_support.h"

inline std::string AccessText(const TSimAccess& Access)
{
    char Text[32];
    if (Access.Bits == 16)
        std::snprintf(Text, sizeof Text, "%s16 %08X %04X", Access.Write ? "W" : "R", Access.Address, Access.Value);
    else
        std::snprintf(Text, sizeof Text, "%s32 %08X %08X", Access.Write ? "W" : "R", Access.Address, Access.Value);
    return Text;
}

// The recorded accesses since the last call; Filter picks which ones are kept.
template <typename TFilter>
std::vector<std::string> TakeAccesses(TFilter Filter)
{
    std::vector<std::string> Result;
    for (const TSimAccess& Access : SimTakeRecording())
        if (Filter(Access))
            Result.push_back(AccessText(Access));
    return Result;
}

inline std::vector<std::string> TakeAccesses()
{
    return TakeAccesses([](const TSimAccess&) { return true; });
}

inline std::vector<std::string> TakeWrites()
{
    return TakeAccesses([](const TSimAccess& Access) { return Access.Write; });
}

// A test name made of the letters and digits of Text, the rest turned into underscores.
inline std::string TestName(const std::string& Text)
{
    std::string Name;
    for (char C : Text)
        Name += std::isalnum(static_cast<unsigned char>(C)) ? C : '_';
    return Name;
}

class DeviceTest : public testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        SimSetFastMode(true);
        DeviceInitialization();
    }

    void TearDown() override { SimTakeRecording(); }
};

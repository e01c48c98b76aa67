#include "device_fixture.h"

#include "device/mixer.h"

namespace {

using MixerTest = DeviceTest;

// Both channels get the level, left in bits 0-7 and right in bits 8-15; the mixer is not kept open, and without one
// the level stays as it was, silently.
TEST_F(MixerTest, LevelGoesToBothChannelsAndAMissingMixerIsSilent)
{
    const std::pair<std::uint16_t, std::uint32_t> Cases[] = {
        {128, 0x8080}, {255, 0xFFFF}, {0, 0}, {100, 0x6464}, {0x1FF, 0xFFFF}};
    for (const auto& Case : Cases) {
        EXPECT_EQ(Captured([&] { SetVolume(Case.first); }), "") << Case.first;
        EXPECT_EQ(SimMixerArgument(), Case.second) << Case.first;
        EXPECT_EQ(SimOpenDeviceFiles(), 0) << Case.first;
    }
    SetVolume(128);
    ASSERT_TRUE(SimInjectFault("mixer-open"));
    EXPECT_EQ(Captured([] {
                  SetVolume(255);
                  SetVolume(0);
              }),
              "");
    EXPECT_EQ(SimMixerArgument(), 0x8080u);
    EXPECT_EQ(SimOpenDeviceFiles(), 0);
}

} // namespace

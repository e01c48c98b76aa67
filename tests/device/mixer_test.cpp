#include "device_fixture.h"

#include "device/mixer.h"

namespace {

using MixerTest = DeviceTest;

// Both channels get the level: left in bits 0-7, right in bits 8-15.
TEST_F(MixerTest, LevelGoesToBothChannels)
{
    const std::pair<std::uint16_t, std::uint32_t> Cases[] = {
        {128, 0x8080}, {255, 0xFFFF}, {0, 0}, {100, 0x6464}, {1, 0x0101}, {0x1FF, 0xFFFF}};
    testing::internal::CaptureStdout();
    for (const auto& Case : Cases) {
        SetVolume(Case.first);
        EXPECT_EQ(SimMixerArgument(), Case.second) << Case.first;
        EXPECT_EQ(SimOpenDeviceFiles(), 0) << Case.first;
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(MixerTest, MissingMixerIsSilentAndChangesNothing)
{
    testing::internal::CaptureStdout();
    SetVolume(128);
    ASSERT_TRUE(SimInjectFault("mixer-open"));
    SetVolume(255);
    SetVolume(0);
    EXPECT_EQ(SimMixerArgument(), 0x8080u);
    EXPECT_EQ(SimOpenDeviceFiles(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

} // namespace

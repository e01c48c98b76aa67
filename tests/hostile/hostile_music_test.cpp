// "music.ogg" in every state a user's file may be in, run end to end through brimlet-sim. The extension chooses the
// decoder, so a WAV file so named is refused too; a stream cut after its headers still plays.

#include "hostile/sim_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Little(std::uint32_t Value, int Bytes)
{
    std::string Data;
    for (int Byte = 0; Byte < Bytes; ++Byte)
        Data += static_cast<char>(Value >> 8 * Byte & 0xFF);
    return Data;
}

// Half a second of silence as a 16-bit stereo WAV file at 22,050 Hz.
std::string WavFile()
{
    const std::string Samples(44100, '\0');
    return "RIFF" + Little(36 + 44100, 4) + "WAVEfmt " + Little(16, 4) + Little(1, 2) + Little(2, 2) +
           Little(22050, 4) + Little(88200, 4) + Little(4, 2) + Little(16, 2) + "data" + Little(44100, 4) + Samples;
}

struct TMusicCase {
    std::string Name;
    std::string Content; // a folder when Name is "Folder"
    bool Played;
};

std::vector<TMusicCase> MusicCases()
{
    const std::string Ogg = ReadFile(BRIMLET_DATA_DIR "/music.ogg");
    return {
        {"Empty", "", false},
        {"OnlyTheMagic", "OggS", false},
        {"CutInTheFirstPage", Ogg.substr(0, 20), false},
        {"CutInTheHeaders", Ogg.substr(0, 200), false},
        {"CutInTheMiddle", Ogg.substr(0, Ogg.size() / 2), true},
        {"LastByteMissing", Ogg.substr(0, Ogg.size() - 1), true},
        {"RandomBytes", RandomBytes(20000, 11), false},
        {"MagicThenRandomBytes", "OggS" + RandomBytes(20000, 12), false},
        {"Folder", "", false},
        {"BmpRenamed", ReadFile(BRIMLET_DATA_DIR "/galaxy.bmp"), false},
        {"WavRenamed", WavFile(), false},
    };
}

class HostileMusicTest : public ::testing::TestWithParam<TMusicCase> {};

TEST_P(HostileMusicTest, EndsOnItsPath)
{
    const TMusicCase& Case = GetParam();
    TSimRun Run;
    if (Case.Name == "Folder")
        Run.MakeFolder("music.ogg");
    else
        Run.Put("music.ogg", Case.Content);
    const TChildResult Result = Run.Run({"--fast", "--headless", "--frames", "3", "--trace", "trace.txt"});

    EXPECT_EQ(RunEnd(Result), Case.Played ? TRunEnd::Clean : TRunEnd::MusicFailed) << Result.Out << Result.Err;
    ExpectNothingOutOfBounds(Run, Result);
}

INSTANTIATE_TEST_SUITE_P(MusicOgg, HostileMusicTest, ::testing::ValuesIn(MusicCases()),
                         [](const ::testing::TestParamInfo<TMusicCase>& Info) { return Info.param.Name; });

} // namespace

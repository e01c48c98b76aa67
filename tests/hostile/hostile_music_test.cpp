// "music.ogg" in every state a user's file may be in, run end to end through brimlet-sim: each run ends on its
// expected path with status 0, no sanitizer report and a whole log.

#include "hostile/sim_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
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

// Half a second of a 440 Hz tone as a 16-bit stereo WAV file at 22,050 Hz.
std::string WavFile()
{
    constexpr std::uint32_t Rate = 22050;
    std::string Samples;
    for (std::uint32_t Index = 0; Index < Rate / 2; ++Index) {
        const auto Value = static_cast<std::int16_t>(8000 * std::sin(Index * 2 * M_PI * 440 / Rate));
        Samples += Little(static_cast<std::uint16_t>(Value), 2) + Little(static_cast<std::uint16_t>(Value), 2);
    }
    return "RIFF" + Little(static_cast<std::uint32_t>(36 + Samples.size()), 4) + "WAVEfmt " + Little(16, 4) +
           Little(1, 2) + Little(2, 2) + Little(Rate, 4) + Little(Rate * 4, 4) + Little(4, 2) + Little(16, 2) +
           "data" + Little(static_cast<std::uint32_t>(Samples.size()), 4) + Samples;
}

// What the music loader makes of a file. The name's extension chooses the decoder, so whatever "music.ogg" holds
// goes to the Ogg Vorbis decoder: a WAV file so named is refused too. A stream cut after its headers still opens.
enum class TExpect { Played, Refused };

struct TMusicCase {
    const char* Name;
    std::string Content;
    bool Folder;
    TExpect Expect;
};

void PrintTo(const TMusicCase& Case, std::ostream* Out)
{
    *Out << Case.Name << " (" << Case.Content.size() << " bytes)";
}

TRunEnd Expected(TExpect Expect)
{
    return Expect == TExpect::Played ? TRunEnd::Clean : TRunEnd::MusicFailed;
}

std::vector<TMusicCase> MusicCases()
{
    const std::string Ogg = ReadFile(BRIMLET_DATA_DIR "/music.ogg");
    return {
        {"Empty", "", false, TExpect::Refused},
        {"OnlyTheMagic", "OggS", false, TExpect::Refused},
        {"CutInTheFirstPage", Ogg.substr(0, 20), false, TExpect::Refused},
        {"CutInTheHeaders", Ogg.substr(0, 200), false, TExpect::Refused},
        {"CutInTheMiddle", Ogg.substr(0, Ogg.size() / 2), false, TExpect::Played},
        {"LastByteMissing", Ogg.substr(0, Ogg.size() - 1), false, TExpect::Played},
        {"RandomBytes", RandomBytes(20000, 11), false, TExpect::Refused},
        {"MagicThenRandomBytes", "OggS" + RandomBytes(20000, 12), false, TExpect::Refused},
        {"Folder", "", true, TExpect::Refused},
        {"BmpRenamed", ReadFile(BRIMLET_DATA_DIR "/galaxy.bmp"), false, TExpect::Refused},
        {"WavRenamed", WavFile(), false, TExpect::Refused},
    };
}

class HostileMusicTest : public ::testing::TestWithParam<TMusicCase> {};

TEST_P(HostileMusicTest, EndsOnItsPath)
{
    const TMusicCase& Case = GetParam();
    TSimRun Run;
    if (Case.Folder)
        Run.MakeFolder("music.ogg");
    else
        Run.Put("music.ogg", Case.Content);
    const TChildResult Result = Run.Run({"--fast", "--headless", "--frames", "3", "--trace", "trace.txt"});

    EXPECT_EQ(RunEnd(Result), Expected(Case.Expect))
        << "ended as " << RunEndName(RunEnd(Result)) << ", status " << Result.ExitStatus << ", signal "
        << Result.Signal << "\n" << Result.Out << Result.Err;
    ExpectNothingOutOfBounds(Run, Result);
}

INSTANTIATE_TEST_SUITE_P(MusicOgg, HostileMusicTest, ::testing::ValuesIn(MusicCases()),
                         [](const ::testing::TestParamInfo<TMusicCase>& Info) { return Info.param.Name; });

} // namespace

// Runs under valgrind's memcheck, which sees into SDL, SDL_image and the Ogg decoder where the sanitizers do not
// reach: no invalid access, no uninitialised value and no memory left beyond what tests/valgrind.supp names.
// Skipped where valgrind is missing and in the sanitizer build, whose executable valgrind cannot run.

#include "hostile/bmp_maker.h"
#include "hostile/sim_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TValgrindCase {
    std::string Name;
    std::vector<std::string> Arguments;
    const char* File; // a data file replaced by Content, or taken away when Content is empty
    std::string Content;
    int Status;
};

std::vector<TValgrindCase> ValgrindCases()
{
    TBmp Overfull = MakeBmp(8, 40, 30);
    Overfull.ColorsUsed = 100000;
    const std::string Ogg = ReadFile(BRIMLET_DATA_DIR "/music.ogg");
    return {
        {"FrameLoop", {}, "", "", 0},
        {"NoRegisterWindow", {"--fault", "mem-open"}, "", "", 0},
        {"NoMemoryWindow", {"--fault", "mem-map-window"}, "", "", 0},
        {"NoVideoPages", {"--fault", "fb1-open"}, "", "", 0},
        {"NoVideoDevice", {"--fault", "sdl-video"}, "", "", 217},
        {"NoAudioDevice", {"--fault", "sdl-audio"}, "", "", 217},
        {"NoImage", {}, "galaxy.bmp", "", 0},
        {"Rle4", {}, "galaxy.bmp", BmpFile(RleBmp(4, 333, 250)), 0},
        {"RleCodesPointingOutside", {}, "galaxy.bmp", BmpFile(HostileRleBmp()), 0},
        {"MoreColoursThanThePaletteHolds", {}, "galaxy.bmp", BmpFile(Overfull), 0},
        {"OggCutInTheMiddle", {}, "music.ogg", Ogg.substr(0, Ogg.size() / 2), 0},
        {"OggMagicThenRandomBytes", {}, "music.ogg", "OggS" + RandomBytes(20000, 12), 0},
    };
}

class ValgrindTest : public ::testing::TestWithParam<TValgrindCase> {};

TEST_P(ValgrindTest, FindsNothing)
{
    if (!ValgrindUsable())
        GTEST_SKIP() << "valgrind is not installed, or this is the sanitizer build";
    const TValgrindCase& Case = GetParam();
    TSimRun Run;
    if (!Case.Content.empty())
        Run.Put(Case.File, Case.Content);
    else if (*Case.File != '\0')
        Run.Remove(Case.File);
    std::vector<std::string> Arguments = {"--fast", "--headless", "--frames", "3"};
    Arguments.insert(Arguments.end(), Case.Arguments.begin(), Case.Arguments.end());
    const TChildResult Result = RunUnderValgrind(Run, Arguments);

    EXPECT_EQ(Result.ExitStatus, Case.Status) << Result.Err;
    EXPECT_NE(Result.Err.find("ERROR SUMMARY: 0 errors"), std::string::npos) << Result.Err;
}

INSTANTIATE_TEST_SUITE_P(Runs, ValgrindTest, ::testing::ValuesIn(ValgrindCases()),
                         [](const ::testing::TestParamInfo<TValgrindCase>& Info) { return Info.param.Name; });

} // namespace

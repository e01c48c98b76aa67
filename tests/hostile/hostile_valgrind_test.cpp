// Hostile files under valgrind's memcheck, which sees into SDL_image and the Ogg decoder, where the sanitizers do
// not reach: no invalid access, no use of an uninitialised value and nothing left at the end beyond what
// tests/valgrind.supp names. Skipped where valgrind is not installed and in the sanitizer build.

#include "hostile/bmp_maker.h"
#include "hostile/sim_run.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct TValgrindFile {
    const char* Name;
    const char* File; // galaxy.bmp or music.ogg
    std::string Content;
};

void PrintTo(const TValgrindFile& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

std::vector<TValgrindFile> ValgrindFiles()
{
    TBmp Overfull = PaletteBmp(8, 40, 30);
    Overfull.ColorsUsed = 100000;
    const std::string Ogg = ReadFileIfAny(BRIMLET_DATA_DIR "/music.ogg");
    return {
        {"Rle4", "galaxy.bmp", BmpFile(RleBmp(4, 333, 250))},
        {"RleCodesPointingOutside", "galaxy.bmp", BmpFile(HostileRleBmp())},
        {"MoreColoursThanThePaletteHolds", "galaxy.bmp", BmpFile(Overfull)},
        {"OggCutInTheMiddle", "music.ogg", Ogg.substr(0, Ogg.size() / 2)},
        {"OggMagicThenRandomBytes", "music.ogg", "OggS" + RandomBytes(20000, 12)},
    };
}

class HostileValgrindTest : public ::testing::TestWithParam<TValgrindFile> {};

TEST_P(HostileValgrindTest, FindsNothing)
{
    if (!ValgrindUsable())
        GTEST_SKIP() << "valgrind is not installed, or this is the sanitizer build";
    const TValgrindFile& Case = GetParam();
    TSimRun Run;
    Run.Put(Case.File, Case.Content);
    const TChildResult Result = RunUnderValgrind(Run, {"--fast", "--headless", "--frames", "3"});

    EXPECT_EQ(Result.ExitStatus, 0) << Result.Out << Result.Err;
    EXPECT_NE(Result.Err.find("ERROR SUMMARY: 0 errors"), std::string::npos) << Result.Err;
}

INSTANTIATE_TEST_SUITE_P(Files, HostileValgrindTest, ::testing::ValuesIn(ValgrindFiles()),
                         [](const ::testing::TestParamInfo<TValgrindFile>& Info) { return Info.param.Name; });

} // namespace

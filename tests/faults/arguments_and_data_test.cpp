// Every kind of command line and every missing data file, run end to end. A mask is used only when it is the one
// argument; one that does not convert is an unhandled error with status 217. A missing data file stops the run at
// its step, with that step's failure line last and its error entry in the log.

#include "hostile/sim_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct TRunCase {
    const char* Name;
    std::vector<std::string> Words;   // the program's own command line
    std::vector<std::string> Missing; // data files taken away
    int Status;
    std::vector<std::string> Lines;   // lines that must be printed, in this order
    bool MaskUsed;                    // whether a "Requestet video flags" line is printed
    const char* Location = nullptr;   // of the log's error entry, when the last of Lines must end the output
};

void PrintTo(const TRunCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

// Whether Wanted appear in Lines in their order, not necessarily next to each other.
bool InOrder(const std::vector<std::string>& Lines, const std::vector<std::string>& Wanted)
{
    auto At = Lines.begin();
    for (const std::string& Line : Wanted) {
        At = std::find(At, Lines.end(), Line);
        if (At == Lines.end())
            return false;
        ++At;
    }
    return true;
}

class RunTest : public ::testing::TestWithParam<TRunCase> {};

TEST_P(RunTest, EndsAsItCallsFor)
{
    const TRunCase& Case = GetParam();
    TSimRun Run;
    for (const std::string& Name : Case.Missing)
        Run.Remove(Name);
    std::vector<std::string> Arguments = {"--fast", "--headless", "--frames", "3", "--trace", "trace.txt", "--"};
    Arguments.insert(Arguments.end(), Case.Words.begin(), Case.Words.end());
    const TChildResult Result = Run.Run(Arguments);
    const std::vector<std::string> Lines = SplitLines(Result.Out);

    EXPECT_EQ(Result.ExitStatus, Case.Status) << Result.Out << Result.Err;
    EXPECT_TRUE(InOrder(Lines, Case.Lines)) << Result.Out;
    EXPECT_EQ(Result.Out.find("Requestet video flags: ") != std::string::npos, Case.MaskUsed) << Result.Out;
    if (Case.Location != nullptr) {
        ASSERT_FALSE(Lines.empty());
        EXPECT_EQ(Lines.back(), Case.Lines.back()) << Result.Out;
        const std::string Log = Run.Log();
        EXPECT_NE(Log.find("*** ERROR *** : @ "), std::string::npos) << Log;
        EXPECT_NE(Log.find(std::string(" IN : ") + Case.Location + "\r\n\n"), std::string::npos) << Log;
    }
    ExpectNothingOutOfBounds(Run, Result);
}

const std::string Done = "program terminated";
const std::string NoMusic = "Loading music failed";

INSTANTIATE_TEST_SUITE_P(
    CommandLinesAndDataFiles, RunTest,
    ::testing::Values(
        TRunCase{"None", {}, {}, 0, {"Video done", Done}, false},
        TRunCase{"ZeroMask", {"0"}, {}, 0, {"Requestet video flags: 00000000", "used video flags: 00000000", Done},
                 true},
        TRunCase{"HexMask", {"$14"}, {}, 0,
                 {"Requestet video flags: 00000014", "SDL_FULLSCREEN = 1", "SDL_DOUBLEBUF = 1",
                  "used video flags: C0000000", Done},
                 true},
        TRunCase{"EveryFlagAndEightBits", {"$3F"}, {}, 0,
                 {"Requestet video flags: 0000003F", "SDL_SWSURFACE = 1", "SDL_HWSURFACE = 1", "SDL_FULLSCREEN = 1",
                  "SDL_HWACCEL = 1", "SDL_DOUBLEBUF = 1", "Color depth = 8", "used video flags: C0000101",
                  "Bytes per Pixel: 1", "Video done", Done},
                 true},
        TRunCase{"EveryBit", {"-1"}, {}, 0, {"Requestet video flags: FFFFFFFF", "Color depth = 8", Done}, true},
        TRunCase{"TwoWords", {"1", "2"}, {}, 0, {"Video done", Done}, false},
        TRunCase{"NotANumber", {"abc"}, {}, 217, {"EConvertError : \"abc\" is an invalid integer"}, false},
        TRunCase{"Beyond32Bits", {"99999999999"}, {}, 217,
                 {"EConvertError : \"99999999999\" is an invalid integer"}, false},
        TRunCase{"NoMusic", {}, {"music.ogg"}, 0, {NoMusic}, false, "SDLMusic::LoadFromFile"},
        TRunCase{"NoImage", {}, {"galaxy.bmp"}, 0, {"Loading image failed"}, false, "LoadImage"},
        TRunCase{"NoDataFiles", {}, {"music.ogg", "galaxy.bmp"}, 0, {NoMusic}, false, "SDLMusic::LoadFromFile"}),
    [](const ::testing::TestParamInfo<TRunCase>& Info) { return Info.param.Name; });

} // namespace

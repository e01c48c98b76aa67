// Every kind of command line the program may be given, run end to end: none, one flag mask (plain, every flag,
// every bit), two words, and a mask that does not convert. A mask is used only when it is the one argument; one
// that does not convert is an unhandled error with status 217. In the sanitizer build no run reports anything.

#include "hostile/sim_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct TArgumentCase {
    const char* Name;
    std::vector<std::string> Words;  // the program's own command line
    int Status;
    std::vector<std::string> Lines;  // lines that must be printed, in this order
    bool MaskUsed;                   // whether a "Requestet video flags" line is printed
};

void PrintTo(const TArgumentCase& Case, std::ostream* Out)
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

class ArgumentsTest : public ::testing::TestWithParam<TArgumentCase> {};

TEST_P(ArgumentsTest, EndsAsTheArgumentsCallFor)
{
    const TArgumentCase& Case = GetParam();
    TSimRun Run;
    std::vector<std::string> Arguments = {"--fast", "--headless", "--frames", "3", "--trace", "trace.txt", "--"};
    Arguments.insert(Arguments.end(), Case.Words.begin(), Case.Words.end());
    const TChildResult Result = Run.Run(Arguments);
    const std::vector<std::string> Lines = SplitLines(Result.Out);

    EXPECT_EQ(Result.ExitStatus, Case.Status) << Result.Out << Result.Err;
    EXPECT_TRUE(InOrder(Lines, Case.Lines)) << Result.Out;
    EXPECT_EQ(Result.Out.find("Requestet video flags: ") != std::string::npos, Case.MaskUsed) << Result.Out;
    ExpectNothingOutOfBounds(Run, Result);
}

const std::string Done = "program terminated";

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ArgumentsTest,
    ::testing::Values(
        TArgumentCase{"None", {}, 0, {"Video done", Done}, false},
        TArgumentCase{"ZeroMask", {"0"}, 0, {"Requestet video flags: 00000000", "used video flags: 00000000", Done},
                      true},
        TArgumentCase{"HexMask", {"$14"}, 0,
                      {"Requestet video flags: 00000014", "SDL_FULLSCREEN = 1", "SDL_DOUBLEBUF = 1",
                       "used video flags: C0000000", Done},
                      true},
        TArgumentCase{"EveryFlagAndEightBits", {"$3F"}, 0,
                      {"Requestet video flags: 0000003F", "SDL_SWSURFACE = 1", "SDL_HWSURFACE = 1",
                       "SDL_FULLSCREEN = 1", "SDL_HWACCEL = 1", "SDL_DOUBLEBUF = 1", "Color depth = 8",
                       "used video flags: C0000101", "Bytes per Pixel: 1", "Video done", Done},
                      true},
        TArgumentCase{"EveryBit", {"-1"}, 0, {"Requestet video flags: FFFFFFFF", "Color depth = 8", Done}, true},
        TArgumentCase{"TwoWords", {"1", "2"}, 0, {"Video done", Done}, false},
        TArgumentCase{"NotANumber", {"abc"}, 217,
                      {"EConvertError : \"abc\" is an invalid integer"},
                      false},
        TArgumentCase{"Beyond32Bits", {"99999999999"}, 217,
                      {"EConvertError : \"99999999999\" is an invalid integer"}, false}),
    [](const ::testing::TestParamInfo<TArgumentCase>& Info) { return Info.param.Name; });

} // namespace

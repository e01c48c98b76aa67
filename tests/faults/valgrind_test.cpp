// A few runs under valgrind's memcheck, which sees into SDL and the codecs too: no invalid access, no use of an
// uninitialised value, and no memory left at the end beyond what tests/valgrind.supp names as left there by
// design. Skipped where valgrind is not installed, and in the sanitizer build, whose executable valgrind cannot run.

#include "hostile/sim_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TValgrindCase {
    const char* Name;
    std::vector<std::string> Arguments;
    const char* Missing; // a data file taken away, or ""
    int Status;
};

void PrintTo(const TValgrindCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class ValgrindTest : public ::testing::TestWithParam<TValgrindCase> {};

TEST_P(ValgrindTest, FindsNothing)
{
    if (!ValgrindUsable())
        GTEST_SKIP() << "valgrind is not installed, or this is the sanitizer build";
    const TValgrindCase& Case = GetParam();
    TSimRun Run;
    if (*Case.Missing != '\0')
        Run.Remove(Case.Missing);
    std::vector<std::string> Arguments = {"--fast", "--headless", "--frames", "3"};
    Arguments.insert(Arguments.end(), Case.Arguments.begin(), Case.Arguments.end());
    const TChildResult Result = RunUnderValgrind(Run, Arguments);

    EXPECT_EQ(Result.ExitStatus, Case.Status) << Result.Err;
    EXPECT_NE(Result.Err.find("ERROR SUMMARY: 0 errors"), std::string::npos) << Result.Err;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ValgrindTest,
    ::testing::Values(TValgrindCase{"FrameLoop", {}, "", 0},
                      TValgrindCase{"NoRegisterWindow", {"--fault", "mem-open"}, "", 0},
                      TValgrindCase{"NoMemoryWindow", {"--fault", "mem-map-window"}, "", 0},
                      TValgrindCase{"NoVideoPages", {"--fault", "fb1-open"}, "", 0},
                      TValgrindCase{"NoVideoDevice", {"--fault", "sdl-video"}, "", 217},
                      TValgrindCase{"NoAudioDevice", {"--fault", "sdl-audio"}, "", 217},
                      TValgrindCase{"NoImage", {}, "galaxy.bmp", 0}),
    [](const ::testing::TestParamInfo<TValgrindCase>& Info) { return Info.param.Name; });

} // namespace

// Every missing data file, run end to end: the run stops at the file it lacks, with that step's failure line last,
// exit status 0, its error entry in a whole log and, in the sanitizer build, no report and no leak.

#include "hostile/sim_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TMissingCase {
    const char* Name;
    std::vector<std::string> Missing;
    std::string LastLine;
    std::string Location; // of the log's error entry
};

void PrintTo(const TMissingCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class MissingDataTest : public ::testing::TestWithParam<TMissingCase> {};

TEST_P(MissingDataTest, StopsAtTheFileItLacks)
{
    const TMissingCase& Case = GetParam();
    TSimRun Run;
    for (const std::string& Name : Case.Missing)
        Run.Remove(Name);
    const TChildResult Result = Run.Run({"--fast", "--headless", "--frames", "3", "--trace", "trace.txt"});
    const std::vector<std::string> Lines = SplitLines(Result.Out);

    EXPECT_EQ(Result.ExitStatus, 0) << Result.Out << Result.Err;
    ASSERT_FALSE(Lines.empty());
    EXPECT_EQ(Lines.back(), Case.LastLine) << Result.Out;
    const std::string Log = Run.Log();
    EXPECT_NE(Log.find("*** ERROR *** : @ "), std::string::npos) << Log;
    EXPECT_NE(Log.find(" IN : " + Case.Location + "\r\n\n"), std::string::npos) << Log;
    ExpectNothingOutOfBounds(Run, Result);
}

INSTANTIATE_TEST_SUITE_P(
    DataFiles, MissingDataTest,
    ::testing::Values(TMissingCase{"Music", {"music.ogg"}, "Loading music failed", "SDLMusic::LoadFromFile"},
                      TMissingCase{"Image", {"galaxy.bmp"}, "Loading image failed", "LoadImage"},
                      TMissingCase{"Both", {"music.ogg", "galaxy.bmp"}, "Loading music failed",
                                   "SDLMusic::LoadFromFile"}),
    [](const ::testing::TestParamInfo<TMissingCase>& Info) { return Info.param.Name; });

} // namespace

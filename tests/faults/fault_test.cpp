// Every fault that brimlet-sim can inject, run end to end: the run takes the way out the failure calls for, with its
// own line, its exit status and a whole log, the fault is seen to strike in the trace, and nothing out of bounds.

#include "hostile/sim_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct TFaultCase {
    const char* Name;
    const char* Line;     // the failure's own line, "" for none
    const char* LastLine; // nullptr: the failure's own line is the last
    bool Started;         // whether the register window was had ("Memory handle is: ")
    bool FrameLoop;       // whether "Video done" is printed
    int Status;
    bool Strikes;         // whether the run comes to the failing call at all
};

void PrintTo(const TFaultCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

const char* const Done = "program terminated";
const char* const Report = ""; // the unhandled error's report ends with an empty line

const std::vector<TFaultCase> Cases = {
    {"mem-open", "dev/mem not open", Done, false, false, 0, true},
    {"mem-map-regs", "memory not maped", Done, false, false, 0, true},
    {"mem-map-blitter", "blitter memory not maped", Done, false, false, 0, true},
    {"mem-map-window", "Mapping the memory failed, error no:12", nullptr, true, false, 0, true},
    // /dev/mem is never closed in a run: GetMemoryHandle's references are held to the end of the process.
    {"mem-close", "", Done, true, true, 0, false},
    {"fb0-open", "No access to FB0:2", Done, true, false, 0, true},
    {"fb1-open", "No access to FB1:2", Done, true, false, 0, true},
    {"fb-info", "No screen info for FB0:5", Done, true, false, 0, true},
    {"fb-map", "FB0 not mapped:12", Done, true, false, 0, true},
    {"mixer-open", "", Done, true, true, 0, true},
    {"sdl-video", "Exception : InitSDL failed", Report, true, false, 217, true},
    {"sdl-audio", "Exception : InitSDL:Audio failed", Report, true, false, 217, true},
};

bool HasLineStarting(const std::vector<std::string>& Lines, const std::string& Start)
{
    return std::any_of(Lines.begin(), Lines.end(), [&Start](const std::string& Line) { return Line.rfind(Start, 0) == 0; });
}

TEST(FaultListTest, EveryFaultOfTheHelpHasACase)
{
    TSimRun Run;
    const TChildResult Result = Run.Run({"--fault", "help"});
    ASSERT_EQ(Result.ExitStatus, 0) << Result.Err;
    std::vector<std::string> Listed;
    for (const std::string& Line : SplitLines(Result.Err))
        Listed.push_back(Line.substr(0, Line.find(' ')));
    std::vector<std::string> Covered;
    for (const TFaultCase& Case : Cases)
        Covered.push_back(Case.Name);
    EXPECT_EQ(Listed, Covered);
}

class FaultTest : public ::testing::TestWithParam<TFaultCase> {};

TEST_P(FaultTest, TakesItsWayOutCleanly)
{
    const TFaultCase& Case = GetParam();
    TSimRun Run;
    const TChildResult Result =
        Run.Run({"--fast", "--headless", "--frames", "3", "--trace", "trace.txt", "--fault", Case.Name});
    const std::vector<std::string> Lines = SplitLines(Result.Out);
    ASSERT_FALSE(Lines.empty()) << Result.Err;
    const std::string Whole = Result.Out + Result.Err;

    EXPECT_EQ(Result.ExitStatus, Case.Status) << Whole;
    EXPECT_TRUE(*Case.Line == '\0' || std::find(Lines.begin(), Lines.end(), Case.Line) != Lines.end()) << Whole;
    EXPECT_EQ(Lines.back(), Case.LastLine != nullptr ? Case.LastLine : Case.Line) << Whole;
    EXPECT_EQ(HasLineStarting(Lines, "Video done"), Case.FrameLoop) << Whole;
    EXPECT_EQ(HasLineStarting(Lines, "Memory handle is: "), Case.Started) << Whole;
    EXPECT_EQ(Case.Status == 217, HasLineStarting(Lines, "An unhandled exception occurred at $")) << Whole;
    const std::string Trace = "\n" + ReadFile(Run.File("trace.txt"));
    EXPECT_EQ(Trace.find(std::string("\nFAULT ") + Case.Name + "\n") != std::string::npos, Case.Strikes);
    ExpectNothingOutOfBounds(Run, Result);
}

INSTANTIATE_TEST_SUITE_P(EveryFault, FaultTest, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<TFaultCase>& Info) {
                             std::string Name = Info.param.Name;
                             std::replace(Name.begin(), Name.end(), '-', '_');
                             return Name;
                         });

} // namespace

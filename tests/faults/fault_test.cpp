// Every fault that brimlet-sim can inject, run end to end: the run takes the way out that the failure calls for,
// with its own line, its exit status and a whole log, the fault is seen to strike in the trace, and nothing is
// reported by the sanitizers (leaks included) in the sanitizer build.

#include "hostile/sim_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

// How a run with one fault ends.
enum class TWay {
    NothingStarted, // the register window is not had: its reason, "program terminated", status 0
    StartUpLeft,    // a start-up step failed: its line is the last, status 0
    NoVideo,        // the video set-up failed: no frame loop, "program terminated", status 0
    FrameLoop,      // the run goes through its frames and ends as usual
    Raised,         // InitSDL raised: the unhandled error's report, status 217
};

struct TFaultCase {
    const char* Name;
    TWay Way;
    const char* Line; // the line that the failure prints ("" for none)
    bool Strikes;     // whether the run comes to the failing call at all
};

void PrintTo(const TFaultCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

const std::vector<TFaultCase>& FaultCases()
{
    static const std::vector<TFaultCase> Cases = {
        {"mem-open", TWay::NothingStarted, "dev/mem not open", true},
        {"mem-map-regs", TWay::NothingStarted, "memory not maped", true},
        {"mem-map-blitter", TWay::NothingStarted, "blitter memory not maped", true},
        {"mem-map-window", TWay::StartUpLeft, "Mapping the memory failed, error no:12", true},
        // /dev/mem is never closed in a run: the references that GetMemoryHandle took are held to the end of the
        // process, so the last release never comes.
        {"mem-close", TWay::FrameLoop, "", false},
        {"fb0-open", TWay::NoVideo, "No access to FB0:2", true},
        {"fb1-open", TWay::NoVideo, "No access to FB1:2", true},
        {"fb-info", TWay::NoVideo, "No screen info for FB0:5", true},
        {"fb-map", TWay::NoVideo, "FB0 not mapped:12", true},
        {"mixer-open", TWay::FrameLoop, "", true},
        {"sdl-video", TWay::Raised, "Exception : InitSDL failed", true},
        {"sdl-audio", TWay::Raised, "Exception : InitSDL:Audio failed", true},
    };
    return Cases;
}

bool HasLine(const std::vector<std::string>& Lines, const std::string& Line)
{
    return std::find(Lines.begin(), Lines.end(), Line) != Lines.end();
}

bool HasLineStarting(const std::vector<std::string>& Lines, const std::string& Start)
{
    return std::any_of(Lines.begin(), Lines.end(), [&Start](const std::string& Line) {
        return Line.rfind(Start, 0) == 0;
    });
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
    for (const TFaultCase& Case : FaultCases())
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

    EXPECT_EQ(Result.ExitStatus, Case.Way == TWay::Raised ? 217 : 0) << Whole;
    if (*Case.Line != '\0') {
        EXPECT_TRUE(HasLine(Lines, Case.Line)) << Whole;
    }
    EXPECT_EQ(HasLine(Lines, "Video done"), Case.Way == TWay::FrameLoop) << Whole;
    EXPECT_EQ(HasLineStarting(Lines, "Memory handle is: "), Case.Way != TWay::NothingStarted) << Whole;
    switch (Case.Way) {
    case TWay::NothingStarted:
    case TWay::NoVideo:
    case TWay::FrameLoop:
        EXPECT_EQ(Lines.back(), "program terminated") << Whole;
        break;
    case TWay::StartUpLeft:
        EXPECT_EQ(Lines.back(), Case.Line) << Whole;
        break;
    case TWay::Raised:
        EXPECT_EQ(Lines.back(), "") << "the report ends with an empty line";
        EXPECT_TRUE(HasLineStarting(Lines, "An unhandled exception occurred at $")) << Whole;
        break;
    }

    const std::string Trace = "\n" + ReadFile(Run.File("trace.txt"));
    EXPECT_EQ(Trace.find(std::string("\nFAULT ") + Case.Name + "\n") != std::string::npos, Case.Strikes)
        << "whether the fault struck";
    ExpectNothingOutOfBounds(Run, Result);
}

INSTANTIATE_TEST_SUITE_P(EveryFault, FaultTest, ::testing::ValuesIn(FaultCases()),
                         [](const ::testing::TestParamInfo<TFaultCase>& Info) {
                             std::string Name = Info.param.Name;
                             std::replace(Name.begin(), Name.end(), '-', '_');
                             return Name;
                         });

} // namespace

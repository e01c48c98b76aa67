// The launcher's command line, run for real: unusable options stop it with status 2 before the program starts,
// and the informative options answer on standard error.

#include <gtest/gtest.h>


#include "launcher/sim_folder.h"
#include "sim/sim.h"

namespace {

// Neither a display nor a driver chosen for SDL.
const std::vector<std::string> NoDisplay{"DISPLAY", "SDL_VIDEODRIVER"};

TEST(LauncherOptions, AnUnusableCommandLineStopsWithStatus2BeforeTheProgramStarts) {
    struct TCase {
        std::vector<std::string> Arguments;
        std::string Message;
    };
    const TCase Cases[] = {
        {{"--bogus"}, "unknown option --bogus (--help lists the options)"},
        {{"--headless", "--fast", "--Frames", "3"}, "unknown option --Frames (--help lists the options)"},
        {{"--script"}, "--script needs a value"},
        {{"--headless", "--frames"}, "--frames needs a value"},
        {{"--trace"}, "--trace needs a value"},
        {{"--audio-out"}, "--audio-out needs a value"},
        {{"--fault"}, "--fault needs a value"},
        {{"--frames", "x"}, "--frames needs a number of frames from 0 to 4294967295, not \"x\""},
        {{"--frames", "-1"}, "--frames needs a number of frames from 0 to 4294967295, not \"-1\""},
        {{"--frames", "4294967296"}, "--frames needs a number of frames from 0 to 4294967295, not \"4294967296\""},
        {{"--frames", "1", "--frames", "2"}, "--frames given twice"},
        {{"--script", "a", "--script", "b"}, "--script given twice"},
        {{"--trace", ""}, "--trace needs a file name"},
        {{"--fault", "mem-open", "--fault", "no-such-fault"}, "unknown fault \"no-such-fault\" (--fault help lists them)"},
        {{"--headless", "--window"}, "--headless and --window exclude each other"},
        {{"--script", "missing.txt"}, "cannot read the script missing.txt: No such file or directory"},
        {{"--script", "."}, "cannot read the script .: Is a directory"},
        {{"--window", "--frames", "1"}, "--window needs a display: DISPLAY is not set, or SDL_VIDEODRIVER is dummy"},
        {{"--headless", "--trace", "no-folder/trace.txt"},
         "cannot write the trace to no-folder/trace.txt: No such file or directory"},
        {{"--headless", "--audio-out", "no-folder/out.wav"},
         "cannot write the audio capture no-folder/out.wav: No such file or directory"},
    };
    for (const TCase& Case : Cases) {
        TSimFolder Folder;
        const TChildResult Result = Folder.Run(Case.Arguments, NoDisplay);
        const std::string Shown = testing::PrintToString(Case.Arguments);
        EXPECT_EQ(Result.ExitStatus, 2) << Shown;
        EXPECT_EQ(Result.Err, "brimlet-sim: " + Case.Message + "\n") << Shown;
        EXPECT_EQ(Result.Out, "") << Shown;
        // No log, no trace: the program never started.
        EXPECT_EQ(Folder.NewFiles(), std::vector<std::string>{}) << Shown;
    }
}

TEST(LauncherOptions, AnUnusableScriptIsNamedWithItsLineAndReason) {
    TSimFolder Folder;
    ASSERT_TRUE(WriteFile(Folder.File("tour.txt"), "# a tour\n1 hold right\n\n40 release rigth\n50 hold b4\n"));
    const TChildResult Result = Folder.Run({"--headless", "--fast", "--script", "tour.txt"});
    EXPECT_EQ(Result.ExitStatus, 2);
    EXPECT_EQ(Result.Err, "brimlet-sim: tour.txt:4: unknown input \"rigth\" (b1 to b10, up, down, left, right, "
                          "upleft, upright, downleft, downright)\n");
    EXPECT_EQ(Result.Out, "");
    EXPECT_EQ(Folder.NewFiles(), std::vector<std::string>{"tour.txt"});
}

TEST(LauncherOptions, HelpNamesEveryOptionOnStandardError) {
    TSimFolder Folder;
    const TChildResult Result = Folder.Run({"--fast", "--help", "--bogus"});
    EXPECT_EQ(Result.ExitStatus, 0);
    EXPECT_EQ(Result.Out, "");
    EXPECT_EQ(Result.Err.rfind("usage: brimlet-sim [OPTIONS] [--] [FLAGS]\n", 0), 0u) << Result.Err;
    for (const char* Option : {"--script FILE", "--frames N", "--headless", "--window", "--fast", "--trace FILE",
                               "--audio-out FILE", "--fault NAME", "--help", "--version"}) {
        EXPECT_NE(Result.Err.find(std::string("\n  ") + Option + " "), std::string::npos) << Option;
    }
    EXPECT_EQ(Folder.NewFiles(), std::vector<std::string>{});
}

TEST(LauncherOptions, VersionIsTheProjectsVersion) {
    const std::string Lists = ReadFile(std::string(BRIMLET_SOURCE_DIR) + "/CMakeLists.txt");
    const std::string Project = "project(brimlet VERSION ";
    const std::size_t Start = Lists.find(Project);
    ASSERT_NE(Start, std::string::npos);
    const std::size_t From = Start + Project.size();
    const std::string Version = Lists.substr(From, Lists.find_first_not_of("0123456789.", From) - From);
    ASSERT_FALSE(Version.empty());

    TSimFolder Folder;
    const TChildResult Result = Folder.Run({"--version"});
    EXPECT_EQ(Result.ExitStatus, 0);
    EXPECT_EQ(Result.Out, "");
    EXPECT_EQ(Result.Err, "brimlet-sim " + Version + "\n");
}

TEST(LauncherOptions, FaultHelpListsEveryFaultWithWhatItDoes) {
    TSimFolder Folder;
    const TChildResult Result = Folder.Run({"--fault", "help"});
    EXPECT_EQ(Result.ExitStatus, 0);
    EXPECT_EQ(Result.Out, "");
    const std::vector<std::string> Lines = SplitLines(Result.Err);
    const auto Faults = SimFaultList();
    ASSERT_EQ(Lines.size(), Faults.size()) << Result.Err;
    for (std::size_t i = 0; i < Faults.size(); ++i) {
        // The name, blanks, then what it does.
        const std::string& Name = Faults[i].first;
        ASSERT_EQ(Lines[i].compare(0, Name.size() + 1, Name + " "), 0) << Lines[i];
        EXPECT_EQ(Lines[i].substr(Lines[i].find_first_not_of(' ', Name.size())), Faults[i].second);
    }
    // The failure paths of the program need every one of these.
    for (const char* Name : {"mem-open", "mem-map-regs", "mem-map-blitter", "mem-map-window", "fb0-open",
                             "fb1-open", "fb-info", "fb-map", "sdl-video", "sdl-audio", "mixer-open"}) {
        EXPECT_NE(Result.Err.find(std::string(Name) + " "), std::string::npos) << Name;
    }
}

} // namespace

// The launcher's command line, run for real: unusable options stop it with status 2 before the program starts,
// and the informative options answer on standard error.

#include <gtest/gtest.h>

#include "launcher/sim_folder.h"

namespace {

TEST(LauncherOptions, AnUnusableCommandLineStopsWithStatus2BeforeTheProgramStarts) {
    const std::pair<std::vector<std::string>, std::string> Cases[] = {
        {{"--bogus"}, "unknown option --bogus (--help lists the options)"},
        {{"--headless", "--fast", "--Frames", "3"}, "unknown option --Frames (--help lists the options)"},
        {{"--script"}, "--script needs a value"},
        {{"--headless", "--frames"}, "--frames needs a value"},
        {{"--trace"}, "--trace needs a value"},
        {{"--audio-out"}, "--audio-out needs a value"},
        {{"--fault"}, "--fault needs a value"},
        {{"--frames", "-1"}, "--frames needs a number of frames from 0 to 4294967295, not \"-1\""},
        {{"--frames", "4294967296"}, "--frames needs a number of frames from 0 to 4294967295, not \"4294967296\""},
        {{"--frames", "1", "--frames", "2"}, "--frames given twice"},
        {{"--script", "a", "--script", "b"}, "--script given twice"},
        {{"--trace", ""}, "--trace needs a file name"},
        {{"--fault", "mem-open", "--fault", "no-such-fault"},
         "unknown fault \"no-such-fault\" (--fault help lists them)"},
        {{"--headless", "--window"}, "--headless and --window exclude each other"},
        {{"--script", "missing.txt"}, "cannot read the script missing.txt: No such file or directory"},
        {{"--script", "."}, "cannot read the script .: Is a directory"},
        {{"--window", "--frames", "1"}, "--window needs a display: DISPLAY is not set, or SDL_VIDEODRIVER is dummy"},
        {{"--headless", "--trace", "no-folder/trace.txt"},
         "cannot write the trace to no-folder/trace.txt: No such file or directory"},
        {{"--headless", "--audio-out", "no-folder/out.wav"},
         "cannot write the audio capture no-folder/out.wav: No such file or directory"},
    };
    for (const auto& [Arguments, Message] : Cases) {
        TSimFolder Folder;
        const TChildResult Result = Folder.Run(Arguments, {"DISPLAY", "SDL_VIDEODRIVER"});
        EXPECT_EQ(Result.ExitStatus, 2) << Message;
        EXPECT_EQ(Result.Err, "brimlet-sim: " + Message + "\n");
        EXPECT_EQ(Result.Out, "") << Message;
        EXPECT_EQ(Folder.NewFiles(), std::vector<std::string>{}) << Message; // no log, no trace
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

TEST(LauncherOptions, HelpVersionAndFaultHelpAnswerOnStandardErrorAlone) {
    TSimFolder Folder;
    const TChildResult Help = Folder.Run({"--fast", "--help", "--bogus"});
    EXPECT_EQ(Help.Err.rfind("usage: brimlet-sim [OPTIONS] [--] [FLAGS]\n", 0), 0u) << Help.Err;
    for (const char* Option : {"--script FILE", "--frames N", "--headless", "--window", "--fast", "--trace FILE",
                               "--audio-out FILE", "--fault NAME", "--help", "--version"}) {
        EXPECT_NE(Help.Err.find(std::string("\n  ") + Option + " "), std::string::npos) << Option;
    }

    const std::string Lists = ReadFile(BRIMLET_SOURCE_DIR "/CMakeLists.txt");
    const std::size_t From = Lists.find("project(brimlet VERSION ") + 24;
    const TChildResult Version = Folder.Run({"--version"});
    EXPECT_EQ(Version.Err, "brimlet-sim " + Lists.substr(From, Lists.find_first_not_of("0123456789.", From) - From) +
                               "\n");

    // Each fault's name, blanks, and what it does.
    const TChildResult Faults = Folder.Run({"--fault", "help"});
    const std::vector<std::string> Lines = SplitLines(Faults.Err);
    const auto List = SimFaultList();
    ASSERT_EQ(Lines.size(), List.size()) << Faults.Err;
    for (std::size_t i = 0; i < List.size(); ++i) {
        const auto& [Name, Meaning] = List[i];
        ASSERT_EQ(Lines[i].rfind(Name + " ", 0), 0u) << Lines[i];
        EXPECT_EQ(Lines[i].substr(Lines[i].find_first_not_of(' ', Name.size())), Meaning);
    }
    for (const TChildResult* Result : {&Help, &Version, &Faults}) {
        EXPECT_EQ(Result->ExitStatus, 0) << Result->Err;
        EXPECT_EQ(Result->Out, "");
    }
    EXPECT_EQ(Folder.NewFiles(), std::vector<std::string>{});
}

} // namespace

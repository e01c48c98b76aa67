// Runs of the program through the launcher: its arguments, scripts against the trace, the built-in demo, the audio
// capture and the interrupt.

#include <gtest/gtest.h>

#include "launcher/sim_folder.h"

namespace {

// The trace's lines that begin with Word, without it.
std::vector<std::string> TraceEvents(const TSimFolder& Folder, const std::string& Word) {
    std::vector<std::string> Values;
    for (const std::string& Line : SplitLines(ReadFile(Folder.File("trace.txt")))) {
        if (Line.rfind(Word + " ", 0) == 0) {
            Values.push_back(Line.substr(Word.size() + 1));
        }
    }
    return Values;
}

std::string LastLine(const std::string& Text) {
    const std::vector<std::string> Lines = SplitLines(Text);
    return Lines.empty() ? "" : Lines.back();
}

TEST(LauncherRun, TheWordsAfterTheOptionsAreTheProgramsArgumentsAndFramesEndsTheRun) {
    const struct {
        std::vector<std::string> Arguments;
        const char* Line;
        int ExitStatus;
        std::size_t Flips;
    } Cases[] = {
        {{"--frames", "2", "18"}, "\nRequestet video flags: 00000012\n", 0, 2},
        {{"--frames", "0", "--", "$12"}, "\nRequestet video flags: 00000012\n", 0, 0},
        {{"--frames", "7", "-1"}, "\nRequestet video flags: FFFFFFFF\n", 0, 7},
        // Taken as the program's flag mask, "--frames" does not convert: the program's own error report.
        {{"--frames", "2", "--", "--frames"}, "\"--frames\" is an invalid integer", 217, 0},
    };
    for (const auto& Case : Cases) {
        TSimFolder Folder;
        std::vector<std::string> Arguments{"--headless", "--fast", "--trace", "trace.txt"};
        Arguments.insert(Arguments.end(), Case.Arguments.begin(), Case.Arguments.end());
        const TChildResult Result = Folder.Run(Arguments);
        EXPECT_EQ(Result.ExitStatus, Case.ExitStatus) << Case.Line;
        EXPECT_NE(Result.Out.find(Case.Line), std::string::npos) << Result.Out;
        EXPECT_EQ(Result.Err, "") << Case.Line;
        EXPECT_EQ(TraceEvents(Folder, "FLIP").size(), Case.Flips) << Case.Line;
        // The program's name is the launcher's own path, so its log is named after the executable.
        EXPECT_EQ(Folder.NewFiles(), (std::vector<std::string>{"brimlet-sim.log", "trace.txt"})) << Case.Line;
    }
}

TEST(LauncherRun, ScriptInputsTakeEffectAtTheirFlipsAndATapLastsOneFrame) {
    TSimFolder Folder;
    ASSERT_TRUE(WriteFile(Folder.File("volume.txt"), "5 tap b8      # one frame: 129\n"
                                                     "10 hold b7    # three frames: 126\n"
                                                     "13 release b7\n"
                                                     "20 hold b4\n"));
    const TChildResult Result = Folder.Run({"--headless", "--fast", "--script", "volume.txt", "--trace", "trace.txt"});
    EXPECT_EQ(Result.ExitStatus, 0);
    EXPECT_EQ(LastLine(Result.Out), "program terminated");
    EXPECT_EQ(Result.Err, "");
    EXPECT_EQ(TraceEvents(Folder, "MIXER"),
              (std::vector<std::string>{"0000FFFF", "00008080", "00008181", "00008080", "00007F7F", "00007E7E"}));
    EXPECT_EQ(TraceEvents(Folder, "FLIP").size(), 20u);
}

TEST(LauncherRun, TheDemoPlaysHeadlessToTheEndAndNamesItsSnapshots) {
    TSimFolder Folder;
    const TChildResult Result = Folder.Run({"--headless", "--fast", "--trace", "trace.txt"}, {"DISPLAY=:99"});
    EXPECT_EQ(Result.ExitStatus, 0);
    EXPECT_EQ(LastLine(Result.Out), "program terminated");
    std::string Said = "brimlet-sim: playing the built-in demo\n";
    std::string Previous;
    for (const std::string Name : {"demo-1.png", "demo-2.png", "demo-3.png", "demo-4.png", "demo-5.png"}) {
        Said += "brimlet-sim: wrote snapshot " + Name + "\n";
        EXPECT_EQ(PngSize(Folder.File(Name)), "320x240") << Name;
        // Each snapshot shows something new: the view moved, or a status line changed.
        EXPECT_NE(ReadFile(Folder.File(Name)), Previous) << Name;
        Previous = ReadFile(Folder.File(Name));
    }
    EXPECT_EQ(Result.Err, Said);
    // The volume went down and came back.
    const std::vector<std::string> Levels = TraceEvents(Folder, "MIXER");
    ASSERT_GE(Levels.size(), 3u);
    EXPECT_LT(*std::min_element(Levels.begin(), Levels.end()), "00008080");
    EXPECT_EQ(Levels.back(), "00008080");
    // Every contact of the ring and both V-Sync buttons were used: each shows as a read of its register with only
    // its own bit low.
    const std::string Trace = ReadFile(Folder.File("trace.txt"));
    for (const char* Read : {"R16 C0001198 FFFE", "R16 C0001198 FFFD", "R16 C0001198 FFFB", "R16 C0001198 FFF7",
                             "R16 C0001198 FFEF", "R16 C0001198 FFDF", "R16 C0001198 FFBF", "R16 C0001198 FF7F",
                             "R16 C0001184 EFFF", "R16 C0001184 DFFF"}) {
        EXPECT_NE(Trace.find(std::string("\n") + Read), std::string::npos) << Read;
    }
}

TEST(LauncherRun, AudioOutWritesAWaveFileOfWhatTheListenerHears) {
    TSimFolder Folder;
    // Modelled time, so that the audio device plays for a while.
    EXPECT_EQ(Folder.Run({"--headless", "--frames", "30", "--audio-out", "out.wav"}).ExitStatus, 0);
    // The capture is closed at the end of the run: the data chunk's size is filled in.
    const std::string Wave = ReadFile(Folder.File("out.wav"));
    ASSERT_GT(Wave.size(), 44u);
    EXPECT_EQ(Wave.substr(0, 4) + Wave.substr(8, 8) + Wave.substr(36, 4), "RIFFWAVEfmt data");
    std::size_t DataSize = 0;
    for (std::size_t i = 44; i-- > 40;) {
        DataSize = DataSize << 8 | static_cast<unsigned char>(Wave[i]);
    }
    EXPECT_EQ(DataSize, Wave.size() - 44);
}

TEST(LauncherRun, AnInterruptPressesTheExitButton) {
    TSimFolder Folder;
    ASSERT_TRUE(WriteFile(Folder.File("endless.txt"), "# no exit of its own\n"));
    // The shell waits until the program runs its frames, then interrupts it like Ctrl-C.
    const TChildResult Result = RunProgram(
        {"sh", "-c",
         "./brimlet-sim --headless --fast --script endless.txt --trace trace.txt & "
         "while kill -0 $! && ! grep -q '^FLIP 5 ' trace.txt 2>/dev/null; do sleep 0.1; done; "
         "kill -INT $!; wait $!"},
        {Folder.Path(), "", {}, 120});
    EXPECT_EQ(Result.ExitStatus, 0);
    EXPECT_EQ(LastLine(Result.Out), "program terminated");
}

} // namespace

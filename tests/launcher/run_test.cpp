// Runs of the program through the launcher: its arguments, scripts against the trace, the built-in demo, the audio
// capture and the interrupt.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "launcher/sim_folder.h"

namespace {

const std::vector<std::string> Headless{"--headless", "--fast"};

std::vector<std::string> With(std::vector<std::string> Arguments, const std::vector<std::string>& More) {
    Arguments.insert(Arguments.end(), More.begin(), More.end());
    return Arguments;
}

// The trace's lines that begin with Word, without it.
std::vector<std::string> TraceEvents(const std::string& Trace, const std::string& Word) {
    std::vector<std::string> Values;
    for (const std::string& Line : SplitLines(Trace)) {
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

TEST(LauncherRun, TheWordsAfterTheOptionsAreTheProgramsArguments) {
    const std::pair<std::vector<std::string>, const char*> Cases[] = {
        {{"18"}, "Requestet video flags: 00000012"},
        {{"--", "$12"}, "Requestet video flags: 00000012"},
        {{"-1"}, "Requestet video flags: FFFFFFFF"},
        {{"--", "--frames"}, nullptr},
    };
    for (const auto& [Words, Line] : Cases) {
        TSimFolder Folder;
        const TChildResult Result = Folder.Run(With(With(Headless, {"--frames", "2"}), Words));
        const std::string Shown = testing::PrintToString(Words);
        if (Line != nullptr) {
            EXPECT_EQ(Result.ExitStatus, 0) << Shown;
            EXPECT_NE(Result.Out.find(std::string("\n") + Line + "\n"), std::string::npos) << Shown << Result.Out;
            EXPECT_EQ(LastLine(Result.Out), "program terminated") << Shown;
        } else {
            // Taken as the program's flag mask, "--frames" does not convert: the program's own error report.
            EXPECT_EQ(Result.ExitStatus, 217) << Shown;
            EXPECT_NE(Result.Out.find("\"--frames\" is an invalid integer"), std::string::npos) << Result.Out;
        }
        EXPECT_EQ(Result.Err, "") << Shown;
        // The program's name is the launcher's own path, so its log is named after the executable.
        EXPECT_EQ(Folder.NewFiles(), std::vector<std::string>{"brimlet-sim.log"}) << Shown;
    }
}

TEST(LauncherRun, ScriptInputsTakeEffectAtTheirFlipsAndATapLastsOneFrame) {
    TSimFolder Folder;
    ASSERT_TRUE(WriteFile(Folder.File("volume.txt"), "5 tap b8      # one frame: 129\n"
                                                     "10 hold b7    # three frames: 126\n"
                                                     "13 release b7\n"
                                                     "20 hold b4\n"));
    const TChildResult Result = Folder.Run(With(Headless, {"--script", "volume.txt", "--trace", "trace.txt"}));
    EXPECT_EQ(Result.ExitStatus, 0);
    EXPECT_EQ(LastLine(Result.Out), "program terminated");
    EXPECT_EQ(Result.Err, "");
    const std::string Trace = ReadFile(Folder.File("trace.txt"));
    EXPECT_EQ(TraceEvents(Trace, "MIXER"),
              (std::vector<std::string>{"0000FFFF", "00008080", "00008181", "00008080", "00007F7F", "00007E7E"}));
    const std::vector<std::string> Flips = TraceEvents(Trace, "FLIP");
    ASSERT_FALSE(Flips.empty());
    EXPECT_EQ(Flips.back().substr(0, 3), "20 ");
}

TEST(LauncherRun, FramesHoldsTheExitButtonAfterThatManyFlips) {
    for (const char* Frames : {"0", "7"}) {
        TSimFolder Folder;
        const TChildResult Result = Folder.Run(With(Headless, {"--frames", Frames, "--trace", "trace.txt"}));
        EXPECT_EQ(Result.ExitStatus, 0);
        EXPECT_EQ(LastLine(Result.Out), "program terminated");
        const std::vector<std::string> Flips = TraceEvents(ReadFile(Folder.File("trace.txt")), "FLIP");
        const std::string Last = Flips.empty() ? "0 " : Flips.back().substr(0, Flips.back().find(' ') + 1);
        EXPECT_EQ(Last, std::string(Frames) + " ") << Frames;
    }
}

TEST(LauncherRun, TheDemoPlaysHeadlessToTheEndAndNamesItsSnapshots) {
    TSimFolder Folder;
    const TChildResult Result = Folder.Run(With(Headless, {"--trace", "trace.txt"}), {"DISPLAY=:99"});
    EXPECT_EQ(Result.ExitStatus, 0);
    EXPECT_EQ(LastLine(Result.Out), "program terminated");
    const std::vector<std::string> Said = SplitLines(Result.Err);
    const std::vector<std::string> Snapshots{"demo-1.png", "demo-2.png", "demo-3.png", "demo-4.png", "demo-5.png"};
    std::vector<std::string> Expected{"brimlet-sim: playing the built-in demo"};
    for (const std::string& Name : Snapshots) {
        Expected.push_back("brimlet-sim: wrote snapshot " + Name);
    }
    EXPECT_EQ(Said, Expected);

    std::vector<std::string> Pictures;
    for (const std::string& Name : Snapshots) {
        int Width = 0, Height = 0;
        EXPECT_TRUE(PngSize(Folder.File(Name), Width, Height)) << Name;
        EXPECT_EQ(Width, 320);
        EXPECT_EQ(Height, 240);
        Pictures.push_back(ReadFile(Folder.File(Name)));
    }
    // Each snapshot shows something new: the view moved, or a status line changed.
    for (std::size_t i = 1; i < Pictures.size(); ++i) {
        EXPECT_NE(Pictures[i], Pictures[i - 1]) << Snapshots[i];
    }

    // The volume went down and came back.
    const std::string Trace = ReadFile(Folder.File("trace.txt"));
    const std::vector<std::string> Levels = TraceEvents(Trace, "MIXER");
    ASSERT_GE(Levels.size(), 3u);
    EXPECT_LT(*std::min_element(Levels.begin(), Levels.end()), "00008080");
    EXPECT_EQ(Levels.back(), "00008080");
    // Every contact of the ring and the V-Sync buttons were used: each shows as a read of its register with only
    // its own bit low.
    for (const char* Read : {"R16 C0001198 FFFE", "R16 C0001198 FFFD", "R16 C0001198 FFFB", "R16 C0001198 FFF7",
                             "R16 C0001198 FFEF", "R16 C0001198 FFDF", "R16 C0001198 FFBF", "R16 C0001198 FF7F"}) {
        EXPECT_NE(Trace.find(std::string("\n") + Read), std::string::npos) << Read;
    }
}

TEST(LauncherRun, AudioOutWritesAWaveFileOfWhatTheListenerHears) {
    TSimFolder Folder;
    // Modelled time, so that the audio device plays for a while.
    const TChildResult Result = Folder.Run({"--headless", "--frames", "30", "--audio-out", "out.wav"});
    EXPECT_EQ(Result.ExitStatus, 0);
    const std::string Wave = ReadFile(Folder.File("out.wav"));
    ASSERT_GE(Wave.size(), 44u);
    auto Word = [&Wave](std::size_t At, std::size_t Bytes) {
        std::uint32_t Value = 0;
        for (std::size_t i = Bytes; i-- > 0;) {
            Value = Value * 256 + static_cast<unsigned char>(Wave[At + i]);
        }
        return Value;
    };
    EXPECT_EQ(Wave.substr(0, 4), "RIFF");
    EXPECT_EQ(Wave.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Word(4, 4), Wave.size() - 8);
    EXPECT_EQ(Word(20, 2), 1u);  // PCM
    EXPECT_EQ(Word(22, 2), 2u);  // stereo
    EXPECT_EQ(Word(34, 2), 16u); // bits per sample
    EXPECT_EQ(Wave.substr(36, 4), "data");
    EXPECT_EQ(Word(40, 4), Wave.size() - 44);
    EXPECT_GT(Wave.size(), 44u);
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
        TChildOptions{Folder.Path(), "", {}, 120});
    EXPECT_EQ(Result.ExitStatus, 0);
    EXPECT_EQ(LastLine(Result.Out), "program terminated");
}

} // namespace

// brimlet-sim as a user starts it: the built-in demo, interrupts, the audio capture, the timeline, and a window on a
// virtual X display driven by keys.

#include "runs/runs.h"
#include "sim/model/blitter_registers.h"
#include "sim/model/display.h"

#include <cctype>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

namespace {

// Line with each run of 8 or more upper-case hexadecimal digits, an address, as the pattern "<hex>".
std::string AddressesAsPatterns(const std::string& Line)
{
    std::string Patterned, Digits;
    for (const char Character : Line + '\n') {
        if (std::isdigit(static_cast<unsigned char>(Character)) || (Character >= 'A' && Character <= 'F')) {
            Digits += Character;
            continue;
        }
        Patterned += Digits.size() >= 8 ? "<hex>" : Digits;
        Patterned += Character;
        Digits.clear();
    }
    Patterned.pop_back();
    return Patterned;
}

// The lines of the first code block after the line Heading in the document Document (README.md or one of docs/),
// with each address (8 or more hexadecimal digits) a pattern.
TLines DocSample(const std::string& Document, const std::string& Heading)
{
    const std::string Text = ReadFile(BRIMLET_SOURCE_DIR "/" + Document);
    const std::size_t Start = Text.find("```\n", Text.find("\n" + Heading + "\n"));
    const std::size_t End = Text.find("\n```", Start);
    if (Start == std::string::npos || End == std::string::npos)
        return {"no sample after " + Heading};
    TLines Lines = SplitLines(Text.substr(Start + 4, End - Start - 3));
    for (std::string& Line : Lines)
        Line = AddressesAsPatterns(Line);
    return Lines;
}

// Without a display and without a script, the demo scrolls every way, switches V-Sync off and on, steps the volume
// down and up, and writes five snapshots on its way (the third torn, with V-Sync off). It prints what the README
// shows a headless run print.
TEST(Launcher, PlaysTheDemoWithoutADisplay)
{
    TSimRun Run;
    Run.Put("galaxy.bmp", Rgb565Bmp(1024, 768, PatternPixel));
    const TChildResult Result = Run.Run({"--fast"});
    EXPECT_EQ(Result.ExitStatus, 0);
    ExpectLines(DocSample("README.md", "A headless run prints:"), Result.Out);
    ExpectView(Run.File("demo-1.png"), 1024, 768, 352, 200, 128, true);
    ExpectView(Run.File("demo-2.png"), 1024, 768, 152, 310, 128, true);
    ExpectView(Run.File("demo-4.png"), 1024, 768, 704, 190, 78, true);
    ExpectView(Run.File("demo-5.png"), 1024, 768, 704, 190, 128, true);
}

// The tour of docs/scripts.md, run as it says, scrolls right and writes its two snapshots (the second with V-Sync
// off, so torn) on its way to ending by itself.
TEST(Launcher, PlaysTheDocumentedTour)
{
    TSimRun Run;
    Run.Put("galaxy.bmp", Rgb565Bmp(1024, 768, PatternPixel));
    std::string Tour;
    for (const std::string& Line : DocSample("docs/scripts.md", "## A tour"))
        Tour += Line + "\n";
    Run.Put("tour.txt", Tour);
    const TChildResult Result = Run.Run({"--fast", "--headless", "--script", "tour.txt"});
    EXPECT_EQ(Result.ExitStatus, 0);
    EXPECT_EQ(Result.Err, "brimlet-sim: wrote snapshot start.png\nbrimlet-sim: wrote snapshot after.png\n");
    ExpectView(Run.File("start.png"), 1024, 768, 352, 200, 128, true);
    EXPECT_EQ(ReadPng(Run.File("after.png")).size(), TFrame::size_type{ScreenWidth * ScreenHeight});
}

// Polls Condition for up to Seconds, which only keeps a broken run from hanging the test.
bool WaitFor(const std::function<bool()>& Condition, int Seconds = 10)
{
    for (int Tries = 0; Tries < Seconds * 50; ++Tries) {
        if (Condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// brimlet-sim started in Run's folder with no end but its exit button, standard output to out.txt and standard error
// to err.txt, is sent Signal once the file Watched holds Ready, after its file size limit is set to SizeLimit bytes
// when that is not 0. Returns the wait status; a run that outlives the signal by 10 s is killed.
int SignalledRun(const TSimRun& Run, int Signal, const std::string& Watched, const std::string& Ready,
                 rlim_t SizeLimit)
{
    const pid_t Pid = fork();
    if (Pid == 0) {
        if (chdir(Run.Folder().c_str()) == 0 && std::freopen("out.txt", "w", stdout) != nullptr
            && std::freopen("err.txt", "w", stderr) != nullptr) {
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            ExecProgram(Emulated({"./brimlet-sim", "--headless", "--frames", "1000000", "--trace", "trace.txt"}));
        }
        _exit(127);
    }
    const std::string File = Run.File(Watched);
    WaitFor([&] { return PathExists(File) && ReadFile(File).find(Ready) != std::string::npos; }, 20);
    const rlimit Limit{SizeLimit, SizeLimit};
    if (SizeLimit != 0)
        prlimit(Pid, RLIMIT_FSIZE, &Limit, nullptr);
    kill(Pid, Signal);
    int Status = 0;
    if (!WaitFor([&] { return waitpid(Pid, &Status, WNOHANG) != 0; }, 10)) {
        kill(Pid, SIGKILL);
        waitpid(Pid, &Status, 0);
    }
    return Status;
}

// An interrupt presses the exit button, so the run ends as ever; before the frame loop, it makes the step under way
// fail, even one blocked in opening a named pipe, and the program leaves by its failure path. A SIGKILL in the
// frame loop leaves a log of whole entries only, up to the last one before the loop. A file size limit that the
// trace has passed fails its next write, said, and the run goes on to its end with status 3, its log whole.
TEST(Launcher, InterruptsEndTheRunAndAKillLeavesWholeLogEntries)
{
    const TLines Log = FirstLog + SdlLog + MusicLog;
    const TLines NoImage = Log + TLines{"ERROR Couldn't open galaxy.bmp IN : LoadImage"} + LastLog;
    const struct {
        int Signal;
        const char* Pipe;  // a data file made a named pipe that nothing writes
        const char* Ready; // sent once the trace, or with a pipe standard output, holds this
        int Status;
        const char* Last;
        TLines Log;
        rlim_t SizeLimit = 0;
        std::string Err = "";
    } Cases[] = {
        {SIGINT, nullptr, "\nFLIP 30 ", 0, "program terminated", Log + LastLog},
        {SIGTERM, nullptr, "\nFLIP 30 ", 0, "program terminated", Log + LastLog},
        {SIGHUP, nullptr, "\nFLIP 30 ", 0, "program terminated", Log + LastLog},
        {SIGKILL, nullptr, "\nFLIP 30 ", SIGKILL, "", Log},
        {SIGINT, nullptr, "\nFLIP 30 ", 3 << 8, "program terminated", Log + LastLog, 4096,
         "brimlet-sim: the trace trace.txt could not be written completely: File too large\n"},
        {SIGTERM, "galaxy.bmp", "Loading image\n", 0, "Loading image failed", NoImage},
        {SIGHUP, "galaxy.bmp", "Loading image\n", 0, "Loading image failed", NoImage},
        {SIGINT, "music.ogg", "Loading music\n", 0, "Loading music failed",
         FirstLog + SdlLog + TLines{"ERROR Couldn't open 'music.ogg' IN : SDLMusic::LoadFromFile"} + LastLog},
    };
    for (const auto& Case : Cases) {
        TSimRun Run;
        if (Case.Pipe != nullptr) {
            std::remove(Run.File(Case.Pipe).c_str());
            ASSERT_EQ(mkfifo(Run.File(Case.Pipe).c_str(), 0600), 0);
        }
        EXPECT_EQ(SignalledRun(Run, Case.Signal, Case.Pipe == nullptr ? "trace.txt" : "out.txt", Case.Ready,
                               Case.SizeLimit),
                  Case.Status)
            << Case.Signal;
        EXPECT_EQ(ReadFile(Run.File("err.txt")), Case.Err) << Case.Signal;
        const TLines Out = SplitLines(ReadFile(Run.File("out.txt")));
        EXPECT_EQ(Out.empty() ? "-" : Out.back(), Case.Last) << Case.Signal;
        EXPECT_EQ(Run.Log(), Case.Log) << Case.Signal;
    }
}

// The entries of Run's folder: a file's content, a link's target after "-> ", a folder as "/".
std::map<std::string, std::string> FolderEntries(const TSimRun& Run)
{
    std::map<std::string, std::string> Entries;
    for (const auto& Entry : std::filesystem::directory_iterator(Run.Folder())) {
        const std::string Name = Entry.path().filename();
        Entries[Name] = Entry.is_symlink() ? "-> " + std::filesystem::read_symlink(Entry.path()).string()
            : Entry.is_directory()         ? "/"
                                           : ReadFile(Entry.path());
    }
    return Entries;
}

// An output that cannot be used is refused before the program starts, every file left as it was, whether checked
// before the one refused or not: one that does not open; one that is another output, a data file or the script, by
// its name or through a link; and one that another run holds (here this process).
TEST(Launcher, ARefusedOutputLeavesEveryFileAsItWas)
{
    const std::pair<TLines, std::string> Cases[] = {
        {{"--video", "no/such/folder/v.mkv", "--trace", "keep.trace", "--record", "keep.rec", "--audio-out", "keep.wav"},
         "cannot write the video no/such/folder/v.mkv: No such file or directory"},
        {{"--trace", "same.out", "--audio-out", "./same.out"}, "cannot write the audio capture ./same.out: it is the trace same.out"},
        {{"--trace", "link", "--record", "keep.rec"}, "cannot write the recording keep.rec: it is the trace link"},
        {{"--trace", "keep.trace", "--timeline", "keep.trace"}, "cannot write the timeline keep.trace: it is the trace keep.trace"},
        {{"--trace", "new.trace", "--audio-out", "galaxy.bmp"},
         "cannot write the audio capture galaxy.bmp: it is galaxy.bmp, which the program reads"},
        {{"--record", "hard.txt"}, "cannot write the recording hard.txt: it is music.ogg, which the program reads"},
        {{"--script", "s.txt", "--trace", "s.txt"}, "cannot write the trace s.txt: it is the script s.txt"},
        {{"--script", "s.txt", "--trace", "shot.png"}, "cannot write the snapshot shot.png: it is the trace shot.png"},
        {{"--trace", "folder"}, "cannot write the trace folder: Is a directory"},
        {{"--trace", "new.trace", "--audio-out", "held.wav"},
         "cannot write the audio capture held.wav: another run of brimlet-sim writes it"},
    };
    for (const auto& [Arguments, Err] : Cases) {
        TSimRun Run;
        for (const char* Name : {"keep.trace", "keep.rec", "keep.wav", "held.wav"})
            Run.Put(Name, "kept\n");
        Run.Put("s.txt", "1 snapshot shot.png\n");
        std::filesystem::create_symlink("keep.rec", Run.File("link"));
        std::filesystem::create_hard_link(Run.File("music.ogg"), Run.File("hard.txt"));
        std::filesystem::create_directory(Run.File("folder"));
        const int Held = open(Run.File("held.wav").c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(flock(Held, LOCK_EX), 0);
        const auto Before = FolderEntries(Run);
        const TChildResult Result = Run.Run(TLines{"--headless", "--fast", "--frames", "1"} + Arguments);
        close(Held);
        EXPECT_EQ(Result.ExitStatus, 2) << Err;
        EXPECT_EQ(Result.Err, "brimlet-sim: " + Err + "\n");
        EXPECT_TRUE(FolderEntries(Run) == Before) << Err;
    }
}

// A 16-bit stereo WAV file at the program's 22050 Hz, made in device time: 120 frames at 60 a second are 2 s of
// sound within one refresh, the same bytes in every fast run, with the music heard in them.
TEST(Launcher, AudioOutWritesWhatTheListenerHearsInDeviceTime)
{
    std::string Waves[2];
    for (std::string& Wave : Waves) {
        TSimRun Run;
        ASSERT_EQ(Run.Run({"--headless", "--fast", "--frames", "120", "--audio-out", "out.wav"}).ExitStatus, 0);
        Wave = ReadFile(Run.File("out.wav"));
    }
    ASSERT_GT(Waves[0].size(), 44u);
    EXPECT_TRUE(Waves[0] == Waves[1]) << "two fast runs heard differently";
    // PCM, 2 channels, 22050 frames and 88200 bytes a second, 4 bytes a frame, 16 bits a sample.
    EXPECT_EQ(Waves[0].substr(0, 4) + Waves[0].substr(8, 32),
              std::string("RIFFWAVEfmt \x10\0\0\0\x01\0\x02\0\x22\x56\0\0\x88\x58\x01\0\x04\0\x10\0data", 36));
    std::uint32_t DataBytes = 0;
    std::memcpy(&DataBytes, &Waves[0][40], 4);
    EXPECT_EQ(DataBytes, Waves[0].size() - 44);
    EXPECT_NEAR(DataBytes, 2 * 88200, 88200 / 60);
    EXPECT_NE(Waves[0].find_first_not_of('\0', 44), std::string::npos) << "only silence";

    // In modelled time device time is the host's: 60 frames take at least a second of it, and the capture holds no
    // more sound than the run's own time.
    TSimRun Modelled;
    const auto Start = std::chrono::steady_clock::now();
    ASSERT_EQ(Modelled.Run({"--headless", "--frames", "60", "--audio-out", "out.wav"}).ExitStatus, 0);
    const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    const std::size_t Bytes = ReadFile(Modelled.File("out.wav")).size() - 44;
    EXPECT_GE(Bytes, 88200 - 88200 / 60);
    EXPECT_LE(Bytes, Seconds * 88200);
}

// The timeline read back: every blit as long as its pixels take at the blitter's rate, flips that alternate between
// the two pages and are shown from the refresh after the one they were asked in, waits for vertical sync that end
// in a blanking interval, all in device time; an input's change and the mixer level it makes the program write.
TEST(Launcher, TimelineShowsTheDeviceInDeviceTime)
{
    TSimRun Run;
    Run.Put("s.txt", "2 tap b7\n30 hold b4\n");
    ASSERT_EQ(Run.Run({"--fast", "--headless", "--script", "s.txt", "--timeline", "t.json"}).ExitStatus, 0);
    const nlohmann::json Events = nlohmann::json::parse(ReadFile(Run.File("t.json")));
    const auto Nanoseconds = [](const nlohmann::json& Time) { return std::llround(Time.get<double>() * 1000); };
    std::map<std::string, int> Seen;
    std::vector<std::string> Pages;
    std::vector<std::string> Changes;
    for (const nlohmann::json& Event : Events) {
        const std::string Name = Event["name"];
        const std::string Kind = Name.substr(0, Name.find(' '));
        ++Seen[Kind];
        if (Kind == "blit") {
            const std::uint64_t Pixels = Event["args"]["width"].get<std::uint64_t>() * Event["args"]["height"].get<std::uint64_t>();
            EXPECT_EQ(Nanoseconds(Event["dur"]), BlitterBusyNanoseconds(Pixels)) << Event;
        } else if (Kind == "flip") {
            Pages.push_back(Event["args"]["page"]);
            EXPECT_EQ(Nanoseconds(Event["ts"]), RefreshStart(RefreshIndex(Nanoseconds(Event["args"]["asked at"])) + 1))
                << Event;
        } else if (Name == "wait for vertical sync") {
            const std::int64_t End = Nanoseconds(Event["ts"]) + Nanoseconds(Event["dur"]);
            const std::int64_t Next = RefreshStart(RefreshIndex(End) + 1);
            EXPECT_GE(End, Next - BlankingNanoseconds) << Event;
        } else if (Name == "input b7" || Name == "mixer level") {
            Changes.push_back(Name + " " + Event["args"].dump());
        }
    }
    EXPECT_EQ(Seen["frame"], 29);
    EXPECT_EQ(Seen["refresh"], Seen["blanking"]);
    EXPECT_GE(Seen["refresh"], 30);
    EXPECT_GE(Seen["wait"], 60);
    ASSERT_EQ(Pages.size(), 30u);
    EXPECT_NE(Pages[0], Pages[1]);
    for (std::size_t Index = 2; Index < Pages.size(); ++Index)
        EXPECT_EQ(Pages[Index], Pages[Index - 2]) << "flip " << Index + 1;
    EXPECT_EQ(Changes, (TLines{"mixer level {\"left\":255,\"right\":255}", "mixer level {\"left\":128,\"right\":128}",
                               "input b7 {\"held\":1}", "mixer level {\"left\":127,\"right\":127}",
                               "input b7 {\"held\":0}"}));
}

// A recording replayed headless holds the same inputs at the same flips: the same snapshots in fast time.
TEST(Launcher, RecordingReplaysTheSameFrames)
{
    TSimRun Run;
    Run.Put("s.txt", "0 hold b7\n2 tap right\n3 release b7\n9 snapshot a.png\n10 hold b4\n");
    ASSERT_EQ(Run.Run({"--fast", "--headless", "--script", "s.txt", "--record", "r.txt"}).ExitStatus, 0);
    const TLines Recorded = SplitLines(ReadFile(Run.File("r.txt")));
    EXPECT_EQ(TLines(Recorded.begin() + 1, Recorded.end()),
              (TLines{"# options: --fast --headless --script s.txt --record r.txt", "0 hold b7", "2 hold right",
                      "3 release b7", "3 release right", "10 hold b4"}));
    Run.Put("r.txt", ReadFile(Run.File("r.txt")) + "9 snapshot b.png\n");
    ASSERT_EQ(Run.Run({"--fast", "--headless", "--script", "r.txt"}).ExitStatus, 0);
    EXPECT_TRUE(ReadFile(Run.File("a.png")) == ReadFile(Run.File("b.png")));
}

// A display that does not open: a run without --window goes on headless, one with it or with SDL's X11 driver chosen
// is refused. A headless run that nothing ends but a signal is warned of, in words still true when the program ends
// by itself.
TEST(Launcher, ADisplayThatDoesNotOpenMeansNoWindow)
{
    TSimRun Run;
    const TLines NoDisplay{"SDL_VIDEODRIVER", "DISPLAY=:65000"};
    TChildResult Result = Run.Run({"--fast", "--frames", "2"}, {}, NoDisplay);
    EXPECT_EQ(Result.ExitStatus, 0);
    EXPECT_EQ(Result.Err, "brimlet-sim: cannot open the display :65000: running headless\n");
    Result = Run.Run({"--headless", "--script", "/dev/null", "--fault", "fb0-open"});
    EXPECT_EQ(Result.Err, "brimlet-sim: nothing holds button 4, neither the script nor --frames: once the program runs "
                          "its frame loop, only a signal (Ctrl-C) ends the run\n");
    EXPECT_EQ(Run.Run({"-h"}).Out.rfind("usage: brimlet-sim", 0), 0u);
    Result = Run.Run({"--window"}, {}, NoDisplay);
    EXPECT_EQ(Result.ExitStatus, 2);
    EXPECT_EQ(Result.Err, "brimlet-sim: --window needs a display: cannot open the display :65000\n");
    Result = Run.Run({"--fast", "--frames", "2"}, {}, {"SDL_VIDEODRIVER=x11", "DISPLAY=:65000"});
    EXPECT_EQ(Result.ExitStatus, 2);
    EXPECT_EQ(Result.Err, "brimlet-sim: SDL_VIDEODRIVER=x11 needs a display: cannot open the display :65000\n");
}

// The pixel at X, Y of an xwd grab of a 24-bit window (header and colours first, words big-endian), as 0xRRGGBB.
std::uint32_t GrabPixel(const std::string& Grab, std::size_t X, std::size_t Y)
{
    const auto Word = [&Grab](std::size_t At) {
        std::uint32_t Value = 0;
        for (std::size_t Byte = At; Byte < At + 4 && Byte < Grab.size(); ++Byte)
            Value = Value << 8 | static_cast<std::uint8_t>(Grab[Byte]);
        return Value;
    };
    const std::size_t At = Word(0) + Word(76) * 12 + Y * Word(48) + X * 4;
    return At + 4 <= Grab.size() ? Word(At) : 0xDEAD;
}

// On a virtual X display, at --scale 2: a 640 x 480 window whose picture stays twice the display, centred between
// black bars, when it grows; F11 fills the screen and Alt+Enter comes back; P pauses the device, its trace written
// up to the pause, and the period key steps exactly one flip; S writes the first free snapshot-N.png without the F1
// key map; the program reads B as button 2 and a held arrow as its contact, and the close box ends the run through
// the program's own shutdown. brimlet-sim is the server's first client, so that a connection it closes before SDL
// holds its own ends the server.
TEST(Launcher, WindowTakesKeysAndEndsAtTheCloseBox)
{
    if (RunProgram({"sh", "-c", "command -v Xvfb && command -v xdotool && command -v xwd"}).ExitStatus != 0)
        GTEST_SKIP() << "Xvfb, xdotool and xwd are needed to drive the window";
    TSimRun Run;
    Run.Put("galaxy.bmp", Rgb565Bmp(1024, 768, PatternPixel));
    // The server takes a free display number and names it once clients can reach it, so that nothing connects to
    // see whether it is up. It ends when its last client leaves (-terminate), where it would otherwise start afresh
    // and drop a connection being made; 90 s at most.
    RunProgram({"sh", "-c",
                "timeout -s KILL 90 Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x960x24 -terminate 3>display "
                "</dev/null >/dev/null 2>&1 &"},
               {Run.Folder(), "", {}, 30});
    std::string Display;
    ASSERT_TRUE(WaitFor([&] {
        Display = PathExists(Run.File("display")) ? ReadFile(Run.File("display")) : "";
        return !Display.empty() && Display.back() == '\n';
    }));
    const TLines X11{"DISPLAY=:" + Display.substr(0, Display.size() - 1), "XAUTHORITY"};
    // libX11 leaks strings of the input context that SDL's video start-up makes; under the leak checker that would
    // be the run's exit status.
    Run.Put("x11.supp", "leak:libX11.so\n");
    RunProgram({"sh", "-c",
                "(timeout -s KILL 60 ./brimlet-sim --window --scale 2 --trace trace.txt --record rec.txt >out.txt 2>err.txt; "
                "echo $? >status.new; "
                "mv status.new status) </dev/null >/dev/null 2>&1 &"},
               {Run.Folder(), "", X11 + TLines{"SDL_VIDEODRIVER", "SDL_AUDIODRIVER=dummy",
                                               "LSAN_OPTIONS=suppressions=x11.supp:print_suppressions=0"}, 30});
    const auto Holds = [&Run](const std::string& File, const std::string& Text) {
        return PathExists(Run.File(File)) && ReadFile(Run.File(File)).find(Text) != std::string::npos;
    };
    const auto Shows = [&](const std::string& File, const std::string& Text) {
        return WaitFor([&] { return Holds(File, Text); });
    };
    // The key map is printed once the window has opened; no other client connects before.
    ASSERT_TRUE(WaitFor([&] { return PathExists(Run.File("status")) || Holds("err.txt", "Keys:\n"); }, 30));
    ASSERT_FALSE(PathExists(Run.File("status"))) << ReadFile(Run.File("err.txt"));
    const auto Tool = [&X11](const TLines& Words) { return RunProgram(TLines{"xdotool"} + Words, {"", "", X11, 30}); };
    const TLines Found = SplitLines(Tool({"search", "--sync", "--name", "^brimlet-sim: "}).Out);
    ASSERT_EQ(Found.size(), 1u) << ReadFile(Run.File("err.txt"));
    const std::string Window = Found[0];
    const auto Sized = [&](const std::string& Size) {
        return WaitFor([&] { return Tool({"getwindowgeometry", Window}).Out.find("Geometry: " + Size) != std::string::npos; });
    };
    const auto Title = [&] { return Tool({"getwindowname", Window}).Out; };
    EXPECT_TRUE(Sized("640x480"));
    EXPECT_EQ(Title(), "brimlet-sim: running, x2 - F1: keys\n");

    Tool({"key", "--window", Window, "F1"});
    // A link planted under the first name is passed over, never written through.
    std::filesystem::create_symlink(Run.File("planted.png"), Run.File("snapshot-1.png"));
    Tool({"key", "--window", Window, "s"});
    ASSERT_TRUE(Shows("err.txt", "brimlet-sim: wrote snapshot snapshot-2.png\n"));
    ExpectView(Run.File("snapshot-2.png"), 1024, 768, 352, 200, 128, true);
    EXPECT_FALSE(PathExists(Run.File("planted.png")));
    // 1000 x 700 holds the picture twice over at (180, 110); its corners are never black, the bars always.
    Tool({"windowsize", Window, "1000", "700"});
    EXPECT_TRUE(WaitFor([&] {
        RunProgram({"sh", "-c", "xwd -silent -id " + Window + " >grab.xwd"}, {Run.Folder(), "", X11, 30});
        const std::string Grab = ReadFile(Run.File("grab.xwd"));
        return GrabPixel(Grab, 179, 300) == 0 && GrabPixel(Grab, 820, 300) == 0 && GrabPixel(Grab, 500, 109) == 0
            && GrabPixel(Grab, 500, 590) == 0 && GrabPixel(Grab, 180, 110) != 0 && GrabPixel(Grab, 819, 589) != 0;
    }));
    Tool({"key", "--window", Window, "F11"});
    EXPECT_TRUE(Sized("1280x960"));
    // SDL takes a release and a press of one key that arrive together with one time stamp, as xdotool's do, for a
    // key held down: the way back is the other key. Sent while SDL still settles into full screen, a focus change
    // may reset the modifiers between Alt and Enter, so the keys go again if the window has not come back.
    bool Back = false;
    for (int Try = 0; Try < 2 && !Back; ++Try) {
        Tool({"key", "--window", Window, "alt+Return"});
        Back = Sized("1000x700");
    }
    EXPECT_TRUE(Back);
    // Paused, the flip count in the title stands still; a step adds exactly one.
    Tool({"key", "--window", Window, "p"});
    ASSERT_TRUE(WaitFor([&] { return Title().find("paused at flip ") != std::string::npos; }));
    const std::string Paused = Title();
    const unsigned long Flip = std::stoul(Paused.substr(Paused.find("flip ") + 5));
    // The trace is on file up to the pause, which may end in a kill.
    EXPECT_TRUE(Shows("trace.txt", "\nFLIP " + std::to_string(Flip) + " "));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(Title(), Paused);
    Tool({"key", "--window", Window, "period"});
    EXPECT_TRUE(WaitFor([&] { return Title() != Paused; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(Title(), "brimlet-sim: paused at flip " + std::to_string(Flip + 1) + ", x2 - F1: keys\n");
    Tool({"key", "--window", Window, "p"});
    Tool({"key", "--window", Window, "b"});
    ASSERT_TRUE(Shows("trace.txt", "\nR16 C0001184 DFFF"));
    Tool({"keydown", "--window", Window, "Right"});
    ASSERT_TRUE(Shows("trace.txt", "\nR16 C0001198 FFBF"));
    Tool({"keyup", "--window", Window, "Right"});
    // Fast-forward while Tab is held, said in the title; an input of that time is recorded at its flip all the same.
    Tool({"keydown", "--window", Window, "Tab"});
    EXPECT_TRUE(WaitFor([&] { return Title() == "brimlet-sim: fast-forward, x2 - F1: keys\n"; }));
    Tool({"key", "--window", Window, "Left"});
    Tool({"keyup", "--window", Window, "Tab"});
    EXPECT_TRUE(WaitFor([&] { return Title() == "brimlet-sim: running, x2 - F1: keys\n"; }));
    // libX11 runs in a child, so that this process keeps none of its connection.
    const auto Close = [&] {
        return unsetenv("XAUTHORITY") || !RequestWindowClose(X11[0].substr(8), std::stoul(Window));
    };
    EXPECT_EQ(RunInChild(Close).ExitStatus, 0);
    ASSERT_TRUE(Shows("status", ""));
    EXPECT_EQ(ReadFile(Run.File("status")), "0\n") << ReadFile(Run.File("err.txt"));
    EXPECT_TRUE(Shows("out.txt", "\nprogram terminated\n"));
    // The recording, replayed headless in fast time, gives the program the same inputs at the same frames.
    ASSERT_EQ(Run.Run({"--fast", "--headless", "--script", "rec.txt", "--trace", "replay.txt"}).ExitStatus, 0);
    const auto Inputs = [&Run](const std::string& File) {
        std::string Seen;
        for (const std::string& Line : SplitLines(ReadFile(Run.File(File))))
            if (Line.rfind("FLIP ", 0) == 0 || (Line.rfind("R16 C00011", 0) == 0 && Line.rfind("R16 C0001182", 0) != 0))
                Seen += Line + "\n";
        return Seen;
    };
    EXPECT_EQ(Inputs("trace.txt"), Inputs("replay.txt"));
}

} // namespace

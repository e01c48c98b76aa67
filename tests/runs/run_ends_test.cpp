// Every way a run of the program ends: what it printed, what it logged, its exit status, the frames it showed and
// the descriptors it left open; then, run in this process, what its shutdown left of SDL, the music and /dev/mem.

#include "runs/runs.h"

#include "app/run_frame.h"
#include "app/test_program.h"
#include "device/register_window.h"
#include "log/logger.h"
#include "sim/control.h"
#include "sim/probes.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <filesystem>

namespace {

const TLines Banner{"test program brimlet started ....", "Memory handle is: <n>"};
const TLines Memory{"Memory at: <hex>", "memory filled", ""};
const TLines Music{"Loading music", "music loaded", ""};
const TLines Image{"Loading image",         "Image loaded",          "",
                   "Bytes per Pixel: 2",    "Width:           1024", "Height:          768",
                   "Pitch:           2048", "copying image",         "copy done"};
const TLines Fb0{"Initialize Video", "Open FB0 device"};
const TLines Fb0Shown{"ID:         sim-fb0", "SMem_Start: 03000000", "SMem_Len:   00040000", "Screen:     <hex>",
                      "Open FB2 device"};
const TLines Fb1Shown{"ID:         sim-fb1", "SMem_Start: 03040000", "SMem_Len:   00040000", "Screen:     <hex>"};
const TLines Started = Banner + Memory + Music + Image;
const TLines Loop{"", "Video done", ""};
const TLines Ended{"program terminated"};
const TLines Whole = Started + Fb0 + Fb0Shown + Fb1Shown + Loop + Ended;

const TLines WholeLog = FirstLog + SdlLog + MusicLog + LastLog;

TLines Report(const std::string& ClassAndMessage)
{
    return {"An unhandled exception occurred at $<hex> :", ClassAndMessage, "<lines>", ""};
}

struct TEnd {
    const char* Name;
    unsigned Frames;                    // --frames
    std::vector<std::string> Arguments; // after --fast --headless --trace trace.txt --frames N
    TLines Out;
    TLines Log; // empty: no log file at all
    int Status;
    unsigned LeftOpen;             // device files the trace shows opened and not closed: /dev/mem stays open to the end
    const char* Changed = nullptr; // a data file taken away, or made a folder
    bool Folder = false;
    std::string Shell = ""; // runs the executable ("$1") with the rest of the words
    std::string Err = "";   // a line of standard error
};

void PrintTo(const TEnd& End, std::ostream* Out)
{
    *Out << End.Name;
}

// A name too long for the log's: the executable's 252 characters and ".log".
const std::string LongName(252, 'b');
const TLines NoMusic = Banner + Memory + TLines{"Loading music", "Loading music failed"};
const TLines NoMusicLog = FirstLog + SdlLog + TLines{"ERROR <any> IN : SDLMusic::LoadFromFile"} + LastLog;
const TLines NoImage = Banner + Memory + Music + TLines{"Loading image", "Loading image failed"};
const TLines NoImageLog = FirstLog + SdlLog + MusicLog + TLines{"ERROR <any> IN : LoadImage"} + LastLog;

const TEnd Ends[] = {
    {"Ordinary", 2, {}, Whole, WholeLog, 0, 1},
    {"ExitHeldFromTheStart", 0, {}, Whole, WholeLog, 0, 1},
    {"FlagMask", 2, {"18"},
     Banner + TLines{"Requestet video flags: 00000012", "SDL_HWSURFACE = 1", "SDL_DOUBLEBUF = 1",
                     "used video flags: 40000001"} + Memory + Music + Image + Fb0 + Fb0Shown + Fb1Shown + Loop + Ended,
     WholeLog, 0, 1},
    {"UnconvertibleArgument", 2, {"--", "--frames"},
     Banner + Report("EConvertError : \"--frames\" is an invalid integer"), FirstLog + TLines{SdlLog[0]} + LastLog,
     217, 1},
    {"NoDevMem", 2, {"--fault", "mem-open"}, {Banner[0], "dev/mem not open", Ended[0]}, FirstLog + LastLog, 0, 0},
    {"NoRegisterBlock", 2, {"--fault", "mem-map-regs"}, {Banner[0], "memory not maped", Ended[0]},
     FirstLog + LastLog, 0, 0},
    {"NoBlitterWindow", 2, {"--fault", "mem-map-blitter"}, {Banner[0], "blitter memory not maped", Ended[0]},
     FirstLog + LastLog, 0, 0},
    {"NoMemoryWindow", 2, {"--fault", "mem-map-window"}, Banner + TLines{"Mapping the memory failed, error no:12"},
     FirstLog + SdlLog + LastLog, 0, 1},
    {"NoFirstFramebuffer", 2, {"--fault", "fb0-open"}, Started + Fb0 + TLines{"No access to FB0:2"} + Ended,
     WholeLog, 0, 1},
    {"NoSecondFramebuffer", 2, {"--fault", "fb1-open"},
     Started + Fb0 + Fb0Shown + TLines{"No access to FB1:2"} + Ended, WholeLog, 0, 1},
    {"NoScreenInfo", 2, {"--fault", "fb-info"}, Started + Fb0 + TLines{"No screen info for FB0:5"} + Ended,
     WholeLog, 0, 1},
    {"NoVideoMemory", 2, {"--fault", "fb-map"}, Started + Fb0 + TLines{"FB0 not mapped:12"} + Ended,
     WholeLog, 0, 1},
    {"NoMixer", 2, {"--fault", "mixer-open"}, Whole, WholeLog, 0, 1},
    {"NoVideoDevice", 2, {"--fault", "sdl-video"}, Banner + Report("Exception : InitSDL failed"),
     FirstLog + TLines{"ERROR No available video device IN : InitSDL"} + LastLog, 217, 1},
    {"NoAudioDevice", 2, {"--fault", "sdl-audio"}, Banner + Report("Exception : InitSDL:Audio failed"),
     FirstLog + TLines{"ERROR No available audio device IN : InitSDL"} + LastLog, 217, 1},
    {"NoMusic", 2, {}, NoMusic, NoMusicLog, 0, 1, "music.ogg"},
    {"MusicIsAFolder", 2, {}, NoMusic, NoMusicLog, 0, 1, "music.ogg", true},
    {"NoImage", 2, {}, NoImage, NoImageLog, 0, 1, "galaxy.bmp"},
    {"ImageIsAFolder", 2, {}, NoImage, NoImageLog, 0, 1, "galaxy.bmp", true},
    {"StandardOutputFull", 2, {}, {}, FirstLog + LastLog, 217, 0, nullptr, false, "exec \"$@\" >/dev/full"},
    {"StandardFilesClosed", 0, {"--record", "rec.txt"}, {}, WholeLog, 0, 1, nullptr, false,
     "exec \"$@\" <&- >&- 2>&-"},
    {"LogNotCreated", 2, {}, Report("EInOutError : File name too long"), {}, 1, 0, nullptr, false,
     "ln \"$1\" " + LongName + " && shift && exec ./" + LongName + " \"$@\""},
    // The launcher's own refusals, before the program or the trace starts.
    {"FramesGivenTwice", 2, {"--frames", "3"}, {}, {}, 2, 0},
    {"ScriptUnreadable", 2, {"--script", "missing.txt"}, {}, {}, 2, 0},
    {"ScriptWithoutEnd", 2, {"--script", "/dev/zero"}, {}, {}, 2, 0, nullptr, false, "",
     "brimlet-sim: the script /dev/zero holds more than 4 MiB, the most a script may hold"},
    {"RamRefused", 2, {}, {}, {}, 3, 0, nullptr, false, "ulimit -f 1000 && exec \"$@\"",
     "brimlet-sim: cannot reserve the simulated RAM: File too large"},
    // The launcher's own files that cannot be written: the run goes on to its end, then says so in its status.
    {"TraceUnwritable", 2, {}, Whole, WholeLog, 3, 0, nullptr, false, "ln -s /dev/full trace.txt && exec \"$@\"",
     "brimlet-sim: the trace trace.txt could not be written completely: No space left on device"},
    {"SnapshotUnwritable", 2, {"--script", "s.txt"}, Whole, WholeLog, 3, 1, nullptr, false,
     "echo '1 snapshot none/s.png' >s.txt && exec \"$@\"", "brimlet-sim: snapshot none/s.png not written: <any>"},
    {"RecordingUnwritable", 2, {"--record", "/dev/full"}, Whole, WholeLog, 3, 1, nullptr, false, "",
     "brimlet-sim: cannot write the recording /dev/full: <any>"},
    {"AudioOutUnwritable", 2, {"--audio-out", "/dev/full"}, Whole, WholeLog, 3, 1, nullptr, false, "",
     "brimlet-sim: the audio capture /dev/full could not be written completely: No space left on device"},
    {"TimelineUnwritable", 2, {"--timeline", "/dev/full"}, Whole, WholeLog, 3, 1, nullptr, false, "",
     "brimlet-sim: the timeline /dev/full could not be written completely: No space left on device"},
    {"SnapshotAfterTheEnd", 2, {"--script", "s.txt"}, Whole, WholeLog, 3, 1, nullptr, false,
     "echo '3 snapshot late.png' >s.txt && exec \"$@\"",
     "brimlet-sim: snapshot late.png not written: the run ended at flip 2, before flip 3"},
    {"SnapshotHeldByAnotherRun", 2, {"--script", "s.txt"}, Whole, WholeLog, 3, 1, nullptr, false,
     "echo '1 snapshot s.png' >s.txt && touch s.png && exec flock s.png \"$@\"",
     "brimlet-sim: snapshot s.png not written: cannot write s.png: another run of brimlet-sim writes it"},
    {"ProgramStatusFirst", 2, {"--record", "/dev/full", "--", "--frames"},
     Banner + Report("EConvertError : \"--frames\" is an invalid integer"), FirstLog + TLines{SdlLog[0]} + LastLog,
     217, 1},
};

class RunEnd : public testing::TestWithParam<TEnd> {};

TEST_P(RunEnd, PrintsLogsShowsAndReleasesAsItShould)
{
    const TEnd& Case = GetParam();
    TSimRun Run;
    if (Case.Changed != nullptr) {
        std::filesystem::remove(Run.File(Case.Changed));
        if (Case.Folder)
            std::filesystem::create_directory(Run.File(Case.Changed));
    }
    const TChildResult Result =
        Run.Run(TLines{"--fast", "--headless", "--trace", "trace.txt", "--frames", std::to_string(Case.Frames)}
                    + Case.Arguments,
                Case.Shell.empty() ? TLines{} : TLines{"sh", "-c", Case.Shell, "sh"});
    EXPECT_EQ(Result.ExitStatus, Case.Status) << Result.Err;
    const TLines Err = SplitLines(Result.Err);
    const auto Said = [&Case](const std::string& Line) { return LineMatches(Line, Case.Err); };
    EXPECT_TRUE(Case.Err.empty() || std::any_of(Err.begin(), Err.end(), Said)) << Result.Err;
    ExpectLines(Case.Out, Result.Out);
    EXPECT_EQ(PathExists(Run.File("brimlet-sim.log")), !Case.Log.empty());
    std::string Log;
    for (const std::string& Entry : Case.Log.empty() ? TLines{} : Run.Log())
        Log += Entry + "\n";
    ExpectLines(Case.Log, Log);
    // The trace starts with the program, which a log or its failure (status 1) tells.
    ASSERT_EQ(PathExists(Run.File("trace.txt")), !Case.Log.empty() || Case.Status == 1);
    if (Case.Status != 2 && Case.Status != 3) {
        const bool Looped = std::find(Case.Out.begin(), Case.Out.end(), "Video done") != Case.Out.end();
        EXPECT_EQ(Run.Trace("FLIP").size(), Looped ? Case.Frames : 0u);
        EXPECT_EQ(Run.Trace("OPEN").size() - Run.Trace("CLOSE").size(), Case.LeftOpen);
        // The program's lines never reach the trace or the recording, whatever descriptors it was started with.
        for (const char* Output : {"trace.txt", "rec.txt"})
            EXPECT_TRUE(!PathExists(Run.File(Output)) || ReadFile(Run.File(Output)).find(Banner[0]) == std::string::npos)
                << Output;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWay, RunEnd, testing::ValuesIn(Ends),
                         [](const testing::TestParamInfo<TEnd>& Info) { return Info.param.Name; });

// The program run in a child of this process with the exit button held, so that what its shutdown left behind can
// be looked at: whether SDL still runs and the music still plays, and how many more releases of the register window
// close /dev/mem. The two references that GetMemoryHandle takes are never given back; InitSDL failing after
// SDL_Init leaves SDL running, since the shutdown quits it only when there is a screen.
TEST(Shutdown, ReleasesWhatTheStartUpTookOnEveryPath)
{
    const std::pair<const char*, const char*> Paths[] = {
        {"", "SDL 0, music 0, releases 2"},         {"mem-open", "SDL 0, music 0, releases 0"},
        {"mem-map-window", "SDL 0, music 0, releases 2"}, {"sdl-audio", "SDL 1, music 0, releases 1"},
        {"fb1-open", "SDL 0, music 0, releases 2"},
    };
    for (const auto& [Fault, Left] : Paths) {
        TSimRun Run;
        const TChildResult Result = RunInChild(
            [&Run, Fault = Fault] {
                SimReset();
                SimSetFastMode(true);
                SimInjectFault(Fault);
                SimSetInput(TSimInput::B4, true);
                SetLoggerExecutablePath([&Run] { return Run.File("brimlet"); });
                char* Arguments[] = {const_cast<char*>("brimlet"), nullptr};
                RunApplication(1, Arguments, TestProgram);
                int Releases = 0;
                for (; SimOpenDeviceFiles() > 0 && Releases < 5; ++Releases)
                    CloseMemory();
                std::fprintf(stderr, "SDL %d, music %d, releases %d", SDL_WasInit(SDL_INIT_EVERYTHING) != 0,
                             Mix_PlayingMusic(), Releases);
                return 0;
            },
            {Run.Folder(), "", {}, 60});
        EXPECT_EQ(Result.Err, Left) << Fault << "\n" << Result.Out;
    }
}

} // namespace

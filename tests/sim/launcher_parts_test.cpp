// The launcher's parts in-process: its command line, the script parser, the script player, the recorder, the
// keyboard, the window's scale and the installed brimlet-sim's log folder.

#include "platform/platform.h"
#include "sim/launcher/installed_folders.h"
#include "sim/launcher/keyboard.h"
#include "sim/launcher/launcher.h"
#include "sim/launcher/options.h"
#include "sim/launcher/recorder.h"
#include "sim/launcher/script_file.h"
#include "sim/launcher/script_player.h"
#include "sim/launcher/window.h"
#include "sim/probes.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>

namespace {

// The inputs in the order of TSimInput, by their script names.
const char* const InputNames[] = {"b1",  "b2", "b3",     "b4",   "b5",       "b6",   "b7",        "b8",    "b9",
                                  "b10", "up", "upleft", "left", "downleft", "down", "downright", "right", "upright"};

std::string HeldInputs()
{
    std::string Held;
    for (int Input = 0; Input < 18; ++Input)
        Held += SimInputHeld(TSimInput(Input)) ? (Held.empty() ? "" : " ") + std::string(InputNames[Input]) : "";
    return Held;
}

// A command line as "SCRIPT,FRAMES,MODES,TRACE,CAPTURE,FAULTS [record FILE] [scale N] |" and the program's own words,
// or why it is unusable.
std::string Parsed(std::vector<const char*> Words)
{
    Words.insert(Words.begin(), "brimlet-sim");
    TLauncherOptions O;
    std::string Error;
    const auto Outcome = ParseLauncherOptions(int(Words.size()), const_cast<char**>(Words.data()), O, Error);
    if (Outcome != TOptionsOutcome::Run)
        return std::vector<std::string>{"", "help", "version", "fault help", "unusable: "}[int(Outcome)] + Error;
    std::string Text = O.ScriptFile + "," + (O.HasFrames ? std::to_string(O.Frames) : "") + ","
        + (O.Headless ? "h" : "") + (O.Window ? "w" : "") + (O.Fast ? "f" : "") + "," + O.TraceFile + ","
        + O.AudioOutFile + ",";
    for (const std::string& Fault : O.Faults)
        Text += Fault + " ";
    Text += (O.RecordFile.empty() ? "" : "record " + O.RecordFile + " ")
        + (O.Scale != 0 ? "scale " + std::to_string(O.Scale) + " " : "") + "|";
    for (const std::string& Argument : O.ProgramArguments)
        Text += " " + Argument;
    return Text;
}

TEST(LauncherOptions, ParsesUsableCommandLinesAndSaysWhatIsWrongWithOthers)
{
    const std::pair<std::vector<const char*>, std::string> Cases[] = {
        {{}, ",,,,,|"},
        {{"--headless", "--fast", "--frames", "0", "--", "--fast", "-1"}, ",0,hf,,,| --fast -1"},
        {{"--script", "s", "--trace", "t", "--audio-out", "a", "--fault", "mem-open", "--fault", "fb-map", "0x12"},
         "s,,,t,a,mem-open fb-map | 0x12"},
        {{"--window", "--frames", "4294967295", "12", "--fast"}, ",4294967295,w,,,| 12 --fast"},
        {{"-1", "--headless"}, ",,,,,| -1 --headless"},
        {{"--fast", "--help", "--bogus"}, "help"},
        {{"--fault", "help"}, "fault help"},
        {{"-h", "--bogus"}, "help"},
        {{"--fast", "-V"}, "version"},
        {{"--script=s", "--frames=5", "--trace=t", "--audio-out=a=b", "--fault=mem-open", "--record=r", "--scale=8",
          "-1"},
         "s,5,,t,a=b,mem-open record r scale 8 | -1"},
        {{"--record", "r", "--scale", "1", "-$12", "-x"}, ",,,,,record r scale 1 | -$12 -x"},
        {{"--fast", "-x", "1"}, "unusable: unknown option -x (--help lists the options)"},
        {{"--fast=1"}, "unusable: --fast takes no value"},
        {{"--scale", "9"}, "unusable: --scale needs a whole number from 1 to 8, not \"9\""},
        {{"--scale=0"}, "unusable: --scale needs a whole number from 1 to 8, not \"0\""},
        {{"--record="}, "unusable: --record needs a file name"},
        {{"--bogus"}, "unusable: unknown option --bogus (--help lists the options)"},
        {{"--headless", "--frames"}, "unusable: --frames needs a value"},
        {{"--frames", "-1"}, "unusable: --frames needs a number of frames from 0 to 4294967295, not \"-1\""},
        {{"--frames", "1", "--frames", "2"}, "unusable: --frames given twice"},
        {{"--trace", ""}, "unusable: --trace needs a file name"},
        {{"--fault", "no-such-fault"}, "unusable: unknown fault \"no-such-fault\" (--fault help lists them)"},
        {{"--headless", "--window"}, "unusable: --headless and --window exclude each other"}};
    for (const auto& [Words, Expected] : Cases)
        EXPECT_EQ(Parsed(Words), Expected);
}

// --help and --version name the launcher as its run names it, the device library as well as brimlet-sim; --help lists
// the video recording's options only in a build that records video.
TEST(LauncherOptions, HelpAndVersionNameTheLauncherAndTheOptionsOfItsBuild)
{
    NameLauncher({"scripts/device-run", "brimlet-device", "the device executable"});
    const std::string Usage = LauncherUsage(), Version = LauncherVersion();
    NameLauncher(BrimletSimName);
    EXPECT_EQ(Usage.substr(0, Usage.find('\n', 50)),
              "usage: scripts/device-run [OPTIONS] [--] [FLAGS]\nRuns the device executable on the simulated device.");
    EXPECT_EQ(Version, "brimlet-device " + LauncherVersion().substr(std::strlen("brimlet-sim ")));
    EXPECT_EQ(LauncherUsage().rfind("usage: brimlet-sim [OPTIONS] [--] [FLAGS]\nRuns the test program on", 0), 0u);
    for (const char* Option : {"\n  --video FILE ", "\n  --video-scale N ", " or the video could not"})
        EXPECT_EQ(Usage.find(Option) != std::string::npos, BRIMLET_VIDEO_BUILT != 0) << Option;
}

// The commands of Text as "LINE: FRAME ACTION ARGUMENT; ...", or its error as "error at LINE: REASON".
std::string ParsedScript(const std::string& Text)
{
    const char* const Actions[] = {"hold", "release", "tap", "snapshot"};
    std::vector<TScriptCommand> Commands;
    TScriptError Error{0, ""};
    if (!ParseScript(Text, Commands, Error))
        return "error at " + std::to_string(Error.Line) + ": " + Error.Reason;
    std::string Shown;
    for (const TScriptCommand& C : Commands)
        Shown += std::to_string(C.Line) + ": " + std::to_string(C.Frame) + " " + Actions[int(C.Action)] + " "
            + (C.Action == TScriptAction::Snapshot ? C.File : InputNames[int(C.Input)]) + "; ";
    return Shown;
}

TEST(ScriptParser, ReadsCommandsOrReportsTheFirstErrorWithItsLine)
{
    const std::pair<std::string, std::string> Cases[] = {
        {"0 hold b4\n12 release up\n7 tap downleft\n4294967295 snapshot shot.png\n",
         "1: 0 hold b4; 2: 12 release up; 3: 7 tap downleft; 4: 4294967295 snapshot shot.png; "},
        {"# a comment\n\n \t \n  020\thold   b10   # from frame 20\n5 tap b1#comment\r\n6 snapshot UP.PNG",
         "4: 20 hold b10; 5: 5 tap b1; 6: 6 snapshot UP.PNG; "},
        {"1 hold b1\n2 jump b1\n", "error at 2: unknown command \"jump\" (hold, release, tap or snapshot)"},
        {"\n\n3 hold b11\n",
         "error at 3: unknown input \"b11\" (b1 to b10, up, down, left, right, upleft, upright, "
         "downleft, downright)"},
        {"4294967296 hold b1\n", "error at 1: bad frame \"4294967296\" (a number of flips from 0 to 4294967295)"},
        {"# ok\n5 # hold b1\n", "error at 2: missing command after the frame"},
        {"5 tap\n", "error at 1: missing argument: tap needs an input"},
        {"5 hold b1 b2\n", "error at 1: extra argument \"b2\""},
        {"0 snapshot first.png\n", "error at 1: snapshot at frame 0: nothing is shown before the first flip"},
        {"1 snapshot .png\n", "error at 1: snapshot file \".png\" does not end in .png"},
        // What is echoed is quoted: a byte that is not printable ASCII as \xNN, at most 80 bytes of a word.
        {std::string("1 ju\0mp\x1B\xC3\xA9 b1\n", 14),
         "error at 1: unknown command \"ju\\x00mp\\x1B\\xC3\\xA9\" (hold, release, tap or snapshot)"},
        {"1 hold b1 " + std::string(81, 'x'), "error at 1: extra argument \"" + std::string(80, 'x') + "...\""}};
    for (const auto& [Text, Expected] : Cases)
        EXPECT_EQ(ParsedScript(Text), Expected) << Text;
    for (const std::string Name : InputNames)
        EXPECT_EQ(ParsedScript("1 hold " + Name), "1: 1 hold " + Name + "; ");
}

// Inputs are held and released from their frame, a tap lasts exactly one frame and its release comes before the
// commands of the frame after it, but a tap of a held input leaves it held; missed flips are caught up in order. A snapshot waits for the next whole refresh.
// A script is read up to its limit: one byte more is refused, unread beyond it.
TEST(ScriptFile, IsReadUpToItsLimit)
{
    const TTempDir Dir;
    for (const std::size_t Size : {ScriptLimitBytes, ScriptLimitBytes + 1}) {
        ASSERT_TRUE(WriteFile(Dir.File("s.txt"), std::string(Size, '\n')));
        std::string Text, Error;
        EXPECT_EQ(ReadScriptFile(Dir.File("s.txt"), Text, Error), Size == ScriptLimitBytes);
        EXPECT_EQ(Error, Size == ScriptLimitBytes ? "" : "the script " + Dir.File("s.txt")
                                                            + " holds more than 4 MiB, the most a script may hold");
    }
}

TEST(ScriptPlayer, PlaysEachCommandAtItsFlip)
{
    TTempDir Folder;
    std::vector<TScriptCommand> Commands;
    TScriptError Error{0, ""};
    ASSERT_TRUE(ParseScript("0 hold b1\n3 release b1\n2 tap up\n3 hold b2\n2 tap b2\n5 tap b8\n6 hold b8\n8 hold b3\n"
                            "10 tap b3\n15 release b3\n2 snapshot "
                                + Folder.File("two.png"),
                            Commands, Error));
    SimReset();
    StartScript(Commands);
    const std::pair<std::uint32_t, const char*> Steps[] = {{0, "b1"}, {1, "b1"}, {2, "b1 b2 up"},
                                                           {3, "b2"}, {4, "b2"}, {7, "b2 b8"},
                                                           {11, "b2 b3 b8"}, {15, "b2 b8"}};
    for (const auto& [Flip, Held] : Steps) {
        PlayScriptTo(Flip);
        EXPECT_EQ(HeldInputs(), Held) << "after flip " << Flip;
        EXPECT_EQ(PathExists(Folder.File("two.png")), false) << "after flip " << Flip;
    }
    SimFinishSnapshots();
    EXPECT_TRUE(PathExists(Folder.File("two.png")));
}

// Each change of the panel stands at the flip it was recorded at, after a header that no word can break.
TEST(Recorder, WritesEachChangeOfThePanelAtItsFlip)
{
    TTempDir Folder;
    SimReset();
    SimSetInput(TSimInput::B1, true);
    StartRecording(Folder.File("r.txt"), open(Folder.File("r.txt").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666),
                   {"--fast", "a\n1 hold b4"}, {"18"});
    RecordAt(0);
    SimSetInput(TSimInput::Up, true);
    RecordAt(3);
    SimSetInput(TSimInput::B1, false);
    SimSetInput(TSimInput::B10, true);
    SimSetInput(TSimInput::Up, false);
    SimSetInput(TSimInput::Up, true);
    RecordAt(5);
    StopRecording();
    const TLines Lines = SplitLines(ReadFile(Folder.File("r.txt")));
    EXPECT_EQ(TLines(Lines.begin() + 1, Lines.end()),
              (TLines{"# options: --fast a?1 hold b4", "# program flags: 18", "0 hold b1", "3 hold up", "5 release b1",
                      "5 hold b10"}));
}

// The arrows drive one contact of the ring: two together give the diagonal between them, opposite ones cancel. Each
// other key of the key map holds its input while it is down; S and F12 ask for a snapshot.
TEST(Keyboard, HoldsTheInputsOfTheKeyMap)
{
    SimReset();
    StartKeyboard();
    const std::tuple<SDLKey, bool, const char*> Steps[] = {
        {SDLK_UP, true, "up"},         {SDLK_LEFT, true, "upleft"},   {SDLK_UP, false, "left"},
        {SDLK_DOWN, true, "downleft"}, {SDLK_RIGHT, true, "down"},    {SDLK_LEFT, false, "downright"},
        {SDLK_UP, true, "right"},      {SDLK_DOWN, false, "upright"}, {SDLK_RIGHT, false, "up"}};
    for (const auto& [Key, Down, Held] : Steps) {
        KeyChanged(Key, Down);
        EXPECT_EQ(HeldInputs(), Held) << SDL_GetKeyName(Key) << (Down ? " down" : " up");
    }
    const std::pair<SDLKey, const char*> Keys[] = {
        {SDLK_KP8, "up"},    {SDLK_KP9, "upright"}, {SDLK_KP6, "right"}, {SDLK_KP3, "downright"}, {SDLK_KP2, "down"},
        {SDLK_KP1, "downleft"}, {SDLK_KP4, "left"}, {SDLK_KP7, "upleft"}, {SDLK_1, "b1"}, {SDLK_2, "b2"},
        {SDLK_3, "b3"},      {SDLK_4, "b4"},        {SDLK_5, "b5"},      {SDLK_6, "b6"},         {SDLK_7, "b7"},
        {SDLK_8, "b8"},      {SDLK_9, "b9"},        {SDLK_0, "b10"},     {SDLK_v, "b1"},         {SDLK_b, "b2"},
        {SDLK_MINUS, "b7"},  {SDLK_KP_MINUS, "b7"}, {SDLK_PLUS, "b8"},   {SDLK_EQUALS, "b8"},    {SDLK_KP_PLUS, "b8"},
        {SDLK_ESCAPE, "b4"}, {SDLK_s, ""},          {SDLK_F12, ""},      {SDLK_p, ""}};
    KeyChanged(SDLK_UP, false);
    for (const auto& [Key, Held] : Keys) {
        EXPECT_EQ(KeyChanged(Key, true), Key == SDLK_s || Key == SDLK_F12) << "key " << Key;
        EXPECT_EQ(HeldInputs(), Held) << "key " << Key;
        EXPECT_FALSE(KeyChanged(Key, false));
        EXPECT_EQ(HeldInputs(), "") << "key " << Key;
    }
}

// Unless --scale asks, the window takes the largest scale that fits three quarters of the screen, from 2 to 8.
TEST(Window, ScaleFitsThreeQuartersOfTheScreen)
{
    const struct {
        int Asked, Width, Height, Scale;
    } Cases[] = {{0, 1280, 1024, 3}, {0, 1920, 1080, 3}, {0, 1280, 2048, 3}, {0, 640, 480, 2},
                 {0, 0, 0, 2},       {0, 7680, 4320, 8}, {5, 640, 480, 5},   {1, 1280, 1024, 1}};
    for (const auto& Case : Cases)
        EXPECT_EQ(WindowScale(Case.Asked, Case.Width, Case.Height), Case.Scale) << Case.Width << "x" << Case.Height;
}

int StrayWrites = 0;

// A program that writes StrayWrites times to an offset the register map does not define.
int StrayProgram(int, char**)
{
    const int Memory = PlatformOpen("/dev/mem", O_RDWR);
    void* Registers = PlatformMap(nullptr, 0x10000, PROT_READ | PROT_WRITE, MAP_SHARED, Memory, 0xC0000000);
    for (int Write = 1; Write <= StrayWrites; ++Write)
        PlatformStore16(static_cast<volatile std::uint16_t*>(Registers) + 0x80, static_cast<std::uint16_t>(Write));
    return 0;
}

// At the end of a run, the launcher counts the program's stray accesses, one as one; with --strict the first ends
// the run, named, and the trace is whole up to it.
TEST(Launcher, CountsStrayAccessesOrEndsAtTheFirstWhenStrict)
{
    const struct {
        int Writes;
        bool Strict;
        int Status;
        std::string Err, LastStray;
    } Cases[] = {
        {0, false, 0, "", ""},
        {1, false, 0, "brimlet-sim: 1 stray access to the device's registers (--trace shows them)\n",
         "UNDEFINED W16 C0000100 0001\n"},
        {3, false, 0, "brimlet-sim: 3 stray accesses to the device's registers (--trace shows them)\n",
         "UNDEFINED W16 C0000100 0003\n"},
        {2, true, 4, "brimlet-sim: stray access UNDEFINED W16 C0000100 0001: the run ends here (--strict)\n",
         "UNDEFINED W16 C0000100 0001\n"},
    };
    for (const auto& Case : Cases) {
        TTempDir Folder;
        const std::string Trace = Folder.File("trace.txt");
        const TChildResult Result = RunInChild([&Case, &Trace] {
            StrayWrites = Case.Writes;
            std::vector<const char*> Words{"brimlet-sim", "--headless", "--fast", "--frames", "0", "--trace",
                                           Trace.c_str()};
            if (Case.Strict)
                Words.push_back("--strict");
            return RunLauncher(static_cast<int>(Words.size()), const_cast<char**>(Words.data()), StrayProgram,
                               BrimletSimName);
        });
        EXPECT_EQ(Result.ExitStatus, Case.Status) << Case.Writes;
        EXPECT_EQ(Result.Err, Case.Err) << Case.Writes;
        // The stray access is the trace's last line.
        const std::string Traced = ReadFile(Trace);
        const std::size_t Last = Traced.rfind("UNDEFINED");
        EXPECT_EQ(Last == std::string::npos ? "" : Traced.substr(Last), Case.LastStray) << Case.Writes;
    }
}

} // namespace

// The program's log stays beside the executable where it can, and never in the system's folders nor relative to the
// working folder.
TEST(InstalledFolders, LogGoesBesideTheExecutableOrIntoThePerUserFolder)
{
    struct TCase {
        const char* Folder;
        bool Writable, Installed;
        const char* StateHome; // XDG_STATE_HOME
        const char* Home;
        const char* Expected;
    };
    const TCase Cases[] = {
        {"/home/u/brimlet/build", true, false, "/home/u/.st", "/home/u", "/home/u/brimlet/build"},
        {"/usr/src/brimlet/build", true, false, nullptr, "/root", "/usr/src/brimlet/build"},
        {"/usr2/bin", true, true, nullptr, "/home/u", "/usr2/bin"},
        {"/opt/brimlet/bin", false, true, nullptr, "/home/u", "/home/u/.local/state/brimlet-sim"},
        {"/opt/brimlet/bin", false, true, "/run/st", "/home/u", "/run/st/brimlet-sim"},
        {"/home/u/brimlet/build", false, false, "/run/st", "/home/u", "/run/st/brimlet-sim"},
        {"/usr/bin", true, true, "", "/root", "/root/.local/state/brimlet-sim"},
        {"/usr/local/bin", true, true, "st", "/home/u", "/home/u/.local/state/brimlet-sim"},
        {"/opt/brimlet/bin", false, true, "st", nullptr, "/opt/brimlet/bin"},
    };
    for (const TCase& Case : Cases)
        EXPECT_EQ(LogFolder(Case.Folder, Case.Writable, Case.Installed, Case.StateHome, Case.Home), Case.Expected)
            << Case.Folder;
}

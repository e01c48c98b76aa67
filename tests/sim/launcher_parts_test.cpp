// The launcher's parts in-process: its command line, the script parser, the script player, the recorder, the
// key map, the keyboard and the gamepad, the window's scale, mode and pixels, and the installed brimlet-sim's log
// folder.

#include "platform/platform.h"
#include "sim/launcher/installed_folders.h"
#include "sim/launcher/keyboard.h"
#include "sim/launcher/launcher.h"
#include "sim/launcher/options.h"
#include "sim/launcher/recorder.h"
#include "sim/launcher/scaler.h"
#include "sim/launcher/script_file.h"
#include "sim/launcher/script_player.h"
#include "sim/launcher/window.h"
#include "runtime/hex.h"
#include "sim/launcher/messages.h"
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
        + (O.KeysFile.empty() ? "" : "keys " + O.KeysFile + " ") + (O.NoGamepad ? "no gamepad " : "")
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
        {{"--keys", "k", "--no-gamepad", "--window"}, ",,w,,,keys k no gamepad |"},
        {{"--keys=k", "--keys=l"}, "unusable: --keys given twice"},
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

// What the keyboard and the gamepad hold now: the inputs, and fast-forward.
std::string Holding()
{
    return HeldInputs() + (SimFastForwarding() ? "fast-forward" : "");
}

// The arrows drive one contact of the ring: two together give the diagonal between them, opposite ones cancel. Each
// other key of the key map holds its input while it is down, or is one of the window's actions (named here); Tab
// holds fast-forward on. A key map file changes the keys it names and leaves the others as they were.
TEST(Keyboard, HoldsTheInputsOfTheKeyMap)
{
    SimReset();
    UseKeyMap({}, "");
    StartKeyboard();
    const std::tuple<SDLKey, bool, const char*> Steps[] = {
        {SDLK_UP, true, "up"},         {SDLK_LEFT, true, "upleft"},   {SDLK_UP, false, "left"},
        {SDLK_DOWN, true, "downleft"}, {SDLK_RIGHT, true, "down"},    {SDLK_LEFT, false, "downright"},
        {SDLK_UP, true, "right"},      {SDLK_DOWN, false, "upright"}, {SDLK_RIGHT, false, "up"}};
    for (const auto& [Key, Down, Held] : Steps) {
        KeyChanged(Key, Down);
        EXPECT_EQ(HeldInputs(), Held) << SDL_GetKeyName(Key) << (Down ? " down" : " up");
    }
    const char* const Actions[] = {"", "", "pause", "step", "snapshot", "full screen", "help", ""};
    const std::pair<SDLKey, const char*> Keys[] = {
        {SDLK_KP8, "up"},    {SDLK_KP9, "upright"}, {SDLK_KP6, "right"}, {SDLK_KP3, "downright"}, {SDLK_KP2, "down"},
        {SDLK_KP1, "downleft"}, {SDLK_KP4, "left"}, {SDLK_KP7, "upleft"}, {SDLK_1, "b1"}, {SDLK_2, "b2"},
        {SDLK_3, "b3"},      {SDLK_4, "b4"},        {SDLK_5, "b5"},      {SDLK_6, "b6"},         {SDLK_7, "b7"},
        {SDLK_8, "b8"},      {SDLK_9, "b9"},        {SDLK_0, "b10"},     {SDLK_v, "b1"},         {SDLK_b, "b2"},
        {SDLK_MINUS, "b7"},  {SDLK_KP_MINUS, "b7"}, {SDLK_PLUS, "b8"},   {SDLK_EQUALS, "b8"},    {SDLK_KP_PLUS, "b8"},
        {SDLK_ESCAPE, "b4"}, {SDLK_s, "snapshot"},  {SDLK_F12, "snapshot"}, {SDLK_F1, "help"}, {SDLK_F11, "full screen"},
        {SDLK_p, "pause"},   {SDLK_PERIOD, "step"}, {SDLK_TAB, "fast-forward"}, {SDLK_x, ""}};
    KeyChanged(SDLK_UP, false);
    for (const auto& [Key, Held] : Keys) {
        const std::string Action = Actions[int(KeyChanged(Key, true))];
        EXPECT_EQ(Action + Holding(), Held) << "key " << Key;
        KeyChanged(Key, false);
        EXPECT_EQ(Holding(), "") << "key " << Key;
    }
    std::vector<TKeyBinding> Changes;
    TKeyMapError Error;
    ASSERT_TRUE(ParseKeyMap("up b5\n[5] upleft\nx fast-forward\nescape none\n", Changes, Error)) << Error.Reason;
    UseKeyMap(Changes, "keys");
    for (const auto& [Key, Held] : std::vector<std::pair<SDLKey, std::string>>{
             {SDLK_UP, "b5"}, {SDLK_KP5, "upleft"}, {SDLK_x, "fast-forward"}, {SDLK_ESCAPE, ""}, {SDLK_DOWN, "down"}}) {
        KeyChanged(Key, true);
        EXPECT_EQ(Holding(), Held) << "key " << Key;
        KeyChanged(Key, false);
    }
    EXPECT_NE(KeyMapText().find("Changed by keys:\n  up               button 5\n  [5]              the direction ring: "
                                "upleft\n  x                fast-forward while held\n  escape           nothing\n"),
              std::string::npos)
        << KeyMapText();
    UseKeyMap({}, "");
}

// A key map file: "KEY INPUT" a line, KEY by SDL's name (spaces and capitals allowed), comments and blank lines
// skipped; the first bad line stops it with its number and the reason.
TEST(KeyMap, ReadsLinesOrReportsTheFirstErrorWithItsLine)
{
    const std::pair<const char*, std::string> Cases[] = {
        {"# mine\n\n  Left Shift   b10 # comment\nf2 pause\n", "304 b10; 283 pause; "},
        {"tab step\nspace snapshot\nf3 full-screen\nf4 help\n", "9 step; 32 snapshot; 284 full-screen; 285 help; "},
        {"a\n", "error at 1: missing input after the key \"a\""},
        {"a b1\nno key b2\n", "error at 2: unknown key \"no key\" (SDL's key names: a, f1, up, [8], left shift, ...)"},
        {"a b11\n", "error at 1: unknown input \"b11\" (b1 to b10, up, down, left, right, upleft, upright, downleft, "
                    "downright, pause, step, snapshot, full-screen, help, fast-forward or none)"},
        {"a b1\n\nA up\n", "error at 3: the key \"A\" is given twice (first on line 1)"},
    };
    const char* const Actions[] = {"none", "", "pause", "step", "snapshot", "full-screen", "help", "fast-forward"};
    for (const auto& [Text, Expected] : Cases) {
        std::vector<TKeyBinding> Changes;
        TKeyMapError Error{0, ""};
        std::string Shown;
        if (!ParseKeyMap(Text, Changes, Error))
            Shown = "error at " + std::to_string(Error.Line) + ": " + Error.Reason;
        for (const TKeyBinding& Binding : Changes)
            Shown += std::to_string(Binding.Key) + " "
                + (Binding.Action == TKeyAction::Input ? InputNames[int(Binding.Input)] : Actions[int(Binding.Action)])
                + "; ";
        EXPECT_EQ(Shown, Expected) << Text;
    }
}

// The first gamepad's hat and first two axes drive the ring, diagonals included, the axes past a quarter of their
// travel; its buttons 1 to 10 hold buttons 1 to 10. An input is held while the keyboard or the gamepad holds it.
// Each event goes through SDL's queue as a gamepad's would.
TEST(Gamepad, DrivesTheRingAndTheButtonsWithTheKeyboard)
{
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SimReset();
    UseKeyMap({}, "");
    StartKeyboard();
    const std::tuple<Uint8, int, int, const char*> Steps[] = {
        {SDL_JOYHATMOTION, 0, SDL_HAT_UP, "up"},           {SDL_JOYHATMOTION, 0, SDL_HAT_RIGHTUP, "upright"},
        {SDL_JOYHATMOTION, 0, SDL_HAT_RIGHTDOWN, "downright"}, {SDL_JOYHATMOTION, 0, SDL_HAT_LEFTDOWN, "downleft"},
        {SDL_JOYHATMOTION, 0, SDL_HAT_LEFTUP, "upleft"},   {SDL_JOYHATMOTION, 0, SDL_HAT_CENTERED, ""},
        {SDL_JOYAXISMOTION, 0, 8191, ""},                  {SDL_JOYAXISMOTION, 0, -8191, ""},
        {SDL_JOYAXISMOTION, 0, 8192, "right"},             {SDL_JOYAXISMOTION, 1, -8192, "upright"},
        {SDL_JOYAXISMOTION, 0, -32768, "upleft"},          {SDL_JOYAXISMOTION, 2, 32767, "upleft"},
        {SDL_JOYAXISMOTION, 1, 8191, "left"},              {SDL_KEYDOWN, SDLK_DOWN, 0, "downleft"},
        {SDL_JOYAXISMOTION, 0, 0, "down"},                 {SDL_KEYUP, SDLK_DOWN, 0, ""},
        {SDL_JOYBUTTONDOWN, 0, 1, "b1"},                   {SDL_KEYDOWN, SDLK_1, 0, "b1"},
        {SDL_JOYBUTTONUP, 0, 0, "b1"},                     {SDL_KEYUP, SDLK_1, 0, ""},
        {SDL_JOYBUTTONDOWN, 9, 1, "b10"},                  {SDL_JOYBUTTONDOWN, 3, 1, "b4 b10"},
        {SDL_JOYBUTTONDOWN, 10, 1, "b4 b10"},              {SDL_JOYBUTTONUP, 9, 0, "b4"},
        {SDL_JOYBUTTONUP, 3, 0, ""}};
    for (const auto& [Type, Number, Value, Held] : Steps) {
        SDL_Event Event{};
        if (Type == SDL_JOYHATMOTION)
            Event.jhat = {Type, 0, Uint8(Number), Uint8(Value)};
        else if (Type == SDL_JOYAXISMOTION)
            Event.jaxis = {Type, 0, Uint8(Number), Sint16(Value)};
        else if (Type == SDL_JOYBUTTONDOWN || Type == SDL_JOYBUTTONUP)
            Event.jbutton = {Type, 0, Uint8(Number), Uint8(Value)};
        else
            Event.key = {Type, 0, Uint8(Type == SDL_KEYDOWN), {0, SDLKey(Number), KMOD_NONE, 0}};
        ASSERT_EQ(SDL_PushEvent(&Event), 0);
        ASSERT_EQ(SDL_PollEvent(&Event), 1);
        if (Event.type == SDL_KEYDOWN || Event.type == SDL_KEYUP)
            KeyChanged(Event.key.keysym.sym, Event.type == SDL_KEYDOWN);
        else
            EXPECT_TRUE(GamepadChanged(Event));
        EXPECT_EQ(HeldInputs(), Held) << int(Type) << " " << Number << " " << Value;
    }
    SDL_Event Key{};
    Key.type = SDL_KEYDOWN;
    EXPECT_FALSE(GamepadChanged(Key));
    SDL_Quit();
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

// The window's pixel at (X, Y) as the bytes in memory, in hexadecimal.
std::string PixelBytes(const SDL_Surface* Surface, int X, int Y)
{
    const auto* Pixel = static_cast<const std::uint8_t*>(Surface->pixels) + Y * Surface->pitch
        + X * Surface->format->BytesPerPixel;
    std::string Shown;
    for (int Byte = 0; Byte < Surface->format->BytesPerPixel; ++Byte)
        Shown += Hex(Pixel[Byte], 2);
    return Shown;
}

// Each device pixel becomes Scale x Scale window pixels in the window's own format, its components widened as in the
// snapshots (red 31 to 255, grey 16, 32, 16 to 132, 130, 132); what lies outside the picture stays as it was.
TEST(Window, WritesEachPixelOnceInTheWindowsFormat)
{
    std::vector<std::uint16_t> Page(320 * 240, 0x0000);
    Page[0] = 0xF800;
    Page[1] = 0x07E0;
    Page[320] = 0x001F;
    Page[321] = 0x8410;
    Page[320 * 240 - 1] = 0xFFFF;
    const struct {
        int Bits;
        Uint32 Red, Green, Blue;
        std::vector<std::string> Pixels; // at (0, 0), (1, 1), (2, 2), (3, 2), (2, 3), (4, 4), (640, 480), (641, 481)
    } Cases[] = {
        {32, 0xFF0000, 0xFF00, 0xFF, {"ABABABAB", "0000FF00", "0000FF00", "00FF0000", "FF000000", "84828400", "FFFFFF00", "ABABABAB"}},
        {24, 0xFF0000, 0xFF00, 0xFF, {"ABABAB", "0000FF", "0000FF", "00FF00", "FF0000", "848284", "FFFFFF", "ABABAB"}},
        {32, 0xFF, 0xFF00, 0xFF0000, {"ABABABAB", "FF000000", "FF000000", "00FF0000", "0000FF00", "84828400", "FFFFFF00", "ABABABAB"}},
        {16, 0xF800, 0x07E0, 0x001F, {"ABAB", "00F8", "00F8", "E007", "1F00", "1084", "FFFF", "ABAB"}},
    };
    for (const auto& Case : Cases) {
        SDL_Surface* Window = SDL_CreateRGBSurface(SDL_SWSURFACE, 643, 483, Case.Bits, Case.Red, Case.Green, Case.Blue, 0);
        ASSERT_NE(Window, nullptr);
        std::memset(Window->pixels, 0xAB, static_cast<std::size_t>(Window->pitch) * Window->h);
        ScalePicture(Page.data(), Window, 1, 1, 2);
        std::vector<std::string> Pixels;
        for (const auto& [X, Y] : std::vector<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 2}, {3, 2}, {2, 3}, {4, 4}, {640, 480}, {641, 481}})
            Pixels.push_back(PixelBytes(Window, X, Y));
        EXPECT_EQ(Pixels, Case.Pixels) << Case.Bits << " bits, red " << Case.Red;
        SDL_FreeSurface(Window);
    }
}

// In a window, the program's mode request gives the program a 320 x 240 surface at the depth it asked for, whose
// format its images take, while the window's own surface is at the screen's depth, so that SDL converts nothing when
// it shows it.
TEST(Window, GivesTheProgramItsDepthAndTheWindowTheScreens)
{
    // In a child, which leaves the window's set-up behind.
    const TChildResult Result = RunInChild([] {
        if (SDL_Init(SDL_INIT_VIDEO) != 0)
            return 1;
        const int ScreenBits = SDL_GetVideoInfo()->vfmt->BitsPerPixel;
        std::string Shown;
        SimReset();
        StartWindow(2, false);
        for (int Depth : {16, 8}) {
            const SDL_Surface* Program = SDL_SetVideoMode(320, 240, Depth, SDL_FULLSCREEN);
            const SDL_Surface* Image =
                SDL_DisplayFormat(SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 24, 0xFF0000, 0xFF00, 0xFF, 0));
            const SDL_Surface* Window = SDL_GetVideoSurface();
            const SDL_Color Color = Program->format->palette != nullptr ? Program->format->palette->colors[0x6E]
                                                                        : SDL_Color{0, 0, 0, 0};
            Shown += std::to_string(Program->w) + "x" + std::to_string(Program->h) + "x"
                + std::to_string(Program->format->BitsPerPixel) + " " + Hex(Program->format->Rmask, 4) + ", image "
                + std::to_string(Image->format->BitsPerPixel) + ", window " + std::to_string(Window->w) + "x"
                + std::to_string(Window->h) + (Window->format->BitsPerPixel == ScreenBits ? " at the screen's depth" : "")
                + ", colour 0x6E " + Hex(Color.r, 2) + Hex(Color.g, 2) + Hex(Color.b, 2) + "\n";
        }
        return WriteStandardOutput(Shown) ? 0 : 1;
    });
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    EXPECT_EQ(Result.Out, "320x240x16 F800, image 16, window 640x480 at the screen's depth, colour 0x6E 000000\n"
                          "320x240x8 0000, image 8, window 640x480 at the screen's depth, colour 0x6E 6D6DAA\n");
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

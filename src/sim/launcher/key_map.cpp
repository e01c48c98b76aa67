#include "sim/launcher/key_map.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <strings.h>
#include <unistd.h>
#include <utility>

#include "sim/launcher/script_file.h"

namespace {

// Today's map; the lines of DefaultText say the same.
const TKeyBinding DefaultMap[] = {
    {SDLK_UP, TKeyAction::Input, TSimInput::Up},        {SDLK_DOWN, TKeyAction::Input, TSimInput::Down},
    {SDLK_LEFT, TKeyAction::Input, TSimInput::Left},    {SDLK_RIGHT, TKeyAction::Input, TSimInput::Right},
    {SDLK_KP8, TKeyAction::Input, TSimInput::Up},       {SDLK_KP2, TKeyAction::Input, TSimInput::Down},
    {SDLK_KP4, TKeyAction::Input, TSimInput::Left},     {SDLK_KP6, TKeyAction::Input, TSimInput::Right},
    {SDLK_KP7, TKeyAction::Input, TSimInput::UpLeft},   {SDLK_KP9, TKeyAction::Input, TSimInput::UpRight},
    {SDLK_KP1, TKeyAction::Input, TSimInput::DownLeft}, {SDLK_KP3, TKeyAction::Input, TSimInput::DownRight},
    {SDLK_1, TKeyAction::Input, TSimInput::B1},         {SDLK_2, TKeyAction::Input, TSimInput::B2},
    {SDLK_3, TKeyAction::Input, TSimInput::B3},         {SDLK_4, TKeyAction::Input, TSimInput::B4},
    {SDLK_5, TKeyAction::Input, TSimInput::B5},         {SDLK_6, TKeyAction::Input, TSimInput::B6},
    {SDLK_7, TKeyAction::Input, TSimInput::B7},         {SDLK_8, TKeyAction::Input, TSimInput::B8},
    {SDLK_9, TKeyAction::Input, TSimInput::B9},         {SDLK_0, TKeyAction::Input, TSimInput::B10},
    {SDLK_v, TKeyAction::Input, TSimInput::B1},         {SDLK_b, TKeyAction::Input, TSimInput::B2},
    {SDLK_MINUS, TKeyAction::Input, TSimInput::B7},     {SDLK_KP_MINUS, TKeyAction::Input, TSimInput::B7},
    {SDLK_PLUS, TKeyAction::Input, TSimInput::B8},      {SDLK_EQUALS, TKeyAction::Input, TSimInput::B8},
    {SDLK_KP_PLUS, TKeyAction::Input, TSimInput::B8},   {SDLK_ESCAPE, TKeyAction::Input, TSimInput::B4},
    {SDLK_s, TKeyAction::Snapshot, TSimInput::B1},      {SDLK_F12, TKeyAction::Snapshot, TSimInput::B1},
    {SDLK_F1, TKeyAction::Help, TSimInput::B1},         {SDLK_F11, TKeyAction::FullScreen, TSimInput::B1},
    {SDLK_p, TKeyAction::Pause, TSimInput::B1},         {SDLK_PERIOD, TKeyAction::Step, TSimInput::B1},
    {SDLK_TAB, TKeyAction::FastForward, TSimInput::B1},
};

const char* const DefaultText =
    "Keys:\n"
    "  arrows           the direction ring; two together give a diagonal (up + left: upleft)\n"
    "  keypad 1-9       the direction ring, diagonals on 7, 9, 1 and 3\n"
    "  1-9, 0           buttons 1 to 9 and 10\n"
    "  V, B             button 1 (V-Sync on), button 2 (V-Sync off)\n"
    "  -, +             button 7 (volume down), button 8 (volume up)\n"
    "  Escape           button 4: exit, as do closing the window and Ctrl-C\n"
    "  S, F12           a snapshot, snapshot-N.png in the working folder\n"
    "  F1               this key map over the picture, on and off\n"
    "  F11, Alt+Enter   full screen on and off\n"
    "  P                pause the device and its music, or run on\n"
    "  . (period)       while paused: run to the next flip, then pause again\n"
    "  Tab              fast-forward while held: no waits, the music not played\n"
    "Gamepad, the first that SDL finds (none with --no-gamepad):\n"
    "  hat, axes 1-2    the direction ring, diagonals included\n"
    "  buttons 1-10     buttons 1 to 10\n";

// The window's actions by name in a key map file.
const std::pair<const char*, TKeyAction> ActionNames[] = {
    {"pause", TKeyAction::Pause},       {"step", TKeyAction::Step},
    {"snapshot", TKeyAction::Snapshot}, {"full-screen", TKeyAction::FullScreen},
    {"help", TKeyAction::Help},         {"fast-forward", TKeyAction::FastForward},
    {"none", TKeyAction::None},
};

std::vector<TKeyBinding> Map(std::begin(DefaultMap), std::end(DefaultMap));
// The key map file's lines in force, as the key map's text shows them, and the file.
std::vector<std::pair<std::string, std::string>> ChangedLines;
std::string ChangedFrom;

using TKeyNames = std::vector<std::pair<std::string, SDLKey>>;

// SDL's names of the keys, which it knows only while its video runs: its dummy driver, which offers itself only when
// SDL_VIDEODRIVER names it, is started for the moment when it does not.
TKeyNames KeyNames()
{
    const bool Running = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    TKeyNames Names;
    if (!Running) {
        const char* Driver = std::getenv("SDL_VIDEODRIVER");
        const std::string Was = Driver != nullptr ? Driver : "";
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        const bool Started = SDL_VideoInit("dummy", 0) == 0;
        if (Driver != nullptr)
            setenv("SDL_VIDEODRIVER", Was.c_str(), 1);
        else
            unsetenv("SDL_VIDEODRIVER");
        if (!Started)
            return Names;
    }
    for (int Key = SDLK_FIRST; Key < SDLK_LAST; ++Key) {
        const std::string Name = SDL_GetKeyName(static_cast<SDLKey>(Key));
        if (Name != "unknown key")
            Names.emplace_back(Name, static_cast<SDLKey>(Key));
    }
    if (!Running)
        SDL_VideoQuit();
    return Names;
}

// What a binding does, as the key map's text says it.
std::string Meaning(const TKeyBinding& Binding)
{
    switch (Binding.Action) {
    case TKeyAction::None: return "nothing";
    case TKeyAction::Pause: return "pause the device and its music, or run on";
    case TKeyAction::Step: return "while paused: run to the next flip, then pause again";
    case TKeyAction::Snapshot: return "a snapshot, snapshot-N.png in the working folder";
    case TKeyAction::FullScreen: return "full screen on and off";
    case TKeyAction::Help: return "this key map over the picture, on and off";
    case TKeyAction::FastForward: return "fast-forward while held";
    case TKeyAction::Input: break;
    }
    const std::string Name = SimInputName(Binding.Input);
    return Name[0] == 'b' ? "button " + Name.substr(1) : "the direction ring: " + Name;
}

std::string UserKeyMapFile()
{
    // A relative XDG_CONFIG_HOME is not to be used.
    const char* Config = std::getenv("XDG_CONFIG_HOME");
    if (Config != nullptr && Config[0] == '/')
        return std::string(Config) + "/brimlet-sim/keys";
    const char* Home = std::getenv("HOME");
    return Home != nullptr && Home[0] != '\0' ? std::string(Home) + "/.config/brimlet-sim/keys" : "";
}

// The key map file's lines into Changes, up to the first bad one.
bool ReadLines(const std::string& Text, std::vector<TKeyBinding>& Changes, TKeyMapError& Error)
{
    TKeyNames Names;
    std::vector<int> Lines;
    std::istringstream Stream(Text);
    std::string Line;
    for (int Number = 1; std::getline(Stream, Line); ++Number) {
        std::istringstream Words(Line.substr(0, Line.find('#')));
        std::vector<std::string> Split;
        for (std::string Word; Words >> Word;)
            Split.push_back(Word);
        if (Split.empty())
            continue;
        Error.Line = Number;
        if (Split.size() < 2) {
            Error.Reason = "missing input after the key \"" + Split[0] + "\"";
            return false;
        }
        // SDL's names hold spaces ("left shift"): the last word is the input, the words before it the key.
        std::string KeyName;
        for (std::size_t Index = 0; Index + 1 < Split.size(); ++Index)
            KeyName += (Index > 0 ? " " : "") + Split[Index];
        const std::string& Target = Split.back();
        if (Names.empty())
            Names = KeyNames();
        TKeyBinding Binding{SDLK_UNKNOWN, TKeyAction::Input, TSimInput::B1};
        for (const auto& [Name, Key] : Names)
            if (strcasecmp(Name.c_str(), KeyName.c_str()) == 0)
                Binding.Key = Key;
        if (Binding.Key == SDLK_UNKNOWN) {
            Error.Reason = "unknown key \"" + KeyName + "\" (SDL's key names: a, f1, up, [8], left shift, ...)";
            return false;
        }
        if (!SimParseInput(Target, Binding.Input)) {
            Binding.Action = TKeyAction::Input;
            for (const auto& [Name, Action] : ActionNames)
                if (Target == Name)
                    Binding.Action = Action;
            if (Binding.Action == TKeyAction::Input) {
                Error.Reason = "unknown input \"" + Target
                    + "\" (b1 to b10, up, down, left, right, upleft, upright, downleft, downright, pause, step, "
                      "snapshot, full-screen, help, fast-forward or none)";
                return false;
            }
        }
        for (std::size_t Index = 0; Index < Changes.size(); ++Index)
            if (Changes[Index].Key == Binding.Key) {
                Error.Reason =
                    "the key \"" + KeyName + "\" is given twice (first on line " + std::to_string(Lines[Index]) + ")";
                return false;
            }
        Changes.push_back(Binding);
        Lines.push_back(Number);
    }
    return true;
}

} // namespace

bool ParseKeyMap(const std::string& Text, std::vector<TKeyBinding>& Changes, TKeyMapError& Error)
{
    Changes.clear();
    if (ReadLines(Text, Changes, Error))
        return true;
    Changes.clear();
    return false;
}

void UseKeyMap(const std::vector<TKeyBinding>& Changes, const std::string& Source)
{
    Map.assign(std::begin(DefaultMap), std::end(DefaultMap));
    ChangedLines.clear();
    ChangedFrom = Source;
    const TKeyNames Names = Changes.empty() ? TKeyNames() : KeyNames();
    for (const TKeyBinding& Change : Changes) {
        bool Found = false;
        for (TKeyBinding& Binding : Map)
            if (Binding.Key == Change.Key) {
                Binding = Change;
                Found = true;
            }
        if (!Found)
            Map.push_back(Change);
        for (const auto& [Name, Key] : Names)
            if (Key == Change.Key)
                ChangedLines.emplace_back(Name, Meaning(Change));
    }
}

bool LoadKeyMap(const std::string& File, std::string& Error)
{
    UseKeyMap({}, "");
    const std::string Chosen = File.empty() ? UserKeyMapFile() : File;
    // The per-user file is used where it exists.
    if (Chosen.empty() || (File.empty() && access(Chosen.c_str(), F_OK) != 0 && errno == ENOENT))
        return true;
    std::string Text;
    if (!ReadScriptFile(Chosen, Text, Error, "the key map"))
        return false;
    std::vector<TKeyBinding> Changes;
    TKeyMapError Bad;
    if (!ParseKeyMap(Text, Changes, Bad)) {
        Error = Chosen + ":" + std::to_string(Bad.Line) + ": " + Bad.Reason;
        return false;
    }
    UseKeyMap(Changes, Chosen);
    return true;
}

const TKeyBinding* FindKey(SDLKey Key)
{
    for (const TKeyBinding& Binding : Map)
        if (Binding.Key == Key)
            return &Binding;
    return nullptr;
}

std::string KeyMapText()
{
    std::string Text = DefaultText;
    if (!ChangedLines.empty())
        Text += "Changed by " + ChangedFrom + ":\n";
    for (const auto& [Key, What] : ChangedLines)
        Text += "  " + Key + std::string(Key.size() < 17 ? 17 - Key.size() : 1, ' ') + What + "\n";
    return Text;
}

#include "sim/launcher/window.h"

#include <SDL.h>
#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <fcntl.h>
#include <vector>

#include "device/video_pages.h"
#include "sim/launcher/interrupt.h"
#include "sim/launcher/key_map_overlay.h"
#include "sim/launcher/keyboard.h"
#include "sim/launcher/messages.h"
#include "sim/launcher/scaler.h"
#include "sim/control.h"

namespace {

using TClock = std::chrono::steady_clock;
constexpr auto Refresh = std::chrono::microseconds(1000000 / 60);
constexpr int MaxScale = 8;

int AskedScale = 0;
bool GamepadWanted = true;
SDL_Joystick* Gamepad = nullptr;
// The program's screen surface, at the depth and size it asked for; the window's own is at the screen's depth.
SDL_Surface* ProgramScreen = nullptr;
// The screen's size before the first mode, for full screen; the window's size, kept while full screen.
int ScreenWidth = 0, ScreenHeight = 0;
int WindowWidth = 0, WindowHeight = 0;
bool FullScreen = false;
bool HelpShown = false;
// Flips since the start. The period key lets the paused device run on to the next flip, which pauses it again; 0:
// no step under way.
std::uint32_t Flips = 0;
std::uint32_t PauseAtFlip = 0;

bool Presented = false;
// The window needs a whole presentation: a new mode, the help shown or hidden, an exposure.
bool Dirty = true;
// The display's last whole refresh, as it hands it over, and whether it changed since it was last presented.
std::vector<std::uint16_t> Shown;
bool Changed = false;
int Subscription = 0;
std::string LastTitle;
// Keys released in the same batch of events as they were pressed, released only at the next refresh so that the
// program reads the press at least once.
std::vector<SDLKey> LateReleases;
TClock::time_point LastPresented;
int LastSnapshot = 0;

// The largest integer scale at which the picture fits Screen, at least 1.
int PictureScale(const SDL_Surface* Screen)
{
    return std::max(1, std::min(Screen->w / PageWidth, Screen->h / PageHeight));
}

// The window's mode as FullScreen and the sizes ask, or null after saying why not.
SDL_Surface* SetMode()
{
    Dirty = true;
    ForgetKeyMap();
    // Depth 0: the screen's, so that SDL hands the window's pixels to the X server as they are.
    SDL_Surface* Screen = FullScreen ? SimSetVideoMode(ScreenWidth, ScreenHeight, 0, SDL_SWSURFACE | SDL_FULLSCREEN)
                                     : SimSetVideoMode(WindowWidth, WindowHeight, 0, SDL_SWSURFACE | SDL_RESIZABLE);
    if (Screen == nullptr)
        Say(std::string("cannot set the window's mode: ") + SDL_GetError());
    return Screen;
}

// The program's screen surface: 320 x 240 at its depth, RGB565 at 16 bits, and at 8 bits with the palette that SDL
// gives a surface of 8 bits over a screen of more.
SDL_Surface* MakeProgramScreen(int BitsPerPixel)
{
    SDL_FreeSurface(ProgramScreen);
    ProgramScreen = SDL_CreateRGBSurface(SDL_SWSURFACE, PageWidth, PageHeight, BitsPerPixel, 0, 0, 0, 0);
    if (ProgramScreen != nullptr && ProgramScreen->format->palette != nullptr) {
        std::array<SDL_Color, 256> Colors{};
        for (int Index = 0; Index < 256; ++Index) {
            // Three bits of red, three of green and two of blue, each widened by repeating it.
            const int Red = Index & 0xE0, Green = Index << 3 & 0xE0, Blue = (Index & 0x3) * 0x55;
            Colors[static_cast<std::size_t>(Index)] = {static_cast<Uint8>(Red | Red >> 3 | Red >> 6),
                                                       static_cast<Uint8>(Green | Green >> 3 | Green >> 6),
                                                       static_cast<Uint8>(Blue), 0};
        }
        SDL_SetColors(ProgramScreen, Colors.data(), 0, static_cast<int>(Colors.size()));
    }
    return ProgramScreen;
}

// The first gamepad that SDL finds, unless --no-gamepad; none is no error.
void OpenGamepad()
{
    if (!GamepadWanted || Gamepad != nullptr || SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0)
        return;
    if (SDL_NumJoysticks() > 0)
        Gamepad = SDL_JoystickOpen(0);
}

// The answer to the program's mode request: a resizable window at the screen's depth, and the program's own screen
// surface as it asked for it, whose format its images take (SDL_DisplayFormat). The program never draws through it.
SDL_Surface* OpenWindowMode(int BitsPerPixel)
{
    if (const SDL_VideoInfo* Info = SDL_GetVideoInfo(); Info != nullptr && ScreenWidth == 0) {
        ScreenWidth = Info->current_w;
        ScreenHeight = Info->current_h;
    }
    const int Scale = WindowScale(AskedScale, ScreenWidth, ScreenHeight);
    WindowWidth = PageWidth * Scale;
    WindowHeight = PageHeight * Scale;
    FullScreen = false;
    if (SetMode() == nullptr)
        return nullptr;
    OpenGamepad();
    return MakeProgramScreen(BitsPerPixel);
}

void ToggleFullScreen()
{
    FullScreen = !FullScreen && ScreenWidth > 0;
    if (SetMode() == nullptr && FullScreen) {
        FullScreen = false;
        SetMode();
    }
}

// The music stands still with the device, and the trace is written up to the pause, which may end in a kill.
void SetPaused(bool Paused)
{
    SimPause(Paused);
    SimFlushTrace();
    SDL_PauseAudio(Paused ? 1 : 0);
}

// The page at the largest integer scale that fits, centred between black bars.
void Present(SDL_Surface* Screen, const std::vector<std::uint16_t>& Page)
{
    const int Scale = PictureScale(Screen);
    SDL_Rect Picture{static_cast<Sint16>((Screen->w - PageWidth * Scale) / 2),
                     static_cast<Sint16>((Screen->h - PageHeight * Scale) / 2), static_cast<Uint16>(PageWidth * Scale),
                     static_cast<Uint16>(PageHeight * Scale)};
    if (Dirty)
        SDL_FillRect(Screen, nullptr, SDL_MapRGB(Screen->format, 0, 0, 0));
    if (Picture.x < 0 || Picture.y < 0 || (SDL_MUSTLOCK(Screen) && SDL_LockSurface(Screen) != 0))
        return;
    ScalePicture(Page.data(), Screen, Picture.x, Picture.y, Scale);
    if (SDL_MUSTLOCK(Screen))
        SDL_UnlockSurface(Screen);
    if (HelpShown)
        DrawKeyMap(Screen, Picture);
    SDL_Flip(Screen);
}

// The next free snapshot-N.png, created here exclusively and never through a link, so that the snapshots of an
// earlier run are kept and a name planted in the folder is passed over, not written through.
void WriteKeySnapshot()
{
    for (;;) {
        const std::string File = "snapshot-" + std::to_string(++LastSnapshot) + ".png";
        const int Created = open(File.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (Created >= 0) {
            WriteSnapshot(File, Created);
            return;
        }
        if (errno != EEXIST) {
            ReportOutputFailure("snapshot " + File + " not written: " + std::strerror(errno));
            return;
        }
    }
}

// The window's own action of a key going down.
void DoAction(TKeyAction Action)
{
    if (Action == TKeyAction::Snapshot) {
        WriteKeySnapshot();
        return;
    }
    if (Action == TKeyAction::Help) {
        HelpShown = !HelpShown;
    } else if (Action == TKeyAction::FullScreen) {
        ToggleFullScreen();
    } else if (Action == TKeyAction::Pause) {
        PauseAtFlip = 0;
        SetPaused(!SimPaused());
    } else if (Action == TKeyAction::Step) {
        PauseAtFlip = SimPaused() ? Flips + 1 : 0;
        SetPaused(false);
    } else {
        return;
    }
    Dirty = true;
}

void HandleEvents()
{
    for (SDLKey Key : LateReleases)
        KeyChanged(Key, false);
    LateReleases.clear();
    std::vector<SDLKey> Pressed;
    SDL_Event Event;
    while (SDL_PollEvent(&Event)) {
        if (Event.type == SDL_KEYDOWN && Event.key.keysym.sym == SDLK_RETURN
            && (Event.key.keysym.mod & KMOD_ALT) != 0) {
            DoAction(TKeyAction::FullScreen);
        } else if (Event.type == SDL_KEYDOWN) {
            const SDLKey Key = Event.key.keysym.sym;
            Pressed.push_back(Key);
            LateReleases.erase(std::remove(LateReleases.begin(), LateReleases.end(), Key), LateReleases.end());
            DoAction(KeyChanged(Key, true));
            // The exit button needs a running device to be read.
            if (SimInputHeld(TSimInput::B4))
                SetPaused(false);
        } else if (GamepadChanged(Event)) {
            if (SimInputHeld(TSimInput::B4))
                SetPaused(false);
        } else if (Event.type == SDL_KEYUP) {
            const SDLKey Key = Event.key.keysym.sym;
            if (std::find(Pressed.begin(), Pressed.end(), Key) != Pressed.end())
                LateReleases.push_back(Key);
            else
                KeyChanged(Key, false);
        } else if (Event.type == SDL_VIDEORESIZE && !FullScreen) {
            WindowWidth = std::max(Event.resize.w, PageWidth);
            WindowHeight = std::max(Event.resize.h, PageHeight);
            SetMode();
        } else if (Event.type == SDL_VIDEOEXPOSE) {
            Dirty = true;
        } else if (Event.type == SDL_QUIT) {
            SimSetInput(TSimInput::B4, true);
            SetPaused(false);
        }
    }
}

// At most once per refresh: the window's events, then the picture when it changed, and the title.
void Tend()
{
    const TClock::time_point Now = TClock::now();
    if (Presented && Now - LastPresented < Refresh)
        return;
    Presented = true;
    LastPresented = Now;
    HandleEvents();
    SDL_Surface* Screen = SDL_GetVideoSurface();
    if (Screen == nullptr)
        return;
    if (Dirty || Changed) {
        Present(Screen, Shown);
        Changed = false;
        Dirty = false;
    }
    const std::string Title = std::string("brimlet-sim: ")
        + (SimPaused()               ? "paused at flip " + std::to_string(Flips)
               : SimFastForwarding() ? std::string("fast-forward")
                                     : std::string("running"))
        + ", x" + std::to_string(PictureScale(Screen)) + " - F1: keys";
    // SDL keeps a caption only once its video is up, which is after the program started.
    if (Title != LastTitle)
        SDL_WM_SetCaption(Title.c_str(), "brimlet-sim");
    LastTitle = Title;
}

// The program stands at a device access: the window lives on, and an interrupt ends the pause to be read.
void WhilePaused()
{
    if (Interrupted()) {
        SimSetInput(TSimInput::B4, true);
        SetPaused(false);
        return;
    }
    Tend();
    SDL_Delay(5);
}

} // namespace

int WindowScale(int Asked, int Width, int Height)
{
    if (Asked != 0)
        return Asked;
    const int Fits = std::min(Width * 3 / 4 / PageWidth, Height * 3 / 4 / PageHeight);
    return std::clamp(Fits, 2, MaxScale);
}

void StartWindow(int Scale, bool UseGamepad)
{
    AskedScale = Scale;
    GamepadWanted = UseGamepad;
    Gamepad = nullptr;
    ScreenWidth = ScreenHeight = 0;
    FullScreen = HelpShown = false;
    Flips = PauseAtFlip = 0;
    Presented = false;
    Dirty = true;
    Shown.assign(static_cast<std::size_t>(PageWidth) * PageHeight, 0);
    Changed = false;
    LastTitle.clear();
    LateReleases.clear();
    LastSnapshot = 0;
    if (Subscription != 0)
        SimUnsubscribeRefreshes(Subscription);
    Subscription = SimSubscribeRefreshes([](std::int64_t, const std::vector<std::uint16_t>& Picture) {
        if (Picture != Shown) {
            Shown = Picture;
            Changed = true;
        }
    });
    SimSetWindowed(OpenWindowMode);
    SimOnPaused(WhilePaused);
    StartKeyboard();
}

void WindowAtFlip()
{
    if (++Flips == PauseAtFlip) {
        PauseAtFlip = 0;
        SetPaused(true);
    }
    Tend();
}

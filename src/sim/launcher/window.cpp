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
#include "sim/control.h"

namespace {

using TClock = std::chrono::steady_clock;
constexpr auto Refresh = std::chrono::microseconds(1000000 / 60);
constexpr int MaxScale = 8;

int AskedScale = 0;
int Depth = 16;
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
// The display's last whole refresh, as it hands it over, and the picture last presented.
std::vector<std::uint16_t> Shown;
std::vector<std::uint16_t> LastPicture;
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
    SDL_Surface* Screen = FullScreen ? SimSetVideoMode(ScreenWidth, ScreenHeight, Depth, SDL_SWSURFACE | SDL_FULLSCREEN)
                                     : SimSetVideoMode(WindowWidth, WindowHeight, Depth, SDL_SWSURFACE | SDL_RESIZABLE);
    if (Screen == nullptr)
        Say(std::string("cannot set the window's mode: ") + SDL_GetError());
    return Screen;
}

// The answer to the program's mode request: a resizable window at the program's depth, whose surface is the
// program's screen surface. The program never draws through it; its images take its format.
SDL_Surface* OpenWindowMode(int BitsPerPixel)
{
    Depth = BitsPerPixel;
    if (const SDL_VideoInfo* Info = SDL_GetVideoInfo(); Info != nullptr && ScreenWidth == 0) {
        ScreenWidth = Info->current_w;
        ScreenHeight = Info->current_h;
    }
    const int Scale = WindowScale(AskedScale, ScreenWidth, ScreenHeight);
    WindowWidth = PageWidth * Scale;
    WindowHeight = PageHeight * Scale;
    FullScreen = false;
    return SetMode();
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

// Each device pixel becomes Scale x Scale window pixels: each row is widened once, then copied down.
template <int Bytes>
void Stretch(const SDL_Surface* From, SDL_Surface* To, int Left, int Top, int Scale)
{
    using TPixel = std::array<std::uint8_t, Bytes>;
    const std::size_t RowBytes = static_cast<std::size_t>(PageWidth) * Scale * Bytes;
    for (int Y = 0; Y < PageHeight; ++Y) {
        const auto* Source = static_cast<const std::uint8_t*>(From->pixels) + Y * From->pitch;
        auto* First = static_cast<std::uint8_t*>(To->pixels) + (Top + Y * Scale) * To->pitch + Left * Bytes;
        auto* Target = First;
        for (int X = 0; X < PageWidth; ++X, Source += Bytes) {
            TPixel Pixel;
            std::memcpy(Pixel.data(), Source, Bytes);
            for (int Repeat = 0; Repeat < Scale; ++Repeat, Target += Bytes)
                std::memcpy(Target, Pixel.data(), Bytes);
        }
        for (int Copy = 1; Copy < Scale; ++Copy)
            std::memcpy(First + Copy * To->pitch, First, RowBytes);
    }
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
    SDL_Surface* Shown = SDL_CreateRGBSurfaceFrom(const_cast<std::uint16_t*>(Page.data()), PageWidth, PageHeight, 16,
                                                  PageWidth * 2, 0xF800, 0x07E0, 0x001F, 0);
    // SDL converts when the program chose another depth than 16 bits.
    SDL_Surface* Converted = Shown != nullptr ? SDL_ConvertSurface(Shown, Screen->format, SDL_SWSURFACE) : nullptr;
    SDL_FreeSurface(Shown);
    if (Converted == nullptr || Picture.x < 0 || Picture.y < 0
        || (SDL_MUSTLOCK(Screen) && SDL_LockSurface(Screen) != 0)) {
        SDL_FreeSurface(Converted);
        return;
    }
    switch (Screen->format->BytesPerPixel) {
    case 1: Stretch<1>(Converted, Screen, Picture.x, Picture.y, Scale); break;
    case 2: Stretch<2>(Converted, Screen, Picture.x, Picture.y, Scale); break;
    case 3: Stretch<3>(Converted, Screen, Picture.x, Picture.y, Scale); break;
    default: Stretch<4>(Converted, Screen, Picture.x, Picture.y, Scale); break;
    }
    if (SDL_MUSTLOCK(Screen))
        SDL_UnlockSurface(Screen);
    SDL_FreeSurface(Converted);
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

// The keys of the window itself rather than of the device; true for one of them.
bool WindowKey(const SDL_keysym& Key)
{
    if (Key.sym == SDLK_F1) {
        HelpShown = !HelpShown;
    } else if (Key.sym == SDLK_F11 || (Key.sym == SDLK_RETURN && (Key.mod & KMOD_ALT) != 0)) {
        ToggleFullScreen();
    } else if (Key.sym == SDLK_p) {
        PauseAtFlip = 0;
        SetPaused(!SimPaused());
    } else if (Key.sym == SDLK_PERIOD) {
        PauseAtFlip = SimPaused() ? Flips + 1 : 0;
        SetPaused(false);
    } else {
        return false;
    }
    Dirty = true;
    return true;
}

void HandleEvents()
{
    for (SDLKey Key : LateReleases)
        KeyChanged(Key, false);
    LateReleases.clear();
    std::vector<SDLKey> Pressed;
    SDL_Event Event;
    while (SDL_PollEvent(&Event)) {
        if (Event.type == SDL_KEYDOWN && !WindowKey(Event.key.keysym)) {
            const SDLKey Key = Event.key.keysym.sym;
            Pressed.push_back(Key);
            LateReleases.erase(std::remove(LateReleases.begin(), LateReleases.end(), Key), LateReleases.end());
            if (KeyChanged(Key, true))
                WriteKeySnapshot();
            // The exit button needs a running device to be read.
            if (Key == SDLK_ESCAPE)
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
    if (Dirty || Shown != LastPicture) {
        Present(Screen, Shown);
        LastPicture = Shown;
        Dirty = false;
    }
    const std::string Title = std::string("brimlet-sim: ")
        + (SimPaused() ? "paused at flip " + std::to_string(Flips) : std::string("running")) + ", x"
        + std::to_string(PictureScale(Screen)) + " - F1: keys";
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

void StartWindow(int Scale)
{
    AskedScale = Scale;
    ScreenWidth = ScreenHeight = 0;
    FullScreen = HelpShown = false;
    Flips = PauseAtFlip = 0;
    Presented = false;
    Dirty = true;
    Shown.assign(static_cast<std::size_t>(PageWidth) * PageHeight, 0);
    LastPicture.clear();
    LastTitle.clear();
    LateReleases.clear();
    LastSnapshot = 0;
    if (Subscription != 0)
        SimUnsubscribeRefreshes(Subscription);
    Subscription = SimSubscribeRefreshes(
        [](std::int64_t, const std::vector<std::uint16_t>& Picture) { Shown.assign(Picture.begin(), Picture.end()); });
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

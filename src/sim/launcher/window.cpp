#include "sim/launcher/window.h"

#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "device/video_pages.h"
#include "sim/launcher/keyboard.h"
#include "sim/launcher/messages.h"
#include "sim/control.h"

namespace {

using TClock = std::chrono::steady_clock;
constexpr auto Refresh = std::chrono::microseconds(1000000 / 60);

bool Presented = false;
// Keys released in the same batch of events as they were pressed, released only at the next refresh so that the
// program reads the press at least once.
std::vector<SDLKey> LateReleases;
TClock::time_point LastPresented;
int LastSnapshot = 0;

void Present(SDL_Surface* Screen)
{
    std::vector<std::uint16_t> Page = SimShownPicture();
    SDL_Surface* Shown =
        SDL_CreateRGBSurfaceFrom(Page.data(), PageWidth, PageHeight, 16, PageWidth * 2, 0xF800, 0x07E0, 0x001F, 0);
    if (Shown == nullptr)
        return;
    // SDL's blit locks the screen surface and converts when the program chose another depth than 16 bits.
    SDL_BlitSurface(Shown, nullptr, Screen, nullptr);
    SDL_FreeSurface(Shown);
    SDL_Flip(Screen);
}

// The next free snapshot-N.png, so that the snapshots of an earlier run are kept.
void WriteKeySnapshot()
{
    std::string File;
    struct stat Status;
    do {
        File = "snapshot-" + std::to_string(++LastSnapshot) + ".png";
    } while (stat(File.c_str(), &Status) == 0);
    WriteSnapshot(File);
}

void HandleEvents()
{
    for (SDLKey Key : LateReleases)
        KeyChanged(Key, false);
    LateReleases.clear();
    std::vector<SDLKey> Pressed;
    SDL_Event Event;
    while (SDL_PollEvent(&Event)) {
        if (Event.type == SDL_KEYDOWN) {
            const SDLKey Key = Event.key.keysym.sym;
            Pressed.push_back(Key);
            LateReleases.erase(std::remove(LateReleases.begin(), LateReleases.end(), Key), LateReleases.end());
            if (KeyChanged(Key, true))
                WriteKeySnapshot();
        } else if (Event.type == SDL_KEYUP) {
            const SDLKey Key = Event.key.keysym.sym;
            if (std::find(Pressed.begin(), Pressed.end(), Key) != Pressed.end())
                LateReleases.push_back(Key);
            else
                KeyChanged(Key, false);
        } else if (Event.type == SDL_QUIT) {
            SimSetInput(TSimInput::B4, true);
        }
    }
}

} // namespace

void StartWindow()
{
    Presented = false;
    LateReleases.clear();
    LastSnapshot = 0;
    SimScanEveryRefresh(true);
    StartKeyboard();
}

void WindowAtFlip()
{
    SDL_Surface* Screen = SDL_GetVideoSurface();
    if (Screen == nullptr)
        return;
    const TClock::time_point Now = TClock::now();
    if (Presented && Now - LastPresented < Refresh)
        return;
    if (!Presented) {
        // SDL keeps a caption only once its video is up, which is after the program started.
        SDL_WM_SetCaption("brimlet-sim", "brimlet-sim");
    }
    Presented = true;
    LastPresented = Now;
    Present(Screen);
    HandleEvents();
}

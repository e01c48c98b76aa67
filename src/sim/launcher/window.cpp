#include "sim/launcher/window.h"

#include <SDL.h>
#include <chrono>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "sim/launcher/keyboard.h"
#include "sim/launcher/messages.h"
#include "sim/sim.h"

namespace {

using TClock = std::chrono::steady_clock;
constexpr auto Refresh = std::chrono::microseconds(1000000 / 60);
constexpr int PageWidth = 320;
constexpr int PageHeight = 240;

bool Presented = false;
TClock::time_point LastPresented;
int LastSnapshot = 0;

void Present(SDL_Surface* Screen) {
    std::vector<std::uint16_t> Page = SimShownPage();
    SDL_Surface* Shown = SDL_CreateRGBSurfaceFrom(Page.data(), PageWidth, PageHeight, 16, PageWidth * 2, 0xF800,
                                                  0x07E0, 0x001F, 0);
    if (Shown == nullptr) {
        return;
    }
    // SDL's blit locks the screen surface and converts when the program chose another depth than 16 bits.
    SDL_BlitSurface(Shown, nullptr, Screen, nullptr);
    SDL_FreeSurface(Shown);
    SDL_Flip(Screen);
}

// The next free snapshot-N.png, so that the snapshots of an earlier run are kept.
void WriteKeySnapshot() {
    std::string File;
    struct stat Status;
    do {
        File = "snapshot-" + std::to_string(++LastSnapshot) + ".png";
    } while (stat(File.c_str(), &Status) == 0);
    std::string Error;
    if (SimWriteSnapshot(File, &Error)) {
        Say("wrote snapshot " + File);
    } else {
        Say("snapshot " + File + " not written: " + Error);
    }
}

void HandleEvents() {
    SDL_Event Event;
    while (SDL_PollEvent(&Event)) {
        if (Event.type == SDL_KEYDOWN || Event.type == SDL_KEYUP) {
            if (KeyChanged(Event.key.keysym.sym, Event.type == SDL_KEYDOWN)) {
                WriteKeySnapshot();
            }
        } else if (Event.type == SDL_QUIT) {
            SimSetInput(TSimInput::B4, true);
        }
    }
}

} // namespace

void StartWindow() {
    Presented = false;
    LastSnapshot = 0;
    StartKeyboard();
}

void WindowAtFlip() {
    SDL_Surface* Screen = SDL_GetVideoSurface();
    if (Screen == nullptr) {
        return;
    }
    const TClock::time_point Now = TClock::now();
    if (Presented && Now - LastPresented < Refresh) {
        return;
    }
    if (!Presented) {
        // SDL keeps a caption only once its video is up, which is after the program started.
        SDL_WM_SetCaption("brimlet-sim", "brimlet-sim");
    }
    Presented = true;
    LastPresented = Now;
    Present(Screen);
    HandleEvents();
}

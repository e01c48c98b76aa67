#include "app/main_loop.h"

#include "app/program_state.h"
#include "device/blitter.h"
#include "device/inputs.h"
#include "device/mixer.h"
#include "device/page_flip.h"
#include "device/text.h"

#include <SDL.h>

#include <string>

namespace {

constexpr std::int32_t ViewWidth = 320;
constexpr std::int32_t ViewHeight = 240;
constexpr std::int32_t StartScrollY = 200;
constexpr std::uint16_t StartVolume = 128;
constexpr std::uint16_t MaxVolume = 255;
constexpr std::uint16_t StatusColor = 0xFFFF;
constexpr std::uint32_t FrameRateWindowMs = 1000;
constexpr std::int32_t ExitButton = 4;
constexpr std::int32_t VSyncOnButton = 1;
constexpr std::int32_t VSyncOffButton = 2;
constexpr std::int32_t VolumeDownButton = 7;
constexpr std::int32_t VolumeUpButton = 8;

// Upper bound first, so that an image smaller than the view is shown from its top-left corner. The sums are taken
// in 64 bits, since the image's figures come from a file.
void ClampView()
{
    if (std::int64_t{ScrollX} + ViewWidth >= ImageWidth)
        ScrollX = ImageWidth - ViewWidth;
    if (std::int64_t{ScrollY} + ViewHeight >= ImageHeight)
        ScrollY = ImageHeight - ViewHeight;
    if (ScrollX < 0)
        ScrollX = 0;
    if (ScrollY < 0)
        ScrollY = 0;
}

// The blit returns when the copy is done, so the text lands on the finished picture. The figures are those of the
// frames before: they change only after drawing.
void DrawView()
{
    Blit(ImageBufferPhys, ScrollX, ScrollY, ViewWidth, ViewHeight, ImagePitch, 0, 0, 0, false, 255, 0, 255, true);
    DrawText(10, 10, "FPS:    " + std::to_string(FramesPerSecond), StatusColor);
    DrawText(10, 25, "Volume: " + std::to_string(Volume), StatusColor);
    DrawText(10, 40, VSync ? "V-Sync: On" : "V-Sync: Off", StatusColor);
}

// Each question is a read of its own, applied at once; the order decides what holding two buttons together does.
void ReadInputs()
{
    if (DirectionPressed(DirUp, false))
        --ScrollY;
    if (DirectionPressed(DirLeft, false))
        --ScrollX;
    if (DirectionPressed(DirRight, false))
        ++ScrollX;
    if (DirectionPressed(DirDown, false))
        ++ScrollY;
    if (ButtonPressed(VSyncOnButton))
        VSync = true;
    if (ButtonPressed(VSyncOffButton))
        VSync = false;
    if (ExtraButtonPressed(VolumeDownButton) && Volume >= 1) {
        --Volume;
        SetVolume(Volume);
    }
    if (ExtraButtonPressed(VolumeUpButton) && Volume < MaxVolume) {
        ++Volume;
        SetVolume(Volume);
    }
}

// The figure is the frames of the last window of at least a second, not a rate scaled to one second.
void CountFrame()
{
    ++FrameCount;
    if (FrameRateWindowEnded(SDL_GetTicks(), LastTicks)) {
        LastTicks = static_cast<std::int32_t>(SDL_GetTicks());
        FramesPerSecond = FrameCount;
        FrameCount = 0;
    }
}

} // namespace

// The window's length is the tick difference modulo 2^32, so that it stays right when the count passes 2^31 or
// wraps.
bool FrameRateWindowEnded(std::uint32_t Now, std::int32_t WindowStart)
{
    return Now - static_cast<std::uint32_t>(WindowStart) >= FrameRateWindowMs;
}

void MainLoop()
{
    ScrollX = (ImageWidth - ViewWidth) / 2;
    ScrollY = StartScrollY;
    // The first window counts one frame more than were drawn, as the device's program always has.
    FrameCount = 1;
    LastTicks = static_cast<std::int32_t>(SDL_GetTicks());
    FramesPerSecond = 0;
    VSync = true;
    Volume = StartVolume;
    SetVolume(Volume);

    // Asked before each frame, so that holding the button on entry draws no frame at all.
    while (!ButtonPressed(ExitButton)) {
        ClampView();
        DrawView();
        FlipVideoPage(VSync);
        ReadInputs();
        CountFrame();
    }
}

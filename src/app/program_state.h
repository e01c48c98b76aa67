#pragma once
// The test program's state, shared by its start-up, frame loop and shutdown.

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdint>

#include "device/video_pages.h"

// The memory window: 8 MiB of physical memory at 0x02000000, mapped through /dev/mem.
constexpr std::int32_t MemorySize = 0x00800000;
constexpr std::int64_t MemoryOffset = 0x02000000;
// The image copy goes 4 bytes past the test frame's end rounded up to a word; the blitter reads it at the matching
// physical address.
constexpr std::int32_t ImageCopyOffset = ((PageBytes + 3) / 4 + 1) * 4;
constexpr std::uint32_t ImageCopyPhys = static_cast<std::uint32_t>(MemoryOffset + ImageCopyOffset);

extern std::uint8_t* MemoryBase;      // the window in the program
extern std::int32_t FrameBytes;       // the test frame at the window's start
extern std::uint8_t* ImageBuffer;     // the image copy in the program
extern std::uint32_t ImageBufferPhys; // the image copy's physical address, as the blitter reads it
extern std::int32_t ImageWidth;
extern std::int32_t ImageHeight;
extern std::int32_t ImagePitch;
extern std::int32_t ImageBytes;

extern std::int32_t ScrollX;
extern std::int32_t ScrollY;
extern std::int32_t LastTicks;
extern std::int32_t FrameCount;
extern std::int32_t FramesPerSecond;
extern std::uint16_t Volume;
extern bool VSync;

// Null tells the shutdown that the matching part was never started or is already released.
extern SDL_Surface* ScreenSurface;
extern SDL_Surface* ImageSurface;
extern Mix_Music* Music;

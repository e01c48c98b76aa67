#include "app/program_state.h"

std::uint8_t* MemoryBase = nullptr;
std::int32_t FrameBytes = 0;
std::uint8_t* ImageBuffer = nullptr;
std::uint32_t ImageBufferPhys = 0;
std::int32_t ImageWidth = 0;
std::int32_t ImageHeight = 0;
std::int32_t ImagePitch = 0;
std::int32_t ImageBytes = 0;

std::int32_t ScrollX = 0;
std::int32_t ScrollY = 0;
std::int32_t LastTicks = 0;
std::int32_t FrameCount = 0;
std::int32_t FramesPerSecond = 0;
std::uint16_t Volume = 0;
bool VSync = false;

SDL_Surface* ScreenSurface = nullptr;
SDL_Surface* ImageSurface = nullptr;
Mix_Music* Music = nullptr;

#pragma once
// Set-up and release of the two framebuffer devices and their video pages.

#include <cstdint>

bool InitVideo(std::int32_t Width, std::int32_t Height, std::int32_t BitsPerPixel);
bool CloseVideo();

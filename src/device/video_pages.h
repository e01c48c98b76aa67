#pragma once
// The two video pages and the drawing-page rule: drawing always goes to the page that is not shown.

#include <cstdint>

constexpr std::int32_t PageWidth = 320;
constexpr std::int32_t PageHeight = 240;
constexpr std::int32_t PageStride = 640;   // bytes per row
constexpr std::int32_t PageBytes = 153600; // one 320 x 240 RGB565 frame

struct TFrameBuffer {
    bool Shown;
    std::int32_t Handle;
    void* Screen;
    std::int32_t BitsPerPixel;
    std::int32_t BytesPerPixel;
    std::uint32_t SMemStart;
    std::uint32_t SMemLen;
};

extern bool VideoReady;
extern TFrameBuffer FB0;
extern TFrameBuffer FB1;

// The drawing page's address in the program, or null (with "Video buffer not initialized") before video is up.
void* GetVideoBuffer();
// The drawing page's physical address.
std::uint32_t GetVideoBufferPhys();
// Resets the records to their start values (called by DeviceInitialization).
void ResetVideoPages();

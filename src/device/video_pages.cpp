#include "device/video_pages.h"

#include "runtime/console.h"

bool VideoReady = false;
TFrameBuffer FB0 = {false, -1, nullptr, 0, 0, 0, 0};
TFrameBuffer FB1 = {false, -1, nullptr, 0, 0, 0, 0};

void* GetVideoBuffer()
{
    if (!VideoReady) {
        WriteLine("Video buffer not initialized");
        return nullptr;
    }
    return FB0.Shown ? FB1.Screen : FB0.Screen;
}

std::uint32_t GetVideoBufferPhys()
{
    return FB0.Shown ? FB1.SMemStart : FB0.SMemStart;
}

void ResetVideoPages()
{
    VideoReady = false;
    FB0 = {false, -1, nullptr, 0, 0, 0, 0};
    FB1 = {false, -1, nullptr, 0, 0, 0, 0};
}

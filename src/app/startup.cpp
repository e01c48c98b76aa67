#include "app/startup.h"

#include "app/clean_up_scope.h"
#include "app/program_state.h"
#include "device/register_window.h"
#include "device/video_pages.h"
#include "media/image.h"
#include "media/music.h"
#include "media/sdl_init.h"
#include "platform/platform.h"
#include "runtime/console.h"
#include "runtime/hex.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr std::uint16_t TestFrameColor = 0xF81F;

bool MapMemoryWindow()
{
    void* Address =
        PlatformMap(nullptr, MemorySize, PROT_READ | PROT_WRITE, MAP_SHARED, GetMemoryHandle(), MemoryOffset);
    if (Address == MAP_FAILED) {
        WriteLine("Mapping the memory failed, error no:" + std::to_string(PlatformLastError()));
        return false;
    }
    MemoryBase = static_cast<std::uint8_t*>(Address);
    return true;
}

void FillTestFrame()
{
    FrameBytes = PageBytes;
    WriteLine("Memory at: " + Hex(reinterpret_cast<std::uintptr_t>(MemoryBase), 8));
    std::fill_n(reinterpret_cast<std::uint16_t*>(MemoryBase), FrameBytes / 2, TestFrameColor);
    WriteLine("memory filled");
    WriteLine("");
}

bool StartMusic()
{
    WriteLine("Loading music");
    if (!LoadMusic("music.ogg", Music)) {
        WriteLine("Loading music failed");
        return false;
    }
    WriteLine("music loaded");
    PlayMusic(Music, 255, true, 0);
    WriteLine("");
    return true;
}

bool LoadGalaxy()
{
    WriteLine("Loading image");
    if (!LoadImage("galaxy.bmp", ImageSurface, NoColorKey)) {
        WriteLine("Loading image failed");
        return false;
    }
    WriteLine("Image loaded");
    return true;
}

void PlaceImage()
{
    ImageBuffer = MemoryBase + ImageCopyOffset;
    ImageBufferPhys = ImageCopyPhys;
    ImageWidth = ImageSurface->w;
    ImageHeight = ImageSurface->h;
    ImagePitch = ImageSurface->pitch;

    // Rows that would run past the window's end are dropped, whole rows only, and the shorter image is used from
    // here on, so that the copy never writes outside the window.
    const std::int64_t Room = MemorySize - (ImageBuffer - MemoryBase);
    if (static_cast<std::int64_t>(ImagePitch) * ImageHeight > Room) {
        ImageHeight = static_cast<std::int32_t>(Room / ImagePitch);
        WriteLine("Image cut to " + std::to_string(ImageHeight) + " rows to fit the memory window");
    }
    ImageBytes = ImagePitch * ImageHeight;
}

void ReportImage()
{
    WriteLine("");
    WriteLine("Bytes per Pixel: " + std::to_string(ImageSurface->format->BytesPerPixel));
    WriteLine("Width:           " + std::to_string(ImageWidth));
    WriteLine("Height:          " + std::to_string(ImageHeight));
    WriteLine("Pitch:           " + std::to_string(ImagePitch));
}

// Rows are copied as they lie in the surface, pitch and all, with no conversion.
void CopyImage()
{
    SDL_LockSurface(ImageSurface);
    RunGuarded(
        [] {
            WriteLine("copying image");
            std::memcpy(ImageBuffer, ImageSurface->pixels, static_cast<std::size_t>(ImageBytes));
            WriteLine("copy done");
        },
        [] { SDL_UnlockSurface(ImageSurface); });
}

} // namespace

bool StartUp()
{
    WriteLine("Memory handle is: " + std::to_string(GetMemoryHandle()));
    ScreenSurface = InitSDL();
    if (!MapMemoryWindow())
        return false;
    FillTestFrame();
    if (!StartMusic())
        return false;
    if (!LoadGalaxy())
        return false;
    PlaceImage();
    ReportImage();
    CopyImage();
    FreeImage(ImageSurface);
    return true;
}

#include "device/video.h"

#include <fcntl.h>
#include <linux/fb.h>
#include <sys/mman.h>

#include <cstring>
#include <string>

#include "device/blitter.h"
#include "device/register_map.h"
#include "device/register_window.h"
#include "device/video_pages.h"
#include "platform/platform.h"
#include "runtime/console.h"
#include "runtime/hex.h"

namespace {

void ClosePage(TFrameBuffer& Page)
{
    PlatformClose(Page.Handle);
    Page.Handle = -1;
}

// Opens one framebuffer device, records what it reports, maps its page and prints the four lines about it. On a
// failure the line names the page and the error number, and the page's descriptor is closed again.
bool SetUpPage(TFrameBuffer& Page, const char* Path, const std::string& Name, std::int32_t BitsPerPixel)
{
    Page.Handle = PlatformOpen(Path, O_RDWR);
    if (Page.Handle < 0) {
        const int Error = PlatformLastError();
        WriteLine("No access to " + Name + ":" + std::to_string(Error));
        return false;
    }
    fb_fix_screeninfo Info;
    std::memset(&Info, 0, sizeof Info);
    if (PlatformIoctl(Page.Handle, FBIOGET_FSCREENINFO, &Info) < 0) {
        const int Error = PlatformLastError();
        ClosePage(Page);
        WriteLine("No screen info for " + Name + ":" + std::to_string(Error));
        return false;
    }
    Page.Shown = false;
    Page.BitsPerPixel = BitsPerPixel;
    Page.BytesPerPixel = static_cast<std::int32_t>((static_cast<std::int64_t>(BitsPerPixel) + 1) / 8);
    Page.SMemStart = static_cast<std::uint32_t>(Info.smem_start);
    Page.SMemLen = Info.smem_len;
    // Write protection only: the program never reads the pages through the processor.
    void* Screen = PlatformMap(nullptr, PageBytes, PROT_WRITE, MAP_SHARED, Page.Handle, 0);
    if (Screen == MAP_FAILED) {
        const int Error = PlatformLastError();
        Page.Screen = nullptr;
        ClosePage(Page);
        WriteLine(Name + " not mapped:" + std::to_string(Error));
        return false;
    }
    Page.Screen = Screen;
    WriteLine("ID:         " + std::string(Info.id, strnlen(Info.id, sizeof Info.id)));
    WriteLine("SMem_Start: " + Hex(Info.smem_start, 8));
    WriteLine("SMem_Len:   " + Hex(Info.smem_len, 8));
    WriteLine("Screen:     " + Hex(reinterpret_cast<std::uintptr_t>(Screen), 8));
    return true;
}

} // namespace

// The page size is fixed at 320 x 240, so the width and height asked for are not used.
bool InitVideo(std::int32_t, std::int32_t, std::int32_t BitsPerPixel)
{
    if (VideoReady)
        return false;
    WriteLine("Initialize Video");
    if (!OpenMemory())
        return false;
    WriteLine("Open FB0 device");
    if (!SetUpPage(FB0, "/dev/fb/0", "FB0", BitsPerPixel)) {
        CloseMemory();
        return false;
    }
    // The device's own name for its second framebuffer, kept as the program has always printed it.
    WriteLine("Open FB2 device");
    if (!SetUpPage(FB1, "/dev/fb/1", "FB1", BitsPerPixel)) {
        ClosePage(FB0);
        CloseMemory();
        return false;
    }
    const std::int64_t Bpp = BitsPerPixel;
    WriteReg16(RegDisplayFormat,
               static_cast<std::uint16_t>((static_cast<std::uint64_t>(Bpp / 8) << 9) | DisplayFormatBase));
    WriteReg16(RegDisplayLineLength, static_cast<std::uint16_t>((Bpp + 1) / 8 * PageWidth));
    WriteReg16(RegVideoMask, VideoMaskAll);
    WriteReg16(RegVideoControl, static_cast<std::uint16_t>(ReadReg16(RegVideoControl) | VideoControlEnable));
    NopBlit();
    VideoReady = true;
    return true;
}

bool CloseVideo()
{
    if (!VideoReady)
        return false;
    // The page mappings stay until the process ends; a later InitVideo maps again.
    PlatformClose(FB1.Handle);
    PlatformClose(FB0.Handle);
    CloseMemory();
    VideoReady = false;
    return true;
}

#include "device/page_flip.h"

#include "device/register_map.h"
#include "device/register_window.h"
#include "device/video_pages.h"

namespace {

// The low half first: the display latches the start address when its high half is written.
void WriteAddressPair(std::uint32_t LowOffset, std::uint32_t HighOffset, std::uint32_t Address)
{
    WriteReg16(LowOffset, static_cast<std::uint16_t>(Address & 0xFFFFu));
    WriteReg16(HighOffset, static_cast<std::uint16_t>(Address >> 16));
}

} // namespace

void ShowVideoPage(std::int32_t Page)
{
    if (!VideoReady)
        return;
    const bool ShowPage1 = Page == 1 || (Page == -1 && FB0.Shown);
    FB0.Shown = !ShowPage1;
    FB1.Shown = ShowPage1;
    const std::uint32_t Start = ShowPage1 ? FB1.SMemStart : FB0.SMemStart;
    WriteAddressPair(RegDisplayStartLow, RegDisplayStartHigh, Start);
    // Page 0's pixel size serves both pages: they are set up alike.
    WriteAddressPair(RegDisplayStart2Low, RegDisplayStart2High, Start + static_cast<std::uint32_t>(FB0.BytesPerPixel));
}

void FlipVideoPage(bool WaitVSync)
{
    ShowVideoPage(-1);
    if (!WaitVSync)
        return;
    // A level test: when vertical sync is already on, the first read ends the wait.
    while ((ReadReg16(RegDisplayStatus) & DisplayStatusVSync) == 0) {
    }
}

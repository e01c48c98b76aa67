// DrawText with any text, position and colour, drawn into a drawing page that is a heap block of exactly one
// page, so that AddressSanitizer catches any pixel written beyond it. Every run's page is compared with the
// page worked out pixel by pixel from the font table: the ink of each character cell that falls in columns 0 to
// 319 and rows 0 to 238, in the caller's colour, and nothing else.
//
// Input: X and Y as little-endian 32-bit words, the colour as a little-endian 16-bit word, then the text.

#include "device/device_state.h"
#include "device/font6x13.h"
#include "device/text.h"
#include "device/video_pages.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::uint8_t Background = 0x5A;

std::vector<std::uint8_t> Drawing(PageBytes);
std::vector<std::uint8_t> Shown(PageBytes);
std::vector<std::uint8_t> Wanted(PageBytes);
const std::vector<std::uint8_t> Blank(PageBytes, Background);

std::uint32_t Word(const std::uint8_t* At)
{
    return static_cast<std::uint32_t>(At[0] | At[1] << 8 | At[2] << 16) | static_cast<std::uint32_t>(At[3]) << 24;
}

bool IsInk(unsigned char Code, int Row, int Column)
{
    const std::uint8_t* Pixel = Font6x13 + Code * FontGlyphBytes + Row * FontRowBytes + Column * 2;
    return (Pixel[0] | Pixel[1] << 8) != FontTransparent;
}

// The page DrawText should leave: at most 255 characters, up to the first NUL.
void WorkOutPage(std::int64_t X, std::int64_t Y, const std::string& Text, std::uint16_t Color)
{
    Wanted = Blank;
    for (std::size_t Index = 0; Index < Text.size() && Index < 255 && Text[Index] != '\0'; ++Index)
        for (int Row = 0; Row < 13; ++Row)
            for (int Column = 0; Column < 6; ++Column) {
                const std::int64_t PixelX = X + 6 * static_cast<std::int64_t>(Index) + Column;
                const std::int64_t PixelY = Y + Row;
                if (PixelX < 0 || PixelX >= 320 || PixelY < 0 || PixelY >= 239 ||
                    !IsInk(static_cast<unsigned char>(Text[Index]), Row, Column))
                    continue;
                const std::size_t Offset = static_cast<std::size_t>(PixelY * PageStride + PixelX * 2);
                Wanted[Offset] = static_cast<std::uint8_t>(Color);
                Wanted[Offset + 1] = static_cast<std::uint8_t>(Color >> 8);
            }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The page records as video set-up leaves them, with page 1 shown: DrawText draws into page 0.
    DeviceInitialization();
    VideoReady = true;
    FB0.Screen = Drawing.data();
    FB0.Shown = false;
    FB1.Screen = Shown.data();
    FB1.Shown = true;
    Shown = Blank;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    if (Size < 10)
        return 0;
    const auto X = static_cast<std::int32_t>(Word(Data));
    const auto Y = static_cast<std::int32_t>(Word(Data + 4));
    const auto Color = static_cast<std::uint16_t>(Data[8] | Data[9] << 8);
    const std::string Text(reinterpret_cast<const char*>(Data + 10), Size - 10);

    Drawing = Blank;
    DrawText(X, Y, Text, Color);
    WorkOutPage(X, Y, Text, Color);
    if (Drawing != Wanted)
        __builtin_trap(); // a pixel differs from the font's ink clipped to the screen
    if (Shown != Blank)
        __builtin_trap(); // the shown page was drawn into
    return 0;
}

#include "device/text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "device/font6x13.h"
#include "device/video_pages.h"

namespace {

constexpr int GlyphWidth = 6;
constexpr int GlyphHeight = 13;
constexpr std::size_t MaxCharacters = 255;
// Text stays off the page's last row: rows 0 to 238 only.
constexpr std::int64_t TextBottom = 239;

// Each glyph row as one byte, bit k set where column k is ink. Built from Font6x13 once, so that the frame loop
// tests six pixels at a time instead of comparing every pixel of the table with the transparent value.
using TGlyphRows = std::array<std::array<std::uint8_t, GlyphHeight>, 256>;

TGlyphRows BuildGlyphRows()
{
    TGlyphRows Rows{};
    for (int Code = 0; Code < 256; ++Code)
        for (int Row = 0; Row < GlyphHeight; ++Row)
            for (int Column = 0; Column < GlyphWidth; ++Column) {
                const std::uint8_t* Pixel = Font6x13 + Code * FontGlyphBytes + Row * FontRowBytes + Column * 2;
                if ((Pixel[0] | Pixel[1] << 8) != FontTransparent)
                    Rows[Code][Row] |= static_cast<std::uint8_t>(1u << Column);
            }
    return Rows;
}

const TGlyphRows& GlyphRows()
{
    static const TGlyphRows Rows = BuildGlyphRows();
    return Rows;
}

// The ink of every glyph as byte offsets in a page from its cell's top-left pixel, row by row and left to right, so
// that a cell wholly on the screen is drawn without testing its pixels. Glyph Code's offsets are
// Offsets[First[Code]] up to Offsets[First[Code + 1]].
struct TGlyphInk {
    std::vector<std::uint16_t> Offsets;
    std::array<std::size_t, 257> First;
};

TGlyphInk BuildGlyphInk()
{
    TGlyphInk Ink{};
    const TGlyphRows& Rows = GlyphRows();
    for (int Code = 0; Code < 256; ++Code) {
        Ink.First[Code] = Ink.Offsets.size();
        for (int Row = 0; Row < GlyphHeight; ++Row)
            for (int Column = 0; Column < GlyphWidth; ++Column)
                if (Rows[Code][Row] >> Column & 1u)
                    Ink.Offsets.push_back(static_cast<std::uint16_t>(Row * PageStride + Column * 2));
    }
    Ink.First[256] = Ink.Offsets.size();
    return Ink;
}

const TGlyphInk& GlyphInk()
{
    static const TGlyphInk Ink = BuildGlyphInk();
    return Ink;
}

} // namespace

void DrawText(std::int32_t X, std::int32_t Y, const std::string& Text, std::uint16_t Color)
{
    char Buffer[MaxCharacters + 1];
    Buffer[Text.copy(Buffer, MaxCharacters)] = '\0';
    auto* Page = static_cast<std::uint8_t*>(GetVideoBuffer());
    if (Page == nullptr)
        return; // no drawing page (GetVideoBuffer has said so): nothing to draw into
    const std::size_t Count = std::strlen(Buffer);

    // The clip is worked out per cell rather than per pixel; it selects exactly the pixels with 0 <= px < 320 and
    // 0 <= py < 239. Positions are 64-bit, so that no pen position or row of any X and Y overflows.
    const std::int64_t FirstRow = std::max<std::int64_t>(0, -static_cast<std::int64_t>(Y));
    const std::int64_t EndRow = std::min<std::int64_t>(GlyphHeight, TextBottom - Y);
    const std::uint8_t Ink[2] = {static_cast<std::uint8_t>(Color & 0xFF), static_cast<std::uint8_t>(Color >> 8)};
    const TGlyphRows& Rows = GlyphRows();
    const TGlyphInk& Whole = GlyphInk();
    const bool AllRows = FirstRow == 0 && EndRow == GlyphHeight;
    for (std::size_t I = 0; I < Count && FirstRow < EndRow; ++I) {
        const std::int64_t PenX = X + GlyphWidth * static_cast<std::int64_t>(I);
        if (PenX >= PageWidth)
            break; // every later character lies further right
        const std::int64_t FirstColumn = std::max<std::int64_t>(0, -PenX);
        const std::int64_t EndColumn = std::min<std::int64_t>(GlyphWidth, PageWidth - PenX);
        if (FirstColumn >= EndColumn)
            continue; // wholly left of the screen
        const auto Code = static_cast<unsigned char>(Buffer[I]);
        if (AllRows && FirstColumn == 0 && EndColumn == GlyphWidth) {
            std::uint8_t* Cell = Page + (std::int64_t{Y} * PageStride + PenX * 2);
            const std::uint16_t* const End = Whole.Offsets.data() + Whole.First[Code + 1];
            for (const std::uint16_t* Pixel = Whole.Offsets.data() + Whole.First[Code]; Pixel != End; ++Pixel)
                std::memcpy(Cell + *Pixel, Ink, 2);
            continue;
        }
        const auto& Glyph = Rows[Code];
        // The columns of the cell on the screen, as bits of a glyph row.
        const unsigned Columns = (1u << EndColumn) - (1u << FirstColumn);
        for (std::int64_t Row = FirstRow; Row < EndRow; ++Row) {
            const std::int64_t Cell = (Y + Row) * PageStride + PenX * 2;
            // Left to right, ink only: one set bit at a time.
            for (unsigned Bits = Glyph[Row] & Columns; Bits != 0; Bits &= Bits - 1)
                std::memcpy(Page + (Cell + __builtin_ctz(Bits) * 2), Ink, 2);
        }
    }
}

#pragma once
// Windows bitmaps put together byte by byte, so that each header field can hold any value, plain or hostile.

#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t BmpRle8 = 1;
constexpr std::uint32_t BmpRle4 = 2;
constexpr std::uint32_t BmpBitFields = 3;

struct TBmp {
    std::int32_t Width = 0;
    std::int32_t Height = 0;            // negative: rows top-down
    std::uint16_t Bits = 24;
    std::uint32_t Compression = 0;
    std::uint32_t ColorsUsed = 0;       // 0 means 2 to the power of Bits
    std::vector<std::uint32_t> Palette; // 0x00RRGGBB
    std::vector<std::uint32_t> Masks;   // red, green, blue, after the header
    std::string Pixels;                 // exactly as stored
};

// The 54 bytes of the two headers, then the masks, the palette and the pixels.
std::string BmpFile(const TBmp& Bmp);
// A picture that differs from pixel to pixel: below 16 bits with a grey palette, with bit fields when Masks are given.
TBmp MakeBmp(int Bits, std::int32_t Width, std::int32_t Height, std::vector<std::uint32_t> Masks = {});
// Run-length coded rows of 4 or 8 bits: runs of up to 40 pixels, an end-of-line after each row, an end-of-bitmap.
TBmp RleBmp(int Bits, std::int32_t Width, std::int32_t Height);
// RLE8 codes that point outside the image: a run longer than a row, deltas past the edges, an absolute run that
// overruns, and no end-of-bitmap.
TBmp HostileRleBmp();

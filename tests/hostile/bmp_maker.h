#pragma once
// Windows bitmaps of every kind the image loader may meet, put together byte by byte, so that each header field can
// hold any value, plain or hostile.

#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t BmpRgb = 0;       // uncompressed
constexpr std::uint32_t BmpRle8 = 1;
constexpr std::uint32_t BmpRle4 = 2;
constexpr std::uint32_t BmpBitFields = 3; // three colour masks follow the header

struct TBmp {
    std::int32_t Width = 0;
    std::int32_t Height = 0;              // negative: rows top-down
    std::uint16_t Bits = 24;
    std::uint32_t Compression = BmpRgb;
    std::uint32_t ColorsUsed = 0;         // as written in the header; 0 means 2 to the power of Bits
    std::vector<std::uint32_t> Palette;   // 0x00RRGGBB entries, written as blue, green, red, 0
    std::vector<std::uint32_t> Masks;     // red, green, blue, written after the header with BmpBitFields
    std::string Pixels;                   // the pixel data exactly as stored in the file
};

// The file: the 14-byte file header, the 40-byte information header, the masks, the palette and the pixels, with
// the file size and the pixel data's offset filled in to match.
std::string BmpFile(const TBmp& Bmp);

// The end of each field of the two headers, in bytes from the start of the file, first to last.
std::vector<std::size_t> BmpHeaderFieldEnds();

// Ready-made images of a picture that differs from pixel to pixel.
TBmp PaletteBmp(int Bits, std::int32_t Width, std::int32_t Height);     // grey palette of 2 to the Bits entries
TBmp TrueColourBmp(int Bits, std::int32_t Width, std::int32_t Height);  // 16, 24 or 32 bits, no masks
TBmp BitFieldsBmp(int Bits, std::vector<std::uint32_t> Masks, std::int32_t Width, std::int32_t Height);
// Run-length coded rows, bottom row first: runs of up to 40 pixels, an end-of-line after each row and an
// end-of-bitmap at the end. RLE4 runs alternate the two indices of their byte. Bits is 8 or 4.
TBmp RleBmp(int Bits, std::int32_t Width, std::int32_t Height);
// An RLE8 image whose codes point outside it: a run far longer than a row, a delta that jumps past the last row
// and the right edge, an absolute run that overruns, and no end-of-bitmap.
TBmp HostileRleBmp();

// Uncompressed rows, bottom row first unless Height is negative, each padded to 4 bytes. Pixel(X, Y) gives the
// value of the pixel in column X of image row Y (row 0 at the top) in the low Bits bits.
template <typename TPixel>
std::string BmpRows(std::int32_t Width, std::int32_t Height, int Bits, TPixel Pixel)
{
    const std::int32_t Rows = Height < 0 ? -Height : Height;
    const std::size_t RowBytes = (static_cast<std::size_t>(Width) * Bits + 31) / 32 * 4;
    std::string Data;
    for (std::int32_t Stored = 0; Stored < Rows; ++Stored) {
        const std::int32_t Y = Height < 0 ? Stored : Rows - 1 - Stored;
        std::string Row(RowBytes, '\0');
        for (std::int32_t X = 0; X < Width; ++X) {
            const std::uint32_t Value = Pixel(X, Y);
            if (Bits < 8) {
                const std::size_t Bit = static_cast<std::size_t>(X) * Bits;
                const int Shift = 8 - Bits - static_cast<int>(Bit % 8);
                Row[Bit / 8] = static_cast<char>(Row[Bit / 8] | (Value & ((1u << Bits) - 1)) << Shift);
            } else {
                for (int Byte = 0; Byte < Bits / 8; ++Byte)
                    Row[static_cast<std::size_t>(X) * (Bits / 8) + Byte] = static_cast<char>(Value >> 8 * Byte);
            }
        }
        Data += Row;
    }
    return Data;
}

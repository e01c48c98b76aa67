#include "hostile/bmp_maker.h"

#include <algorithm>

namespace {

void Put16(std::string& Data, std::uint32_t Value)
{
    Data += static_cast<char>(Value & 0xFF);
    Data += static_cast<char>(Value >> 8 & 0xFF);
}

void Put32(std::string& Data, std::uint32_t Value)
{
    Put16(Data, Value & 0xFFFF);
    Put16(Data, Value >> 16);
}

// A picture of stripes and gradients that differs from pixel to pixel.
std::uint32_t Shade(std::int32_t X, std::int32_t Y)
{
    return static_cast<std::uint32_t>(X * 7 + Y * 13 + (X ^ Y));
}

std::vector<std::uint32_t> GreyPalette(int Entries)
{
    std::vector<std::uint32_t> Palette;
    for (int Index = 0; Index < Entries; ++Index) {
        const std::uint32_t Level = static_cast<std::uint32_t>(Index * 255 / (Entries > 1 ? Entries - 1 : 1));
        Palette.push_back(Level << 16 | Level << 8 | Level);
    }
    return Palette;
}

} // namespace

std::string BmpFile(const TBmp& Bmp)
{
    constexpr std::uint32_t HeaderBytes = 14 + 40;
    std::string Tables;
    if (Bmp.Compression == BmpBitFields)
        for (std::uint32_t Mask : Bmp.Masks)
            Put32(Tables, Mask);
    for (std::uint32_t Entry : Bmp.Palette)
        Put32(Tables, Entry & 0x00FFFFFF);
    const auto Offset = static_cast<std::uint32_t>(HeaderBytes + Tables.size());

    std::string File = "BM";
    Put32(File, Offset + static_cast<std::uint32_t>(Bmp.Pixels.size())); // file size
    Put32(File, 0);                                                      // reserved
    Put32(File, Offset);                                                 // pixel data offset
    Put32(File, 40);                                                     // information header size
    Put32(File, static_cast<std::uint32_t>(Bmp.Width));
    Put32(File, static_cast<std::uint32_t>(Bmp.Height));
    Put16(File, 1);                                                      // planes
    Put16(File, Bmp.Bits);
    Put32(File, Bmp.Compression);
    Put32(File, static_cast<std::uint32_t>(Bmp.Pixels.size()));          // image size
    Put32(File, 2835);                                                   // 72 dpi across
    Put32(File, 2835);                                                   // and down
    Put32(File, Bmp.ColorsUsed);
    Put32(File, 0);                                                      // important colours: all
    return File + Tables + Bmp.Pixels;
}

std::vector<std::size_t> BmpHeaderFieldEnds()
{
    // Type, file size, reserved, offset; header size, width, height, planes, bits, compression, image size,
    // resolution across and down, colours used, colours important.
    return {2, 6, 10, 14, 18, 22, 26, 28, 30, 34, 38, 42, 46, 50, 54};
}

TBmp PaletteBmp(int Bits, std::int32_t Width, std::int32_t Height)
{
    TBmp Bmp;
    Bmp.Width = Width;
    Bmp.Height = Height;
    Bmp.Bits = static_cast<std::uint16_t>(Bits);
    Bmp.Palette = GreyPalette(1 << Bits);
    Bmp.Pixels = BmpRows(Width, Height, Bits, [Bits](std::int32_t X, std::int32_t Y) {
        return Shade(X, Y) & ((1u << Bits) - 1);
    });
    return Bmp;
}

TBmp TrueColourBmp(int Bits, std::int32_t Width, std::int32_t Height)
{
    TBmp Bmp;
    Bmp.Width = Width;
    Bmp.Height = Height;
    Bmp.Bits = static_cast<std::uint16_t>(Bits);
    Bmp.Pixels = BmpRows(Width, Height, Bits, Shade);
    return Bmp;
}

TBmp BitFieldsBmp(int Bits, std::vector<std::uint32_t> Masks, std::int32_t Width, std::int32_t Height)
{
    TBmp Bmp = TrueColourBmp(Bits, Width, Height);
    Bmp.Compression = BmpBitFields;
    Bmp.Masks = std::move(Masks);
    return Bmp;
}

TBmp RleBmp(int Bits, std::int32_t Width, std::int32_t Height)
{
    TBmp Bmp = PaletteBmp(Bits, Width, Height);
    Bmp.Compression = Bits == 8 ? BmpRle8 : BmpRle4;
    Bmp.Pixels.clear();
    for (std::int32_t Y = Height - 1; Y >= 0; --Y) {
        for (std::int32_t X = 0; X < Width; X += 40) {
            const std::int32_t Run = std::min<std::int32_t>(40, Width - X);
            const std::uint32_t Index = Shade(X, Y) & ((1u << Bits) - 1);
            Bmp.Pixels += static_cast<char>(Run);
            Bmp.Pixels += static_cast<char>(Bits == 8 ? Index : (Index << 4 | ((Index + 5) & 0xF)));
        }
        Bmp.Pixels += std::string("\0\0", 2);
    }
    Bmp.Pixels += std::string("\0\1", 2);
    return Bmp;
}

TBmp HostileRleBmp()
{
    TBmp Bmp = PaletteBmp(8, 64, 16);
    Bmp.Compression = BmpRle8;
    Bmp.Pixels = std::string("\xFF\x10\xFF\x20\x00\x02\xFF\xFF\x05\x30\x00\x00", 12);
    Bmp.Pixels += std::string("\x00\xFF", 2) + std::string(255, '\x07') + std::string(1, '\0');
    Bmp.Pixels += std::string("\x00\x02\x00\x7F\x10\x40", 6);
    return Bmp;
}

#include "hostile/bmp_maker.h"

#include <algorithm>
#include <cstdlib>

namespace {

void Put(std::string& Data, std::uint32_t Value, int Bytes)
{
    for (int Byte = 0; Byte < Bytes; ++Byte)
        Data += static_cast<char>(Value >> 8 * Byte & 0xFF);
}

std::uint32_t Shade(std::int32_t X, std::int32_t Y)
{
    return static_cast<std::uint32_t>(X * 7 + Y * 13 + (X ^ Y));
}

} // namespace

std::string BmpFile(const TBmp& Bmp)
{
    std::string Tables;
    for (std::uint32_t Mask : Bmp.Masks)
        Put(Tables, Mask, 4);
    for (std::uint32_t Entry : Bmp.Palette)
        Put(Tables, Entry & 0x00FFFFFF, 4);
    const auto Offset = static_cast<std::uint32_t>(54 + Tables.size());
    const auto Size = static_cast<std::uint32_t>(Bmp.Pixels.size());
    std::string File = "BM";
    // File size, reserved, offset, header size, width, height; planes, bits; compression, image size, resolution
    // across and down, colours used and important.
    for (std::uint32_t Field : {Offset + Size, 0u, Offset, 40u, static_cast<std::uint32_t>(Bmp.Width),
                                static_cast<std::uint32_t>(Bmp.Height)})
        Put(File, Field, 4);
    Put(File, 1, 2);
    Put(File, Bmp.Bits, 2);
    for (std::uint32_t Field : {Bmp.Compression, Size, 2835u, 2835u, Bmp.ColorsUsed, 0u})
        Put(File, Field, 4);
    return File + Tables + Bmp.Pixels;
}

TBmp MakeBmp(int Bits, std::int32_t Width, std::int32_t Height, std::vector<std::uint32_t> Masks)
{
    TBmp Bmp;
    Bmp.Width = Width;
    Bmp.Height = Height;
    Bmp.Bits = static_cast<std::uint16_t>(Bits);
    Bmp.Compression = Masks.empty() ? 0 : BmpBitFields;
    Bmp.Masks = std::move(Masks);
    const std::uint32_t Mask = Bits < 16 ? (1u << Bits) - 1 : 0xFFFFFFFF;
    for (std::uint32_t Index = 0; Bits < 16 && Index <= Mask; ++Index)
        Bmp.Palette.push_back(Index * 255 / Mask * 0x010101);
    const std::size_t RowBytes = (static_cast<std::size_t>(Width) * Bits + 31) / 32 * 4;
    for (std::int32_t Stored = 0; Stored < std::abs(Height); ++Stored) {
        const std::int32_t Y = Height < 0 ? Stored : Height - 1 - Stored;
        std::string Row(RowBytes, '\0');
        for (std::int32_t X = 0; X < Width; ++X) {
            const std::uint32_t Value = Shade(X, Y) & Mask;
            const std::size_t Bit = static_cast<std::size_t>(X) * Bits;
            if (Bits < 8)
                Row[Bit / 8] = static_cast<char>(Row[Bit / 8] | Value << (8 - Bits - static_cast<int>(Bit % 8)));
            for (int Byte = 0; Byte < Bits / 8; ++Byte)
                Row[Bit / 8 + Byte] = static_cast<char>(Value >> 8 * Byte);
        }
        Bmp.Pixels += Row;
    }
    return Bmp;
}

TBmp RleBmp(int Bits, std::int32_t Width, std::int32_t Height)
{
    TBmp Bmp = MakeBmp(Bits, Width, Height);
    Bmp.Compression = Bits == 8 ? BmpRle8 : BmpRle4;
    Bmp.Pixels.clear();
    for (std::int32_t Y = Height - 1; Y >= 0; --Y) {
        for (std::int32_t X = 0; X < Width; X += 40) {
            const std::uint32_t Index = Shade(X, Y) & ((1u << Bits) - 1);
            Bmp.Pixels += static_cast<char>(std::min<std::int32_t>(40, Width - X));
            Bmp.Pixels += static_cast<char>(Bits == 8 ? Index : (Index << 4 | ((Index + 5) & 0xF)));
        }
        Bmp.Pixels += std::string("\0\0", 2);
    }
    Bmp.Pixels += std::string("\0\1", 2);
    return Bmp;
}

TBmp HostileRleBmp()
{
    TBmp Bmp = MakeBmp(8, 64, 16);
    Bmp.Compression = BmpRle8;
    Bmp.Pixels = std::string("\xFF\x10\xFF\x20\x00\x02\xFF\xFF\x05\x30\x00\x00", 12) + std::string("\x00\xFF", 2) +
                 std::string(255, '\x07') + std::string(1, '\0') + std::string("\x00\x02\x00\x7F\x10\x40", 6);
    return Bmp;
}

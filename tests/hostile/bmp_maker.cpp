#include "hostile/bmp_maker.h"

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

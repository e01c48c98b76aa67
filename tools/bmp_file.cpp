#include "bmp_file.h"

#include "whole_file.h"

namespace {

void PutLe16(std::vector<std::uint8_t>& Out, std::uint32_t Value)
{
    Out.push_back(static_cast<std::uint8_t>(Value));
    Out.push_back(static_cast<std::uint8_t>(Value >> 8));
}

void PutLe32(std::vector<std::uint8_t>& Out, std::uint32_t Value)
{
    PutLe16(Out, Value & 0xFFFFu);
    PutLe16(Out, Value >> 16);
}

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t PixelsPerMetre = 2835; // 72 dots per inch, what most viewers assume

} // namespace

bool WriteBmp24(const std::string& File, const TRgbImage& Image, std::string& Error)
{
    if (Image.Width <= 0 || Image.Height <= 0
        || Image.Pixels.size() != static_cast<std::size_t>(Image.Width) * Image.Height * 3) {
        Error = "the image has no pixels or its size does not match its pixel data";
        return false;
    }
    const std::uint32_t RowBytes = (static_cast<std::uint32_t>(Image.Width) * 3 + 3) & ~3u;
    const std::uint32_t PixelBytes = RowBytes * static_cast<std::uint32_t>(Image.Height);

    std::vector<std::uint8_t> Out;
    Out.reserve(FileHeaderSize + InfoHeaderSize + PixelBytes);
    Out.push_back('B');
    Out.push_back('M');
    PutLe32(Out, FileHeaderSize + InfoHeaderSize + PixelBytes);
    PutLe32(Out, 0); // two reserved words
    PutLe32(Out, FileHeaderSize + InfoHeaderSize);
    PutLe32(Out, InfoHeaderSize);
    PutLe32(Out, static_cast<std::uint32_t>(Image.Width));
    PutLe32(Out, static_cast<std::uint32_t>(Image.Height)); // positive: the rows are stored bottom-up
    PutLe16(Out, 1);                                        // planes
    PutLe16(Out, 24);                                       // bits per pixel
    PutLe32(Out, 0);                                        // no compression
    PutLe32(Out, PixelBytes);
    PutLe32(Out, PixelsPerMetre);
    PutLe32(Out, PixelsPerMetre);
    PutLe32(Out, 0); // colours used and important colours: no palette
    PutLe32(Out, 0);

    for (int Y = Image.Height - 1; Y >= 0; --Y) {
        const std::uint8_t* Row = &Image.Pixels[static_cast<std::size_t>(Y) * Image.Width * 3];
        for (int X = 0; X < Image.Width; ++X) {
            Out.push_back(Row[X * 3 + 2]);
            Out.push_back(Row[X * 3 + 1]);
            Out.push_back(Row[X * 3]);
        }
        Out.resize(Out.size() + (RowBytes - static_cast<std::uint32_t>(Image.Width) * 3), 0);
    }

    return WriteWholeFile(File, Out, Error);
}

#include "fps_reader.h"

#include "device/font6x13.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace {

constexpr int ScreenWidth = 320;
constexpr int ScreenHeight = 240;
constexpr int GlyphWidth = 6;
constexpr int GlyphHeight = 13;
// The loop draws "FPS:    " and the figure at (10, 10): the figure starts 8 cells in.
constexpr int FigureX = 10 + 8 * GlyphWidth;
constexpr int FigureY = 10;
constexpr int MaxDigits = 6;
// A few background pixels of the text's own white may lie in a cell; more than this and the cell is no glyph.
constexpr int MaxMismatches = 6;

bool GlyphInk(int Code, int Row, int Column)
{
    const std::uint8_t* Pixel = Font6x13 + Code * FontGlyphBytes + Row * FontRowBytes + Column * 2;
    return (Pixel[0] | Pixel[1] << 8) != FontTransparent;
}

// The character (' ' or a digit) whose glyph best matches the cell at X, or 0 when none matches well enough.
char ReadCell(const std::vector<std::uint8_t>& Rgb, int X)
{
    int BestMismatches = MaxMismatches + 1;
    char Best = 0;
    for (char Candidate : std::string(" 0123456789")) {
        int Mismatches = 0;
        for (int Row = 0; Row < GlyphHeight; ++Row)
            for (int Column = 0; Column < GlyphWidth; ++Column) {
                const std::uint8_t* Pixel = &Rgb[((FigureY + Row) * ScreenWidth + X + Column) * 3];
                const bool White = Pixel[0] == 255 && Pixel[1] == 255 && Pixel[2] == 255;
                Mismatches += White != GlyphInk(static_cast<unsigned char>(Candidate), Row, Column);
            }
        if (Mismatches < BestMismatches) {
            BestMismatches = Mismatches;
            Best = Candidate;
        }
    }
    return Best;
}

} // namespace

int ReadFramesPerSecond(const std::string& SnapshotFile)
{
    png_image Image;
    std::memset(&Image, 0, sizeof Image);
    Image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&Image, SnapshotFile.c_str()) == 0)
        return -1;
    Image.format = PNG_FORMAT_RGB;
    if (Image.width != ScreenWidth || Image.height != ScreenHeight) {
        png_image_free(&Image);
        return -1;
    }
    std::vector<std::uint8_t> Rgb(PNG_IMAGE_SIZE(Image));
    if (png_image_finish_read(&Image, nullptr, Rgb.data(), 0, nullptr) == 0)
        return -1;
    int Figure = -1;
    for (int Digit = 0; Digit < MaxDigits; ++Digit) {
        const char Cell = ReadCell(Rgb, FigureX + Digit * GlyphWidth);
        if (Cell < '0' || Cell > '9')
            break;
        Figure = (Figure < 0 ? 0 : Figure * 10) + (Cell - '0');
    }
    return Figure;
}

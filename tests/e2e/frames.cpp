#include "e2e/frames.h"

#include "device/font6x13.h"

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>

TFrame ReadPng(const std::string& Path)
{
    png_image Image{};
    Image.version = PNG_IMAGE_VERSION;
    std::vector<std::uint8_t> Rgb(ScreenWidth * ScreenHeight * 3);
    if (png_image_begin_read_from_file(&Image, Path.c_str()) == 0 || Image.width != ScreenWidth ||
        Image.height != ScreenHeight) {
        ADD_FAILURE() << "no 320 x 240 PNG in " << Path;
        png_image_free(&Image);
        return {};
    }
    Image.format = PNG_FORMAT_RGB;
    EXPECT_NE(png_image_finish_read(&Image, nullptr, Rgb.data(), 0, nullptr), 0) << Path;
    TFrame Frame(ScreenWidth * ScreenHeight);
    for (std::size_t Index = 0; Index < Frame.size(); ++Index) {
        const std::uint8_t* Pixel = &Rgb[Index * 3];
        Frame[Index] = static_cast<std::uint16_t>((Pixel[0] >> 3) << 11 | (Pixel[1] >> 2) << 5 | Pixel[2] >> 3);
    }
    return Frame;
}

void DrawExpectedText(TFrame& Frame, int X, int Y, const std::string& Text)
{
    for (std::size_t Index = 0; Index < Text.size(); ++Index)
        for (int Row = 0; Row < 13; ++Row)
            for (int Column = 0; Column < 6; ++Column) {
                const int Offset = static_cast<unsigned char>(Text[Index]) * FontGlyphBytes + Row * FontRowBytes +
                                   Column * 2;
                const int PixelX = X + static_cast<int>(Index) * 6 + Column;
                if ((Font6x13[Offset] | Font6x13[Offset + 1] << 8) != FontTransparent && PixelX < ScreenWidth &&
                    Y + Row < ScreenHeight - 1)
                    Frame[(Y + Row) * ScreenWidth + PixelX] = White;
            }
}

void ExpectFrame(const TFrame& Actual, const TFrame& Expected, const std::string& Snapshot)
{
    if (Actual == Expected)
        return;
    std::size_t First = 0;
    while (First < std::min(Actual.size(), Expected.size()) && Actual[First] == Expected[First])
        ++First;
    const std::filesystem::path Folder = std::filesystem::path(BRIMLET_BINARY_DIR) / "tests" / "e2e-output";
    const std::filesystem::path Copy = Folder / std::filesystem::path(Snapshot).filename();
    std::filesystem::create_directories(Folder);
    std::filesystem::copy_file(Snapshot, Copy, std::filesystem::copy_options::overwrite_existing);
    ADD_FAILURE() << Snapshot << " differs first at (" << First % ScreenWidth << ", " << First / ScreenWidth
                  << "); it is kept as " << Copy;
}

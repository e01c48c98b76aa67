#include "e2e/frames.h"

#include "device/font6x13.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>

namespace {

constexpr int GlyphWidth = 6;
constexpr int GlyphHeight = 13;
constexpr int TextRowLimit = ScreenHeight - 1; // the text never touches the last row

std::uint8_t Expand5(unsigned Value) { return static_cast<std::uint8_t>(Value << 3 | Value >> 2); }
std::uint8_t Expand6(unsigned Value) { return static_cast<std::uint8_t>(Value << 2 | Value >> 4); }

bool WritePng(const std::string& Path, const TFrame& Frame)
{
    std::vector<std::uint8_t> Rgb;
    Rgb.reserve(Frame.size() * 3);
    for (std::uint16_t Pixel : Frame) {
        Rgb.push_back(Expand5(Pixel >> 11));
        Rgb.push_back(Expand6(Pixel >> 5 & 0x3F));
        Rgb.push_back(Expand5(Pixel & 0x1F));
    }
    png_image Image{};
    Image.version = PNG_IMAGE_VERSION;
    Image.width = ScreenWidth;
    Image.height = ScreenHeight;
    Image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&Image, Path.c_str(), 0, Rgb.data(), 0, nullptr) != 0;
}

bool GlyphInk(int Code, int Row, int Column)
{
    const int Offset = Code * FontGlyphBytes + Row * FontRowBytes + Column * 2;
    const std::uint16_t Value = static_cast<std::uint16_t>(Font6x13[Offset] | Font6x13[Offset + 1] << 8);
    return Value != FontTransparent;
}

bool CellMatches(const TFrame& Frame, int X, int Y, int Code)
{
    for (int Row = 0; Row < GlyphHeight; ++Row)
        for (int Column = 0; Column < GlyphWidth; ++Column) {
            const int PixelX = X + Column;
            const int PixelY = Y + Row;
            if (PixelX >= ScreenWidth || PixelY >= TextRowLimit)
                continue;
            const bool Ink = Frame[PixelY * ScreenWidth + PixelX] == White;
            if (Ink != GlyphInk(Code, Row, Column))
                return false;
        }
    return true;
}

} // namespace

TFrame ReadSnapshot(const std::string& Path)
{
    png_image Image{};
    Image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&Image, Path.c_str()) == 0) {
        ADD_FAILURE() << "cannot read " << Path;
        return {};
    }
    Image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> Rgb(PNG_IMAGE_SIZE(Image));
    if (png_image_finish_read(&Image, nullptr, Rgb.data(), 0, nullptr) == 0) {
        ADD_FAILURE() << "cannot decode " << Path;
        return {};
    }
    if (Image.width != ScreenWidth || Image.height != ScreenHeight) {
        ADD_FAILURE() << Path << " is " << Image.width << " x " << Image.height;
        return {};
    }
    TFrame Frame(ScreenWidth * ScreenHeight);
    for (std::size_t Index = 0; Index < Frame.size(); ++Index) {
        const std::uint8_t* Pixel = &Rgb[Index * 3];
        Frame[Index] = static_cast<std::uint16_t>((Pixel[0] >> 3) << 11 | (Pixel[1] >> 2) << 5 | Pixel[2] >> 3);
    }
    return Frame;
}

void DrawExpectedText(TFrame& Frame, int X, int Y, const std::string& Text, std::uint16_t Color)
{
    for (std::size_t Index = 0; Index < Text.size(); ++Index)
        for (int Row = 0; Row < GlyphHeight; ++Row)
            for (int Column = 0; Column < GlyphWidth; ++Column) {
                const int PixelX = X + static_cast<int>(Index) * GlyphWidth + Column;
                const int PixelY = Y + Row;
                if (PixelX >= 0 && PixelX < ScreenWidth && PixelY >= 0 && PixelY < TextRowLimit &&
                    GlyphInk(static_cast<unsigned char>(Text[Index]), Row, Column))
                    Frame[PixelY * ScreenWidth + PixelX] = Color;
            }
}

std::string ReadText(const TFrame& Frame, int X, int Y, int Cells)
{
    std::string Text;
    for (int Cell = 0; Cell < Cells; ++Cell) {
        char Found = '?';
        for (int Code = 32; Code < 127; ++Code)
            if (CellMatches(Frame, X + Cell * GlyphWidth, Y, Code)) {
                Found = static_cast<char>(Code);
                break;
            }
        Text += Found;
    }
    return Text.erase(Text.find_last_not_of(' ') + 1);
}

namespace {

// Writes Frame as Name-Kind.png into the build folder's e2e-output and gives its path.
std::string WriteOutput(const std::string& Name, const std::string& Kind, const TFrame& Frame)
{
    const std::filesystem::path Folder = std::filesystem::path(BRIMLET_BINARY_DIR) / "tests" / "e2e-output";
    std::filesystem::create_directories(Folder);
    const std::string File = (Folder / (Name + "-" + Kind + ".png")).string();
    EXPECT_TRUE(WritePng(File, Frame)) << File;
    return File;
}

} // namespace

void ExpectFrame(const TFrame& Actual, const TFrame& Expected, const std::string& Name)
{
    ASSERT_EQ(Actual.size(), Expected.size()) << Name;
    TFrame Difference(Actual.size());
    int Differing = 0;
    int First = -1;
    for (std::size_t Index = 0; Index < Actual.size(); ++Index) {
        if (Actual[Index] == Expected[Index]) {
            Difference[Index] = static_cast<std::uint16_t>((Actual[Index] >> 2) & 0x39E7); // the picture, dimmed
            continue;
        }
        Difference[Index] = 0xF800;
        if (First < 0)
            First = static_cast<int>(Index);
        ++Differing;
    }
    if (Differing == 0)
        return;
    const std::string ActualFile = WriteOutput(Name, "actual", Actual);
    const std::string DifferenceFile = WriteOutput(Name, "diff", Difference);
    ADD_FAILURE() << Name << ": " << Differing << " pixels differ, the first at (" << First % ScreenWidth << ", "
                  << First / ScreenWidth << "): " << std::hex << Actual[First] << " instead of " << Expected[First]
                  << std::dec << "; see " << ActualFile << " and " << DifferenceFile;
}

void ExpectGolden(const TFrame& Actual, const std::string& Name)
{
    const std::string GoldenFile = BRIMLET_SOURCE_DIR "/tests/e2e/golden/" + Name + ".png";
    if (!PathExists(GoldenFile)) {
        ADD_FAILURE() << "no golden image " << GoldenFile << "; the actual frame is "
                      << WriteOutput(Name, "actual", Actual);
        return;
    }
    const TFrame Golden = ReadSnapshot(GoldenFile);
    if (!Golden.empty() && !Actual.empty())
        ExpectFrame(Actual, Golden, Name);
}

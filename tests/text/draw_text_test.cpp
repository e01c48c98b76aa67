// Text drawing, checked pixel by pixel over a whole page: what is inked, in which colour, where the clip cuts, and
// that every other pixel keeps its value.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "device/device_state.h"
#include "device/font6x13.h"
#include "device/text.h"
#include "device/video_pages.h"

namespace {

// A background that differs from pixel to pixel and never equals an ink colour used below.
std::uint16_t Background(int X, int Y)
{
    return static_cast<std::uint16_t>(0x8000 | ((X * 5 + Y * 17) & 0x07FF));
}

// A page as the program sees it, 320 x 240 RGB565 pixels (the host is little-endian), between two guard rows
// that are checked like the page itself.
struct TPage {
    std::vector<std::uint16_t> Pixels = std::vector<std::uint16_t>(320 * 242);

    TPage() { Clear(); }
    void Clear()
    {
        for (int Y = -1; Y <= 240; ++Y)
            for (int X = 0; X < 320; ++X)
                At(X, Y) = Background(X, Y);
    }
    std::uint16_t* Screen() { return &At(0, 0); }
    std::uint16_t& At(long long X, long long Y) { return Pixels[static_cast<std::size_t>((Y + 1) * 320 + X)]; }
    int Changed()
    {
        int Count = 0;
        for (int Y = -1; Y <= 240; ++Y)
            for (int X = 0; X < 320; ++X)
                Count += At(X, Y) != Background(X, Y);
        return Count;
    }
};

// The background with the ink of Text's glyphs from (X, Y), 6 pixels apart, where it lies in columns 0 to 319 and
// rows 0 to 238; the glyphs are read from the table independently of the drawing code.
TPage Expected(const std::string& Text, long long X, long long Y, std::uint16_t Color)
{
    TPage Page;
    for (std::size_t I = 0; I < Text.size(); ++I)
        for (int Row = 0; Row < 13; ++Row)
            for (int Column = 0; Column < 6; ++Column) {
                const int Code = static_cast<unsigned char>(Text[I]);
                const std::uint8_t* Pixel = Font6x13 + Code * 156 + Row * 12 + Column * 2;
                const long long PixelX = X + 6 * static_cast<long long>(I) + Column, PixelY = Y + Row;
                if ((Pixel[0] | Pixel[1] << 8) != 0xF81F && PixelX >= 0 && PixelX < 320 && PixelY >= 0 && PixelY < 239)
                    Page.At(PixelX, PixelY) = Color;
            }
    return Page;
}

// Reports the first few differing pixels, so that a failure shows where the drawing went wrong.
void ExpectSamePage(TPage& Actual, TPage& Wanted)
{
    int Differences = 0;
    for (int Y = -1; Y <= 240; ++Y)
        for (int X = 0; X < 320; ++X)
            if (Actual.At(X, Y) != Wanted.At(X, Y) && ++Differences <= 5)
                ADD_FAILURE() << "pixel (" << X << ", " << Y << ") is " << std::hex << Actual.At(X, Y) << ", want "
                              << Wanted.At(X, Y);
    EXPECT_EQ(Differences, 0);
}

class DrawTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeviceInitialization();
        VideoReady = true;
        FB0.Screen = Page0.Screen();
        FB1.Screen = Page1.Screen();
    }
    void TearDown() override { DeviceInitialization(); }

    TPage Page0;
    TPage Page1;
};

// Each case draws Text at (X, Y) and expects exactly the clipped cells of the characters drawn (Drawn) on the page
// not shown, with Changed ink pixels counted by hand from the glyphs; row 239 is never written.
TEST_F(DrawTextTest, DrawsTheGlyphsClippedToColumnsZeroTo319AndRowsZeroTo238)
{
    struct TCase {
        const char* Name;
        std::int32_t X, Y;
        std::string Text;
        std::uint16_t Color;
        std::string Drawn;
        int Changed;
    };
    const std::string Bars = "\x19\x02\x0F"; // vertical line, checkerboard, crossing: ink on all 13 rows
    const std::string Bars255(255, '\x19');
    const TCase Cases[] = {
        {"capital A", 0, 0, "A", 0x001F, "A", 20},
        {"blanks advance the pen", 0, 0, " A  A", 0xFFFF, " A  A", 40},
        {"empty", 0, 0, "", 0xFFFF, "", 0},
        {"the font's transparent value is a colour", 50, 60, "Vg", 0xF81F, "Vg", -1},
        {"black", 50, 60, "Vg", 0x0000, "Vg", -1},
        {"control codes draw their glyphs", 20, 30, "a\t\n\rb", 0xFFFF, "a\t\n\rb", -1},
        {"cut at the first NUL", 10, 10, std::string("ABCD\0EFG", 8), 0xFFFF, "ABCD", -1},
        // From X = -1500, character 250 lands on column 0 and character 255, the first one cut, would on column 30.
        {"cut after 255 characters", -1500, 20, std::string(300, '\x19'), 0xFFFF, Bars255, 5 * 13},
        {"right edge keeps columns 0 and 1", 318, 50, "AB", 0xFFFF, "AB", 9},
        {"left edge drops columns 0 to 2", -3, 50, "AB", 0xFFFF, "AB", 9 + 23},
        {"bottom rows 9 to 12 dropped", 100, 230, Bars, 0xFFFF, Bars, 9 + 27 + 9 + 5},
        {"row 239 alone dropped", 100, 227, Bars, 0xFFFF, Bars, 12 + 36 + 12 + 5},
        {"top rows 0 to 4 dropped", 100, -5, Bars, 0xFFFF, Bars, 8 + 24 + 8 + 5},
        {"below the last text row", 100, 239, Bars, 0xFFFF, Bars, 0},
        {"above the page", 100, -13, Bars, 0xFFFF, Bars, 0},
        {"right of the page", 320, 0, Bars, 0xFFFF, Bars, 0},
        {"left of the page", -18, 0, Bars, 0xFFFF, Bars, 0},
        {"far left", INT32_MIN, 0, Bars, 0xFFFF, Bars, 0},
        {"far right", INT32_MAX, 0, Bars, 0xFFFF, Bars, 0},
        {"far right, pen positions past the 32-bit range", INT32_MAX - 100, 0, Bars255, 0xFFFF, Bars255, 0},
        {"far down", 0, INT32_MAX, Bars, 0xFFFF, Bars, 0},
        {"far up", 0, INT32_MIN, Bars, 0xFFFF, Bars, 0},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        Page0.Clear(); // in place: the page's address stays the one the device layer holds
        DrawText(Case.X, Case.Y, Case.Text, Case.Color);
        TPage Wanted = Expected(Case.Drawn, Case.X, Case.Y, Case.Color);
        ExpectSamePage(Page0, Wanted);
        if (Case.Changed >= 0) {
            EXPECT_EQ(Page0.Changed(), Case.Changed);
        }
        for (int X = 0; X < 320; ++X)
            ASSERT_EQ(Page0.At(X, 239), Background(X, 239)) << "row 239 written at column " << X;
    }
    EXPECT_EQ(Page1.Changed(), 0);
}

TEST_F(DrawTextTest, AsksForTheDrawingPageOnEveryCall)
{
    DrawText(0, 0, "A", 0xFFFF);
    FB0.Shown = true; // page 0 now on the display: drawing goes to page 1
    DrawText(0, 0, "g", 0xFFFF);
    TPage WantedA = Expected("A", 0, 0, 0xFFFF), WantedG = Expected("g", 0, 0, 0xFFFF);
    ExpectSamePage(Page0, WantedA);
    ExpectSamePage(Page1, WantedG);
}

TEST_F(DrawTextTest, WithoutADrawingPageDrawsNothing)
{
    VideoReady = false;
    testing::internal::CaptureStdout();
    DrawText(0, 0, "A", 0xFFFF);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Video buffer not initialized\n");
    DeviceInitialization(); // no page addresses at all
    DrawText(0, 0, "A", 0xFFFF);
    EXPECT_EQ(Page0.Changed(), 0);
    EXPECT_EQ(Page1.Changed(), 0);
}

} // namespace

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

constexpr int Width = 320;
constexpr int Height = 240;

bool IsInk(int Code, int Row, int Column)
{
    const std::uint8_t* Pixel = Font6x13 + Code * 156 + Row * 12 + Column * 2;
    return (Pixel[0] | Pixel[1] << 8) != 0xF81F;
}

// A background that differs from pixel to pixel and never equals an ink colour used below.
std::uint16_t Background(int X, int Y)
{
    return static_cast<std::uint16_t>(0x8000 | ((X * 5 + Y * 17) & 0x07FF));
}

// A page as the program sees it: 153,600 bytes of little-endian RGB565, exactly one page long.
struct TPage {
    std::vector<std::uint8_t> Bytes = std::vector<std::uint8_t>(153600);

    TPage()
    {
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X)
                Set(X, Y, Background(X, Y));
    }
    std::uint16_t At(int X, int Y) const
    {
        const std::size_t Offset = static_cast<std::size_t>(Y) * 640 + static_cast<std::size_t>(X) * 2;
        return static_cast<std::uint16_t>(Bytes[Offset] | Bytes[Offset + 1] << 8);
    }
    void Set(int X, int Y, std::uint16_t Value)
    {
        const std::size_t Offset = static_cast<std::size_t>(Y) * 640 + static_cast<std::size_t>(X) * 2;
        Bytes[Offset] = static_cast<std::uint8_t>(Value & 0xFF);
        Bytes[Offset + 1] = static_cast<std::uint8_t>(Value >> 8);
    }
};

// One character cell expected on the page: its glyph and the screen position of its top-left pixel.
struct TCell {
    int Code;
    long long X, Y;
};

// The background with the ink pixels of the cells that lie in columns 0 to 319 and rows 0 to 238.
TPage Expected(const std::vector<TCell>& Cells, std::uint16_t Color)
{
    TPage Page;
    for (const TCell& Cell : Cells)
        for (int Row = 0; Row < 13; ++Row)
            for (int Column = 0; Column < 6; ++Column) {
                const long long X = Cell.X + Column;
                const long long Y = Cell.Y + Row;
                if (IsInk(Cell.Code, Row, Column) && X >= 0 && X < 320 && Y >= 0 && Y < 239)
                    Page.Set(static_cast<int>(X), static_cast<int>(Y), Color);
            }
    return Page;
}

// The cells of Text from (X, Y): one per character, 6 pixels apart.
std::vector<TCell> Line(const std::string& Text, long long X, long long Y)
{
    std::vector<TCell> Cells;
    for (std::size_t I = 0; I < Text.size(); ++I)
        Cells.push_back({static_cast<unsigned char>(Text[I]), X + 6 * static_cast<long long>(I), Y});
    return Cells;
}

// Reports the first few differing pixels, so that a failure shows where the drawing went wrong.
void ExpectSamePage(const TPage& Actual, const TPage& Wanted)
{
    int Differences = 0;
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            if (Actual.At(X, Y) != Wanted.At(X, Y) && ++Differences <= 5)
                ADD_FAILURE() << "pixel (" << X << ", " << Y << ") is " << std::hex << Actual.At(X, Y) << ", want "
                              << Wanted.At(X, Y);
    EXPECT_EQ(Differences, 0);
}

int ChangedPixels(const TPage& Page)
{
    int Changed = 0;
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            Changed += Page.At(X, Y) != Background(X, Y);
    return Changed;
}

class DrawTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeviceInitialization();
        VideoReady = true;
        FB0.Screen = Page0.Bytes.data();
        FB1.Screen = Page1.Bytes.data();
        FB0.Shown = false;
    }
    void TearDown() override { DeviceInitialization(); }

    TPage Page0;
    TPage Page1;
};

TEST_F(DrawTextTest, CapitalAInkIsTheCallersColourAndTheRestOfItsCellIsUntouched)
{
    DrawText(0, 0, "A", 0x001F);
    const char* Glyph[13] = {"......", "......", "..X...", ".X.X..", "X...X.", "X...X.", "X...X.",
                             "XXXXX.", "X...X.", "X...X.", "X...X.", "......", "......"};
    for (int Row = 0; Row < 13; ++Row)
        for (int Column = 0; Column < 6; ++Column)
            EXPECT_EQ(Page0.At(Column, Row), Glyph[Row][Column] == 'X' ? 0x001F : Background(Column, Row))
                << "column " << Column << " row " << Row;
    EXPECT_EQ(ChangedPixels(Page0), 20);
    EXPECT_EQ(ChangedPixels(Page1), 0);
}

// Each case draws Text at (X, Y) and expects exactly the clipped cells of its characters on the page.
TEST_F(DrawTextTest, ClipsToColumnsZeroTo319AndRowsZeroTo238)
{
    struct TCase {
        const char* Name;
        std::int32_t X, Y;
        std::string Text;
        int Changed; // ink pixels that land on the page, counted by hand from the glyphs
    };
    const std::string Bars = "\x19\x02\x0F"; // vertical line, checkerboard, crossing: ink on all 13 rows
    const TCase Cases[] = {
        {"right edge keeps columns 0 and 1", 318, 50, "AB", 9},
        {"left edge drops columns 0 to 2", -3, 50, "AB", 9 + 23},
        {"bottom rows 9 to 12 dropped", 100, 230, Bars, 9 + 27 + 9 + 5},
        {"row 239 alone dropped", 100, 227, Bars, 12 + 36 + 12 + 5},
        {"top rows 0 to 4 dropped", 100, -5, Bars, 8 + 24 + 8 + 5},
        {"below the last text row", 100, 239, Bars, 0},
        {"above the page", 100, -13, Bars, 0},
        {"right of the page", 320, 0, Bars, 0},
        {"left of the page", -18, 0, Bars, 0},
        {"far left", INT32_MIN, 0, Bars, 0},
        {"far right", INT32_MAX, 0, Bars, 0},
        {"far right, pen positions past the 32-bit range", INT32_MAX - 100, 0, std::string(255, '\x19'), 0},
        {"far down", 0, INT32_MAX, Bars, 0},
        {"far up", 0, INT32_MIN, Bars, 0},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TPage Fresh;
        Page0 = Fresh;
        DrawText(Case.X, Case.Y, Case.Text, 0xFFFF);
        ExpectSamePage(Page0, Expected(Line(Case.Text, Case.X, Case.Y), 0xFFFF));
        EXPECT_EQ(ChangedPixels(Page0), Case.Changed);
        for (int X = 0; X < Width; ++X)
            ASSERT_EQ(Page0.At(X, 239), Background(X, 239)) << "row 239 written at column " << X;
    }
}

// Horizontal lines run across the whole width without a gap and without touching anything beyond column 319.
TEST_F(DrawTextTest, LineDrawingJoinsAcrossTheWholeRow)
{
    DrawText(0, 100, std::string(60, '\x12'), 0x07E0);
    for (int X = 0; X < Width; ++X)
        EXPECT_EQ(Page0.At(X, 106), 0x07E0) << "column " << X;
    EXPECT_EQ(ChangedPixels(Page0), Width);
}

TEST_F(DrawTextTest, DrawsAtMostTheFirst255Characters)
{
    // From X = -1500, character 250 lands on column 0 and character 255, the first one cut, would on column 30.
    DrawText(-1500, 20, std::string(300, '\x19'), 0xFFFF);
    for (int X = 0; X < Width; ++X)
        for (int Y = 20; Y < 33; ++Y)
            EXPECT_EQ(Page0.At(X, Y), (X % 6 == 2 && X <= 26) ? 0xFFFF : Background(X, Y)) << X << ", " << Y;
    EXPECT_EQ(ChangedPixels(Page0), 5 * 13);
}

TEST_F(DrawTextTest, StopsAtTheFirstNul)
{
    const std::string Text("ABCD\0EFG", 8);
    DrawText(10, 10, Text, 0xFFFF);
    ExpectSamePage(Page0, Expected(Line("ABCD", 10, 10), 0xFFFF));
}

// Tab, line feed and carriage return are glyphs like any other: the NL symbol, the VT symbol and the upper-left
// corner, side by side on the same line.
TEST_F(DrawTextTest, ControlCodesDrawTheirGlyphs)
{
    DrawText(20, 30, "a\t\n\rb", 0xFFFF);
    ExpectSamePage(Page0, Expected({{'a', 20, 30}, {9, 26, 30}, {10, 32, 30}, {13, 38, 30}, {'b', 44, 30}}, 0xFFFF));
    EXPECT_EQ(Page0.At(40, 36), 0xFFFF); // the corner's horizontal stroke
    EXPECT_EQ(Page0.At(40, 42), 0xFFFF); // and its vertical stroke down to the cell's bottom row
}

TEST_F(DrawTextTest, BlankDrawsNothingButAdvancesThePen)
{
    DrawText(0, 0, " A  A", 0xFFFF);
    ExpectSamePage(Page0, Expected({{'A', 6, 0}, {'A', 24, 0}}, 0xFFFF));
    EXPECT_EQ(ChangedPixels(Page0), 40);
}

TEST_F(DrawTextTest, EmptyTextDrawsNothing)
{
    DrawText(0, 0, "", 0xFFFF);
    EXPECT_EQ(ChangedPixels(Page0), 0);
}

// The font's transparent value is an ordinary colour for the caller: it is drawn like any other.
TEST_F(DrawTextTest, AnyColourIsDrawnAsGiven)
{
    for (std::uint16_t Color : {0x0000, 0xF81F, 0x1234}) {
        TPage Fresh;
        Page0 = Fresh;
        DrawText(50, 60, "Vg", Color);
        ExpectSamePage(Page0, Expected(Line("Vg", 50, 60), Color));
    }
}

TEST_F(DrawTextTest, AskForTheDrawingPageOnEveryCall)
{
    DrawText(0, 0, "A", 0xFFFF);
    FB0.Shown = true; // page 0 now on the display: drawing goes to page 1
    DrawText(0, 0, "g", 0xFFFF);
    ExpectSamePage(Page0, Expected({{'A', 0, 0}}, 0xFFFF));
    ExpectSamePage(Page1, Expected({{'g', 0, 0}}, 0xFFFF));
}

TEST_F(DrawTextTest, WithoutADrawingPageDrawsNothing)
{
    VideoReady = false;
    testing::internal::CaptureStdout();
    DrawText(0, 0, "A", 0xFFFF);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Video buffer not initialized\n");
    EXPECT_EQ(ChangedPixels(Page0), 0);
    EXPECT_EQ(ChangedPixels(Page1), 0);

    DeviceInitialization(); // no page addresses at all
    DrawText(0, 0, "A", 0xFFFF);
    EXPECT_EQ(ChangedPixels(Page0), 0);
}

} // namespace

// The built-in font table: its size and values, sample glyphs given exactly, and the style rules over all 256 glyphs.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "device/font6x13.h"

namespace {

// The glyph as 13 strings of X (ink) and . (transparent).
std::vector<std::string> Picture(int Code)
{
    std::vector<std::string> Rows(13, "......");
    for (int Row = 0; Row < 13; ++Row)
        for (int Column = 0; Column < 6; ++Column) {
            const std::uint8_t* Pixel = Font6x13 + Code * 156 + Row * 12 + Column * 2;
            if ((Pixel[0] | Pixel[1] << 8) != 0xF81F)
                Rows[Row][Column] = 'X';
        }
    return Rows;
}

// The first and last rows with ink.
std::pair<int, int> InkRows(int Code)
{
    const std::vector<std::string> Glyph = Picture(Code);
    std::pair<int, int> Rows(-1, -1);
    for (int Row = 0; Row < 13; ++Row)
        if (Glyph[Row] != "......") {
            Rows.first = Rows.first < 0 ? Row : Rows.first;
            Rows.second = Row;
        }
    return Rows;
}

TEST(FontTable, HoldsTwoHundredFiftySixGlyphsOfTransparentOrWhitePixelsOnly)
{
    EXPECT_EQ(sizeof(Font6x13), 39936u);
    std::set<std::uint16_t> Values;
    for (int Offset = 0; Offset < 39936; Offset += 2)
        Values.insert(static_cast<std::uint16_t>(Font6x13[Offset] | Font6x13[Offset + 1] << 8));
    EXPECT_EQ(Values, (std::set<std::uint16_t>{0xF81F, 0xFFFF}));
}

// The source font hangs Q's tail on row 11; ours folds it into the letter so that it stands on the baseline.
TEST(FontTable, SampleGlyphsAreExact)
{
    using TGlyph = std::vector<std::string>;
    EXPECT_EQ(Picture('A'), (TGlyph{"......", "......", "..X...", ".X.X..", "X...X.", "X...X.", "X...X.", "XXXXX.",
                                    "X...X.", "X...X.", "X...X.", "......", "......"}));
    EXPECT_EQ(Picture('g'), (TGlyph{"......", "......", "......", "......", "......", ".XXX..", "X...X.", "X...X.",
                                    "X...X.", ".XXXX.", "....X.", "X...X.", ".XXX.."}));
    EXPECT_EQ(Picture('Q'), (TGlyph{"......", "......", ".XXX..", "X...X.", "X...X.", "X...X.", "X...X.", "X...X.",
                                    "X.X.X.", "X..X..", ".XX.X.", "......", "......"}));
}

// Outside line drawing the top row stays empty and only three wide signs use the sixth column; a glyph is blank
// exactly where no character is assigned, so that no code was left unmapped. Capitals stand on rows 2 to 10, and
// only the descenders reach below row 10, down to row 12.
TEST(FontTable, StyleRulesHoldForEveryGlyph)
{
    const std::set<int> Wide = {137, 151, 153};
    const std::set<int> Blank = {0, 32, 127, 129, 141, 143, 144, 157, 160};
    for (int Code = 0; Code < 256; ++Code) {
        const std::vector<std::string> Glyph = Picture(Code);
        bool UsesColumn5 = false;
        for (const std::string& Row : Glyph)
            UsesColumn5 = UsesColumn5 || Row[5] == 'X';
        if (Code != 2 && (Code < 11 || Code > 25)) {
            EXPECT_EQ(Glyph[0], "......") << "code " << Code;
            EXPECT_EQ(UsesColumn5, Wide.count(Code) == 1) << "code " << Code;
        }
        EXPECT_EQ(InkRows(Code).first < 0, Blank.count(Code) == 1) << "code " << Code;
    }
    for (int Code = 'A'; Code <= 'Z'; ++Code)
        EXPECT_EQ(InkRows(Code), std::make_pair(2, 10)) << "code " << Code;
    for (char Letter : std::string("gjpqy"))
        EXPECT_EQ(InkRows(Letter).second, 12) << Letter;
    for (char Letter : std::string("abcdefhiklmnorstuvwxz"))
        EXPECT_LE(InkRows(Letter).second, 10) << Letter;
}

// Each line-drawing glyph meets the cell's edges where its strokes lead (top, bottom, left, right), on the
// stroke's own row 6 or column 2, so that neighbouring cells join into unbroken lines; the scan lines fill their
// rows alone, and the checkerboard alternates.
TEST(FontTable, LineDrawingJoinsNeighbouringCells)
{
    const std::pair<int, std::string> Boxes[] = {{11, "tl"},  {12, "bl"},  {13, "br"}, {14, "tr"},
                                                 {15, "tblr"}, {21, "tbr"}, {22, "tbl"}, {23, "tlr"},
                                                 {24, "blr"}, {25, "tb"},  {18, "lr"}};
    for (const auto& Box : Boxes) {
        const std::vector<std::string> Glyph = Picture(Box.first);
        auto Leads = [&](char Edge) { return Box.second.find(Edge) != std::string::npos; };
        EXPECT_EQ(Glyph[6][0] == 'X', Leads('l')) << "code " << Box.first;
        EXPECT_EQ(Glyph[6][5] == 'X', Leads('r')) << "code " << Box.first;
        for (int Row = 0; Row < 13; ++Row) {
            if (Row != 6) {
                EXPECT_EQ(Glyph[Row], (Row < 6 ? Leads('t') : Leads('b')) ? "..X..." : "......")
                    << "code " << Box.first << " row " << Row;
            }
        }
    }
    const int ScanRows[] = {0, 3, 6, 9, 12};
    for (int Index = 0; Index < 5; ++Index)
        for (int Row = 0; Row < 13; ++Row)
            EXPECT_EQ(Picture(16 + Index)[Row], Row == ScanRows[Index] ? "XXXXXX" : "......") << "code " << 16 + Index;
    for (int Row = 0; Row < 13; ++Row)
        EXPECT_EQ(Picture(2)[Row], Row % 2 == 0 ? "X.X.X." : ".X.X.X") << "checkerboard row " << Row;
}

} // namespace

// The built-in font table: its size and values, two glyphs given exactly, and the style rules over all 256 glyphs.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "device/font6x13.h"

namespace {

std::uint16_t TableValue(int Code, int Row, int Column)
{
    const std::uint8_t* Pixel = Font6x13 + Code * 156 + Row * 12 + Column * 2;
    return static_cast<std::uint16_t>(Pixel[0] | Pixel[1] << 8);
}

bool IsInk(int Code, int Row, int Column)
{
    return TableValue(Code, Row, Column) != 0xF81F;
}

// The glyph as 13 strings of X (ink) and . (transparent).
std::vector<std::string> Picture(int Code)
{
    std::vector<std::string> Rows;
    for (int Row = 0; Row < 13; ++Row) {
        std::string Line;
        for (int Column = 0; Column < 6; ++Column)
            Line += IsInk(Code, Row, Column) ? 'X' : '.';
        Rows.push_back(Line);
    }
    return Rows;
}

std::set<int> InkRows(int Code)
{
    std::set<int> Rows;
    for (int Row = 0; Row < 13; ++Row)
        for (int Column = 0; Column < 6; ++Column)
            if (IsInk(Code, Row, Column))
                Rows.insert(Row);
    return Rows;
}

bool IsLineDrawing(int Code)
{
    return Code == 2 || (Code >= 11 && Code <= 25);
}

TEST(FontTable, HoldsTwoHundredFiftySixGlyphsOfTransparentOrWhitePixelsOnly)
{
    EXPECT_EQ(sizeof(Font6x13), 39936u);
    EXPECT_EQ(FontBytes, 39936);
    std::set<std::uint16_t> Values;
    for (int Offset = 0; Offset < 39936; Offset += 2)
        Values.insert(static_cast<std::uint16_t>(Font6x13[Offset] | Font6x13[Offset + 1] << 8));
    EXPECT_EQ(Values, (std::set<std::uint16_t>{0xF81F, 0xFFFF}));
}

TEST(FontTable, SampleGlyphsAreExact)
{
    const std::vector<std::string> CapitalA = {"......", "......", "..X...", ".X.X..", "X...X.", "X...X.", "X...X.",
                                               "XXXXX.", "X...X.", "X...X.", "X...X.", "......", "......"};
    const std::vector<std::string> SmallG = {"......", "......", "......", "......", "......", ".XXX..", "X...X.",
                                             "X...X.", "X...X.", ".XXXX.", "....X.", "X...X.", ".XXX.."};
    EXPECT_EQ(Picture(65), CapitalA);
    EXPECT_EQ(Picture(103), SmallG);
}

// The source font hangs Q's tail on row 11; ours folds it into the letter so that it stands on the baseline.
TEST(FontTable, CapitalQHasItsTailFoldedOntoTheBaseline)
{
    const std::vector<std::string> CapitalQ = {"......", "......", ".XXX..", "X...X.", "X...X.", "X...X.", "X...X.",
                                               "X...X.", "X.X.X.", "X..X..", ".XX.X.", "......", "......"};
    EXPECT_EQ(Picture(81), CapitalQ);
}

TEST(FontTable, OnlyLineDrawingAndThreeWideSignsUseTheSixthColumn)
{
    const std::set<int> Wide = {137, 151, 153};
    for (int Code = 0; Code < 256; ++Code) {
        if (IsLineDrawing(Code))
            continue;
        bool UsesColumn5 = false;
        for (int Row = 0; Row < 13; ++Row)
            UsesColumn5 = UsesColumn5 || IsInk(Code, Row, 5);
        EXPECT_EQ(UsesColumn5, Wide.count(Code) == 1) << "code " << Code;
    }
}

TEST(FontTable, TopRowIsEmptyExceptInLineDrawing)
{
    for (int Code = 0; Code < 256; ++Code) {
        if (!IsLineDrawing(Code)) {
            EXPECT_EQ(Picture(Code)[0], "......") << "code " << Code;
        }
    }
}

TEST(FontTable, CapitalsStandOnRowsTwoToTenAndDescendersReachRowTwelve)
{
    for (int Code = 'A'; Code <= 'Z'; ++Code) {
        const std::set<int> Rows = InkRows(Code);
        ASSERT_FALSE(Rows.empty()) << "code " << Code;
        EXPECT_EQ(*Rows.begin(), 2) << "code " << Code;
        EXPECT_EQ(*Rows.rbegin(), 10) << "code " << Code;
    }
    for (char Letter : std::string("gjpqy"))
        EXPECT_EQ(*InkRows(Letter).rbegin(), 12) << Letter;
    for (char Letter : std::string("abcdefhiklmnorstuvwxz"))
        EXPECT_LE(*InkRows(Letter).rbegin(), 10) << Letter;
}

// Each line-drawing glyph meets the cell's edges where its strokes lead (top, bottom, left, right), on the
// stroke's own row or column, so that neighbouring cells join into unbroken lines.
TEST(FontTable, LineDrawingStrokesReachTheEdgesWhereNeighboursJoin)
{
    struct TCase {
        int Code;
        const char* Edges;
    };
    const TCase Cases[] = {
        {11, "tl"},  {12, "bl"},  {13, "br"},  {14, "tr"},  {15, "tblr"}, {21, "tbr"},
        {22, "tbl"}, {23, "tlr"}, {24, "blr"}, {25, "tb"},  {18, "lr"},
    };
    for (const TCase& Case : Cases) {
        const std::string Edges = Case.Edges;
        const std::vector<std::string> Glyph = Picture(Case.Code);
        // The strokes of the box glyphs cross at row 6, column 2.
        EXPECT_EQ(Glyph[0] == "..X...", Edges.find('t') != std::string::npos) << "code " << Case.Code;
        EXPECT_EQ(Glyph[12] == "..X...", Edges.find('b') != std::string::npos) << "code " << Case.Code;
        EXPECT_EQ(Glyph[6][0] == 'X', Edges.find('l') != std::string::npos) << "code " << Case.Code;
        EXPECT_EQ(Glyph[6][5] == 'X', Edges.find('r') != std::string::npos) << "code " << Case.Code;
        for (int Row = 0; Row < 13; ++Row) {
            const bool OnVertical = (Row < 6 && Edges.find('t') != std::string::npos) ||
                                    (Row > 6 && Edges.find('b') != std::string::npos);
            if (Row != 6) {
                EXPECT_EQ(Glyph[Row], OnVertical ? "..X..." : "......") << "code " << Case.Code << " row " << Row;
            }
        }
    }
    for (int Row = 0; Row < 13; ++Row)
        EXPECT_EQ(Picture(2)[Row], Row % 2 == 0 ? "X.X.X." : ".X.X.X") << "checkerboard row " << Row;
}

TEST(FontTable, ScanLinesFillTheirRowsAlone)
{
    const int Rows[] = {0, 3, 6, 9, 12};
    for (int Index = 0; Index < 5; ++Index) {
        const std::vector<std::string> Glyph = Picture(16 + Index);
        for (int Row = 0; Row < 13; ++Row)
            EXPECT_EQ(Glyph[Row], Row == Rows[Index] ? "XXXXXX" : "......") << "code " << 16 + Index;
    }
}

// Blank cells where the mapping has no character; ink in every other cell, so that no code was left unmapped.
TEST(FontTable, BlankExactlyWhereNoCharacterIsAssigned)
{
    const std::set<int> Blank = {0, 32, 127, 129, 141, 143, 144, 157, 160};
    for (int Code = 0; Code < 256; ++Code)
        EXPECT_EQ(InkRows(Code).empty(), Blank.count(Code) == 1) << "code " << Code;
}

} // namespace

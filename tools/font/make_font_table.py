#!/usr/bin/env python3
"""Writes the built-in font table (C++ source) from the BDF form of the 6 x 13 fixed font to standard output.

Usage: make_font_table.py FONT.bdf > font6x13_table.cpp   (tools/font/generate.sh runs it with the right input)

Each of the 256 glyphs is placed in its 6 x 13 cell by its bounding box (ascent 11, descent 2), a few glyphs are
adjusted to the table's style (ADJUSTED below), and every style rule is checked before anything is written: a
source font that breaks one stops the generator with a message instead of producing a table that breaks it.
"""

import sys
import unicodedata

Width, Height, Ascent = 6, 13, 11
Transparent, Ink = 0xF81F, 0xFFFF

# Codes 1 to 31: the DEC Special Graphics set in its standard order, as Unicode.
SpecialGraphics = [
    0x25C6, 0x2592, 0x2409, 0x240C, 0x240D, 0x240A, 0x00B0, 0x00B1, 0x2424, 0x240B,
    0x2518, 0x2510, 0x250C, 0x2514, 0x253C, 0x23BA, 0x23BB, 0x2500, 0x23BC, 0x23BD,
    0x251C, 0x2524, 0x2534, 0x252C, 0x2502, 0x2264, 0x2265, 0x03C0, 0x2260, 0x00A3, 0x00B7,
]
Blank = {0, 32, 127, 160}
LineDrawing = {2} | set(range(11, 26))
WideAllowed = {137, 151, 153}  # per mille, em dash and trade mark need the sixth column
# The scan lines 1, 3, 5, 7 and 9 (codes 16 to 20) lie on these rows, so that rows of them build a ruled grid.
ScanLineRows = {16: 0, 17: 3, 18: 6, 19: 9, 20: 12}
# Where each line-drawing glyph's strokes meet the cell's edges: top, bottom, left, right.
Edges = {
    2: "tblr", 11: "tl", 12: "bl", 13: "br", 14: "tr", 15: "tblr", 16: "tlr", 17: "lr", 18: "lr", 19: "lr",
    20: "blr", 21: "tbr", 22: "tbl", 23: "tlr", 24: "blr", 25: "tb",
}
Descenders = "gjpqy"

# Glyphs changed from the source font, with the reason; each is given whole, rows 0 to 12.
ADJUSTED = {
    # The source's Q hangs its tail on row 11, below the other capitals. Folded into rows 2 to 10 as the usual
    # small-font Q: the tail starts inside the bowl on row 8 and leaves it at the bottom right on row 10, so a
    # line of capitals keeps one baseline and the letter still reads as Q, not O.
    81: [
        "......",
        "......",
        ".XXX..",
        "X...X.",
        "X...X.",
        "X...X.",
        "X...X.",
        "X...X.",
        "X.X.X.",
        "X..X..",
        ".XX.X.",
        "......",
        "......",
    ],
}


def ReadBdf(Path):
    """The glyphs of a BDF file by encoding: (width, height, x offset, y offset, bitmap rows as integers)."""
    Glyphs = {}
    with open(Path, encoding="latin-1") as File:
        Lines = iter(File.read().splitlines())
    Encoding = Box = None
    for Line in Lines:
        Words = Line.split()
        if not Words:
            continue
        if Words[0] == "ENCODING":
            Encoding = int(Words[1])
        elif Words[0] == "BBX":
            Box = tuple(int(Word) for Word in Words[1:5])
        elif Words[0] == "BITMAP":
            Rows = [int(next(Lines), 16) for _ in range(Box[1])]
            Glyphs[Encoding] = Box + (Rows,)
    return Glyphs


def CodePoint(Code):
    """The Unicode character that the table shows for an 8-bit code, or None for a blank cell."""
    if Code in Blank:
        return None
    if Code < 32:
        return SpecialGraphics[Code - 1]
    if 128 <= Code < 160:
        try:
            return ord(bytes([Code]).decode("cp1252"))
        except UnicodeDecodeError:
            return None  # the five codes Windows-1252 leaves unassigned
    return Code


def PlaceGlyph(Glyphs, Point):
    """The glyph's 13 rows of 6 booleans, placed in the cell by its bounding box."""
    Cell = [[False] * Width for _ in range(Height)]
    if Point is None:
        return Cell
    if Point not in Glyphs:
        sys.exit("the font has no glyph for U+%04X" % Point)
    BoxWidth, BoxHeight, BoxX, BoxY, Rows = Glyphs[Point]
    RowBits = (BoxWidth + 7) // 8 * 8
    for I, Bits in enumerate(Rows):
        for J in range(BoxWidth):
            if Bits >> (RowBits - 1 - J) & 1:
                Row, Column = Ascent - (BoxY + BoxHeight) + I, BoxX + J
                if not (0 <= Row < Height and 0 <= Column < Width):
                    sys.exit("U+%04X has ink outside the 6 x 13 cell" % Point)
                Cell[Row][Column] = True
    return Cell


def StyleErrors(Code, Cell):
    """The style rules that a glyph breaks, as messages."""
    Errors = []
    InkRows = [Row for Row in range(Height) if any(Cell[Row])]
    if Code in LineDrawing:
        Reach = {"t": any(Cell[0]), "b": any(Cell[Height - 1]),
                 "l": any(Row[0] for Row in Cell), "r": any(Row[Width - 1] for Row in Cell)}
        if sorted(Side for Side in Reach if Reach[Side]) != sorted(Edges[Code]):
            Errors.append("strokes do not meet the edges %s" % Edges[Code])
        if Code in ScanLineRows and InkRows != [ScanLineRows[Code]]:
            Errors.append("scan line not on row %d alone" % ScanLineRows[Code])
        return Errors
    if any(Cell[0]):
        Errors.append("ink on row 0")
    if Code not in WideAllowed and any(Row[Width - 1] for Row in Cell):
        Errors.append("ink in column 5")
    if ord("A") <= Code <= ord("Z") and (InkRows[0], InkRows[-1]) != (2, 10):
        Errors.append("capital not on rows 2 to 10")
    if chr(Code) in Descenders and InkRows[-1] != Height - 1:
        Errors.append("descender does not reach row 12")
    if Code in Blank | {129, 141, 143, 144, 157} and InkRows:
        Errors.append("blank cell with ink")
    return Errors


def Describe(Code, Point):
    if Point is None:
        return "%d: blank" % Code
    return "%d: U+%04X %s" % (Code, Point, unicodedata.name(chr(Point), "").lower())


def Main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_font_table.py FONT.bdf")
    Glyphs = ReadBdf(sys.argv[1])
    Out = [
        "// The built-in 6 x 13 font: 256 glyphs of 13 rows of 6 little-endian RGB565 pixels, 0xF81F transparent,",
        "// 0xFFFF ink. Generated, do not edit. Regenerate from the top folder with: tools/font/generate.sh",
        "// (it needs Debian's xfonts-base and pcf2bdf, and python3; see tools/font/README.md).",
        "//",
        "// Source: the 6 x 13 fixed font of Debian's xfonts-base, /usr/share/fonts/X11/misc/6x13.pcf.gz",
        "// (-Misc-Fixed-Medium-R-SemiCondensed--13-120-75-75-C-60-ISO10646-1), converted to BDF with pcf2bdf.",
        "// Licence of the source font: \"Public domain font. Share and enjoy.\"",
        "//",
        "// Codes 1 to 31 hold the DEC Special Graphics set, 128 to 159 follow Windows-1252 (129, 141, 143, 144 and",
        "// 157 blank), the rest Latin-1; 0, 32, 127 and 160 are blank. Changed from the source: code 81 (Q), its",
        "// tail folded from row 11 into rows 8 to 10 so that it stands on the capitals' baseline.",
        "",
        "#include \"device/font6x13.h\"",
        "",
        "const std::uint8_t Font6x13[FontBytes] = {",
    ]
    Problems = []
    for Code in range(256):
        Point = CodePoint(Code)
        Cell = PlaceGlyph(Glyphs, Point)
        if Code in ADJUSTED:
            Cell = [[Pixel == "X" for Pixel in Row] for Row in ADJUSTED[Code]]
        Problems += ["%s: %s" % (Describe(Code, Point), Error) for Error in StyleErrors(Code, Cell)]
        Out.append("    // %s" % Describe(Code, Point))
        for Row in Cell:
            Bytes = []
            for Pixel in Row:
                Value = Ink if Pixel else Transparent
                Bytes += ["0x%02X" % (Value & 0xFF), "0x%02X" % (Value >> 8)]
            Out.append("    %s, // %s" % (", ".join(Bytes), "".join("X" if Pixel else "." for Pixel in Row)))
    Out.append("};")
    if Problems:
        sys.exit("the font breaks the table's style:\n" + "\n".join(Problems))
    sys.stdout.write("\n".join(Out) + "\n")


Main()

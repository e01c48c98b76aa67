// "galaxy.bmp" in every kind and every state a user's file may be in, run end to end through brimlet-sim: each
// run ends on its expected path with status 0 and no sanitizer report, its blits stay inside the memory window
// and the pages, its image copy inside the window, and its log is whole.

#include "hostile/bmp_maker.h"
#include "hostile/sim_run.h"
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

// A 320 x 240 PNG, as the simulator's snapshots are.
std::string PngFile()
{
    TTempDir Dir;
    SimReset();
    std::string Error;
    EXPECT_TRUE(SimWriteSnapshot(Dir.File("shot.png"), &Error)) << Error;
    return ReadFile(Dir.File("shot.png"));
}

// What the image loader makes of a file: it shows it, refuses it, or, for a header that it reads past the file's
// end or does not check, either of the two (SDL_image then works with whatever its reads left in its variables).
enum class TExpect { Shown, Refused, Either };

struct TImageCase {
    const char* Name;
    std::string Content; // the file's bytes; unused for a folder
    bool Folder;
    TExpect Expect;
};

TImageCase Image(const char* Name, const std::string& Content, TExpect Expect)
{
    return {Name, Content, false, Expect};
}

void PrintTo(const TImageCase& Case, std::ostream* Out)
{
    *Out << Case.Name << " (" << Case.Content.size() << " bytes)";
}

bool Expected(TExpect Expect, TRunEnd End)
{
    switch (Expect) {
    case TExpect::Shown:
        return End == TRunEnd::Clean;
    case TExpect::Refused:
        return End == TRunEnd::ImageFailed;
    case TExpect::Either:
        break;
    }
    return End == TRunEnd::Clean || End == TRunEnd::ImageFailed;
}

std::vector<TImageCase> ImageCases()
{
    const TExpect Shown = TExpect::Shown;
    const TExpect Refused = TExpect::Refused;
    const TExpect Either = TExpect::Either;
    const std::string Valid = BmpFile(PaletteBmp(8, 333, 250));
    TBmp Huge = PaletteBmp(8, 1, 1);
    Huge.Width = 30000;
    Huge.Height = 30000;
    TBmp Overfull = PaletteBmp(8, 40, 30);
    Overfull.ColorsUsed = 100000;
    TBmp NoBits = TrueColourBmp(24, 8, 8);
    NoBits.Bits = 0;
    TBmp OddBits = TrueColourBmp(24, 8, 8);
    OddBits.Bits = 7;
    TBmp Jpeg = TrueColourBmp(24, 8, 8);
    Jpeg.Compression = 4;
    TBmp ZeroWidth = TrueColourBmp(24, 8, 8);
    ZeroWidth.Width = 0;
    TBmp NegativeWidth = TrueColourBmp(24, 8, 8);
    NegativeWidth.Width = -8;

    std::vector<TImageCase> Cases = {
        Image("Palette1Bit", BmpFile(PaletteBmp(1, 333, 250)), Shown),
        Image("Palette4Bit", BmpFile(PaletteBmp(4, 333, 250)), Shown),
        Image("Palette8Bit", Valid, Shown),
        Image("Rle8", BmpFile(RleBmp(8, 333, 250)), Shown),
        Image("Rle4", BmpFile(RleBmp(4, 333, 250)), Shown),
        Image("BitFields16", BmpFile(BitFieldsBmp(16, {0xF800, 0x07E0, 0x001F}, 333, 250)), Shown),
        Image("BitFields16Of555", BmpFile(BitFieldsBmp(16, {0x7C00, 0x03E0, 0x001F}, 333, 250)), Shown),
        Image("BitFields32", BmpFile(BitFieldsBmp(32, {0xFF0000, 0x00FF00, 0x0000FF}, 333, 250)), Shown),
        Image("TopDown", BmpFile(TrueColourBmp(24, 333, -250)), Shown),
        Image("OnePixel", BmpFile(TrueColourBmp(24, 1, 1)), Shown),
        Image("WideAndThreeRowsHigh", BmpFile(TrueColourBmp(24, 2000, 3)), Shown),
        // The widest image SDL takes: its view of 240 rows at a pitch of 32,768 bytes still ends inside the window.
        Image("WidestThatLoads", BmpFile(TrueColourBmp(24, 16383, 3)), Shown),
        // 10 MB at two bytes a pixel: the copy keeps the rows that fit the window.
        Image("TallerThanTheWindowHolds", BmpFile(PaletteBmp(8, 1000, 5000)), Shown),
        Image("TooWideToLoad", BmpFile(TrueColourBmp(24, 16384, 3)), Refused),
        Image("WiderThanA16BitPitch", BmpFile(TrueColourBmp(24, 40000, 2)), Refused),
        Image("HugeSizeTinyFile", BmpFile(Huge), Refused),
        // SDL_image takes these three headers as they stand.
        Image("MoreColoursThanThePaletteHolds", BmpFile(Overfull), Either),
        Image("RleCodesPointingOutside", BmpFile(HostileRleBmp()), Refused),
        Image("NoBitsPerPixel", BmpFile(NoBits), Either),
        Image("SevenBitsPerPixel", BmpFile(OddBits), Refused),
        Image("UnknownCompression", BmpFile(Jpeg), Either),
        Image("ZeroWidth", BmpFile(ZeroWidth), Refused),
        Image("NegativeWidth", BmpFile(NegativeWidth), Refused),
        Image("PixelsCutShort", Valid.substr(0, Valid.size() - 1000), Refused),
        Image("RandomBytes", RandomBytes(5000, 7), Refused),
        Image("Empty", "", Refused),
        {"Folder", "", true, Refused},
        Image("PngRenamed", PngFile(), Shown),
        Image("OggRenamed", ReadFile(BRIMLET_DATA_DIR "/music.ogg"), Refused),
    };
    for (std::size_t End : BmpHeaderFieldEnds())
        Cases.push_back(Image("CutAfterHeaderByte", Valid.substr(0, End), End < 54 ? Refused : Either));
    Cases.push_back(Image("CutInThePalette", Valid.substr(0, 54 + 100), Refused));
    return Cases;
}

class HostileImageTest : public ::testing::TestWithParam<TImageCase> {};

TEST_P(HostileImageTest, EndsOnItsPathWithNothingOutOfBounds)
{
    const TImageCase& Case = GetParam();
    TSimRun Run;
    if (Case.Folder)
        Run.MakeFolder("galaxy.bmp");
    else
        Run.Put("galaxy.bmp", Case.Content);
    const TChildResult Result = Run.Run({"--fast", "--headless", "--frames", "3", "--trace", "trace.txt"});

    EXPECT_TRUE(Expected(Case.Expect, RunEnd(Result)))
        << "ended as " << RunEndName(RunEnd(Result)) << ", status " << Result.ExitStatus << ", signal "
        << Result.Signal << "\n" << Result.Out << Result.Err;
    ExpectNothingOutOfBounds(Run, Result);
}

std::string CaseName(const ::testing::TestParamInfo<TImageCase>& Info)
{
    std::string Name = Info.param.Name;
    if (Name == "CutAfterHeaderByte")
        Name += std::to_string(Info.param.Content.size());
    return Name;
}

INSTANTIATE_TEST_SUITE_P(GalaxyBmp, HostileImageTest, ::testing::ValuesIn(ImageCases()), CaseName);

} // namespace

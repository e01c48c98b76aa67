// "galaxy.bmp" in every kind and state a user's file may be in, run end to end through brimlet-sim: each run ends
// on its expected path with nothing out of bounds.

#include "hostile/bmp_maker.h"
#include "hostile/sim_run.h"
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

// Either: SDL_image takes the header as it stands and works with whatever its reads left, so it may show or refuse.
enum class TExpect { Shown, Refused, Either };

struct TImageCase {
    std::string Name;
    std::string Content; // the file's bytes; a folder when Name is "Folder"
    TExpect Expect;
};

void PrintTo(const TImageCase& Case, std::ostream* Out)
{
    *Out << Case.Name << " (" << Case.Content.size() << " bytes)";
}

TBmp With(TBmp Bmp, std::int32_t Width, std::int32_t Height, std::uint16_t Bits, std::uint32_t Compression = 0)
{
    Bmp.Width = Width;
    Bmp.Height = Height;
    Bmp.Bits = Bits;
    Bmp.Compression = Compression;
    return Bmp;
}

std::vector<TImageCase> ImageCases()
{
    const TExpect Shown = TExpect::Shown;
    const TExpect Refused = TExpect::Refused;
    const TExpect Either = TExpect::Either;
    const std::string Valid = BmpFile(MakeBmp(8, 333, 250));
    const TBmp Small = MakeBmp(24, 8, 8);
    TBmp Overfull = MakeBmp(8, 40, 30);
    Overfull.ColorsUsed = 100000;
    TTempDir Dir;
    SimReset();
    EXPECT_TRUE(SimWriteSnapshot(Dir.File("shot.png"), nullptr));

    std::vector<TImageCase> Cases = {
        {"Palette1Bit", BmpFile(MakeBmp(1, 333, 250)), Shown},
        {"Palette4Bit", BmpFile(MakeBmp(4, 333, 250)), Shown},
        {"Palette8Bit", Valid, Shown},
        {"Rle8", BmpFile(RleBmp(8, 333, 250)), Shown},
        {"Rle4", BmpFile(RleBmp(4, 333, 250)), Shown},
        {"BitFields16", BmpFile(MakeBmp(16, 333, 250, {0xF800, 0x07E0, 0x001F})), Shown},
        {"BitFields16Of555", BmpFile(MakeBmp(16, 333, 250, {0x7C00, 0x03E0, 0x001F})), Shown},
        {"BitFields32", BmpFile(MakeBmp(32, 333, 250, {0xFF0000, 0x00FF00, 0x0000FF})), Shown},
        {"TopDown", BmpFile(MakeBmp(24, 333, -250)), Shown},
        {"OnePixel", BmpFile(MakeBmp(24, 1, 1)), Shown},
        {"WideAndThreeRowsHigh", BmpFile(MakeBmp(24, 2000, 3)), Shown},
        // SDL's widest: its view of 240 rows at a pitch of 32,768 bytes still ends inside the window.
        {"WidestThatLoads", BmpFile(MakeBmp(24, 16383, 3)), Shown},
        // 10 MB at two bytes a pixel: the copy keeps the rows that fit the window.
        {"TallerThanTheWindowHolds", BmpFile(MakeBmp(8, 1000, 5000)), Shown},
        {"TooWideToLoad", BmpFile(MakeBmp(24, 16384, 3)), Refused},
        {"WiderThanA16BitPitch", BmpFile(MakeBmp(24, 40000, 2)), Refused},
        {"HugeSizeTinyFile", BmpFile(With(MakeBmp(8, 1, 1), 30000, 30000, 8)), Refused},
        {"MoreColoursThanThePaletteHolds", BmpFile(Overfull), Either},
        {"RleCodesPointingOutside", BmpFile(HostileRleBmp()), Refused},
        {"NoBitsPerPixel", BmpFile(With(Small, 8, 8, 0)), Either},
        {"SevenBitsPerPixel", BmpFile(With(Small, 8, 8, 7)), Refused},
        {"UnknownCompression", BmpFile(With(Small, 8, 8, 24, 4)), Either},
        {"ZeroWidth", BmpFile(With(Small, 0, 8, 24)), Refused},
        {"NegativeWidth", BmpFile(With(Small, -8, 8, 24)), Refused},
        {"PixelsCutShort", Valid.substr(0, Valid.size() - 1000), Refused},
        {"CutInThePalette", Valid.substr(0, 54 + 100), Refused},
        {"RandomBytes", RandomBytes(5000, 7), Refused},
        {"Empty", "", Refused},
        {"Folder", "", Refused},
        {"PngRenamed", ReadFile(Dir.File("shot.png")), Shown},
        {"OggRenamed", ReadFile(BRIMLET_DATA_DIR "/music.ogg"), Refused},
    };
    // Cut at the end of each header field; a file cut inside its 54 bytes of headers is refused.
    for (std::size_t End : {2, 6, 10, 14, 18, 22, 26, 28, 30, 34, 38, 42, 46, 50, 54})
        Cases.push_back({"CutAfterHeaderByte" + std::to_string(End), Valid.substr(0, End), End < 54 ? Refused : Either});
    return Cases;
}

class HostileImageTest : public ::testing::TestWithParam<TImageCase> {};

TEST_P(HostileImageTest, EndsOnItsPathWithNothingOutOfBounds)
{
    const TImageCase& Case = GetParam();
    TSimRun Run;
    if (Case.Name == "Folder")
        Run.MakeFolder("galaxy.bmp");
    else
        Run.Put("galaxy.bmp", Case.Content);
    const TChildResult Result = Run.Run({"--fast", "--headless", "--frames", "3", "--trace", "trace.txt"});
    const TRunEnd End = RunEnd(Result);

    if (Case.Expect == TExpect::Either)
        EXPECT_TRUE(End == TRunEnd::Clean || End == TRunEnd::ImageFailed) << Result.Out << Result.Err;
    else
        EXPECT_EQ(End, Case.Expect == TExpect::Shown ? TRunEnd::Clean : TRunEnd::ImageFailed)
            << Result.Out << Result.Err;
    ExpectNothingOutOfBounds(Run, Result);
}

INSTANTIATE_TEST_SUITE_P(GalaxyBmp, HostileImageTest, ::testing::ValuesIn(ImageCases()),
                         [](const ::testing::TestParamInfo<TImageCase>& Info) { return Info.param.Name; });

} // namespace

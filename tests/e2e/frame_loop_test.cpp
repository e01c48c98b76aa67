// The frame loop seen from outside: what the display shows frame by frame while a script works the inputs, and
// what reached the mixer and the display registers.

#include "e2e/expected_output.h"
#include "e2e/test_images.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Runs Script with a trace, in a folder whose galaxy.bmp is the pattern image.
TChildResult RunScript(const TSimFolder& Folder, int Width, int Height, const std::string& Script,
                       const std::vector<std::string>& More = {})
{
    WritePatternBmp(Folder.File("galaxy.bmp"), Width, Height);
    EXPECT_TRUE(WriteFile(Folder.File("script.txt"), Script));
    return Folder.Run(TLines{"--script", "script.txt", "--trace", "trace.txt"} + More);
}

struct TView {
    int Width, Height, ScrollX, ScrollY, Volume;
    bool VSync;
    bool FirstFrame = false; // the frame rate reads 0; later it depends on the host's speed
};

// The snapshot shows the view at (ScrollX, ScrollY) of the pattern image with the three status lines over it.
void ExpectView(const TSimFolder& Folder, const std::string& Snapshot, const TView& View)
{
    const TFrame Actual = ReadPng(Folder.File(Snapshot));
    TFrame Expected = PatternView(View.Width, View.Height, View.ScrollX, View.ScrollY);
    DrawExpectedText(Expected, 10, 10, View.FirstFrame ? "FPS:    0" : "FPS:    ");
    DrawExpectedText(Expected, 10, 25, "Volume: " + std::to_string(View.Volume));
    DrawExpectedText(Expected, 10, 40, View.VSync ? "V-Sync: On" : "V-Sync: Off");
    // Past "FPS:    " any white is the rate's digits, and there must be some.
    int Digits = 0;
    for (int Y = 10; !View.FirstFrame && !Actual.empty() && Y < 23; ++Y)
        for (int X = 58; X < ScreenWidth; ++X)
            if (Actual[Y * ScreenWidth + X] == White) {
                Expected[Y * ScreenWidth + X] = White;
                ++Digits;
            }
    EXPECT_TRUE(View.FirstFrame || Digits > 0) << Snapshot;
    ExpectFrame(Actual, Expected, Folder.File(Snapshot));
}

TEST(FrameLoop, ExitButtonHeldFromTheStartDrawsNoFrame)
{
    TSimFolder Folder;
    ASSERT_TRUE(WriteFile(Folder.File("script.txt"), "0 hold b4\n"));
    const TChildResult Result = Folder.Run({"--script", "script.txt", "--trace", "trace.txt"});
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectLines(Start + Video + End, Result.Out);
    ExpectLines(WholeLog, Folder.Log());
    EXPECT_EQ(Folder.Trace("FLIP"), TLines{});
    // The loop was set up all the same: the volume went to its start value.
    EXPECT_EQ(Folder.Trace("MIXER"), (TLines{"0000FFFF", "00008080"}));
}

// A 640 x 480 image: the view starts at column 160 and row 200, and each held direction moves it one pixel a frame
// until it stops at the image's edges; a diagonal contact moves it both ways.
TEST(FrameLoop, DirectionsScrollTheViewOnePixelPerFrameWithinTheImage)
{
    TSimFolder Folder;
    const TChildResult Result = RunScript(Folder, 640, 480,
                                          "1 snapshot first.png\n1 hold right\n2 snapshot right-1.png\n"
                                          "161 snapshot right-160.png\n170 snapshot right-stopped.png\n"
                                          "170 release right\n170 hold down\n215 snapshot down-stopped.png\n"
                                          "215 release down\n215 hold upleft\n225 snapshot upleft-10.png\n"
                                          "460 snapshot top-reached.png\n560 snapshot corner.png\n"
                                          "560 release upleft\n560 hold downright\n"
                                          "571 snapshot downright-11.png\n571 hold b4\n");
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectView(Folder, "first.png", {640, 480, 160, 200, 128, true, true});
    ExpectView(Folder, "right-1.png", {640, 480, 161, 200, 128, true});
    ExpectView(Folder, "right-160.png", {640, 480, 320, 200, 128, true});
    ExpectView(Folder, "right-stopped.png", {640, 480, 320, 200, 128, true});
    ExpectView(Folder, "down-stopped.png", {640, 480, 320, 240, 128, true});
    ExpectView(Folder, "upleft-10.png", {640, 480, 310, 230, 128, true});
    ExpectView(Folder, "top-reached.png", {640, 480, 75, 0, 128, true});
    ExpectView(Folder, "corner.png", {640, 480, 0, 0, 128, true});
    ExpectView(Folder, "downright-11.png", {640, 480, 11, 11, 128, true});
    EXPECT_EQ(Folder.Trace("FLIP").size(), 571u);
}

// Images no larger than the view in one direction keep that offset at 0; the blit still copies a whole 320 x 240
// block at the image's pitch, so the rows run on into the next ones and end in untouched memory.
struct TSmallImage {
    const char* Name;
    int Width, Height, ScrollY;
};

void PrintTo(const TSmallImage& Image, std::ostream* Out)
{
    *Out << Image.Name;
}

class SmallImage : public testing::TestWithParam<TSmallImage> {};

TEST_P(SmallImage, IsShownFromItsLeftEdgeWhateverIsHeld)
{
    const auto [Name, Width, Height, ScrollY] = GetParam();
    TSimFolder Folder;
    const TChildResult Result = RunScript(Folder, Width, Height,
                                          "1 snapshot first.png\n1 hold downright\n5 snapshot downright.png\n"
                                          "5 release downright\n5 hold upleft\n9 snapshot upleft.png\n9 hold b4\n");
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectLines(Banner + Memory + Music + ImageLines(Width, Height, PatternPitch(Width)) + Video + End, Result.Out);
    ExpectView(Folder, "first.png", {Width, Height, 0, ScrollY, 128, true, true});
    ExpectView(Folder, "downright.png", {Width, Height, 0, ScrollY, 128, true});
    ExpectView(Folder, "upleft.png", {Width, Height, 0, ScrollY > 4 ? ScrollY - 4 : 0, 128, true});
}

INSTANTIATE_TEST_SUITE_P(Sizes, SmallImage,
                         testing::Values(TSmallImage{"ExactlyTheScreen", 320, 240, 0},
                                         TSmallImage{"SmallerBothWaysWithAnOddWidth", 201, 100, 0},
                                         TSmallImage{"NarrowButTall", 100, 300, 60}),
                         [](const testing::TestParamInfo<TSmallImage>& Info) { return Info.param.Name; });

// An image whose rows do not all fit in the 8 MiB window keeps only the rows that fit: 2010 rows of 4096 bytes.
// The view then stops at the last row copied.
TEST(FrameLoop, AnImageTooLargeForTheWindowIsCutToTheRowsThatFit)
{
    TSimFolder Folder;
    const TChildResult Result = RunScript(Folder, 2048, 2100, "1 hold down\n1600 snapshot bottom.png\n1600 hold b4\n");
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectLines(Banner + Memory + Music +
                    ImageLines(2048, 2010, 4096, "Image cut to 2010 rows to fit the memory window") + Video + End,
                Result.Out);
    ExpectView(Folder, "bottom.png", {2048, 2010, 864, 2010 - 240, 128, true});
}

// Button 2 switches the wait for vertical sync off from the next frame on, button 1 on; both held leave it off.
// With the wait on, each flip is followed by reads of the display status register; with it off, by none.
TEST(FrameLoop, VSyncButtonsChangeTheLineAndTheWait)
{
    TSimFolder Folder;
    const TChildResult Result = RunScript(Folder, 640, 480,
                                          "1 snapshot on.png\n1 tap b2\n2 snapshot off.png\n5 hold b1\n5 hold b2\n"
                                          "7 snapshot both.png\n7 release b2\n8 snapshot on-again.png\n"
                                          "8 release b1\n10 hold b4\n");
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectView(Folder, "on.png", {640, 480, 160, 200, 128, true, true});
    ExpectView(Folder, "off.png", {640, 480, 160, 200, 128, false});
    ExpectView(Folder, "both.png", {640, 480, 160, 200, 128, false});
    ExpectView(Folder, "on-again.png", {640, 480, 160, 200, 128, true});
    // Which frames waited: "W" for status reads between one flip and the next, "-" for none.
    std::string Waits;
    for (const std::string& Line : SplitLines(ReadFile(Folder.File("trace.txt"))))
        if (Line.compare(0, 5, "FLIP ") == 0)
            Waits += '-';
        else if (Line.compare(0, 13, "R16 C0001182 ") == 0 && !Waits.empty())
            Waits.back() = 'W';
    EXPECT_EQ(Waits, "W------WWW");
}

// Buttons 7 and 8 step the volume by one a frame within 0 to 255, and the mixer hears each step on both channels;
// at a limit nothing reaches it. Both held lower and then raise, except at 0, where only the raise happens.
TEST(FrameLoop, VolumeButtonsStepTheMixerLevelWithinItsLimits)
{
    TSimFolder Folder;
    const TChildResult Result = RunScript(Folder, 640, 480,
                                          "1 hold b7\n129 snapshot volume-0.png\n140 snapshot volume-0-held.png\n"
                                          "140 tap b8\n141 snapshot volume-1.png\n141 release b7\n141 hold b8\n"
                                          "395 snapshot volume-255.png\n400 snapshot volume-255-held.png\n"
                                          "400 tap b7\n401 snapshot volume-both.png\n401 release b8\n402 hold b4\n");
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    const std::pair<const char*, int> Shots[] = {{"volume-0.png", 0},     {"volume-0-held.png", 0},
                                                 {"volume-1.png", 1},     {"volume-255.png", 255},
                                                 {"volume-255-held.png", 255}, {"volume-both.png", 255}};
    for (const auto& [Snapshot, Volume] : Shots)
        ExpectView(Folder, Snapshot, {640, 480, 160, 200, Volume, true});
    TLines Levels{"0000FFFF"};
    const auto Add = [&Levels](int Volume) {
        char Text[9];
        std::snprintf(Text, sizeof Text, "%08X", Volume | Volume << 8);
        Levels.push_back(Text);
    };
    for (int Volume = 128; Volume >= 0; --Volume)
        Add(Volume);
    for (int Volume = 1; Volume <= 255; ++Volume)
        Add(Volume);
    Add(254);
    Add(255);
    EXPECT_EQ(Folder.Trace("MIXER"), Levels);
}

// Without a mixer device the volume steps silently go nowhere, and the program runs on as usual.
TEST(FrameLoop, WithoutAMixerTheVolumeButtonsChangeOnlyTheLine)
{
    TSimFolder Folder;
    const TChildResult Result =
        RunScript(Folder, 640, 480, "1 hold b8\n4 snapshot volume.png\n4 hold b4\n", {"--fault", "mixer-open"});
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectView(Folder, "volume.png", {640, 480, 160, 200, 131, true});
    EXPECT_EQ(Folder.Trace("MIXER"), TLines{});
}

} // namespace

// The frame loop seen from outside: what the display shows frame by frame while a script works the inputs, and
// what reached the mixer and the display registers.

#include "e2e/expected_output.h"
#include "e2e/frames.h"
#include "e2e/sim_folder.h"
#include "e2e/test_images.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Runs the script fast and headless with a trace, in a folder whose galaxy.bmp is the pattern image.
TChildResult RunScript(const TSimFolder& Folder, int Width, int Height, const std::string& Script)
{
    WritePatternBmp(Folder.File("galaxy.bmp"), Width, Height);
    Folder.PutFile("script.txt", Script);
    return Folder.Run({"--fast", "--headless", "--script", "script.txt", "--trace", "trace.txt"});
}

// What the view at (ScrollX, ScrollY) of a Width x Height pattern image looks like with the status lines over it.
// The frame rate is taken from the snapshot, which must show one; FirstFrame demands the 0 of the first frame.
struct TView {
    int Width, Height, ScrollX, ScrollY, Volume;
    bool VSync;
    bool FirstFrame = false;
};

void ExpectView(const TSimFolder& Folder, const std::string& Snapshot, const TView& View)
{
    const TFrame Actual = ReadSnapshot(Folder.File(Snapshot));
    if (Actual.empty())
        return;
    const std::string FpsLine = ReadText(Actual, 10, 10, 16);
    if (View.FirstFrame)
        EXPECT_EQ(FpsLine, "FPS:    0") << Snapshot;
    else
        EXPECT_TRUE(LineMatches(FpsLine, "FPS:    <n>")) << Snapshot << ": " << FpsLine;
    TFrame Expected = PatternView(View.Width, View.Height, View.ScrollX, View.ScrollY);
    DrawExpectedText(Expected, 10, 10, FpsLine);
    DrawExpectedText(Expected, 10, 25, "Volume: " + std::to_string(View.Volume));
    DrawExpectedText(Expected, 10, 40, View.VSync ? "V-Sync: On" : "V-Sync: Off");
    ExpectFrame(Actual, Expected, Snapshot.substr(0, Snapshot.size() - 4));
}

std::string Hex8(unsigned Value)
{
    char Text[9];
    std::snprintf(Text, sizeof Text, "%08X", Value);
    return Text;
}

TEST(FrameLoop, ExitButtonHeldFromTheStartDrawsNoFrame)
{
    TSimFolder Folder;
    Folder.PutFile("script.txt", "0 hold b4\n");
    const TChildResult Result = Folder.Run({"--fast", "--headless", "--script", "script.txt", "--trace", "trace.txt"});
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectLines(StartLines() + VideoLines() + EndLines(), Result.Out);
    const std::string Trace = ReadFile(Folder.File("trace.txt"));
    EXPECT_TRUE(TraceEvents(Trace, "FLIP").empty());
    // The loop was set up all the same: the volume went to its start value.
    EXPECT_EQ(TraceEvents(Trace, "MIXER"), (std::vector<std::string>{"0000FFFF", "00008080"}));
    ExpectLog(StartLog() + std::vector<TLogEntry>{LastEntry()}, Folder.LogText());
}

// A 640 x 480 image: the view starts in its middle column range and row 200, and each held direction moves it one
// pixel a frame until it stops at the image's edges; a diagonal contact moves it both ways.
TEST(FrameLoop, DirectionsScrollTheViewOnePixelPerFrameWithinTheImage)
{
    TSimFolder Folder;
    const TChildResult Result = RunScript(Folder, 640, 480,
                                          "1 snapshot first.png\n"
                                          "1 hold right\n"
                                          "2 snapshot right-1.png\n"
                                          "161 snapshot right-160.png\n"
                                          "170 snapshot right-stopped.png\n"
                                          "170 release right\n"
                                          "170 hold down\n"
                                          "215 snapshot down-stopped.png\n"
                                          "215 release down\n"
                                          "215 hold upleft\n"
                                          "225 snapshot upleft-10.png\n"
                                          "460 snapshot top-reached.png\n"
                                          "560 snapshot corner.png\n"
                                          "560 release upleft\n"
                                          "560 hold downright\n"
                                          "571 snapshot downright-11.png\n"
                                          "571 hold b4\n");
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
    EXPECT_EQ(TraceEvents(ReadFile(Folder.File("trace.txt")), "FLIP").size(), 571u);
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
    const TSmallImage& Image = GetParam();
    TSimFolder Folder;
    const TChildResult Result = RunScript(Folder, Image.Width, Image.Height,
                                          "1 snapshot first.png\n"
                                          "1 hold downright\n"
                                          "5 snapshot downright.png\n"
                                          "5 release downright\n"
                                          "5 hold upleft\n"
                                          "9 snapshot upleft.png\n"
                                          "9 hold b4\n");
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectLines(BannerLines() + MemoryLines() + MusicLines() +
                    ImageLines(Image.Width, Image.Height, PatternPitch(Image.Width)) + VideoLines() + EndLines(),
                Result.Out);
    ExpectView(Folder, "first.png", {Image.Width, Image.Height, 0, Image.ScrollY, 128, true, true});
    ExpectView(Folder, "downright.png", {Image.Width, Image.Height, 0, Image.ScrollY, 128, true});
    ExpectView(Folder, "upleft.png", {Image.Width, Image.Height, 0, Image.ScrollY > 4 ? Image.ScrollY - 4 : 0, 128,
                                      true});
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
    const TChildResult Result = RunScript(Folder, 2048, 2100,
                                          "1 hold down\n"
                                          "1600 snapshot bottom.png\n"
                                          "1600 hold b4\n");
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectLines(BannerLines() + MemoryLines() + MusicLines() +
                    ImageLines(2048, 2010, 4096, "Image cut to 2010 rows to fit the memory window") + VideoLines() +
                    EndLines(),
                Result.Out);
    ExpectView(Folder, "bottom.png", {2048, 2010, 864, 2010 - 240, 128, true});
}

// Button 2 switches the wait for vertical sync off from the next frame on, button 1 on; both held leave it off.
// With the wait on, each flip is followed by reads of the display status register; with it off, by none.
TEST(FrameLoop, VSyncButtonsChangeTheLineAndTheWait)
{
    TSimFolder Folder;
    const TChildResult Result = RunScript(Folder, 640, 480,
                                          "1 snapshot on.png\n"
                                          "1 tap b2\n"
                                          "2 snapshot off.png\n"
                                          "5 hold b1\n"
                                          "5 hold b2\n"
                                          "7 snapshot both.png\n"
                                          "7 release b2\n"
                                          "8 snapshot on-again.png\n"
                                          "8 release b1\n"
                                          "10 hold b4\n");
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectView(Folder, "on.png", {640, 480, 160, 200, 128, true, true});
    ExpectView(Folder, "off.png", {640, 480, 160, 200, 128, false});
    ExpectView(Folder, "both.png", {640, 480, 160, 200, 128, false});
    ExpectView(Folder, "on-again.png", {640, 480, 160, 200, 128, true});

    // Which frames waited: the status reads between one flip and the next.
    std::string Waits;
    bool AfterFlip = false;
    bool Waited = false;
    for (const std::string& Line : SplitLines(ReadFile(Folder.File("trace.txt")))) {
        if (Line.compare(0, 5, "FLIP ") == 0) {
            if (AfterFlip)
                Waits += Waited ? 'W' : '-';
            AfterFlip = true;
            Waited = false;
        } else if (Line.compare(0, 13, "R16 C0001182 ") == 0) {
            Waited = true;
        }
    }
    Waits += Waited ? 'W' : '-';
    EXPECT_EQ(Waits, "W------WWW");
}

// Buttons 7 and 8 step the volume by one a frame within 0 to 255, and the mixer hears each step on both channels;
// at a limit nothing reaches it. Both held lower and then raise, except at 0, where only the raise happens.
TEST(FrameLoop, VolumeButtonsStepTheMixerLevelWithinItsLimits)
{
    TSimFolder Folder;
    const TChildResult Result = RunScript(Folder, 640, 480,
                                          "1 hold b7\n"
                                          "129 snapshot volume-0.png\n"
                                          "140 snapshot volume-0-held.png\n"
                                          "140 tap b8\n"
                                          "141 snapshot volume-1.png\n"
                                          "141 release b7\n"
                                          "141 hold b8\n"
                                          "395 snapshot volume-255.png\n"
                                          "400 snapshot volume-255-held.png\n"
                                          "400 tap b7\n"
                                          "401 snapshot volume-both.png\n"
                                          "401 release b8\n"
                                          "402 hold b4\n");
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectView(Folder, "volume-0.png", {640, 480, 160, 200, 0, true});
    ExpectView(Folder, "volume-0-held.png", {640, 480, 160, 200, 0, true});
    ExpectView(Folder, "volume-1.png", {640, 480, 160, 200, 1, true});
    ExpectView(Folder, "volume-255.png", {640, 480, 160, 200, 255, true});
    ExpectView(Folder, "volume-255-held.png", {640, 480, 160, 200, 255, true});
    ExpectView(Folder, "volume-both.png", {640, 480, 160, 200, 255, true});

    std::vector<std::string> Levels{"0000FFFF", "00008080"};
    for (unsigned Level = 127;; --Level) {
        Levels.push_back(Hex8(Level | Level << 8));
        if (Level == 0)
            break;
    }
    for (unsigned Level = 1; Level <= 255; ++Level)
        Levels.push_back(Hex8(Level | Level << 8));
    Levels.push_back("0000FEFE");
    Levels.push_back("0000FFFF");
    EXPECT_EQ(TraceEvents(ReadFile(Folder.File("trace.txt")), "MIXER"), Levels);
}

// Without a mixer device the volume steps silently go nowhere, and the program runs on as usual.
TEST(FrameLoop, WithoutAMixerTheVolumeButtonsChangeOnlyTheLine)
{
    TSimFolder Folder;
    WritePatternBmp(Folder.File("galaxy.bmp"), 640, 480);
    Folder.PutFile("script.txt", "1 hold b8\n4 snapshot volume.png\n4 hold b4\n");
    const TChildResult Result = Folder.Run(
        {"--fast", "--headless", "--fault", "mixer-open", "--script", "script.txt", "--trace", "trace.txt"});
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    ExpectView(Folder, "volume.png", {640, 480, 160, 200, 131, true});
    EXPECT_TRUE(TraceEvents(ReadFile(Folder.File("trace.txt")), "MIXER").empty());
}

} // namespace

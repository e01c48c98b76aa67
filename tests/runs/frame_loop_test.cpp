// The frame loop seen from outside: the view and the status lines in snapshots while a script works the inputs,
// the mixer levels and the waits for vertical sync in the trace, and the frame rate of the first window.

#include "runs/runs.h"

#include "app/main_loop.h"

#include <cstdio>
#include <cstdlib>
#include <tuple>

namespace {

// Whole frames against stored images, in modelled time, where a stray access would end the run: the view's start,
// the picture's place in memory, the status lines; an image smaller than the view is shown from its top-left corner,
// with the zero memory after it. With the wait for vertical sync off, the frames drawn while the display scans their
// page tear the picture (in fast time, which gives the same picture every run).
TEST(FrameLoop, FramesMatchTheStoredImages)
{
    const std::tuple<int, int, std::string, std::string, const char*> Cases[] = {
        {640, 480, "pattern-640x480-first-frame.png", "1 hold b4\n", "--strict"},
        {201, 100, "pattern-201x100-first-frame.png", "1 hold b4\n", "--strict"},
        {640, 480, "pattern-640x480-torn.png", "1 tap b2\n1 hold right\n9 hold b4\n", "--fast"}};
    for (const auto& [Width, Height, Name, Script, Time] : Cases) {
        TSimRun Run;
        Run.Put("galaxy.bmp", Rgb565Bmp(Width, Height, PatternPixel));
        Run.Put("script.txt", "1 snapshot " + Name + "\n" + Script);
        EXPECT_EQ(Run.Run({Time, "--headless", "--script", "script.txt"}).ExitStatus, 0);
        ExpectFrame(ReadPng(Run.File(Name)), ReadPng(BRIMLET_SOURCE_DIR "/tests/runs/golden/" + Name), Run.File(Name));
    }
}

// A 640 x 480 image, whose view starts at (160, 200) and may go from (0, 0) to (320, 240). Each held direction
// moves it a pixel a frame and stops at each edge; buttons 7 and 8 step the volume within 0 and 255; button 2
// switches the wait for vertical sync off from the next frame, button 1 on, and both together leave it off.
TEST(FrameLoop, InputsMoveTheViewStepTheVolumeAndSwitchTheWait)
{
    TSimRun Run;
    Run.Put("galaxy.bmp", Rgb565Bmp(640, 480, PatternPixel));
    std::string Script = "1 hold right\n1 hold b7\n20 tap b2\n30 hold b1\n30 hold b2\n35 release b2\n40 release b1\n"
                         "140 release b7\n140 hold b8\n170 release right\n170 hold up\n380 release up\n380 hold left\n"
                         "400 release b8\n710 release left\n710 hold downright\n960 hold b4\n";
    const struct {
        int Frame, ScrollX, ScrollY, Volume;
        bool VSync;
    } Shots[] = {
        {2, 161, 200, 127, true}, {36, 195, 200, 93, true},
        {129, 288, 200, 0, true}, {140, 299, 200, 0, true},   {161, 320, 200, 21, true},  {170, 320, 200, 30, true},
        {370, 320, 0, 230, true}, {380, 320, 0, 240, true},   {395, 305, 0, 255, true},   {400, 300, 0, 255, true},
        {710, 0, 0, 255, true},   {720, 10, 10, 255, true},   {960, 250, 240, 255, true},
    };
    for (const auto& Shot : Shots)
        Script += std::to_string(Shot.Frame) + " snapshot " + std::to_string(Shot.Frame) + ".png\n";
    Run.Put("script.txt", Script);
    const TChildResult Result = Run.Run({"--fast", "--headless", "--script", "script.txt", "--trace", "trace.txt"});
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    for (const auto& Shot : Shots)
        ExpectView(Run.File(std::to_string(Shot.Frame) + ".png"), 640, 480, Shot.ScrollX, Shot.ScrollY, Shot.Volume,
                   Shot.VSync);

    // Down from 128 to 0, then up to 255, both channels alike.
    TLines Levels{"0000FFFF"};
    for (int Step = -128; Step <= 255; ++Step) {
        char Level[9];
        std::snprintf(Level, sizeof Level, "%08X", std::abs(Step) * 0x101);
        Levels.push_back(Level);
    }
    EXPECT_EQ(Run.Trace("MIXER"), Levels);

    // "W" for a frame whose flip is followed by a read of the display status, "-" for one that is not.
    std::string Waits;
    for (const std::string& Line : SplitLines(ReadFile(Run.File("trace.txt"))))
        if (Line.rfind("FLIP ", 0) == 0)
            Waits += '-';
        else if (Line.rfind("R16 C0001182 ", 0) == 0 && !Waits.empty())
            Waits.back() = 'W';
    EXPECT_EQ(Waits, std::string(20, 'W') + std::string(15, '-') + std::string(925, 'W'));
}

// In modelled time the first window of a second ends within the first 62 frames at 60 a second. Until then the
// rate reads 0; then it reads the frames drawn plus the one the count starts with, which is the number of the
// frame that shows it.
TEST(FrameLoop, FirstRateCountsOneFrameMoreThanWereDrawn)
{
    TSimRun Run;
    Run.Put("galaxy.bmp", Rgb565Bmp(320, 240, PatternPixel));
    std::string Script = "90 hold b4\n";
    for (int Frame = 1; Frame <= 90; ++Frame)
        Script += std::to_string(Frame) + " snapshot " + std::to_string(Frame) + ".png\n";
    Run.Put("script.txt", Script);
    ASSERT_EQ(Run.Run({"--headless", "--script", "script.txt"}).ExitStatus, 0);
    const auto Shot = [&Run](int Frame) { return Run.File(std::to_string(Frame) + ".png"); };
    int Frame = 1;
    while (Frame <= 90 && ReadPng(Shot(Frame)) == PatternFrame(320, 240, 0, 0, "0", 128, true))
        ++Frame;
    ASSERT_LE(Frame, 90) << "the rate never changed";
    ExpectFrame(ReadPng(Shot(Frame)), PatternFrame(320, 240, 0, 0, std::to_string(Frame), 128, true), Shot(Frame));
}

// The window's length is taken modulo 2^32, so it ends after 1000 ticks also where the tick count passes 2^31
// (a negative start as a signed number) and where it wraps.
TEST(FrameLoop, RateWindowEndsAfter1000TicksWhereverTheCountStands)
{
    const std::tuple<std::uint32_t, std::uint32_t, bool> Windows[] = {
        {1000, 0, true},          {999, 0, false},         {0x800003E7u, 0x80000000u, false},
        {0x800003E8u, 0x80000000u, true}, {0xFFFFFF80u, 0xFFFFFF00u, false}, {0x000002E7u, 0xFFFFFF00u, false},
        {0x000002E8u, 0xFFFFFF00u, true},
    };
    for (const auto& [Now, Start, Ended] : Windows)
        EXPECT_EQ(FrameRateWindowEnded(Now, static_cast<std::int32_t>(Start)), Ended)
            << std::hex << Now << " " << Start;
}

} // namespace

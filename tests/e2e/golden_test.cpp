// Whole frames compared with stored images: the picture, the status text in the program's font and whatever the
// memory beside a small image holds, pixel for pixel.

#include "e2e/frames.h"
#include "e2e/sim_folder.h"
#include "e2e/test_images.h"

#include <gtest/gtest.h>

namespace {

TFrame FirstFrame(int Width, int Height)
{
    TSimFolder Folder;
    WritePatternBmp(Folder.File("galaxy.bmp"), Width, Height);
    Folder.PutFile("script.txt", "1 snapshot first.png\n1 hold b4\n");
    const TChildResult Result = Folder.Run({"--fast", "--headless", "--script", "script.txt"});
    EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
    return ReadSnapshot(Folder.File("first.png"));
}

TEST(Golden, FirstFrameOfA640By480Image)
{
    ExpectGolden(FirstFrame(640, 480), "pattern-640x480-first-frame");
}

TEST(Golden, FirstFrameOfAnImageSmallerThanTheScreen)
{
    ExpectGolden(FirstFrame(201, 100), "pattern-201x100-first-frame");
}

} // namespace

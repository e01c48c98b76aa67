// Whole first frames compared with stored images: the picture, the status text in the program's font and whatever
// the memory beside a small image holds, pixel for pixel.

#include "e2e/sim_folder.h"
#include "e2e/test_images.h"

#include <gtest/gtest.h>

namespace {

TEST(Golden, FirstFramesOfA640By480ImageAndOfOneSmallerThanTheScreen)
{
    for (const auto& [Width, Height] : {std::pair{640, 480}, std::pair{201, 100}}) {
        const std::string Name = "pattern-" + std::to_string(Width) + "x" + std::to_string(Height) + "-first-frame";
        TSimFolder Folder;
        WritePatternBmp(Folder.File("galaxy.bmp"), Width, Height);
        ASSERT_TRUE(WriteFile(Folder.File("script.txt"), "1 snapshot " + Name + ".png\n1 hold b4\n"));
        EXPECT_EQ(Folder.Run({"--script", "script.txt"}).ExitStatus, 0);
        ExpectFrame(ReadPng(Folder.File(Name + ".png")),
                    ReadPng(BRIMLET_SOURCE_DIR "/tests/e2e/golden/" + Name + ".png"), Folder.File(Name + ".png"));
    }
}

} // namespace

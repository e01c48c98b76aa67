// The image copy never writes past the end of the 8 MiB memory window, however large the image: run in a child of
// the test, on the simulated device, so that the memory behind the window can be looked at afterwards.

#include "app/run_frame.h"
#include "app/test_program.h"
#include "e2e/test_images.h"
#include "log/logger.h"
#include "sim/sim.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

TEST(MemoryWindow, AnImageTooLargeForItLeavesTheMemoryBehindItAlone)
{
    constexpr std::uint32_t Guard = 0x00100000;
    TTempDir Dir;
    std::filesystem::copy_file(BRIMLET_DATA_DIR "/music.ogg", Dir.File("music.ogg"));
    WritePatternBmp(Dir.File("galaxy.bmp"), 2048, 2100);
    const TChildResult Result = RunInChild(
        [&Dir] {
            SimReset();
            SimSetFastMode(true);
            std::uint8_t* Behind = SimPhysToHost(0x02800000, Guard); // the window's end
            if (Behind == nullptr)
                return 10;
            std::memset(Behind, 0xA5, Guard);
            SimSetInput(TSimInput::B4, true);
            SetLoggerExecutablePath([&Dir] { return Dir.File("brimlet"); });
            char Name[] = "brimlet";
            char* Arguments[] = {Name, nullptr};
            if (RunApplication(1, Arguments, TestProgram) != 0)
                return 11;
            return std::all_of(Behind, Behind + Guard, [](std::uint8_t Byte) { return Byte == 0xA5; }) ? 0 : 12;
        },
        {Dir.Path(), "", {}, 120});
    EXPECT_EQ(Result.ExitStatus, 0) << "10: no memory behind the window, 11: the run failed, 12: written over\n"
                                    << Result.Out << Result.Err;
    EXPECT_NE(Result.Out.find("Image cut to 2010 rows to fit the memory window\n"), std::string::npos) << Result.Out;
}

} // namespace

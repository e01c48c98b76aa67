// The data generators: galaxy.bmp and music.ogg made again, byte for byte.

#include "runs/runs.h"

#include <string>

namespace {

// The generators use fixed seeds: run again, each writes the build's bytes. The picture is a 1024 x 768 bitmap of
// 24 bits, stored bottom-up.
TEST(Generators, WriteTheSameBytesEveryRun)
{
    for (const std::string DataFile : {"galaxy.bmp", "music.ogg"}) {
        const TTempDir Temp;
        const std::string Maker = DataFile == "galaxy.bmp" ? "brimlet_make_galaxy" : "brimlet_make_music";
        ASSERT_EQ(RunProgram(Emulated({BRIMLET_BINARY_DIR "/tools/" + Maker, Temp.File(DataFile)})).ExitStatus, 0)
            << Maker;
        EXPECT_TRUE(ReadFile(Temp.File(DataFile)) == ReadFile(BRIMLET_DATA_DIR "/" + DataFile)) << DataFile;
    }
    EXPECT_EQ(ReadFile(BRIMLET_DATA_DIR "/galaxy.bmp").substr(18, 12), std::string("\0\4\0\0\0\3\0\0\1\0\x18\0", 12));
}

} // namespace

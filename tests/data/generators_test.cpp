// The generators of the data files, run again: the same bytes as the build made, and an honest failure when the
// output cannot be written.

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

struct TGenerator {
    const char* Program;
    const char* DataFile;
};

const TGenerator Generators[] = {
    {BRIMLET_BINARY_DIR "/tools/brimlet_make_galaxy", "galaxy.bmp"},
    {BRIMLET_BINARY_DIR "/tools/brimlet_make_music", "music.ogg"},
};

} // namespace

// Fixed seeds, nothing taken from the clock or from uninitialised memory: a second run writes the build's bytes.
TEST(Generators, WriteTheSameBytesEveryRun)
{
    for (const TGenerator& Generator : Generators) {
        TTempDir Temp;
        const TChildResult Result = RunProgram({Generator.Program, Temp.File(Generator.DataFile)});
        ASSERT_EQ(Result.ExitStatus, 0) << Generator.Program << ": " << Result.Err;
        EXPECT_EQ(Result.Out, "");
        EXPECT_EQ(Result.Err, "");
        EXPECT_TRUE(ReadFile(Temp.File(Generator.DataFile)) == ReadFile(std::string(BRIMLET_DATA_DIR "/") +
                                                                         Generator.DataFile))
            << Generator.DataFile << " differs from the build's";
        EXPECT_EQ(ListFolder(Temp.Path()), std::vector<std::string>{Generator.DataFile});
    }
}

// A folder that does not exist: status 1, the reason on standard error, and no file, whole or partial.
TEST(Generators, ReportAnUnwritableOutputAndLeaveNothing)
{
    for (const TGenerator& Generator : Generators) {
        TTempDir Temp;
        const std::string Output = Temp.File("missing/") + Generator.DataFile;
        const TChildResult Result = RunProgram({Generator.Program, Output});
        EXPECT_EQ(Result.ExitStatus, 1) << Generator.Program;
        EXPECT_EQ(Result.Err, std::string(Generator.Program) + ": " + Output + ".partial: No such file or directory\n");
        EXPECT_TRUE(ListFolder(Temp.Path()).empty());
    }
}

TEST(Generators, ShowTheirUsageWithoutExactlyOneOutput)
{
    for (const TGenerator& Generator : Generators) {
        const std::string Extension = std::string(Generator.DataFile).substr(std::string(Generator.DataFile).find('.'));
        for (const std::vector<std::string>& Arguments :
             {std::vector<std::string>{Generator.Program}, {Generator.Program, "a", "b"}}) {
            const TChildResult Result = RunProgram(Arguments);
            EXPECT_EQ(Result.ExitStatus, 2) << Generator.Program;
            EXPECT_EQ(Result.Err, std::string("usage: ") + Generator.Program + " OUTPUT" + Extension + "\n");
        }
    }
}

// The generators of the data files, run again: the same bytes as the build made, and their ways out.

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

const std::pair<std::string, std::string> Generators[] = {
    {BRIMLET_BINARY_DIR "/tools/brimlet_make_galaxy", "galaxy.bmp"},
    {BRIMLET_BINARY_DIR "/tools/brimlet_make_music", "music.ogg"},
};

// Fixed seeds, nothing taken from the clock or from uninitialised memory: a second run writes the build's bytes.
TEST(Generators, WriteTheSameBytesEveryRun)
{
    for (const auto& [Program, DataFile] : Generators) {
        const TTempDir Temp;
        const TChildResult Result = RunProgram({Program, Temp.File(DataFile)});
        ASSERT_EQ(Result.ExitStatus, 0) << Program << ": " << Result.Err;
        EXPECT_EQ(Result.Out + Result.Err, "");
        EXPECT_TRUE(ReadFile(Temp.File(DataFile)) == ReadFile(BRIMLET_DATA_DIR "/" + DataFile))
            << DataFile << " differs from the build's";
        EXPECT_EQ(ListFolder(Temp.Path()), std::vector<std::string>{DataFile});
    }
}

// A folder that does not exist: status 1, the reason on standard error and no file, whole or partial. Without
// exactly one output: the usage and status 2.
TEST(Generators, ReportAnUnwritableOutputOrAWrongCommandLine)
{
    for (const auto& [Program, DataFile] : Generators) {
        const TTempDir Temp;
        const std::string Output = Temp.File("missing/") + DataFile;
        const TChildResult Result = RunProgram({Program, Output});
        EXPECT_EQ(Result.ExitStatus, 1) << Program;
        EXPECT_EQ(Result.Err, Program + ": " + Output + ".partial: No such file or directory\n");
        EXPECT_TRUE(ListFolder(Temp.Path()).empty());
        const std::string Usage = "usage: " + Program + " OUTPUT" + DataFile.substr(DataFile.find('.')) + "\n";
        for (const std::vector<std::string>& Arguments : {std::vector<std::string>{Program}, {Program, "a", "b"}}) {
            const TChildResult Wrong = RunProgram(Arguments);
            EXPECT_EQ(Wrong.ExitStatus, 2) << Program;
            EXPECT_EQ(Wrong.Err, Usage);
        }
    }
}

} // namespace

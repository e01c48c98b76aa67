#include <gtest/gtest.h>

#include "runtime/program_args.h"

namespace {

// The values are copied when recorded, and a new record replaces the old one.
TEST(ProgramArguments, CountValuesAndReplacement)
{
    char Name[] = "brimlet";
    char First[] = "1";
    char Second[] = "$20";
    char* Values[] = {Name, First, Second};
    SetProgramArguments(3, Values);
    First[0] = '9';
    EXPECT_EQ(ParamCount(), 2);
    const std::pair<int, const char*> Cases[] = {{0, "brimlet"}, {1, "1"}, {2, "$20"}, {3, ""}, {-1, ""}};
    for (const auto& [Index, Value] : Cases)
        EXPECT_EQ(ParamStr(Index), Value) << Index;
    SetProgramArguments(1, Values);
    EXPECT_EQ(ParamCount(), 0);
    EXPECT_EQ(ParamStr(1), "");
    SetProgramArguments(0, Values);
    EXPECT_EQ(ParamCount(), 0);
    EXPECT_EQ(ParamStr(0), "");
}

}

#include <gtest/gtest.h>

#include "runtime/program_args.h"

namespace {

TEST(ProgramArguments, CountAndValues)
{
    char Name[] = "brimlet";
    char First[] = "1";
    char Second[] = "$20";
    char* Values[] = {Name, First, Second};
    SetProgramArguments(3, Values);
    EXPECT_EQ(ParamCount(), 2);
    const struct {
        int Index;
        const char* Value;
    } Cases[] = {{0, "brimlet"}, {1, "1"}, {2, "$20"}, {3, ""}, {-1, ""}};
    for (const auto& Case : Cases)
        EXPECT_EQ(ParamStr(Case.Index), Case.Value) << Case.Index;
}

TEST(ProgramArguments, ANewRecordReplacesTheOld)
{
    char Name[] = "brimlet";
    char Flag[] = "17";
    char* Values[] = {Name, Flag};
    SetProgramArguments(2, Values);
    SetProgramArguments(1, Values);
    EXPECT_EQ(ParamCount(), 0);
    EXPECT_EQ(ParamStr(1), "");
    SetProgramArguments(0, Values);
    EXPECT_EQ(ParamCount(), 0);
    EXPECT_EQ(ParamStr(0), "");
}

TEST(ProgramArguments, CopiedWhenRecorded)
{
    char Name[] = "brimlet";
    char Flag[] = "17";
    char* Values[] = {Name, Flag};
    SetProgramArguments(2, Values);
    Flag[0] = '9';
    EXPECT_EQ(ParamStr(1), "17");
}

}

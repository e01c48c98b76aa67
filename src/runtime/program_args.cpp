#include "runtime/program_args.h"

#include <vector>

namespace {

// The program's name followed by its arguments, as the run frame recorded them.
std::vector<std::string> Arguments;

} // namespace

void SetProgramArguments(int Count, char** Values)
{
    Arguments.clear();
    for (int Index = 0; Index < Count; ++Index)
        Arguments.emplace_back(Values[Index] ? Values[Index] : "");
}

int ParamCount()
{
    return Arguments.empty() ? 0 : static_cast<int>(Arguments.size()) - 1;
}

std::string ParamStr(int Index)
{
    if (Index < 0 || Index >= static_cast<int>(Arguments.size()))
        return "";
    return Arguments[static_cast<std::size_t>(Index)];
}

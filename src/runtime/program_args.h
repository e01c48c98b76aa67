#pragma once
// The process's command line, recorded once by the run frame and read where the program needs it.

#include <string>

void SetProgramArguments(int Count, char** Values);
// The number of arguments after the program's name.
int ParamCount();
// Argument Index (1 is the first after the program's name); "" when there is none.
std::string ParamStr(int Index);

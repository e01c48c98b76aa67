#include "app/run_frame.h"
#include "app/test_program.h"
#include "runtime/standard_files.h"

int main(int argc, char** argv)
{
    OpenClosedStandardFiles();
    return RunApplication(argc, argv, TestProgram);
}

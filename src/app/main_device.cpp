#include "app/run_frame.h"
#include "app/test_program.h"

int main(int argc, char** argv)
{
    return RunApplication(argc, argv, TestProgram);
}

#include "runtime/console.h"

#include <unistd.h>

#include "runtime/write_all.h"

void WriteLine(const std::string& Text)
{
    // One buffer for the line and its end, so that the line leaves in one write whenever the system allows it.
    WriteAll(STDOUT_FILENO, Text + '\n');
}

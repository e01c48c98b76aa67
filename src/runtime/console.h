#pragma once
// Console output: every message is one whole line on standard output, written at once, so that the lines of the
// program, of SDL and of the simulator never interleave inside a line. A write that fails (a full device, a closed
// pipe) raises EInOutError.

#include <string>

void WriteLine(const std::string& Text);

#pragma once
// The trace: every register access and device event as one text line, to a file or to memory. Consecutive identical
// reads fold into one line ending in " xN", so that a wait polling a register takes one line. While the trace is off
// each access costs one test.

#include <cstdint>

// One register access by the program: "W16 C00028DA 04AB", "R32 E0020034 00000000 x3".
void TraceAccess(bool Write, int Bits, std::uint32_t Address, std::uint32_t Value);
// Any other device event, as one line that begins with a word of its own ("FLIP 1 03000000").
void TraceEvent(const char* Format, ...) __attribute__((format(printf, 1, 2)));
// The trace off.
void ResetTrace();

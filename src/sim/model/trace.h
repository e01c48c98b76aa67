#pragma once
// The trace: every register access and device event as one text line, to a file or to memory. Consecutive identical
// reads fold into one line ending in " xN", so that a wait polling a register takes one line, up to the read that
// ends the wait, which stands on a line of its own. While the trace is off each access costs one test.

#include <cstdint>

// One register access by the program: "W16 C00028DA 04AB", "R32 E0020034 00000001 x3". Foldable: a read that
// identical reads after it may join.
void TraceAccess(bool Write, int Bits, std::uint32_t Address, std::uint32_t Value, bool Foldable);
// Any other device event, as one line that begins with a word of its own ("FLIP 1 03000000").
void TraceEvent(const char* Format, ...) __attribute__((format(printf, 1, 2)));
// The trace off.
void ResetTrace();

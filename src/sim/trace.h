#pragma once
// The trace file and the recording of register accesses. Both cost one test per access while they are off.

#include <cstdint>

// One register access: traced as a line (consecutive identical reads of a status register folded into one line
// ending in " xN") and recorded, each when on.
void ObserveAccess(bool Write, int Bits, std::uint32_t Address, std::uint32_t Value, bool StatusRegister);
// Any other device event, as one trace line that begins with a word of its own ("FLIP 1 03000000").
void TraceEvent(const char* Format, ...) __attribute__((format(printf, 1, 2)));
// No trace file, no recording.
void ResetTrace();

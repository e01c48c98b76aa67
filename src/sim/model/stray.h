#pragma once
// Accesses that the device would not take as the program means them: an offset the register map does not define
// (or an access of the wrong width), a write to a read-only register, a write to the blitter's registers while it
// runs. Each is counted and traced as a line of its own kind, and the launcher may end the run at the first.

#include <cstdint>

enum class TStray { Undefined, ReadOnly, Busy };

void ReportStray(TStray Kind, bool Write, int Bits, std::uint32_t Address, std::uint32_t Value);
// No stray access counted.
void ResetStrays();

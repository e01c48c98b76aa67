#pragma once
// The reference-counted register window: the device's 16-bit register block and its 32-bit blitter window, both
// mapped through /dev/mem. Only the first acquisition opens and maps; only the release that brings the count to
// zero touches the hardware again and closes /dev/mem.

#include <cstdint>

extern std::int32_t MemoryRefCount;
extern std::int32_t MemHandle;
extern volatile std::uint16_t* Regs16;
extern volatile std::uint32_t* BlitRegs;

bool OpenMemory();
void CloseMemory();
// Acquires the window and returns the /dev/mem descriptor, or -1. The caller owns the reference it takes.
std::int32_t GetMemoryHandle();

// One register access each, at a byte offset of the register map.
std::uint16_t ReadReg16(std::uint32_t Offset);
void WriteReg16(std::uint32_t Offset, std::uint16_t Value);
std::uint32_t ReadBlitReg(std::uint32_t Offset);
void WriteBlitReg(std::uint32_t Offset, std::uint32_t Value);

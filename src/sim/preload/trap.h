#pragma once
// The trap of the device executable's register accesses. The simulated device maps the register block and the
// blitter window as pages without access, so every load or store there raises SIGSEGV; the handler decodes the
// instruction, carries the access out on the device model through the simulated seam, writes a load's value into
// the saved register and steps the program counter past the instruction. A fault anywhere else ends the process as
// it would have; an instruction there that the decoder refuses ends the run with status 3, naming it.

// Installs the handler, before the executable's main runs.
void TrapRegisterAccesses();

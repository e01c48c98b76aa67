#pragma once
// Decodes a load or store of the device executable that trapped on the register block or the blitter window, so that
// the device library can carry it out on the simulated device: the ARM and Thumb-2 forms of 16- and 32-bit loads and
// stores (a signed halfword load too), with an immediate or a register offset, offset, pre-indexed or post-indexed.
// Bytes, pairs, multiple registers, literal loads and loads into the program counter are refused: the compiler emits
// none of them for a register access.

#include <cstdint>
#include <string>

// The registers at the trap: R[15] is the address of the instruction; CPSR with its Thumb bit and IT state.
struct TCpuState {
    std::uint32_t R[16];
    std::uint32_t Cpsr;
};

constexpr std::uint32_t CpsrThumb = 1u << 5;

struct TDecodedAccess {
    bool Store;
    unsigned Width;        // 16 or 32 bits
    bool SignExtend;       // a signed halfword load
    unsigned Rt;           // the register loaded or stored
    std::uint32_t Address; // the address accessed
    bool Writeback;        // the base register Rn takes NewBase
    unsigned Rn;
    std::uint32_t NewBase;
    unsigned Length; // of the instruction in bytes: 2 or 4
};

// The instruction at the program counter, whose first four bytes Code holds (little-endian, as in memory), in the
// state CPSR tells. False when it is none of the forms above.
bool DecodeAccess(const TCpuState& Cpu, const std::uint8_t* Code, TDecodedAccess& Access);
// The instruction as a word, for messages: ARM's word, a 16-bit Thumb halfword, or a 32-bit Thumb instruction's
// first halfword above its second.
std::uint32_t InstructionWord(const TCpuState& Cpu, const std::uint8_t* Code);
// The instruction in hexadecimal as the manuals write it: 4 digits for a 16-bit Thumb instruction, else 8.
std::string InstructionText(const TCpuState& Cpu, const std::uint8_t* Code);
// Completes the access after it was carried out: a load's Value (the width's low bits) into its register, sign
// extended where asked, the base written back, the program counter past the instruction and, in Thumb state, the IT
// block moved on by one instruction.
void CompleteAccess(TCpuState& Cpu, const TDecodedAccess& Access, std::uint32_t Value);

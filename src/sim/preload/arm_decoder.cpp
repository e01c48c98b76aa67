// The decoder follows the ARM Architecture Reference Manual's encodings of the single-register loads and stores
// (ARMv7-A: A5.3 and A5.2.8 for ARM, A6.2.4 and A6.3.7-A6.3.10 for Thumb).

#include "sim/preload/arm_decoder.h"

#include <cstdio>

namespace {

constexpr unsigned Pc = 15;

std::uint32_t Bits(std::uint32_t Word, unsigned High, unsigned Low)
{
    return (Word >> Low) & ((2u << (High - Low)) - 1);
}

std::uint16_t Halfword(const std::uint8_t* Code, unsigned At)
{
    return static_cast<std::uint16_t>(Code[At] | Code[At + 1] << 8);
}

bool Thumb(const TCpuState& Cpu)
{
    return (Cpu.Cpsr & CpsrThumb) != 0;
}

// A Thumb instruction whose first halfword begins 0b11101, 0b11110 or 0b11111 is 32 bits long.
bool Thumb32(std::uint16_t First)
{
    return (First >> 11) >= 0x1D;
}

// The access at Base and Offset: offset addressing without writeback, or pre- and post-indexed with it.
void Address(const TCpuState& Cpu, unsigned Rn, std::uint32_t Offset, bool Add, bool Index, bool Writeback,
             TDecodedAccess& Access)
{
    const std::uint32_t Base = Cpu.R[Rn];
    const std::uint32_t Offsetted = Add ? Base + Offset : Base - Offset;
    Access.Rn = Rn;
    Access.Address = Index ? Offsetted : Base;
    Access.Writeback = Writeback || !Index;
    Access.NewBase = Offsetted;
}

// ARM's shift of an offset register by an immediate: LSL, LSR, ASR, ROR, or RRX in place of ROR #0.
std::uint32_t Shifted(const TCpuState& Cpu, std::uint32_t Value, unsigned Type, unsigned Amount)
{
    switch (Type) {
    case 0: return Value << Amount;
    case 1: return Amount == 0 ? 0 : Value >> Amount;
    case 2: return static_cast<std::uint32_t>(static_cast<std::int32_t>(Value) >> (Amount == 0 ? 31 : Amount));
    default:
        if (Amount == 0)
            return (Cpu.Cpsr & (1u << 29)) << 2 | Value >> 1;
        return Value >> Amount | Value << (32 - Amount);
    }
}

bool DecodeArm(const TCpuState& Cpu, std::uint32_t Word, TDecodedAccess& Access)
{
    const unsigned Rn = Bits(Word, 19, 16);
    Access.Rt = Bits(Word, 15, 12);
    Access.Store = Bits(Word, 20, 20) == 0;
    Access.Length = 4;
    const bool Index = Bits(Word, 24, 24) != 0, Add = Bits(Word, 23, 23) != 0, Writeback = Bits(Word, 21, 21) != 0;
    std::uint32_t Offset;
    if (Bits(Word, 27, 26) == 1) {
        // LDR and STR; a byte (bit 22) is no register access, and bit 25 with bit 4 is a media instruction.
        if (Bits(Word, 22, 22) != 0 || (Bits(Word, 25, 25) != 0 && Bits(Word, 4, 4) != 0))
            return false;
        Access.Width = 32;
        Access.SignExtend = false;
        Offset = Bits(Word, 25, 25) == 0 ? Bits(Word, 11, 0)
                                         : Shifted(Cpu, Cpu.R[Bits(Word, 3, 0)], Bits(Word, 6, 5), Bits(Word, 11, 7));
    } else if (Bits(Word, 27, 25) == 0 && Bits(Word, 7, 7) != 0 && Bits(Word, 4, 4) != 0) {
        // LDRH, STRH and LDRSH; LDRSB, LDRD and STRD share the encoding.
        const unsigned Op = Bits(Word, 6, 5);
        if (Op != 1 && !(Op == 3 && !Access.Store))
            return false;
        Access.Width = 16;
        Access.SignExtend = Op == 3;
        Offset = Bits(Word, 22, 22) != 0 ? Bits(Word, 11, 8) << 4 | Bits(Word, 3, 0) : Cpu.R[Bits(Word, 3, 0)];
    } else {
        return false;
    }
    if (Rn == Pc || Access.Rt == Pc)
        return false;
    Address(Cpu, Rn, Offset, Add, Index, Writeback, Access);
    return true;
}

bool DecodeThumb16(const TCpuState& Cpu, std::uint16_t Half, TDecodedAccess& Access)
{
    Access.Length = 2;
    Access.SignExtend = false;
    unsigned Rn = Bits(Half, 5, 3);
    std::uint32_t Offset;
    if (Bits(Half, 15, 12) == 5) {
        // Register offset: STR, STRH, STRB, LDRSB, LDR, LDRH, LDRB, LDRSH.
        static constexpr int Widths[8] = {32, 16, 0, 0, 32, 16, 0, 16};
        const unsigned Op = Bits(Half, 11, 9);
        if (Widths[Op] == 0)
            return false;
        Access.Width = static_cast<unsigned>(Widths[Op]);
        Access.Store = Op < 3;
        Access.SignExtend = Op == 7;
        Offset = Cpu.R[Bits(Half, 8, 6)];
        Access.Rt = Bits(Half, 2, 0);
    } else if (Bits(Half, 15, 12) == 6 || Bits(Half, 15, 12) == 8) {
        // LDR and STR, LDRH and STRH with a 5-bit immediate scaled by the width.
        Access.Width = Bits(Half, 15, 12) == 6 ? 32 : 16;
        Access.Store = Bits(Half, 11, 11) == 0;
        Offset = Bits(Half, 10, 6) * (Access.Width / 8);
        Access.Rt = Bits(Half, 2, 0);
    } else if (Bits(Half, 15, 12) == 9) {
        // LDR and STR relative to SP.
        Access.Width = 32;
        Access.Store = Bits(Half, 11, 11) == 0;
        Rn = 13;
        Offset = Bits(Half, 7, 0) * 4;
        Access.Rt = Bits(Half, 10, 8);
    } else {
        return false;
    }
    Address(Cpu, Rn, Offset, true, true, false, Access);
    return true;
}

bool DecodeThumb32(const TCpuState& Cpu, std::uint16_t First, std::uint16_t Second, TDecodedAccess& Access)
{
    // 1111 100 S Imm12 Size(2) L Rn: the single-register loads and stores.
    if ((First & 0xFE00) != 0xF800)
        return false;
    const bool Signed = Bits(First, 8, 8) != 0;
    const unsigned Size = Bits(First, 6, 5), Rn = Bits(First, 3, 0);
    Access.Store = Bits(First, 4, 4) == 0;
    Access.Rt = Bits(Second, 15, 12);
    Access.Length = 4;
    if (Size == 0 || Size == 3 || (Signed && (Access.Store || Size != 1)) || Rn == Pc || Access.Rt == Pc)
        return false;
    Access.Width = Size == 1 ? 16 : 32;
    Access.SignExtend = Signed;
    if (Bits(First, 7, 7) != 0) {
        Address(Cpu, Rn, Bits(Second, 11, 0), true, true, false, Access);
    } else if (Bits(Second, 11, 11) != 0) {
        // An 8-bit immediate, added or subtracted, offset, pre- or post-indexed (P U W); P = W = 0 is undefined.
        const bool Index = Bits(Second, 10, 10) != 0, Writeback = Bits(Second, 8, 8) != 0;
        if (!Index && !Writeback)
            return false;
        Address(Cpu, Rn, Bits(Second, 7, 0), Bits(Second, 9, 9) != 0, Index, Writeback, Access);
    } else if (Bits(Second, 11, 6) == 0) {
        Address(Cpu, Rn, Cpu.R[Bits(Second, 3, 0)] << Bits(Second, 5, 4), true, true, false, Access);
    } else {
        return false;
    }
    return true;
}

} // namespace

bool DecodeAccess(const TCpuState& Cpu, const std::uint8_t* Code, TDecodedAccess& Access)
{
    if (!Thumb(Cpu))
        return DecodeArm(Cpu, InstructionWord(Cpu, Code), Access);
    const std::uint16_t First = Halfword(Code, 0);
    if (Thumb32(First))
        return DecodeThumb32(Cpu, First, Halfword(Code, 2), Access);
    return DecodeThumb16(Cpu, First, Access);
}

std::uint32_t InstructionWord(const TCpuState& Cpu, const std::uint8_t* Code)
{
    if (!Thumb(Cpu))
        return static_cast<std::uint32_t>(Halfword(Code, 2)) << 16 | Halfword(Code, 0);
    const std::uint16_t First = Halfword(Code, 0);
    return Thumb32(First) ? static_cast<std::uint32_t>(First) << 16 | Halfword(Code, 2) : First;
}

std::string InstructionText(const TCpuState& Cpu, const std::uint8_t* Code)
{
    char Text[9];
    const bool Short = Thumb(Cpu) && !Thumb32(Halfword(Code, 0));
    std::snprintf(Text, sizeof Text, Short ? "%04X" : "%08X", static_cast<unsigned>(InstructionWord(Cpu, Code)));
    return Text;
}

void CompleteAccess(TCpuState& Cpu, const TDecodedAccess& Access, std::uint32_t Value)
{
    if (Access.Writeback)
        Cpu.R[Access.Rn] = Access.NewBase;
    if (!Access.Store) {
        if (Access.Width == 16)
            Value = Access.SignExtend ? static_cast<std::uint32_t>(static_cast<std::int16_t>(Value)) : Value & 0xFFFF;
        Cpu.R[Access.Rt] = Value;
    }
    Cpu.R[Pc] += Access.Length;
    if (!Thumb(Cpu))
        return;
    // ITSTATE (CPSR bits 15-10 and 26-25) moves on as after any instruction of an IT block.
    std::uint32_t It = Bits(Cpu.Cpsr, 15, 10) << 2 | Bits(Cpu.Cpsr, 26, 25);
    It = (It & 7) == 0 ? 0 : (It & 0xE0) | ((It << 1) & 0x1F);
    Cpu.Cpsr = (Cpu.Cpsr & ~0x0600FC00u) | (It & 3) << 25 | (It >> 2) << 10;
}

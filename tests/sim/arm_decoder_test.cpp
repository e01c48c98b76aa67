// The decoder of the device executable's trapped register accesses, on instruction words that the cross assembler
// emitted (arm-linux-gnueabihf-as -march=armv7-a), in a register state that gives each field a value of its own.

#include "sim/preload/arm_decoder.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t ThumbCpsr = 0x30;    // Thumb, user mode
constexpr std::uint32_t ArmCpsr = 0x20000010; // ARM, user mode, carry set (for RRX)

TCpuState Registers(bool Thumb)
{
    TCpuState Cpu{{0x40, 6, 0x1182, 0xC0000000, 0xE0020030}, Thumb ? ThumbCpsr : ArmCpsr};
    for (unsigned Index = 5; Index < 13; ++Index)
        Cpu.R[Index] = 0x100 * Index;
    Cpu.R[13] = 0xC0000100;
    Cpu.R[14] = 0x1234;
    Cpu.R[15] = 0x8000;
    return Cpu;
}

// The instruction's bytes as they stand in memory; a 32-bit Thumb word is its first halfword above its second.
struct TCode {
    std::uint8_t Bytes[4];
};

TCode CodeOf(std::uint32_t Word, const TCpuState& Cpu)
{
    if ((Cpu.Cpsr & CpsrThumb) != 0 && Word > 0xFFFF)
        Word = Word >> 16 | Word << 16;
    return {{std::uint8_t(Word), std::uint8_t(Word >> 8), std::uint8_t(Word >> 16), std::uint8_t(Word >> 24)}};
}

struct TCase {
    const char* Text;
    bool Thumb;
    std::uint32_t Word;
    bool Store;
    unsigned Width;
    bool SignExtend;
    unsigned Rt;
    std::uint32_t Address;
    bool Writeback;
    unsigned Rn;
    std::uint32_t NewBase;
};

const TCase Cases[] = {
    // Thumb, 16 bits: immediate, register and SP-relative offsets.
    {"ldrh r1, [r3, #4]",          true,  0x8899,     false, 16, false, 1,  0xC0000004, false, 3, 0},
    {"strh r2, [r3, #62]",         true,  0x87DA,     true,  16, false, 2,  0xC000003E, false, 3, 0},
    {"ldr r0, [r4, #4]",           true,  0x6860,     false, 32, false, 0,  0xE0020034, false, 4, 0},
    {"str r7, [r4, #0]",           true,  0x6027,     true,  32, false, 7,  0xE0020030, false, 4, 0},
    {"ldrh r5, [r3, r1]",          true,  0x5A5D,     false, 16, false, 5,  0xC0000006, false, 3, 0},
    {"ldrsh r6, [r3, r1]",         true,  0x5E5E,     false, 16, true,  6,  0xC0000006, false, 3, 0},
    {"strh r0, [r3, r2]",          true,  0x5298,     true,  16, false, 0,  0xC0001182, false, 3, 0},
    {"ldr r2, [r4, r0]",           true,  0x5822,     false, 32, false, 2,  0xE0020070, false, 4, 0},
    {"str r1, [sp, #8]",           true,  0x9102,     true,  32, false, 1,  0xC0000108, false, 13, 0},
    // Thumb-2: 12-bit immediates, 8-bit immediates down and up, pre- and post-indexed, shifted register offsets.
    {"ldrh.w r8, [r3, #386]",      true,  0xF8B38182, false, 16, false, 8,  0xC0000182, false, 3, 0},
    {"strh.w r9, [r3, #2]",        true,  0xF8A39002, true,  16, false, 9,  0xC0000002, false, 3, 0},
    {"ldr.w r10, [r4, #4]",        true,  0xF8D4A004, false, 32, false, 10, 0xE0020034, false, 4, 0},
    {"ldrsh.w r11, [r3, #8]",      true,  0xF9B3B008, false, 16, true,  11, 0xC0000008, false, 3, 0},
    {"ldrh.w r1, [r3, #-2]",       true,  0xF8331C02, false, 16, false, 1,  0xBFFFFFFE, false, 3, 0},
    {"ldrh.w r1, [r3, #4]!",       true,  0xF8331F04, false, 16, false, 1,  0xC0000004, true,  3, 0xC0000004},
    {"ldrh.w r1, [r3], #4",        true,  0xF8331B04, false, 16, false, 1,  0xC0000000, true,  3, 0xC0000004},
    {"str.w r12, [r4], #-4",       true,  0xF844C904, true,  32, false, 12, 0xE0020030, true,  4, 0xE002002C},
    {"ldrsh.w r9, [r3, #-2]!",     true,  0xF9339D02, false, 16, true,  9,  0xBFFFFFFE, true,  3, 0xBFFFFFFE},
    {"ldr.w r1, [r3, r2, lsl #2]", true,  0xF8531022, false, 32, false, 1,  0xC0004608, false, 3, 0},
    {"strh.w r0, [r3, r1, lsl #1]",true,  0xF8230011, true,  16, false, 0,  0xC000000C, false, 3, 0},
    // ARM: immediate and register offsets, added and subtracted, every shift, pre- and post-indexed.
    {"ldrh r1, [r3, #4]",          false, 0xE1D310B4, false, 16, false, 1,  0xC0000004, false, 3, 0},
    {"strh r1, [r3, #-4]!",        false, 0xE16310B4, true,  16, false, 1,  0xBFFFFFFC, true,  3, 0xBFFFFFFC},
    {"ldrh r1, [r3], #2",          false, 0xE0D310B2, false, 16, false, 1,  0xC0000000, true,  3, 0xC0000002},
    {"ldrsh r1, [r3, r1]",         false, 0xE19310F1, false, 16, true,  1,  0xC0000006, false, 3, 0},
    {"ldrh r1, [r3, -r1]",         false, 0xE11310B1, false, 16, false, 1,  0xBFFFFFFA, false, 3, 0},
    {"strh r1, [r3], -r2",         false, 0xE00310B2, true,  16, false, 1,  0xC0000000, true,  3, 0xBFFFEE7E},
    {"ldr r1, [r4, #4]",           false, 0xE5941004, false, 32, false, 1,  0xE0020034, false, 4, 0},
    {"str r1, [r4, #-8]!",         false, 0xE5241008, true,  32, false, 1,  0xE0020028, true,  4, 0xE0020028},
    {"ldr r1, [r4], #4",           false, 0xE4941004, false, 32, false, 1,  0xE0020030, true,  4, 0xE0020034},
    {"ldr r1, [r3, r2, lsl #2]",   false, 0xE7931102, false, 32, false, 1,  0xC0004608, false, 3, 0},
    {"str r1, [r3, r0, lsr #4]",   false, 0xE7831220, true,  32, false, 1,  0xC0000004, false, 3, 0},
    {"ldr r1, [r3, r2, asr #1]",   false, 0xE79310C2, false, 32, false, 1,  0xC00008C1, false, 3, 0},
    {"ldr r1, [r3, r1, ror #1]",   false, 0xE79310E1, false, 32, false, 1,  0xC0000003, false, 3, 0},
    {"ldr r1, [r3, r1, rrx]",      false, 0xE7931061, false, 32, false, 1,  0x40000003, false, 3, 0},
};

TEST(ArmDecoder, DecodesEveryFormOfA16Or32BitAccess)
{
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        const TCpuState Cpu = Registers(Case.Thumb);
        const TCode Code = CodeOf(Case.Word, Cpu);
        TDecodedAccess Access{};
        ASSERT_TRUE(DecodeAccess(Cpu, Code.Bytes, Access));
        EXPECT_EQ(InstructionWord(Cpu, Code.Bytes), Case.Word);
        EXPECT_EQ(Access.Store, Case.Store);
        EXPECT_EQ(Access.Width, Case.Width);
        EXPECT_EQ(Access.SignExtend, Case.SignExtend);
        EXPECT_EQ(Access.Rt, Case.Rt);
        EXPECT_EQ(Access.Address, Case.Address);
        EXPECT_EQ(Access.Writeback, Case.Writeback);
        if (Case.Writeback) {
            EXPECT_EQ(Access.Rn, Case.Rn);
            EXPECT_EQ(Access.NewBase, Case.NewBase);
        }
        EXPECT_EQ(Access.Length, Case.Thumb && Case.Word <= 0xFFFF ? 2u : 4u);
    }
}

TEST(ArmDecoder, RefusesWhatIsNoRegisterAccess)
{
    const struct {
        const char* Text;
        bool Thumb;
        std::uint32_t Word;
        const char* Shown; // in the message that refuses it
    } Refused[] = {
        {"ldrb r0, [r3, #1]",      true,  0x7858,     "7858"},
        {"ldrsb r0, [r3, r1]",     true,  0x5658,     "5658"},
        {"ldrb.w r0, [r3, #1]",    true,  0xF8930001, "F8930001"},
        {"ldrd r0, r1, [r3]",      true,  0xE9D30100, "E9D30100"},
        {"ldr.w r0, [pc, #4]",     true,  0xF8DF0004, "F8DF0004"},
        {"ldmia.w r3, {r0, r1}",   true,  0xE8930003, "E8930003"},
        {"ldrb r1, [r3]",          false, 0xE5D31000, "E5D31000"},
        {"ldrd r0, r1, [r3]",      false, 0xE1C300D0, "E1C300D0"},
        {"ldrsb r1, [r3, #1]",     false, 0xE1D310D1, "E1D310D1"},
        {"ldr r1, [pc, #4]",       false, 0xE59F1004, "E59F1004"},
        {"ldr pc, [r3]",           false, 0xE593F000, "E593F000"},
        {"ldm r3, {r0, r1}",       false, 0xE8930003, "E8930003"},
    };
    for (const auto& Case : Refused) {
        SCOPED_TRACE(Case.Text);
        const TCpuState Cpu = Registers(Case.Thumb);
        TDecodedAccess Access{};
        EXPECT_FALSE(DecodeAccess(Cpu, CodeOf(Case.Word, Cpu).Bytes, Access));
        EXPECT_EQ(InstructionText(Cpu, CodeOf(Case.Word, Cpu).Bytes), Case.Shown);
    }
}

// After the access: the loaded register alone takes the value, the base its new value, the program counter moves
// past the instruction and an IT block on by one; every other register stays.
TEST(ArmDecoder, CompletesTheAccessInTheSavedRegisters)
{
    const std::uint32_t ItTwoLeft = 1u << 26 | 1u << 12 | 1u << 10; // ITSTATE 0x16: this and one more instruction
    const std::uint32_t ItOneLeft = 1u << 11 | 1u << 10;           // ITSTATE 0x0C
    const std::uint32_t ItLast = 1u << 11;                         // ITSTATE 0x08: the block's last instruction
    const struct {
        const char* Text;
        bool Thumb;
        std::uint32_t Word, ItState, Value;
        unsigned Changed;
        std::uint32_t Result, NextPc, NextItState;
        unsigned Base;
        std::uint32_t NewBase;
    } Completions[] = {
        {"ldrsh r6, [r3, r1]",    true,  0x5E5E,     0,         0x00018001, 6,  0xFFFF8001, 0x8002, 0,         3, 0xC0000000},
        {"ldrh.w r8, [r3, #386]", true,  0xF8B38182, 0,         0x00018001, 8,  0x00008001, 0x8004, 0,         3, 0xC0000000},
        {"ldr r1, [r4], #4",      false, 0xE4941004, 0,         0x12345678, 1,  0x12345678, 0x8004, 0,         4, 0xE0020034},
        {"str.w r12, [r4], #-4",  true,  0xF844C904, 0,         0x12345678, 12, 0x00000C00, 0x8004, 0,         4, 0xE002002C},
        {"ldrh r1, [r3, #4]",     true,  0x8899,     ItTwoLeft, 0x00000005, 1,  0x00000005, 0x8002, ItOneLeft, 3, 0xC0000000},
        {"ldrh r1, [r3, #4]",     true,  0x8899,     ItLast,    0x00000005, 1,  0x00000005, 0x8002, 0,         3, 0xC0000000},
    };
    for (const auto& Case : Completions) {
        SCOPED_TRACE(Case.Text);
        TCpuState Cpu = Registers(Case.Thumb);
        Cpu.Cpsr |= Case.ItState;
        const TCode Code = CodeOf(Case.Word, Cpu);
        TDecodedAccess Access{};
        ASSERT_TRUE(DecodeAccess(Cpu, Code.Bytes, Access));
        TCpuState Expected = Cpu;
        Expected.R[Case.Changed] = Case.Result;
        Expected.R[Case.Base] = Case.NewBase;
        Expected.R[15] = Case.NextPc;
        Expected.Cpsr = (Cpu.Cpsr & ~Case.ItState) | Case.NextItState;
        CompleteAccess(Cpu, Access, Case.Value);
        for (unsigned Index = 0; Index < 16; ++Index)
            EXPECT_EQ(Cpu.R[Index], Expected.R[Index]) << "r" << Index;
        EXPECT_EQ(Cpu.Cpsr, Expected.Cpsr);
    }
}

} // namespace

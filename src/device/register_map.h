#pragma once
// The device's hardware registers, in one place: the device layer programs them and the simulated device models
// them from this same list. Offsets are byte offsets from the start of their block.

#include <cstdint>

// Physical layout of the register window.
constexpr std::uint32_t RegisterBlockPhys = 0xC0000000u; // 16-bit registers
constexpr std::uint32_t RegisterBlockSize = 0x10000u;
constexpr std::uint32_t BlitterWindowPhys = 0xE0020000u; // 32-bit blitter registers
constexpr std::uint32_t BlitterWindowSize = 0x100u;

// Register block (16-bit).
constexpr std::uint32_t RegVideoControl = 0x0904; // bit 10 set at video set-up, read-modify-write
constexpr std::uint16_t VideoControlEnable = 0x0400;
constexpr std::uint32_t RegVideoMask = 0x090A; // 0xFFFF written at video set-up
constexpr std::uint16_t VideoMaskAll = 0xFFFF;
constexpr std::uint32_t RegDisplayStatus = 0x1182; // bit 4 reads 1 during vertical sync
constexpr std::uint16_t DisplayStatusVSync = 0x0010;
constexpr std::uint32_t RegButtons = 0x1184;       // active low: a pressed button reads 0
constexpr std::uint32_t RegExtraButtons = 0x1186;  // active low
constexpr std::uint32_t RegDirections = 0x1198;    // active low, bits 0-7: the direction ring
constexpr std::uint32_t RegDisplayFormat = 0x28DA; // ((bits per pixel div 8) shl 9) or 0x00AB
constexpr std::uint16_t DisplayFormatBase = 0x00AB;
constexpr std::uint32_t RegDisplayLineLength = 0x290C; // bytes per display line
constexpr std::uint32_t RegDisplayStartLow = 0x290E;
constexpr std::uint32_t RegDisplayStartHigh = 0x2910; // the display latches the start address on this write
constexpr std::uint32_t RegDisplayStart2Low = 0x2912;
constexpr std::uint32_t RegDisplayStart2High = 0x2914;

// What the last release of the register window restores: the 16 bits per pixel format and line length.
constexpr std::uint16_t DisplayFormatRestore = 0x04AB;
constexpr std::uint16_t DisplayLineLengthRestore = 0x0280;

// Button bits of the inverted register at RegButtons, by button number.
constexpr std::uint16_t Button1Bit = 0x1000;
constexpr std::uint16_t Button2Bit = 0x2000;
constexpr std::uint16_t Button3Bit = 0x8000;
constexpr std::uint16_t Button4Bit = 0x4000;
constexpr std::uint16_t Button5Bit = 0x0200;
constexpr std::uint16_t Button6Bit = 0x0100;
constexpr std::uint16_t Button9Bit = 0x0400;
constexpr std::uint16_t Button10Bit = 0x0800;
// Bits of the inverted register at RegExtraButtons.
constexpr std::uint16_t Button7Bit = 0x0040;
constexpr std::uint16_t Button8Bit = 0x0080;
// Direction ring contacts, bits of the inverted register at RegDirections, bit 0 to bit 7 around the ring.
constexpr std::uint16_t RingUpBit = 0x01;
constexpr std::uint16_t RingUpLeftBit = 0x02;
constexpr std::uint16_t RingLeftBit = 0x04;
constexpr std::uint16_t RingDownLeftBit = 0x08;
constexpr std::uint16_t RingDownBit = 0x10;
constexpr std::uint16_t RingDownRightBit = 0x20;
constexpr std::uint16_t RingRightBit = 0x40;
constexpr std::uint16_t RingUpRightBit = 0x80;

// Blitter window (32-bit registers).
constexpr std::uint32_t BlitDstCtrl = 0x00;
constexpr std::uint32_t BlitDstAddr = 0x04;
constexpr std::uint32_t BlitDstStride = 0x08;
constexpr std::uint32_t BlitSrcCtrl = 0x0C;
constexpr std::uint32_t BlitSrcAddr = 0x10;
constexpr std::uint32_t BlitSrcStride = 0x14;
constexpr std::uint32_t BlitReg20 = 0x20;
constexpr std::uint32_t BlitSize = 0x2C; // width in bits 0-15, height in bits 16-31
constexpr std::uint32_t BlitOp = 0x30;   // raster operation, fixed bits, colour key
constexpr std::uint32_t BlitRun = 0x34;  // write 1 to start; bit 0 reads 1 while busy

constexpr std::uint32_t BlitCtrlOddPixel = 0x10; // first pixel is the second one of its 32-bit word
constexpr std::uint32_t BlitDstCtrlBlit = 0x20;
constexpr std::uint32_t BlitDstCtrlNop = 0x60;
constexpr std::uint32_t BlitSrcCtrlBlit = 0x1A0;
constexpr std::uint32_t BlitSrcCtrlNop = 0x100;
constexpr std::uint32_t BlitOpRopMask = 0xFF;
constexpr std::uint32_t BlitOpFixed = 0x700;
constexpr std::uint32_t BlitOpColorKey = 0x800;
constexpr std::uint32_t BlitOpKeyShift = 16;
constexpr std::uint32_t RopCopy = 0xCC;     // destination := source
constexpr std::uint32_t RopKeepDest = 0xAA; // destination unchanged
constexpr std::uint32_t BlitRunBusy = 0x1;
constexpr std::uint32_t BlitNopSize = 0x10008; // 8 wide, 1 high

// OSS mixer.
constexpr unsigned long SoundMixerWritePcm = 0xC0044D04ul;

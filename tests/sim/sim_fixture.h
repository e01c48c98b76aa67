#pragma once
// A fresh simulated device for each test, in fast mode, with the register block and the blitter window mapped
// through the seam as the device layer maps them.

#include "device/register_map.h"
#include "platform/platform.h"
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>

#include <cstdint>

// The blitter's registers for one operation.
struct TBlitRegisters {
    std::uint32_t DstCtrl, DstAddr;
    std::int32_t DstStride;
    std::uint32_t SrcCtrl, SrcAddr;
    std::int32_t SrcStride;
    std::uint32_t Size, Op;
};

class TSimFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        SimSetFastMode(true);
        MemHandle = PlatformOpen("/dev/mem", O_RDWR);
        ASSERT_GE(MemHandle, 0);
        void* Block = PlatformMap(nullptr, RegisterBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, MemHandle,
                                  RegisterBlockPhys);
        void* Window = PlatformMap(nullptr, BlitterWindowSize, PROT_READ | PROT_WRITE, MAP_SHARED, MemHandle,
                                   BlitterWindowPhys);
        ASSERT_NE(Block, MAP_FAILED);
        ASSERT_NE(Window, MAP_FAILED);
        Regs = static_cast<volatile std::uint16_t*>(Block);
        Blit = static_cast<volatile std::uint32_t*>(Window);
    }

    void TearDown() override { SimReset(); }

    std::uint16_t Read16(std::uint32_t Offset) { return PlatformLoad16(Regs + Offset / 2); }
    void Write16(std::uint32_t Offset, std::uint16_t Value) { PlatformStore16(Regs + Offset / 2, Value); }
    std::uint32_t ReadBlit(std::uint32_t Offset) { return PlatformLoad32(Blit + Offset / 4); }
    void WriteBlit(std::uint32_t Offset, std::uint32_t Value) { PlatformStore32(Blit + Offset / 4, Value); }

    // Programs every register of the operation and starts it.
    void RunBlit(const TBlitRegisters& Op)
    {
        WriteBlit(BlitDstCtrl, Op.DstCtrl);
        WriteBlit(BlitDstAddr, Op.DstAddr);
        WriteBlit(BlitDstStride, static_cast<std::uint32_t>(Op.DstStride));
        WriteBlit(BlitSrcCtrl, Op.SrcCtrl);
        WriteBlit(BlitSrcAddr, Op.SrcAddr);
        WriteBlit(BlitSrcStride, static_cast<std::uint32_t>(Op.SrcStride));
        WriteBlit(BlitReg20, 0);
        WriteBlit(BlitSize, Op.Size);
        WriteBlit(BlitOp, Op.Op);
        WriteBlit(BlitRun, 1);
    }

    // RAM's pixels: little-endian RGB565 at any address.
    static std::uint16_t Pixel(std::uint32_t Address)
    {
        const std::uint8_t* Host = SimPhysToHost(Address, 2);
        return static_cast<std::uint16_t>(Host[0] | Host[1] << 8);
    }
    static void SetPixel(std::uint32_t Address, std::uint16_t Value)
    {
        std::uint8_t* Host = SimPhysToHost(Address, 2);
        Host[0] = static_cast<std::uint8_t>(Value);
        Host[1] = static_cast<std::uint8_t>(Value >> 8);
    }
    static void FillPixels(std::uint32_t Address, std::uint32_t Count, std::uint16_t Value)
    {
        for (std::uint32_t Index = 0; Index < Count; ++Index)
            SetPixel(Address + 2 * Index, Value);
    }

    int MemHandle = -1;
    volatile std::uint16_t* Regs = nullptr;
    volatile std::uint32_t* Blit = nullptr;
};

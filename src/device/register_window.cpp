#include "device/register_window.h"

#include <fcntl.h>
#include <sys/mman.h>

#include "device/register_map.h"
#include "platform/platform.h"
#include "runtime/console.h"

std::int32_t MemoryRefCount = 0;
std::int32_t MemHandle = -1;
volatile std::uint16_t* Regs16 = nullptr;
volatile std::uint32_t* BlitRegs = nullptr;

namespace {

// A failed acquisition gives back what it had taken, so that repeated failures leak neither descriptors nor
// mappings; the count stays 0 and the caller has seen the message of the failing step.
void ReleasePartialWindow()
{
    if (Regs16 != nullptr) {
        PlatformUnmap(const_cast<std::uint16_t*>(Regs16), RegisterBlockSize);
        Regs16 = nullptr;
    }
    PlatformClose(MemHandle);
    MemHandle = -1;
}

void* MapRegion(std::uint32_t Length, std::uint32_t PhysAddress)
{
    return PlatformMap(nullptr, Length, PROT_READ | PROT_WRITE, MAP_SHARED, MemHandle, PhysAddress);
}

} // namespace

bool OpenMemory()
{
    if (MemoryRefCount > 0) {
        ++MemoryRefCount;
        return true;
    }
    MemHandle = PlatformOpen("/dev/mem", O_RDWR);
    if (MemHandle < 0) {
        WriteLine("dev/mem not open");
        return false;
    }
    void* Block = MapRegion(RegisterBlockSize, RegisterBlockPhys);
    if (Block == MAP_FAILED) {
        Regs16 = nullptr;
        ReleasePartialWindow();
        WriteLine("memory not maped");
        return false;
    }
    Regs16 = static_cast<volatile std::uint16_t*>(Block);
    void* Blitter = MapRegion(BlitterWindowSize, BlitterWindowPhys);
    if (Blitter == MAP_FAILED) {
        BlitRegs = nullptr;
        ReleasePartialWindow();
        WriteLine("blitter memory not maped");
        return false;
    }
    BlitRegs = static_cast<volatile std::uint32_t*>(Blitter);
    MemoryRefCount = 1;
    return true;
}

void CloseMemory()
{
    if (MemoryRefCount <= 0)
        return;
    --MemoryRefCount;
    if (MemoryRefCount > 0)
        return;
    // The last release leaves the display in the 16 bits per pixel format that the video set-up programs.
    // The mappings stay: they are made again, over the old addresses, by the next first acquisition.
    WriteReg16(RegDisplayFormat, DisplayFormatRestore);
    WriteReg16(RegDisplayLineLength, DisplayLineLengthRestore);
    if (PlatformClose(MemHandle) < 0)
        WriteLine("dev/map not close");
}

std::int32_t GetMemoryHandle()
{
    return OpenMemory() ? MemHandle : -1;
}

std::uint16_t ReadReg16(std::uint32_t Offset)
{
    return PlatformLoad16(Regs16 + Offset / sizeof(std::uint16_t));
}

void WriteReg16(std::uint32_t Offset, std::uint16_t Value)
{
    PlatformStore16(Regs16 + Offset / sizeof(std::uint16_t), Value);
}

std::uint32_t ReadBlitReg(std::uint32_t Offset)
{
    return PlatformLoad32(BlitRegs + Offset / sizeof(std::uint32_t));
}

void WriteBlitReg(std::uint32_t Offset, std::uint32_t Value)
{
    PlatformStore32(BlitRegs + Offset / sizeof(std::uint32_t), Value);
}

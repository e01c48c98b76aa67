#include "sim/blitter_registers.h"

#include "device/register_map.h"
#include "sim/blit_engine.h"
#include "sim/device_time.h"
#include "sim/sim.h"
#include "sim/trace.h"

#include <algorithm>

namespace {

alignas(4096) std::uint32_t Storage[BlitterWindowSize / 4];
// The moment the operation in progress ends (modelled time).
std::int64_t BusyUntil = 0;
std::uint64_t SkippedPixels = 0;

std::uint32_t Stored(std::uint32_t Offset)
{
    return Storage[Offset / 4];
}

// Bit 0 reads 1 while an operation runs. A read that finds it busy sleeps until the operation ends, because the
// reader would only poll until then.
std::uint32_t ReadRun(std::uint32_t Offset)
{
    std::uint32_t Other = Stored(Offset) & ~BlitRunBusy;
    if (FastTime())
        return Other;
    std::int64_t Until = BusyUntil;
    if (DeviceNow() >= Until)
        return Other;
    SleepUntil(Until);
    return Other | BlitRunBusy;
}

// Writing bit 0 runs the operation that the other registers describe. The pixels are in place at once; the
// busy time is what the device would need to move them, counted from the end of an operation still running.
void WriteRun(std::uint32_t Offset)
{
    if ((Stored(Offset) & BlitRunBusy) == 0)
        return;
    TBlitOperation Operation;
    Operation.DstAddr = Stored(BlitDstAddr);
    Operation.DstCtrl = Stored(BlitDstCtrl);
    Operation.DstStride = static_cast<std::int32_t>(Stored(BlitDstStride));
    Operation.SrcAddr = Stored(BlitSrcAddr);
    Operation.SrcCtrl = Stored(BlitSrcCtrl);
    Operation.SrcStride = static_cast<std::int32_t>(Stored(BlitSrcStride));
    Operation.Size = Stored(BlitSize);
    Operation.Op = Stored(BlitOp);
    TBlitResult Result = RunBlitOperation(Operation);
    SkippedPixels += Result.Skipped;
    std::int64_t Busy = BlitterBusyNanoseconds(Result.Moved);
    if (Busy > 0)
        BusyUntil = std::max(BusyUntil, DeviceNow()) + Busy;
}

struct TBlitterRegister {
    std::uint32_t Offset;
    bool Status;                              // polled: repeated identical reads fold into one trace line
    std::uint32_t (*Read)(std::uint32_t);     // the value a read sees, instead of the stored one
    void (*Written)(std::uint32_t);           // the side effect of a write, after the value is stored
};

// The blitter's registers, top to bottom; all power on at 0. Every other offset of the window is plain storage.
const TBlitterRegister BlitterMap[] = {
    {BlitDstCtrl, false, nullptr, nullptr},
    {BlitDstAddr, false, nullptr, nullptr},
    {BlitDstStride, false, nullptr, nullptr},
    {BlitSrcCtrl, false, nullptr, nullptr},
    {BlitSrcAddr, false, nullptr, nullptr},
    {BlitSrcStride, false, nullptr, nullptr},
    {BlitReg20, false, nullptr, nullptr},
    {BlitSize, false, nullptr, nullptr},
    {BlitOp, false, nullptr, nullptr},
    {BlitRun, true, ReadRun, WriteRun},
};

const TBlitterRegister* FindRegister(std::uint32_t Offset)
{
    for (const TBlitterRegister& Register : BlitterMap)
        if (Register.Offset == Offset)
            return &Register;
    return nullptr;
}

} // namespace

std::uint32_t* BlitterWindowHost()
{
    return Storage;
}

std::uint32_t LoadBlitter32(std::uint32_t Offset)
{
    const TBlitterRegister* Register = FindRegister(Offset);
    std::uint32_t Value = Register != nullptr && Register->Read != nullptr ? Register->Read(Offset) : Stored(Offset);
    ObserveAccess(false, 32, BlitterWindowPhys + Offset, Value, Register != nullptr && Register->Status);
    return Value;
}

void StoreBlitter32(std::uint32_t Offset, std::uint32_t Value)
{
    ObserveAccess(true, 32, BlitterWindowPhys + Offset, Value, false);
    Storage[Offset / 4] = Value;
    const TBlitterRegister* Register = FindRegister(Offset);
    if (Register != nullptr && Register->Written != nullptr)
        Register->Written(Offset);
}

void ResetBlitter()
{
    for (std::uint32_t& Register : Storage)
        Register = 0;
    BusyUntil = 0;
    SkippedPixels = 0;
}

std::uint64_t SimBlitterSkippedPixels()
{
    return SkippedPixels;
}

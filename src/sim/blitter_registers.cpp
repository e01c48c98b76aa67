#include "sim/blitter_registers.h"

#include "sim/blit_engine.h"
#include "sim/device_time.h"
#include "sim/probes.h"
#include "sim/register_bank.h"

#include <algorithm>

namespace {

TRegisterBank<std::uint32_t, BlitterWindowSize> Window;
// The moment the operation in progress ends (modelled time).
std::int64_t BusyUntil = 0;
std::uint64_t SkippedPixels = 0;

std::uint32_t Stored(std::uint32_t Offset)
{
    return Window.Storage[Offset / 4];
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

} // namespace

std::uint32_t* BlitterWindowHost()
{
    return Window.Storage;
}

std::uint32_t LoadBlitter32(std::uint32_t Offset)
{
    return LoadRegister(Window, Offset);
}

void StoreBlitter32(std::uint32_t Offset, std::uint32_t Value)
{
    StoreRegister(Window, Offset, Value);
}

void ResetBlitter()
{
    ClearBank(Window, BlitterWindowPhys);
    Window.Handlers = {{BlitRun, ReadRun, WriteRun, false}};
    BusyUntil = 0;
    SkippedPixels = 0;
}

std::uint64_t SimBlitterSkippedPixels()
{
    return SkippedPixels;
}

#include "sim/model/blitter_registers.h"

#include "sim/model/blit_engine.h"
#include "sim/model/device_events.h"
#include "sim/model/device_time.h"
#include "sim/probes.h"
#include "sim/model/register_bank.h"

#include <algorithm>

namespace {

TRegisterBank<std::uint32_t, BlitterWindowSize> Window;

// The operation under way, as the registers described it when it started: its rows are done in proportion to the
// device time gone by, top to bottom.
bool Running = false;
TBlitOperation Operation;
std::int64_t Start = 0;
std::int64_t Duration = 0;
std::int64_t RowsDone = 0;
std::uint64_t SkippedPixels = 0;

std::uint32_t Stored(std::uint32_t Offset)
{
    return Window.Storage[Offset / 4];
}

bool Busy()
{
    return Running;
}

// Bit 0 reads 1 while an operation runs. A reader that finds it busy would poll again; it waits an eighth of the
// operation (or what is left of it), so that a wait sees several busy reads however long the operation is.
std::uint32_t ReadRun(std::uint32_t Offset)
{
    const std::uint32_t Other = Stored(Offset) & ~BlitRunBusy;
    if (!Running)
        return Other;
    WaitUntil(std::min(Start + Duration, DeviceNow() + std::max<std::int64_t>(Duration / 8, 1)));
    return Other | BlitRunBusy;
}

// Writing bit 0 starts the operation that the other registers describe, unless one is still running.
void WriteRun(std::uint32_t Offset)
{
    if ((Stored(Offset) & BlitRunBusy) == 0 || Running)
        return;
    Operation.DstAddr = Stored(BlitDstAddr);
    Operation.DstCtrl = Stored(BlitDstCtrl);
    Operation.DstStride = static_cast<std::int32_t>(Stored(BlitDstStride));
    Operation.SrcAddr = Stored(BlitSrcAddr);
    Operation.SrcCtrl = Stored(BlitSrcCtrl);
    Operation.SrcStride = static_cast<std::int32_t>(Stored(BlitSrcStride));
    Operation.Size = Stored(BlitSize);
    Operation.Op = Stored(BlitOp);
    Start = DeviceNow();
    Duration = BlitterBusyNanoseconds(static_cast<std::uint64_t>(Operation.Size & 0xFFFF) * BlitRows(Operation));
    RowsDone = 0;
    Running = true;
    if (DeviceEventsWatched()) {
        TDeviceEvent Event{TDeviceEventKind::Blit};
        Event.Start = Start;
        Event.Length = Duration;
        Event.Address = Operation.DstAddr;
        Event.Value = Operation.Size;
        Event.Operation = Operation.Op;
        PublishDeviceEvent(Event);
    }
    AdvanceBlitter(Start);
}

} // namespace

std::int64_t BlitterBusyNanoseconds(std::uint64_t Pixels)
{
    // Below 2^63 nanoseconds for any size the blitter accepts (at most 65535 x 65535 pixels).
    return static_cast<std::int64_t>(Pixels * (NanosecondsPerSecond / BlitterPixelsPerSecond));
}

template <typename TAccess>
TAccess LoadBlitter(std::uint32_t Offset)
{
    return LoadRegister<TAccess>(Window, Offset);
}

template <typename TAccess>
void StoreBlitter(std::uint32_t Offset, TAccess Value)
{
    StoreRegister(Window, Offset, Value);
}

template std::uint16_t LoadBlitter(std::uint32_t);
template std::uint32_t LoadBlitter(std::uint32_t);
template void StoreBlitter(std::uint32_t, std::uint16_t);
template void StoreBlitter(std::uint32_t, std::uint32_t);

void AdvanceBlitter(std::int64_t Now)
{
    if (!Running)
        return;
    const std::int64_t Rows = BlitRows(Operation);
    const std::int64_t Elapsed = std::clamp<std::int64_t>(Now - Start, 0, Duration);
    const std::int64_t Due = Duration == 0 ? Rows : Elapsed * Rows / Duration;
    if (Due > RowsDone) {
        SkippedPixels += RunBlitOperation(Operation, RowsDone, Due).Skipped;
        RowsDone = Due;
    }
    Running = RowsDone < Rows;
}

void ResetBlitter()
{
    ClearBank(Window, BlitterWindowPhys);
    Define(Window,
           {BlitDstCtrl, BlitDstAddr, BlitDstStride, BlitSrcCtrl, BlitSrcAddr, BlitSrcStride, BlitReg20, BlitSize,
            BlitOp});
    Handle(Window, {BlitRun, ReadRun, WriteRun, false, BlitRunBusy, BlitRunBusy});
    Window.Busy = Busy;
    Running = false;
    RowsDone = 0;
    SkippedPixels = 0;
    SubscribeCatchUp(AdvanceBlitter);
}

std::uint64_t SimBlitterSkippedPixels()
{
    return SkippedPixels;
}

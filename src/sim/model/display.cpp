#include "sim/model/display.h"

#include "sim/control.h"
#include "sim/model/device_events.h"
#include "sim/model/device_time.h"
#include "sim/model/physical_memory.h"
#include "sim/probes.h"
#include "sim/model/register_block.h"
#include "sim/model/subscribers.h"
#include "sim/model/trace.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::uint16_t Rgb565Format = 2 << 9 | DisplayFormatBase;

// The start address latched by the last flip, and the one the refresh under way took when it began.
std::uint32_t DisplayStart = 0;
std::uint32_t RefreshPage = 0;
std::uint32_t FlipCount = 0;
std::function<void(std::uint32_t)> FlipObserver;
// With the first refresh not yet handed to each.
TSubscribers<TRefreshSubscriber, std::int64_t> Subscribers;
// The first refresh not yet published to the device's events.
std::int64_t Unpublished = 0;
// A read that slept until a blanking interval began owes that interval to the next read within
// [OwedFrom, OwedUntil): up to the moment the following interval begins.
std::int64_t OwedFrom = 0;
std::int64_t OwedUntil = 0;
// Lines count from the first line of refresh 0; Scanned is the number of lines scanned or passed over.
std::int64_t Scanned = 0;
// While nobody looks, the lines that go by are only passed over: the moment of the last access stands for them,
// and Scanned is brought up to it when someone looks again.
bool PassedOver = false;
std::int64_t PassedOverBy = 0;
std::vector<std::uint16_t> Scanning(DisplayWidth* DisplayHeight, 0);
std::vector<std::uint16_t> Shown(DisplayWidth* DisplayHeight, 0);

constexpr std::int64_t VisibleNanoseconds = NanosecondsPerSecond / RefreshesPerSecond - BlankingNanoseconds;

// The lines whose scan has begun by Moment.
std::int64_t LinesBy(std::int64_t Moment)
{
    const std::int64_t Index = RefreshIndex(Moment);
    const std::int64_t Into = Moment - RefreshStart(Index);
    return Index * DisplayHeight + std::min<std::int64_t>(DisplayHeight, Into * DisplayHeight / VisibleNanoseconds + 1);
}

std::uint16_t Register(std::uint32_t Offset)
{
    return RegisterBlockHost()[Offset / 2];
}

void ScanLine(int Y)
{
    if (Y == 0)
        RefreshPage = DisplayStart;
    std::uint16_t* Line = &Scanning[static_cast<std::size_t>(Y) * DisplayWidth];
    if ((Register(RegVideoControl) & VideoControlEnable) == 0 || Register(RegDisplayFormat) != Rgb565Format) {
        const bool Off = (Register(RegVideoControl) & VideoControlEnable) == 0;
        std::fill(Line, Line + DisplayWidth, Off ? DisplayOffPixel : NoSignalPixel);
        return;
    }
    const std::uint64_t Row = RefreshPage + static_cast<std::uint64_t>(Y) * Register(RegDisplayLineLength);
    if (RegionOf(Row, DisplayWidth * 2) == TRegion::Ram) {
        const std::uint8_t* Host = RamBase() + Row;
        for (int X = 0; X < DisplayWidth; ++X)
            Line[X] = LoadPixel(Host + 2 * X);
        return;
    }
    for (int X = 0; X < DisplayWidth; ++X) {
        const std::uint64_t Address = Row + static_cast<std::uint64_t>(X) * 2;
        Line[X] = RegionOf(Address, 2) == TRegion::Ram ? LoadPixel(RamBase() + Address) : 0;
    }
}

// Refresh Index has been scanned whole: it is what the display shows, handed to each subscriber. Refreshes skipped
// unscanned showed what this one shows. By its id, since a subscriber may subscribe or leave while it runs.
void RefreshDone(std::int64_t Index)
{
    Shown.swap(Scanning);
    VisitSubscribers(Subscribers, [Index](int Id) {
        for (auto* Subscriber = FindSubscriber(Subscribers, Id); Subscriber != nullptr && Subscriber->State <= Index;
             Subscriber = FindSubscriber(Subscribers, Id)) {
            const std::int64_t Handed = Subscriber->State++;
            const TRefreshSubscriber Take = Subscriber->Take;
            Take(Handed, Shown);
        }
    });
}

// The refreshes begun by Now, each with its blanking interval, since they follow from device time alone.
void PublishRefreshes(std::int64_t Now)
{
    for (; RefreshStart(Unpublished) <= Now; ++Unpublished) {
        TDeviceEvent Event{TDeviceEventKind::Refresh};
        Event.Start = RefreshStart(Unpublished);
        Event.Length = RefreshStart(Unpublished + 1) - BlankingNanoseconds - Event.Start;
        Event.Number = Unpublished;
        PublishDeviceEvent(Event);
        Event.Kind = TDeviceEventKind::Blanking;
        Event.Start = RefreshStart(Unpublished + 1) - BlankingNanoseconds;
        Event.Length = BlankingNanoseconds;
        PublishDeviceEvent(Event);
    }
}

} // namespace

std::int64_t RefreshStart(std::int64_t Index)
{
    return Index * NanosecondsPerSecond / RefreshesPerSecond;
}

std::int64_t RefreshIndex(std::int64_t Moment)
{
    return Moment * RefreshesPerSecond / NanosecondsPerSecond;
}

bool ReadVerticalSync()
{
    const std::int64_t Now = DeviceNow();
    const bool Owed = OwedFrom <= Now && Now < OwedUntil;
    OwedFrom = OwedUntil = 0;
    if (Owed)
        return true;
    const std::int64_t Index = RefreshIndex(Now);
    const std::int64_t BlankingStart = RefreshStart(Index + 1) - BlankingNanoseconds;
    if (Now >= BlankingStart)
        return true;
    WaitUntil(BlankingStart);
    OwedFrom = BlankingStart;
    OwedUntil = RefreshStart(Index + 2) - BlankingNanoseconds;
    return false;
}

void LatchDisplayStart(std::uint32_t Start)
{
    DisplayStart = Start;
    ++FlipCount;
    TraceEvent("FLIP %u %08X", FlipCount, Start);
    // The refresh under way when the scan last caught up took its page when it began: the next one shows this.
    if (DeviceEventsWatched()) {
        const std::int64_t Now = AccessMoment();
        TDeviceEvent Event{TDeviceEventKind::Flip};
        Event.Start = Now;
        Event.Length = RefreshStart(RefreshIndex(Now) + 1) - Now;
        Event.Number = FlipCount;
        Event.Address = Start;
        PublishDeviceEvent(Event);
    }
    // A copy, so that an observer may replace or remove itself while it runs.
    if (FlipObserver) {
        auto Observer = FlipObserver;
        Observer(FlipCount);
    }
}

void ScanTo(std::int64_t Now)
{
    if (DeviceEventsWatched())
        PublishRefreshes(Now);
    if (Subscribers.Entries.empty()) {
        PassedOver = true;
        PassedOverBy = Now;
        return;
    }
    if (PassedOver) {
        Scanned = LinesBy(PassedOverBy);
        PassedOver = false;
    }
    const std::int64_t Due = LinesBy(Now);
    if (Due < Scanned) {
        Scanned = Due;
        return;
    }
    // Refreshes that ended before the last whole one went by unseen: nothing happened on the device meanwhile.
    Scanned = std::max(Scanned, (Due / DisplayHeight - 1) * DisplayHeight);
    for (; Scanned < Due; ++Scanned) {
        ScanLine(static_cast<int>(Scanned % DisplayHeight));
        if (Scanned % DisplayHeight == DisplayHeight - 1)
            RefreshDone(Scanned / DisplayHeight);
    }
}

void ResetDisplay()
{
    DisplayStart = 0;
    RefreshPage = 0;
    FlipCount = 0;
    Scanned = 0;
    Unpublished = 0;
    PassedOver = false;
    for (auto& Subscriber : Subscribers.Entries)
        Subscriber.State = 0;
    OwedFrom = OwedUntil = 0;
    std::fill(Scanning.begin(), Scanning.end(), 0);
    std::fill(Shown.begin(), Shown.end(), 0);
    SubscribeCatchUp(ScanTo);
}

std::uint32_t SimDisplayStart()
{
    return DisplayStart;
}

std::uint32_t SimFlipCount()
{
    return FlipCount;
}

void SimOnFlip(std::function<void(std::uint32_t FlipCount)> Observer)
{
    FlipObserver = std::move(Observer);
}

int SimSubscribeRefreshes(TRefreshSubscriber Subscriber)
{
    // The lines before now go by unscanned, as they did while nobody looked.
    const std::int64_t Now = DeviceNow();
    ScanTo(Now);
    return Subscribe(Subscribers, std::move(Subscriber), RefreshIndex(Now));
}

void SimUnsubscribeRefreshes(int Subscription)
{
    Unsubscribe(Subscribers, Subscription);
}

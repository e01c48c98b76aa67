#include "sim/display.h"

#include "sim/control.h"
#include "sim/device_time.h"
#include "sim/physical_memory.h"
#include "sim/probes.h"
#include "sim/register_block.h"
#include "sim/snapshot.h"
#include "sim/trace.h"

#include <algorithm>
#include <unistd.h>
#include <utility>

namespace {

constexpr std::int64_t VisibleNanoseconds = NanosecondsPerSecond / RefreshesPerSecond - BlankingNanoseconds;
constexpr std::uint16_t Rgb565Format = 2 << 9 | DisplayFormatBase;

struct TSnapshotWish {
    std::string File;
    int Created;        // File's descriptor when it was created for the snapshot, else -1
    std::int64_t After; // the refresh taken is the first that begins after this moment
    std::function<void(const std::string& Error)> Done;
};

// The start address latched by the last flip, and the one the refresh under way took when it began.
std::uint32_t DisplayStart = 0;
std::uint32_t RefreshPage = 0;
std::uint32_t FlipCount = 0;
std::function<void(std::uint32_t)> FlipObserver;
bool EveryRefresh = false;
std::function<void(std::int64_t, const std::vector<std::uint16_t>&)> RefreshObserver;
// The first refresh not yet passed to the observer.
std::int64_t Unreported = 0;
std::vector<TSnapshotWish> Wishes;
// Lines count from the first line of refresh 0; Scanned is the number of lines scanned or passed over.
std::int64_t Scanned = 0;
// While nobody looks, the lines that go by are only passed over: the moment of the last access stands for them,
// and Scanned is brought up to it when someone looks again.
bool PassedOver = false;
std::int64_t PassedOverBy = 0;
std::vector<std::uint16_t> Scanning(DisplayWidth* DisplayHeight, 0);
std::vector<std::uint16_t> Shown(DisplayWidth* DisplayHeight, 0);

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

// Refresh Index has been scanned whole: it is what the display shows, and the snapshots waiting for it are written.
void RefreshDone(std::int64_t Index)
{
    Shown.swap(Scanning);
    if (RefreshObserver) {
        // Refreshes skipped unscanned showed what this one shows.
        auto Observer = RefreshObserver;
        for (; Unreported <= Index; ++Unreported)
            Observer(Unreported, Shown);
    }
    const std::int64_t Begun = RefreshStart(Index);
    for (auto Wish = Wishes.begin(); Wish != Wishes.end();) {
        if (Begun <= Wish->After) {
            ++Wish;
            continue;
        }
        std::string Error;
        WritePng(Wish->File, Wish->Created, Shown, &Error);
        const auto Done = std::move(Wish->Done);
        Wish = Wishes.erase(Wish);
        if (Done)
            Done(Error);
    }
}

} // namespace

void LatchDisplayStart(std::uint32_t Start)
{
    DisplayStart = Start;
    ++FlipCount;
    TraceEvent("FLIP %u %08X", FlipCount, Start);
    // A copy, so that an observer may replace or remove itself while it runs.
    if (FlipObserver) {
        auto Observer = FlipObserver;
        Observer(FlipCount);
    }
}

void ScanTo(std::int64_t Now)
{
    if (!EveryRefresh && !RefreshObserver && Wishes.empty()) {
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
    for (const TSnapshotWish& Wish : Wishes)
        if (Wish.Created >= 0)
            close(Wish.Created);
    Wishes.clear();
    Scanned = 0;
    PassedOver = false;
    Unreported = 0;
    std::fill(Scanning.begin(), Scanning.end(), 0);
    std::fill(Shown.begin(), Shown.end(), 0);
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

void SimScanEveryRefresh(bool Every)
{
    EveryRefresh = Every;
}

void SimOnRefresh(std::function<void(std::int64_t Index, const std::vector<std::uint16_t>& Picture)> Observer)
{
    RefreshObserver = std::move(Observer);
    Unreported = RefreshIndex(DeviceNow());
}

std::vector<std::uint16_t> SimShownPicture()
{
    return Shown;
}

void SimSnapshotNextRefresh(const std::string& File, std::function<void(const std::string& Error)> Done, int Created)
{
    const std::int64_t Now = DeviceNow();
    ScanTo(Now);
    Wishes.push_back({File, Created, Now, std::move(Done)});
}

void SimFinishSnapshots()
{
    while (!Wishes.empty()) {
        WaitUntil(RefreshStart(RefreshIndex(Wishes.front().After) + 2));
        ScanTo(DeviceNow());
    }
}

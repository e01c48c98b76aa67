// The timeline (SimOpenTimeline): the device's events in the Trace Event format, one track for each part of the
// device, timestamps in device time. The file is the format's JSON array form, whose closing bracket a reader does
// not need: each event is written whole as it comes, so that a run cut short leaves a file that still loads, up to
// about its last second.

#include "device/register_map.h"
#include "runtime/write_all.h"
#include "sim/control.h"
#include "sim/model/device_time.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

// The events gather here and are written when there are enough of them or the oldest is a second old, as the
// trace's lines are.
constexpr std::size_t FlushBytes = 65536;
constexpr std::int64_t FlushAge = 1000000000;

// The tracks of spans and moments, as the reader lists them; the inputs and the mixer level are counters, each a
// track of its own.
enum TTrack { Frames = 1, Waits, Blitter, Display, Strays };
const char* const TrackNames[] = {"", "frames", "program waits", "blitter", "display", "stray accesses"};

int Handle = -1;
int Subscription = 0;
std::string Unwritten;
std::int64_t Oldest = 0;
std::string Failure;
bool First = true;
bool CloseRegistered = false;
// The moment of the last flip asked for, which begins the next frame; -1 before the first.
std::int64_t FrameStart = -1;

// Device time in the format's microseconds, kept to the nanosecond.
double Microseconds(std::int64_t Nanoseconds)
{
    return static_cast<double>(Nanoseconds) / 1000.0;
}

void WriteUnwritten()
{
    if (Failure.empty() && !WriteWhole(Handle, Unwritten.data(), Unwritten.size()))
        Failure = std::strerror(errno);
    Unwritten.clear();
}

// One event of the array, after a comma unless it is the first, so that the file ends in a whole event whenever
// it is cut between two writes.
void Put(const nlohmann::json& Event)
{
    const std::int64_t Now = HostNow(true);
    if (Unwritten.empty())
        Oldest = Now;
    if (!std::exchange(First, false))
        Unwritten += ",\n";
    Unwritten += Event.dump();
    if (Unwritten.size() >= FlushBytes || Now - Oldest >= FlushAge)
        WriteUnwritten();
}

nlohmann::json Span(const std::string& Name, TTrack Track, std::int64_t Start, std::int64_t Length)
{
    return {{"name", Name},
            {"ph", "X"},
            {"pid", 1},
            {"tid", Track},
            {"ts", Microseconds(Start)},
            {"dur", Microseconds(Length)}};
}

nlohmann::json Moment(const std::string& Name, TTrack Track, std::int64_t At)
{
    return {{"name", Name}, {"ph", "i"}, {"s", "t"}, {"pid", 1}, {"tid", Track}, {"ts", Microseconds(At)}};
}

nlohmann::json Counter(const std::string& Name, std::int64_t At, nlohmann::json Values)
{
    return {{"name", Name}, {"ph", "C"}, {"pid", 1}, {"ts", Microseconds(At)}, {"args", std::move(Values)}};
}

std::string Hex(std::uint32_t Value, int Digits)
{
    char Text[16];
    std::snprintf(Text, sizeof Text, "0x%0*X", Digits, Value);
    return Text;
}

std::string WaitName(std::uint32_t Address)
{
    if (Address == RegisterBlockPhys + RegDisplayStatus)
        return "wait for vertical sync";
    if (Address == BlitterWindowPhys + BlitRun)
        return "wait for the blitter";
    return "poll " + Hex(Address, 8);
}

void Take(const TDeviceEvent& Event)
{
    switch (Event.Kind) {
    case TDeviceEventKind::Blit: {
        const std::uint32_t Width = Event.Value & 0xFFFF, Height = Event.Value >> 16;
        nlohmann::json Blit =
            Span("blit " + std::to_string(Width) + "x" + std::to_string(Height), Blitter, Event.Start, Event.Length);
        Blit["args"] = {
            {"width", Width},
            {"height", Height},
            {"destination", Hex(Event.Address, 8)},
            {"raster operation", Hex(Event.Operation & BlitOpRopMask, 2)},
            {"colour key",
             (Event.Operation & BlitOpColorKey) != 0 ? Hex(Event.Operation >> BlitOpKeyShift, 4) : std::string("off")}};
        Put(Blit);
        break;
    }
    case TDeviceEventKind::Refresh:
        Put(Span("refresh " + std::to_string(Event.Number), Display, Event.Start, Event.Length));
        break;
    case TDeviceEventKind::Blanking: Put(Span("blanking", Display, Event.Start, Event.Length)); break;
    case TDeviceEventKind::Flip: {
        const std::string Number = std::to_string(Event.Number);
        if (FrameStart >= 0) {
            nlohmann::json Frame = Span("frame " + Number, Frames, FrameStart, Event.Start - FrameStart);
            Frame["args"] = {{"flip", Event.Number}};
            Put(Frame);
        }
        FrameStart = Event.Start;
        nlohmann::json Latched = Moment("flip " + Number + " latched", Display, Event.Start + Event.Length);
        Latched["args"] = {
            {"flip", Event.Number}, {"page", Hex(Event.Address, 8)}, {"asked at", Microseconds(Event.Start)}};
        Put(Latched);
        break;
    }
    case TDeviceEventKind::Wait: {
        nlohmann::json Wait = Span(WaitName(Event.Address), Waits, Event.Start, Event.Length);
        Wait["args"] = {{"reads", Event.Number}};
        Put(Wait);
        break;
    }
    case TDeviceEventKind::Mixer:
        Put(Counter("mixer level", Event.Start, {{"left", Event.Value & 0xFF}, {"right", Event.Value >> 8 & 0xFF}}));
        break;
    case TDeviceEventKind::Input:
        Put(Counter("input " + SimInputName(static_cast<TSimInput>(Event.Number)), Event.Start,
                    {{"held", Event.Value}}));
        break;
    case TDeviceEventKind::Stray: {
        nlohmann::json Stray = Moment("stray access", Strays, Event.Start);
        Stray["args"] = {{"access", Event.Text}};
        Put(Stray);
        break;
    }
    }
}

} // namespace

void SimOpenTimeline(int Opened)
{
    SimCloseTimeline();
    Failure.clear();
    Unwritten = "[\n";
    Oldest = HostNow(true);
    First = true;
    FrameStart = -1;
    Handle = Opened;
    Put({{"name", "process_name"}, {"ph", "M"}, {"pid", 1}, {"args", {{"name", "device (device time)"}}}});
    for (int Track = Frames; Track <= Strays; ++Track) {
        Put({{"name", "thread_name"},
             {"ph", "M"},
             {"pid", 1},
             {"tid", Track},
             {"args", {{"name", TrackNames[Track]}}}});
        Put({{"name", "thread_sort_index"},
             {"ph", "M"},
             {"pid", 1},
             {"tid", Track},
             {"args", {{"sort_index", Track}}}});
    }
    Subscription = SimSubscribeDeviceEvents(Take);
    // A program that ends through exit() still gets its last events written and the array closed.
    if (!CloseRegistered)
        CloseRegistered = std::atexit(SimCloseTimeline) == 0;
}

void SimCloseTimeline()
{
    if (Handle < 0)
        return;
    SimUnsubscribeDeviceEvents(std::exchange(Subscription, 0));
    Unwritten += "\n]\n";
    WriteUnwritten();
    // Linux releases the descriptor even when close is interrupted.
    if (close(Handle) != 0 && errno != EINTR && Failure.empty())
        Failure = std::strerror(errno);
    Handle = -1;
}

std::string SimTimelineFailure()
{
    return Failure;
}

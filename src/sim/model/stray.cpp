#include "sim/model/stray.h"

#include "sim/control.h"
#include "sim/model/device_events.h"
#include "sim/model/device_time.h"
#include "sim/model/trace.h"

#include <cstdio>
#include <utility>

namespace {

std::uint64_t Count = 0;
std::function<void(const std::string&)> Observer;

} // namespace

void ReportStray(TStray Kind, bool Write, int Bits, std::uint32_t Address, std::uint32_t Value)
{
    static const char* const Kinds[] = {"UNDEFINED", "READONLY", "BUSY"};
    char Line[64];
    std::snprintf(Line, sizeof Line, Bits == 16 ? "%s %c16 %08X %04X" : "%s %c32 %08X %08X",
                  Kinds[static_cast<int>(Kind)], Write ? 'W' : 'R', Address, Value);
    ++Count;
    TraceEvent("%s", Line);
    if (DeviceEventsWatched()) {
        TDeviceEvent Event{TDeviceEventKind::Stray};
        Event.Start = AccessMoment();
        Event.Address = Address;
        Event.Text = Line;
        PublishDeviceEvent(Event);
    }
    if (Observer) {
        auto Copy = Observer;
        Copy(Line);
    }
}

void ResetStrays()
{
    Count = 0;
}

std::uint64_t SimStrayCount()
{
    return Count;
}

void SimOnStray(std::function<void(const std::string& Access)> NewObserver)
{
    Observer = std::move(NewObserver);
}

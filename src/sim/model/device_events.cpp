#include "sim/model/device_events.h"

#include "sim/model/device_time.h"
#include "sim/model/subscribers.h"

#include <utility>

bool DeviceEventsSubscribed = false;

namespace {

TSubscribers<TDeviceEventSubscriber> Subscribers;

// The wait under way: the register polled, the moment its first awaited read began, the reads so far.
struct TOpenWait {
    bool Open = false;
    std::uint32_t Address = 0;
    std::int64_t Start = 0;
    std::int64_t Reads = 0;
};
TOpenWait Wait;

} // namespace

void PublishDeviceEvent(const TDeviceEvent& Event)
{
    HandToSubscribers(Subscribers, Event);
}

void NotePoll(std::uint32_t Address, bool Awaited, std::int64_t Moment)
{
    if (Awaited) {
        if (!Wait.Open || Wait.Address != Address)
            Wait = TOpenWait{true, Address, Moment, 0};
        ++Wait.Reads;
        return;
    }
    if (!Wait.Open || Wait.Address != Address)
        return;
    TDeviceEvent Event{TDeviceEventKind::Wait};
    Event.Start = Wait.Start;
    Event.Length = DeviceNow() - Wait.Start;
    Event.Number = Wait.Reads + 1;
    Event.Address = Address;
    Wait = TOpenWait();
    PublishDeviceEvent(Event);
}

void ResetDeviceEvents()
{
    Wait = TOpenWait();
}

int SimSubscribeDeviceEvents(TDeviceEventSubscriber Subscriber)
{
    DeviceEventsSubscribed = true;
    return Subscribe(Subscribers, std::move(Subscriber));
}

void SimUnsubscribeDeviceEvents(int Subscription)
{
    Unsubscribe(Subscribers, Subscription);
    DeviceEventsSubscribed = !Subscribers.Entries.empty();
}

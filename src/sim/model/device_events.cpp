#include "sim/model/device_events.h"

#include "sim/model/device_time.h"

#include <algorithm>
#include <utility>
#include <vector>

bool DeviceEventsSubscribed = false;

namespace {

struct TSubscription {
    int Id;
    TDeviceEventSubscriber Take;
};
std::vector<TSubscription> Subscriptions;
int LastSubscription = 0;

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
    // A copy, so that a subscriber may leave while it runs.
    const std::vector<TSubscription> Now = Subscriptions;
    for (const TSubscription& Subscription : Now)
        Subscription.Take(Event);
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
    Subscriptions.push_back({++LastSubscription, std::move(Subscriber)});
    DeviceEventsSubscribed = true;
    return LastSubscription;
}

void SimUnsubscribeDeviceEvents(int Subscription)
{
    Subscriptions.erase(std::remove_if(Subscriptions.begin(), Subscriptions.end(),
                                       [Subscription](const TSubscription& Each) { return Each.Id == Subscription; }),
                        Subscriptions.end());
    DeviceEventsSubscribed = !Subscriptions.empty();
}

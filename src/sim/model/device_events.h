#pragma once
// The device's events, published to their subscribers (SimSubscribeDeviceEvents) by the parts of the model where
// they happen. Each place tests DeviceEventsWatched() first, so that a run nobody watches pays one test there.

#include "sim/control.h"

#include <cstdint>

// Whether anyone subscribes; read inline by every place that publishes.
extern bool DeviceEventsSubscribed;

inline bool DeviceEventsWatched()
{
    return DeviceEventsSubscribed;
}
void PublishDeviceEvent(const TDeviceEvent& Event);
// A read of a register that the program polls (the display status, the blitter's run register), begun at device
// time Moment: Awaited when it shows a state the program still waits out. The reads from the first awaited one to
// the one that ends the wait are published as one wait.
void NotePoll(std::uint32_t Address, bool Awaited, std::int64_t Moment);
// No wait under way (the subscribers stay).
void ResetDeviceEvents();

#include "sim/model/input_panel.h"

#include "device/register_map.h"
#include "sim/control.h"
#include "sim/model/device_events.h"
#include "sim/model/device_time.h"

#include <array>
#include <cstddef>
#include <string>

namespace {

struct TInputEntry {
    TSimInput Input;
    const char* Name;
    std::uint32_t Register; // the input register that shows it
    std::uint16_t Bit;      // its bit there, set in the inverted value while held
};

// Every input, in the order of TSimInput.
constexpr TInputEntry InputTable[] = {
    {TSimInput::B1, "b1", RegButtons, Button1Bit},
    {TSimInput::B2, "b2", RegButtons, Button2Bit},
    {TSimInput::B3, "b3", RegButtons, Button3Bit},
    {TSimInput::B4, "b4", RegButtons, Button4Bit},
    {TSimInput::B5, "b5", RegButtons, Button5Bit},
    {TSimInput::B6, "b6", RegButtons, Button6Bit},
    {TSimInput::B7, "b7", RegExtraButtons, Button7Bit},
    {TSimInput::B8, "b8", RegExtraButtons, Button8Bit},
    {TSimInput::B9, "b9", RegButtons, Button9Bit},
    {TSimInput::B10, "b10", RegButtons, Button10Bit},
    {TSimInput::Up, "up", RegDirections, RingUpBit},
    {TSimInput::UpLeft, "upleft", RegDirections, RingUpLeftBit},
    {TSimInput::Left, "left", RegDirections, RingLeftBit},
    {TSimInput::DownLeft, "downleft", RegDirections, RingDownLeftBit},
    {TSimInput::Down, "down", RegDirections, RingDownBit},
    {TSimInput::DownRight, "downright", RegDirections, RingDownRightBit},
    {TSimInput::Right, "right", RegDirections, RingRightBit},
    {TSimInput::UpRight, "upright", RegDirections, RingUpRightBit},
};
constexpr std::size_t InputCount = sizeof(InputTable) / sizeof(InputTable[0]);

constexpr bool TableInEnumOrder()
{
    for (std::size_t Index = 0; Index < InputCount; ++Index)
        if (static_cast<std::size_t>(InputTable[Index].Input) != Index)
            return false;
    return InputCount == static_cast<std::size_t>(TSimInput::UpRight) + 1;
}
static_assert(TableInEnumOrder(), "every input is listed, in the order of TSimInput");

std::array<bool, InputCount> Held{};

} // namespace

std::uint16_t InputRegisterValue(std::uint32_t Offset)
{
    std::uint16_t Pressed = 0;
    for (std::size_t Index = 0; Index < InputCount; ++Index)
        if (Held[Index] && InputTable[Index].Register == Offset)
            Pressed |= InputTable[Index].Bit;
    return static_cast<std::uint16_t>(~Pressed);
}

std::uint16_t InputRegisterWiredBits(std::uint32_t Offset)
{
    std::uint16_t Wired = 0;
    for (const TInputEntry& Entry : InputTable)
        if (Entry.Register == Offset)
            Wired |= Entry.Bit;
    return Wired;
}

void ResetInputPanel()
{
    Held.fill(false);
}

void SimSetInput(TSimInput Input, bool IsHeld)
{
    auto Index = static_cast<std::size_t>(Input);
    if (Index >= InputCount || Held[Index] == IsHeld)
        return;
    Held[Index] = IsHeld;
    if (DeviceEventsWatched()) {
        TDeviceEvent Event{TDeviceEventKind::Input};
        Event.Start = DeviceNow();
        Event.Number = static_cast<std::int64_t>(Index);
        Event.Value = IsHeld ? 1 : 0;
        PublishDeviceEvent(Event);
    }
}

bool SimInputHeld(TSimInput Input)
{
    auto Index = static_cast<std::size_t>(Input);
    return Index < InputCount && Held[Index];
}

std::string SimInputName(TSimInput Input)
{
    auto Index = static_cast<std::size_t>(Input);
    return Index < InputCount ? InputTable[Index].Name : "";
}

bool SimParseInput(const std::string& Name, TSimInput& Input)
{
    for (const TInputEntry& Entry : InputTable)
        if (Name == Entry.Name) {
            Input = Entry.Input;
            return true;
        }
    return false;
}

#include "sim/launcher/keyboard.h"

#include <algorithm>
#include <iterator>
#include <set>

#include "sim/control.h"

namespace {

// An axis counts as pointed past a quarter of its travel, so that a stick at rest, never quite centred, holds
// nothing.
constexpr int DeadZone = 8192;
constexpr int PadButtons = 10;

// Where each contact of the ring points: -1 left or up, 1 right or down.
struct TRingContact {
    TSimInput Contact;
    int X, Y;
};
const TRingContact RingContacts[] = {
    {TSimInput::Up, 0, -1},  {TSimInput::UpLeft, -1, -1},  {TSimInput::Left, -1, 0}, {TSimInput::DownLeft, -1, 1},
    {TSimInput::Down, 0, 1}, {TSimInput::DownRight, 1, 1}, {TSimInput::Right, 1, 0}, {TSimInput::UpRight, 1, -1},
};
const TSimInput Buttons[PadButtons] = {TSimInput::B1, TSimInput::B2, TSimInput::B3, TSimInput::B4, TSimInput::B5,
                                       TSimInput::B6, TSimInput::B7, TSimInput::B8, TSimInput::B9, TSimInput::B10};

std::set<SDLKey> HeldKeys;
// Where the gamepad's hat and its first two axes point, and its buttons held.
int HatX = 0, HatY = 0, AxisX = 0, AxisY = 0;
bool PadHeld[PadButtons] = {};

const TRingContact* RingContact(TSimInput Input)
{
    for (const TRingContact& Ring : RingContacts)
        if (Ring.Contact == Input)
            return &Ring;
    return nullptr;
}

// -1, 0 or 1: where everything held on the ring points along one axis, opposite ones cancelling.
int Sign(bool Negative, bool Positive)
{
    return (Positive ? 1 : 0) - (Negative ? 1 : 0);
}

void SetRing()
{
    bool Left = HatX < 0 || AxisX<0, Right = HatX> 0 || AxisX > 0;
    bool Up = HatY < 0 || AxisY<0, Down = HatY> 0 || AxisY > 0;
    for (SDLKey Key : HeldKeys) {
        const TKeyBinding* Binding = FindKey(Key);
        if (const TRingContact* Ring =
                Binding != nullptr && Binding->Action == TKeyAction::Input ? RingContact(Binding->Input) : nullptr) {
            Left |= Ring->X < 0;
            Right |= Ring->X > 0;
            Up |= Ring->Y < 0;
            Down |= Ring->Y > 0;
        }
    }
    const int X = Sign(Left, Right);
    const int Y = Sign(Up, Down);
    for (const TRingContact& Ring : RingContacts)
        SimSetInput(Ring.Contact, Ring.X == X && Ring.Y == Y);
}

// Holds the button Index (from 0) while a key or the gamepad holds it.
void SetButton(int Index)
{
    bool Held = PadHeld[Index];
    for (SDLKey Key : HeldKeys) {
        const TKeyBinding* Binding = FindKey(Key);
        Held |= Binding != nullptr && Binding->Action == TKeyAction::Input && Binding->Input == Buttons[Index];
    }
    SimSetInput(Buttons[Index], Held);
}

bool FastForwardHeld()
{
    for (SDLKey Key : HeldKeys)
        if (const TKeyBinding* Binding = FindKey(Key); Binding != nullptr && Binding->Action == TKeyAction::FastForward)
            return true;
    return false;
}

int AxisDirection(Sint16 Value)
{
    return Value <= -DeadZone ? -1 : Value >= DeadZone ? 1 : 0;
}

} // namespace

void StartKeyboard()
{
    HeldKeys.clear();
    HatX = HatY = AxisX = AxisY = 0;
    std::fill(std::begin(PadHeld), std::end(PadHeld), false);
}

TKeyAction KeyChanged(SDLKey Key, bool Down)
{
    if (Down)
        HeldKeys.insert(Key);
    else
        HeldKeys.erase(Key);
    const TKeyBinding* Binding = FindKey(Key);
    if (Binding == nullptr)
        return TKeyAction::None;
    if (Binding->Action == TKeyAction::FastForward)
        SimFastForward(FastForwardHeld());
    if (Binding->Action == TKeyAction::Input && RingContact(Binding->Input) != nullptr)
        SetRing();
    for (int Index = 0; Index < PadButtons; ++Index)
        if (Binding->Action == TKeyAction::Input && Binding->Input == Buttons[Index])
            SetButton(Index);
    return Binding->Action;
}

bool GamepadChanged(const SDL_Event& Event)
{
    if (Event.type == SDL_JOYHATMOTION && Event.jhat.which == 0) {
        if (Event.jhat.hat != 0)
            return true;
        HatX = Sign((Event.jhat.value & SDL_HAT_LEFT) != 0, (Event.jhat.value & SDL_HAT_RIGHT) != 0);
        HatY = Sign((Event.jhat.value & SDL_HAT_UP) != 0, (Event.jhat.value & SDL_HAT_DOWN) != 0);
    } else if (Event.type == SDL_JOYAXISMOTION && Event.jaxis.which == 0) {
        if (Event.jaxis.axis >= 2)
            return true;
        (Event.jaxis.axis == 0 ? AxisX : AxisY) = AxisDirection(Event.jaxis.value);
    } else if ((Event.type == SDL_JOYBUTTONDOWN || Event.type == SDL_JOYBUTTONUP) && Event.jbutton.which == 0) {
        if (Event.jbutton.button >= PadButtons)
            return true;
        PadHeld[Event.jbutton.button] = Event.type == SDL_JOYBUTTONDOWN;
        SetButton(Event.jbutton.button);
        return true;
    } else {
        return false;
    }
    SetRing();
    return true;
}

#include "sim/launcher/keyboard.h"

#include <set>

#include "sim/control.h"

namespace {

// A key of the ring and where it points: -1 left or up, 1 right or down.
struct TRingKey {
    SDLKey Key;
    int X, Y;
};
const TRingKey RingKeys[] = {
    {SDLK_UP, 0, -1},  {SDLK_DOWN, 0, 1}, {SDLK_LEFT, -1, 0}, {SDLK_RIGHT, 1, 0}, {SDLK_KP8, 0, -1}, {SDLK_KP2, 0, 1},
    {SDLK_KP4, -1, 0}, {SDLK_KP6, 1, 0},  {SDLK_KP7, -1, -1}, {SDLK_KP9, 1, -1},  {SDLK_KP1, -1, 1}, {SDLK_KP3, 1, 1},
};

struct TButtonKey {
    SDLKey Key;
    TSimInput Button;
};
const TButtonKey ButtonKeys[] = {
    {SDLK_1, TSimInput::B1},    {SDLK_2, TSimInput::B2},      {SDLK_3, TSimInput::B3},
    {SDLK_4, TSimInput::B4},    {SDLK_5, TSimInput::B5},      {SDLK_6, TSimInput::B6},
    {SDLK_7, TSimInput::B7},    {SDLK_8, TSimInput::B8},      {SDLK_9, TSimInput::B9},
    {SDLK_0, TSimInput::B10},   {SDLK_ESCAPE, TSimInput::B4}, {SDLK_v, TSimInput::B1},
    {SDLK_b, TSimInput::B2},    {SDLK_MINUS, TSimInput::B7},  {SDLK_KP_MINUS, TSimInput::B7},
    {SDLK_PLUS, TSimInput::B8}, {SDLK_EQUALS, TSimInput::B8}, {SDLK_KP_PLUS, TSimInput::B8},
};

// The contact for each direction, indexed by Y + 1, then X + 1. The centre stands for no contact and is never read.
const TSimInput Contacts[3][3] = {
    {TSimInput::UpLeft, TSimInput::Up, TSimInput::UpRight},
    {TSimInput::Left, TSimInput::Left, TSimInput::Right},
    {TSimInput::DownLeft, TSimInput::Down, TSimInput::DownRight},
};
const TSimInput RingContacts[] = {TSimInput::Up,   TSimInput::UpLeft,    TSimInput::Left,  TSimInput::DownLeft,
                                  TSimInput::Down, TSimInput::DownRight, TSimInput::Right, TSimInput::UpRight};

std::set<SDLKey> HeldKeys;

const TRingKey* FindRingKey(SDLKey Key)
{
    for (const TRingKey& Ring : RingKeys)
        if (Ring.Key == Key)
            return &Ring;
    return nullptr;
}

// -1, 0 or 1: where the held ring keys point along one axis, opposite ones cancelling.
int Sign(bool Negative, bool Positive)
{
    return (Positive ? 1 : 0) - (Negative ? 1 : 0);
}

void SetRing()
{
    bool Left = false, Right = false, Up = false, Down = false;
    for (SDLKey Key : HeldKeys) {
        if (const TRingKey* Ring = FindRingKey(Key)) {
            Left |= Ring->X < 0;
            Right |= Ring->X > 0;
            Up |= Ring->Y < 0;
            Down |= Ring->Y > 0;
        }
    }
    const int X = Sign(Left, Right);
    const int Y = Sign(Up, Down);
    const bool Any = X != 0 || Y != 0;
    for (TSimInput Contact : RingContacts)
        SimSetInput(Contact, Any && Contact == Contacts[Y + 1][X + 1]);
}

void SetButton(TSimInput Button)
{
    bool Held = false;
    for (const TButtonKey& Entry : ButtonKeys)
        Held |= Entry.Button == Button && HeldKeys.count(Entry.Key) != 0;
    SimSetInput(Button, Held);
}

} // namespace

void StartKeyboard()
{
    HeldKeys.clear();
}

bool KeyChanged(SDLKey Key, bool Down)
{
    if (Down)
        HeldKeys.insert(Key);
    else
        HeldKeys.erase(Key);
    if (FindRingKey(Key) != nullptr)
        SetRing();
    for (const TButtonKey& Entry : ButtonKeys)
        if (Entry.Key == Key)
            SetButton(Entry.Button);
    return Down && (Key == SDLK_s || Key == SDLK_F12);
}

std::string KeyMapText()
{
    return "Keys:\n"
           "  arrows           the direction ring; two together give a diagonal (up + left: upleft)\n"
           "  keypad 1-9       the direction ring, diagonals on 7, 9, 1 and 3\n"
           "  1-9, 0           buttons 1 to 9 and 10\n"
           "  V, B             button 1 (V-Sync on), button 2 (V-Sync off)\n"
           "  -, +             button 7 (volume down), button 8 (volume up)\n"
           "  Escape           button 4: exit, as do closing the window and Ctrl-C\n"
           "  S, F12           a snapshot, snapshot-N.png in the working folder\n"
           "  F1               this key map over the picture, on and off\n"
           "  F11, Alt+Enter   full screen on and off\n"
           "  P                pause the device and its music, or run on\n"
           "  . (period)       while paused: run to the next flip, then pause again\n";
}

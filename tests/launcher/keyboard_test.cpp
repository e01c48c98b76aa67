// The keyboard's map onto the input panel.

#include <gtest/gtest.h>

#include "launcher/sim_folder.h"
#include "sim/launcher/keyboard.h"

namespace {

// Presses (+) or releases (-) each key in turn, none asking for a snapshot, and gives the held inputs after the last.
std::string Keys(const std::vector<std::pair<SDLKey, char>>& Steps) {
    for (const auto& [Key, Way] : Steps) {
        EXPECT_FALSE(KeyChanged(Key, Way == '+')) << SDL_GetKeyName(Key);
    }
    return HeldInputs();
}

TEST(Keyboard, ArrowsAndTheirPairsDriveOneContactOfTheRingAndAButtonStaysHeldWhileAnyOfItsKeysIs) {
    SimReset();
    StartKeyboard();
    const std::pair<std::vector<std::pair<SDLKey, char>>, const char*> Steps[] = {
        {{{SDLK_UP, '+'}}, "up"},
        {{{SDLK_LEFT, '+'}}, "upleft"},
        {{{SDLK_UP, '-'}}, "left"},
        {{{SDLK_DOWN, '+'}}, "downleft"},
        {{{SDLK_LEFT, '-'}, {SDLK_RIGHT, '+'}}, "downright"},
        {{{SDLK_DOWN, '-'}, {SDLK_UP, '+'}}, "upright"},
        {{{SDLK_LEFT, '+'}}, "up"},
        {{{SDLK_DOWN, '+'}}, ""},
        {{{SDLK_UP, '-'}, {SDLK_DOWN, '-'}, {SDLK_LEFT, '-'}, {SDLK_RIGHT, '-'}}, ""},
        {{{SDLK_KP7, '+'}, {SDLK_RIGHT, '+'}}, "up"}, // a diagonal of the keypad and an arrow add up
        {{{SDLK_KP7, '-'}, {SDLK_RIGHT, '-'}, {SDLK_ESCAPE, '+'}, {SDLK_4, '+'}, {SDLK_ESCAPE, '-'}}, "b4"},
        {{{SDLK_4, '-'}}, ""},
    };
    for (const auto& [Step, Held] : Steps) {
        EXPECT_EQ(Keys(Step), Held);
    }
}

TEST(Keyboard, EachKeyAloneHoldsItsInput) {
    const std::pair<SDLKey, const char*> Cases[] = {
        {SDLK_KP8, "up"},    {SDLK_KP2, "down"},   {SDLK_KP4, "left"},     {SDLK_KP6, "right"},
        {SDLK_KP7, "upleft"}, {SDLK_KP9, "upright"}, {SDLK_KP1, "downleft"}, {SDLK_KP3, "downright"},
        {SDLK_1, "b1"},      {SDLK_2, "b2"},       {SDLK_3, "b3"},         {SDLK_4, "b4"},
        {SDLK_5, "b5"},      {SDLK_6, "b6"},       {SDLK_7, "b7"},         {SDLK_8, "b8"},
        {SDLK_9, "b9"},      {SDLK_0, "b10"},      {SDLK_ESCAPE, "b4"},    {SDLK_v, "b1"},
        {SDLK_b, "b2"},      {SDLK_MINUS, "b7"},   {SDLK_KP_MINUS, "b7"},  {SDLK_PLUS, "b8"},
        {SDLK_EQUALS, "b8"}, {SDLK_KP_PLUS, "b8"}, {SDLK_q, ""},
    };
    SimReset();
    StartKeyboard();
    for (const auto& [Key, Input] : Cases) {
        EXPECT_EQ(Keys({{Key, '+'}}), Input) << SDL_GetKeyName(Key);
        EXPECT_EQ(Keys({{Key, '-'}}), "") << SDL_GetKeyName(Key);
    }
}

TEST(Keyboard, SAndF12AskForASnapshotOnTheirWayDownAndKeysLeaveAloneWhatTheyDoNotDrive) {
    SimReset();
    StartKeyboard();
    SimSetInput(TSimInput::B3, true);
    SimSetInput(TSimInput::Up, true);
    for (SDLKey Key : {SDLK_s, SDLK_F12}) {
        EXPECT_TRUE(KeyChanged(Key, true));
        EXPECT_FALSE(KeyChanged(Key, false));
    }
    EXPECT_EQ(Keys({{SDLK_v, '+'}, {SDLK_v, '-'}, {SDLK_q, '+'}, {SDLK_q, '-'}}), "b3 up");
    EXPECT_EQ(Keys({{SDLK_LEFT, '+'}}), "b3 left");
}

} // namespace

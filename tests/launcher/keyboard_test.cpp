// The keyboard's map onto the input panel.

#include <gtest/gtest.h>

#include "sim/launcher/keyboard.h"
#include "sim/sim.h"

namespace {

// The held inputs, by their script names.
std::string Held() {
    const std::pair<const char*, TSimInput> Inputs[] = {
        {"b1", TSimInput::B1},           {"b2", TSimInput::B2},           {"b3", TSimInput::B3},
        {"b4", TSimInput::B4},           {"b5", TSimInput::B5},           {"b6", TSimInput::B6},
        {"b7", TSimInput::B7},           {"b8", TSimInput::B8},           {"b9", TSimInput::B9},
        {"b10", TSimInput::B10},         {"up", TSimInput::Up},           {"down", TSimInput::Down},
        {"left", TSimInput::Left},       {"right", TSimInput::Right},     {"upleft", TSimInput::UpLeft},
        {"upright", TSimInput::UpRight}, {"downleft", TSimInput::DownLeft}, {"downright", TSimInput::DownRight},
    };
    std::string Word;
    for (const auto& [Name, Input] : Inputs) {
        if (SimInputHeld(Input)) {
            Word += (Word.empty() ? "" : " ") + std::string(Name);
        }
    }
    return Word;
}

class KeyboardTest : public testing::Test {
protected:
    void SetUp() override {
        SimReset();
        StartKeyboard();
    }
    // Presses (+) or releases (-) each key in turn and returns the held inputs after the last.
    std::string Keys(std::initializer_list<std::pair<SDLKey, char>> Steps) {
        for (const auto& [Key, Way] : Steps) {
            EXPECT_FALSE(KeyChanged(Key, Way == '+'));
        }
        return Held();
    }
};

TEST_F(KeyboardTest, ArrowsAndTheirPairsDriveOneContactOfTheRing) {
    EXPECT_EQ(Keys({{SDLK_UP, '+'}}), "up");
    EXPECT_EQ(Keys({{SDLK_LEFT, '+'}}), "upleft");
    EXPECT_EQ(Keys({{SDLK_UP, '-'}}), "left");
    EXPECT_EQ(Keys({{SDLK_DOWN, '+'}}), "downleft");
    EXPECT_EQ(Keys({{SDLK_LEFT, '-'}, {SDLK_RIGHT, '+'}}), "downright");
    EXPECT_EQ(Keys({{SDLK_DOWN, '-'}, {SDLK_UP, '+'}}), "upright");
    // Opposite keys cancel.
    EXPECT_EQ(Keys({{SDLK_LEFT, '+'}}), "up");
    EXPECT_EQ(Keys({{SDLK_DOWN, '+'}}), "");
    EXPECT_EQ(Keys({{SDLK_UP, '-'}, {SDLK_DOWN, '-'}, {SDLK_LEFT, '-'}, {SDLK_RIGHT, '-'}}), "");
}

TEST_F(KeyboardTest, TheKeypadDrivesTheRingDiagonalsIncluded) {
    const std::pair<SDLKey, const char*> Cases[] = {
        {SDLK_KP8, "up"},       {SDLK_KP2, "down"},    {SDLK_KP4, "left"},     {SDLK_KP6, "right"},
        {SDLK_KP7, "upleft"},   {SDLK_KP9, "upright"}, {SDLK_KP1, "downleft"}, {SDLK_KP3, "downright"},
    };
    for (const auto& [Key, Contact] : Cases) {
        EXPECT_EQ(Keys({{Key, '+'}}), Contact);
        EXPECT_EQ(Keys({{Key, '-'}}), "");
    }
    EXPECT_EQ(Keys({{SDLK_KP7, '+'}, {SDLK_RIGHT, '+'}}), "up");
}

TEST_F(KeyboardTest, DigitsAndAliasesHoldTheButtons) {
    const std::pair<SDLKey, const char*> Cases[] = {
        {SDLK_1, "b1"},      {SDLK_2, "b2"},        {SDLK_3, "b3"},       {SDLK_4, "b4"},      {SDLK_5, "b5"},
        {SDLK_6, "b6"},      {SDLK_7, "b7"},        {SDLK_8, "b8"},       {SDLK_9, "b9"},      {SDLK_0, "b10"},
        {SDLK_ESCAPE, "b4"}, {SDLK_v, "b1"},        {SDLK_b, "b2"},       {SDLK_MINUS, "b7"},  {SDLK_KP_MINUS, "b7"},
        {SDLK_PLUS, "b8"},   {SDLK_EQUALS, "b8"},   {SDLK_KP_PLUS, "b8"},
    };
    for (const auto& [Key, Button] : Cases) {
        EXPECT_EQ(Keys({{Key, '+'}}), Button) << SDL_GetKeyName(Key);
        EXPECT_EQ(Keys({{Key, '-'}}), "") << SDL_GetKeyName(Key);
    }
}

TEST_F(KeyboardTest, AButtonStaysHeldWhileAnyOfItsKeysIs) {
    EXPECT_EQ(Keys({{SDLK_ESCAPE, '+'}, {SDLK_4, '+'}, {SDLK_ESCAPE, '-'}}), "b4");
    EXPECT_EQ(Keys({{SDLK_4, '-'}}), "");
}

TEST_F(KeyboardTest, KeysChangeOnlyWhatTheyDrive) {
    SimSetInput(TSimInput::B3, true);
    SimSetInput(TSimInput::Up, true);
    EXPECT_EQ(Keys({{SDLK_v, '+'}, {SDLK_v, '-'}, {SDLK_q, '+'}, {SDLK_q, '-'}}), "b3 up");
    EXPECT_EQ(Keys({{SDLK_LEFT, '+'}}), "b3 left");
}

TEST_F(KeyboardTest, SAndF12AskForASnapshotOnTheirWayDown) {
    EXPECT_TRUE(KeyChanged(SDLK_s, true));
    EXPECT_FALSE(KeyChanged(SDLK_s, false));
    EXPECT_TRUE(KeyChanged(SDLK_F12, true));
    EXPECT_FALSE(KeyChanged(SDLK_F12, false));
    EXPECT_EQ(Held(), "");
}

} // namespace

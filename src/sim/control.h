#pragma once
// The launcher's control of the simulated device. The program never includes this: it sees the device only through
// the platform seam. Everything here runs on the program's own thread; each function lives in the module whose
// state it controls.

#include <functional>
#include <string>
#include <utility>
#include <vector>

// A fresh device, to be made before any other use: RAM cleared, registers at their power-on values (every input
// released), faults cleared, no trace, modelled time. The flip observer and the window choice stay.
void SimReset();

// Device time: modelled (the default) or fast (no modelled delay at all).
void SimSetFastMode(bool Fast);

// Faults injected at the seam, by name ("mem-open", "fb-map", "sdl-video", ...); false for an unknown name. The list
// gives each name and what it does, in a stable order.
bool SimInjectFault(const std::string& Name);
std::vector<std::pair<std::string, std::string>> SimFaultList();

// The trace to File; closing writes a pending folded read.
bool SimOpenTrace(const std::string& File);
void SimCloseTrace();

// The input panel.
enum class TSimInput {
    B1,
    B2,
    B3,
    B4,
    B5,
    B6,
    B7,
    B8,
    B9,
    B10,
    Up,
    UpLeft,
    Left,
    DownLeft,
    Down,
    DownRight,
    Right,
    UpRight
};
void SimSetInput(TSimInput Input, bool Held);
// "b1" to "b10", "up", "down", "left", "right", "upleft", "upright", "downleft", "downright".
bool SimParseInput(const std::string& Name, TSimInput& Input);

// The display. The observer is called right after each latch with the new flip count; one at a time, an empty one
// removes it.
void SimOnFlip(std::function<void(std::uint32_t FlipCount)> Observer);
// The shown page's 320 x 240 RGB565 pixels (zeros where the page lies outside RAM).
std::vector<std::uint16_t> SimShownPage();
// The shown page as a PNG file; false with Error set when it cannot be written.
bool SimWriteSnapshot(const std::string& File, std::string* Error);

// A 16-bit stereo WAV of what the listener hears.
bool SimOpenAudioOut(const std::string& File);
void SimCloseAudioOut();

// Windowed presentation drops SDL_FULLSCREEN from the program's mode request, so the window stays a window.
void SimSetWindowed(bool Windowed);

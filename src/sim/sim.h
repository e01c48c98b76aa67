#pragma once
// Control of the simulated device, for the launcher and the tests. The program never includes this: it sees the
// device only through the platform seam. Everything here runs on the program's own thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// Physical memory of the simulated device.
constexpr std::uint32_t SimRamSize = 0x04000000u;   // 64 MiB of RAM at physical address 0
// What the simulated framebuffer devices report through FBIOGET_FSCREENINFO.
constexpr std::uint32_t SimFb0Start = 0x03000000u;
constexpr std::uint32_t SimFb1Start = 0x03040000u;
constexpr std::uint32_t SimFbLength = 0x00040000u;
constexpr const char* SimFb0Id = "sim-fb0";
constexpr const char* SimFb1Id = "sim-fb1";

// A fresh device: RAM cleared, registers at their power-on values (every input released), faults cleared,
// counters and records cleared, no trace, modelled time. Observers stay registered.
void SimReset();

// Faults injected at the seam, by name ("mem-open", "fb-map", "sdl-video", ...).
bool SimInjectFault(const std::string& Name);  // false for an unknown name
bool SimFaultActive(const std::string& Name);
std::vector<std::pair<std::string, std::string>> SimFaultList(); // name and what it does, in a stable order

// Device time: modelled (the default) or fast (no modelled delay at all).
void SimSetFastMode(bool Fast);

// Trace: every register access (and other device events) as one text line to File.
bool SimOpenTrace(const std::string& File);
void SimCloseTrace();

// A record of register accesses, for tests.
struct TSimAccess {
    bool Write;
    int Bits;              // 16 (register block) or 32 (blitter window)
    std::uint32_t Address; // physical
    std::uint32_t Value;
};
void SimStartRecording();
std::vector<TSimAccess> SimTakeRecording(); // returns what was recorded since the start and clears it

// Physical memory: the host address of [Address, Address + Length) when it lies wholly in RAM, else null.
std::uint8_t* SimPhysToHost(std::uint32_t Address, std::uint32_t Length);
// The register block's plain storage, with no side effect and no trace.
void SimPokeReg16(std::uint32_t Offset, std::uint16_t Value);
// Blitter pixels that fell outside RAM and were skipped, since the reset.
std::uint64_t SimBlitterSkippedPixels();
// Simulated device descriptors (/dev/mem, /dev/fb/N, /dev/mixer) open now.
int SimOpenDeviceFiles();

// The input panel.
enum class TSimInput { B1, B2, B3, B4, B5, B6, B7, B8, B9, B10, Up, UpLeft, Left, DownLeft, Down, DownRight, Right, UpRight };
void SimSetInput(TSimInput Input, bool Held);
bool SimInputHeld(TSimInput Input);
// "b1" to "b10", "up", "down", "left", "right", "upleft", "upright", "downleft", "downright".
bool SimParseInput(const std::string& Name, TSimInput& Input);

// The display.
std::uint32_t SimDisplayStart();  // the latched start address
std::uint32_t SimFlipCount();     // flips latched since the reset
// Called right after each latch, with the new flip count; one observer at a time, an empty one removes it.
void SimOnFlip(std::function<void(std::uint32_t FlipCount)> Observer);
// The shown page's 320 x 240 RGB565 pixels (zeros where the page lies outside RAM).
std::vector<std::uint16_t> SimShownPage();
// The shown page as a PNG file; false with Error set when it cannot be written.
bool SimWriteSnapshot(const std::string& File, std::string* Error);

// The mixer: the last argument written with SOUND_MIXER_WRITE_PCM (left level in bits 0-7, right in 8-15).
std::uint32_t SimMixerArgument();

// The speaker: what SDL_mixer mixes is scaled by the mixer's PCM level (0 to 100, higher counts as 100).
void SimSpeakerScale(std::int16_t* Samples, std::size_t Count); // interleaved stereo
bool SimOpenAudioOut(const std::string& File); // a 16-bit stereo WAV of what the listener hears
void SimCloseAudioOut();

// SDL as the simulated device provides it.
struct TSimVideoRequest {
    bool Made;
    int Width, Height, BitsPerPixel;
    std::uint32_t Flags;
};
TSimVideoRequest SimLastVideoRequest(); // the last SDL_SetVideoMode request
// Replaces the video information's first flag word (or makes SDL_GetVideoInfo fail) until the next reset.
void SimOverrideVideoInfo(std::uint32_t FlagWord);
void SimFailVideoInfo();
// Windowed presentation drops SDL_FULLSCREEN from the program's mode request, so the window stays a window.
void SimSetWindowed(bool Windowed);

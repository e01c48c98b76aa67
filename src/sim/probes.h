#pragma once
// What the tests and benchmarks look at and set on the simulated device beyond the launcher's control. Each
// function lives in the module whose state it reads, which each group names.

#include <cstdint>
#include <string>
#include <vector>

// model/trace.cpp: the trace to memory instead of a file; taking the lines writes a pending folded read first and
// clears them.
void SimTraceToMemory();
std::vector<std::string> SimTakeTrace();
// The age in host nanoseconds at which the trace's oldest buffered line is written to its file (a second after a
// reset).
void SimSetTraceFlushAge(std::int64_t Nanoseconds);
// capture/audio_out.cpp: the audio capture taken to hold Bytes of samples already, as a long run's would.
void SimSetAudioOutBytes(std::uint32_t Bytes);

// model/physical_memory.cpp: the host address of physical [Address, Address + Length) when it lies wholly in RAM, else
// null.
std::uint8_t* SimPhysToHost(std::uint32_t Address, std::uint32_t Length);
// model/register_block.cpp: the register block's plain storage, with no side effect and no trace.
void SimPokeReg16(std::uint32_t Offset, std::uint16_t Value);
// model/blitter_registers.cpp: blitter pixels that fell outside RAM and were skipped, since the reset.
std::uint64_t SimBlitterSkippedPixels();
// model/speaker.cpp: the mixer's PCM level as SOUND_MIXER_WRITE_PCM last wrote it (left level in bits 0-7, right in
// 8-15).
std::uint32_t SimMixerLevel();
// seam/sim_platform.cpp: simulated device descriptors (/dev/mem, /dev/fb/N, /dev/mixer) open now.
int SimOpenDeviceFiles();
// model/display.cpp: the latched start address, and the flips latched since the reset.
std::uint32_t SimDisplayStart();
std::uint32_t SimFlipCount();

// seam/sdl_hooks.cpp: the program's SDL requests as the simulated device saw them.
struct TSimVideoRequest {
    bool Made;
    int Width, Height, BitsPerPixel;
    std::uint32_t Flags;
};
TSimVideoRequest SimLastVideoRequest(); // the last SDL_SetVideoMode request
// Replaces the video information's first flag word (or makes SDL_GetVideoInfo fail) until the next reset.
void SimOverrideVideoInfo(std::uint32_t FlagWord);
void SimFailVideoInfo();

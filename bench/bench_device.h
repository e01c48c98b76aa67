#pragma once
// The simulated device as the program leaves it right before its frame loop: fast mode, the register window
// acquired, both video pages set up, and an image where the program copies it (ImageCopyPhys).

#include "app/program_state.h"

#include <cstdint>

// The key colour the program passes to Blit (255, 0, 255) as the blitter compares it.
constexpr std::uint16_t BenchKeyColor = 0xF81F;

// A fresh device in fast mode with the register window acquired and video up. False when the device would not
// come up (the message is on standard error).
bool SetUpBenchDevice();
void TearDownBenchDevice();

// Fills an image of Width x Height pixels at Pitch bytes with pseudo-random pixels, one in every KeyEvery of them
// (at random places) the key colour; 0 leaves the key colour out.
void FillBenchImage(std::uint32_t Phys, std::int32_t Width, std::int32_t Height, std::int32_t Pitch,
                    std::uint32_t KeyEvery);

#pragma once
// The OSS mixer's PCM level, the same on both channels. Silent on every failure.

#include <cstdint>

void SetVolume(std::uint16_t Level);

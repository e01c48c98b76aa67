#pragma once
// Pictures of the display as PNG files.

#include <cstdint>
#include <string>
#include <vector>

// Writes a 320 x 240 RGB565 picture to File as an 8-bit RGB PNG, each component widened by bit replication; false
// with Error set when it cannot be written.
bool WritePng(const std::string& File, const std::vector<std::uint16_t>& Picture, std::string* Error);

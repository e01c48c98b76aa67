#pragma once
// Pictures of the display as PNG files.

#include <cstdint>
#include <string>
#include <vector>

// Writes a 320 x 240 RGB565 picture to File as an 8-bit RGB PNG, each component widened by bit replication; false
// with Error set when any write, the flush or the closing fails, and File is then removed. Created: a descriptor of
// File already created for it, which is taken over, or -1 to create File as named.
bool WritePng(const std::string& File, int Created, const std::vector<std::uint16_t>& Picture, std::string* Error);

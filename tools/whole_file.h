#pragma once
// Writing a generated file so that it appears whole or not at all: a build that stops half-way must not leave a
// truncated data file that looks newer than its generator.

#include <cstdint>
#include <string>
#include <vector>

// Writes Bytes beside File, then renames it over File. False with Error set when it cannot be written.
bool WriteWholeFile(const std::string& File, const std::vector<std::uint8_t>& Bytes, std::string& Error);

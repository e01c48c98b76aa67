#pragma once
// Reading a script file, up to a size limit.

#include <cstddef>
#include <string>

// The most a script may hold: hours of a few commands a frame stay far below it, and reading stops there, so that a
// file without an end (/dev/zero) cannot fill the memory.
constexpr std::size_t ScriptLimitBytes = 4 * 1024 * 1024;

// Reads File whole into Text. False with Error set to the message, naming the file as What ("the key map") and File,
// when it cannot be read or holds more than the limit.
bool ReadScriptFile(const std::string& File, std::string& Text, std::string& Error,
                    const std::string& What = "the script");

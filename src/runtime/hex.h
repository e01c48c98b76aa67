#pragma once
// Numbers in upper-case hexadecimal, as the program prints addresses and registers.

#include <cstdint>
#include <string>

// At least Digits digits, zero-padded; a larger value is printed whole, never cut (a 64-bit host's addresses).
std::string Hex(std::uintmax_t Value, int Digits);

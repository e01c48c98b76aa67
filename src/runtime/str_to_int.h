#pragma once
// Conversion of a text to a signed 32-bit integer with the program's number syntax: leading blanks and tabs, an
// optional sign, then decimal digits, or hexadecimal behind "$", "x" or "0x" (either case of x), binary behind "%",
// octal behind "&". A text that does not convert, or whose value lies outside 32 bits, raises EConvertError.

#include <cstdint>
#include <string>

std::int32_t StrToInt(const std::string& Text);
// The same conversion without raising: false when the text does not convert.
bool TryStrToInt(const std::string& Text, std::int32_t& Value);

// The flag-mask conversion with any text. StrToInt and TryStrToInt agree on every text (the one raises
// EConvertError exactly where the other returns false, and both give the same value), every value converted
// comes back the same from its decimal and its "$" hexadecimal form, and a text of plain decimal digits converts
// exactly when its value lies in the signed 32-bit range.

#include "runtime/errors.h"
#include "runtime/str_to_int.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// The value of Text when it is blanks and tabs, an optional sign and 1 to 18 decimal digits; false otherwise.
bool PlainDecimal(const std::string& Text, std::int64_t& Value)
{
    std::size_t Pos = Text.find_first_not_of(" \t");
    if (Pos == std::string::npos)
        return false;
    const bool Negative = Text[Pos] == '-';
    if (Text[Pos] == '-' || Text[Pos] == '+')
        ++Pos;
    const std::size_t Digits = Text.size() - Pos;
    if (Digits == 0 || Digits > 18 || Text.find_first_not_of("0123456789", Pos) != std::string::npos)
        return false;
    Value = 0;
    for (; Pos < Text.size(); ++Pos)
        Value = Value * 10 + (Text[Pos] - '0');
    if (Negative)
        Value = -Value;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    std::int32_t Tried = 0;
    const bool Converts = TryStrToInt(Text, Tried);
    bool Raised = false;
    std::int32_t Value = 0;
    try {
        Value = StrToInt(Text);
    } catch (const EConvertError&) {
        Raised = true;
    }
    if (Raised == Converts || (Converts && Value != Tried))
        __builtin_trap();

    std::int64_t Decimal = 0;
    if (PlainDecimal(Text, Decimal) && Converts != (Decimal >= INT32_MIN && Decimal <= INT32_MAX))
        __builtin_trap();
    if (!Converts)
        return 0;
    if (PlainDecimal(Text, Decimal) && Decimal != Value)
        __builtin_trap();
    if (StrToInt(std::to_string(Value)) != Value)
        __builtin_trap();
    char Hex[16];
    std::snprintf(Hex, sizeof Hex, "$%08" PRIX32, static_cast<std::uint32_t>(Value));
    if (StrToInt(Hex) != Value)
        __builtin_trap();
    return 0;
}

// The program's number syntax. Range: a decimal number must lie in the signed 32-bit range. A hexadecimal,
// binary or octal number is a bit pattern and may use all 32 bits, so "$FFFFFFFF" is -1 and "$80000000" is
// -2147483648; with a minus sign its magnitude may be at most 0x80000000, so that no 33rd bit is needed either way.
// Anything beyond that does not convert rather than wrap.

#include "runtime/str_to_int.h"

#include "runtime/errors.h"

namespace {

// The value of a digit in any base up to 36; a character that is no digit gets a value beyond every base.
int DigitValue(char Digit)
{
    if (Digit >= '0' && Digit <= '9')
        return Digit - '0';
    if (Digit >= 'a' && Digit <= 'z')
        return Digit - 'a' + 10;
    if (Digit >= 'A' && Digit <= 'Z')
        return Digit - 'A' + 10;
    return 99;
}

} // namespace

bool TryStrToInt(const std::string& Text, std::int32_t& Value)
{
    std::size_t Pos = 0;
    while (Pos < Text.size() && (Text[Pos] == ' ' || Text[Pos] == '\t'))
        ++Pos;

    bool Negative = false;
    if (Pos < Text.size() && (Text[Pos] == '+' || Text[Pos] == '-')) {
        Negative = Text[Pos] == '-';
        ++Pos;
    }

    int Base = 10;
    if (Pos < Text.size()) {
        const char Lead = Text[Pos];
        if (Lead == '$' || Lead == 'x' || Lead == 'X') {
            Base = 16;
            ++Pos;
        } else if (Lead == '0' && Pos + 1 < Text.size() && (Text[Pos + 1] == 'x' || Text[Pos + 1] == 'X')) {
            Base = 16;
            Pos += 2;
        } else if (Lead == '%') {
            Base = 2;
            ++Pos;
        } else if (Lead == '&') {
            Base = 8;
            ++Pos;
        }
    }

    if (Pos == Text.size())
        return false;

    const std::uint64_t Limit =
        Base == 10 ? (Negative ? 0x80000000u : 0x7FFFFFFFu) : (Negative ? 0x80000000u : 0xFFFFFFFFu);
    std::uint64_t Magnitude = 0;
    for (; Pos < Text.size(); ++Pos) {
        const int Digit = DigitValue(Text[Pos]);
        if (Digit >= Base)
            return false;
        Magnitude = Magnitude * static_cast<unsigned>(Base) + static_cast<unsigned>(Digit);
        if (Magnitude > Limit)
            return false;
    }

    // Two's complement of the 32-bit pattern, which also gives -2147483648 for a magnitude of 0x80000000.
    std::uint32_t Pattern = static_cast<std::uint32_t>(Magnitude);
    if (Negative)
        Pattern = 0u - Pattern;
    Value = static_cast<std::int32_t>(Pattern);
    return true;
}

std::int32_t StrToInt(const std::string& Text)
{
    std::int32_t Value = 0;
    if (!TryStrToInt(Text, Value))
        throw EConvertError("\"" + Text + "\" is an invalid integer");
    return Value;
}

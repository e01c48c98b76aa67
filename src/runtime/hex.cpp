#include "runtime/hex.h"

#include <cinttypes>
#include <cstdio>

std::string Hex(std::uintmax_t Value, int Digits)
{
    char Text[2 * sizeof(std::uintmax_t) + 1];
    std::snprintf(Text, sizeof Text, "%0*" PRIXMAX, Digits, Value);
    return Text;
}

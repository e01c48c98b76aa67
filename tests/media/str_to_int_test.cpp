#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "runtime/errors.h"
#include "runtime/str_to_int.h"

namespace {

TEST(StrToIntTest, TextsThatConvert)
{
    const std::pair<const char*, std::int32_t> Cases[] = {
        {"0", 0}, {"18", 18}, {"007", 7}, {"+7", 7}, {"-1", -1}, {"-0", 0}, {" \t 42", 42}, {"\t-42", -42},
        {"$12", 18}, {"$Ff", 255}, {"x1F", 31}, {"X1f", 31}, {"0x12", 18}, {"0X12", 18}, {"0x0", 0},
        {"-$12", -18}, {"+0x12", 18}, {"%10010", 18}, {"-%1", -1}, {"&22", 18}, {"&0", 0},
        {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}, {"$00000000000000000012", 18},
        // A hexadecimal, binary or octal number is a 32-bit pattern.
        {"$FFFFFFFF", -1}, {"$80000000", INT32_MIN}, {"-$80000000", INT32_MIN},
        {"%11111111111111111111111111111111", -1}, {"&37777777777", -1},
    };
    for (const auto& Case : Cases) {
        std::int32_t Value = 12345;
        EXPECT_TRUE(TryStrToInt(Case.first, Value)) << Case.first;
        EXPECT_EQ(Value, Case.second) << Case.first;
        EXPECT_EQ(StrToInt(Case.first), Case.second) << Case.first;
    }
}

TEST(StrToIntTest, TextsThatDoNotConvertRaiseWithTheTextInQuotes)
{
    const std::string Cases[] = {
        "", " ", "-", "+", "$", "x", "0x", "%", "&", "-$", "abc", "12a", "12 ", "1 2", "- 1", "--1", "+-1", "$-1",
        "0x-1", "1e3", "12\n", "\v12", "%2", "&8", "$G", "0b1", "1.0", std::string("12\0", 3),
        // Outside 32 bits.
        "2147483648", "-2147483649", "4294967296", "99999999999999999999999", "$100000000", "-$80000001",
        "-$FFFFFFFF", "%100000000000000000000000000000000", "&40000000000",
    };
    for (const std::string& Case : Cases) {
        std::int32_t Value = 0;
        EXPECT_FALSE(TryStrToInt(Case, Value)) << '"' << Case << '"';
        try {
            StrToInt(Case);
            ADD_FAILURE() << '"' << Case << "\" converted";
        } catch (const EConvertError& Raised) {
            EXPECT_EQ(Raised.Message, '"' + Case + "\" is an invalid integer");
        }
    }
}

} // namespace

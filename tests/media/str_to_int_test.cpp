#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "runtime/errors.h"
#include "runtime/str_to_int.h"

namespace {

TEST(StrToIntTest, TextsThatConvert)
{
    const std::pair<const char*, std::int32_t> Cases[] = {
        {"0", 0},
        {"18", 18},
        {"007", 7},
        {"+7", 7},
        {"-1", -1},
        {"-0", 0},
        {" \t 42", 42},
        {"\t-42", -42},
        {"$12", 18},
        {"$ff", 255},
        {"$Ff", 255},
        {"x1F", 31},
        {"X1f", 31},
        {"0x12", 18},
        {"0X12", 18},
        {"0x0", 0},
        {"-$12", -18},
        {"+0x12", 18},
        {"%10010", 18},
        {"-%1", -1},
        {"&22", 18},
        {"&0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$7FFFFFFF", 2147483647},
        // A hexadecimal, binary or octal number is a 32-bit pattern.
        {"$FFFFFFFF", -1},
        {"$80000000", INT32_MIN},
        {"-$80000000", INT32_MIN},
        {"%11111111111111111111111111111111", -1},
        {"&37777777777", -1},
        {"$00000000000000000012", 18},
    };
    for (const auto& Case : Cases) {
        std::int32_t Value = 12345;
        EXPECT_TRUE(TryStrToInt(Case.first, Value)) << Case.first;
        EXPECT_EQ(Value, Case.second) << Case.first;
        EXPECT_EQ(StrToInt(Case.first), Case.second) << Case.first;
    }
}

TEST(StrToIntTest, TextsThatDoNotConvert)
{
    const char* const Cases[] = {
        "", " ", "\t", "-", "+", "$", "x", "X", "0x", "%", "&", "-$", "abc", "12a", "12 ", "1 2", "- 1", "--1",
        "+-1", "$-1", "0x-1", "1e3", "12\n", "\n12", "\v12", "%2", "&8", "$G", "0b1", "1.0",
        // Outside 32 bits.
        "2147483648", "-2147483649", "4294967295", "4294967296", "99999999999999999999999", "$100000000",
        "-$80000001", "-$FFFFFFFF", "%100000000000000000000000000000000", "&40000000000",
    };
    for (const char* Case : Cases) {
        std::int32_t Value = 0;
        EXPECT_FALSE(TryStrToInt(Case, Value)) << '"' << Case << '"';
    }
    std::int32_t Value = 0;
    EXPECT_FALSE(TryStrToInt(std::string("12\0", 3), Value)) << "a NUL after the digits";
}

TEST(StrToIntTest, RaisesConvertErrorWithTheTextInQuotes)
{
    const std::pair<std::string, std::string> Cases[] = {
        {"abc", "\"abc\" is an invalid integer"},
        {"", "\"\" is an invalid integer"},
        {" 12 ", "\" 12 \" is an invalid integer"},
        {"2147483648", "\"2147483648\" is an invalid integer"},
    };
    for (const auto& Case : Cases) {
        try {
            StrToInt(Case.first);
            ADD_FAILURE() << Case.first << " converted";
        } catch (const EConvertError& Raised) {
            EXPECT_EQ(Raised.Message, Case.second);
            EXPECT_STREQ(Raised.what(), Case.second.c_str());
            EXPECT_STREQ(Raised.ClassName(), "EConvertError");
        }
    }
}

} // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "base/cp1252.h"
#include "base/datetime.h"
#include "base/errors.h"
#include "base/numeric.h"
#include "base/text.h"
#include "base/text_encoding.h"

namespace torvic {
namespace {

TEST(NumericValue, ReadsTheNumberAtTheStartOfAText) {
    struct Case { const char* text; double value; } cases[] = {
        {"", 0},          {"abc", 0},       {"-", 0},          {"+", 0},         {"12", 12},
        {"  12", 12},     {"\t\n 7", 7},    {" 1 2", 12},      {"1 2 3x4", 123}, {"-3", -3},
        {"- 3", -3},      {"+5", 5},        {"2.5", 2.5},      {".5", 0.5},      {"5.", 5},
        {"1.2.3", 1.2},   {"1,5", 1},       {"1D2", 100},      {"1d2", 100},     {"1E-2", 0.01},
        {"2e+3", 2000},   {"1E", 1},        {"1Ex", 1},        {"&H1F", 31},     {"&h1f", 31},
        {"1e-400", 0},    {"&O17", 15},     {"&o777", 511},    {"&O8", 0},       {"&H", 0},
        {"&X12", 0},      {"12abc", 12},    {"3%", 3},         {"1E2.5", 100},   {"  -0.5e1", -5},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(valorNumeric(c.text), c.value) << "text: '" << c.text << "'";
    EXPECT_THROW(valorNumeric("1e400"), RunTimeError);  // overflow
    EXPECT_THROW(valorNumeric("-1D999"), RunTimeError);
}

// Halves go to the even neighbour, then the target's range is checked.
TEST(Rounding, HalvesToEvenAndTargetRanges) {
    using To = double (*)(double);
    const To even = [](double v) { return roundHalfEven(v); }, i16 = [](double v) { return double(toInt16(v)); },
             i32 = [](double v) { return double(toInt32(v)); }, u8 = [](double v) { return double(toByte(v)); };
    struct Case { To to; double in; std::optional<double> out; } cases[] = {  // no result: a run-time error
        {even, 2.5, 2}, {even, 3.5, 4}, {even, 0.5, 0}, {even, 1.5, 2}, {even, -2.5, -2}, {even, -3.5, -4}, {even, 2.4999, 2},
        {even, 2.5001, 3}, {even, -0.4, 0}, {even, 7, 7}, {even, -1.6, -2},
        {i16, 32767.4, 32767}, {i16, -32768.5, -32768}, {i16, 32767.5, {}}, {i16, -32769, {}}, {i16, std::nan(""), {}},
        {i32, 2147483647.0, 2147483647}, {i32, 2147483647.5, {}}, {u8, 255.4, 255}, {u8, -0.5, 0}, {u8, 255.5, {}}, {u8, -0.6, {}},
    };
    for (const Case& c : cases) {
        if (c.out) EXPECT_EQ(c.to(c.in), *c.out) << c.in;
        else EXPECT_THROW(c.to(c.in), RunTimeError) << c.in;
    }
}

TEST(Cp1252, RoundTripsEveryByteThroughUtf8) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    EXPECT_EQ(cp1252::fromUtf8(cp1252::toUtf8(all)), all);
    EXPECT_EQ(cp1252::toUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(L1252("ĳ"), "?");  // no such character in 1252
    EXPECT_EQ(L1252("\xE0\xA0\x80"), "?");  // U+0800, the first three-byte character
    EXPECT_EQ(L1252("a\xC3"), "a\xC3");      // a cut sequence stays as its bytes
    for (const char* lead : {"\xF5", "\xFF", "\x80", "\xC1", "\xF0"})  // no character begins so (F0 80: overlong)
        EXPECT_FALSE(isValidUtf8(std::string(lead) + "\x80\x80\x80")) << int(static_cast<unsigned char>(*lead));
    EXPECT_TRUE(isValidUtf8("\xF1\x80\x80\x80"));  // U+40000
}

TEST(Dates, SerialDaysAndWeekdays) {
    EXPECT_EQ(serialFromCivil(1899, 12, 30), 0);
    EXPECT_EQ(serialFromCivil(1900, 1, 1), 2);
    EXPECT_EQ(serialFromCivil(2026, 12, 16), 46372);
    EXPECT_EQ(serialFromCivil(100, 1, 1), kFirstSerial);
    EXPECT_EQ(serialFromCivil(9999, 12, 31), kLastSerial);
    int y, m, d;
    civilFromSerial(46372, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20261216);
    EXPECT_EQ(weekdayNumber(serialFromCivil(2026, 12, 13)), 1);  // Sunday (the Ifdate rows check 4 and 7)
    EXPECT_EQ(dateText(serialFromCivil(2026, 3, 5)), "05/03/26");
    EXPECT_EQ(clockText(86400 + 61), "00:01:01");
}

TEST(Dates, TimeOfDayAndDateTexts) {
    EXPECT_EQ(parseTimeOfDay(" 08:05 "), 8 * 3600 + 5 * 60);
    EXPECT_EQ(parseTimeOfDay("23:59:59"), 86399);
    for (const char* bad : {"", "8", "24:00", "8:60", "8:30:60", "a:b", "8:30:1:2", "123:00", "8.30"})
        EXPECT_FALSE(parseTimeOfDay(bad).has_value()) << bad;
    EXPECT_EQ(parseDate("25/12/2026"), serialFromCivil(2026, 12, 25));
    EXPECT_EQ(parseDate("1/2/99"), serialFromCivil(1999, 2, 1));
    EXPECT_EQ(parseDate("1/2/29"), serialFromCivil(2029, 2, 1));
    EXPECT_EQ(parseDate("29/2/2028"), serialFromCivil(2028, 2, 29));
    EXPECT_EQ(parseDate("25/12", 2026), serialFromCivil(2026, 12, 25));
    for (const char* bad : {"", "25", "25/12", "32/1/26", "29/2/2027", "0/1/26", "1/13/26", "a/b/c", "1/1/1/1",
                            "1-1-2026", "1/1/20260", "1/1/2x"})
        EXPECT_FALSE(parseDate(bad).has_value()) << bad;
}

}  // namespace
}  // namespace torvic

#include "numbers/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

namespace n = waypost::numbers;

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();

// Leading blanks, a sign, digits, a point and an exponent are read; the rest is ignored; no number is 0.
TEST(Numbers, LenientReadingTakesTheLeadingNumber) {
    const std::pair<const char*, double> cases[] = {
        {"", 0}, {".5", 0.5}, {"1E3", 1000}, {"1e", 1}, {"1e+", 1}, {"2.5e-1x", 0.25}, {"-.", 0}, {"  42", 42},
        {"\t7", 7}, {"+3", 3}, {"30.", 30}, {"--5", 0}, {"1e400x", HUGE_VAL}, {"1e-400", 0}, {"-1e999", -HUGE_VAL}};
    for (const auto& [text, expected] : cases) EXPECT_DOUBLE_EQ(n::parseLenient(text), expected) << '"' << text << '"';
}

// A half rounds away from zero as the shortest decimal form reads; a zero result has no minus sign; roundFixed
// gives the number formatFixed writes.
TEST(Numbers, FixedRoundsAHalfAwayFromZeroAsTheShortestFormReads) {
    const std::tuple<double, int, const char*> cases[] = {
        {-0.0043, 4, "-0.0043"}, {0.00005, 4, "0.0001"}, {-0.00004, 4, "0.0000"}, {0.125, 2, "0.13"}, {2.5, 0, "3"},
        {-0.125, 2, "-0.13"}, {0.49, 0, "0"}, {2.675, 2, "2.68"}, {9.995, 2, "10.00"}, {0, 3, "0.000"},
        {4.9999995, 6, "5.000000"}, {1e20, 2, "100000000000000000000.00"}, {0.00015, 4, "0.0002"}};
    for (const auto& [value, decimals, text] : cases) {
        EXPECT_EQ(n::formatFixed(value, decimals), text) << value << " at " << decimals;
        EXPECT_EQ(n::roundFixed(value, decimals), n::parseLenient(text)) << value << " at " << decimals;
    }
    EXPECT_EQ(n::formatFixed(nan, 2) + n::formatFixed(-inf, 2), "NaN-Infinity");
    for (const int decimals : {-1, 16}) EXPECT_THROW(n::formatFixed(1.0, decimals), std::invalid_argument) << decimals;
}

// A half goes to the even neighbour; what no 64-bit whole number holds (NaN included) throws, and a typed
// number outside its range gives no value, never a wrapped one.
TEST(Numbers, WholeRoundsAHalfToEvenAndRefusesWhatTheRangeCannotHold) {
    const std::pair<double, std::int64_t> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.5001, 3}, {1e15 + 0.5, 1000000000000000}, {-9.2e18, -9200000000000000000}};
    for (const auto& [value, expected] : cases) EXPECT_EQ(n::toWhole(value), expected) << value;
    for (const double value : {1e19, -1e19, nan, inf}) EXPECT_THROW(n::toWhole(value), std::out_of_range) << value;
    const std::tuple<double, std::int64_t, std::int64_t, std::optional<std::int64_t>> within[] = {
        {115.5, 23, 220, 116}, {22.5, 23, 220, std::nullopt}, {23.5, 23, 220, 24}, {220.5, 23, 220, 220},
        {4294967319.0, 0, 220, std::nullopt}, {-HUGE_VAL, -220, 220, std::nullopt}, {nan, 0, 220, std::nullopt},
        {9223372036854775808.0, 0, std::numeric_limits<std::int64_t>::max(), std::nullopt}};
    for (const auto& [value, lowest, highest, expected] : within)
        EXPECT_EQ(n::wholeWithin(value, lowest, highest), expected) << value;
}

TEST(Numbers, GeneralFormHasFifteenSignificantDigitsAndNoTrailingZeros) {
    const std::pair<double, const char*> cases[] = {
        {0, "0"}, {-0.0, "0"}, {-84.25, "-84.25"}, {0.1 + 0.2, "0.3"}, {100, "100"}, {1.0 / 3.0, "0.333333333333333"},
        {123456789012345.0, "123456789012345"}, {1e15, "1E+15"}, {0.0001, "0.0001"}, {0.00001, "1E-05"}};
    for (const auto& [value, expected] : cases) EXPECT_EQ(n::generalForm(value), expected) << value;
}

// '0' always shows a digit, '#' a significant one, ',' groups thousands, '%' multiplies by 100; a half rounds
// away from zero and the minus goes before the padded digits; any other character is refused.
TEST(Numbers, PatternPadsGroupsAndRoundsAHalfAwayFromZero) {
    const std::tuple<double, const char*, const char*> cases[] = {
        {5.25, "00.000000", "05.250000"}, {-5.5, "000.000000", "-005.500000"}, {0.5, "##,##0.00", "0.50"},
        {-0.0000001, "000.000000", "000.000000"}, {1234567.891, "##,##0.00", "1,234,567.89"}, {0.5, "#.00", ".50"},
        {999.995, "##,##0.00", "1,000.00"}, {1, "0.00%", "100.00%"}, {1.5, "0.0#", "1.5"}, {1.256, "0.0#", "1.26"}};
    for (const auto& [value, pattern, text] : cases) EXPECT_EQ(n::formatPattern(value, pattern), text) << pattern;
    for (const char* bad : {"0.0x", "a0"}) EXPECT_THROW(n::formatPattern(1.0, bad), std::invalid_argument) << bad;
}

}  // namespace

#include "numbers/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>

namespace n = waypost::numbers;

namespace {

struct LenientCase {
    const char* text;
    double expected;
};

class LenientReading : public ::testing::TestWithParam<LenientCase> {};

TEST_P(LenientReading, TakesTheLeadingNumber) {
    const auto& c = GetParam();
    EXPECT_DOUBLE_EQ(n::parseLenient(c.text), c.expected) << "text: \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Table, LenientReading,
    ::testing::Values(LenientCase{"", 0}, LenientCase{"12abc", 12}, LenientCase{".5", 0.5},
                      LenientCase{"-0.5", -0.5}, LenientCase{"1e3", 1000}, LenientCase{"1E3", 1000},
                      LenientCase{"1e", 1}, LenientCase{"1e+", 1}, LenientCase{"2.5e-1x", 0.25},
                      LenientCase{"abc", 0}, LenientCase{"-", 0}, LenientCase{".", 0}, LenientCase{"-.", 0},
                      LenientCase{"  42", 42}, LenientCase{"\t7", 7}, LenientCase{"+3", 3},
                      LenientCase{"084", 84}, LenientCase{"-084.25", -84.25}, LenientCase{"30.", 30},
                      LenientCase{"1.2.3", 1.2}, LenientCase{"5-3", 5}, LenientCase{"--5", 0},
                      LenientCase{"1,5", 1}, LenientCase{"9999", 9999}, LenientCase{"1e400x", HUGE_VAL},
                      LenientCase{"1e-400", 0}));

TEST(LenientReadingEdges, NegativeZeroAndHugeNegative) {
    EXPECT_EQ(n::parseLenient("-0"), 0.0);
    EXPECT_TRUE(std::isinf(n::parseLenient("-1e999")));
    EXPECT_LT(n::parseLenient("-1e999"), 0);
}

struct FixedCase {
    double value;
    int decimals;
    const char* expected;
};

class FixedFormatting : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedFormatting, RoundsAHalfAwayFromZero) {
    const auto& c = GetParam();
    EXPECT_EQ(n::formatFixed(c.value, c.decimals), c.expected) << c.value << " at " << c.decimals;
    // The rounded number without the text is the text read back.
    EXPECT_EQ(n::roundFixed(c.value, c.decimals), n::parseLenient(c.expected)) << c.value << " at " << c.decimals;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FixedFormatting,
    ::testing::Values(FixedCase{-0.0043, 4, "-0.0043"}, FixedCase{0.00005, 4, "0.0001"},
                      FixedCase{-0.00004, 4, "0.0000"}, FixedCase{0.125, 2, "0.13"}, FixedCase{-0.125, 2, "-0.13"}, FixedCase{-2.5, 0, "-3"},
                      FixedCase{2.5, 0, "3"}, FixedCase{0.5, 0, "1"}, FixedCase{0.49, 0, "0"},
                      FixedCase{2.675, 2, "2.68"}, FixedCase{1.005, 2, "1.01"}, FixedCase{9.995, 2, "10.00"},
                      FixedCase{99.5, 0, "100"}, FixedCase{0, 3, "0.000"}, FixedCase{-0.0001, 2, "0.00"},
                      FixedCase{-0.004, 2, "0.00"}, FixedCase{-0.005, 2, "-0.01"}, FixedCase{30.5, 6, "30.500000"},
                      FixedCase{-84.25, 6, "-84.250000"}, FixedCase{123456789.0, 0, "123456789"},
                      FixedCase{1e-7, 6, "0.000000"}, FixedCase{5e-7, 6, "0.000001"},
                      FixedCase{4.9999995, 6, "5.000000"}, FixedCase{1e20, 2, "100000000000000000000.00"},
                      FixedCase{0.000123, 4, "0.0001"}, FixedCase{0.00015, 4, "0.0002"}));

TEST(FixedFormattingEdges, NonFiniteAndBadDecimals) {
    EXPECT_EQ(n::formatFixed(std::numeric_limits<double>::quiet_NaN(), 2), "NaN");
    EXPECT_EQ(n::formatFixed(-std::numeric_limits<double>::infinity(), 2), "-Infinity");
    EXPECT_THROW(n::formatFixed(1.0, -1), std::invalid_argument);
    EXPECT_THROW(n::formatFixed(1.0, 16), std::invalid_argument);
}

struct WholeCase {
    double value;
    std::int64_t expected;
};

class WholeConversion : public ::testing::TestWithParam<WholeCase> {};

TEST_P(WholeConversion, RoundsAHalfToEven) {
    EXPECT_EQ(n::toWhole(GetParam().value), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Table, WholeConversion,
                         ::testing::Values(WholeCase{2.5, 2}, WholeCase{3.5, 4}, WholeCase{-2.5, -2},
                                           WholeCase{-3.5, -4}, WholeCase{0.5, 0}, WholeCase{1.5, 2},
                                           WholeCase{2.4999, 2}, WholeCase{2.5001, 3}, WholeCase{-0.4, 0},
                                           WholeCase{761158.5, 761158}, WholeCase{761159.5, 761160},
                                           WholeCase{1e15 + 0.5, 1000000000000000}));

TEST(WholeConversionEdges, OutOfRangeThrows) {
    EXPECT_THROW(n::toWhole(1e19), std::out_of_range);
    EXPECT_THROW(n::toWhole(-1e19), std::out_of_range);
    EXPECT_THROW(n::toWhole(std::numeric_limits<double>::quiet_NaN()), std::out_of_range);
    EXPECT_THROW(n::toWhole(std::numeric_limits<double>::infinity()), std::out_of_range);
    EXPECT_EQ(n::toWhole(-9.2e18), static_cast<std::int64_t>(-9.2e18));
}

struct GeneralCase {
    double value;
    const char* expected;
};

class GeneralForm : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(GeneralForm, FifteenSignificantDigitsNoTrailingZeros) {
    EXPECT_EQ(n::generalForm(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GeneralForm,
    ::testing::Values(GeneralCase{0, "0"}, GeneralCase{-0.0, "0"}, GeneralCase{30.5, "30.5"},
                      GeneralCase{-84.25, "-84.25"}, GeneralCase{0.1 + 0.2, "0.3"}, GeneralCase{100, "100"},
                      GeneralCase{1.0 / 3.0, "0.333333333333333"}, GeneralCase{123456789012345.0, "123456789012345"},
                      GeneralCase{1e15, "1E+15"}, GeneralCase{1.5e20, "1.5E+20"}, GeneralCase{0.0001, "0.0001"},
                      GeneralCase{0.00001, "1E-05"}, GeneralCase{376025.0, "376025"},
                      GeneralCase{-0.000123456, "-0.000123456"}, GeneralCase{29.123456789, "29.123456789"}));

struct PatternCase {
    double value;
    const char* pattern;
    const char* expected;
};

class PatternFormatting : public ::testing::TestWithParam<PatternCase> {};

TEST_P(PatternFormatting, FollowsThePattern) {
    const auto& c = GetParam();
    EXPECT_EQ(n::formatPattern(c.value, c.pattern), c.expected) << c.value << " with " << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PatternFormatting,
    ::testing::Values(PatternCase{30.5, "00.000000", "30.500000"}, PatternCase{5.25, "00.000000", "05.250000"},
                      PatternCase{-84.25, "000.000000", "-084.250000"},
                      PatternCase{-5.5, "000.000000", "-005.500000"}, PatternCase{-180, "000.000000", "-180.000000"},
                      PatternCase{-0.0000001, "000.000000", "000.000000"},
                      PatternCase{-84.2807, "000.0000", "-084.2807"}, PatternCase{1234.5, "##,##0.00", "1,234.50"},
                      PatternCase{0.5, "##,##0.00", "0.50"}, PatternCase{1234567.891, "##,##0.00", "1,234,567.89"},
                      PatternCase{-1234.5, "##,##0.00", "-1,234.50"}, PatternCase{999.995, "##,##0.00", "1,000.00"},
                      PatternCase{123, "##,##0.00", "123.00"}, PatternCase{0.125, "0.00%", "12.50%"},
                      PatternCase{1, "0.00%", "100.00%"}, PatternCase{0.5, "#.00", ".50"},
                      PatternCase{2.5, "0", "3"}, PatternCase{1.5, "0.0#", "1.5"}, PatternCase{1.256, "0.0#", "1.26"}));

TEST(PatternFormattingEdges, PercentAndBadPatterns) {
    EXPECT_EQ(n::formatPercent(0.125), "12.50%");
    EXPECT_EQ(n::formatPercent(0.00004), "0.00%");
    EXPECT_THROW(n::formatPattern(1.0, "0.0x"), std::invalid_argument);
    EXPECT_THROW(n::formatPattern(1.0, "a0"), std::invalid_argument);
}

}  // namespace

namespace {

struct WithinCase {
    double value;
    std::int64_t lowest, highest;
    std::optional<std::int64_t> expected;
};

class WholeWithin : public ::testing::TestWithParam<WithinCase> {};

// A typed number is checked before it is converted: beyond the range (or
// beyond any whole number at all) there is no value, never a wrapped one.
TEST_P(WholeWithin, RefusesWhatTheRangeCannotHold) {
    const auto& c = GetParam();
    EXPECT_EQ(n::wholeWithin(c.value, c.lowest, c.highest), c.expected) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WholeWithin,
    ::testing::Values(WithinCase{115.5, 23, 220, 116}, WithinCase{22.5, 23, 220, std::nullopt},
                      WithinCase{23.5, 23, 220, 24}, WithinCase{220.5, 23, 220, 220},
                      WithinCase{4294967319.0, 0, 220, std::nullopt}, WithinCase{9.999999999999999e18, 0, 220, std::nullopt},
                      WithinCase{HUGE_VAL, 0, 220, std::nullopt}, WithinCase{-HUGE_VAL, -220, 220, std::nullopt},
                      WithinCase{std::nan(""), 0, 220, std::nullopt},
                      WithinCase{9223372036854775808.0, 0, std::numeric_limits<std::int64_t>::max(), std::nullopt}));

}  // namespace

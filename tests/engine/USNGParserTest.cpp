// Splitting a reference into its four pieces, and refusing what cannot be one.

#include "engine/USNGParser.h"
#include "engine/NationalGridInverse.h"
#include "engine/lltoAlbers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace waypost::engine;

struct SplitCase {
    const char* reference;
    const char* zone;
    const char* square;
    const char* easting;
    const char* northing;
};

class ParserSplits : public ::testing::TestWithParam<SplitCase> {};

TEST_P(ParserSplits, FourPieces) {
    const SplitCase& c = GetParam();
    const USNGParseResult r = USNGParser(c.reference);
    ASSERT_TRUE(r.ok()) << "\"" << c.reference << "\": " << r.error;
    EXPECT_TRUE(r.error.empty());
    EXPECT_EQ(r.pieces->zoneDesignation, c.zone);
    EXPECT_EQ(r.pieces->squareLetters, c.square);
    EXPECT_EQ(r.pieces->eastingDigits, c.easting);
    EXPECT_EQ(r.pieces->northingDigits, c.northing);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParserSplits,
    ::testing::Values(SplitCase{"16RGU6115870495", "16R", "GU", "61158", "70495"},
                      SplitCase{"16R GU 61158 70495", "16R", "GU", "61158", "70495"},
                      SplitCase{"  16R  GU 6115 8704 95 ", "16R", "GU", "61158", "70495"},
                      // A one-digit zone takes the one-digit branch.
                      SplitCase{"9RWP0000018785", "9R", "WP", "00000", "18785"},
                      SplitCase{"9R WP 12 34", "9R", "WP", "12", "34"},
                      // Shorter groups, either case, tabs and line ends trimmed.
                      SplitCase{"16rgu6170", "16r", "gu", "61", "70"},
                      SplitCase{"16R GU 6 7", "16R", "GU", "6", "7"},
                      SplitCase{"\t16RGU6170\r\n", "16R", "GU", "61", "70"},
                      SplitCase{"16R\tGU 61158\t70495", "16R", "GU", "61158", "70495"},
                      // No digits: the south-west corner of the 100 km square.
                      SplitCase{"16RGU", "16R", "GU", "", ""},
                      SplitCase{"1CAA1234567890", "1C", "AA", "12345", "67890"}));

struct RefusedCase {
    const char* reference;
    const char* reason;  // a part of the error text
};

class ParserRefuses : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(ParserRefuses, WithAReason) {
    const RefusedCase& c = GetParam();
    const USNGParseResult r = USNGParser(c.reference);
    EXPECT_FALSE(r.ok()) << c.reference;
    EXPECT_FALSE(r.pieces.has_value());
    EXPECT_NE(r.error.find(c.reason), std::string::npos) << "\"" << c.reference << "\" gave: " << r.error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParserRefuses,
    ::testing::Values(RefusedCase{"", "empty"}, RefusedCase{"\t\r\n", "empty"},
                      RefusedCase{"16RG", "shorter than five"}, RefusedCase{"9RGU", "shorter than five"},
                      // The case left open: an odd number of digits.
                      RefusedCase{"16RGU611587049", "odd number of digits"},
                      RefusedCase{"9RWU1", "odd number of digits"},
                      RefusedCase{"16RGU6115-70495", "not a digit"}, RefusedCase{"9RWU12a4", "not a digit"},
                      RefusedCase{"16RGU123456789012345678", "more than sixteen digits"},
                      RefusedCase{"0RGU1234", "not 1 to 60"}, RefusedCase{"61RGU1234", "not 1 to 60"},
                      RefusedCase{"00RGU1234", "not 1 to 60"},
                      RefusedCase{"16IGU1234", "band letter"}, RefusedCase{"16YGU1234", "band letter"},
                      RefusedCase{"1234567", "band letter"},
                      RefusedCase{"16RIU1234", "square letters"}, RefusedCase{"16RGW1234", "square letters"},
                      RefusedCase{"16R1U1234", "square letters"},
                      RefusedCase{"RGU12345", "zone number"}, RefusedCase{"-6RGU1234", "zone number"},
                      // A column letter of another zone's third of the letters.
                      RefusedCase{"16RSU6115870495", "column letter S is not one of zone 16's (A to H)"},
                      RefusedCase{"17rgu1234", "column letter G is not one of zone 17's (J to R)"},
                      RefusedCase{"18RHU1234", "column letter H is not one of zone 18's (S to Z)"}));

}  // namespace

struct BandCase {
    const char* reference;
    const char* error;  // a part of the error; empty when the reference exists
};

class SquareInItsBand : public ::testing::TestWithParam<BandCase> {};

TEST_P(SquareInItsBand, OrRefusedNamingTheBand) {
    const auto parsed = USNGParser(GetParam().reference);
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const auto& p = *parsed.pieces;
    const std::string error =
        geographicFromUsng(p.zoneDesignation, p.squareLetters, p.eastingDigits, p.northingDigits).bandError;
    if (*GetParam().error == '\0') EXPECT_EQ(error, "");
    else EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SquareInItsBand,
    ::testing::Values(BandCase{"16R GU 61158 70495", ""},
                      // 2,000 km north of band C.
                      BandCase{"4CER2456090902", "outside latitude band C"},
                      // The square GA straddles 32 degrees: named with either band it exists.
                      BandCase{"16R GA 00000 44000", ""}, BandCase{"16S GA 00000 44000", ""},
                      // Band X reaches 84.5 degrees north, as UTM does.
                      BandCase{"27X XQ 84848 32480", ""}));

TEST(Parser, SubMetreReferencesSplitAndConvert) {
    const auto parsed = USNGParser("16R GU 611585 704950");
    ASSERT_TRUE(parsed.pieces.has_value()) << parsed.error;
    EXPECT_EQ(parsed.pieces->eastingDigits, "611585");
    EXPECT_EQ(parsed.pieces->northingDigits, "704950");
    const auto finest = USNGParser("16RGU6115850070495000");
    ASSERT_TRUE(finest.pieces.has_value()) << finest.error;
    EXPECT_EQ(finest.pieces->eastingDigits, "61158500");
    // A tenth of a metre east of the 1 m reference: the same position to 4 decimals.
    lltoAlbers engine;
    EXPECT_EQ(engine.LatLongFromUSNG(parsed.pieces->zoneDesignation, parsed.pieces->squareLetters,
                                     parsed.pieces->eastingDigits, parsed.pieces->northingDigits),
              "-084.2807 30.4383");
}

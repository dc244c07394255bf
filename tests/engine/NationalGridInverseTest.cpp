// US National Grid reference to latitude/longitude: splitting a reference into
// its four pieces (and refusing what cannot be one), worked values, scaling of
// short digit groups, the text forms and the degrees-minutes-seconds texts.

#include "engine/NationalGrid.h"
#include "engine/NationalGridInverse.h"
#include "engine/USNGParser.h"
#include "engine/lltoAlbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>

namespace {

using namespace waypost::engine;

using Pieces = std::tuple<std::string, std::string, std::string, std::string>;

GeographicFromGrid inverseOf(const std::string& reference) {
    const USNGParseResult parsed = USNGParser(reference);
    EXPECT_TRUE(parsed.ok()) << reference << ": " << parsed.error;
    const USNGPieces p = parsed.pieces.value_or(USNGPieces{});
    return geographicFromUsng(p.zoneDesignation, p.squareLetters, p.eastingDigits, p.northingDigits);
}

TEST(USNGParser, SplitsIntoFourPieces) {
    const std::pair<std::string, Pieces> cases[] = {
        {"16RGU6115870495", {"16R", "GU", "61158", "70495"}}, {"16R GU 61158 70495", {"16R", "GU", "61158", "70495"}},
        {"  16R  GU 6115 8704 95 ", {"16R", "GU", "61158", "70495"}},
        // A one-digit zone takes the one-digit branch.
        {"9RWP0000018785", {"9R", "WP", "00000", "18785"}}, {"9R WP 12 34", {"9R", "WP", "12", "34"}},
        // Shorter groups, either case, tabs and line ends trimmed.
        {"16rgu6170", {"16r", "gu", "61", "70"}}, {"16R GU 6 7", {"16R", "GU", "6", "7"}},
        {"\t16RGU6170\r\n", {"16R", "GU", "61", "70"}}, {"16R\tGU 61158\t70495", {"16R", "GU", "61158", "70495"}},
        // No digits: the south-west corner of the 100 km square.
        {"16RGU", {"16R", "GU", "", ""}}, {"1CAA1234567890", {"1C", "AA", "12345", "67890"}},
        // Sub-metre digits.
        {"16R GU 611585 704950", {"16R", "GU", "611585", "704950"}},
        {"16RGU6115850070495000", {"16R", "GU", "61158500", "70495000"}}};
    for (const auto& [reference, pieces] : cases) {
        const USNGParseResult r = USNGParser(reference);
        ASSERT_TRUE(r.ok()) << "\"" << reference << "\": " << r.error;
        EXPECT_TRUE(r.error.empty());
        EXPECT_EQ(Pieces(r.pieces->zoneDesignation, r.pieces->squareLetters, r.pieces->eastingDigits,
                         r.pieces->northingDigits),
                  pieces);
    }
}

TEST(USNGParser, RefusesWithAReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "empty"}, {"\t\r\n", "empty"}, {"16RG", "shorter than five"}, {"9RGU", "shorter than five"},
        // The case left open: an odd number of digits.
        {"16RGU611587049", "odd number of digits"}, {"9RWU1", "odd number of digits"},
        {"16RGU6115-70495", "not a digit"}, {"9RWU12a4", "not a digit"},
        {"16RGU123456789012345678", "more than sixteen digits"},
        {"0RGU1234", "not 1 to 60"}, {"61RGU1234", "not 1 to 60"}, {"00RGU1234", "not 1 to 60"},
        {"16IGU1234", "band letter"}, {"16YGU1234", "band letter"}, {"1234567", "band letter"},
        {"16RIU1234", "square letters"}, {"16RGW1234", "square letters"}, {"16R1U1234", "square letters"},
        {"RGU12345", "zone number"}, {"-6RGU1234", "zone number"},
        // A column letter of another zone's third of the letters.
        {"16RSU6115870495", "column letter S is not one of zone 16's (A to H)"},
        {"17rgu1234", "column letter G is not one of zone 17's (J to R)"},
        {"18RHU1234", "column letter H is not one of zone 18's (S to Z)"}};
    for (const auto& [reference, reason] : cases) {
        const USNGParseResult r = USNGParser(reference);
        EXPECT_FALSE(r.pieces.has_value()) << reference;
        EXPECT_NE(r.error.find(reason), std::string::npos) << "\"" << reference << "\" gave: " << r.error;
    }
}

TEST(Inverse, ASquareMustReachIntoTheBandItNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"16R GU 61158 70495", ""},
        {"4CER2456090902", "outside latitude band C"},  // 2,000 km north of band C
        // The square GA straddles 32 degrees: named with either band it exists.
        {"16R GA 00000 44000", ""}, {"16S GA 00000 44000", ""},
        {"27X XQ 84848 32480", ""},  // band X reaches 84.5 degrees north, as UTM does
    };
    for (const auto& [reference, error] : cases) {
        const std::string bandError = inverseOf(reference).bandError;
        EXPECT_TRUE(*error == '\0' ? bandError.empty() : bandError.find(error) != std::string::npos)
            << reference << ": " << bandError;
    }
}

TEST(Inverse, WorkedValues) {
    // The four pieces; latitude, longitude, text and UTM text.
    const std::tuple<Pieces, double, double, std::string, std::string> cases[] = {
        {{"16R", "GU", "61158", "70495"}, 30.4383, -84.2807, "-084.2807 30.4383", "16R 761158 3370495"},
        {{"17R", "MK", "50392", "86534"}, 27, -81.5, "-081.5 27", "17R 450392 2986534"},
        // A band below N takes the southern false northing off again.
        {{"34H", "BH", "59583", "45888"}, -33.9, 18.4, "18.4 -33.9", "34H 259583 6245888"},
        // Two-digit groups are the south-west corner of the 1 km square.
        {{"16R", "GU", "61", "70"}, 30.4339, -84.2825, "-084.2825 30.4339", "16R 761000 3370000"},
        // One-digit zone; letters are compared in capitals.
        {{"9R", "WP", "00000", "18785"}, 30, -129, "-129 30", "9R 500000 3318785"},
        {{"9r", "wp", "00000", "18785"}, 30, -129, "-129 30", "9R 500000 3318785"}};
    for (const auto& [pieces, latitude, longitude, text, utm] : cases) {
        lltoAlbers engine;
        EXPECT_EQ(std::apply([&](const auto&... p) { return engine.LatLongFromUSNG(p...); }, pieces), text);
        EXPECT_EQ(std::tie(engine.USNGLat, engine.USNGLong, engine.UTMText), std::tie(latitude, longitude, utm));
        EXPECT_EQ(engine.USNGLatDMS, degreesMinutesSecondsText(latitude, 2));
        EXPECT_EQ(engine.USNGLongDMS, degreesMinutesSecondsText(longitude, 3));
    }
    // A tenth of a metre east of the 1 m reference: the same position to 4 decimals.
    EXPECT_EQ(lltoAlbers().LatLongFromUSNG("16R", "GU", "611585", "704950"), "-084.2807 30.4383");
}

TEST(Inverse, ShortGroupsAreScaledToMetres) {
    const std::pair<const char*, double> groups[] = {{"", 0},          {"5", 50000},     {"61", 61000},
                                                     {"611", 61100},   {"6115", 61150},  {"61158", 61158},
                                                     {"611585", 61158.5}};
    for (const auto& [digits, metres] : groups) {
        const GeographicFromGrid geo = geographicFromUsng("16R", "GU", digits, digits);
        EXPECT_DOUBLE_EQ(geo.easting, 700000 + metres) << digits;
        EXPECT_DOUBLE_EQ(geo.northing, 3300000 + metres) << digits;
    }
}

TEST(Inverse, LongitudeTextHasOneZeroAfterTheMinusBelowThreeDigits) {
    for (const auto& [latitude, longitude, text] : {std::tuple{40.0, -5.1, "-05.1 40"}, {40, -100.5, "-100.5 40"},
                                                    {10, -0.5, "-00.5 10"}, {-10, 5.25, "5.25 -10"}})
        EXPECT_EQ(inverseOf(usngFromGeographic(latitude, longitude).texts.reference).text, text);
}

TEST(Inverse, DegreesMinutesSecondsText) {
    const std::tuple<double, int, std::string> cases[] = {
        {30 + 15 / 60.0 + 5.25 / 3600, 2, " 30° 15' 05.25'' "},
        {30.4383, 2, " 30° 26' 17.88'' "}, {-84.2807, 3, " -084° 16' 50.52'' "},
        // Latitude degrees: 1 to 9 get a leading 0, -1 to -9 get "-0".
        {5.5, 2, " 05° 30' 00.00'' "}, {-5.5, 2, " -05° 30' 00.00'' "},
        // Longitude degrees: three digits after any minus sign.
        {-5.25, 3, " -005° 15' 00.00'' "}, {81.5, 3, " 081° 30' 00.00'' "}, {5.25, 3, " 005° 15' 00.00'' "},
        {-179.9999, 3, " -179° 59' 59.64'' "},
        // Below one degree the sign stays.
        {-0.5, 2, " -00° 30' 00.00'' "}, {0.5, 3, " 000° 30' 00.00'' "}, {0, 2, " 00° 00' 00.00'' "},
        // Minutes are the whole minutes, even when the rest is 59.7 seconds or more.
        {30.1666, 2, " 30° 09' 59.76'' "}, {1.0333, 2, " 01° 01' 59.88'' "},
        // Seconds that would show 60.00 carry into the minutes, and minutes into the degrees.
        {30.45, 2, " 30° 27' 00.00'' "}, {29.999999, 2, " 30° 00' 00.00'' "},
        {-29.999999, 3, " -030° 00' 00.00'' "}, {30.0000001, 2, " 30° 00' 00.00'' "}};
    for (const auto& [value, degreeDigits, text] : cases)
        EXPECT_EQ(degreesMinutesSecondsText(value, degreeDigits), text) << value;
}

TEST(Inverse, BadPiecesLeaveTheirTermAtZeroAndStillComplete) {
    // No checks here (USNGParser checks): the result is meaningless but the call completes.
    const std::pair<Pieces, std::string> cases[] = {
        {{"16R", "IU", "61158", "70495"}, "16R 061158 3370495"},  // a column letter outside the sequence
        // A row letter outside the sequence: no 100 km rows above the segment start
        // (2000 km, below band R's start, so the next segment).
        {{"16R", "GO", "61158", "70495"}, "16R 761158 4070495"},
        // A band letter outside C to X: no band or segment start, no false northing.
        {{"16A", "GU", "61158", "70495"}, "16A 761158 1370495"},
        {{"16R", "GU", "abcde", "xy"}, "16R 700000 3300000"},     // digits that are not digits
        {{"16R", "GU", "9e999", "70495"}, "16R 700000 3370495"},  // digits too large to be a number
    };
    lltoAlbers engine;
    for (const auto& [pieces, utm] : cases) {
        std::apply([&](const auto&... p) { engine.LatLongFromUSNG(p...); }, pieces);
        EXPECT_EQ(engine.UTMText, utm);
    }
    EXPECT_FALSE(engine.LatLongFromUSNG("", "", "", "").empty());
    EXPECT_TRUE(std::isfinite(engine.USNGLat) && std::isfinite(engine.USNGLong));
}

}  // namespace

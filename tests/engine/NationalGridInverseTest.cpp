// US National Grid reference to latitude/longitude: worked values, scaling of
// short digit groups, the text forms and the degrees-minutes-seconds texts.

#include "engine/NationalGrid.h"
#include "engine/NationalGridInverse.h"
#include "engine/USNGParser.h"
#include "engine/lltoAlbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace waypost::engine;

struct InverseCase {
    const char* zone;
    const char* square;
    const char* easting;
    const char* northing;
    double latitude;
    double longitude;
    const char* text;
    const char* utm;
};

class InverseWorkedValues : public ::testing::TestWithParam<InverseCase> {};

TEST_P(InverseWorkedValues, LatitudeLongitudeAndText) {
    const InverseCase& c = GetParam();
    lltoAlbers engine;
    EXPECT_EQ(engine.LatLongFromUSNG(c.zone, c.square, c.easting, c.northing), c.text);
    EXPECT_EQ(engine.USNGLat, c.latitude);
    EXPECT_EQ(engine.USNGLong, c.longitude);
    EXPECT_EQ(engine.UTMText, c.utm);
    EXPECT_EQ(engine.USNGLatDMS, degreesMinutesSecondsText(c.latitude, 2));
    EXPECT_EQ(engine.USNGLongDMS, degreesMinutesSecondsText(c.longitude, 3));
}

INSTANTIATE_TEST_SUITE_P(
    Given, InverseWorkedValues,
    ::testing::Values(
        InverseCase{"16R", "GU", "61158", "70495", 30.4383, -84.2807, "-084.2807 30.4383", "16R 761158 3370495"},
        InverseCase{"17R", "MK", "50392", "86534", 27, -81.5, "-081.5 27", "17R 450392 2986534"},
        // A band below N takes the southern false northing off again.
        InverseCase{"34H", "BH", "59583", "45888", -33.9, 18.4, "18.4 -33.9", "34H 259583 6245888"},
        // Two-digit groups are the south-west corner of the 1 km square.
        InverseCase{"16R", "GU", "61", "70", 30.4339, -84.2825, "-084.2825 30.4339", "16R 761000 3370000"},
        // One-digit zone; letters are compared in capitals.
        InverseCase{"9R", "WP", "00000", "18785", 30, -129, "-129 30", "9R 500000 3318785"},
        InverseCase{"9r", "wp", "00000", "18785", 30, -129, "-129 30", "9R 500000 3318785"}));

TEST(Inverse, DegreesMinutesSecondsOfWorkedValues) {
    lltoAlbers engine;
    engine.LatLongFromUSNG("16R", "GU", "61158", "70495");
    EXPECT_EQ(engine.USNGLatDMS, " 30\u00b0 26' 17.88'' ");
    EXPECT_EQ(engine.USNGLongDMS, " -084\u00b0 16' 50.52'' ");
    engine.LatLongFromUSNG("34H", "BH", "59583", "45888");
    EXPECT_EQ(engine.USNGLatDMS, " -33\u00b0 54' 00.00'' ");
    EXPECT_EQ(engine.USNGLongDMS, " 018\u00b0 24' 00.00'' ");
    engine.LatLongFromUSNG("9R", "WP", "00000", "18785");
    EXPECT_EQ(engine.USNGLongDMS, " -129\u00b0 00' 00.00'' ");
}

TEST(Inverse, ShortGroupsAreScaledToMetres) {
    struct Group {
        const char* digits;
        double metres;
    };
    for (const Group g : {Group{"", 0}, Group{"5", 50000}, Group{"61", 61000}, Group{"611", 61100},
                          Group{"6115", 61150}, Group{"61158", 61158}, Group{"611585", 61158.5}}) {
        const GeographicFromGrid geo = geographicFromUsng("16R", "GU", g.digits, g.digits);
        EXPECT_DOUBLE_EQ(geo.easting, 700000 + g.metres) << g.digits;
        EXPECT_DOUBLE_EQ(geo.northing, 3300000 + g.metres) << g.digits;
    }
}

struct LongitudeTextCase {
    double latitude;
    double longitude;
    const char* text;
};

class LongitudeText : public ::testing::TestWithParam<LongitudeTextCase> {};

TEST_P(LongitudeText, OneZeroAfterTheMinusBelowThreeDigits) {
    const LongitudeTextCase& c = GetParam();
    const NationalGridPoint p = usngFromGeographic(c.latitude, c.longitude);
    const USNGPieces q = *USNGParser(p.texts.reference).pieces;
    EXPECT_EQ(geographicFromUsng(q.zoneDesignation, q.squareLetters, q.eastingDigits, q.northingDigits).text, c.text)
        << p.texts.reference;
}

INSTANTIATE_TEST_SUITE_P(Table, LongitudeText,
                         ::testing::Values(LongitudeTextCase{40, -5.1, "-05.1 40"},
                                           LongitudeTextCase{40, -100.5, "-100.5 40"},
                                           LongitudeTextCase{10, -0.5, "-00.5 10"},
                                           LongitudeTextCase{-10, 5.25, "5.25 -10"}));

struct DmsCase {
    double value;
    int degreeDigits;
    const char* text;
};

class DegreesMinutesSeconds : public ::testing::TestWithParam<DmsCase> {};

TEST_P(DegreesMinutesSeconds, Text) {
    EXPECT_EQ(degreesMinutesSecondsText(GetParam().value, GetParam().degreeDigits), GetParam().text)
        << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DegreesMinutesSeconds,
    ::testing::Values(
        // 30 degrees 15 minutes 5.25 seconds.
        DmsCase{30 + 15 / 60.0 + 5.25 / 3600, 2, " 30° 15' 05.25'' "},
        // Latitude degrees: 1 to 9 get a leading 0, -1 to -9 get "-0".
        DmsCase{5.5, 2, " 05° 30' 00.00'' "}, DmsCase{-5.5, 2, " -05° 30' 00.00'' "},
        // Longitude degrees: three digits after any minus sign.
        DmsCase{-5.25, 3, " -005° 15' 00.00'' "}, DmsCase{81.5, 3, " 081° 30' 00.00'' "},
        DmsCase{5.25, 3, " 005° 15' 00.00'' "}, DmsCase{-179.9999, 3, " -179° 59' 59.64'' "},
        // Below one degree the sign stays.
        DmsCase{-0.5, 2, " -00° 30' 00.00'' "}, DmsCase{0.5, 3, " 000° 30' 00.00'' "}, DmsCase{0, 2, " 00° 00' 00.00'' "},
        // Minutes are the whole minutes, even when the rest is 59.7 seconds or more.
        DmsCase{30.1666, 2, " 30° 09' 59.76'' "}, DmsCase{1.0333, 2, " 01° 01' 59.88'' "},
        // Seconds that would show 60.00 carry into the minutes, and minutes into the degrees.
        DmsCase{30.45, 2, " 30° 27' 00.00'' "}, DmsCase{29.999999, 2, " 30° 00' 00.00'' "},
        DmsCase{-29.999999, 3, " -030° 00' 00.00'' "}, DmsCase{30.0000001, 2, " 30° 00' 00.00'' "}));

TEST(Inverse, BadPiecesLeaveTheirTermAtZeroAndStillComplete) {
    // No checks here (USNGParser checks): the result is meaningless but the call completes.
    lltoAlbers engine;
    // A column letter outside the sequence: no 100 km column.
    engine.LatLongFromUSNG("16R", "IU", "61158", "70495");
    EXPECT_EQ(engine.UTMText, "16R 061158 3370495");
    // A row letter outside the sequence: no 100 km rows above the segment start
    // (2000 km, below band R's start, so the next segment).
    engine.LatLongFromUSNG("16R", "GO", "61158", "70495");
    EXPECT_EQ(engine.UTMText, "16R 761158 4070495");
    // A band letter outside C to X: no band or segment start, no false northing.
    engine.LatLongFromUSNG("16A", "GU", "61158", "70495");
    EXPECT_EQ(engine.UTMText, "16A 761158 1370495");
    // Digits that are not digits.
    engine.LatLongFromUSNG("16R", "GU", "abcde", "xy");
    EXPECT_EQ(engine.UTMText, "16R 700000 3300000");
    // Nothing at all.
    const std::string text = engine.LatLongFromUSNG("", "", "", "");
    EXPECT_FALSE(text.empty());
    EXPECT_TRUE(std::isfinite(engine.USNGLat) && std::isfinite(engine.USNGLong));
    // Digits too large to be a number.
    engine.LatLongFromUSNG("16R", "GU", "9e999", "70495");
    EXPECT_EQ(engine.UTMText, "16R 700000 3370495");
}

}  // namespace

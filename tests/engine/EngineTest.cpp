// The coordinate engine. US National Grid both ways and a location in any common form: latitude/longitude
// to UTM and grid references (worked values, zones, bands, square letters, the two rounding rules); references
// split into their four pieces (or refused with the reason) and converted back (worked values, short digit
// groups, the text forms); and what readAnyLocation accepts and refuses. Then the state Albers grid (worked
// values and edge cases; the short pi is checked against GeographicLib in GeographicLibCrossCheckTest), the
// distance and bearing quadrants of the nearest-section search, and the engine object, whose results stay each
// caller's own.
//
// Then waypost-convert in process (reading lines, arguments, streams and exit statuses), and the built
// program end to end, for what only the real program shows: its exit statuses and standard input read as a
// stream.

#include "engine/AlbersEqualArea.h"
#include "engine/AnyLocation.h"
#include "engine/ConvertCommand.h"
#include "engine/NationalGrid.h"
#include "engine/NationalGridInverse.h"
#include "engine/SearchGeometry.h"
#include "engine/USNGParser.h"
#include "engine/lltoAlbers.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace waypost::engine;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

TEST(NationalGrid, WorkedValues) {
    // Latitude, longitude, reference and UTM text ("" where only the reference is known).
    const std::tuple<double, double, std::string, std::string> cases[] = {
        // Other zones, bands and hemispheres: GeographicLibCrossCheck.
        {30.4383, -84.2807, "16R GU 61158 70495", "16R 761158 3370495"},
        // Checked against GeographicLib's UTM (GeoConvert -u -p 3), rounded as the grid rounds.
        // Just south of the equator: 10000000 added, in both texts and in the row letter (V, not A).
        {-0.0001, 3, "31M EV 00000 99989", "31M 500000 9999989"},
        // A few millimetres south of the equator the northing rounds onto it: the
        // reference is the northern one, the only one a reader takes.
        {-0.000004, -75, "18N WF 00000 00000", ""},
        // Svalbard keeps the regular zones (GeographicLib would put 10 E in zone 33).
        {78, 10, "32X NM 23209 58568", "32X 523209 8658568"},
        // Beyond 84 N and below 80 S: no band letter, numbers still computed.
        {85, -84, "16 EV 29179 40494", "16 529179 9440494"}};
    for (const auto& [latitude, longitude, reference, utm] : cases) {
        const GridTexts texts = usngFromGeographic(latitude, longitude).texts;
        EXPECT_EQ(texts.reference, reference);
        EXPECT_TRUE(utm.empty() || texts.utmText == utm) << texts.utmText;
    }
}

// Zones: a point on -84 degrees is the western zone's, just east of it the eastern zone's (-78, -90 and the other
// edges: GeographicLibCrossCheck); longitudes wrap into -180..180; south-west Norway (56 <= latitude < 64,
// 3 <= longitude < 12) is zone 32.
// Bands: lower bounds inclusive, upper exclusive, X 12 degrees tall, none at 84 or more or below -80, where the
// texts still come, up to the poles, without a band letter.
TEST(NationalGrid, ZonesAndLatitudeBands) {
    const std::tuple<double, double, int, char> cases[] = {
        {30, -84, 16, 'R'}, {30, -83.9999999, 17, 'R'}, {30, -180, 1, 'R'}, {30, 180, 1, 'R'}, {30, -444, 16, 'R'},
        {56, 3, 32, 'V'}, {63.9999, 11.9999, 32, 'V'}, {60, 2.9999, 31, 'V'}, {55.9999, 5, 31, 'U'}, {64, 5, 31, 'W'},
        {60, 12, 33, 'V'}, {72, -84.5, 16, 'X'}, {83.9999, -84.5, 16, 'X'}, {71.9999, -84.5, 16, 'W'},
        {0, -84.5, 16, 'N'}, {-0.0001, -84.5, 16, 'M'}, {-72.0001, -84.5, 16, 'C'}, {-80, -84.5, 16, 'C'},
        {84, -84.5, 16, '\0'}, {90, -84.5, 16, '\0'}, {-80.0001, -84.5, 16, '\0'}, {-90, -84.5, 16, '\0'}};
    for (const auto& [latitude, longitude, zone, band] : cases) {
        // The texts are made for every row, the poles included (their form without a band letter: WorkedValues).
        const UtmPosition p = usngFromGeographic(latitude, longitude).position;
        EXPECT_EQ(std::pair(p.zone, p.band), std::pair(zone, band)) << latitude << " " << longitude;
    }
}

// UTM text: a half metre away from zero, at least six digits, seven and eight in full. Grid digits: a half
// to the even neighbour, the last five. Not at a half both round to the nearest (GeographicLibCrossCheck).
TEST(NationalGrid, TextsRoundAHalfMetreDifferentlyPadToSixAndCutToFive) {
    const std::tuple<int, char, int, double, double, std::string, std::string> cases[] = {
        {16, 'R', 4, 761158.5, 3370495.5, "16R 761159 3370496", "16R GU 61158 70496"},
        {9, 'R', 3, 100913.2, 5.4, "9R 100913 000005", "9R SA 00913 00005"},
        {9, 'R', 3, 100913.2, 12345678.4, "9R 100913 12345678", "9R SD 00913 45678"}};  // row 124 is row 4, D
    for (const auto& [zone, band, set, easting, northing, utm, reference] : cases) {
        const UtmPosition p{.zone = zone, .band = band, .letterSet = set, .easting = easting, .northing = northing};
        EXPECT_EQ(std::pair(utmText(p), nationalGridReference(p)), std::pair(utm, reference));
    }
}

TEST(NationalGrid, SquareLettersColumnThenRow) {
    // Letter set, northing, easting, letters. Columns 1..8 of each set; the count 8 (800000..899999) takes the
    // eighth letter; the column letters repeat every eight squares; a column of 0 becomes 7. Rows: 100 km steps
    // plus one, wrapping after 20; the absolute northing counts.
    const std::tuple<int, std::int64_t, std::int64_t, std::string> cases[] = {
        {1, 0, 100000, "AA"}, {1, 0, 899999, "HA"}, {3, 0, 800000, "ZA"}, {1, 0, 900000, "AA"}, {1, 0, 1600000, "HA"},
        {1, 0, 99999, "GA"}, {1, 99999, 100000, "AA"}, {1, 100000, 100000, "AB"}, {1, 1999999, 100000, "AV"},
        {1, 2000000, 100000, "AA"}, {1, -150000, 100000, "AB"}, {4, 123456789012, 100000, "AN"}};
    for (const auto& [set, northing, easting, letters] : cases)
        EXPECT_EQ(GridSquareLetters(set, northing, easting), letters) << set << " N " << northing << " E " << easting;
    for (const auto& [set, easting] : {std::pair{0, 100000}, {7, 100000}, {1, -1}})
        EXPECT_THROW((void)GridSquareLetters(set, 0, easting), std::out_of_range) << set << " " << easting;
}

// NaN and infinities are refused; far beyond any real longitude a double has no fraction left to wrap, and the
// zone must still be a zone, or the call refuse the value.
TEST(NationalGrid, NonFiniteInputIsRefusedAndHugeLongitudesNeverGiveABadZone) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    for (const auto& [latitude, longitude] : {std::pair{nan, 0.0}, {0.0, nan}, {inf, 0.0}, {0.0, -inf}})
        EXPECT_THROW((void)utmFromGeographic(latitude, longitude), std::invalid_argument);
    EXPECT_NO_THROW((void)utmFromGeographic(0, 1e9));
    int refused = 0;
    for (double lon = 1e10; lon < 1e300; lon *= 7.3)
        for (double sign : {1.0, -1.0}) {
            try {
                const int zone = utmFromGeographic(45, sign * lon).zone;
                EXPECT_TRUE(zone >= 1 && zone <= 61) << sign * lon << ": zone " << zone;
            } catch (const std::invalid_argument&) {
                ++refused;
            }
        }
    EXPECT_GT(refused, 0);
}

using Pieces = std::tuple<std::string, std::string, std::string, std::string>;

GeographicFromGrid inverseOf(const std::string& reference) {
    const USNGParseResult parsed = USNGParser(reference);
    EXPECT_TRUE(parsed.ok()) << reference << ": " << parsed.error;
    const USNGPieces p = parsed.pieces.value_or(USNGPieces{});
    return geographicFromUsng(p.zoneDesignation, p.squareLetters, p.eastingDigits, p.northingDigits);
}

TEST(USNGParser, SplitsIntoFourPieces) {
    const Pieces gu{"16R", "GU", "61158", "70495"};
    const std::pair<std::string, Pieces> cases[] = {
        // No digits is the south-west corner of the 100 km square. One-digit zones: GeographicLibCrossCheck.
        {"16RGU6115870495", gu}, {"  16R  GU 6115 8704 95 ", gu}, {"16RGU", {"16R", "GU", "", ""}},
        // Shorter groups, tabs and line ends trimmed (lower case: AnyLocation); sixteen digits, the most there may be.
        {"16R GU 6 7", {"16R", "GU", "6", "7"}}, {"\t16RGU6170\r\n", {"16R", "GU", "61", "70"}},
        {"16RGU6115850070495000", {"16R", "GU", "61158500", "70495000"}}};
    for (const auto& [reference, pieces] : cases) {
        const USNGParseResult r = USNGParser(reference);
        ASSERT_TRUE(r.ok() && r.error.empty()) << "\"" << reference << "\": " << r.error;
        const USNGPieces& p = *r.pieces;
        EXPECT_EQ(std::tie(p.zoneDesignation, p.squareLetters, p.eastingDigits, p.northingDigits), pieces);
    }
}

TEST(USNGParser, RefusesWithAReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "empty"}, {"16RG", "shorter than five"}, {"9RWU1", "odd number of digits"}, {"9RWU12a4", "not a digit"},
        {"16RGU123456789012345678", "more than sixteen"}, {"0RGU1234", "not 1 to 60"}, {"61RGU1234", "not 1 to 60"},
        {"16IGU1234", "band letter"}, {"16YGU1234", "band letter"}, {"16RIU1234", "square letters"},
        {"16RGW1234", "square letters"}, {"RGU12345", "zone number"},
        // A column letter of another zone's third of the letters.
        {"16RSU6115870495", "column letter S is not one of zone 16's (A to H)"},
        {"17rgu1234", "column letter G is not one of zone 17's (J to R)"}};
    for (const auto& [reference, reason] : cases) {
        const USNGParseResult r = USNGParser(reference);
        EXPECT_TRUE(!r.ok() && r.error.find(reason) != std::string::npos) << reference << " gave: " << r.error;
    }
}

// A square that reaches into the band it names exists (a square far outside its band, such as 4C ER, is refused:
// ConvertCommand.ArgumentsAndLinesGiveTheirResultsStatusAndMessages).
TEST(Inverse, ASquareMustReachIntoTheBandItNames) {
    // The square GA straddles 32 degrees: named with either band it exists. Band X reaches 84.5 north, as UTM does.
    for (const char* reference : {"16R GA 00000 44000", "16S GA 00000 44000", "27X XQ 84848 32480"})
        EXPECT_EQ(inverseOf(reference).bandError, "") << reference;
}

TEST(Inverse, WorkedValues) {
    // The four pieces; latitude, longitude, text and UTM text.
    const std::tuple<Pieces, double, double, std::string, std::string> cases[] = {
        // Other zones and bands (southern ones take the false northing off again): GeographicLibCrossCheck.
        {{"16R", "GU", "61158", "70495"}, 30.4383, -84.2807, "-084.2807 30.4383", "16R 761158 3370495"},
        // One-digit zone; letters are compared in capitals.
        {{"9r", "wp", "00000", "18785"}, 30, -129, "-129 30", "9R 500000 3318785"}};
    for (const auto& [pieces, latitude, longitude, text, utm] : cases) {
        lltoAlbers engine;
        EXPECT_EQ(std::apply([&](const auto&... p) { return engine.LatLongFromUSNG(p...); }, pieces), text);
        EXPECT_EQ(std::tie(engine.USNGLat, engine.USNGLong, engine.UTMText), std::tie(latitude, longitude, utm));
        EXPECT_EQ(engine.USNGLatDMS, degreesMinutesSecondsText(latitude, 2));
        EXPECT_EQ(engine.USNGLongDMS, degreesMinutesSecondsText(longitude, 3));
    }
    // A negative longitude below three digits gets one zero after the minus.
    for (const auto& [latitude, longitude, text] : {std::tuple{40.0, -5.1, "-05.1 40"}, {40, -100.5, "-100.5 40"},
                                                    {10, -0.5, "-00.5 10"}, {-10, 5.25, "5.25 -10"}})
        EXPECT_EQ(inverseOf(usngFromGeographic(latitude, longitude).texts.reference).text, text);
}

TEST(Inverse, ShortGroupsAreScaledToMetres) {
    for (const auto& [digits, metres] : {std::pair{"", 0.0}, {"5", 50000}, {"6115", 61150}, {"611585", 61158.5}}) {
        const GeographicFromGrid geo = geographicFromUsng("16R", "GU", digits, digits);
        EXPECT_DOUBLE_EQ(geo.easting, 700000 + metres) << digits;
        EXPECT_DOUBLE_EQ(geo.northing, 3300000 + metres) << digits;
    }
}

TEST(Inverse, DegreesMinutesSecondsText) {
    const std::tuple<double, int, std::string> cases[] = {
        {30 + 15 / 60.0 + 5.25 / 3600, 2, " 30° 15' 05.25'' "}, {-84.2807, 3, " -084° 16' 50.52'' "},
        // Degrees: two digits for a latitude, three for a longitude, after any minus.
        {5.5, 2, " 05° 30' 00.00'' "}, {-5.25, 3, " -005° 15' 00.00'' "},
        // Below one degree the sign stays. Minutes are the whole minutes, even when the rest is 59.7 seconds or more.
        {-0.5, 2, " -00° 30' 00.00'' "}, {0, 2, " 00° 00' 00.00'' "}, {30.1666, 2, " 30° 09' 59.76'' "},
        // Seconds that would show 60.00 carry into the minutes, and minutes into the degrees.
        {30.45, 2, " 30° 27' 00.00'' "}, {29.999999, 2, " 30° 00' 00.00'' "}};
    for (const auto& [value, degreeDigits, text] : cases)
        EXPECT_EQ(degreesMinutesSecondsText(value, degreeDigits), text) << value;
}

// No checks here (USNGParser checks, and every caller parses first): pieces no parser passes on give a
// meaningless result, but the call completes with finite numbers.
TEST(Inverse, BadPiecesStillComplete) {
    lltoAlbers engine;
    for (const Pieces& pieces : {Pieces{"16R", "IU", "61158", "70495"}, {"16R", "GO", "61158", "70495"},
                                 {"16A", "GU", "61158", "70495"}, {"16R", "GU", "abcde", "9e999"}, {"", "", "", ""}}) {
        EXPECT_FALSE(std::apply([&](const auto&... p) { return engine.LatLongFromUSNG(p...); }, pieces).empty());
        EXPECT_TRUE(std::isfinite(engine.USNGLat) && std::isfinite(engine.USNGLong)) << std::get<1>(pieces);
    }
}

TEST(AnyLocation, ReadsEachCommonForm) {
    const double dmLat = 30 + 26.30 / 60, dmLon = -(84 + 16.84 / 60);
    const double dmsLat = 30 + 26 / 60.0 + 18 / 3600.0, dmsLon = -(84 + 16 / 60.0 + 51 / 3600.0);
    const std::string dd = "decimal degrees", dm = "degrees and decimal minutes", dms = "degrees, minutes and seconds",
                      grid = "US National Grid, 1 m";
    // Grid references and UTM: 30.4383 -84.2807 converts to 16R GU 61158 70495 (16R 761158 3370495), so the
    // position read back lies within a metre; the other forms are exact.
    const std::tuple<const char*, double, double, std::string> cases[] = {
        {"30.4383, -84.2807", 30.4383, -84.2807, dd}, {"84.2807W 30.4383N", 30.4383, -84.2807, dd},
        {"-84.2807, 30.4383 N", 30.4383, -84.2807, dd}, {"N30 26.30 W84 16.84", dmLat, dmLon, dm},
        {"30\xC2\xB0" "26'18\"N 84\xC2\xB0" "16'51\"W", dmsLat, dmsLon, dms},
        {"30\xC2\xB0 26\xE2\x80\xB2 18\xE2\x80\xB3 N, 84\xC2\xB0 16\xE2\x80\xB2 51\xE2\x80\xB3 W", dmsLat, dmsLon, dms},
        {"30:26:18 N 84:16:51 W", dmsLat, dmsLon, dms}, {"30 26 18 -84 16 51", dmsLat, dmsLon, dms},
        {"16rgu6115870495", 30.4383, -84.2807, grid}, {"16R 761158 3370495", 30.4383, -84.2807, "UTM"},
        {"16 north 761158 3370495", 30.4383, -84.2807, "UTM"}};
    for (const auto& [text, latitude, longitude, form] : cases) {
        const LocationReading r = readAnyLocation(text);
        ASSERT_TRUE(r.ok) << text << ": " << r.error;
        const double tolerance = form == grid || form == "UTM" ? 1e-5 : 1e-12;
        EXPECT_NEAR(r.latitude, latitude, tolerance) << text;
        EXPECT_NEAR(r.longitude, longitude, tolerance) << text;
        EXPECT_EQ(r.form, form);
    }
    // A shorter reference names its precision (its position, the south-west corner:
    // Inverse.ShortGroupsAreScaledToMetres).
    EXPECT_EQ(readAnyLocation("16R GU 6115 7049").form + ", " + readAnyLocation("16R GU 6 7").form,
              "US National Grid, 10 m, US National Grid, 10 km");
}

TEST(AnyLocation, PartsRoundToHundredthsOfASecondWithCarries) {
    // 29 59 59.9996 carries to 30 00 00.00 (-84.2807 as 84 16 50.52: ConversionPageTest).
    const DmsParts p = dmsParts(29.9999999);
    EXPECT_EQ((std::array{p.degrees, p.minutes, p.seconds, p.hundredths}), (std::array{30, 0, 0, 0}));
}

TEST(AnyLocation, RefusesWithTheReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"95.5, 10", "latitude 95.5 is beyond 90"}, {"30, -190", "longitude -190 is beyond 180"},
        {"N30 26 N84 16", "both coordinates are latitudes"}, {"30 26 84", "cannot tell where the latitude ends"},
        {"30.5 15, 84", "only the last part of a coordinate may have decimals"},
        {"-30 N, 84 W", "the minus sign and the letter N disagree"}, {"17R AU 61158 70495", "column letter A"},
        {"16R GU", "100 km square is not a location"}, {"17S 500000 3600000", "band S or the southern hemisphere"},
        {"fire at the tower", "has no place in a location"}, {"", "nothing to read"}};
    for (const auto& [text, reason] : cases) {
        const LocationReading r = readAnyLocation(text);
        EXPECT_TRUE(!r.ok && r.error.find(reason) != std::string::npos) << text << ": " << r.error;
    }
}

// ---------------------------------------------------------------- the state Albers grid and the search geometry

// Whole metres, written plainly; with pi taken as 3.14159 the poles stay finite. (The numbers as AlbersX and
// AlbersY: lltoAlbersObject; the projection over the state against the exact one: GeographicLibCrossCheck.)
TEST(Albers, WorkedValues) {
    const std::tuple<double, double, std::string> cases[] = {
        {24, -84, "400000,0"}, {23, -84, "400000,-110685"},  // south of the origin the northing is negative
        {30.5, -84.25, "376025,721400"},                      // with a full-precision pi the northing would be 721401
        {90, -84, "400000,5231747"}, {-90, -84, "400000,-7526290"}};
    for (const auto& [latitude, longitude, text] : cases)
        EXPECT_EQ(AlbersEqualArea::StateGrid().Forward(latitude, longitude).text, text) << latitude;
    lltoAlbers engine;  // NaN is not checked: "NaN" in the text, 0 in the numbers
    EXPECT_EQ(engine.ProjectAlbers(nan, -84), "NaN,NaN");
    EXPECT_EQ(std::pair(engine.AlbersX, engine.AlbersY), std::pair(0.0, 0.0));
}

TEST(Albers, ConstructorRefusesBadParameters) {
    // Which parameter (8: none, the state grid's own), and a value outside its range.
    for (const auto& [index, value] : {std::pair<std::size_t, double>{8, 0}, {0, 0}, {0, nan}, {1, nan}, {1, 0},
                                       {2, nan}, {3, 90}, {4, 24}, {4, nan}, {5, nan}}) {
        std::array<double, 9> p{6378137, 0.003, 3.14159, 24, 31.5, -84, 0, 0, 0};
        p[index] = value;
        const auto make = [&p] { return AlbersEqualArea(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]); };
        if (index == 8) EXPECT_NO_THROW((void)make());
        else EXPECT_THROW((void)make(), std::invalid_argument) << index << " = " << value;
    }
}

// Each object keeps its own results; a call sets only its own, a call that throws none.
TEST(lltoAlbersObject, EachCallSetsOnlyItsOwnResultsAndCallersShareNothing) {
    lltoAlbers engine, other;
    engine.ProjectAlbers(30.5, -84.25);
    other.ProjectAlbers(25, -80);
    EXPECT_TRUE(engine.UTMText.empty());
    EXPECT_EQ(engine.USNGFromLatLong(27, -81.5), "17R MK 50392 86534");
    other.USNGFromLatLong(-33.9, 18.4);
    EXPECT_EQ(std::tie(engine.UTMText, engine.AlbersX, engine.USNGLat),
              std::tuple("17R 450392 2986534", 376025.0, 0.0));
    EXPECT_EQ(std::tie(other.UTMText, other.AlbersX), std::tuple("34H 259583 6245888", 803341.0));
    engine.USNGLat = 1;  // the batch windows may overwrite a result; the same call sets it again
    engine.LatLongFromUSNG("16R", "GU", "61158", "70495");
    EXPECT_EQ(std::tie(engine.UTMText, engine.AlbersY, engine.QuarterName, engine.USNGLat),
              std::tuple("16R 761158 3370495", 721400.0, "", 30.4383));
    EXPECT_THROW(engine.USNGFromLatLong(nan, 0), std::invalid_argument);
    EXPECT_EQ(engine.UTMText, "16R 761158 3370495");
    // The two bearing forms each set their own name only.
    engine.QuarterQuarterName = "untouched";
    EXPECT_EQ(engine.BearingQuarter(-84, 30, -83, 29), 135);
    EXPECT_EQ(std::tie(engine.QuarterName, engine.QuarterQuarterName), std::tie("SE 1/4", "untouched"));
    engine.QuarterName = "untouched";
    EXPECT_EQ(engine.BearingQuarterQuarter(0, 0, 2, 1), 63);
    EXPECT_EQ(std::tie(engine.QuarterName, engine.QuarterQuarterName), std::tie("untouched", "NE 1/4"));
}

constexpr double milesPerDegree = 60 * 1.1515;  // a degree of arc in statute miles

// Miles worked through the formula; kilometres and nautical miles by their letter in either case, miles for any
// other; equal points about 0 and antipodes half the circumference, never NaN.
TEST(GreatCircleDistance, WorkedMilesInEachUnitAndBothEnds) {
    // Worked through the formula step by step (arctan form, pi = 3.14159265358979);
    // a different pi or an acos form changes the last digits, which the search log shows.
    EXPECT_DOUBLE_EQ(GreatCircleDistance(30, -84, 30.001, -83.999, 'M'), 0.09139728732402222);
    const double miles = GreatCircleDistance(30.4383, -84.2807, 25.7617, -80.1918, 'M');
    for (const auto& [unit, perMile] :
         {std::pair{'K', 1.609344}, {'k', 1.609344}, {'N', 0.8684}, {'n', 0.8684}, {'X', 1.0}, {'m', 1.0}})
        EXPECT_DOUBLE_EQ(GreatCircleDistance(30.4383, -84.2807, 25.7617, -80.1918, unit), miles * perMile) << unit;
    for (double lat : {0.0, 30.4383, -45.0, 89.9}) EXPECT_NEAR(GreatCircleDistance(lat, -84, lat, -84, 'M'), 0, 1e-3);
    EXPECT_EQ(GreatCircleDistance(90, 0, 90, 0, 'M'), 0);
    for (const auto& [lat1, lon1, lat2, lon2] :
         {std::array{0.0, 0.0, 0.0, 180.0}, {90, 0, -90, 0}, {12.5, 33.25, -12.5, -146.75}})
        EXPECT_NEAR(GreatCircleDistance(lat1, lon1, lat2, lon2, 'M'), 180 * milesPerDegree, 1e-3) << lat1;
}

TEST(Bearings, WholeDegreesAndQuarterWithTheGapsInTheQuadrantBelow) {
    // From (lonA, latA) to (lonB, latB). Same longitude: north 0, south 180; same latitude: east 90, west 270;
    // in the four diagonal quadrants atan(2) = 63.43 and atan(1/2) = 26.57 degrees, once in each; A and B equal.
    // With pi = 3.14159 a point due east but a hair north reads just over 90: SE; and a hair east of due north,
    // coming from the west, just over 360: NW. Last, towards (r, 1) and its turns from (0, 0): 89.995, 90.005,
    // 179.995, 269.995 and 359.995 degrees, as bearings strictly between 89.99 and 90, 179.99 and 180, 269.99
    // and 270 belong to the quadrant below.
    const double r = std::tan(89.995 * 3.14159 / 180);
    const std::tuple<double, double, double, double, std::int64_t, std::string> cases[] = {
        {-84, 30, -84, 30.01, 0, "NE 1/4"}, {-84, 30, -84, 29.99, 180, "SW 1/4"}, {-84, 30, -83.99, 30, 90, "SE 1/4"},
        {-84, 30, -84.01, 30, 270, "NW 1/4"}, {0, 0, 2, 1, 63, "NE 1/4"}, {0, 0, 1, -2, 153, "SE 1/4"},
        {0, 0, -2, -1, 243, "SW 1/4"}, {0, 0, -1, 2, 333, "NW 1/4"}, {-84, 30, -84, 30, 0, "NE 1/4"},
        {0, 0, 1, 1e-9, 90, "SE 1/4"}, {0, 0, -1e-9, 1, 360, "NW 1/4"}, {0, 0, r, 1, 90, "NE 1/4"},
        {0, 0, r, -1, 90, "SE 1/4"}, {0, 0, 1, -r, 180, "SE 1/4"}, {0, 0, -r, -1, 270, "SW 1/4"},
        {0, 0, -1, r, 360, "NW 1/4"}};
    for (const auto& [lonA, latA, lonB, latB, whole, quarter] : cases) {
        const Bearing b = bearingFromTo(lonA, latA, lonB, latB);
        EXPECT_EQ(std::tie(b.wholeDegrees, b.quarter), std::tie(whole, quarter)) << b.degrees;
    }
}

// ---------------------------------------------------------------- waypost-convert

TEST(ReadLatLong, TwoNumbersOrTheReasonThereAreNot) {
    const std::tuple<const char*, double, double> read[] = {
        {"30.5 -84.25", 30.5, -84.25}, {"  30.5 ,  -84.25  ", 30.5, -84.25}, {"+30.5 +84.25", 30.5, 84.25},
        {"3.05e1 -8.425E1", 30.5, -84.25}, {"30. -84.", 30, -84}, {"-90 -180", -90, -180}, {"90 180", 90, 180}};
    for (const auto& [line, latitude, longitude] : read) {
        const LatLongReading r = readLatLong(line);
        EXPECT_TRUE(r.ok && r.error.empty()) << "\"" << line << "\": " << r.error;
        EXPECT_EQ(std::pair(r.latitude, r.longitude), std::pair(latitude, longitude)) << line;
    }
    const std::pair<const char*, std::vector<const char*>> refused[] = {
        {"not two numbers", {"", "30.5", "30.5 -84.25 1", "30.5,,-84.25", "30.5-84.25", "+-30 84", "1e999 0"}},
        {"latitude outside", {"90.0001 0", "nan 0"}},
        {"longitude outside", {"0 180.0001", "0 -inf"}}};
    for (const auto& [reason, lines] : refused)
        for (const char* line : lines) {
            const LatLongReading r = readLatLong(line);
            EXPECT_TRUE(!r.ok && r.error.find(reason) != std::string_view::npos) << line << ": " << r.error;
        }
}

// Every message line names the program, ends the line and shows no control character; the status says
// whether everything converted (0), something could not be read (1) or the usage was wrong (2).
TEST(ConvertCommand, ArgumentsAndLinesGiveTheirResultsStatusAndMessages) {
    const std::string ignored = "ignored 1 2\n", usage = "30 -84\n";
    // A line of exactly the longest length; its CR LF ending does not count, nor does a last line without one.
    const std::string longest = "30.5" + std::string(4096 - 4 - 7, ' ') + "-84.25 ";
    // Arguments, standard input, status, output, and the message lines in order: a whole line (it names the
    // program) or a part of one.
    const std::tuple<std::vector<std::string_view>, std::string, int, std::string, std::vector<std::string>> runs[] = {
        // The values as arguments give one line, whatever is on standard input.
        {{"utm", "30.4383", "-84.2807"}, ignored, convertOk, "16R 761158 3370495\n", {}},
        {{"usng", "-.5", "-.5"}, ignored, convertOk, "30M YE 78266 44682\n", {}},
        // Help, also after a command.
        {{"-h"}, "", convertOk, convertHelpText(), {}}, {{"usng", "--help"}, "", convertOk, convertHelpText(), {}},
        // Values that cannot be read: nothing on the output, the reason on the error stream.
        {{"usng", "91", "0"}, "", convertSomeFailed, "",
         {"waypost-convert: cannot read \"91 0\": latitude outside -90 to 90"}},
        {{"latlong", "16RGU611587049"}, "", convertSomeFailed, "", {"odd number of digits"}},
        {{"latlong", "--", "--help"}, "", convertSomeFailed, "", {"cannot read \"--help\""}},
        // Bad usage: one line.
        {{}, usage, convertBadUsage, "", {"missing command"}},
        {{"mgrs", "1", "2"}, usage, convertBadUsage, "", {"unknown command \"mgrs\""}},
        {{"-x"}, usage, convertBadUsage, "", {"unknown option \"-x\""}},
        {{"usng", "30", "-84", "-x"}, usage, convertBadUsage, "", {"unknown option \"-x\""}},
        {{"usng", "1", "2", "3"}, usage, convertBadUsage, "", {"two values"}},
        // Standard input: one result a line, an empty line for a line that cannot be read.
        {{"usng"}, "30.4383 -84.2807\nnonsense\n27,-81.5\n\n91 0\n-33.9\t18.4\n", convertSomeFailed,
         "16R GU 61158 70495\n\n17R MK 50392 86534\n\n\n34H BH 59583 45888\n",
         {"waypost-convert: line 2: cannot read \"nonsense\": not two numbers (latitude and longitude)",
          "waypost-convert: line 4: cannot read \"\": not two numbers (latitude and longitude)",
          "waypost-convert: line 5: cannot read \"91 0\": latitude outside -90 to 90"}},
        {{"albers"}, "24 -84\n30.5 -84.25\r\n27 -81.5\n25,-80", convertOk,
         "400000,0\n376025,721400\n647616,335261\n803341,117363\n", {}},
        {{"utm"}, "", convertOk, "", {}},
        // References that do not exist; an escape sequence and a zero byte are shown, not sent to the terminal.
        {{"latlong"}, std::string("16RSU6115870495\n4CER2456090902\n16R\tGU 61158 70495\n\x1b[2J\0x\n", 57),
         convertSomeFailed, "\n\n-084.2807 30.4383\n\n",
         {"line 1: cannot read \"16RSU6115870495\": the column letter S is not one of zone 16's",
          "line 2: cannot read \"4CER2456090902\": the 100 km square lies outside latitude band C",
          "line 4: cannot read \"\\x1b[2J\\0x\""}},
        {{"albers"}, longest + "\r\n" + longest + "\n" + longest, convertOk,
         "376025,721400\n376025,721400\n376025,721400\n", {}},
        {{"albers"}, "7" + longest + "\r\n", convertSomeFailed, "\n", {"the line is longer than 4096 characters"}},
        // A far longer line is skipped whole, shown cut short, and the next line converts.
        {{"albers"}, "30.5 -84.25\n" + std::string(10000, '7') + "\n27 -81.5\n", convertSomeFailed,
         "376025,721400\n\n647616,335261\n",
         {"waypost-convert: line 2: cannot read \"" + std::string(80, '7') +
          "...\": the line is longer than 4096 characters"}}};
    for (const auto& [args, input, status, out, messages] : runs) {
        SCOPED_TRACE(::testing::PrintToString(args) + " < " + input.substr(0, 60));
        std::istringstream in(input);
        std::ostringstream gotOut, gotErr;
        EXPECT_EQ(runConvertCommand(args, in, gotOut, gotErr), status) << gotErr.str();
        EXPECT_EQ(gotOut.str(), out);
        const std::string err = gotErr.str();
        std::istringstream lines(err);
        std::size_t n = 0;
        for (std::string line; std::getline(lines, line); ++n)
            EXPECT_TRUE(line.starts_with("waypost-convert: ") && n < messages.size() &&
                        line.find(messages[n]) != std::string::npos &&
                        (!messages[n].starts_with("waypost-convert: ") || line == messages[n]) &&
                        std::ranges::none_of(line, [](unsigned char ch) { return std::iscntrl(ch) != 0; }))
                << line;
        EXPECT_EQ(n, messages.size()) << err;
        EXPECT_TRUE(err.empty() || err.back() == '\n') << err;
    }
}

// Help that cannot be written says so.
TEST(ConvertHelp, FailsWhenItCannotBeWritten) {
    std::istringstream in;
    std::ostringstream out, err;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(runConvertCommand(std::vector<std::string_view>{"--help"}, in, out, err), convertSomeFailed);
    EXPECT_NE(err.str().find("cannot write the help"), std::string::npos);
}

// Run as a shell runs it, input, output and error redirected to files: a large input streams through whole,
// exit status 1 as its last line fails, 2 for bad usage (0: AnswersEachLineWhileInputStaysOpen).
TEST(ConvertCli, ExitStatusesAndStreamsThroughFiles) {
    std::string large, largeOut;
    for (int i = 0; i < 50000; ++i) {
        large += i % 2 == 0 ? "30.4383 -84.2807\n" : "27,-81.5\n";
        largeOut += i % 2 == 0 ? "16R GU 61158 70495\n" : "17R MK 50392 86534\n";
    }
    // Arguments, input, exit status, output and the start of the error text (its lines: ConvertCommand above).
    const std::tuple<std::string, std::string, int, std::string, std::string> cases[] = {
        {"usng", large + "not a point\n", 1, largeOut + "\n",
         "waypost-convert: line 50001: cannot read \"not a point\": not two numbers (latitude and longitude)\n"},
        {"", "30 -84\n", 2, "", "waypost-convert: missing command"}};
    const std::string base = ::testing::TempDir() + "waypost_convert_" + std::to_string(::getpid());
    const auto slurp = [](const std::string& path) {
        std::ostringstream s;
        s << std::ifstream(path, std::ios::binary).rdbuf();
        return s.str();
    };
    for (const auto& [args, input, status, out, err] : cases) {
        std::ofstream(base + ".in", std::ios::binary) << input;
        const int got = std::system(("'" WAYPOST_CONVERT_PATH "' " + args + " <'" + base + ".in' >'" + base +
                                     ".out' 2>'" + base + ".err'").c_str());
        const std::string gotOut = slurp(base + ".out"), gotErr = slurp(base + ".err");
        EXPECT_EQ(WIFEXITED(got) ? WEXITSTATUS(got) : -1, status) << gotErr.substr(0, 200);
        EXPECT_TRUE(gotOut == out) << "output differs (" << gotOut.size() << " bytes)";
        EXPECT_EQ(gotErr.substr(0, err.size()), err);
    }
    for (const char* suffix : {".in", ".out", ".err"}) std::remove((base + suffix).c_str());
}

/// One line from \p fd; "" at the end or when nothing comes within 20 seconds.
std::string readLine(int fd) {
    std::string line;
    pollfd p{fd, POLLIN, 0};
    for (char c = 0; ::poll(&p, 1, 20000) > 0 && ::read(fd, &c, 1) > 0; line += c)
        if (c == '\n') return line;
    return {};
}

// A program feeding one line at a time gets each answer before it sends the next, and the end of its input
// ends the program.
TEST(ConvertCli, AnswersEachLineWhileInputStaysOpen) {
    int fromChild[2];
    ASSERT_EQ(::pipe(fromChild), 0);
    FILE* toChild = ::popen(("exec '" WAYPOST_CONVERT_PATH "' usng >&" + std::to_string(fromChild[1])).c_str(), "w");
    ::close(fromChild[1]);
    ASSERT_NE(toChild, nullptr);
    for (const auto& [line, answer] :
         {std::pair{"30.4383 -84.2807\n", "16R GU 61158 70495"}, {"-33.9,18.4\n", "34H BH 59583 45888"}}) {
        ASSERT_TRUE(std::fputs(line, toChild) >= 0 && std::fflush(toChild) == 0);
        EXPECT_EQ(readLine(fromChild[0]), answer);
    }
    const int status = ::pclose(toChild);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(readLine(fromChild[0]), "");  // and nothing more came
    ::close(fromChild[0]);
}

}  // namespace

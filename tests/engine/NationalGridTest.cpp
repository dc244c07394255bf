// Latitude/longitude to UTM and US National Grid: worked values, zones, bands,
// square letters and the two rounding rules.

#include "engine/NationalGrid.h"
#include "engine/lltoAlbers.h"

#include <gtest/gtest.h>

#include <limits>
#include <regex>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

namespace {

using namespace waypost::engine;

TEST(NationalGrid, WorkedValues) {
    // Latitude, longitude, reference and UTM text ("" where only the reference is known).
    const std::tuple<double, double, std::string, std::string> cases[] = {
        {30.4383, -84.2807, "16R GU 61158 70495", "16R 761158 3370495"},
        {30.5, -84.25, "16R GU 63941 77408", "16R 763941 3377408"},
        {27, -81.5, "17R MK 50392 86534", ""}, {25, -80, "17R PH 00913 65320", ""},
        {30, -84, "16R GU 89410 22576", ""},  // zone 16 by the boundary rule
        {-33.9, 18.4, "34H BH 59583 45888", "34H 259583 6245888"}, {60, 5, "32V KM 76980 58157", ""},
        // Checked against GeographicLib's UTM (GeoConvert -u -p 3), rounded as the grid rounds.
        // Just south of the equator: 10000000 added, in both texts and in the row letter (V, not A).
        {-0.0001, 3, "31M EV 00000 99989", "31M 500000 9999989"},
        {0.0001, 3, "31N EA 00000 00011", "31N 500000 000011"},
        // A few millimetres south of the equator the northing rounds onto it: the
        // reference is the northern one, the only one a reader takes.
        {-0.000004, -75, "18N WF 00000 00000", ""},
        // Zones below 10 have one digit.
        {45, -177, "1T EK 00000 82950", "1T 500000 4982950"}, {30, -129, "9R WP 00000 18785", "9R 500000 3318785"},
        // Band P (8 to 16 north) and a six-digit northing.
        {12, -85, "16P GU 17759 27344", "16P 717759 1327344"}, {8, 100, "47P PJ 10205 84432", "47P 610205 884432"},
        {40, -5.1, "30T UK 20738 29869", "30T 320738 4429869"}, {-45, 170, "59G ML 21185 16563", "59G 421185 5016563"},
        // Svalbard keeps the regular zones (GeographicLib would put 10 E in zone 33).
        {78, 10, "32X NM 23209 58568", "32X 523209 8658568"}, {78, 20, "34X DM 76791 58568", "34X 476791 8658568"},
        // Beyond 84 N and below 80 S: no band letter, numbers still computed.
        {85, -84, "16 EV 29179 40494", "16 529179 9440494"}};
    for (const auto& [latitude, longitude, reference, utm] : cases) {
        lltoAlbers engine;
        EXPECT_EQ(engine.USNGFromLatLong(latitude, longitude), reference);
        EXPECT_TRUE(utm.empty() || engine.UTMText == utm) << engine.UTMText;
        const GridTexts texts = usngFromGeographic(latitude, longitude).texts;
        EXPECT_EQ(std::tie(texts.reference, texts.utmText), std::tie(reference, engine.UTMText));
    }
    // At the poles and on the band limits the texts still come, without a band letter.
    lltoAlbers engine;
    EXPECT_EQ(engine.USNGFromLatLong(84, 10).substr(0, 3), "32 ");
    EXPECT_EQ(engine.UTMText.substr(0, 3), "32 ");
    for (const auto& [latitude, longitude, zone] : {std::tuple{-80.5, -84.0, "16 "}, {-90, 0, "31 "}, {90, 0, "31 "}})
        EXPECT_EQ(engine.USNGFromLatLong(latitude, longitude).substr(0, 3), zone) << latitude;
}

TEST(NationalGrid, ZoneNumbers) {
    const std::tuple<double, double, int> cases[] = {
        // The three meridians whose points belong to the zone west of them; a hair east, the eastern zone.
        {30, -78, 17}, {30, -84, 16}, {30, -90, 15}, {30, -83.9999999, 17},
        // Every other zone edge belongs to the zone east of it.
        {30, -72, 19}, {30, -180, 1}, {30, 179.9999, 60},
        // Longitudes are wrapped into -180..180 first.
        {30, 180, 1}, {30, -444, 16}, {30, 540, 1},
        // South-west Norway is zone 32: 56 <= latitude < 64, 3 <= longitude < 12.
        {56, 3, 32}, {63.9999, 11.9999, 32}, {60, 2.9999, 31}, {55.9999, 5, 31}, {64, 5, 31}, {60, 12, 33}};
    for (const auto& [latitude, longitude, zone] : cases)
        EXPECT_EQ(utmFromGeographic(latitude, longitude).zone, zone) << latitude << " " << longitude;
}

TEST(NationalGrid, LatitudeBands) {
    // Lower bounds inclusive, upper bounds exclusive; X is 12 degrees tall; no band at 84 or more, or below -80.
    const std::pair<double, char> cases[] = {{72, 'X'},      {0, 'N'},         {-80, 'C'},      {83.9999, 'X'},
                                             {71.9999, 'W'}, {-0.0001, 'M'},   {-72.0001, 'C'}, {84, '\0'},
                                             {90, '\0'},     {-80.0001, '\0'}, {-90, '\0'}};
    for (const auto& [latitude, band] : cases) {
        EXPECT_EQ(latitudeBandLetter(latitude), band) << latitude;
        EXPECT_EQ(utmFromGeographic(latitude, -84.5).band, band) << latitude;
    }
}

TEST(NationalGrid, TextShapesOverTheWholeGrid) {
    // Zone 1 to 60 unpadded and a band letter; then for a reference two grid
    // letters and five and five digits, for a UTM text six digits and six to eight.
    const std::string zoneAndBand = "([1-9]|[1-5][0-9]|60)[C-HJ-NP-X] ";
    const std::regex reference(zoneAndBand + "[A-HJ-NP-Z][A-HJ-NP-V] [0-9]{5} [0-9]{5}");
    const std::regex utm(zoneAndBand + "[0-9]{6} [0-9]{6,8}");
    int checked = 0;
    for (double lat = -79.95; lat < 84; lat += 1.3) {
        for (double lon = -179.9; lon < 180; lon += 2.9, ++checked) {
            const GridTexts texts = usngFromGeographic(lat, lon).texts;
            ASSERT_TRUE(std::regex_match(texts.reference, reference)) << texts.reference;
            ASSERT_TRUE(std::regex_match(texts.utmText, utm)) << texts.utmText;
        }
    }
    EXPECT_GT(checked, 7000);
}

TEST(NationalGrid, TextsRoundAHalfMetreDifferentlyPadToSixAndCutToFive) {
    // UTM text: away from zero. Grid digits: to the even neighbour. Not at a half both round to the nearest.
    const std::tuple<double, double, std::string, std::string> cases[] = {
        {761158.5, 3370495.5, "16R 761159 3370496", "16R GU 61158 70496"},
        {761159.5, 3370494.5, "16R 761160 3370495", "16R GU 61160 70494"},
        {761158.49, 3370495.51, "16R 761158 3370496", "16R GU 61158 70496"}};
    for (const auto& [easting, northing, utm, reference] : cases) {
        const UtmPosition p{.zone = 16, .band = 'R', .letterSet = 4, .easting = easting, .northing = northing};
        EXPECT_EQ(utmText(p), utm);
        EXPECT_EQ(nationalGridReference(p), reference);
    }
    UtmPosition p{.zone = 9, .band = 'R', .letterSet = 3, .easting = 100913.2, .northing = 5.4};
    EXPECT_EQ(utmText(p), "9R 100913 000005");
    EXPECT_EQ(nationalGridReference(p), "9R SA 00913 00005");
    p.northing = 12345678.4;  // seven and eight digits are written in full; the grid keeps five
    EXPECT_EQ(utmText(p), "9R 100913 12345678");
    EXPECT_EQ(nationalGridReference(p).substr(12), "45678");
}

TEST(NationalGrid, SquareLettersColumnThenRow) {
    // Letter set, northing, easting, letters.
    const std::tuple<int, std::int64_t, std::int64_t, std::string> cases[] = {
        // Columns 1..8 of each set; the count 8 (800000..899999) takes the eighth letter.
        {1, 0, 100000, "AA"}, {1, 0, 899999, "HA"}, {2, 0, 850000, "RF"}, {3, 0, 800000, "ZA"}, {6, 0, 399999, "UF"},
        // The column letters repeat every eight squares; a column of 0 becomes 7.
        {1, 0, 900000, "AA"}, {1, 0, 1600000, "HA"}, {1, 0, 1700000, "AA"}, {3, 0, 2500000, "SA"},
        {1, 0, 99999, "GA"}, {2, 0, 0, "QF"},
        // Rows: 100 km steps plus one, wrapping after 20; the absolute northing counts.
        {1, 99999, 100000, "AA"}, {1, 100000, 100000, "AB"}, {1, 1999999, 100000, "AV"},
        {1, 2000000, 100000, "AA"}, {2, 1999999, 100000, "JE"}, {2, 2000000, 100000, "JF"},
        {1, 9999989, 500000, "EV"}, {1, 10000000, 500000, "EA"}, {1, -150000, 100000, "AB"},
        {4, 123456789012, 100000, "AN"}};
    for (const auto& [set, northing, easting, letters] : cases)
        EXPECT_EQ(GridSquareLetters(set, northing, easting), letters) << set << " N " << northing << " E " << easting;
    EXPECT_THROW((void)GridSquareLetters(0, 0, 100000), std::out_of_range);
    EXPECT_THROW((void)GridSquareLetters(7, 0, 100000), std::out_of_range);
    EXPECT_THROW((void)GridSquareLetters(1, 0, -1), std::out_of_range);
    EXPECT_NO_THROW((void)GridSquareLetters(6, -1, 0));
}

TEST(NationalGrid, NonFiniteInputIsRefusedAndHugeLongitudesNeverGiveABadZone) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (const auto& [latitude, longitude] : {std::pair{nan, 0.0}, {0.0, nan}, {inf, 0.0}, {0.0, -inf}})
        EXPECT_THROW((void)utmFromGeographic(latitude, longitude), std::invalid_argument);
    EXPECT_NO_THROW((void)utmFromGeographic(0, 1e9));
    // Far beyond any real longitude a double has no fraction left to wrap; the
    // zone must still be a zone, or the call refuse the value.
    int refused = 0;
    for (double lon = 1e10; lon < 1e300; lon *= 7.3) {
        for (double sign : {1.0, -1.0}) {
            try {
                const int zone = utmFromGeographic(45, sign * lon).zone;
                EXPECT_TRUE(zone >= 1 && zone <= 61) << sign * lon << ": zone " << zone;
            } catch (const std::invalid_argument&) {
                ++refused;
            }
        }
    }
    EXPECT_GT(refused, 0);
}

}  // namespace

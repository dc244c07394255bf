// Latitude/longitude to UTM and US National Grid: worked values, zones, bands,
// square letters and the two rounding rules.

#include "engine/NationalGrid.h"
#include "engine/lltoAlbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

using namespace waypost::engine;

struct GridCase {
    double latitude;
    double longitude;
    const char* reference;
    const char* utm;  // "" where only the reference is known
};

class NationalGridWorkedValues : public ::testing::TestWithParam<GridCase> {};

TEST_P(NationalGridWorkedValues, ReferenceAndUtmText) {
    const GridCase& c = GetParam();
    lltoAlbers engine;
    EXPECT_EQ(engine.USNGFromLatLong(c.latitude, c.longitude), c.reference);
    if (*c.utm != '\0') {
        EXPECT_EQ(engine.UTMText, c.utm);
    }

    const NationalGridPoint point = usngFromGeographic(c.latitude, c.longitude);
    EXPECT_EQ(point.texts.reference, c.reference);
    EXPECT_EQ(point.texts.utmText, engine.UTMText);
}

INSTANTIATE_TEST_SUITE_P(
    Given, NationalGridWorkedValues,
    ::testing::Values(GridCase{30.4383, -84.2807, "16R GU 61158 70495", "16R 761158 3370495"},
                      GridCase{30.5, -84.25, "16R GU 63941 77408", "16R 763941 3377408"},
                      GridCase{27, -81.5, "17R MK 50392 86534", ""},
                      GridCase{25, -80, "17R PH 00913 65320", ""},
                      GridCase{30, -84, "16R GU 89410 22576", ""},  // zone 16 by the boundary rule
                      GridCase{-33.9, 18.4, "34H BH 59583 45888", "34H 259583 6245888"},
                      GridCase{60, 5, "32V KM 76980 58157", ""}));

// Values checked against GeographicLib's UTM (GeoConvert -u -p 3), rounded as the grid rounds.
INSTANTIATE_TEST_SUITE_P(
    Checked, NationalGridWorkedValues,
    ::testing::Values(
        // Just south of the equator: 10000000 added, in both texts and in the row letter (V, not A).
        GridCase{-0.0001, 3, "31M EV 00000 99989", "31M 500000 9999989"},
        GridCase{0.0001, 3, "31N EA 00000 00011", "31N 500000 000011"},
        // A few millimetres south of the equator the northing rounds onto it: the
        // reference is the northern one, the only one a reader takes.
        GridCase{-0.000004, -75, "18N WF 00000 00000", ""},
        // Zones below 10 have one digit.
        GridCase{45, -177, "1T EK 00000 82950", "1T 500000 4982950"},
        GridCase{30, -129, "9R WP 00000 18785", "9R 500000 3318785"},
        // Band P (8 to 16 north) and a six-digit northing.
        GridCase{12, -85, "16P GU 17759 27344", "16P 717759 1327344"},
        GridCase{8, 100, "47P PJ 10205 84432", "47P 610205 884432"},
        GridCase{40, -5.1, "30T UK 20738 29869", "30T 320738 4429869"},
        GridCase{-45, 170, "59G ML 21185 16563", "59G 421185 5016563"},
        // Svalbard keeps the regular zones (GeographicLib would put 10 E in zone 33).
        GridCase{78, 10, "32X NM 23209 58568", "32X 523209 8658568"},
        GridCase{78, 20, "34X DM 76791 58568", "34X 476791 8658568"},
        // Beyond 84 N and below 80 S: no band letter, numbers still computed.
        GridCase{85, -84, "16 EV 29179 40494", "16 529179 9440494"}));

struct ZoneCase {
    double latitude;
    double longitude;
    int zone;
};

class UtmZones : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(UtmZones, ZoneNumber) {
    const ZoneCase& c = GetParam();
    const UtmPosition p = utmFromGeographic(c.latitude, c.longitude);
    EXPECT_EQ(p.zone, c.zone) << c.latitude << " " << c.longitude;
    EXPECT_EQ(p.centralMeridian, (c.zone - 1) * 6 - 180 + 3);
    const int set = c.zone % 6 == 0 ? 6 : c.zone % 6;
    EXPECT_EQ(p.letterSet, set);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UtmZones,
    ::testing::Values(
        // The three meridians whose points belong to the zone west of them; a hair east, the eastern zone.
        ZoneCase{30, -78, 17}, ZoneCase{30, -84, 16}, ZoneCase{30, -90, 15}, ZoneCase{30, -83.9999999, 17},
        // Every other zone edge belongs to the zone east of it.
        ZoneCase{30, -72, 19}, ZoneCase{30, -180, 1}, ZoneCase{30, 179.9999, 60},
        // Longitudes are wrapped into -180..180 first.
        ZoneCase{30, 180, 1}, ZoneCase{30, -444, 16}, ZoneCase{30, 540, 1},
        // South-west Norway is zone 32: 56 <= latitude < 64, 3 <= longitude < 12.
        ZoneCase{56, 3, 32}, ZoneCase{63.9999, 11.9999, 32}, ZoneCase{60, 2.9999, 31}, ZoneCase{55.9999, 5, 31},
        ZoneCase{64, 5, 31}, ZoneCase{60, 12, 33}));

struct BandCase {
    double latitude;
    char band;
};

class LatitudeBands : public ::testing::TestWithParam<BandCase> {};

TEST_P(LatitudeBands, Letter) {
    EXPECT_EQ(latitudeBandLetter(GetParam().latitude), GetParam().band) << GetParam().latitude;
    EXPECT_EQ(utmFromGeographic(GetParam().latitude, -84.5).band, GetParam().band);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LatitudeBands,
    ::testing::Values(
        // Lower bounds inclusive, upper bounds exclusive; X is 12 degrees tall.
        BandCase{72, 'X'}, BandCase{0, 'N'}, BandCase{-80, 'C'}, BandCase{83.9999, 'X'}, BandCase{71.9999, 'W'},
        BandCase{-0.0001, 'M'}, BandCase{-72.0001, 'C'},
        // No band at 84 or more, or below -80.
        BandCase{84, '\0'}, BandCase{90, '\0'}, BandCase{-80.0001, '\0'}, BandCase{-90, '\0'}));

TEST(NationalGrid, NoBandLetterWithoutAWordAboutIt) {
    lltoAlbers engine;
    EXPECT_EQ(engine.USNGFromLatLong(84, 10).substr(0, 3), "32 ");
    EXPECT_EQ(engine.UTMText.substr(0, 3), "32 ");
    EXPECT_EQ(engine.USNGFromLatLong(-80.5, -84).substr(0, 3), "16 ");
    EXPECT_EQ(engine.USNGFromLatLong(-90, 0).substr(0, 3), "31 ");
    EXPECT_EQ(engine.USNGFromLatLong(90, 0).substr(0, 3), "31 ");
}

// The texts' shapes: zone 1 to 60 unpadded and a band letter; then for a
// reference two grid letters and five and five digits, for a UTM text six
// digits and six to eight.
bool digitsOnly(const std::string& text, std::size_t from, std::size_t count) {
    if (text.size() < from + count) return false;
    return text.substr(from, count).find_first_not_of("0123456789") == std::string::npos;
}

std::size_t zoneAndBand(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && at < 2 && text[at] >= '0' && text[at] <= '9') ++at;
    if (at == 0 || text[0] == '0') return 0;
    const int zone = std::stoi(text.substr(0, at));
    if (zone < 1 || zone > 60 || at >= text.size()) return 0;
    if (std::string_view("CDEFGHJKLMNPQRSTUVWX").find(text[at]) == std::string_view::npos) return 0;
    return at + 1;
}

bool referenceShape(const std::string& text) {
    const std::size_t at = zoneAndBand(text);
    return at != 0 && text.size() == at + 15 && text[at] == ' ' &&
           std::string_view("ABCDEFGHJKLMNPQRSTUVWXYZ").find(text[at + 1]) != std::string_view::npos &&
           std::string_view("ABCDEFGHJKLMNPQRSTUV").find(text[at + 2]) != std::string_view::npos &&
           text[at + 3] == ' ' && digitsOnly(text, at + 4, 5) && text[at + 9] == ' ' && digitsOnly(text, at + 10, 5);
}

bool utmShape(const std::string& text) {
    const std::size_t at = zoneAndBand(text);
    if (at == 0 || text.size() < at + 14 || text.size() > at + 16) return false;
    return text[at] == ' ' && digitsOnly(text, at + 1, 6) && text[at + 7] == ' ' &&
           digitsOnly(text, at + 8, text.size() - at - 8);
}

TEST(NationalGrid, ReferenceShapeOverTheWholeGrid) {
    int checked = 0;
    for (double lat = -79.95; lat < 84; lat += 1.3) {
        for (double lon = -179.9; lon < 180; lon += 2.9) {
            const NationalGridPoint p = usngFromGeographic(lat, lon);
            ASSERT_TRUE(referenceShape(p.texts.reference)) << p.texts.reference;
            ASSERT_TRUE(utmShape(p.texts.utmText)) << p.texts.utmText;
            ++checked;
        }
    }
    EXPECT_GT(checked, 7000);
}

TEST(NationalGrid, TheTwoTextsRoundAHalfMetreDifferently) {
    // UTM text: away from zero. Grid digits: to the even neighbour.
    UtmPosition p;
    p.zone = 16;
    p.band = 'R';
    p.letterSet = 4;
    p.easting = 761158.5;
    p.northing = 3370495.5;
    EXPECT_EQ(utmText(p), "16R 761159 3370496");
    EXPECT_EQ(nationalGridReference(p), "16R GU 61158 70496");

    p.easting = 761159.5;
    p.northing = 3370494.5;
    EXPECT_EQ(utmText(p), "16R 761160 3370495");
    EXPECT_EQ(nationalGridReference(p), "16R GU 61160 70494");

    // Not at a half both round to the nearest.
    p.easting = 761158.49;
    p.northing = 3370495.51;
    EXPECT_EQ(utmText(p), "16R 761158 3370496");
    EXPECT_EQ(nationalGridReference(p), "16R GU 61158 70496");

    const GridTexts both = gridTexts(p);
    EXPECT_EQ(both.utmText, utmText(p));
    EXPECT_EQ(both.reference, nationalGridReference(p));
}

TEST(NationalGrid, DigitsArePaddedToSixAndCutToFive) {
    UtmPosition p;
    p.zone = 9;
    p.band = 'R';
    p.letterSet = 3;
    p.easting = 100913.2;
    p.northing = 5.4;
    EXPECT_EQ(utmText(p), "9R 100913 000005");
    EXPECT_EQ(nationalGridReference(p), "9R SA 00913 00005");

    p.northing = 12345678.4;  // seven and eight digits are written in full; the grid keeps five
    EXPECT_EQ(utmText(p), "9R 100913 12345678");
    EXPECT_EQ(nationalGridReference(p).substr(12), "45678");
}

struct LettersCase {
    int set;
    std::int64_t northing;
    std::int64_t easting;
    const char* letters;
};

class SquareLetters : public ::testing::TestWithParam<LettersCase> {};

TEST_P(SquareLetters, ColumnThenRow) {
    const LettersCase& c = GetParam();
    EXPECT_EQ(GridSquareLetters(c.set, c.northing, c.easting), c.letters)
        << "set " << c.set << " N " << c.northing << " E " << c.easting;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SquareLetters,
    ::testing::Values(
        // Columns 1..8 of each set; the count 8 (800000..899999) takes the eighth letter.
        LettersCase{1, 0, 100000, "AA"}, LettersCase{1, 0, 899999, "HA"}, LettersCase{2, 0, 850000, "RF"},
        LettersCase{3, 0, 800000, "ZA"}, LettersCase{6, 0, 399999, "UF"},
        // The column letters repeat every eight squares; a column of 0 becomes 7.
        LettersCase{1, 0, 900000, "AA"}, LettersCase{1, 0, 1600000, "HA"}, LettersCase{1, 0, 1700000, "AA"},
        LettersCase{3, 0, 2500000, "SA"}, LettersCase{1, 0, 99999, "GA"}, LettersCase{2, 0, 0, "QF"},
        // Rows: 100 km steps plus one, wrapping after 20; the absolute northing counts.
        LettersCase{1, 99999, 100000, "AA"}, LettersCase{1, 100000, 100000, "AB"},
        LettersCase{1, 1999999, 100000, "AV"}, LettersCase{1, 2000000, 100000, "AA"},
        LettersCase{2, 1999999, 100000, "JE"}, LettersCase{2, 2000000, 100000, "JF"},
        LettersCase{1, 9999989, 500000, "EV"}, LettersCase{1, 10000000, 500000, "EA"},
        LettersCase{1, -150000, 100000, "AB"}, LettersCase{4, 123456789012, 100000, "AN"}));

TEST(SquareLettersEdges, RefusesBadSetsAndNegativeEastings) {
    EXPECT_THROW((void)GridSquareLetters(0, 0, 100000), std::out_of_range);
    EXPECT_THROW((void)GridSquareLetters(7, 0, 100000), std::out_of_range);
    EXPECT_THROW((void)GridSquareLetters(1, 0, -1), std::out_of_range);
    EXPECT_NO_THROW((void)GridSquareLetters(6, -1, 0));
}

TEST(NationalGrid, NonFiniteInputIsRefused) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_THROW((void)utmFromGeographic(nan, 0), std::invalid_argument);
    EXPECT_THROW((void)utmFromGeographic(0, nan), std::invalid_argument);
    EXPECT_THROW((void)utmFromGeographic(inf, 0), std::invalid_argument);
    EXPECT_THROW((void)utmFromGeographic(0, -inf), std::invalid_argument);
    EXPECT_NO_THROW((void)utmFromGeographic(0, 1e9));
}

TEST(NationalGrid, HugeLongitudesWrapOrAreRefusedButNeverGiveABadZone) {
    // Far beyond any real longitude a double has no fraction left to wrap; the
    // zone must still be a zone, or the call refuse the value.
    int refused = 0;
    for (double lon = 1e10; lon < 1e300; lon *= 7.3) {
        for (double sign : {1.0, -1.0}) {
            try {
                const UtmPosition p = utmFromGeographic(45, sign * lon);
                EXPECT_GE(p.zone, 1) << sign * lon;
                EXPECT_LE(p.zone, 61) << sign * lon;
            } catch (const std::invalid_argument&) {
                ++refused;
            }
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(NationalGrid, AThrowingCallLeavesTheEngineAsItWas) {
    lltoAlbers engine;
    engine.USNGFromLatLong(30.4383, -84.2807);
    EXPECT_THROW(engine.USNGFromLatLong(std::numeric_limits<double>::quiet_NaN(), 0), std::invalid_argument);
    EXPECT_EQ(engine.UTMText, "16R 761158 3370495");
}

}  // namespace

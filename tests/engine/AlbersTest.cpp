// The state Albers grid (worked values and edge cases; the short pi is checked
// against GeographicLib in GeographicLibCrossCheckTest), the distance and bearing
// quadrants of the nearest-section search, and the engine object, whose results
// stay each caller's own.

#include "engine/AlbersEqualArea.h"
#include "engine/SearchGeometry.h"
#include "engine/lltoAlbers.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <regex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

namespace {

using namespace waypost::engine;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

TEST(Albers, WorkedValues) {
    const std::tuple<double, double, std::string> cases[] = {
        {24, -84, "400000,0"}, {27, -81.5, "647616,335261"}, {25, -80, "803341,117363"},
        {30.5, -84.25, "376025,721400"},  // with a full-precision pi the northing would be 721401
        {23, -84, "400000,-110685"},      // south of the origin the northing is negative
    };
    for (const auto& [latitude, longitude, text] : cases) {
        EXPECT_EQ(lltoAlbers().ProjectAlbers(latitude, longitude), text);
        EXPECT_EQ(AlbersEqualArea::StateGrid().Forward(latitude, longitude).text, text);
    }
    lltoAlbers engine;  // NaN is not checked: "NaN" in the text, 0 in the numbers
    EXPECT_EQ(engine.ProjectAlbers(nan, -84), "NaN,NaN");
    EXPECT_EQ(std::pair(engine.AlbersX, engine.AlbersY), std::pair(0.0, 0.0));
}

// The text is plain whole numbers (no point, separator, leading zero or "-0") equal to AlbersX and AlbersY,
// poles included (with pi taken as 3.14159 they stay finite).
TEST(Albers, TextIsPlainWholeNumbersMatchingTheResults) {
    const std::regex plain("(-?[1-9][0-9]*|0),(-?[1-9][0-9]*|0)");
    lltoAlbers engine;
    for (double lat = -90; lat <= 90; lat += 3.75)
        for (double lon = -179.0; lon <= 179.0; lon += 11.3) {
            const std::string text = engine.ProjectAlbers(lat, lon);
            std::smatch parts;
            ASSERT_TRUE(std::regex_match(text, parts, plain)) << text;
            EXPECT_EQ(std::pair(std::stod(parts[1]), std::stod(parts[2])), std::pair(engine.AlbersX, engine.AlbersY));
        }
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
    engine.USNGFromLatLong(27, -81.5);
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

// Independent of the law of cosines: the haversine form of the same sphere.
double haversineMiles(double lat1, double lon1, double lat2, double lon2) {
    const double r = 3.14159265358979 / 180;
    const double h = std::pow(std::sin((lat2 - lat1) * r / 2), 2) +
                     std::cos(lat1 * r) * std::cos(lat2 * r) * std::pow(std::sin((lon2 - lon1) * r / 2), 2);
    return 2 * std::asin(std::sqrt(h)) / r * milesPerDegree;
}

// Miles as the haversine form gives them; kilometres and nautical miles by their letter in either case, miles
// for any other; equal points about 0 and antipodes half the circumference, never NaN.
TEST(GreatCircleDistance, MilesAgreeWithTheHaversineFormInEachUnit) {
    for (const auto& [lat1, lon1, lat2, lon2] :
         {std::array{30.0, -84.0, 31.0, -84.0}, {31, -84, 30, -84}, {0, 10, 0, 11}, {27, -81.5, 27.001, -81.501},
          {30.4383, -84.2807, 25.7617, -80.1918}, {-33.9, 18.4, 51.5, -0.1}, {60, 5, -45, 170}, {0, 0, 0, 179}}) {
        const double expected = haversineMiles(lat1, lon1, lat2, lon2);
        EXPECT_NEAR(GreatCircleDistance(lat1, lon1, lat2, lon2, 'M'), expected, 1e-6 * expected + 1e-4)
            << lat1 << " " << lon1 << " " << lat2 << " " << lon2;
    }
    // Worked through the formula step by step (arctan form, pi = 3.14159265358979);
    // a different pi or an acos form changes the last digits, which the search log shows.
    EXPECT_DOUBLE_EQ(GreatCircleDistance(30, -84, 30.001, -83.999, 'M'), 0.09139728732402222);
    const double miles = GreatCircleDistance(30.4383, -84.2807, 25.7617, -80.1918, 'M');
    for (const auto& [unit, perMile] :
         {std::pair{'K', 1.609344}, {'k', 1.609344}, {'N', 0.8684}, {'n', 0.8684}, {'X', 1.0}, {'m', 1.0}})
        EXPECT_DOUBLE_EQ(GreatCircleDistance(30.4383, -84.2807, 25.7617, -80.1918, unit), miles * perMile) << unit;
    for (double lat : {0.0, 30.4383, -45.0, 89.9}) EXPECT_NEAR(GreatCircleDistance(lat, -84, lat, -84, 'M'), 0, 1e-3);
    EXPECT_EQ(GreatCircleDistance(90, 0, 90, 0, 'M'), 0);
    EXPECT_NEAR(GreatCircleDistance(0, 0, 0, 180, 'M'), 180 * milesPerDegree, 1e-3);
    EXPECT_NEAR(GreatCircleDistance(90, 0, -90, 0, 'M'), 180 * milesPerDegree, 1e-3);
    EXPECT_FALSE(std::isnan(GreatCircleDistance(12.5, 33.25, -12.5, -146.75, 'M')));
}

TEST(Bearings, WholeDegreesAndQuarterWithTheGapsInTheQuadrantBelow) {
    // From (lonA, latA) to (lonB, latB). Same longitude: north 0, south 180; same latitude: east 90, west 270;
    // the four diagonal quadrants (45 degrees reads 45.00004 with pi = 3.14159); atan(2) = 63.43 and
    // atan(1/2) = 26.57 degrees once in each quadrant; A and B equal. With pi = 3.14159 a point due east but a
    // hair north reads just over 90: SE; and a hair east of due north, coming from the west, just over 360: NW.
    const std::tuple<double, double, double, double, std::int64_t, std::string> cases[] = {
        {-84, 30, -84, 30.01, 0, "NE 1/4"}, {-84, 30, -84, 29.99, 180, "SW 1/4"}, {-84, 30, -83.99, 30, 90, "SE 1/4"},
        {-84, 30, -84.01, 30, 270, "NW 1/4"}, {-84, 30, -83, 31, 45, "NE 1/4"}, {-84, 30, -83, 29, 135, "SE 1/4"},
        {-84, 30, -85, 29, 225, "SW 1/4"}, {-84, 30, -85, 31, 315, "NW 1/4"}, {0, 0, 2, 1, 63, "NE 1/4"},
        {0, 0, 1, -2, 153, "SE 1/4"}, {0, 0, -2, -1, 243, "SW 1/4"}, {0, 0, -1, 2, 333, "NW 1/4"},
        {-84, 30, -84, 30, 0, "NE 1/4"}, {0, 0, 1, 1e-9, 90, "SE 1/4"}, {0, 0, -1e-9, 1, 360, "NW 1/4"}};
    for (const auto& [lonA, latA, lonB, latB, whole, quarter] : cases) {
        const Bearing b = bearingFromTo(lonA, latA, lonB, latB);
        EXPECT_EQ(std::tie(b.wholeDegrees, b.quarter), std::tie(whole, quarter)) << b.degrees;
    }
    // Bearings strictly between 89.99 and 90, 179.99 and 180, 269.99 and 270, and above 359.99 belong to the
    // quadrant below.
    const double r = std::tan(89.995 * 3.14159 / 180);
    // Towards (lonB, latB) from (0, 0): the bearing lies between two values and names a quarter. East and north:
    // atan(dLon / dLat); east and south: atan(dLat / dLon) + 90; 179.995; west and south: atan(dLon / dLat) + 180;
    // west and north: atan(dLat / dLon) + 270.
    const std::tuple<double, double, double, double, std::string_view> gaps[] = {
        {r, 1, 89.99, 90, "NE 1/4"}, {r, -1, 90, 90.01, "SE 1/4"}, {1, -r, 179.99, 180, "SE 1/4"},
        {-r, -1, 269.99, 270, "SW 1/4"}, {-1, r, 359.99, 360.01, "NW 1/4"}};
    for (const auto& [lonB, latB, above, below, quarter] : gaps) {
        const Bearing b = bearingFromTo(0, 0, lonB, latB);
        EXPECT_TRUE(b.degrees > above && b.degrees < below && b.quarter == quarter) << b.degrees << " " << b.quarter;
    }
    EXPECT_EQ(bearingFromTo(0, 0, r, 1).wholeDegrees, 90);
}

}  // namespace

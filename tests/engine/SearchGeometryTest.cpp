// Great-circle distance and bearing quadrants of the nearest-section search.

#include "engine/SearchGeometry.h"
#include "engine/lltoAlbers.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

namespace {

using namespace waypost::engine;

constexpr double milesPerDegree = 60 * 1.1515;  // a degree of arc in statute miles

// Independent of the law of cosines: the haversine form of the same sphere.
double haversineMiles(double lat1, double lon1, double lat2, double lon2) {
    const double r = 3.14159265358979 / 180;
    const double h = std::pow(std::sin((lat2 - lat1) * r / 2), 2) +
                     std::cos(lat1 * r) * std::cos(lat2 * r) * std::pow(std::sin((lon2 - lon1) * r / 2), 2);
    return 2 * std::asin(std::sqrt(h)) / r * milesPerDegree;
}

TEST(GreatCircleDistance, MilesAgreeWithTheHaversineForm) {
    // One degree along a meridian or the equator, and pairs near and far.
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
}

TEST(GreatCircleDistance, UnitLetters) {
    const double miles = GreatCircleDistance(30.4383, -84.2807, 25.7617, -80.1918, 'M');
    for (const auto& [unit, perMile] : {std::pair{'K', 1.609344}, {'k', 1.609344}, {'N', 0.8684}, {'n', 0.8684},
                                        {'X', 1.0}, {'m', 1.0}})
        EXPECT_DOUBLE_EQ(GreatCircleDistance(30.4383, -84.2807, 25.7617, -80.1918, unit), miles * perMile) << unit;
}

TEST(GreatCircleDistance, EndsOfTheArccosine) {
    // Equal points: about 0 (rounding may leave a hair).
    for (double lat : {0.0, 30.4383, -45.0, 89.9}) EXPECT_NEAR(GreatCircleDistance(lat, -84, lat, -84, 'M'), 0, 1e-3);
    EXPECT_EQ(GreatCircleDistance(90, 0, 90, 0, 'M'), 0);
    // Antipodes: half the circumference.
    EXPECT_NEAR(GreatCircleDistance(0, 0, 0, 180, 'M'), 180 * milesPerDegree, 1e-3);
    EXPECT_NEAR(GreatCircleDistance(90, 0, -90, 0, 'M'), 180 * milesPerDegree, 1e-3);
    EXPECT_FALSE(std::isnan(GreatCircleDistance(12.5, 33.25, -12.5, -146.75, 'M')));
}

TEST(Bearings, WholeDegreesAndQuarter) {
    // From (lonA, latA) to (lonB, latB): whole degrees and quarter.
    const std::tuple<double, double, double, double, std::int64_t, std::string> cases[] = {
        // Same longitude: north 0, south 180. Same latitude: east 90, west 270.
        {-84, 30, -84, 30.01, 0, "NE 1/4"}, {-84, 30, -84, 29.99, 180, "SW 1/4"},
        {-84, 30, -83.99, 30, 90, "SE 1/4"}, {-84, 30, -84.01, 30, 270, "NW 1/4"},
        // The four diagonal quadrants (45 degrees reads 45.00004 with pi = 3.14159).
        {-84, 30, -83, 31, 45, "NE 1/4"}, {-84, 30, -83, 29, 135, "SE 1/4"},
        {-84, 30, -85, 29, 225, "SW 1/4"}, {-84, 30, -85, 31, 315, "NW 1/4"},
        // atan(2) = 63.43 and atan(1/2) = 26.57 degrees, once in each quadrant.
        {0, 0, 2, 1, 63, "NE 1/4"}, {0, 0, 1, -2, 153, "SE 1/4"}, {0, 0, -2, -1, 243, "SW 1/4"},
        {0, 0, -1, 2, 333, "NW 1/4"},
        {-84, 30, -84, 30, 0, "NE 1/4"},  // A and B equal
        // With pi = 3.14159 a point due east but a hair north reads just over 90: SE;
        // and a hair east of due north, coming from the west, just over 360: NW.
        {0, 0, 1, 1e-9, 90, "SE 1/4"}, {0, 0, -1e-9, 1, 360, "NW 1/4"}};
    for (const auto& [lonA, latA, lonB, latB, whole, quarter] : cases) {
        const Bearing b = bearingFromTo(lonA, latA, lonB, latB);
        EXPECT_EQ(std::tie(b.wholeDegrees, b.quarter), std::tie(whole, quarter)) << b.degrees;
        // The engine's two forms: each sets its own name only.
        lltoAlbers engine;
        engine.QuarterQuarterName = "untouched";
        EXPECT_EQ(engine.BearingQuarter(lonA, latA, lonB, latB), whole);
        EXPECT_EQ(std::tie(engine.QuarterName, engine.QuarterQuarterName), std::tie(quarter, "untouched"));
        engine.QuarterName = "untouched";
        EXPECT_EQ(engine.BearingQuarterQuarter(lonA, latA, lonB, latB), whole);
        EXPECT_EQ(std::tie(engine.QuarterName, engine.QuarterQuarterName), std::tie("untouched", quarter));
    }
}

TEST(Bearings, GapsBelongToTheQuadrantBelow) {
    // Bearings strictly between 89.99 and 90, 179.99 and 180, 269.99 and 270, and above 359.99.
    const double r = std::tan(89.995 * 3.14159 / 180);
    // Towards (lonB, latB) from (0, 0): the bearing lies between two values and names a quarter.
    const std::tuple<double, double, double, double, std::string_view> cases[] = {
        {r, 1, 89.99, 90, "NE 1/4"},        // east and north: atan(dLon / dLat)
        {r, -1, 90, 90.01, "SE 1/4"},       // east and south: atan(dLat / dLon) + 90
        {1, -r, 179.99, 180, "SE 1/4"},     // 179.995
        {-r, -1, 269.99, 270, "SW 1/4"},    // west and south: atan(dLon / dLat) + 180
        {-1, r, 359.99, 360.01, "NW 1/4"},  // west and north: atan(dLat / dLon) + 270
    };
    for (const auto& [lonB, latB, above, below, quarter] : cases) {
        const Bearing b = bearingFromTo(0, 0, lonB, latB);
        EXPECT_TRUE(b.degrees > above && b.degrees < below) << b.degrees;
        EXPECT_EQ(b.quarter, quarter) << b.degrees;
    }
    EXPECT_EQ(bearingFromTo(0, 0, r, 1).wholeDegrees, 90);
}

}  // namespace

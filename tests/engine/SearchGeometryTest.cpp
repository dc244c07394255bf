// Great-circle distance and bearing quadrants of the nearest-section search.

#include "engine/SearchGeometry.h"
#include "engine/lltoAlbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

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

TEST(GreatCircleDistance, OneDegreeAlongAMeridian) {
    EXPECT_NEAR(GreatCircleDistance(30, -84, 31, -84, 'M'), milesPerDegree, 1e-9);
    EXPECT_NEAR(GreatCircleDistance(31, -84, 30, -84, 'M'), milesPerDegree, 1e-9);
    EXPECT_NEAR(GreatCircleDistance(0, 10, 0, 11, 'M'), milesPerDegree, 1e-9);
}

TEST(GreatCircleDistance, UnitLetters) {
    const double miles = GreatCircleDistance(30.4383, -84.2807, 25.7617, -80.1918, 'M');
    EXPECT_DOUBLE_EQ(GreatCircleDistance(30.4383, -84.2807, 25.7617, -80.1918, 'K'), miles * 1.609344);
    EXPECT_DOUBLE_EQ(GreatCircleDistance(30.4383, -84.2807, 25.7617, -80.1918, 'k'), miles * 1.609344);
    EXPECT_DOUBLE_EQ(GreatCircleDistance(30.4383, -84.2807, 25.7617, -80.1918, 'N'), miles * 0.8684);
    EXPECT_DOUBLE_EQ(GreatCircleDistance(30.4383, -84.2807, 25.7617, -80.1918, 'n'), miles * 0.8684);
    EXPECT_DOUBLE_EQ(GreatCircleDistance(30.4383, -84.2807, 25.7617, -80.1918, 'X'), miles);
    EXPECT_DOUBLE_EQ(GreatCircleDistance(30.4383, -84.2807, 25.7617, -80.1918, 'm'), miles);
}

TEST(GreatCircleDistance, AgreesWithTheHaversineForm) {
    struct Pair {
        double lat1, lon1, lat2, lon2;
    };
    for (const Pair p : {Pair{30.4383, -84.2807, 25.7617, -80.1918}, Pair{27, -81.5, 27.001, -81.501},
                         Pair{-33.9, 18.4, 51.5, -0.1}, Pair{60, 5, -45, 170}, Pair{0, 0, 0, 179}}) {
        const double expected = haversineMiles(p.lat1, p.lon1, p.lat2, p.lon2);
        EXPECT_NEAR(GreatCircleDistance(p.lat1, p.lon1, p.lat2, p.lon2, 'M'), expected, 1e-6 * expected + 1e-4)
            << p.lat1 << " " << p.lon1 << " " << p.lat2 << " " << p.lon2;
    }
}

TEST(GreatCircleDistance, ExactValueOfTheFormulaAsWritten) {
    // Worked through the formula step by step (arctan form, pi = 3.14159265358979);
    // a different pi or an acos form changes the last digits, which the search log shows.
    EXPECT_DOUBLE_EQ(GreatCircleDistance(30, -84, 30.001, -83.999, 'M'), 0.09139728732402222);
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

struct BearingCase {
    double lonA, latA, lonB, latB;
    std::int64_t whole;
    const char* quarter;
};

class Bearings : public ::testing::TestWithParam<BearingCase> {};

TEST_P(Bearings, WholeDegreesAndQuarter) {
    const BearingCase& c = GetParam();
    const Bearing b = bearingFromTo(c.lonA, c.latA, c.lonB, c.latB);
    EXPECT_EQ(b.wholeDegrees, c.whole) << b.degrees;
    EXPECT_EQ(b.quarter, c.quarter) << b.degrees;

    lltoAlbers engine;
    engine.QuarterQuarterName = "untouched";
    EXPECT_EQ(engine.BearingQuarter(c.lonA, c.latA, c.lonB, c.latB), c.whole);
    EXPECT_EQ(engine.QuarterName, c.quarter);
    EXPECT_EQ(engine.QuarterQuarterName, "untouched");

    engine.QuarterName = "untouched";
    EXPECT_EQ(engine.BearingQuarterQuarter(c.lonA, c.latA, c.lonB, c.latB), c.whole);
    EXPECT_EQ(engine.QuarterQuarterName, c.quarter);
    EXPECT_EQ(engine.QuarterName, "untouched");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Bearings,
    ::testing::Values(
        // Same longitude: north 0, south 180.
        BearingCase{-84, 30, -84, 30.01, 0, "NE 1/4"}, BearingCase{-84, 30, -84, 29.99, 180, "SW 1/4"},
        // Same latitude: east 90, west 270.
        BearingCase{-84, 30, -83.99, 30, 90, "SE 1/4"}, BearingCase{-84, 30, -84.01, 30, 270, "NW 1/4"},
        // The four diagonal quadrants (45 degrees reads 45.00004 with pi = 3.14159).
        BearingCase{-84, 30, -83, 31, 45, "NE 1/4"}, BearingCase{-84, 30, -83, 29, 135, "SE 1/4"},
        BearingCase{-84, 30, -85, 29, 225, "SW 1/4"}, BearingCase{-84, 30, -85, 31, 315, "NW 1/4"},
        // atan(2) = 63.43 and atan(1/2) = 26.57 degrees, once in each quadrant.
        BearingCase{0, 0, 2, 1, 63, "NE 1/4"}, BearingCase{0, 0, 1, -2, 153, "SE 1/4"},
        BearingCase{0, 0, -2, -1, 243, "SW 1/4"}, BearingCase{0, 0, -1, 2, 333, "NW 1/4"},
        // A and B equal.
        BearingCase{-84, 30, -84, 30, 0, "NE 1/4"},
        // With pi = 3.14159 a point due east but a hair north reads just over 90: SE.
        BearingCase{0, 0, 1, 1e-9, 90, "SE 1/4"},
        // ... and a hair east of due north, coming from the west, just over 360: NW.
        BearingCase{0, 0, -1e-9, 1, 360, "NW 1/4"}));

TEST(BearingQuadrants, GapsBelongToTheQuadrantBelow) {
    // Bearings strictly between 89.99 and 90, 179.99 and 180, 269.99 and 270.
    const double shortPi = 3.14159;
    const double r = std::tan(89.995 * shortPi / 180);  // east and north: atan(dLon / dLat)
    const Bearing ne = bearingFromTo(0, 0, r, 1);
    EXPECT_GT(ne.degrees, 89.99);
    EXPECT_LT(ne.degrees, 90);
    EXPECT_EQ(ne.quarter, "NE 1/4");
    EXPECT_EQ(ne.wholeDegrees, 90);

    const Bearing se = bearingFromTo(0, 0, r, -1);  // east and south: atan(dLat / dLon) + 90
    EXPECT_GT(se.degrees, 90);
    EXPECT_LT(se.degrees, 90.01);
    EXPECT_EQ(se.quarter, "SE 1/4");

    const Bearing se2 = bearingFromTo(0, 0, 1, -r);  // 179.995
    EXPECT_GT(se2.degrees, 179.99);
    EXPECT_LT(se2.degrees, 180);
    EXPECT_EQ(se2.quarter, "SE 1/4");

    const Bearing sw = bearingFromTo(0, 0, -r, -1);  // west and south: atan(dLon / dLat) + 180
    EXPECT_GT(sw.degrees, 269.99);
    EXPECT_LT(sw.degrees, 270);
    EXPECT_EQ(sw.quarter, "SW 1/4");

    const Bearing nw = bearingFromTo(0, 0, -1, r);  // west and north: atan(dLat / dLon) + 270
    EXPECT_GT(nw.degrees, 359.99);
    EXPECT_EQ(nw.quarter, "NW 1/4");
}

}  // namespace

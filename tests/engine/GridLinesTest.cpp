// The grid lines a map draws, checked against GeographicLib's UTM: every
// vertex of a line lies on its easting or northing, within its own zone and
// the view; a view across -84 degrees splits its lines at the zone edge.

#include "engine/GridLines.h"

#include <GeographicLib/UTMUPS.hpp>
#include <gtest/gtest.h>

#include <set>

using namespace waypost::engine;

namespace {

/// Checks every line of \p lines against the oracle; returns the zones seen.
std::set<int> checkLines(const Extent& view, const std::vector<GridLine>& lines, int spacing) {
    std::set<int> zones;
    for (const GridLine& line : lines) {
        zones.insert(line.zone);
        EXPECT_EQ(std::fmod(line.metres, spacing), 0) << line.metres;
        EXPECT_GE(line.points.size(), 2U);
        for (const auto& [lon, lat] : line.points) {
            EXPECT_TRUE(lon >= view.west && lon <= view.east && lat >= view.south && lat <= view.north) << lon << " " << lat;
            int zone = 0;
            bool north = true;
            double x = 0, y = 0;
            GeographicLib::UTMUPS::Forward(lat, lon, zone, north, x, y, line.zone);
            EXPECT_NEAR(line.constantEasting ? x : y, line.metres, 1.0) << "zone " << line.zone << " at " << lon << " " << lat;
            // On -84 degrees a point belongs to zone 16, as the references say.
            EXPECT_EQ(line.zone, lon <= -84 ? 16 : 17) << lon;
        }
    }
    return zones;
}

}  // namespace

TEST(GridLines, SpacingFollowsTheWidthOfTheView) {
    EXPECT_EQ(gridSpacingFor({-87.7, 24.4, -79.9, 31.1}), 100000);  // the state
    EXPECT_EQ(gridSpacingFor({-84.6, 30.2, -84.0, 30.7}), 10000);   // a county
    EXPECT_EQ(gridSpacingFor({-84.30, 30.40, -84.25, 30.45}), 1000);  // sections
}

TEST(GridLines, StatewideHundredKilometreLinesLieOnTheirEastingsAndNorthings) {
    const Extent state{-87.7, 24.4, -79.9, 31.1};
    const std::vector<GridLine> lines = gridLines(state, 100000);
    ASSERT_GT(lines.size(), 20U);
    EXPECT_EQ(checkLines(state, lines, 100000), (std::set<int>{16, 17}));
}

TEST(GridLines, AViewAcrossTheZoneEdgeSplitsItsKilometreLines) {
    const Extent edge{-84.05, 30.40, -83.95, 30.45};
    const std::vector<GridLine> lines = gridLines(edge, 1000);
    EXPECT_EQ(checkLines(edge, lines, 1000), (std::set<int>{16, 17}));
    // The northing lines of both zones reach the edge from their own side.
    double westMost17 = 0, eastMost16 = -180;
    for (const GridLine& line : lines)
        for (const auto& [lon, lat] : line.points)
            if (line.zone == 16) eastMost16 = std::max(eastMost16, lon);
            else westMost17 = std::min(westMost17, lon);
    EXPECT_GT(eastMost16, -84.01);
    EXPECT_LT(westMost17, -83.99);
}

TEST(GridLines, AFinerSpacingThanTheViewCanShowGivesNone) {
    EXPECT_TRUE(gridLines({-87.7, 24.4, -79.9, 31.1}, 1000).empty());
    EXPECT_TRUE(gridLines({-84.0, 30.5, -84.5, 30.0}, 1000).empty());  // not a view
    EXPECT_TRUE(gridLines({-84.5, 30.0, -84.0, 30.5}, 0).empty());
}

// The engine against GeographicLib (used here as an independent oracle only).
//
// Where the grid deliberately differs from GeographicLib's standard UTM/MGRS,
// the points are excluded explicitly and counted:
//  - a point exactly on -78, -84 or -90 degrees belongs to the zone west of it
//    (GeographicLib: east);
//  - Svalbard keeps the regular zones (GeographicLib: zones 31, 33, 35, 37);
//  - at 84 N or more and below 80 S there is no band letter and no polar
//    stereographic grid (GeographicLib: UPS).
// The grid digits are GeographicLib's coordinates rounded as the grid rounds
// them (a half metre to the even neighbour); GeographicLib's own MGRS
// truncates, so the reference is built from the rounded coordinates.
//
// The grid lines a map draws are checked against GeographicLib's UTM too: every
// vertex of a line lies on its easting or northing, within its own zone and the
// view; a view across -84 degrees splits its lines at the zone edge.

#include "engine/AlbersEqualArea.h"
#include "engine/EngineConstants.h"
#include "engine/GridLines.h"
#include "engine/NationalGrid.h"
#include "engine/NationalGridInverse.h"
#include "engine/USNGParser.h"

#include <GeographicLib/AlbersEqualArea.hpp>
#include <GeographicLib/MGRS.hpp>
#include <GeographicLib/Math.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <string>

namespace {

using namespace waypost::engine;

constexpr int maxReportedFailures = 10, pointsPerWesternMeridian = 1200;
const auto& westernMeridians = utm::westernZoneMeridiansDegrees;

struct Point {
    double latitude, longitude;
};

/// GeographicLib's MGRS of rounded coordinates, without its zone padding ("09R...").
std::string geographicLibReference(int zone, bool northp, double easting, double northing, double latitude) {
    std::string mgrs;
    GeographicLib::MGRS::Forward(zone, northp, std::nearbyint(easting), std::nearbyint(northing), latitude, 5, mgrs);
    return mgrs[0] == '0' ? mgrs.substr(1) : mgrs;
}

double longitudeDifference(double a, double b) {
    const double d = std::fmod(std::abs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

struct Tally {
    std::size_t included = 0, westernMeridian = 0, svalbard = 0, straddles = 0;
    int failures = 0;
    void fail(const Point& p, const std::string& what) {
        if (++failures <= maxReportedFailures)
            ADD_FAILURE() << "(" << p.latitude << ", " << p.longitude << ") " << what;
    }
};

// Forward then inverse comes back within 0.0001 degrees; within 4 degrees of the central meridian the inverse
// series also agrees with GeographicLib's inverse of the same rebuilt coordinates within 1e-6 degrees.
void checkRoundTrip(const Point& p, int zone, const std::string& reference, bool withinCentralBand, Tally& t) {
    const USNGParseResult parsed = USNGParser(reference);
    if (!parsed.ok()) return t.fail(p, reference + " does not parse: " + parsed.error);
    const USNGPieces& q = *parsed.pieces;
    const GeographicFromGrid back =
        geographicFromUsng(q.zoneDesignation, q.squareLetters, q.eastingDigits, q.northingDigits);
    const double d = std::max(std::abs(back.latitude - p.latitude), longitudeDifference(back.longitude, p.longitude));
    if (!(d <= 0.0001)) t.fail(p, "-> " + reference + " -> " + back.text + ": off by " + std::to_string(d));
    if (!withinCentralBand) return;
    double lat = 0, lon = 0;
    GeographicLib::UTMUPS::Reverse(zone, p.latitude >= 0, back.easting, back.northing, lat, lon);
    const double e = std::max(std::abs(lat - back.seriesLatitude), longitudeDifference(lon, back.seriesLongitude));
    if (!(e <= 1e-6)) t.fail(p, "inverse of " + reference + " differs by " + std::to_string(e));
}

void checkPoint(const Point& p, Tally& t) {
    const UtmPosition ours = utmFromGeographic(p.latitude, p.longitude);
    const std::string reference = nationalGridReference(ours);
    // Beyond 84 N and below 80 S: UPS in GeographicLib (no band letter here: EngineTest's NationalGrid tests).
    if (p.latitude >= 84 || p.latitude < -80) return;
    const int standardZone = GeographicLib::UTMUPS::StandardZone(p.latitude, p.longitude);
    if (standardZone != ours.zone) {
        if (std::ranges::find(westernMeridians, p.longitude) != westernMeridians.end() && ours.zone == standardZone - 1)
            ++t.westernMeridian;
        else if (p.latitude >= 72 && p.longitude >= 0 && p.longitude < 42)
            ++t.svalbard;
        else
            return t.fail(p, "zone " + std::to_string(ours.zone) + ", GeographicLib " + std::to_string(standardZone));
        return checkRoundTrip(p, ours.zone, reference, false, t);  // still its own inverse
    }
    ++t.included;
    int zone = 0;
    bool northp = false;
    double x = 0, y = 0;
    GeographicLib::UTMUPS::Forward(p.latitude, p.longitude, zone, northp, x, y, ours.zone);
    // The series within a centimetre of the exact projection, 4 degrees either side of the central meridian.
    const double de = std::abs(ours.easting - x), dn = std::abs(ours.northing - y);
    const bool withinSeries = de <= 0.01 && dn <= 0.01;
    const bool withinCentralBand = longitudeDifference(p.longitude, ours.centralMeridian) <= 4.0;
    if (withinCentralBand && !withinSeries)
        t.fail(p, "easting/northing off by " + std::to_string(de) + " / " + std::to_string(dn));
    try {
        std::string got = reference;
        std::erase(got, ' ');
        const std::string expected = geographicLibReference(zone, northp, x, y, p.latitude);
        // A difference is only acceptable when the exact value and the series lie on the two sides of a half
        // metre, within the series' accuracy; the letters and band must then still agree for the series' own
        // rounding.
        const bool straddles = (std::nearbyint(ours.easting) != std::nearbyint(x) ||
                                std::nearbyint(ours.northing) != std::nearbyint(y)) && withinSeries;
        if (got != expected && !(straddles && got == geographicLibReference(zone, northp, ours.easting,
                                                                            ours.northing, p.latitude)))
            t.fail(p, "reference " + reference + ", GeographicLib " + expected);
        t.straddles += got != expected;
    } catch (const GeographicLib::GeographicErr& e) {
        t.fail(p, std::string("GeographicLib MGRS refused: ") + e.what());
    }
    checkRoundTrip(p, ours.zone, reference, withinCentralBand, t);
}

// Generated points over Florida, the whole world, and the places where the grid's rules matter (zone edges,
// the three western meridians, Norway, Svalbard).
TEST(GeographicLibCrossCheck, UtmReferenceAndInverseOverGeneratedPoints) {
    std::mt19937_64 rng(20240611);
    const auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    Tally t;
    const auto add = [&](int count, double south, double north, double west, double east) {
        for (int i = 0; i < count; ++i) checkPoint(Point{uniform(south, north), uniform(west, east)}, t);
    };
    add(40000, 24.3, 31.1, -87.7, -79.8);
    add(100000, -90, 90, -180, 180);
    for (int i = 0; i < pointsPerWesternMeridian; ++i)
        for (double meridian : westernMeridians) checkPoint(Point{uniform(-80, 84), meridian}, t);
    for (int i = 0; i < 3000; ++i) {
        const double edge = -180 + 6 * static_cast<int>(uniform(0, 60));  // every other zone edge
        if (edge != -78 && edge != -84 && edge != -90) checkPoint(Point{uniform(-80, 84), edge}, t);
    }
    add(3000, 56, 64, 0, 15);  // Norway
    add(3000, 72, 84, 0, 42);  // Svalbard

    EXPECT_EQ(t.failures, 0);
    EXPECT_GE(t.included, 100000U);
    // Every point on the three meridians is a deliberate difference, and only those; Svalbard keeps its zones.
    EXPECT_EQ(t.westernMeridian, pointsPerWesternMeridian * westernMeridians.size());
    EXPECT_GT(t.svalbard, 1000U);
    EXPECT_LT(t.straddles, t.included / 200) << t.straddles << " of " << t.included;
}

TEST(GeographicLibCrossCheck, ReferencesThatDoNotExistAreRefusedAsGeographicLibRefusesThem) {
    // Well-formed references with every zone, band and square letter: whether
    // each exists is GeographicLib's verdict. Deliberate differences:
    // - the Norway and Svalbard zones (31V-32V, 31X-37X), which GeographicLib
    //   treats by their own rules, are left out;
    // - a square must reach into the band it names; GeographicLib also takes
    //   squares lying a few rows beyond a band's edge (it bounds rows by band,
    //   not by latitude), so near band edges we refuse some it accepts;
    // - near the poles GeographicLib refuses some columns of bands C and X
    //   outright, where we judge the square by the latitudes of its corners.
    // Both kinds stay within a few hundredths of the references.
    std::mt19937 rng(1703);
    const std::string_view bands = "CDEFGHJKLMNPQRSTUVWX", columns = usng::columnSequence,
                           rows = usng::oddZoneRowSequence;
    std::uniform_int_distribution<int> zoneOf(1, 60), digit(0, 9);
    std::uniform_int_distribution<std::size_t> bandOf(0, bands.size() - 1), columnOf(0, columns.size() - 1),
        rowOf(0, rows.size() - 1);
    std::size_t refusedByBoth = 0, acceptedByBoth = 0, disagreements = 0;
    std::string sample;  // the first ten disagreements
    while (refusedByBoth + acceptedByBoth + disagreements < 20000) {
        const int zone = zoneOf(rng);
        const char band = bands[bandOf(rng)];
        if ((band == 'V' || band == 'X') && zone >= 31 && zone <= 37) continue;
        std::string reference = std::to_string(zone) + band + columns[columnOf(rng)] + rows[rowOf(rng)];
        for (int i = 0; i < 10; ++i) reference += static_cast<char>('0' + digit(rng));
        int z = 0, precision = 0;
        bool northp = false, theyAccept = true;
        double x = 0, y = 0;
        try {
            GeographicLib::MGRS::Reverse(reference, z, northp, x, y, precision);
        } catch (const GeographicLib::GeographicErr&) {
            theyAccept = false;
        }
        // What the command line takes: the parser, then the band check.
        const USNGParseResult parsed = USNGParser(reference);
        const USNGPieces* q = parsed.ok() ? &*parsed.pieces : nullptr;
        const bool accept = q && geographicFromUsng(q->zoneDesignation, q->squareLetters, q->eastingDigits,
                                                    q->northingDigits, InverseTexts::LongitudeLatitude)
                                     .bandError.empty();
        if (accept == theyAccept) (accept ? acceptedByBoth : refusedByBoth)++;
        else if (++disagreements <= 10) sample += reference + (accept ? " (we accept); " : " (we refuse); ");
    }
    EXPECT_GT(refusedByBoth, 10000U);
    EXPECT_GT(acceptedByBoth, 1000U);
    EXPECT_LT(disagreements, 60U) << disagreements << " disagreements, such as " << sample;
}

TEST(GeographicLibCrossCheck, AlbersAgainstTheExactProjection) {
    // The grid takes pi as 3.14159 for every angle, which is the exact Albers
    // projection of angles scaled by 3.14159 / pi: standard parallels, latitude
    // and longitude difference alike. Its northing counts from the first
    // parallel; GeographicLib's from its own origin, so that is subtracted.
    const double scale = 3.14159 / GeographicLib::Math::pi();
    using namespace waypost::engine::albers;
    const GeographicLib::AlbersEqualArea exact(semiMajorAxisMetres, 1 / inverseFlattening,
                                               firstStandardParallelDegrees * scale,
                                               secondStandardParallelDegrees * scale, 1);
    double x0 = 0, y0 = 0;
    exact.Forward(0, firstStandardParallelDegrees * scale, 0, x0, y0);

    std::mt19937_64 rng(1983);
    // Wide points stay within 180 degrees of the central meridian.
    std::uniform_real_distribution<double> floridaLat(24.3, 31.1), floridaLon(-87.7, -79.8), wideLat(-60, 80),
        wideLon(-179, 90);
    int failures = 0;
    for (int i = 0; i < 20000; ++i) {
        const bool florida = i % 2 == 0;
        const double lat = florida ? floridaLat(rng) : wideLat(rng);
        const double lon = florida ? floridaLon(rng) : wideLon(rng);
        const AlbersPoint ours = AlbersEqualArea::StateGrid().Forward(lat, lon);
        double x = 0, y = 0;
        exact.Forward(0, lat * scale, (lon - centralMeridianDegrees) * scale, x, y);
        // Whole metres, so within half a metre of the exact value.
        const double off = std::max(std::abs(ours.x - (x - x0 + falseEastingMetres)), std::abs(ours.y - (y - y0)));
        if (!(off <= 0.5 + 1e-6) && ++failures <= maxReportedFailures)
            ADD_FAILURE() << "(" << lat << ", " << lon << ") " << ours.text << " is " << off << " m off";
    }
    EXPECT_EQ(failures, 0);
}

// The spacing follows the width of the view (a section-sized view shows kilometre lines: MapPanelTest); a finer
// spacing than the view can show, or no view, gives no lines.
TEST(GridLines, SpacingFollowsTheWidthOfTheView) {
    EXPECT_EQ(gridSpacingFor({-87.7, 24.4, -79.9, 31.1}), 100000);  // the state
    EXPECT_EQ(gridSpacingFor({-84.6, 30.2, -84.0, 30.7}), 10000);   // a county
    EXPECT_TRUE(gridLines({-87.7, 24.4, -79.9, 31.1}, 1000).empty());
    EXPECT_TRUE(gridLines({-84.0, 30.5, -84.5, 30.0}, 1000).empty());  // not a view
    EXPECT_TRUE(gridLines({-84.5, 30.0, -84.0, 30.5}, 0).empty());
}

// Kilometre lines across -84 degrees (the statewide 100 km lines of both zones: MapPanelTest): both zones drawn,
// every line on a multiple of its spacing, every vertex on it and within its own zone and the view; across the
// edge each zone's lines reach it from their own side.
TEST(GridLines, LinesLieOnTheirEastingsAndNorthingsWithinTheirZonesAndTheView) {
    const Extent view{-84.05, 30.40, -83.95, 30.45};
    std::set<int> zones;
    double westMost17 = 0, eastMost16 = -180;
    for (const GridLine& line : gridLines(view, 1000)) {
        zones.insert(line.zone);
        EXPECT_EQ(std::fmod(line.metres, 1000), 0) << line.metres;
        EXPECT_GE(line.points.size(), 2U);
        for (const auto& [lon, lat] : line.points) {
            EXPECT_TRUE(lon >= view.west && lon <= view.east && lat >= view.south && lat <= view.north) << lon;
            int zone = 0;
            bool north = true;
            double x = 0, y = 0;
            GeographicLib::UTMUPS::Forward(lat, lon, zone, north, x, y, line.zone);
            EXPECT_NEAR(line.constantEasting ? x : y, line.metres, 1.0) << "zone " << line.zone << " at " << lon;
            EXPECT_EQ(line.zone, lon <= -84 ? 16 : 17) << lon;  // on -84 degrees a point is zone 16's
            if (line.zone == 16) eastMost16 = std::max(eastMost16, lon);
            else westMost17 = std::min(westMost17, lon);
        }
    }
    EXPECT_EQ(zones, (std::set<int>{16, 17}));
    EXPECT_TRUE(eastMost16 > -84.01 && westMost17 < -83.99) << eastMost16 << " " << westMost17;
}

}  // namespace

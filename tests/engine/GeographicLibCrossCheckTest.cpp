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

#include "engine/AlbersEqualArea.h"
#include "engine/EngineConstants.h"
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
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace waypost::engine;

constexpr double seriesToleranceMetres = 0.01;   // the series against the exact projection
constexpr double centralBandDegrees = 4.0;       // where the series is held to that tolerance
constexpr double roundTripDegrees = 0.0001;      // forward, then inverse
constexpr double inverseToleranceDegrees = 1e-6; // the inverse series against GeographicLib's
constexpr int maxReportedFailures = 10;
constexpr int pointsPerWesternMeridian = 1200;
const auto& westernMeridians = utm::westernZoneMeridiansDegrees;

struct Point {
    double latitude, longitude;
};

/// The generated points: Florida, the whole world, and the places where the
/// grid's rules matter (zone edges, the three western meridians, Norway,
/// Svalbard, the polar caps).
std::vector<Point> generatedPoints() {
    std::mt19937_64 rng(20240611);
    auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    std::vector<Point> points;
    const auto add = [&](int count, double south, double north, double west, double east) {
        for (int i = 0; i < count; ++i) points.push_back({uniform(south, north), uniform(west, east)});
    };
    add(40000, 24.3, 31.1, -87.7, -79.8);
    add(100000, -90, 90, -180, 180);
    for (int i = 0; i < pointsPerWesternMeridian; ++i)
        for (double meridian : westernMeridians) points.push_back({uniform(-80, 84), meridian});
    for (int i = 0; i < 3000; ++i) {
        const double edge = -180 + 6 * static_cast<int>(uniform(0, 60));  // every other zone edge
        if (edge != -78 && edge != -84 && edge != -90) points.push_back({uniform(-80, 84), edge});
    }
    add(3000, 56, 64, 0, 15);  // Norway
    add(3000, 72, 84, 0, 42);  // Svalbard
    add(1000, 84, 90, -180, 180);
    add(1000, -90, -80.000001, -180, 180);
    return points;
}

/// GeographicLib's MGRS of rounded coordinates, without its zone padding ("09R...").
std::string geographicLibReference(int zone, bool northp, double easting, double northing, double latitude) {
    std::string mgrs;
    GeographicLib::MGRS::Forward(zone, northp, easting, northing, latitude, 5, mgrs);
    return mgrs[0] == '0' ? mgrs.substr(1) : mgrs;
}

double longitudeDifference(double a, double b) {
    const double d = std::fmod(std::abs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

struct Tally {
    std::size_t included = 0, westernMeridian = 0, svalbard = 0, polar = 0, beyondCentralBand = 0, straddles = 0;
    int failures = 0;

    void fail(const Point& p, const std::string& what) {
        std::ostringstream s;
        s.precision(17);
        s << "(" << p.latitude << ", " << p.longitude << ") " << what;
        if (++failures <= maxReportedFailures) ADD_FAILURE() << s.str();
    }
};

void checkRoundTrip(const Point& p, int zone, const std::string& reference, bool withinCentralBand, Tally& t) {
    const USNGParseResult parsed = USNGParser(reference);
    if (!parsed.ok()) return t.fail(p, reference + " does not parse: " + parsed.error);
    const USNGPieces& q = *parsed.pieces;
    const GeographicFromGrid back =
        geographicFromUsng(q.zoneDesignation, q.squareLetters, q.eastingDigits, q.northingDigits);
    const double d = std::max(std::abs(back.latitude - p.latitude), longitudeDifference(back.longitude, p.longitude));
    if (!(d <= roundTripDegrees)) t.fail(p, "-> " + reference + " -> " + back.text + ": off by " + std::to_string(d));
    if (!withinCentralBand) return;
    // The inverse series against GeographicLib's inverse of the same rebuilt coordinates.
    double lat = 0, lon = 0;
    GeographicLib::UTMUPS::Reverse(zone, p.latitude >= 0, back.easting, back.northing, lat, lon);
    const double e = std::max(std::abs(lat - back.seriesLatitude), longitudeDifference(lon, back.seriesLongitude));
    if (!(e <= inverseToleranceDegrees)) t.fail(p, "inverse of " + reference + " differs by " + std::to_string(e));
}

void checkPoint(const Point& p, Tally& t) {
    const UtmPosition ours = utmFromGeographic(p.latitude, p.longitude);
    const std::string reference = nationalGridReference(ours);

    // Beyond 84 N and below 80 S: no band letter here, UPS in GeographicLib.
    if (p.latitude >= 84 || p.latitude < -80) {
        ++t.polar;
        if (ours.band != '\0') t.fail(p, "has a band letter: " + reference);
        return;
    }
    const int standardZone = GeographicLib::UTMUPS::StandardZone(p.latitude, p.longitude);
    if (standardZone != ours.zone) {
        const bool onWesternMeridian =
            std::find(westernMeridians.begin(), westernMeridians.end(), p.longitude) != westernMeridians.end();
        if (onWesternMeridian && ours.zone == standardZone - 1)
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
    const double de = std::abs(ours.easting - x), dn = std::abs(ours.northing - y);
    const bool withinSeries = de <= seriesToleranceMetres && dn <= seriesToleranceMetres;
    const bool withinCentralBand = longitudeDifference(p.longitude, ours.centralMeridian) <= centralBandDegrees;
    if (withinCentralBand && !withinSeries)
        t.fail(p, "easting/northing off by " + std::to_string(de) + " / " + std::to_string(dn));
    t.beyondCentralBand += !withinCentralBand;

    try {
        std::string got = reference;
        got.erase(std::remove(got.begin(), got.end(), ' '), got.end());
        const std::string expected =
            geographicLibReference(zone, northp, std::nearbyint(x), std::nearbyint(y), p.latitude);
        if (got != expected) {
            // Only acceptable when the exact value and the series lie on the two
            // sides of a half metre, within the series' accuracy; the letters and
            // band must then still agree for the series' own rounding.
            const bool straddles = (std::nearbyint(ours.easting) != std::nearbyint(x) ||
                                    std::nearbyint(ours.northing) != std::nearbyint(y)) && withinSeries;
            if (straddles && got == geographicLibReference(zone, northp, std::nearbyint(ours.easting),
                                                           std::nearbyint(ours.northing), p.latitude))
                ++t.straddles;
            else
                t.fail(p, "reference " + reference + ", GeographicLib " + expected);
        }
    } catch (const GeographicLib::GeographicErr& e) {
        t.fail(p, std::string("GeographicLib MGRS refused: ") + e.what());
    }
    checkRoundTrip(p, ours.zone, reference, withinCentralBand, t);
}

TEST(GeographicLibCrossCheck, UtmReferenceAndInverseOverGeneratedPoints) {
    const std::vector<Point> points = generatedPoints();
    Tally t;
    for (const Point& p : points) checkPoint(p, t);

    const std::string summary = "generated " + std::to_string(points.size()) + ", compared " +
                                std::to_string(t.included) + " (beyond 4 degrees: " +
                                std::to_string(t.beyondCentralBand) + "), excluded: western meridians " +
                                std::to_string(t.westernMeridian) + ", Svalbard " + std::to_string(t.svalbard) +
                                ", polar " + std::to_string(t.polar) + "; half-metre straddles " +
                                std::to_string(t.straddles);
    std::cout << summary << "\n";
    RecordProperty("summary", summary);

    EXPECT_EQ(t.failures, 0) << summary;
    EXPECT_GE(t.included, 100000U) << summary;
    // Every point on the three meridians is a deliberate difference, and only those.
    EXPECT_EQ(t.westernMeridian, pointsPerWesternMeridian * westernMeridians.size());
    EXPECT_GT(t.svalbard, 1000U);
    EXPECT_GT(t.polar, 10000U);
    EXPECT_GT(t.beyondCentralBand, 100U);  // the Norway exception reaches 6 degrees from its meridian
    EXPECT_LT(t.straddles, t.included / 200) << summary;
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
    int refusedByBoth = 0, acceptedByBoth = 0;
    std::vector<std::string> disagreements;
    for (int compared = 0; compared < 20000;) {
        const int zone = zoneOf(rng);
        const char band = bands[bandOf(rng)];
        if ((band == 'V' || band == 'X') && zone >= 31 && zone <= 37) continue;
        std::string reference = std::to_string(zone) + band + columns[columnOf(rng)] + rows[rowOf(rng)];
        for (int i = 0; i < 10; ++i) reference += static_cast<char>('0' + digit(rng));
        bool theyAccept = true;
        try {
            int z = 0, precision = 0;
            bool northp = false;
            double x = 0, y = 0;
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
        ++compared;
        if (accept == theyAccept) (accept ? acceptedByBoth : refusedByBoth)++;
        else disagreements.push_back(reference + (accept ? " (we accept)" : " (we refuse)"));
    }
    std::ostringstream sample;
    for (std::size_t i = 0; i < std::min<std::size_t>(disagreements.size(), 10); ++i)
        sample << disagreements[i] << "; ";
    std::cout << "accepted by both " << acceptedByBoth << ", refused by both " << refusedByBoth << ", disagreements "
              << disagreements.size() << "\n";
    EXPECT_GT(refusedByBoth, 10000);
    EXPECT_GT(acceptedByBoth, 1000);
    EXPECT_LT(disagreements.size(), 60u) << disagreements.size() << " disagreements, such as " << sample.str();
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
    std::uniform_real_distribution<double> floridaLat(24.3, 31.1), floridaLon(-87.7, -79.8);
    // Wide points stay within 180 degrees of the central meridian.
    std::uniform_real_distribution<double> wideLat(-60, 80), wideLon(-179, 90);
    int failures = 0;
    double worst = 0;
    for (int i = 0; i < 20000; ++i) {
        const bool florida = i % 2 == 0;
        const double lat = florida ? floridaLat(rng) : wideLat(rng);
        const double lon = florida ? floridaLon(rng) : wideLon(rng);
        const AlbersPoint ours = AlbersEqualArea::StateGrid().Forward(lat, lon);
        double x = 0, y = 0;
        exact.Forward(0, lat * scale, (lon - centralMeridianDegrees) * scale, x, y);
        x = x - x0 + falseEastingMetres;
        y = y - y0;
        // Whole metres, so within half a metre of the exact value.
        const double off = std::max(std::abs(ours.x - x), std::abs(ours.y - y));
        worst = std::max(worst, off);
        if (!(off <= 0.5 + 1e-6) && ++failures <= maxReportedFailures)
            ADD_FAILURE() << "(" << lat << ", " << lon << ") " << ours.text << " vs " << x << "," << y;
    }
    EXPECT_EQ(failures, 0);
    EXPECT_GT(worst, 0.4);  // the rounding really is to whole metres
}

}  // namespace

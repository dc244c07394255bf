#pragma once
// Distance and compass quadrant used by the nearest-section search.

#include <cstdint>
#include <string_view>

namespace waypost::engine {

/// Great-circle distance on a sphere by the spherical law of cosines, with one
/// minute of arc taken as 1.1515 statute miles.
/// \param lat1, lon1, lat2, lon2 degrees.
/// \param unit 'K' for kilometres, 'N' for nautical miles (either case); any
///   other letter gives statute miles (the search passes 'M').
/// \return the distance in the chosen unit, 0 for equal points. Rounding that
///   carries the cosine a hair beyond +-1 is treated as +-1.
[[nodiscard]] double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2, char unit);

/// A flat bearing from A to B and the quadrant it names.
struct Bearing {
    double degrees = 0;          ///< clockwise from north, not rounded
    std::int64_t wholeDegrees = 0;  ///< rounded to whole degrees (a half to the even neighbour)
    std::string_view quarter;    ///< "NE 1/4", "SE 1/4", "SW 1/4" or "NW 1/4"
};

/// Bearing from A to B, taking the longitude and latitude differences as plain
/// degrees and pi as 3.14159 (the quadrant names of stored sections were found
/// that way; an eastward point a hair north of A therefore reads just over 90
/// degrees, "SE 1/4").
///
/// Cases, tested in this order: same longitude, B north: 0; same longitude, B
/// south: 180; same latitude, B east: 90; same latitude, B west: 270; B east and
/// north, east and south, west and south, west and north: the arctangent of the
/// differences plus 0, 90, 180 or 270; A and B equal: 0.
///
/// Quadrants: 0 to 89.99 NE, 90 to 179.99 SE, 180 to 269.99 SW, 270 to 359.99 NW;
/// a bearing in one of the gaps above 89.99, 179.99, 269.99 or 359.99 belongs to
/// the quadrant below it, so every bearing names one.
/// \param lonA, latA, lonB, latB degrees.
[[nodiscard]] Bearing bearingFromTo(double lonA, double latA, double lonB, double latB);

}  // namespace waypost::engine

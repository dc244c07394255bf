#include "engine/SearchGeometry.h"

#include "engine/EngineConstants.h"
#include "numbers/Numbers.h"

#include <cmath>

namespace waypost::engine {

namespace {

double radians(double degrees) { return degrees * search::pi / 180; }

}  // namespace

double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2, char unit) {
    const double theta = lon1 - lon2;
    const double x = std::sin(radians(lat1)) * std::sin(radians(lat2)) +
                     std::cos(radians(lat1)) * std::cos(radians(lat2)) * std::cos(radians(theta));
    // arccos x as pi/2 - arctan(x / sqrt(1 - x^2)); the ends are taken exactly
    // (and a cosine that rounding pushed past them counts as the end).
    double arc;
    if (x >= 1)
        arc = 0;
    else if (x <= -1)
        arc = search::pi;
    else
        arc = search::pi / 2 - std::atan(x / std::sqrt(1 - x * x));
    double distance = arc * 180 / search::pi * search::minutesPerDegree * search::statuteMilesPerMinute;
    if (unit == 'K' || unit == 'k')
        distance = distance * search::kilometresPerMile;
    else if (unit == 'N' || unit == 'n')
        distance = distance * search::nauticalMilesPerMile;
    return distance;
}

Bearing bearingFromTo(double lonA, double latA, double lonB, double latB) {
    const double dLon = lonB - lonA;
    const double dLat = latB - latA;

    double b = 0;  // also A and B equal
    if (dLon == 0 && dLat > 0)
        b = 0;
    else if (dLon == 0 && dLat < 0)
        b = 180;
    else if (dLat == 0 && dLon > 0)
        b = 90;
    else if (dLat == 0 && dLon < 0)
        b = 270;
    else if (dLon > 0 && dLat > 0)
        b = std::atan(std::abs(dLon) / std::abs(dLat)) * 180 / search::bearingPi;
    else if (dLon > 0 && dLat < 0)
        b = std::atan(std::abs(dLat) / std::abs(dLon)) * 180 / search::bearingPi + 90;
    else if (dLon < 0 && dLat < 0)
        b = std::atan(std::abs(dLon) / std::abs(dLat)) * 180 / search::bearingPi + 180;
    else if (dLon < 0 && dLat > 0)
        b = std::atan(std::abs(dLat) / std::abs(dLon)) * 180 / search::bearingPi + 270;

    Bearing bearing;
    bearing.degrees = b;
    bearing.wholeDegrees = waypost::numbers::toWhole(b);
    // The quadrants are listed as 0..89.99, 90..179.99, 180..269.99 and
    // 270..359.99; a bearing in a gap between them belongs to the quadrant below.
    if (b < search::southEastStartDegrees)
        bearing.quarter = "NE 1/4";
    else if (b < search::southWestStartDegrees)
        bearing.quarter = "SE 1/4";
    else if (b < search::northWestStartDegrees)
        bearing.quarter = "SW 1/4";
    else
        bearing.quarter = "NW 1/4";
    return bearing;
}

}  // namespace waypost::engine

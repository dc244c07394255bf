#include "engine/lltoAlbers.h"

#include "engine/AlbersEqualArea.h"
#include "engine/NationalGrid.h"
#include "engine/NationalGridInverse.h"
#include "engine/SearchGeometry.h"

namespace waypost::engine {

std::string lltoAlbers::ProjectAlbers(double latitude, double longitude) {
    AlbersPoint point = AlbersEqualArea::StateGrid().Forward(latitude, longitude);
    AlbersX = point.x;
    AlbersY = point.y;
    return std::move(point.text);
}

std::string lltoAlbers::USNGFromLatLong(double latitude, double longitude) {
    NationalGridPoint point = usngFromGeographic(latitude, longitude);
    UTMText = std::move(point.texts.utmText);
    return std::move(point.texts.reference);
}

std::string lltoAlbers::LatLongFromUSNG(std::string_view zoneDesignation, std::string_view squareLetters,
                                        std::string_view eastingDigits, std::string_view northingDigits) {
    GeographicFromGrid geo = geographicFromUsng(zoneDesignation, squareLetters, eastingDigits, northingDigits);
    USNGLat = geo.latitude;
    USNGLong = geo.longitude;
    USNGLatDMS = std::move(geo.latitudeDMS);
    USNGLongDMS = std::move(geo.longitudeDMS);
    UTMText = std::move(geo.utmText);
    return std::move(geo.text);
}

std::int64_t lltoAlbers::BearingQuarter(double lonA, double latA, double lonB, double latB) {
    const Bearing bearing = bearingFromTo(lonA, latA, lonB, latB);
    QuarterName = bearing.quarter;
    return bearing.wholeDegrees;
}

std::int64_t lltoAlbers::BearingQuarterQuarter(double lonA, double latA, double lonB, double latB) {
    const Bearing bearing = bearingFromTo(lonA, latA, lonB, latB);
    QuarterQuarterName = bearing.quarter;
    return bearing.wholeDegrees;
}

}  // namespace waypost::engine

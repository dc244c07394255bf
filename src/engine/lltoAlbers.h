#pragma once
// The coordinate engine as the windows use it: each call leaves its results in
// the object, where the caller reads them right after its own call.

#include <cstdint>
#include <string>
#include <string_view>

namespace waypost::engine {

/// One caller's coordinate engine. Every window or batch run that converts
/// owns its own object; nothing is shared between objects.
///
/// The result members are overwritten by the calls named beside them and keep
/// their values until the next such call. A call that throws leaves every
/// member as it was.
class lltoAlbers {
public:
    // Results of ProjectAlbers.
    double AlbersX = 0;  ///< last Albers easting (whole metres)
    double AlbersY = 0;  ///< last Albers northing (whole metres)

    /// UTM text of the last USNGFromLatLong ("16R 761158 3370495") or of the last
    /// LatLongFromUSNG (designation, rebuilt easting and northing).
    std::string UTMText;

    // Results of LatLongFromUSNG (the batch windows also write them).
    double USNGLat = 0;          ///< degrees, rounded to 4 decimals
    double USNGLong = 0;         ///< degrees, rounded to 4 decimals, negative west
    std::string USNGLatDMS;      ///< " 30° 15' 05.25'' "
    std::string USNGLongDMS;     ///< " -084° 16' 50.52'' "

    // Results of the bearing operations of the nearest-section search.
    std::string QuarterName;         ///< set by BearingQuarter: "NE 1/4", "SE 1/4", "SW 1/4" or "NW 1/4"
    std::string QuarterQuarterName;  ///< set by BearingQuarterQuarter, same names

    /// Projects a position onto the state Albers grid (see AlbersEqualArea).
    /// \param latitude, longitude degrees, north and east positive; not checked.
    /// \return easting, a comma, northing in whole metres ("376025,721400").
    /// Sets AlbersX and AlbersY to the same two numbers.
    std::string ProjectAlbers(double latitude, double longitude);

    /// US National Grid reference of a position (see utmFromGeographic and gridTexts).
    /// \param latitude degrees, north positive (callers keep it within -90..90).
    /// \param longitude degrees, east positive, finite.
    /// \return "16R GU 61158 70495". Sets UTMText ("16R 761158 3370495").
    /// \throws std::invalid_argument for a NaN or infinite argument.
    std::string USNGFromLatLong(double latitude, double longitude);

    /// Latitude and longitude of a reference split into its four pieces (see
    /// geographicFromUsng; USNGParser splits and checks a whole reference).
    /// No checks: bad pieces give a meaningless position, never an error.
    /// \return longitude, a blank, latitude ("-084.2807 30.4383").
    /// Sets USNGLat, USNGLong, USNGLatDMS, USNGLongDMS and UTMText.
    std::string LatLongFromUSNG(std::string_view zoneDesignation, std::string_view squareLetters,
                                std::string_view eastingDigits, std::string_view northingDigits);

    /// Bearing from A to B in whole degrees (see bearingFromTo); sets QuarterName.
    /// \param lonA, latA, lonB, latB degrees.
    std::int64_t BearingQuarter(double lonA, double latA, double lonB, double latB);

    /// The same bearing; sets QuarterQuarterName instead.
    std::int64_t BearingQuarterQuarter(double lonA, double latA, double lonB, double latB);
};

}  // namespace waypost::engine

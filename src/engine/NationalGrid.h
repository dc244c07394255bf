#pragma once
// Latitude/longitude to UTM and to US National Grid references.

#include <cstdint>
#include <string>

namespace waypost::engine {

/// Where a position lies in UTM: its zone, band and unrounded coordinates.
struct UtmPosition {
    int zone = 0;          ///< 1 to 60
    char band = '\0';      ///< latitude band letter C to X; '\0' at 84 degrees north or more, or below 80 south
    int letterSet = 0;     ///< 100 km square letter set, 1 to 6
    double centralMeridian = 0;  ///< degrees
    double easting = 0;    ///< metres, false easting included, not rounded
    double northing = 0;   ///< metres, 10000000 added for a negative latitude, not rounded
};

/// The two texts of one conversion.
struct GridTexts {
    std::string reference;  ///< "16R GU 61158 70495"
    std::string utmText;    ///< "16R 761158 3370495"
};

/// Zone, band and transverse Mercator coordinates of a position.
///
/// The longitude is first wrapped into -180..180. A point exactly on -78, -84
/// or -90 degrees belongs to the zone west of it (on -84 it is zone 16, not 17);
/// every other zone edge belongs to the zone east of it. The only special zone
/// is south-west Norway (56 <= latitude < 64, 3 <= longitude < 12: zone 32);
/// Svalbard keeps the regular zones.
/// \param latitude degrees, north positive; no range check (callers keep it
///   within -90..90; beyond 84 N or below 80 S there is no band letter but the
///   numbers are still computed).
/// \param longitude degrees, east positive, any finite value.
/// \throws std::invalid_argument if either value is NaN or infinite, or the
///   longitude is so large (far beyond 1e15 degrees) that wrapping it leaves
///   no zone.
[[nodiscard]] UtmPosition utmFromGeographic(double latitude, double longitude);

/// UTM text of a position: zone and band, then easting and northing rounded to
/// whole metres with a half away from zero, at least six digits each
/// ("16R 761158 3370495"; the zone is never padded: "9R").
[[nodiscard]] std::string utmText(const UtmPosition& position);

/// US National Grid reference of a position: zone and band, the 100 km square
/// letters, then the last five digits of easting and northing rounded to whole
/// metres with a half to the even neighbour (so at an exact half metre the
/// reference and the UTM text can differ by one): "16R GU 61158 70495".
/// \throws std::out_of_range if a coordinate cannot be held in whole metres
///   (only for latitudes far outside -90..90).
[[nodiscard]] std::string nationalGridReference(const UtmPosition& position);

/// Both texts of a position.
[[nodiscard]] GridTexts gridTexts(const UtmPosition& position);

/// utmFromGeographic followed by gridTexts.
struct NationalGridPoint {
    UtmPosition position;
    GridTexts texts;
};
[[nodiscard]] NationalGridPoint usngFromGeographic(double latitude, double longitude);

/// The latitude band letter of a latitude (degrees), or '\0' at 84 or more,
/// below -80, or NaN.
[[nodiscard]] char latitudeBandLetter(double latitude);

/// The 100 km square letters, column letter first.
/// \param letterSet 1 to 6 (zone modulo 6, a remainder of 0 giving 6).
/// \param northing whole metres, southern false northing already added; its
///   absolute value counts.
/// \param easting whole metres, 0 or more. Eastings from 100000 to 899999 give
///   columns 1 to 8; the column letters repeat every eight squares; below
///   100000 the seventh letter is used.
/// \throws std::out_of_range if letterSet is not 1 to 6 or easting is negative.
[[nodiscard]] std::string GridSquareLetters(int letterSet, std::int64_t northing, std::int64_t easting);

}  // namespace waypost::engine

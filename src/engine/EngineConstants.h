#pragma once
// Every fixed number of the coordinate engine, in one place, with its unit.
//
// Two values of pi live here on purpose: the Albers grid and the bearing
// quadrants use pi = 3.14159 (five decimals), everything else uses
// 3.14159265358979. Stored Albers coordinates and quarter names were produced
// that way, so the short value stays.

#include <array>
#include <string_view>

namespace waypost::engine {

/// State Albers equal-area conic grid (NAD_1983_HARN_Vidazed_GDL_Albers) on GRS 80.
namespace albers {
inline constexpr double semiMajorAxisMetres = 6378137.0;         // GRS 80 a
inline constexpr double inverseFlattening = 298.257222101;       // GRS 80 1/f
inline constexpr double pi = 3.14159;                            // short pi of the grid
inline constexpr double firstStandardParallelDegrees = 24.0;     // also the latitude of origin
inline constexpr double secondStandardParallelDegrees = 31.5;
inline constexpr double centralMeridianDegrees = -84.0;
inline constexpr double falseEastingMetres = 400000.0;
inline constexpr double falseNorthingMetres = 0.0;
}  // namespace albers

/// Universal Transverse Mercator on WGS 84, as used by the US National Grid.
namespace utm {
inline constexpr double semiMajorAxisMetres = 6378137.0;         // WGS 84 a
inline constexpr double semiMinorAxisMetres = 6356752.31424518;  // WGS 84 b
inline constexpr double pi = 3.14159265358979;
inline constexpr double degreesPerRadian = 57.29577951308238;    // used by the inverse
inline constexpr double scaleFactor = 0.9996;                    // k0 on the central meridian
inline constexpr double falseEastingMetres = 500000.0;
inline constexpr double southernFalseNorthingMetres = 10000000.0;  // added for a negative latitude
inline constexpr double polarOverlapDegrees = 0.5;  // bands C and X reach this far into the polar grid
inline constexpr double zoneWidthDegrees = 6.0;
inline constexpr int zoneCount = 60;
/// Meridians on which a point belongs to the zone west of it (not the usual east).
inline constexpr std::array<double, 3> westernZoneMeridiansDegrees{-78.0, -84.0, -90.0};
/// The one zone exception (south-west Norway): 56 <= latitude < 64 and
/// 3 <= longitude < 12 lie in zone 32.
inline constexpr double norwaySouthDegrees = 56.0;
inline constexpr double norwayNorthDegrees = 64.0;
inline constexpr double norwayWestDegrees = 3.0;
inline constexpr double norwayEastDegrees = 12.0;
inline constexpr int norwayZone = 32;
}  // namespace utm

/// US National Grid lettering.
namespace usng {
inline constexpr double squareSizeMetres = 100000.0;  // size of a 100 km square
inline constexpr int columnLettersPerSet = 8;
inline constexpr int letterSetsOfColumns = 3;  // zones take the column letters in turn: A-H, J-R, S-Z
inline constexpr int rowLettersPerSet = 20;
inline constexpr int letterSetCount = 6;
inline constexpr int digitsPerCoordinate = 5;         // 1 m within a 100 km square
inline constexpr int maxDigitsPerCoordinate = 8;      // 1 mm: finer than any survey a reference carries
/// Column and row letters of the six letter sets (set 1 first).
inline constexpr std::array<std::string_view, 6> setColumnLetters{
    "ABCDEFGH", "JKLMNPQR", "STUVWXYZ", "ABCDEFGH", "JKLMNPQR", "STUVWXYZ"};
inline constexpr std::array<std::string_view, 6> setRowLetters{
    "ABCDEFGHJKLMNPQRSTUV", "FGHJKLMNPQRSTUVABCDE", "ABCDEFGHJKLMNPQRSTUV",
    "FGHJKLMNPQRSTUVABCDE", "ABCDEFGHJKLMNPQRSTUV", "FGHJKLMNPQRSTUVABCDE"};
/// All column letters in order (A to Z without I and O), read by the inverse.
inline constexpr std::string_view columnSequence = "ABCDEFGHJKLMNPQRSTUVWXYZ";
/// Row letters counted by the inverse: odd zones, even zones.
inline constexpr std::string_view oddZoneRowSequence = "ABCDEFGHJKLMNPQRSTUV";
inline constexpr std::string_view evenZoneRowSequence = "FGHJKLMNPQRSTUVABCDE";

/// A latitude band: its letter and latitudes, lower bound inclusive, upper exclusive.
struct LatitudeBand {
    char letter;
    double southDegrees;
    double northDegrees;
};
/// Tested from X downwards; the first band that holds the latitude wins.
/// At 84 degrees or more, or below -80, there is no band letter.
inline constexpr std::array<LatitudeBand, 20> latitudeBands{{
    {'X', 72, 84}, {'W', 64, 72}, {'V', 56, 64}, {'U', 48, 56}, {'T', 40, 48},
    {'S', 32, 40}, {'R', 24, 32}, {'Q', 16, 24}, {'P', 8, 16},  {'N', 0, 8},
    {'M', -8, 0},  {'L', -16, -8}, {'K', -24, -16}, {'J', -32, -24}, {'H', -40, -32},
    {'G', -48, -40}, {'F', -56, -48}, {'E', -64, -56}, {'D', -72, -64}, {'C', -80, -72},
}};

/// What the inverse knows of a band letter: the UTM northing where the band
/// starts and the start of the two-million-metre segment its row letters count
/// from (both in millions of metres), and whether it is south of the equator.
struct BandNorthing {
    char letter;
    double bandStartMegametres;
    double segmentStartMegametres;
    bool southern;
};
inline constexpr std::array<BandNorthing, 20> bandNorthings{{
    {'C', 1.1, 0, true},  {'D', 2.0, 2, true},  {'E', 2.8, 2, true},  {'F', 3.7, 2, true},
    {'G', 4.6, 4, true},  {'H', 5.5, 4, true},  {'J', 6.4, 6, true},  {'K', 7.3, 6, true},
    {'L', 8.2, 8, true},  {'M', 9.1, 8, true},  {'N', 0.0, 0, false}, {'P', 0.8, 0, false},
    {'Q', 1.7, 0, false}, {'R', 2.6, 2, false}, {'S', 3.5, 2, false}, {'T', 4.4, 4, false},
    {'U', 5.3, 4, false}, {'V', 6.2, 6, false}, {'W', 7.0, 6, false}, {'X', 7.9, 6, false},
}};
inline constexpr double metresPerMegametre = 1000000.0;
inline constexpr double segmentHeightMegametres = 2.0;  // row letters repeat every 2 000 km
}  // namespace usng

/// Nearest-section search: great-circle distance and bearing quadrants.
namespace search {
inline constexpr double pi = 3.14159265358979;            // distance
inline constexpr double bearingPi = 3.14159;              // bearing quadrants (five decimals)
inline constexpr double minutesPerDegree = 60.0;
inline constexpr double statuteMilesPerMinute = 1.1515;   // minutes of arc to statute miles
inline constexpr double kilometresPerMile = 1.609344;     // unit letter "K"
inline constexpr double nauticalMilesPerMile = 0.8684;    // unit letter "N"
/// Where the quadrants after NE begin, in degrees clockwise from north.
inline constexpr double southEastStartDegrees = 90.0;
inline constexpr double southWestStartDegrees = 180.0;
inline constexpr double northWestStartDegrees = 270.0;
}  // namespace search

}  // namespace waypost::engine

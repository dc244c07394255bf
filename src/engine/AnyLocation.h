#pragma once
// One location typed or pasted in any common form: decimal degrees, degrees
// and minutes, degrees-minutes-seconds (with hemisphere letters, signs,
// symbols or colons), a US National Grid / MGRS reference, or UTM.

#include <cstdint>
#include <string>
#include <string_view>

namespace waypost::engine {

/// Degrees, minutes, seconds and hundredths of a second of one coordinate,
/// without its sign (the hundredths round the value to about 0.3 m).
struct DmsParts {
    int degrees = 0;
    int minutes = 0;
    int seconds = 0;
    int hundredths = 0;
};

/// What a text was understood as, or why not.
struct LocationReading {
    bool ok = false;
    double latitude = 0;   ///< degrees, north positive, as read
    double longitude = 0;  ///< degrees, east positive, as read
    std::string form;      ///< what was understood: "US National Grid, 10 m", "degrees and decimal minutes" ...
    std::string error;     ///< why the text was refused (empty when ok)

    DmsParts latitudeParts;   ///< |latitude| in degrees, minutes, seconds and hundredths
    DmsParts longitudeParts;  ///< |longitude| likewise
    /// The position those parts stand for, added up as the conversion page
    /// adds up its degrees-minutes-seconds fields (what its labels show).
    double partsLatitude = 0;
    double partsLongitude = 0;
};

/// Reads \p text. Accepted:
/// - decimal degrees, degrees and minutes, degrees-minutes-seconds: hemisphere
///   letters N, S, E, W before or after each coordinate, or signs; the parts
///   separated by blanks, colons or the symbols ° ' " (and ′ ″ º); the two
///   coordinates by a comma, by their letters, by their degree symbols or, with
///   plain numbers, by their count (2, 4 or 6). Latitude comes first unless the
///   letters say otherwise. Only the last part of a coordinate may have decimals;
///   minutes and seconds run from 0 to under 60.
/// - a US National Grid / MGRS reference with one to five digits a coordinate
///   (10 km to 1 m), with or without blanks; a shorter reference names the
///   south-west corner of its square.
/// - UTM: zone, band letter (or N/S for the hemisphere, or the words north and
///   south), easting and northing in metres: "16R 761158 3370495".
/// Refused, with the reason: a latitude beyond 90 or a longitude beyond 180,
/// 60 or more minutes or seconds, a pair whose order or split cannot be told,
/// a reference that does not exist, anything else.
[[nodiscard]] LocationReading readAnyLocation(std::string_view text);

/// \p value (its size; the sign is dropped) in degrees, minutes, seconds and
/// hundredths of a second, rounded to the nearest hundredth with carries.
[[nodiscard]] DmsParts dmsParts(double value);

}  // namespace waypost::engine

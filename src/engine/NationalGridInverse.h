#pragma once
// US National Grid reference (already split into its four pieces) back to
// latitude and longitude.

#include <string>
#include <string_view>

namespace waypost::engine {

/// The result of one inverse conversion.
struct GeographicFromGrid {
    double latitude = 0;    ///< degrees, rounded to 4 decimals (formatted and read back)
    double longitude = 0;   ///< degrees, rounded to 4 decimals, negative west
    std::string text;       ///< longitude, a blank, latitude: "-084.2807 30.4383"
    std::string latitudeDMS;   ///< " 30° 15' 05.25'' "
    std::string longitudeDMS;  ///< " -084° 16' 50.52'' "
    std::string utmText;    ///< designation, easting and northing rebuilt from the pieces: "16R 761000 3370000"
    int zone = 0;           ///< zone number read from the designation
    double easting = 0;     ///< rebuilt UTM easting (metres)
    double northing = 0;    ///< rebuilt UTM northing (metres, southern false northing included)
    double seriesLatitude = 0;   ///< degrees, before the 4-decimal rounding
    double seriesLongitude = 0;  ///< degrees, before the 4-decimal rounding
    /// Why the reference does not exist, when its 100 km square lies wholly
    /// outside the latitude band it names; empty otherwise. The position is
    /// still computed: callers that take only real references refuse it.
    std::string bandError;
};

/// Which texts a conversion makes: all of them, or only `text` (the
/// command line needs no more, and the others cost more than the series).
enum class InverseTexts { All, LongitudeLatitude };

/// Converts the four pieces of a reference to latitude and longitude.
///
/// \param zoneDesignation two or three characters: the zone number (one or two
///   digits) and the band letter ("17R", "9R"). With three characters the zone
///   is the first two; otherwise the first character; the band is always the
///   last character.
/// \param squareLetters the 100 km square letters, column letter first ("MK").
/// \param eastingDigits, northingDigits one to five digits each; a shorter
///   group is a coarser position (a single 5 means 50000 m).
///
/// Letters are compared in capitals. Only one check is made, reported in
/// bandError and not stopping the call: the square must reach into the band
/// the designation names. The other checks are USNGParser's, which callers
/// run first: a band letter outside C
/// to X, a square letter outside the letter sequences or digits that do not
/// read as a finite number leave their term at 0, and the call completes with
/// a meaningless position.
///
/// Text form: each value in its shortest plain decimal form; a negative
/// longitude whose whole part has fewer than three digits gets one "0" after
/// the minus sign (-081.5; -5.1 becomes -05.1).
///
/// Degrees-minutes-seconds texts: the whole degrees carry the sign (latitude
/// two digits, "05", "-05", "30"; longitude three, "-081", "005"); minutes
/// are whole minutes, two digits; seconds have two decimals and two integer
/// digits. A value below one degree keeps its sign ("-00", "-000"). Seconds
/// that would show as 60.00 carry into the minutes (and minutes into degrees),
/// so the text always reads as the value rounded to a hundredth of a second.
[[nodiscard]] GeographicFromGrid geographicFromUsng(std::string_view zoneDesignation, std::string_view squareLetters,
                                                    std::string_view eastingDigits, std::string_view northingDigits,
                                                    InverseTexts texts = InverseTexts::All);

/// Degrees, minutes and seconds text of a value in decimal degrees, as
/// geographicFromUsng writes it. \param degreeDigits 2 for a latitude, 3 for a longitude.
[[nodiscard]] std::string degreesMinutesSecondsText(double degrees, int degreeDigits);

}  // namespace waypost::engine

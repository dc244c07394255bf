#pragma once
// Degree entry on the conversion page: which typed characters a degree field
// takes, the check of every field with its message and reset text, the value
// a field stands for, and the latitude and longitude totals of the three
// degree notations.
//
// The page works in the northern and western hemispheres only: latitude is
// always north, longitude always west and kept as a negative number.

#include <QString>

#include <cstdint>
#include <vector>

namespace waypost::conversion {

/// The three degree notations, each with its own group of fields.
enum class DegreeGroup {
    DecimalDegrees,         ///< "D.D": degrees and decimal digits
    DegreesDecimalMinutes,  ///< "DM.M": degrees, whole minutes and decimal-minute digits
    DegreesMinutesSeconds,  ///< "DMS.S": degrees, minutes, whole seconds and hundredths of a second
};

enum class Coordinate { Latitude, Longitude };

/// What one field of a group holds.
enum class DegreePart {
    Degrees,              ///< whole degrees
    DecimalDegreeDigits,  ///< the digits after the decimal point of the degrees ("25" is .25)
    Minutes,              ///< whole minutes
    DecimalMinuteDigits,  ///< the digits after the decimal point of the minutes
    Seconds,              ///< whole seconds
    Hundredths,           ///< hundredths of a second ("5" is 0.05 seconds)
};

/// One degree field: its group, the coordinate it belongs to and its part.
struct DegreeField {
    DegreeGroup group;
    Coordinate coordinate;
    DegreePart part;
};

/// Result of a field check. A refused value is answered with \p message in an
/// OK-only box and the field's text is replaced by \p resetText.
struct FieldCheck {
    bool accepted = true;
    QString message;
    QString resetText;
};

// Messages of the degree checks, exactly as the user sees them.
inline const QString kLatitudeRangeMessage = QStringLiteral("Latitude must be between 00 and 90");
inline const QString kLongitudeRangeMessage = QStringLiteral("Longitude must be between 000 and 180");
inline const QString kDigitsTooLargeMessage = QStringLiteral(" Must Be Less Than 9999");
inline const QString kMinutesTooLargeMessage = QStringLiteral(" Must Be Less Than 60");
inline const QString kHundredthsRangeMessage = QStringLiteral("Must be between 1 and 99");

/// Whether a degree field takes the typed character \p code: the digits, the
/// decimal point (46) and the control codes 8 (backspace), 9, 12 and 14.
/// Everything else is dropped with a beep. Navigation keys (arrows, Home, End,
/// Delete) type no character and are never filtered.
[[nodiscard]] bool acceptsDegreeCharacter(char16_t code);

/// \p text without the characters a degree field does not take (pasted text
/// goes through the same filter as typed keys).
[[nodiscard]] QString keepDegreeCharacters(const QString& text);

/// The value of a field's text, read leniently: the leading number counts,
/// the rest is ignored, an empty text is 0.
[[nodiscard]] double fieldValue(const QString& text);

/// The check of \p field for \p text. The bounds themselves (90, 180, 9999,
/// 60, 100) are accepted; a NaN value is refused.
[[nodiscard]] FieldCheck checkDegreeField(const DegreeField& field, const QString& text);

/// A value as a 16-bit whole number: a half goes to the even neighbour (this
/// matters only when a decimal point was typed); values beyond the 16-bit range
/// are held at its ends.
[[nodiscard]] std::int16_t wholeValue(double value);

/// The fraction the digits of a decimal-digit field stand for: the value of
/// "0." followed by the text, so "5" is 0.5, "0005" is 0.0005, "1234" is 0.1234.
[[nodiscard]] double digitsFraction(const QString& text);

// The terms of the degrees-minutes-seconds group, in degrees.
[[nodiscard]] double minutesTerm(std::int16_t minutes);        ///< minutes / 60
[[nodiscard]] double secondsTerm(std::int16_t seconds);        ///< seconds / 3600
[[nodiscard]] double hundredthsTerm(std::int16_t hundredths);  ///< (hundredths / 3600) * 0.01

// Coordinate totals in decimal degrees, in the order of operations the stored
// positions were made with. Longitudes come out negative (west). The
// degrees-minutes-seconds totals take the three terms above, in degrees.
[[nodiscard]] double decimalDegreesLatitude(std::int16_t degrees, double fraction);
[[nodiscard]] double decimalDegreesLongitude(std::int16_t degrees, double fraction);
[[nodiscard]] double decimalMinutesLatitude(std::int16_t degrees, std::int16_t minutes, double minuteFraction);
[[nodiscard]] double decimalMinutesLongitude(std::int16_t degrees, std::int16_t minutes, double minuteFraction);
[[nodiscard]] double minutesSecondsLatitude(std::int16_t degrees, double minutes, double seconds,
                                            double hundredths);
[[nodiscard]] double minutesSecondsLongitude(std::int16_t degrees, double minutes, double seconds,
                                             double hundredths);

/// True when an accepted degrees value locks the rest of its coordinate:
/// latitude exactly 90 (the pole), longitude exactly 180 (the antimeridian).
[[nodiscard]] bool locksCoordinate(Coordinate coordinate, double degreesValue);

/// A field that the pole or antimeridian lock sets and disables.
struct LockedField {
    DegreePart part;
    QString text;
};

/// The fields of \p coordinate in \p group that the lock zeroes, with the
/// texts they get (the degrees field itself is not among them).
[[nodiscard]] std::vector<LockedField> lockedFields(DegreeGroup group, Coordinate coordinate);

// Label texts of the results.
[[nodiscard]] QString fullPrecisionText(double degrees);       ///< "00.000000000000": -84.250000000000

}  // namespace waypost::conversion

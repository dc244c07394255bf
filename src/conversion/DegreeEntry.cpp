#include "conversion/DegreeEntry.h"

#include "numbers/Numbers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace waypost::conversion {

namespace nb = waypost::numbers;

namespace {

// Field bounds; the bounds themselves are accepted.
constexpr double maxLatitudeDegrees = 90;
constexpr double maxLongitudeDegrees = 180;
constexpr double maxDigitsValue = 9999;
constexpr double maxMinutesOrSeconds = 60;
constexpr double maxHundredths = 100;

constexpr double minutesPerDegree = 60;
constexpr double secondsPerDegree = 3600;
constexpr double secondsPerMinute = 60;
constexpr double secondsPerHundredth = 0.01;

QString fromStd(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

bool acceptsDegreeCharacter(char16_t code) {
    if (code >= u'0' && code <= u'9') return true;
    switch (code) {
    case 8:    // backspace
    case 9:    // tab
    case 12:
    case 14:
    case u'.':  // the decimal point
        return true;
    default:
        return false;
    }
}

QString keepDegreeCharacters(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text)
        if (acceptsDegreeCharacter(c.unicode())) kept.append(c);
    return kept;
}

double fieldValue(const QString& text) { return nb::parseLenient(text.toStdString()); }

FieldCheck checkDegreeField(const DegreeField& field, const QString& text) {
    const double value = fieldValue(text);
    const bool decimalDegrees = field.group == DegreeGroup::DecimalDegrees;
    // Written so that NaN fails too.
    switch (field.part) {
    case DegreePart::Degrees:
        if (field.coordinate == Coordinate::Latitude) {
            if (!(value >= 0 && value <= maxLatitudeDegrees))
                return {false, kLatitudeRangeMessage, decimalDegrees ? QStringLiteral("00") : QString()};
        } else if (!(value >= 0 && value <= maxLongitudeDegrees)) {
            return {false, kLongitudeRangeMessage, decimalDegrees ? QStringLiteral("000") : QString()};
        }
        break;
    case DegreePart::DecimalDegreeDigits:
        if (!(value <= maxDigitsValue)) return {false, kDigitsTooLargeMessage, QString()};
        break;
    case DegreePart::DecimalMinuteDigits:
        if (!(value <= maxDigitsValue)) return {false, kDigitsTooLargeMessage, QStringLiteral("0000")};
        break;
    case DegreePart::Minutes:
    case DegreePart::Seconds:
        if (!(value <= maxMinutesOrSeconds)) return {false, kMinutesTooLargeMessage, QString()};
        break;
    case DegreePart::Hundredths:
        if (!(value >= 0 && value <= maxHundredths)) return {false, kHundredthsRangeMessage, QString()};
        break;
    }
    return {};
}

std::int16_t wholeValue(double value) {
    constexpr double lowest = std::numeric_limits<std::int16_t>::min();
    constexpr double highest = std::numeric_limits<std::int16_t>::max();
    if (std::isnan(value)) return 0;
    const double held = std::clamp(value, lowest, highest);
    return static_cast<std::int16_t>(nb::toWhole(held));
}

double digitsFraction(const QString& text) { return fieldValue(QStringLiteral("0.") + text); }

double minutesTerm(std::int16_t minutes) { return minutes / minutesPerDegree; }
double secondsTerm(std::int16_t seconds) { return seconds / secondsPerDegree; }
double hundredthsTerm(std::int16_t hundredths) { return (hundredths / secondsPerDegree) * secondsPerHundredth; }

double decimalDegreesLatitude(std::int16_t degrees, double fraction) { return degrees + fraction; }

double decimalDegreesLongitude(std::int16_t degrees, double fraction) {
    return static_cast<double>(-degrees) + (fraction * -1);
}

double decimalMinutesLatitude(std::int16_t degrees, std::int16_t minutes, double minuteFraction) {
    // The decimal minutes become seconds, then degrees: (fraction * 60) / 3600.
    return degrees + ((minuteFraction * secondsPerMinute) / secondsPerDegree + minutes / minutesPerDegree);
}

double decimalMinutesLongitude(std::int16_t degrees, std::int16_t minutes, double minuteFraction) {
    return (degrees + ((minuteFraction * secondsPerMinute) / secondsPerDegree + minutes / minutesPerDegree)) * -1;
}

double minutesSecondsLatitude(std::int16_t degrees, double minutes, double seconds, double hundredths) {
    return degrees + (minutes + seconds + hundredths);
}

double minutesSecondsLongitude(std::int16_t degrees, double minutes, double seconds, double hundredths) {
    return static_cast<double>(-degrees) + ((minutes + seconds + hundredths) * -1);
}

bool locksCoordinate(Coordinate coordinate, double degreesValue) {
    return coordinate == Coordinate::Latitude ? degreesValue == maxLatitudeDegrees
                                              : degreesValue == maxLongitudeDegrees;
}

std::vector<LockedField> lockedFields(DegreeGroup group, Coordinate coordinate) {
    const bool latitude = coordinate == Coordinate::Latitude;
    switch (group) {
    case DegreeGroup::DecimalDegrees:
        return {{DegreePart::DecimalDegreeDigits, latitude ? QStringLiteral("0000") : QStringLiteral("00")}};
    case DegreeGroup::DegreesDecimalMinutes:
        return {{DegreePart::Minutes, QStringLiteral("00")}, {DegreePart::DecimalMinuteDigits, QStringLiteral("0000")}};
    case DegreeGroup::DegreesMinutesSeconds:
        return {{DegreePart::Minutes, QStringLiteral("00")},
                {DegreePart::Seconds, QStringLiteral("00")},
                {DegreePart::Hundredths, latitude ? QStringLiteral("00") : QStringLiteral("0")}};
    }
    return {};
}

QString fullPrecisionText(double degrees) { return fromStd(nb::formatPattern(degrees, "00.000000000000")); }

}  // namespace waypost::conversion

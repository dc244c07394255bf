#include "conversion/TownshipRangeSection.h"

#include "conversion/DegreeEntry.h"

namespace waypost::conversion {

namespace {

// The limits of the state's PLSS grid.
constexpr int maxNorthTownship = 7;
constexpr int firstSouthTownshipRefused = 68;
constexpr int maxEastRange = 43;
constexpr int maxWestRange = 34;
constexpr double firstSectionRefused = 8030;

// Offsets of the part centres from the section centre: a quarter lies 400 m
// and 0.0036 degrees from it, a quarter-quarter 200 or 600 m and 0.0018 or
// 0.0055 degrees.

}  // namespace

bool acceptsTrsCharacter(char16_t code) { return (code >= u'0' && code <= u'9') || code == 8; }

QString keepTrsCharacters(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text)
        if (acceptsTrsCharacter(c.unicode())) kept.append(c);
    return kept;
}

std::int16_t trsNumber(const QString& text) { return wholeValue(fieldValue(text)); }

QString keyText(int number) { return QString::fromStdString(plss::keyText(number)); }

TrsCheck checkTownship(const QString& text, const QString& direction) {
    const std::int16_t n = trsNumber(text);
    if (direction == kNorth && n > maxNorthTownship) return {false, kNorthTownshipMessage, 0, {}};
    if (n < plss::smallestUnpaddedKey) return {true, {}, n, keyText(n)};
    if (direction == kSouth && n >= firstSouthTownshipRefused) return {false, kSouthTownshipMessage, 0, {}};
    return {true, {}, n, keyText(n)};
}

TrsCheck checkRange(const QString& text, const QString& direction) {
    const std::int16_t n = trsNumber(text);
    if (direction == kEast && n > maxEastRange) return {false, kEastRangeMessage, 0, {}};
    if (direction == kWest && n > maxWestRange) return {false, kWestRangeMessage, 0, {}};
    return {true, {}, n, keyText(n)};
}

TrsCheck checkSection(const QString& text) {
    const double v = fieldValue(text);
    if (!(v < firstSectionRefused)) return {false, kSectionTooLargeMessage, 0, {}};
    const std::int16_t n = wholeValue(v);
    return {true, {}, n, QString::number(n)};
}

TrsCheck sectionKeyOnLeaving(const QString& text) {
    const std::int16_t n = trsNumber(text);
    return {true, {}, n, keyText(n)};
}

QString trsKey(const QString& townshipKey, const QString& townshipDirection, const QString& rangeKey,
               const QString& rangeDirection, const QString& sectionKey) {
    return QStringLiteral("T") + townshipKey + townshipDirection + QStringLiteral(" R") + rangeKey + rangeDirection +
           QStringLiteral(" S") + sectionKey;
}

const QuarterOption* findQuarterOption(const QString& optionName) {
    for (const QuarterOption& option : quarterOptions())
        if (optionName == QLatin1String(option.optionName)) return &option;
    return nullptr;
}

}  // namespace waypost::conversion

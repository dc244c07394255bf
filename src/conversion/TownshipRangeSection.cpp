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
constexpr int smallestUnpaddedKey = 10;

// Offsets of the part centres from the section centre: a quarter lies 400 m
// and 0.0036 degrees from it, a quarter-quarter 200 or 600 m and 0.0018 or
// 0.0055 degrees.
constexpr std::array<QuarterOption, 25> kQuarterOptions{{
    {"optNW", "NW", "NW1/4", -400, 0.0036, false, 0, 0},
    {"optsecNH", "N", "N1/2", 0, 0.0036, false, 0, 1},
    {"optNE", "NE", "NE1/4", 400, 0.0036, false, 0, 2},
    {"optWH", "W", "W1/2", -400, 0, false, 1, 0},
    {"optSecC", "C", "CENTER", 0, 0, false, 1, 1},
    {"optEH", "E", "E1/2", 400, 0, false, 1, 2},
    {"optSW", "SW", "SW1/4", -400, -0.0036, false, 2, 0},
    {"optSH", "S", "S1/2", 0, -0.0036, false, 2, 1},
    {"optSE", "SE", "SE1/4", 400, -0.0036, false, 2, 2},
    {"optNWNW", "NW", "NW1/4 NW1/4", -600, 0.0055, true, 0, 0},
    {"optNWNE", "NE", "NE1/4NW1/4", -200, 0.0055, true, 0, 1},
    {"optNWSW", "SW", "SW1/4 NW1/4", -600, 0.0018, true, 1, 0},
    {"optNWSE", "SE", "SE1/4 NW1/4", -200, 0.0018, true, 1, 1},
    {"optNENW", "NW", "NW1/4NE1/4", 200, 0.0055, true, 0, 2},
    {"optNENE", "NE", "NE1/4NE1/4", 600, 0.0055, true, 0, 3},
    {"optNESW", "SW", "SW1/4NE1/4", 200, 0.0018, true, 1, 2},
    {"optNESE", "SE", "SE1/4NE1/4", 600, 0.0018, true, 1, 3},
    {"optSWNW", "NW", "NW1/4 SW1/4", -600, -0.0018, true, 2, 0},
    {"optSWNE", "NE", "NE1/4 SW1/4", -200, -0.0018, true, 2, 1},
    {"optSWSW", "SW", "SW1/4 SW1/4", -600, -0.0055, true, 3, 0},
    {"optSWSE", "SE", "SE1/4 SW1/4", -200, -0.0055, true, 3, 1},
    {"optSENW", "NW", "NW1/4 SE1/4", 200, -0.0018, true, 2, 2},
    {"optSENE", "NE", "NE1/4 SE1/4", 600, -0.0018, true, 2, 3},
    {"optSESW", "SW", "SW1/4 SE1/4", 200, -0.0055, true, 3, 2},
    {"optSESE", "SE", "SE1/4 SE1/4", 600, -0.0055, true, 3, 3},
}};

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

QString keyText(int number) {
    if (number >= 0 && number < smallestUnpaddedKey) return QStringLiteral("0") + QString::number(number);
    return QString::number(number);
}

TrsCheck checkTownship(const QString& text, const QString& direction) {
    const std::int16_t n = trsNumber(text);
    if (direction == kNorth && n > maxNorthTownship) return {false, kNorthTownshipMessage, 0, {}};
    if (n < smallestUnpaddedKey) return {true, {}, n, keyText(n)};
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

const std::array<QuarterOption, 25>& quarterOptions() { return kQuarterOptions; }

const QuarterOption* findQuarterOption(const QString& optionName) {
    for (const QuarterOption& option : kQuarterOptions)
        if (optionName == QLatin1String(option.optionName)) return &option;
    return nullptr;
}

}  // namespace waypost::conversion

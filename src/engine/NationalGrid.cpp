#include "engine/NationalGrid.h"

#include "engine/EngineConstants.h"
#include "engine/TransverseMercatorSeries.h"
#include "numbers/Numbers.h"

#include <array>
#include <cmath>
#include <stdexcept>

namespace waypost::engine {

namespace nb = waypost::numbers;

namespace {

constexpr std::int64_t squareSize = static_cast<std::int64_t>(usng::squareSizeMetres);

bool onWesternZoneMeridian(double longitude) {
    for (double meridian : utm::westernZoneMeridiansDegrees)
        if (longitude == meridian) return true;
    return false;
}

// Whole metres written with at least six digits; the grid digits are the last five.
std::string sixDigits(double wholeOrFractionalMetres) { return nb::formatPattern(wholeOrFractionalMetres, "000000"); }

// Zone numbers are written without padding (9R, not 09R). The texts of the
// possible zones are made once; they are the same for every call.
std::string zoneDesignation(int zone, char band) {
    static const std::array<std::string, utm::zoneCount + 2> zoneTexts = [] {
        std::array<std::string, utm::zoneCount + 2> texts;
        for (std::size_t z = 0; z < texts.size(); ++z) texts[z] = nb::formatFixed(static_cast<double>(z), 0);
        return texts;
    }();
    std::string gzd;
    gzd.reserve(24);
    if (zone >= 0 && static_cast<std::size_t>(zone) < zoneTexts.size())
        gzd = zoneTexts[static_cast<std::size_t>(zone)];
    else
        gzd = nb::formatFixed(zone, 0);
    if (band != '\0') gzd += band;
    return gzd;
}

}  // namespace

char latitudeBandLetter(double latitude) {
    for (const auto& band : usng::latitudeBands)
        if (latitude >= band.southDegrees && latitude < band.northDegrees) return band.letter;
    return '\0';
}

UtmPosition utmFromGeographic(double latitude, double longitude) {
    if (!(std::isfinite(latitude) && std::isfinite(longitude)))
        throw std::invalid_argument("latitude and longitude must be finite numbers");

    // Longitude wrapped into -180..180: (lon + 180) - Int((lon + 180) / 360) * 360 - 180.
    const double lonTemp = (longitude + 180) - std::floor((longitude + 180) / 360) * 360 - 180;
    const double zoneSteps = std::floor((lonTemp + 180) / utm::zoneWidthDegrees);
    if (!(zoneSteps >= 0 && zoneSteps <= utm::zoneCount))
        throw std::invalid_argument("longitude too large to wrap into -180..180 degrees");

    UtmPosition position;
    // A point on -78, -84 or -90 belongs to the zone west of it.
    position.zone = static_cast<int>(zoneSteps) + (onWesternZoneMeridian(lonTemp) ? 0 : 1);
    if (latitude >= utm::norwaySouthDegrees && latitude < utm::norwayNorthDegrees &&
        lonTemp >= utm::norwayWestDegrees && lonTemp < utm::norwayEastDegrees)
        position.zone = utm::norwayZone;

    position.centralMeridian = (position.zone - 1) * utm::zoneWidthDegrees - 180 + 3;
    position.letterSet = position.zone % usng::letterSetCount;
    if (position.letterSet == 0) position.letterSet = usng::letterSetCount;
    position.band = latitudeBandLetter(latitude);

    const GridCoordinates grid =
        TransverseMercatorSeries::Utm().Forward(latitude, lonTemp - position.centralMeridian);
    position.easting = grid.easting;
    position.northing = grid.northing;
    if (latitude < 0) position.northing += utm::southernFalseNorthingMetres;
    return position;
}

std::string utmText(const UtmPosition& position) {
    // A half metre rounds away from zero here.
    std::string text = zoneDesignation(position.zone, position.band);
    text += ' ';
    text += sixDigits(position.easting);
    text += ' ';
    text += sixDigits(position.northing);
    return text;
}

std::string nationalGridReference(const UtmPosition& position) {
    // A half metre rounds to the even neighbour here.
    const std::int64_t easting = nb::toWhole(position.easting);
    std::int64_t northing = nb::toWhole(position.northing);
    char band = position.band;
    // A point a few millimetres south of the equator can round onto it; the
    // reference is then the northern one, as no reader takes band M at the
    // equator's northing.
    const auto equator = static_cast<std::int64_t>(utm::southernFalseNorthingMetres);
    if (band != '\0' && band < 'N' && northing >= equator) {
        band = 'N';
        northing -= equator;
    }
    const std::string eastingText = sixDigits(static_cast<double>(easting));
    const std::string northingText = sixDigits(static_cast<double>(northing));

    std::string reference = zoneDesignation(position.zone, band);
    reference += ' ';
    reference += GridSquareLetters(position.letterSet, northing, easting);
    reference += ' ';
    reference.append(eastingText, eastingText.size() - usng::digitsPerCoordinate);
    reference += ' ';
    reference.append(northingText, northingText.size() - usng::digitsPerCoordinate);
    return reference;
}

GridTexts gridTexts(const UtmPosition& position) { return {nationalGridReference(position), utmText(position)}; }

NationalGridPoint usngFromGeographic(double latitude, double longitude) {
    NationalGridPoint point;
    point.position = utmFromGeographic(latitude, longitude);
    point.texts = gridTexts(point.position);
    return point;
}

std::string GridSquareLetters(int letterSet, std::int64_t northing, std::int64_t easting) {
    if (!(letterSet >= 1 && letterSet <= usng::letterSetCount))
        throw std::out_of_range("100 km square letter set must be 1 to 6");
    if (easting < 0) throw std::out_of_range("easting for the 100 km square letters must not be negative");

    // Row: whole 100 km steps in the absolute northing, plus one, brought into
    // 1..20 by taking 20 away as often as needed.
    const std::uint64_t absoluteNorthing =
        northing < 0 ? 0 - static_cast<std::uint64_t>(northing) : static_cast<std::uint64_t>(northing);
    auto row = static_cast<std::int64_t>(absoluteNorthing / static_cast<std::uint64_t>(squareSize)) + 1;
    if (row > usng::rowLettersPerSet) row = (row - 1) % usng::rowLettersPerSet + 1;

    // Column: whole 100 km steps in the easting; from 9 on take 8 away as often
    // as needed; a column of 0 becomes 7.
    std::int64_t column = easting / squareSize;
    if (column >= usng::columnLettersPerSet + 1) column = (column - 1) % usng::columnLettersPerSet + 1;
    if (column == 0) column = 7;

    const auto set = static_cast<std::size_t>(letterSet - 1);
    return {usng::setColumnLetters[set][static_cast<std::size_t>(column - 1)],
            usng::setRowLetters[set][static_cast<std::size_t>(row - 1)]};
}

}  // namespace waypost::engine

#include "engine/NationalGridInverse.h"

#include "engine/EngineConstants.h"
#include "engine/TransverseMercatorSeries.h"
#include "numbers/Numbers.h"

#include <algorithm>
#include <cmath>

namespace waypost::engine {

namespace nb = waypost::numbers;

namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

/// Position of a letter (compared in capitals) in a sequence, or -1.
int letterPosition(std::string_view sequence, char letter) {
    const auto at = sequence.find(upper(letter));
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

const usng::BandNorthing* bandNorthing(char band) {
    for (const auto& entry : usng::bandNorthings)
        if (entry.letter == upper(band)) return &entry;
    return nullptr;
}

/// The digits of a group scaled to metres: digits * 10^(5 - count).
/// Text that does not read as a finite number counts as 0.
double scaledDigits(std::string_view digits) {
    double value = nb::parseLenient(digits);
    if (!std::isfinite(value)) value = 0;
    const int shift = usng::digitsPerCoordinate - static_cast<int>(digits.size());
    return value * std::pow(10.0, shift);
}

/// Value rounded to 4 decimals the way the batch tables store it: as if
/// formatted with four decimals (a half away from zero) and read back.
double roundedToFourDecimals(double value) { return nb::roundFixed(value, 4); }

/// Shortest plain decimal; a negative longitude with fewer than three integer
/// digits gets one "0" after its minus sign.
std::string longitudeText(double longitude) {
    std::string text = nb::generalForm(longitude);
    if (longitude < 0 && text.size() > 1 && text[0] == '-') {
        const auto point = text.find('.');
        const std::size_t integerDigits = (point == std::string::npos ? text.size() : point) - 1;
        if (integerDigits < 3) text.insert(1, "0");
    }
    return text;
}

const usng::LatitudeBand* latitudeBand(char band) {
    for (const auto& entry : usng::latitudeBands)
        if (entry.letter == upper(band)) return &entry;
    return nullptr;
}

/// Empty when the 100 km square holding (\p easting, \p utmNorthing) reaches
/// into \p band, otherwise why the reference does not exist. A square that
/// straddles the band's edge is valid, as it is on the grid's own maps.
std::string bandMismatch(const usng::LatitudeBand& band, double latitude, double easting, double utmNorthing) {
    // The outermost bands reach half a degree further, where UTM overlaps the polar grid.
    const double south = band.letter == 'C' ? band.southDegrees - utm::polarOverlapDegrees : band.southDegrees;
    const double north = band.letter == 'X' ? band.northDegrees + utm::polarOverlapDegrees : band.northDegrees;
    if (latitude >= south && latitude < north) return {};
    // Along an edge of the square latitude changes monotonically away from the
    // central meridian (500 km), which is never inside a square: the corners
    // hold the square's lowest and highest latitudes.
    const double falseNorthing = band.southDegrees < 0 ? utm::southernFalseNorthingMetres : 0;
    const double west = std::floor(easting / usng::squareSizeMetres) * usng::squareSizeMetres;
    const double bottom = std::floor(utmNorthing / usng::squareSizeMetres) * usng::squareSizeMetres;
    double lowest = latitude;
    double highest = latitude;
    for (const double e : {west, west + usng::squareSizeMetres})
        for (const double n : {bottom, bottom + usng::squareSizeMetres}) {
            const double lat = TransverseMercatorSeries::Utm().Reverse(e, n - falseNorthing).latitude;
            lowest = std::min(lowest, lat);
            highest = std::max(highest, lat);
        }
    // Touching the band at one edge is not reaching into it.
    if (highest > south && lowest < north) return {};
    std::string reason = "the 100 km square lies outside latitude band ";
    reason += band.letter;
    reason += " (";
    reason += nb::generalForm(band.southDegrees);
    reason += " to ";
    reason += nb::generalForm(band.northDegrees);
    reason += " degrees)";
    return reason;
}

}  // namespace

std::string degreesMinutesSecondsText(double value, int degreeDigits) {
    // Minutes and seconds come from the magnitude; the sign goes with the degrees.
    const bool negative = value < 0;
    const double magnitude = std::abs(value);
    double degrees = std::trunc(magnitude);
    const double minutes = (magnitude - degrees) * 60;
    double wholeMinutes = std::trunc(minutes);
    const double seconds = (minutes - wholeMinutes) * 60;

    std::string secondsText = nb::formatPattern(seconds, "00.00");
    if (secondsText == "60.00") {
        // 59.995 seconds and more round up into the next minute.
        secondsText = "00.00";
        wholeMinutes += 1;
        if (wholeMinutes == 60) {
            wholeMinutes = 0;
            degrees += 1;
        }
    }
    const std::string degreePattern(static_cast<std::size_t>(degreeDigits < 1 ? 1 : degreeDigits), '0');

    std::string text = " ";
    if (negative) text += '-';
    text += nb::formatPattern(degrees, degreePattern);
    text += "° ";
    text += nb::formatPattern(wholeMinutes, "00");
    text += "' ";
    text += secondsText;
    text += "'' ";
    return text;
}

GeographicFromGrid geographicFromUsng(std::string_view zoneDesignation, std::string_view squareLetters,
                                      std::string_view eastingDigits, std::string_view northingDigits,
                                      InverseTexts texts) {
    GeographicFromGrid result;

    // Zone and band: with three characters the zone is the first two, else the first.
    const std::size_t zoneLength = zoneDesignation.size() == 3 ? 2 : 1;
    const double zoneValue = nb::parseLenient(zoneDesignation.substr(0, zoneLength));
    const int zone = static_cast<int>(std::trunc(zoneValue));  // at most two characters: |zone| < 100
    const char band = zoneDesignation.empty() ? '\0' : zoneDesignation.back();
    const usng::BandNorthing* bandRow = bandNorthing(band);
    result.zone = zone;

    const char columnLetter = squareLetters.size() >= 1 ? squareLetters[0] : '\0';
    const char rowLetter = squareLetters.size() >= 2 ? squareLetters[1] : '\0';

    // Easting: the column letter's place in A..Z without I and O, modulo 8, gives
    // the 100 km column (1..8).
    double easting = scaledDigits(eastingDigits);
    const int k = letterPosition(usng::columnSequence, columnLetter);
    if (k >= 0) easting = (k % usng::columnLettersPerSet + 1) * usng::squareSizeMetres + easting;

    // Northing: row letters count 100 km steps from the start of a 2000 km
    // segment; a value below the band's start lies in the next segment.
    const std::string_view rows = (zone % 2 != 0) ? usng::oddZoneRowSequence : usng::evenZoneRowSequence;
    const int r = letterPosition(rows, rowLetter);
    double approximate = bandRow ? bandRow->segmentStartMegametres : 0;
    if (r >= 0) approximate = approximate + r / 10.0;
    if (bandRow && approximate < bandRow->bandStartMegametres) approximate += usng::segmentHeightMegametres;
    const double utmNorthing = approximate * usng::metresPerMegametre + scaledDigits(northingDigits);

    // Bands C to M lie south of the equator, where northings carry the false northing.
    double northing = utmNorthing;
    if (bandRow && bandRow->southern) northing -= utm::southernFalseNorthingMetres;

    const double centralMeridian = (zone - 1) * utm::zoneWidthDegrees - 180 + 3;
    const SeriesGeographic geo = TransverseMercatorSeries::Utm().Reverse(easting, northing);
    result.seriesLatitude = geo.latitude;
    result.seriesLongitude = centralMeridian + geo.longitudeOffset;
    result.easting = easting;
    result.northing = utmNorthing;

    if (const usng::LatitudeBand* named = latitudeBand(band))
        result.bandError = bandMismatch(*named, geo.latitude, easting, utmNorthing);

    result.latitude = roundedToFourDecimals(result.seriesLatitude);
    result.longitude = roundedToFourDecimals(result.seriesLongitude);
    result.text = longitudeText(result.longitude);
    result.text += ' ';
    result.text += nb::generalForm(result.latitude);
    if (texts == InverseTexts::LongitudeLatitude) return result;
    result.latitudeDMS = degreesMinutesSecondsText(result.latitude, 2);
    result.longitudeDMS = degreesMinutesSecondsText(result.longitude, 3);

    std::string gzd(zoneDesignation);
    for (char& c : gzd) c = upper(c);
    result.utmText = gzd;
    result.utmText += ' ';
    result.utmText += nb::formatPattern(easting, "000000");
    result.utmText += ' ';
    result.utmText += nb::formatPattern(utmNorthing, "000000");
    return result;
}

}  // namespace waypost::engine

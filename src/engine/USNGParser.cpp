#include "engine/USNGParser.h"

#include "engine/EngineConstants.h"

#include <algorithm>
#include <string>

namespace waypost::engine {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool allDigits(std::string_view text) { return std::all_of(text.begin(), text.end(), isDigit); }
char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

bool isBandLetter(char c) {
    const char u = upper(c);
    return std::any_of(usng::latitudeBands.begin(), usng::latitudeBands.end(),
                       [u](const usng::LatitudeBand& band) { return band.letter == u; });
}

USNGParseResult failure(std::string reason) {
    USNGParseResult result;
    result.error = std::move(reason);
    return result;
}

}  // namespace

USNGParseResult USNGParser(std::string_view reference) {
    // Every blank removed, a tab or line end inside as much as one between the pieces.
    std::string text;
    text.reserve(reference.size());
    for (char c : reference)
        if (!isSpace(c)) text += c;

    const std::size_t length = text.size();
    if (length == 0) return failure("the reference is empty");
    if (length < 5) return failure("shorter than five characters");

    const std::string_view s = text;
    // Two-digit zone ("16RGU..."): the first two characters are digits, the third
    // is not. Every well-formed reference splits here exactly as by the fuller
    // test (square letters not digits, the rest all digits); deciding by the
    // zone alone lets a malformed one be refused for what is really wrong with it.
    const bool twoDigitZone = isDigit(s[0]) && isDigit(s[1]) && !isDigit(s[2]);
    const std::size_t zoneLength = twoDigitZone ? 3 : 2;
    const std::string_view zone = s.substr(0, zoneLength);
    const std::string_view square = s.substr(zoneLength, 2);
    const std::string_view digits = s.substr(zoneLength + 2);

    const std::string_view zoneNumber = zone.substr(0, zoneLength - 1);
    if (!allDigits(zoneNumber)) return failure("the grid zone designation does not start with a zone number");
    const int zoneValue = twoDigitZone ? (zoneNumber[0] - '0') * 10 + (zoneNumber[1] - '0') : zoneNumber[0] - '0';
    if (zoneValue < 1 || zoneValue > utm::zoneCount) return failure("the zone number is not 1 to 60");
    if (!isBandLetter(zone.back())) return failure("the latitude band letter is not one of C to X (without I and O)");
    if (usng::columnSequence.find(upper(square[0])) == std::string_view::npos ||
        usng::oddZoneRowSequence.find(upper(square[1])) == std::string_view::npos)
        return failure("the 100 km square letters are not grid letters");
    // Each zone uses one third of the column letters: zones 1, 4, 7 ... A to H,
    // zones 2, 5, 8 ... J to R, zones 3, 6, 9 ... S to Z.
    const auto column = static_cast<int>(usng::columnSequence.find(upper(square[0])));
    const int set = (zoneValue - 1) % usng::letterSetsOfColumns;
    if (column / usng::columnLettersPerSet != set) {
        const std::string_view letters = usng::columnSequence.substr(
            static_cast<std::size_t>(set * usng::columnLettersPerSet), usng::columnLettersPerSet);
        std::string reason = "the column letter ";
        reason += upper(square[0]);
        reason += " is not one of zone ";
        reason += std::to_string(zoneValue);
        reason += "'s (";
        reason += letters.front();
        reason += " to ";
        reason += letters.back();
        reason += ')';
        return failure(reason);
    }
    if (!allDigits(digits)) return failure("the digit part holds a character that is not a digit");
    if (digits.size() % 2 != 0)
        return failure("an odd number of digits: the easting and northing need the same number");
    // Sub-metre references (six to eight digits each) scale like the others.
    if (digits.size() > 2 * static_cast<std::size_t>(usng::maxDigitsPerCoordinate))
        return failure("more than sixteen digits");

    const std::size_t half = digits.size() / 2;
    USNGParseResult result;
    result.pieces = USNGPieces{std::string(zone), std::string(square), std::string(digits.substr(0, half)),
                               std::string(digits.substr(half))};
    return result;
}

}  // namespace waypost::engine

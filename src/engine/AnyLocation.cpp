#include "engine/AnyLocation.h"

#include "engine/NationalGrid.h"
#include "engine/NationalGridInverse.h"
#include "engine/TransverseMercatorSeries.h"
#include "engine/USNGParser.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

namespace waypost::engine {
namespace {

// Internal marks for the degree, minute and second symbols (never typed).
constexpr char kDegreeMark = '\x01';
constexpr char kMinuteMark = '\x02';
constexpr char kSecondMark = '\x03';
constexpr double kSouthernFalseNorthing = 10000000;

struct Token {
    enum Kind { Number, Letter, Mark, Comma } kind = Number;
    double value = 0;
    bool decimals = false;
    bool negative = false;
    char symbol = 0;  ///< the letter (N, S, E, W) or the mark
};

/// One coordinate as typed: its parts, its letter and its sign.
struct Coordinate {
    std::vector<Token> numbers;
    char letter = 0;
    double value = 0;  ///< signed degrees
};

LocationReading refused(std::string reason) {
    LocationReading r;
    r.error = std::move(reason);
    return r;
}

/// The text with the typographic symbols turned into the internal marks.
std::string withMarks(std::string_view text) {
    struct Symbol {
        std::string_view spelling;
        char mark;
    };
    static constexpr Symbol symbols[] = {
        {"\xC2\xB0", kDegreeMark}, {"\xC2\xBA", kDegreeMark}, {"\xE2\x80\xB2", kMinuteMark},
        {"\xE2\x80\x99", kMinuteMark}, {"\xE2\x80\xB3", kSecondMark}, {"\xE2\x80\x9D", kSecondMark},
        {"''", kSecondMark}, {"'", kMinuteMark}, {"\"", kSecondMark}};
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool matched = false;
        for (const Symbol& s : symbols) {
            if (text.substr(i, s.spelling.size()) == s.spelling) {
                out += s.mark;
                i += s.spelling.size();
                matched = true;
                break;
            }
        }
        if (!matched) out += text[i++];
    }
    return out;
}

std::optional<std::vector<Token>> tokens(const std::string& text, std::string& error) {
    std::vector<Token> list;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == ':' || c == ';' || c == '\r' || c == '\n') {
            ++i;
        } else if (c == ',') {
            list.push_back({Token::Comma});
            ++i;
        } else if (c == kDegreeMark || c == kMinuteMark || c == kSecondMark) {
            list.push_back({Token::Mark, 0, false, false, c});
            ++i;
        } else if (std::string_view("NSEWnsew").find(c) != std::string_view::npos) {
            list.push_back({Token::Letter, 0, false, false, static_cast<char>(c & ~0x20)});
            ++i;
        } else if ((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+') {
            Token t;
            std::size_t start = i;
            if (c == '-' || c == '+') {
                t.negative = c == '-';
                ++start;
            }
            std::size_t end = start;
            while (end < text.size() && ((text[end] >= '0' && text[end] <= '9') || text[end] == '.')) ++end;
            const std::string_view digits(text.data() + start, end - start);
            const auto [stop, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), t.value);
            if (digits.empty() || ec != std::errc() || stop != digits.data() + digits.size()) {
                error = "\"" + std::string(text.substr(i, std::max<std::size_t>(end - i, 1))) + "\" is not a number";
                return std::nullopt;
            }
            t.decimals = digits.find('.') != std::string_view::npos;
            list.push_back(t);
            i = end;
        } else {
            error = "\"" + std::string(1, c) + "\" has no place in a location";
            return std::nullopt;
        }
    }
    return list;
}

/// Splits the tokens into the two coordinates; refuses when the split cannot be told.
std::optional<std::vector<std::vector<Token>>> split(const std::vector<Token>& list, std::string& error) {
    std::vector<std::vector<Token>> groups(1);
    std::size_t commas = 0, letters = 0, degreeMarks = 0, numbers = 0;
    for (const Token& t : list) {
        commas += t.kind == Token::Comma;
        letters += t.kind == Token::Letter;
        degreeMarks += t.kind == Token::Mark && t.symbol == kDegreeMark;
        numbers += t.kind == Token::Number;
    }
    if (commas > 1) {
        error = "more than one comma: a location is two coordinates";
        return std::nullopt;
    }
    if (commas == 1) {
        for (const Token& t : list) {
            if (t.kind == Token::Comma) groups.emplace_back();
            else groups.back().push_back(t);
        }
    } else if (letters == 2) {
        // Letters before the numbers ("N30 26.30 W84 16.84") or after them ("30 26 18 N 84 16 51 W").
        const bool prefix = list.front().kind == Token::Letter;
        for (const Token& t : list) {
            if (prefix && t.kind == Token::Letter && !groups.back().empty()) groups.emplace_back();
            groups.back().push_back(t);
            if (!prefix && t.kind == Token::Letter) groups.emplace_back();
        }
        if (!prefix && groups.back().empty()) groups.pop_back();
    } else if (degreeMarks == 2) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            const bool startsDegrees = list[i].kind == Token::Number && i + 1 < list.size() &&
                                       list[i + 1].kind == Token::Mark && list[i + 1].symbol == kDegreeMark;
            if (startsDegrees && !groups.back().empty()) groups.emplace_back();
            groups.back().push_back(list[i]);
        }
    } else if (letters == 0 && degreeMarks == 0 && (numbers == 2 || numbers == 4 || numbers == 6)) {
        for (const Token& t : list) {
            if (t.kind == Token::Mark) continue;
            groups.back().push_back(t);
            if (groups.size() == 1 && groups.back().size() == numbers / 2) groups.emplace_back();
        }
    } else {
        error = "cannot tell where the latitude ends and the longitude begins (separate them with a comma)";
        return std::nullopt;
    }
    if (groups.size() != 2 || groups[0].empty() || groups[1].empty()) {
        error = "cannot tell where the latitude ends and the longitude begins (separate them with a comma)";
        return std::nullopt;
    }
    return groups;
}

std::optional<Coordinate> coordinate(const std::vector<Token>& group, std::string& error) {
    Coordinate c;
    char expectedMark = kDegreeMark;
    for (const Token& t : group) {
        if (t.kind == Token::Letter) {
            if (c.letter) {
                error = "two hemisphere letters in one coordinate";
                return std::nullopt;
            }
            c.letter = t.symbol;
        } else if (t.kind == Token::Number) {
            if (c.numbers.size() == 3) {
                error = "more than degrees, minutes and seconds in one coordinate";
                return std::nullopt;
            }
            if (!c.numbers.empty() && c.numbers.back().decimals) {
                error = "only the last part of a coordinate may have decimals";
                return std::nullopt;
            }
            if (!c.numbers.empty() && t.negative) {
                error = "a minus sign belongs before the degrees";
                return std::nullopt;
            }
            c.numbers.push_back(t);
            expectedMark = c.numbers.size() == 1 ? kDegreeMark : c.numbers.size() == 2 ? kMinuteMark : kSecondMark;
        } else if (t.kind == Token::Mark) {
            if (c.numbers.empty() || t.symbol != expectedMark) {
                error = "the degree, minute and second symbols are out of order";
                return std::nullopt;
            }
        }
    }
    if (c.numbers.empty()) {
        error = "a coordinate has no number";
        return std::nullopt;
    }
    const char* names[] = {"degrees", "minutes", "seconds"};
    double value = 0;
    for (std::size_t i = 0; i < c.numbers.size(); ++i) {
        const double part = c.numbers[i].value;
        if (i > 0 && part >= 60) {
            error = std::to_string(static_cast<long long>(part)) + " " + names[i] + ": " + names[i] +
                    " run from 0 to 59";
            return std::nullopt;
        }
        value += part / std::pow(60.0, static_cast<double>(i));
    }
    const bool negative = c.numbers.front().negative;
    if (negative && (c.letter == 'N' || c.letter == 'E')) {
        error = std::string("the minus sign and the letter ") + c.letter + " disagree";
        return std::nullopt;
    }
    c.value = (negative || c.letter == 'S' || c.letter == 'W') ? -value : value;
    return c;
}

std::string numberText(double v) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

LocationReading fromDegrees(std::string_view text) {
    std::string error;
    const auto list = tokens(withMarks(text), error);
    if (!list) return refused(error);
    if (list->empty()) return refused("nothing to read");
    const auto groups = split(*list, error);
    if (!groups) return refused(error);
    const auto first = coordinate((*groups)[0], error);
    if (!first) return refused(error);
    const auto second = coordinate((*groups)[1], error);
    if (!second) return refused(error);

    const auto isLatitude = [](char letter) { return letter == 'N' || letter == 'S'; };
    const auto isLongitude = [](char letter) { return letter == 'E' || letter == 'W'; };
    bool firstIsLatitude = true;
    if (first->letter && second->letter) {
        if (isLatitude(first->letter) == isLatitude(second->letter))
            return refused(std::string("both coordinates are ") +
                           (isLatitude(first->letter) ? "latitudes (N/S)" : "longitudes (E/W)") +
                           ": the order cannot be told");
        firstIsLatitude = isLatitude(first->letter);
    } else if (first->letter) {
        firstIsLatitude = isLatitude(first->letter);
    } else if (second->letter) {
        firstIsLatitude = isLongitude(second->letter);
    }
    const Coordinate& latitude = firstIsLatitude ? *first : *second;
    const Coordinate& longitude = firstIsLatitude ? *second : *first;
    if (!(std::abs(latitude.value) <= 90)) return refused("latitude " + numberText(latitude.value) + " is beyond 90");
    if (!(std::abs(longitude.value) <= 180))
        return refused("longitude " + numberText(longitude.value) + " is beyond 180");

    LocationReading r;
    r.ok = true;
    r.latitude = latitude.value;
    r.longitude = longitude.value;
    const std::size_t parts = std::max(latitude.numbers.size(), longitude.numbers.size());
    r.form = parts == 1 ? "decimal degrees" : parts == 2 ? "degrees and decimal minutes" : "degrees, minutes and seconds";
    return r;
}

std::string withoutBlanks(std::string_view text) {
    std::string out;
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
    return out;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

/// "16RGU..." (zone, band, two square letters): a US National Grid reference.
bool looksLikeGridReference(const std::string& compact) {
    std::size_t zoneDigits = 0;
    while (zoneDigits < compact.size() && zoneDigits < 2 && isDigit(compact[zoneDigits])) ++zoneDigits;
    return zoneDigits > 0 && compact.size() >= zoneDigits + 3 && isLetter(compact[zoneDigits]) &&
           isLetter(compact[zoneDigits + 1]) && isLetter(compact[zoneDigits + 2]);
}

LocationReading fromGridReference(const std::string& compact) {
    const USNGParseResult parsed = USNGParser(compact);
    if (!parsed.ok()) return refused(parsed.error);
    const USNGPieces& p = *parsed.pieces;
    const std::size_t digits = p.eastingDigits.size();
    if (digits == 0) return refused("a 100 km square is not a location: give at least one digit for each coordinate");
    if (digits > 5) return refused("more digits than 1 m: give at most five for each coordinate");
    const GeographicFromGrid geo = geographicFromUsng(p.zoneDesignation, p.squareLetters, p.eastingDigits,
                                                      p.northingDigits, InverseTexts::LongitudeLatitude);
    if (!geo.bandError.empty()) return refused(geo.bandError);
    static const char* const precision[] = {"", "10 km", "1 km", "100 m", "10 m", "1 m"};
    LocationReading r;
    r.ok = true;
    r.latitude = geo.seriesLatitude;
    r.longitude = geo.seriesLongitude;
    r.form = std::string("US National Grid, ") + precision[digits];
    return r;
}

/// "16R 761158 3370495", "16N 761158 3370495", "16 north 761158 3370495".
std::optional<LocationReading> fromUtm(std::string_view text) {
    std::string lower;
    for (const char c : text) lower += static_cast<char>((c >= 'A' && c <= 'Z') ? c + 32 : c);
    std::size_t at = 0;
    const auto skip = [&] {
        while (at < lower.size() && (lower[at] == ' ' || lower[at] == '\t')) ++at;
    };
    const auto number = [&](bool decimals) -> std::optional<double> {
        skip();
        const std::size_t start = at;
        while (at < lower.size() && (isDigit(lower[at]) || (decimals && lower[at] == '.'))) ++at;
        double v = 0;
        const auto [end, ec] = std::from_chars(lower.data() + start, lower.data() + at, v);
        if (at == start || ec != std::errc() || end != lower.data() + at) return std::nullopt;
        return v;
    };
    const auto zone = number(false);
    if (!zone) return std::nullopt;
    skip();
    std::string designator;
    while (at < lower.size() && isLetter(lower[at])) designator += lower[at++];
    if (designator.empty()) return std::nullopt;
    const auto easting = number(true);
    const auto northing = number(true);
    skip();
    if (!easting || !northing || at != lower.size()) return std::nullopt;

    if (*zone < 1 || *zone > 60) return refused("UTM zone " + numberText(*zone) + " is not 1 to 60");
    if (*easting < 100000 || *easting > 900000)
        return refused("UTM easting " + numberText(*easting) + " m lies outside any zone (100000 to 900000)");
    bool southern = false;
    char band = 0;
    if (designator == "north" || designator == "n") {
        southern = false;
    } else if (designator == "south") {
        southern = true;
    } else if (designator.size() == 1 && std::string_view("cdefghjklmpqrstuvwx").find(designator[0]) !=
                                             std::string_view::npos) {
        band = static_cast<char>(designator[0] - 32);
        southern = band < 'N';
    } else {
        return refused("\"" + designator + "\" is neither a latitude band (C to X) nor north or south");
    }
    const double centralMeridian = (*zone - 1) * 6 - 180 + 3;
    const double reducedNorthing = southern ? *northing - kSouthernFalseNorthing : *northing;
    const SeriesGeographic geo = TransverseMercatorSeries::Utm().Reverse(*easting, reducedNorthing);
    if (!(std::abs(geo.latitude) <= 84.5))
        return refused("UTM northing " + numberText(*northing) + " m lies beyond the UTM grid");
    if (band && band != 'N' && band != 'S' && latitudeBandLetter(geo.latitude) != band)
        return refused(std::string("the northing lies in band ") + latitudeBandLetter(geo.latitude) + ", not " + band);
    SeriesGeographic chosen = geo;
    if (band == 'S') {
        // S may be band S (32 to 40 north) or the southern hemisphere: refuse
        // unless only one of them can hold the northing.
        const SeriesGeographic south = TransverseMercatorSeries::Utm().Reverse(*easting, *northing - kSouthernFalseNorthing);
        const bool bandS = latitudeBandLetter(geo.latitude) == 'S';
        const bool hemisphere = south.latitude < 0 && south.latitude >= -80;
        if (bandS && hemisphere)
            return refused("\"S\" may be band S or the southern hemisphere: write \"north\" or \"south\" after the zone");
        if (!bandS) chosen = south;
    }
    LocationReading r;
    r.ok = true;
    r.latitude = chosen.latitude;
    r.longitude = centralMeridian + chosen.longitudeOffset;
    r.form = "UTM";
    return r;
}

}  // namespace

DmsParts dmsParts(double value) {
    const long long hundredths = std::llround(std::abs(value) * 360000.0);
    DmsParts p;
    p.hundredths = static_cast<int>(hundredths % 100);
    p.seconds = static_cast<int>((hundredths / 100) % 60);
    p.minutes = static_cast<int>((hundredths / 6000) % 60);
    p.degrees = static_cast<int>(hundredths / 360000);
    return p;
}

LocationReading readAnyLocation(std::string_view text) {
    const std::string compact = withoutBlanks(text);
    if (compact.empty()) return refused("nothing to read");
    LocationReading r;
    if (std::optional<LocationReading> utm = fromUtm(text)) {
        r = std::move(*utm);
    } else if (looksLikeGridReference(compact)) {
        r = fromGridReference(compact);
    } else {
        r = fromDegrees(text);
    }
    if (!r.ok) return r;
    // The page's fields hold hundredths of a second; its labels add them up so.
    r.latitudeParts = dmsParts(r.latitude);
    r.longitudeParts = dmsParts(r.longitude);
    const auto total = [](const DmsParts& p) {
        return p.degrees + (p.minutes / 60.0 + p.seconds / 3600.0 + (p.hundredths / 3600.0) * 0.01);
    };
    r.partsLatitude = r.latitude < 0 ? -total(r.latitudeParts) : total(r.latitudeParts);
    r.partsLongitude = r.longitude < 0 ? -total(r.longitudeParts) : total(r.longitudeParts);
    return r;
}

}  // namespace waypost::engine

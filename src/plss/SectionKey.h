#pragma once
// Public Land Survey System section keys and the parts of a section: the key
// under which the section databases store a section ("T01N R05W S12") and the
// quarters, halves and quarter-quarters with the offsets of their centres.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace waypost::plss {

/// Numbers from this one on are written without a leading zero.
inline constexpr int smallestUnpaddedKey = 10;

/// A number as key text: below 10 with one leading zero (5 -> "05", 0 -> "00"),
/// otherwise plain digits without padding (12 -> "12", 1234 -> "1234").
[[nodiscard]] std::string keyText(int number);

/// "T" + township + direction + " R" + range + direction + " S" + section,
/// each number as keyText: sectionKey(1, 'N', 5, 'W', 12) == "T01N R05W S12".
[[nodiscard]] std::string sectionKey(int township, char townshipDirection, int range, char rangeDirection,
                                     int section);

/// A key read from text, and what follows it.
struct KeyReading {
    std::string key;   ///< as the databases store it: "T01N R05W S12"
    std::string rest;  ///< the text after the key, without blanks around it
};

/// Reads a key written with or without padding, blanks and capitals
/// ("t1n r5w s12", "T01N R05W S12 NE1/4"); nothing when \p text does not
/// begin with one. Townships and ranges have up to two digits, sections up to four.
[[nodiscard]] std::optional<KeyReading> readSectionKey(std::string_view text);

/// One part of a section that can be chosen: a quarter, a half, the centre or
/// a quarter of a quarter.
struct QuarterOption {
    const char* optionName;   ///< the page's option button: "optNESW"
    const char* caption;      ///< its caption (a quarter-quarter's caption once they are enabled)
    const char* description;  ///< readable name of the part: "SW1/4NE1/4"
    int longitudeOffsetMetres;     ///< east (+) or west (-) of the section centre
    double latitudeOffsetDegrees;  ///< north (+) or south (-) of the section centre
    bool quarterQuarter;           ///< one of the sixteen quarter-quarters
    int row;     ///< place in the section square: 0..2 for the nine, 0..3 for the sixteen
    int column;  ///< likewise, west to east
};

/// The nine quarters, halves and centre (north row first), then the sixteen
/// quarter-quarters (quarter by quarter: NW, NE, SW, SE).
[[nodiscard]] const std::array<QuarterOption, 25>& quarterOptions();

/// The part whose description is \p text, compared without blanks and case:
/// "NE1/4", "nw1/4 sw1/4", "CENTER". Nothing when no part is named so.
[[nodiscard]] const QuarterOption* findQuarterByDescription(std::string_view text);

}  // namespace waypost::plss

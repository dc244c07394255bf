#pragma once
// Splitting a US National Grid reference into the four pieces the inverse takes.

#include <optional>
#include <string>
#include <string_view>

namespace waypost::engine {

/// The four pieces of a reference, as typed (letters keep their case).
struct USNGPieces {
    std::string zoneDesignation;  ///< "16R", "9R"
    std::string squareLetters;    ///< "GU"
    std::string eastingDigits;    ///< "61158" (as many digits as the northing)
    std::string northingDigits;   ///< "70495"
};

/// Either the pieces or the reason the text cannot be a reference.
struct USNGParseResult {
    std::optional<USNGPieces> pieces;
    std::string error;  ///< empty when pieces holds a value
    [[nodiscard]] bool ok() const { return pieces.has_value(); }
};

/// Splits a reference written with or without blanks ("16R GU 61158 70495",
/// "16RGU6115870495", "9rgu1234").
///
/// Every blank (any white space: blanks, tabs, line ends) is removed. The zone has two digits when
/// the first two characters are digits and the third is not, otherwise one;
/// then come the two square letters and the digits. The digits are halved: the
/// first half is the easting, the second the northing.
///
/// Rejected, with the reason in `error`: an empty text; fewer than five
/// characters; a zone that is not 1 to 60; a band letter that is not one of
/// C to X (without I and O); square letters outside the grid's letters (A to Z
/// without I and O for the column, A to V without I and O for the row); a
/// column letter outside its zone's third of them (zones 1, 4, 7 ... A to H;
/// 2, 5, 8 ... J to R; 3, 6, 9 ... S to Z); a
/// non-digit in the digit part; an odd number of digits (the easting and the
/// northing must have the same precision); more than sixteen digits (a
/// millimetre). Six to eight digits a coordinate are sub-metre and accepted. A reference
/// with no digits at all ("16RGU") names the south-west corner of its 100 km
/// square and is accepted. Letters are accepted in either case.
[[nodiscard]] USNGParseResult USNGParser(std::string_view reference);

}  // namespace waypost::engine

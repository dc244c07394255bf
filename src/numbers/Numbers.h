#pragma once
// The number rules every window, record file and log shares: how a typed text
// is read, how a value is rounded and how it is written back as text.
//
// Standard C++ only, so the coordinate engine and the command-line tool use the
// same rules as the windows.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace waypost::numbers {

/// The leading number of a text, as a lenient reader takes it: leading blanks
/// are skipped, then an optional sign, digits with an optional decimal point
/// and an optional exponent ("1e3" is 1000). Anything after the number is
/// ignored; a text without a leading number (including "") is 0.
/// Examples: "12abc" -> 12, ".5" -> 0.5, "-0.5" -> -0.5, "abc" -> 0.
double parseLenient(std::string_view text);

/// \p value with exactly \p decimals decimals (0..15), a half rounding away from
/// zero (0.125 -> "0.13", -2.5 at 0 decimals -> "-3"). The value is rounded as
/// its shortest decimal form reads, so 2.675 -> "2.68". A result that rounds to
/// zero has no minus sign. NaN gives "NaN", infinities "Infinity"/"-Infinity".
std::string formatFixed(double value, int decimals);

/// \p value rounded as formatFixed(value, decimals) writes it, read back as a
/// number (without making the text): roundFixed(2.675, 2) == 2.68. A result
/// of zero has no sign; NaN and infinities come back unchanged.
double roundFixed(double value, int decimals);

/// Conversion to a whole number: a half goes to the even neighbour
/// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). Values beyond the 64-bit range and NaN
/// throw std::out_of_range.
std::int64_t toWhole(double value);

/// toWhole(value) when the whole number lies from \p lowest to \p highest;
/// std::nullopt otherwise, NaN and infinities included. Read a typed or
/// imported number through this before it reaches a narrower type.
std::optional<std::int64_t> wholeWithin(double value, std::int64_t lowest, std::int64_t highest);

/// The general decimal form used in logs, SQL texts and labels: up to 15
/// significant digits, no trailing zeros, no exponent for magnitudes from
/// 1e-4 up to 1e15 (outside that, "1.5E+20" / "1E-05"). -0 gives "0".
std::string generalForm(double value);

/// Formats \p value with a display pattern made of '0' (a digit always shown),
/// '#' (a digit shown when significant), ',' (thousands grouping anywhere in the
/// integer part), one optional '.' and an optional trailing '%' (value times
/// 100). Decimals round a half away from zero; a minus sign goes before the
/// padded digits. Examples: "00.000000" on 30.5 -> "30.500000";
/// "000.000000" on -84.25 -> "-084.250000"; "##,##0.00" on 1234.5 ->
/// "1,234.50"; "0.00%" on 0.125 -> "12.50%".
std::string formatPattern(double value, std::string_view pattern);

/// Percent with two decimals ("12.50%"), the form the windows call Percent.
std::string formatPercent(double value);

}  // namespace waypost::numbers

#include "numbers/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace waypost::numbers {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A finite magnitude as the digits of its shortest round-trip decimal form and
// the position of the decimal point: value = 0.<digits> * 10^pointPos. Kept
// in a fixed buffer: the rounding rules run for every value of a batch.
struct DecimalDigits {
    char digits[24];  // at most 17 significant digits
    int count = 0;
    int pointPos = 0;
};

DecimalDigits shortestDigits(double magnitude) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    DecimalDigits out;
    const auto e = text.find('e');
    for (char c : text.substr(0, e))
        if (isDigit(c) && out.count < static_cast<int>(sizeof out.digits)) out.digits[out.count++] = c;
    int exponent = 0;
    std::string_view exp = text.substr(e + 1);
    if (!exp.empty() && exp.front() == '+') exp.remove_prefix(1);
    std::from_chars(exp.data(), exp.data() + exp.size(), exponent);
    out.pointPos = exponent + 1;
    return out;
}

// The magnitude rounded to \p decimals decimals, a half away from zero, as
// plain digits with a decimal point ("0.13", "3") written into \p out (room
// for 360 characters: a double's whole part and 15 decimals). Never has a
// sign. Returns the length.
std::size_t roundedMagnitude(double magnitude, int decimals, char* out) {
    const DecimalDigits d = shortestDigits(magnitude);
    // Digits of magnitude * 10^decimals that stay before the rounding position.
    const long keep = static_cast<long>(d.pointPos) + decimals;
    // The rounded value times 10^decimals, as digits, with one place in front for a carry.
    char scaled[360];
    long n = 0;
    scaled[n++] = '0';
    if (keep >= 0) {
        for (long i = 0; i < keep; ++i) scaled[n++] = i < d.count ? d.digits[i] : '0';
        if (keep < d.count && d.digits[keep] >= '5') {
            // Add one unit in the last kept place, carrying leftwards.
            for (long i = n - 1; i >= 0; --i) {
                if (scaled[i] == '9') {
                    scaled[i] = '0';
                } else {
                    ++scaled[i];
                    break;
                }
            }
        }
    }
    // Leading zeros off, then at least decimals + 1 digits, then the decimal point.
    long first = 0;
    while (first < n - 1 && scaled[first] == '0') ++first;
    const long digits = n - first;
    const long width = digits < decimals + 1 ? decimals + 1 : digits;
    std::size_t len = 0;
    for (long i = 0; i < width; ++i) {
        if (decimals > 0 && i == width - decimals) out[len++] = '.';
        const long from = first + i - (width - digits);
        out[len++] = from < first ? '0' : scaled[from];
    }
    return len;
}

std::string roundedMagnitude(double magnitude, int decimals) {
    char buf[400];
    return std::string(buf, roundedMagnitude(magnitude, decimals, buf));
}

bool hasNonZeroDigit(std::string_view text) {
    for (char c : text)
        if (c >= '1' && c <= '9') return true;
    return false;
}

std::string nonFinite(double value) {
    if (std::isnan(value)) return "NaN";
    return value < 0 ? "-Infinity" : "Infinity";
}

}  // namespace

double parseLenient(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t numberStart = i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    // An exponent counts only when digits follow it ("1e3", not "1e").
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) ++j;
            i = j;
        }
    }
    double value = 0.0;
    const std::string_view number = text.substr(numberStart, i - numberStart);
    const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        // Beyond the range of a double: a tiny value reads as 0, a huge one as infinity.
        const bool tiny = number.find("e-") != std::string_view::npos ||
                          number.find("E-") != std::string_view::npos ||
                          !hasNonZeroDigit(number.substr(0, number.find('.')));
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

std::string formatFixed(double value, int decimals) {
    if (decimals < 0 || decimals > 15) throw std::invalid_argument("formatFixed: decimals must be 0..15");
    if (!std::isfinite(value)) return nonFinite(value);
    std::string text = roundedMagnitude(std::fabs(value), decimals);
    if (std::signbit(value) && hasNonZeroDigit(text)) text.insert(text.begin(), '-');
    return text;
}

double roundFixed(double value, int decimals) {
    if (decimals < 0 || decimals > 15) throw std::invalid_argument("roundFixed: decimals must be 0..15");
    if (!std::isfinite(value)) return value;
    char buf[400];
    const std::size_t len = roundedMagnitude(std::fabs(value), decimals, buf);
    double rounded = 0;
    std::from_chars(buf, buf + len, rounded);
    return std::signbit(value) && rounded != 0 ? -rounded : rounded;
}

std::int64_t toWhole(double value) {
    // 2^63 is exactly representable; everything strictly inside fits.
    constexpr double limit = 9223372036854775808.0;
    const double rounded = std::nearbyint(value);  // default mode: a half to even
    if (!(rounded >= -limit && rounded < limit))
        throw std::out_of_range("toWhole: value is out of the whole-number range");
    return static_cast<std::int64_t>(rounded);
}

std::optional<std::int64_t> wholeWithin(double value, std::int64_t lowest, std::int64_t highest) {
    const double rounded = std::nearbyint(value);
    // Compared as doubles first, so that no conversion can overflow (2^63 is exact).
    constexpr double limit = 9223372036854775808.0;
    if (!(rounded >= -limit && rounded < limit)) return std::nullopt;
    if (!(rounded >= static_cast<double>(lowest) && rounded <= static_cast<double>(highest))) return std::nullopt;
    const std::int64_t whole = toWhole(rounded);
    if (whole < lowest || whole > highest) return std::nullopt;
    return whole;
}

std::string generalForm(double value) {
    if (!std::isfinite(value)) return nonFinite(value);
    if (value == 0.0) return "0";
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string text(buf, res.ptr);
    const auto e = text.find('e');
    if (e != std::string::npos) {
        // 1.5e+20 -> 1.5E+20, 1e-05 -> 1E-05
        text[e] = 'E';
    }
    return text;
}

std::string formatPattern(double value, std::string_view pattern) {
    bool percent = false;
    if (!pattern.empty() && pattern.back() == '%') {
        percent = true;
        pattern.remove_suffix(1);
    }
    const auto dot = pattern.find('.');
    const std::string_view intPart = pattern.substr(0, dot);
    const std::string_view fracPart = dot == std::string_view::npos ? std::string_view{} : pattern.substr(dot + 1);
    int minInt = 0;
    bool grouping = false;
    for (char c : intPart) {
        if (c == '0') ++minInt;
        else if (c == ',') grouping = true;
        else if (c != '#') throw std::invalid_argument("formatPattern: unsupported pattern character");
    }
    int minDec = 0;
    int maxDec = 0;
    for (char c : fracPart) {
        if (c == '0') ++minDec, ++maxDec;
        else if (c == '#') ++maxDec;
        else throw std::invalid_argument("formatPattern: unsupported pattern character");
    }
    if (maxDec > 15) throw std::invalid_argument("formatPattern: at most 15 decimals");
    if (percent) value *= 100.0;
    if (!std::isfinite(value)) return nonFinite(value);

    std::string text = roundedMagnitude(std::fabs(value), maxDec);
    std::string whole = text;
    std::string frac;
    if (const auto p = text.find('.'); p != std::string::npos) {
        whole = text.substr(0, p);
        frac = text.substr(p + 1);
    }
    while (static_cast<int>(frac.size()) > minDec && frac.back() == '0') frac.pop_back();
    if (whole == "0" && minInt == 0) whole.clear();
    if (static_cast<int>(whole.size()) < minInt)
        whole.insert(0, static_cast<std::size_t>(minInt) - whole.size(), '0');
    if (grouping && whole.size() > 3) {
        std::string grouped;
        const std::size_t lead = whole.size() % 3;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            if (i != 0 && (i - lead) % 3 == 0 && i >= lead) grouped.push_back(',');
            grouped.push_back(whole[i]);
        }
        whole = grouped;
    }
    std::string out;
    if (std::signbit(value) && (hasNonZeroDigit(whole) || hasNonZeroDigit(frac))) out.push_back('-');
    out += whole;
    if (!frac.empty() || (dot != std::string_view::npos && minDec > 0)) out += "." + frac;
    if (percent) out.push_back('%');
    return out;
}

std::string formatPercent(double value) { return formatPattern(value, "0.00%"); }

}  // namespace waypost::numbers

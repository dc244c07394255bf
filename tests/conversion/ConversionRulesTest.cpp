// The conversion page's rules as plain functions: the key filters, the field
// checks with their messages and reset texts, the values of the degree fields,
// the twelve-decimal label, the township, range and section limits, and which
// callers receive nothing. The totals of the notations, and the keys as the
// page shows them, are typed in ConversionPageTest.

#include "conversion/DegreeEntry.h"
#include "conversion/HandBack.h"
#include "conversion/TownshipRangeSection.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <string_view>
#include <tuple>

namespace {

using namespace waypost::conversion;
using namespace std::literals;

std::string str(const QString& text) { return text.toStdString(); }

// Degree fields take digits, the decimal point and its control codes; township,
// range and section fields digits and backspace (which they take is typed through
// the page in ConversionPageTest::refusedKeysSectionCheckAndEmptyFields). Pasted text keeps
// only what could be typed.
TEST(KeyFilters, DegreeAndTrsFields) {
    for (char16_t c : u"0123456789.\b\t\f\x0e"sv) EXPECT_TRUE(acceptsDegreeCharacter(c)) << int(c);
    // Among the refused the characters 37 to 40 ("%&'("): the arrow keys type
    // nothing and pass anyway, these characters would only garble the number.
    for (char16_t c : u"%&'(aZ-+, e\r\x1b\x16\x7f\u00b0\u0661\0"sv) EXPECT_FALSE(acceptsDegreeCharacter(c)) << int(c);
    for (const auto& [pasted, kept] : {std::pair{"12a.3%", "12.3"}, {"-84.25", "84.25"}, {"1e9", "19"}, {"0042", "0042"}})
        EXPECT_EQ(str(keepDegreeCharacters(QString::fromLatin1(pasted))), kept);
    for (char16_t c : u".aN -\t\f\r%"sv) EXPECT_FALSE(acceptsTrsCharacter(c)) << int(c);
}

TEST(DegreeFieldChecks, AcceptOrRefuseWithMessageAndResetText) {
    using enum Coordinate;
    using enum DegreePart;
    constexpr auto DD = DegreeGroup::DecimalDegrees, DMM = DegreeGroup::DegreesDecimalMinutes,
                   DMS = DegreeGroup::DegreesMinutesSeconds;
    const QString &lat = kLatitudeRangeMessage, &lon = kLongitudeRangeMessage, &below9999 = kDigitsTooLargeMessage,
                  &below60 = kMinutesTooLargeMessage, &upTo99 = kHundredthsRangeMessage;
    const struct {
        DegreeField field;
        const char* text;
        QString message;  // empty: accepted
        const char* resetText;
    } cases[] = {
        {{DD, Latitude, Degrees}, "90.5", lat, "00"},
        {{DD, Latitude, Degrees}, "-1", lat, "00"},
        {{DMM, Latitude, Degrees}, "91", lat, ""},
        {{DD, Longitude, Degrees}, "181", lon, "000"},
        {{DMM, Longitude, Degrees}, "181", lon, ""},
        {{DD, Latitude, DecimalDegreeDigits}, "9999", "", ""},
        {{DD, Longitude, DecimalDegreeDigits}, "10000", below9999, ""},
        {{DMM, Latitude, DecimalMinuteDigits}, "10000", below9999, "0000"},
        {{DMM, Longitude, Minutes}, "61", below60, ""},
        {{DMS, Latitude, Hundredths}, "100", "", ""},
        {{DMS, Longitude, Hundredths}, "101", upTo99, ""},
        {{DMS, Longitude, Hundredths}, "-1", upTo99, ""},
        // The leading number counts: "x999" reads as 0.
        {{DD, Longitude, Degrees}, "x999", "", ""},
    };
    for (const auto& c : cases) {
        const FieldCheck check = checkDegreeField(c.field, QString::fromLatin1(c.text));
        EXPECT_EQ(check.accepted, c.message.isEmpty()) << c.text;
        EXPECT_EQ(str(check.message), str(c.message)) << c.text;
        EXPECT_EQ(str(check.resetText), c.resetText) << c.text;
        // A reset text is always accepted, so resetting ends the checking.
        EXPECT_TRUE(checkDegreeField(c.field, check.resetText).accepted) << c.text;
    }
}

// Whole values round a half to even and are held at the 16-bit ends; digits
// stand for a fraction; a hundredth of a second of 100 is a whole second (the
// other hundredths are in the totals of ConversionPageTest, and so are the pole and
// antimeridian locks). The twelve-decimal labels put the minus before unpadded
// degrees (the others are checked through the page in ConversionPageTest).
TEST(DegreeValues, WholeValuesFractionsTermsAndTwelveDecimals) {
    for (const auto& [value, whole] : {std::pair{8.5, 8}, {9.5, 10}, {40000.0, 32767}, {-40000.0, -32768},
                                       {std::numeric_limits<double>::quiet_NaN(), 0}})
        EXPECT_EQ(wholeValue(value), whole) << value;
    // "5.5": a typed decimal point ends the digits, so it reads as 0.5.
    for (const auto& [digits, fraction] : {std::pair{"0005", 0.0005}, {"1234", 0.1234}, {"", 0.0}, {"5.5", 0.5}})
        EXPECT_DOUBLE_EQ(digitsFraction(QString::fromLatin1(digits)), fraction) << digits;
    EXPECT_NEAR(hundredthsTerm(100), 1.0 / 3600, 1e-18);
    EXPECT_EQ(str(fullPrecisionText(-84.25)), "-84.250000000000");
}

// North townships run to 7, south ones to 67, east ranges to 43, west ones to 34;
// keys below ten have one leading zero. Sections run to 8029, their key plain while
// typed. (8 north, 44 east and section 8030 are refused through the page in
// ConversionPageTest, where a section's key is padded when its field is left.)
TEST(TrsChecks, LimitsByDirection) {
    // township, range or section, text, direction, the key when accepted or the message, the number (-1: refused)
    const std::tuple<char, const char*, const char*, QString, int> cases[] = {
        {'T', "7", "N", "07", 7},
        {'T', "8", "S", "08", 8},
        {'T', "67", "S", "67", 67},
        {'T', "68", "S", kSouthTownshipMessage, -1},
        {'R', "43", "E", "43", 43},
        {'R', "34", "W", "34", 34},
        {'R', "35", "W", kWestRangeMessage, -1},
        {'S', "8029", "", "8029", 8029},
    };
    for (const auto& [kind, text, direction, keyOrMessage, number] : cases) {
        const QString typed = QString::fromLatin1(text), towards = QString::fromLatin1(direction);
        const TrsCheck check = kind == 'T' ? checkTownship(typed, towards)
                                           : kind == 'R' ? checkRange(typed, towards) : checkSection(typed);
        EXPECT_EQ(check.accepted ? int(check.number) : -1, number) << text << direction;
        EXPECT_EQ(str(check.accepted ? check.key : check.message), str(keyOrMessage)) << text << direction;
    }
}

// Only the three feature windows, named exactly, receive anything; what each
// receives is checked through the page (ConversionPageTest, findStr among them).
TEST(HandBack, NoneForAnyOtherName) {
    for (const char* name : {"", "wpfac", "frmAbout", "wp_ddc_0306", "wpFac "})
        EXPECT_FALSE(handBackFor(QString::fromLatin1(name)).has_value()) << name;
}

}  // namespace

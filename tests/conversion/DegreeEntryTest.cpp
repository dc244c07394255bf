// Degree entry rules: the key filter, the field checks with their messages and
// reset texts, the values of the fields, the terms of the totals and the label
// texts. The totals of the notations are typed in DegreePageTest::coordinateTotals
// and resultsAfterEveryKey.

#include "conversion/DegreeEntry.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <string_view>
#include <tuple>

namespace {

using namespace waypost::conversion;
using namespace std::literals;

std::string str(const QString& text) { return text.toStdString(); }

TEST(DegreeKeyFilter, DigitsTheDecimalPointAndItsControlCodesOnly) {
    for (char16_t c : u"0123456789.\b\t\f\x0e"sv) EXPECT_TRUE(acceptsDegreeCharacter(c)) << int(c);
    // Among the refused the characters 37 to 40 ("%&'("): the arrow keys type
    // nothing and pass anyway, these characters would only garble the number.
    for (char16_t c : u"%&'(aZ-+, e\r\x1b\x16\x7f\u00b0\u0661\0"sv) EXPECT_FALSE(acceptsDegreeCharacter(c)) << int(c);
    // Pasted text keeps only what could be typed.
    for (const auto& [pasted, kept] : {std::pair{"12a.3%", "12.3"}, {"-84.25", "84.25"}, {"1e9", "19"}, {"0042", "0042"}})
        EXPECT_EQ(str(keepDegreeCharacters(QString::fromLatin1(pasted))), kept);
}

TEST(DegreeFieldChecks, AcceptOrRefuseWithMessageAndResetText) {
    constexpr auto DD = DegreeGroup::DecimalDegrees, DMM = DegreeGroup::DegreesDecimalMinutes,
                   DMS = DegreeGroup::DegreesMinutesSeconds;
    constexpr auto Lat = Coordinate::Latitude, Lon = Coordinate::Longitude;
    constexpr auto Deg = DegreePart::Degrees, Digits = DegreePart::DecimalDegreeDigits,
                   MinuteDigits = DegreePart::DecimalMinuteDigits, Hundredths = DegreePart::Hundredths;
    const QString &lat = kLatitudeRangeMessage, &lon = kLongitudeRangeMessage, &below9999 = kDigitsTooLargeMessage,
                  &below60 = kMinutesTooLargeMessage, &upTo99 = kHundredthsRangeMessage;
    const struct {
        DegreeField field;
        const char* text;
        QString message;  // empty: accepted
        const char* resetText;
    } cases[] = {
        {{DD, Lat, Deg}, "", "", ""},
        {{DD, Lat, Deg}, "90.5", lat, "00"},
        {{DD, Lat, Deg}, "-1", lat, "00"},
        {{DMM, Lat, Deg}, "91", lat, ""},
        {{DD, Lon, Deg}, "181", lon, "000"},
        {{DMM, Lon, Deg}, "181", lon, ""},
        {{DD, Lat, Digits}, "9999", "", ""},
        {{DD, Lon, Digits}, "10000", below9999, ""},
        {{DMM, Lat, MinuteDigits}, "10000", below9999, "0000"},
        {{DMM, Lon, DegreePart::Minutes}, "61", below60, ""},
        {{DMS, Lon, DegreePart::Seconds}, "61", below60, ""},
        {{DMS, Lat, Hundredths}, "100", "", ""},
        {{DMS, Lon, Hundredths}, "101", upTo99, ""},
        {{DMS, Lon, Hundredths}, "-1", upTo99, ""},
        // The leading number counts: "9.1x" reads as 9.1, "x999" as 0.
        {{DD, Lat, Deg}, "9.1x", "", ""},
        {{DD, Lon, Deg}, "x999", "", ""},
        {{DD, Lon, Deg}, "1e999", lon, "000"},
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
// stand for a fraction; a hundredth of a second of 100 is a whole second; the
// pole and the antimeridian lock their coordinate, nothing else does.
TEST(DegreeValues, WholeValuesFractionsTermsAndLocks) {
    for (const auto& [value, whole] : {std::pair{8.5, 8}, {9.5, 10}, {40000.0, 32767}, {-40000.0, -32768},
                                       {std::numeric_limits<double>::quiet_NaN(), 0}})
        EXPECT_EQ(wholeValue(value), whole) << value;
    // "5.5": a typed decimal point ends the digits, so it reads as 0.5.
    for (const auto& [digits, fraction] :
         {std::pair{"5", 0.5}, {"0005", 0.0005}, {"1234", 0.1234}, {"", 0.0}, {"5.5", 0.5}})
        EXPECT_DOUBLE_EQ(digitsFraction(QString::fromLatin1(digits)), fraction) << digits;
    EXPECT_NEAR(hundredthsTerm(5), 0.05 / 3600, 1e-18);
    EXPECT_NEAR(hundredthsTerm(100), 1.0 / 3600, 1e-18);
    constexpr auto Lat = Coordinate::Latitude, Lon = Coordinate::Longitude;
    for (const auto& [coordinate, degrees, locks] :
         {std::tuple{Lat, 90.0, true}, {Lat, 89.9, false}, {Lat, 180.0, false}, {Lon, 180.0, true}, {Lon, 90.0, false}})
        EXPECT_EQ(locksCoordinate(coordinate, degrees), locks) << degrees;
}

// The pattern of each label; rounding and padding of patterns are in NumbersTest.
TEST(ResultTexts, LabelFormats) {
    EXPECT_EQ(str(latitudeDisplayText(5.25)), "05.250000");
    EXPECT_EQ(str(longitudeDisplayText(-84.25)), "-084.250000");
    EXPECT_EQ(str(longitudeDisplayText(-0.0)), "000.000000");
    EXPECT_EQ(str(fullPrecisionText(-84.25)), "-84.250000000000");
    EXPECT_EQ(str(wholeMetresText(-1200)), "-1200");
}

}  // namespace

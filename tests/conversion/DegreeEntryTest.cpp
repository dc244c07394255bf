// Degree entry rules: the key filter, the field checks with their messages and
// reset texts, the values of the fields, the coordinate totals and the label texts.

#include "conversion/DegreeEntry.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <string_view>

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
    const char* const lat = "Latitude must be between 00 and 90";
    const char* const lon = "Longitude must be between 000 and 180";
    const char* const below9999 = " Must Be Less Than 9999";
    const char* const below60 = " Must Be Less Than 60";
    const char* const upTo99 = "Must be between 1 and 99";
    const struct {
        DegreeField field;
        const char* text;
        const char* message;  // empty: accepted
        const char* resetText;
    } cases[] = {
        {{DD, Lat, Deg}, "90", "", ""},
        {{DD, Lat, Deg}, "91", lat, "00"},
        {{DD, Lat, Deg}, "", "", ""},
        {{DD, Lat, Deg}, "90.5", lat, "00"},
        {{DD, Lat, Deg}, "-1", lat, "00"},
        {{DMM, Lat, Deg}, "91", lat, ""},
        {{DD, Lon, Deg}, "180", "", ""},
        {{DD, Lon, Deg}, "181", lon, "000"},
        {{DMM, Lon, Deg}, "181", lon, ""},
        {{DD, Lat, Digits}, "9999", "", ""},
        {{DD, Lon, Digits}, "10000", below9999, ""},
        {{DMM, Lat, MinuteDigits}, "10000", below9999, "0000"},
        {{DMM, Lat, DegreePart::Minutes}, "60", "", ""},
        {{DMM, Lon, DegreePart::Minutes}, "61", below60, ""},
        {{DMS, Lon, DegreePart::Seconds}, "61", below60, ""},
        {{DMS, Lat, Hundredths}, "100", "", ""},
        {{DMS, Lat, Hundredths}, "0", "", ""},
        {{DMS, Lon, Hundredths}, "101", upTo99, ""},
        {{DMS, Lon, Hundredths}, "-1", upTo99, ""},
        // The leading number counts: "9.1x" reads as 9.1, "x999" as 0.
        {{DD, Lat, Deg}, "9.1x", "", ""},
        {{DD, Lon, Deg}, "x999", "", ""},
        {{DD, Lon, Deg}, "1e999", lon, "000"},
    };
    for (const auto& c : cases) {
        const FieldCheck check = checkDegreeField(c.field, QString::fromLatin1(c.text));
        EXPECT_EQ(check.accepted, *c.message == 0) << c.text;
        EXPECT_EQ(str(check.message), c.message) << c.text;
        EXPECT_EQ(str(check.resetText), c.resetText) << c.text;
        // A reset text is always accepted, so resetting ends the checking.
        EXPECT_TRUE(checkDegreeField(c.field, check.resetText).accepted) << c.text;
    }
}

TEST(DegreeValues, WholeValuesRoundAHalfToEvenAndDigitsStandForAFraction) {
    EXPECT_EQ(wholeValue(8.5), 8);
    EXPECT_EQ(wholeValue(9.5), 10);
    EXPECT_EQ(wholeValue(89.5), 90);
    EXPECT_EQ(wholeValue(40000), 32767);
    EXPECT_EQ(wholeValue(-40000), -32768);
    EXPECT_EQ(wholeValue(std::numeric_limits<double>::quiet_NaN()), 0);
    // "5.5": a typed decimal point ends the digits, so it reads as 0.5.
    for (const auto& [digits, fraction] :
         {std::pair{"5", 0.5}, {"0005", 0.0005}, {"1234", 0.1234}, {"", 0.0}, {"5.5", 0.5}})
        EXPECT_DOUBLE_EQ(digitsFraction(QString::fromLatin1(digits)), fraction) << digits;
}

TEST(DegreeTotals, OfTheThreeNotations) {
    EXPECT_EQ(decimalDegreesLongitude(84, digitsFraction(QStringLiteral("25"))), -84.25);
    EXPECT_EQ(decimalDegreesLatitude(30, digitsFraction(QStringLiteral("5"))), 30.5);
    // 30 degrees 15.5 minutes; 81 degrees 30 minutes west
    const double dmmLatitude = decimalMinutesLatitude(30, 15, digitsFraction(QStringLiteral("5")));
    EXPECT_NEAR(dmmLatitude, 30 + 15.5 / 60, 1e-12);
    EXPECT_EQ(str(latitudeDisplayText(dmmLatitude)), "30.258333");
    EXPECT_EQ(decimalMinutesLongitude(81, 30, 0), -81.5);
    // 30 degrees 15 minutes 30.5 seconds (hundredths 50 are 0.50 seconds)
    const double dmsLatitude = minutesSecondsLatitude(30, minutesTerm(15), secondsTerm(30), hundredthsTerm(50));
    EXPECT_NEAR(dmsLatitude, 30 + 15.0 / 60 + 30.5 / 3600, 1e-12);
    EXPECT_EQ(str(latitudeDisplayText(dmsLatitude)), "30.258472");
    EXPECT_NEAR(minutesSecondsLongitude(84, minutesTerm(16), secondsTerm(50), hundredthsTerm(52)),
                -(84 + 16.0 / 60 + 50.52 / 3600), 1e-12);
    EXPECT_NEAR(hundredthsTerm(5), 0.05 / 3600, 1e-18);
    EXPECT_NEAR(hundredthsTerm(100), 1.0 / 3600, 1e-18);
    EXPECT_EQ(minutesTerm(60), 1.0);
    EXPECT_EQ(secondsTerm(36), 0.01);
}

TEST(DegreeLock, PoleAndAntimeridianOnly) {
    EXPECT_TRUE(locksCoordinate(Coordinate::Latitude, 90));
    EXPECT_FALSE(locksCoordinate(Coordinate::Latitude, 89.9));
    EXPECT_FALSE(locksCoordinate(Coordinate::Latitude, 180));
    EXPECT_TRUE(locksCoordinate(Coordinate::Longitude, 180));
    EXPECT_FALSE(locksCoordinate(Coordinate::Longitude, 90));
}

TEST(ResultTexts, LabelFormats) {
    EXPECT_EQ(str(latitudeDisplayText(30.5)), "30.500000");
    EXPECT_EQ(str(latitudeDisplayText(5.25)), "05.250000");
    EXPECT_EQ(str(longitudeDisplayText(-84.25)), "-084.250000");
    EXPECT_EQ(str(longitudeDisplayText(-0.0)), "000.000000");
    EXPECT_EQ(str(longitudeDisplayText(-180)), "-180.000000");
    EXPECT_EQ(str(fullPrecisionText(-84.25)), "-84.250000000000");
    EXPECT_EQ(str(fullPrecisionText(30 + 15.5 / 60)), "30.258333333333");
    EXPECT_EQ(str(wholeMetresText(376025)), "376025");
    EXPECT_EQ(str(wholeMetresText(-1200)), "-1200");
    // Six decimals round a half away from zero, as the labels always did.
    EXPECT_EQ(str(latitudeDisplayText(30.0000005)), "30.000001");
    EXPECT_EQ(str(longitudeDisplayText(-84.0000005)), "-084.000001");
}

}  // namespace

// Degree entry rules: the key filter, the field checks with their messages and
// reset texts, the values of the fields, the coordinate totals and the label texts.

#include "conversion/DegreeEntry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

using namespace waypost::conversion;

std::string str(const QString& text) { return text.toStdString(); }

TEST(DegreeKeyFilter, TakesDigitsTheDecimalPointAndItsControlCodes) {
    for (char16_t c = u'0'; c <= u'9'; ++c) EXPECT_TRUE(acceptsDegreeCharacter(c)) << int(c);
    for (char16_t c : {char16_t(8), char16_t(9), char16_t(12), char16_t(14), u'.'})
        EXPECT_TRUE(acceptsDegreeCharacter(c)) << int(c);
}

TEST(DegreeKeyFilter, RefusesEverythingElse) {
    // Among them the characters 37 to 40 ("%&'("): the arrow keys type nothing
    // and pass anyway, these characters would only garble the number.
    for (char16_t c : {u'%', u'&', u'\'', u'(', u'a', u'Z', u'-', u'+', u',', u' ', u'e', char16_t(13),
                       char16_t(27), char16_t(22), char16_t(0), char16_t(127), u'\u00b0', u'\u0661'})
        EXPECT_FALSE(acceptsDegreeCharacter(c)) << int(c);
}

TEST(DegreeKeyFilter, PastedTextKeepsOnlyWhatCouldBeTyped) {
    EXPECT_EQ(str(keepDegreeCharacters(QStringLiteral("12a.3%"))), "12.3");
    EXPECT_EQ(str(keepDegreeCharacters(QStringLiteral("-84.25"))), "84.25");
    EXPECT_EQ(str(keepDegreeCharacters(QStringLiteral("1e9"))), "19");
    EXPECT_EQ(str(keepDegreeCharacters(QStringLiteral("0042"))), "0042");
}

struct CheckCase {
    const char* name;
    DegreeGroup group;
    Coordinate coordinate;
    DegreePart part;
    const char* text;
    bool accepted;
    const char* message;  // when refused
    const char* resetText;
};

class DegreeFieldChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(DegreeFieldChecks, AcceptOrRefuseWithMessageAndResetText) {
    const CheckCase& c = GetParam();
    const FieldCheck check = checkDegreeField({c.group, c.coordinate, c.part}, QString::fromUtf8(c.text));
    EXPECT_EQ(check.accepted, c.accepted);
    if (!c.accepted) {
        EXPECT_EQ(str(check.message), c.message);
        EXPECT_EQ(str(check.resetText), c.resetText);
        // A reset text is always accepted, so resetting ends the checking.
        EXPECT_TRUE(checkDegreeField({c.group, c.coordinate, c.part}, check.resetText).accepted);
    } else {
        EXPECT_TRUE(check.message.isEmpty());
    }
}

constexpr auto DD = DegreeGroup::DecimalDegrees;
constexpr auto DMM = DegreeGroup::DegreesDecimalMinutes;
constexpr auto DMS = DegreeGroup::DegreesMinutesSeconds;
constexpr auto Lat = Coordinate::Latitude;
constexpr auto Lon = Coordinate::Longitude;

const char* const kLat = "Latitude must be between 00 and 90";
const char* const kLon = "Longitude must be between 000 and 180";

INSTANTIATE_TEST_SUITE_P(
    Bounds, DegreeFieldChecks,
    ::testing::Values(
        CheckCase{"DDLat90", DD, Lat, DegreePart::Degrees, "90", true, "", ""},
        CheckCase{"DDLat91", DD, Lat, DegreePart::Degrees, "91", false, kLat, "00"},
        CheckCase{"DDLatEmpty", DD, Lat, DegreePart::Degrees, "", true, "", ""},
        CheckCase{"DDLat90Point5", DD, Lat, DegreePart::Degrees, "90.5", false, kLat, "00"},
        CheckCase{"DDLatNegative", DD, Lat, DegreePart::Degrees, "-1", false, kLat, "00"},
        CheckCase{"DMMLat91", DMM, Lat, DegreePart::Degrees, "91", false, kLat, ""},
        CheckCase{"DDLon180", DD, Lon, DegreePart::Degrees, "180", true, "", ""},
        CheckCase{"DDLon181", DD, Lon, DegreePart::Degrees, "181", false, kLon, "000"},
        CheckCase{"DMMLon181", DMM, Lon, DegreePart::Degrees, "181", false, kLon, ""},
        CheckCase{"DDDigits9999", DD, Lat, DegreePart::DecimalDegreeDigits, "9999", true, "", ""},
        CheckCase{"DDDigits10000", DD, Lon, DegreePart::DecimalDegreeDigits, "10000", false,
                  " Must Be Less Than 9999", ""},
        CheckCase{"DMMDigits10000", DMM, Lat, DegreePart::DecimalMinuteDigits, "10000", false,
                  " Must Be Less Than 9999", "0000"},
        CheckCase{"DMMMinutes60", DMM, Lat, DegreePart::Minutes, "60", true, "", ""},
        CheckCase{"DMMMinutes61", DMM, Lon, DegreePart::Minutes, "61", false, " Must Be Less Than 60", ""},
        CheckCase{"DMSSeconds61", DMS, Lon, DegreePart::Seconds, "61", false, " Must Be Less Than 60", ""},
        CheckCase{"Hundredths100", DMS, Lat, DegreePart::Hundredths, "100", true, "", ""},
        CheckCase{"Hundredths0", DMS, Lat, DegreePart::Hundredths, "0", true, "", ""},
        CheckCase{"Hundredths101", DMS, Lon, DegreePart::Hundredths, "101", false, "Must be between 1 and 99", ""},
        CheckCase{"HundredthsNegative", DMS, Lon, DegreePart::Hundredths, "-1", false, "Must be between 1 and 99",
                  ""},
        // The leading number counts: "12.9x" reads as 12.9, "x12" as 0.
        CheckCase{"LeadingNumber", DD, Lat, DegreePart::Degrees, "9.1x", true, "", ""},
        CheckCase{"NoLeadingNumber", DD, Lon, DegreePart::Degrees, "x999", true, "", ""},
        CheckCase{"Huge", DD, Lon, DegreePart::Degrees, "1e999", false, kLon, "000"}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST(DegreeValues, WholeValuesRoundAHalfToEven) {
    EXPECT_EQ(wholeValue(8.5), 8);
    EXPECT_EQ(wholeValue(9.5), 10);
    EXPECT_EQ(wholeValue(89.5), 90);
    EXPECT_EQ(wholeValue(40000), 32767);
    EXPECT_EQ(wholeValue(-40000), -32768);
    EXPECT_EQ(wholeValue(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(DegreeValues, DigitsStandForTheFractionAfterTheDecimalPoint) {
    EXPECT_DOUBLE_EQ(digitsFraction(QStringLiteral("5")), 0.5);
    EXPECT_DOUBLE_EQ(digitsFraction(QStringLiteral("0005")), 0.0005);
    EXPECT_DOUBLE_EQ(digitsFraction(QStringLiteral("1234")), 0.1234);
    EXPECT_DOUBLE_EQ(digitsFraction(QString()), 0.0);
    // A typed decimal point ends the number: "0.5.5" reads as 0.5.
    EXPECT_DOUBLE_EQ(digitsFraction(QStringLiteral("5.5")), 0.5);
}

TEST(DegreeTotals, DecimalDegrees) {
    EXPECT_EQ(decimalDegreesLongitude(84, digitsFraction(QStringLiteral("25"))), -84.25);
    EXPECT_EQ(decimalDegreesLatitude(30, digitsFraction(QStringLiteral("5"))), 30.5);
}

TEST(DegreeTotals, DegreesAndDecimalMinutes) {
    // 30 degrees, 15.5 minutes
    const double latitude = decimalMinutesLatitude(30, 15, digitsFraction(QStringLiteral("5")));
    EXPECT_NEAR(latitude, 30 + 15.5 / 60, 1e-12);
    EXPECT_EQ(str(latitudeDisplayText(latitude)), "30.258333");
    const double longitude = decimalMinutesLongitude(81, 30, 0);
    EXPECT_EQ(longitude, -81.5);
    EXPECT_EQ(str(longitudeDisplayText(longitude)), "-081.500000");
}

TEST(DegreeTotals, DegreesMinutesSeconds) {
    // 30 degrees, 15 minutes, 30.5 seconds (hundredths 50 are 0.50 seconds)
    const double latitude = minutesSecondsLatitude(30, minutesTerm(15), secondsTerm(30), hundredthsTerm(50));
    EXPECT_NEAR(latitude, 30 + 15.0 / 60 + 30.5 / 3600, 1e-12);
    EXPECT_EQ(str(latitudeDisplayText(latitude)), "30.258472");
    const double longitude = minutesSecondsLongitude(84, minutesTerm(16), secondsTerm(50), hundredthsTerm(52));
    EXPECT_NEAR(longitude, -(84 + 16.0 / 60 + 50.52 / 3600), 1e-12);
    EXPECT_LT(longitude, 0);
}

TEST(DegreeTotals, HundredthsAreHundredthsOfASecond) {
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

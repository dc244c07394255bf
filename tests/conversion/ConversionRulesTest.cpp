// The conversion page's rules as plain functions: the key filters, the field
// checks with their messages and reset texts, the values of the degree fields
// and the terms of their totals, the twelve-decimal label, the township, range
// and section keys, and which callers receive nothing. The totals of the
// notations are typed in DegreePageTest; the keys as the page shows them are in TrsPageTest.

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
// range and section fields digits and backspace. Pasted text keeps only what could
// be typed (for the township field in TrsPageTest::refusedKeysSectionCheckAndEmptyFields).
TEST(KeyFilters, DegreeAndTrsFields) {
    for (char16_t c : u"0123456789.\b\t\f\x0e"sv) EXPECT_TRUE(acceptsDegreeCharacter(c)) << int(c);
    // Among the refused the characters 37 to 40 ("%&'("): the arrow keys type
    // nothing and pass anyway, these characters would only garble the number.
    for (char16_t c : u"%&'(aZ-+, e\r\x1b\x16\x7f\u00b0\u0661\0"sv) EXPECT_FALSE(acceptsDegreeCharacter(c)) << int(c);
    for (const auto& [pasted, kept] : {std::pair{"12a.3%", "12.3"}, {"-84.25", "84.25"}, {"1e9", "19"}, {"0042", "0042"}})
        EXPECT_EQ(str(keepDegreeCharacters(QString::fromLatin1(pasted))), kept);
    for (char16_t c : u"0123456789\b"sv) EXPECT_TRUE(acceptsTrsCharacter(c)) << int(c);
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
        {{DD, Latitude, Degrees}, "", "", ""},
        {{DD, Latitude, Degrees}, "90.5", lat, "00"},
        {{DD, Latitude, Degrees}, "-1", lat, "00"},
        {{DMM, Latitude, Degrees}, "91", lat, ""},
        {{DD, Longitude, Degrees}, "181", lon, "000"},
        {{DMM, Longitude, Degrees}, "181", lon, ""},
        {{DD, Latitude, DecimalDegreeDigits}, "9999", "", ""},
        {{DD, Longitude, DecimalDegreeDigits}, "10000", below9999, ""},
        {{DMM, Latitude, DecimalMinuteDigits}, "10000", below9999, "0000"},
        {{DMM, Longitude, Minutes}, "61", below60, ""},
        {{DMS, Longitude, Seconds}, "61", below60, ""},
        {{DMS, Latitude, Hundredths}, "100", "", ""},
        {{DMS, Longitude, Hundredths}, "101", upTo99, ""},
        {{DMS, Longitude, Hundredths}, "-1", upTo99, ""},
        // The leading number counts: "9.1x" reads as 9.1, "x999" as 0.
        {{DD, Latitude, Degrees}, "9.1x", "", ""},
        {{DD, Longitude, Degrees}, "x999", "", ""},
        {{DD, Longitude, Degrees}, "1e999", lon, "000"},
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
// pole and the antimeridian lock their coordinate, nothing else does. The
// twelve-decimal labels put the minus before unpadded degrees (the others are
// checked through the page in DegreePageTest).
TEST(DegreeValues, WholeValuesFractionsTermsLocksAndTwelveDecimals) {
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
    EXPECT_EQ(str(fullPrecisionText(-84.25)), "-84.250000000000");
}

// North townships run to 7, south ones to 67, east ranges to 43, west ones to 34.
// (8 north and 44 east are refused through the page in TrsPageTest::checksOnLeavingAndEntering.)
TEST(TrsChecks, TownshipAndRangeLimitsByDirection) {
    // township or range, text, direction, the key when accepted or the message, the number (-1: refused)
    const std::tuple<bool, const char*, const char*, QString, int> cases[] = {
        {true, "", "N", "00", 0},
        {true, "7", "N", "07", 7},
        {true, "8", "S", "08", 8},
        {true, "67", "S", "67", 67},
        {true, "68", "S", kSouthTownshipMessage, -1},
        {false, "9", "E", "09", 9},
        {false, "43", "E", "43", 43},
        {false, "34", "W", "34", 34},
        {false, "35", "W", kWestRangeMessage, -1},
    };
    for (const auto& [township, text, direction, keyOrMessage, number] : cases) {
        const TrsCheck check = township ? checkTownship(QString::fromLatin1(text), QString::fromLatin1(direction))
                                        : checkRange(QString::fromLatin1(text), QString::fromLatin1(direction));
        EXPECT_EQ(check.accepted, number >= 0) << text << direction;
        EXPECT_EQ(str(check.accepted ? check.key : check.message), str(keyOrMessage)) << text << direction;
        if (check.accepted) {
            EXPECT_EQ(check.number, number) << text << direction;
        }
    }
}

// Keys below ten have one leading zero, from ten on plain digits. Sections run
// up to 8029 (8030 is refused through the page in TrsPageTest), plain while
// typed, padded when the field is left.
TEST(TrsChecks, KeysAndSectionsUpTo8029) {
    for (const auto& [number, key] : {std::pair{0, "00"}, {9, "09"}, {10, "10"}, {1234, "1234"}})
        EXPECT_EQ(str(keyText(number)), key);
    const TrsCheck ok = checkSection(QStringLiteral("8029"));
    EXPECT_TRUE(ok.accepted && ok.number == 8029 && ok.key == QStringLiteral("8029"));
    EXPECT_EQ(str(checkSection(QString()).key), "0");
    EXPECT_EQ(sectionKeyOnLeaving(QStringLiteral("0012")).number, 12);
}

// Only the three feature windows, named exactly, receive anything; what each
// receives is checked through the page (DegreePageTest, TrsPageTest::findStr).
TEST(HandBack, NoneForAnyOtherName) {
    for (const char* name : {"", "wpfac", "frmAbout", "wp_ddc_0306", "wpFac "})
        EXPECT_FALSE(handBackFor(QString::fromLatin1(name)).has_value()) << name;
}

}  // namespace

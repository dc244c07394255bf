// Township, range and section rules: key filter, key texts, the checks with
// their messages, and which caller receives what. The keys as the page shows
// them are in TrsPageTest.

#include "conversion/HandBack.h"
#include "conversion/TownshipRangeSection.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>

namespace {

using namespace waypost::conversion;
using namespace std::literals;
using waypost::SectionHandover;

std::string str(const QString& text) { return text.toStdString(); }

TEST(TrsKeyFilter, OnlyDigitsAndBackspace) {
    for (char16_t c : u"0123456789\b"sv) EXPECT_TRUE(acceptsTrsCharacter(c)) << int(c);
    for (char16_t c : u".aN -\t\f\r%"sv) EXPECT_FALSE(acceptsTrsCharacter(c)) << int(c);
    EXPECT_EQ(str(keepTrsCharacters(QStringLiteral("T12.5"))), "125");
}

// Below ten with one leading zero, from ten on plain digits.
TEST(TrsKeys, BelowTenWithOneLeadingZero) {
    for (const auto& [number, key] : {std::pair{0, "00"}, {9, "09"}, {10, "10"}, {1234, "1234"}})
        EXPECT_EQ(str(keyText(number)), key);
}

TEST(TrsChecks, TownshipAndRangeLimitsByDirection) {
    // township or range, text, direction, the key when accepted or the message, the number (-1: refused)
    const std::tuple<bool, const char*, const char*, QString, int> cases[] = {
        {true, "", "N", "00", 0},
        {true, "7", "N", "07", 7},
        {true, "8", "N", kNorthTownshipMessage, -1},
        {true, "8", "S", "08", 8},
        {true, "67", "S", "67", 67},
        {true, "68", "S", kSouthTownshipMessage, -1},
        {false, "9", "E", "09", 9},
        {false, "43", "E", "43", 43},
        {false, "44", "E", kEastRangeMessage, -1},
        {false, "34", "W", "34", 34},
        {false, "35", "W", kWestRangeMessage, -1},
    };
    for (const auto& [township, text, direction, keyOrMessage, number] : cases) {
        const TrsCheck check = township ? checkTownship(QString::fromLatin1(text), QString::fromLatin1(direction))
                                        : checkRange(QString::fromLatin1(text), QString::fromLatin1(direction));
        EXPECT_EQ(check.accepted, number >= 0) << text << direction;
        EXPECT_EQ(str(check.accepted ? check.key : check.message), str(keyOrMessage)) << text << direction;
        if (check.accepted) EXPECT_EQ(check.number, number) << text << direction;
    }
}

// Sections run up to 8029, plain while typed, padded when the field is left.
TEST(TrsChecks, SectionsUpTo8029PlainWhileTypingPaddedOnLeaving) {
    const TrsCheck ok = checkSection(QStringLiteral("8029")), refused = checkSection(QStringLiteral("8030"));
    EXPECT_TRUE(ok.accepted && ok.number == 8029 && ok.key == QStringLiteral("8029"));
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(str(refused.message), str(kSectionTooLargeMessage));
    EXPECT_EQ(str(checkSection(QString()).key), "0");
    EXPECT_EQ(sectionKeyOnLeaving(QStringLiteral("0012")).number, 12);
}

TEST(HandBack, ByCallerName) {
    EXPECT_EQ(handBackFor(QStringLiteral("frmDBMan")), SectionHandover::Carried);
    for (const char* name : {"wpFac", "wpHcane"})
        EXPECT_EQ(handBackFor(QString::fromLatin1(name)), SectionHandover::KeptByWindow) << name;
    for (const char* name : {"", "wpfac", "frmAbout", "wp_ddc_0306", "wpFac "})
        EXPECT_FALSE(handBackFor(QString::fromLatin1(name)).has_value()) << name;
}

}  // namespace

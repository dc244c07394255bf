// Township, range and section rules: key filter, key texts, the checks with
// their messages, the TRS key, and which caller receives what.

#include "conversion/HandBack.h"
#include "conversion/TownshipRangeSection.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

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

TEST(TrsKeys, BelowTenWithOneLeadingZero) {
    EXPECT_EQ(str(keyText(0)), "00");
    EXPECT_EQ(str(keyText(5)), "05");
    EXPECT_EQ(str(keyText(10)), "10");
    EXPECT_EQ(str(keyText(1234)), "1234");
    EXPECT_EQ(str(trsKey("01", kNorth, "05", kWest, "12")), "T01N R05W S12");
    EXPECT_EQ(str(trsKey("34", kSouth, "18", kEast, "03")), "T34S R18E S03");
}

TEST(TrsChecks, TownshipAndRangeLimitsByDirection) {
    const struct {
        bool township;
        const char* text;
        const char* direction;
        const char* keyOrMessage;  // the key when accepted
        int number;                // -1: refused
    } cases[] = {
        {true, "", "N", "00", 0},
        {true, "7", "N", "07", 7},
        {true, "8", "N", "North Township Must be Less Than 8", -1},
        {true, "8", "S", "08", 8},
        {true, "67", "S", "67", 67},
        {true, "68", "S", "South Township Must be Less Than 68", -1},
        {false, "9", "E", "09", 9},
        {false, "43", "E", "43", 43},
        {false, "44", "E", "East Range Must be Less Than 44", -1},
        {false, "34", "W", "34", 34},
        {false, "35", "W", "West Range Must be Less Than 35", -1},
        {false, "43", "W", "West Range Must be Less Than 35", -1},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromLatin1(c.text), direction = QString::fromLatin1(c.direction);
        const TrsCheck check = c.township ? checkTownship(text, direction) : checkRange(text, direction);
        EXPECT_EQ(check.accepted, c.number >= 0) << c.text << c.direction;
        EXPECT_EQ(str(check.accepted ? check.key : check.message), c.keyOrMessage) << c.text << c.direction;
        if (check.accepted) EXPECT_EQ(check.number, c.number) << c.text << c.direction;
    }
}

TEST(TrsChecks, SectionsUpTo8029PlainWhileTypingPaddedOnLeaving) {
    const TrsCheck ok = checkSection(QStringLiteral("8029"));
    EXPECT_TRUE(ok.accepted);
    EXPECT_EQ(ok.number, 8029);
    EXPECT_EQ(str(ok.key), "8029");
    const TrsCheck refused = checkSection(QStringLiteral("8030"));
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(str(refused.message), " Must Be Less Than 8030");
    EXPECT_EQ(str(checkSection(QStringLiteral("5")).key), "5");
    EXPECT_EQ(str(checkSection(QStringLiteral("0000")).key), "0");
    EXPECT_EQ(str(checkSection(QString()).key), "0");
    EXPECT_EQ(str(sectionKeyOnLeaving(QStringLiteral("5")).key), "05");
    EXPECT_EQ(str(sectionKeyOnLeaving(QStringLiteral("0012")).key), "12");
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

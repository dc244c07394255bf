// Township, range and section rules: key filter, key texts, the checks with
// their messages, the TRS key and the parts of a section.

#include "conversion/HandBack.h"
#include "conversion/TownshipRangeSection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace waypost::conversion;
using waypost::SectionHandover;

std::string str(const QString& text) { return text.toStdString(); }

TEST(TrsKeyFilter, OnlyDigitsAndBackspace) {
    for (char16_t c = u'0'; c <= u'9'; ++c) EXPECT_TRUE(acceptsTrsCharacter(c));
    EXPECT_TRUE(acceptsTrsCharacter(8));
    for (char16_t c : {u'.', u'a', u'N', u' ', u'-', char16_t(9), char16_t(12), char16_t(13), u'%'})
        EXPECT_FALSE(acceptsTrsCharacter(c)) << int(c);
    EXPECT_EQ(str(keepTrsCharacters(QStringLiteral("T12.5"))), "125");
}

TEST(TrsKeys, BelowTenWithOneLeadingZero) {
    EXPECT_EQ(str(keyText(0)), "00");
    EXPECT_EQ(str(keyText(5)), "05");
    EXPECT_EQ(str(keyText(10)), "10");
    EXPECT_EQ(str(keyText(1234)), "1234");
}

TEST(TrsKeys, KeyOfASection) {
    EXPECT_EQ(str(trsKey("01", kNorth, "05", kWest, "12")), "T01N R05W S12");
    EXPECT_EQ(str(trsKey("34", kSouth, "18", kEast, "03")), "T34S R18E S03");
}

struct TrsCase {
    const char* text;
    const char* direction;
    bool accepted;
    const char* keyOrMessage;
};

class TownshipChecks : public ::testing::TestWithParam<TrsCase> {};
TEST_P(TownshipChecks, LimitsByDirection) {
    const TrsCase& c = GetParam();
    const TrsCheck check = checkTownship(QString::fromUtf8(c.text), QString::fromUtf8(c.direction));
    EXPECT_EQ(check.accepted, c.accepted) << c.text << c.direction;
    EXPECT_EQ(str(check.accepted ? check.key : check.message), c.keyOrMessage);
    if (check.accepted) {
        EXPECT_EQ(check.number, static_cast<int>(std::lround(std::atof(c.text))));
    }
}
INSTANTIATE_TEST_SUITE_P(
    Townships, TownshipChecks,
    ::testing::Values(TrsCase{"", "N", true, "00"}, TrsCase{"7", "N", true, "07"},
                      TrsCase{"8", "N", false, "North Township Must be Less Than 8"}, TrsCase{"8", "S", true, "08"},
                      TrsCase{"67", "S", true, "67"}, TrsCase{"68", "S", false, "South Township Must be Less Than 68"}));

class RangeChecks : public ::testing::TestWithParam<TrsCase> {};
TEST_P(RangeChecks, LimitsByDirection) {
    const TrsCase& c = GetParam();
    const TrsCheck check = checkRange(QString::fromUtf8(c.text), QString::fromUtf8(c.direction));
    EXPECT_EQ(check.accepted, c.accepted) << c.text << c.direction;
    EXPECT_EQ(str(check.accepted ? check.key : check.message), c.keyOrMessage);
}
INSTANTIATE_TEST_SUITE_P(
    Ranges, RangeChecks,
    ::testing::Values(TrsCase{"9", "E", true, "09"}, TrsCase{"43", "E", true, "43"},
                      TrsCase{"44", "E", false, "East Range Must be Less Than 44"},
                      TrsCase{"34", "W", true, "34"}, TrsCase{"35", "W", false, "West Range Must be Less Than 35"},
                      TrsCase{"43", "W", false, "West Range Must be Less Than 35"}));

TEST(SectionChecks, UpTo8029AndPlainDigitsWhileTyping) {
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

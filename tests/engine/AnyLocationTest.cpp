// A location in any common form: what is accepted (with the position and the
// form understood) and what is refused (with the reason).

#include "engine/AnyLocation.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <utility>

namespace waypost::engine {
namespace {

TEST(AnyLocation, ReadsEachCommonForm) {
    const double dmLat = 30 + 26.30 / 60, dmLon = -(84 + 16.84 / 60);
    const double dmsLat = 30 + 26 / 60.0 + 18 / 3600.0, dmsLon = -(84 + 16 / 60.0 + 51 / 3600.0);
    // Text; latitude, longitude and form read; how near the position must be.
    const std::tuple<const char*, double, double, std::string, double> cases[] = {
        {"30.4383, -84.2807", 30.4383, -84.2807, "decimal degrees", 1e-12},
        {"30.4383 -84.2807", 30.4383, -84.2807, "decimal degrees", 1e-12},
        {"84.2807W 30.4383N", 30.4383, -84.2807, "decimal degrees", 1e-12},
        {"-84.2807, 30.4383 N", 30.4383, -84.2807, "decimal degrees", 1e-12},
        {"N30 26.30 W84 16.84", dmLat, dmLon, "degrees and decimal minutes", 1e-12},
        {"30 26.30, -84 16.84", dmLat, dmLon, "degrees and decimal minutes", 1e-12},
        {"30\xC2\xB0" "26'18\"N 84\xC2\xB0" "16'51\"W", dmsLat, dmsLon, "degrees, minutes and seconds", 1e-12},
        {"30\xC2\xB0 26\xE2\x80\xB2 18\xE2\x80\xB3 N, 84\xC2\xB0 16\xE2\x80\xB2 51\xE2\x80\xB3 W", dmsLat, dmsLon,
         "degrees, minutes and seconds", 1e-12},
        {"30:26:18 N 84:16:51 W", dmsLat, dmsLon, "degrees, minutes and seconds", 1e-12},
        {"30 26 18 -84 16 51", dmsLat, dmsLon, "degrees, minutes and seconds", 1e-12},
        // Grid references and UTM: the forward conversion of 30.4383 -84.2807 is
        // 16R GU 61158 70495 (16R 761158 3370495), so the inverse lies within a metre.
        {"16R GU 61158 70495", 30.4383, -84.2807, "US National Grid, 1 m", 1e-5},
        {"16rgu6115870495", 30.4383, -84.2807, "US National Grid, 1 m", 1e-5},
        {"16R 761158 3370495", 30.4383, -84.2807, "UTM", 1e-5},
        {"16 north 761158 3370495", 30.4383, -84.2807, "UTM", 1e-5}};
    for (const auto& [text, latitude, longitude, form, tolerance] : cases) {
        const LocationReading r = readAnyLocation(text);
        ASSERT_TRUE(r.ok) << text << ": " << r.error;
        EXPECT_NEAR(r.latitude, latitude, tolerance) << text;
        EXPECT_NEAR(r.longitude, longitude, tolerance) << text;
        EXPECT_EQ(r.form, form);
    }
}

TEST(AnyLocation, ATruncatedReferenceIsTheSouthWestCornerOfItsSquare) {
    const LocationReading ten = readAnyLocation("16R GU 6115 7049");
    const LocationReading corner = readAnyLocation("16R GU 61150 70490");
    ASSERT_TRUE(ten.ok && corner.ok);
    EXPECT_EQ(ten.form, "US National Grid, 10 m");
    EXPECT_DOUBLE_EQ(ten.latitude, corner.latitude);
    EXPECT_DOUBLE_EQ(ten.longitude, corner.longitude);
    EXPECT_EQ(readAnyLocation("16R GU 6 7").form, "US National Grid, 10 km");
}

TEST(AnyLocation, PartsRoundToHundredthsOfASecondWithCarries) {
    // 84 16 50.52; and 29 59 59.9996, which carries to 30 00 00.00.
    for (const auto& [value, parts] : {std::pair{-84.2807, std::array{84, 16, 50, 52}}, {29.9999999, {30, 0, 0, 0}}}) {
        const DmsParts p = dmsParts(value);
        EXPECT_EQ((std::array{p.degrees, p.minutes, p.seconds, p.hundredths}), parts) << value;
    }
}

TEST(AnyLocation, RefusesWithTheReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"95.5, 10", "latitude 95.5 is beyond 90"}, {"30, -190", "longitude -190 is beyond 180"},
        {"N30 61 00 W84 16", "61 minutes: minutes run from 0 to 59"},
        {"N30 26 N84 16", "both coordinates are latitudes"}, {"30 26 84", "cannot tell where the latitude ends"},
        {"30.5 15, 84", "only the last part of a coordinate may have decimals"},
        {"-30 N, 84 W", "the minus sign and the letter N disagree"},
        {"17R AU 61158 70495", "column"},  // a column letter of another zone
        {"16R GU 61158 7049", "odd"},      // easting and northing of different precision
        {"16R GU", "100 km square is not a location"}, {"17S 500000 3600000", "band S or the southern hemisphere"},
        {"fire at the tower", "has no place in a location"}, {"", "nothing to read"}};
    for (const auto& [text, reason] : cases) {
        const LocationReading r = readAnyLocation(text);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_NE(r.error.find(reason), std::string::npos) << text << ": " << r.error;
    }
}

}  // namespace
}  // namespace waypost::engine

// The state Albers grid: worked values and edge cases. The short pi is checked
// against GeographicLib in GeographicLibCrossCheckTest.

#include "engine/AlbersEqualArea.h"
#include "engine/lltoAlbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

using waypost::engine::AlbersEqualArea;
using waypost::engine::lltoAlbers;

struct AlbersCase {
    double latitude;
    double longitude;
    const char* text;
    double x;
    double y;
};

class AlbersWorkedValues : public ::testing::TestWithParam<AlbersCase> {};

TEST_P(AlbersWorkedValues, TextAndResultsMatch) {
    const AlbersCase& c = GetParam();
    lltoAlbers engine;
    EXPECT_EQ(engine.ProjectAlbers(c.latitude, c.longitude), c.text);
    EXPECT_EQ(engine.AlbersX, c.x);
    EXPECT_EQ(engine.AlbersY, c.y);

    const auto point = AlbersEqualArea::StateGrid().Forward(c.latitude, c.longitude);
    EXPECT_EQ(point.text, c.text);
    EXPECT_EQ(point.x, c.x);
    EXPECT_EQ(point.y, c.y);
}

INSTANTIATE_TEST_SUITE_P(
    Grid, AlbersWorkedValues,
    ::testing::Values(AlbersCase{24, -84, "400000,0", 400000, 0},
                      // With a full-precision pi the northing would be 721401.
                      AlbersCase{30.5, -84.25, "376025,721400", 376025, 721400},
                      AlbersCase{27, -81.5, "647616,335261", 647616, 335261},
                      AlbersCase{25, -80, "803341,117363", 803341, 117363},
                      // South of the origin the northing is negative.
                      AlbersCase{23, -84, "400000,-110685", 400000, -110685}));

// A whole number in plain digits: an optional leading minus, then digits only,
// without a leading zero (other than "0" itself) and never "-0".
bool plainWholeNumber(const std::string& text) {
    const std::size_t digits = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (text.size() == digits) return false;
    if (text.find_first_not_of("0123456789", digits) != std::string::npos) return false;
    if (text[digits] == '0' && text.size() > digits + 1) return false;
    return text != "-0";
}

TEST(Albers, TextIsPlainWholeNumbersMatchingTheResults) {
    // No decimal point, no thousands separator, a leading minus only.
    lltoAlbers engine;
    int checked = 0;
    for (double lat = -89.5; lat <= 89.5; lat += 3.7) {
        for (double lon = -179.0; lon <= 179.0; lon += 11.3) {
            const std::string text = engine.ProjectAlbers(lat, lon);
            const std::size_t comma = text.find(',');
            ASSERT_NE(comma, std::string::npos) << text;
            const std::string easting = text.substr(0, comma);
            const std::string northing = text.substr(comma + 1);
            ASSERT_TRUE(plainWholeNumber(easting) && plainWholeNumber(northing)) << text;
            EXPECT_EQ(std::stod(easting), engine.AlbersX) << text;
            EXPECT_EQ(std::stod(northing), engine.AlbersY) << text;
            ++checked;
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(Albers, PolesProjectToFiniteWholeMetres) {
    // With pi taken as 3.14159 the sine of 90 degrees stays below 1.
    lltoAlbers engine;
    for (double lat : {90.0, -90.0}) {
        const std::string text = engine.ProjectAlbers(lat, -84);
        EXPECT_TRUE(std::isfinite(engine.AlbersX) && std::isfinite(engine.AlbersY)) << text;
        EXPECT_EQ(text.find_first_not_of("-0123456789,"), std::string::npos) << text;
        EXPECT_EQ(engine.AlbersX, 400000) << text;
    }
}

TEST(Albers, NotANumberIsNotCheckedButStaysVisible) {
    // No input check: NaN comes out as NaN in the text; the numbers read it as 0.
    lltoAlbers engine;
    engine.ProjectAlbers(30.5, -84.25);
    EXPECT_EQ(engine.ProjectAlbers(std::numeric_limits<double>::quiet_NaN(), -84), "NaN,NaN");
    EXPECT_EQ(engine.AlbersX, 0);
    EXPECT_EQ(engine.AlbersY, 0);
}

TEST(Albers, ConstructorRefusesBadParameters) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(AlbersEqualArea(0, 0.003, 3.14159, 24, 31.5, -84, 0, 0), std::invalid_argument);
    EXPECT_THROW(AlbersEqualArea(nan, 0.003, 3.14159, 24, 31.5, -84, 0, 0), std::invalid_argument);
    EXPECT_THROW(AlbersEqualArea(6378137, nan, 3.14159, 24, 31.5, -84, 0, 0), std::invalid_argument);
    EXPECT_THROW(AlbersEqualArea(6378137, 0, 3.14159, 24, 31.5, -84, 0, 0), std::invalid_argument);
    EXPECT_THROW(AlbersEqualArea(6378137, 0.003, 3.14159, 24, 24, -84, 0, 0), std::invalid_argument);
    EXPECT_THROW(AlbersEqualArea(6378137, 0.003, 3.14159, 90, 31.5, -84, 0, 0), std::invalid_argument);
    EXPECT_THROW(AlbersEqualArea(6378137, 0.003, 3.14159, 24, nan, -84, 0, 0), std::invalid_argument);
    EXPECT_THROW(AlbersEqualArea(6378137, 0.003, nan, 24, 31.5, -84, 0, 0), std::invalid_argument);
    EXPECT_THROW(AlbersEqualArea(6378137, 0.003, 3.14159, 24, 31.5, nan, 0, 0), std::invalid_argument);
    EXPECT_NO_THROW(AlbersEqualArea(6378137, 0.003, 3.14159, 24, 31.5, -84, 0, 0));
}

}  // namespace

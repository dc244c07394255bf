// The state Albers grid: worked values and edge cases (the short pi is checked
// against GeographicLib in GeographicLibCrossCheckTest); and the engine object,
// whose results stay each caller's own.

#include "engine/AlbersEqualArea.h"
#include "engine/lltoAlbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <regex>
#include <stdexcept>
#include <string>
#include <tuple>

namespace {

using waypost::engine::AlbersEqualArea;
using waypost::engine::lltoAlbers;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

TEST(Albers, WorkedValues) {
    const std::tuple<double, double, std::string> cases[] = {
        {24, -84, "400000,0"}, {27, -81.5, "647616,335261"}, {25, -80, "803341,117363"},
        {30.5, -84.25, "376025,721400"},  // with a full-precision pi the northing would be 721401
        {23, -84, "400000,-110685"},      // south of the origin the northing is negative
    };
    for (const auto& [latitude, longitude, text] : cases) {
        EXPECT_EQ(lltoAlbers().ProjectAlbers(latitude, longitude), text);
        EXPECT_EQ(AlbersEqualArea::StateGrid().Forward(latitude, longitude).text, text);
    }
}

TEST(Albers, TextIsPlainWholeNumbersMatchingTheResults) {
    // No decimal point, no thousands separator, no leading zero, a leading minus only, never "-0".
    const std::regex plain("(-?[1-9][0-9]*|0),(-?[1-9][0-9]*|0)");
    lltoAlbers engine;
    int checked = 0;
    for (double lat = -89.5; lat <= 89.5; lat += 3.7) {
        for (double lon = -179.0; lon <= 179.0; lon += 11.3, ++checked) {
            const std::string text = engine.ProjectAlbers(lat, lon);
            std::smatch parts;
            ASSERT_TRUE(std::regex_match(text, parts, plain)) << text;
            EXPECT_EQ(std::stod(parts[1]), engine.AlbersX) << text;
            EXPECT_EQ(std::stod(parts[2]), engine.AlbersY) << text;
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(Albers, PolesProjectToFiniteWholeMetresAndNotANumberStaysVisible) {
    // With pi taken as 3.14159 the sine of 90 degrees stays below 1.
    lltoAlbers engine;
    for (double lat : {90.0, -90.0}) {
        const std::string text = engine.ProjectAlbers(lat, -84);
        EXPECT_TRUE(std::isfinite(engine.AlbersY)) << text;
        EXPECT_EQ(text.find_first_not_of("-0123456789,"), std::string::npos) << text;
        EXPECT_EQ(engine.AlbersX, 400000) << text;
    }
    // No input check: NaN comes out as NaN in the text; the numbers read it as 0.
    EXPECT_EQ(engine.ProjectAlbers(nan, -84), "NaN,NaN");
    EXPECT_EQ(engine.AlbersX, 0);
    EXPECT_EQ(engine.AlbersY, 0);
}

TEST(Albers, ConstructorRefusesBadParameters) {
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

TEST(lltoAlbersObject, EachCallSetsOnlyItsOwnResultsAndCallersShareNothing) {
    lltoAlbers engine, other;
    engine.ProjectAlbers(30.5, -84.25);
    other.ProjectAlbers(25, -80);
    EXPECT_TRUE(engine.UTMText.empty());
    engine.USNGFromLatLong(27, -81.5);
    other.USNGFromLatLong(-33.9, 18.4);
    EXPECT_EQ(engine.UTMText, "17R 450392 2986534");
    EXPECT_EQ(other.UTMText, "34H 259583 6245888");
    EXPECT_EQ(engine.AlbersX, 376025);
    EXPECT_EQ(other.AlbersX, 803341);
    EXPECT_EQ(engine.USNGLat, 0);

    engine.LatLongFromUSNG("16R", "GU", "61158", "70495");
    EXPECT_EQ(engine.UTMText, "16R 761158 3370495");
    EXPECT_EQ(engine.AlbersY, 721400);
    EXPECT_TRUE(engine.QuarterName.empty());
    // A call that throws leaves every result as it was.
    EXPECT_THROW(engine.USNGFromLatLong(nan, 0), std::invalid_argument);
    EXPECT_EQ(engine.UTMText, "16R 761158 3370495");
    // The batch windows may overwrite the results; the same call sets them again.
    engine.USNGLat = 1;
    engine.USNGLatDMS = "x";
    engine.LatLongFromUSNG("16R", "GU", "61158", "70495");
    EXPECT_EQ(engine.USNGLat, 30.4383);
    EXPECT_EQ(engine.USNGLatDMS, " 30\u00b0 26' 17.88'' ");
}

}  // namespace

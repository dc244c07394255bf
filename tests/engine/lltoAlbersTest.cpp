// The engine object: each caller's results stay its own.

#include "engine/lltoAlbers.h"

#include <gtest/gtest.h>

namespace {

using waypost::engine::lltoAlbers;

TEST(lltoAlbersObject, EachCallSetsOnlyItsOwnResults) {
    lltoAlbers engine;
    engine.ProjectAlbers(30.5, -84.25);
    EXPECT_EQ(engine.AlbersX, 376025);
    EXPECT_EQ(engine.AlbersY, 721400);
    EXPECT_TRUE(engine.UTMText.empty());

    engine.USNGFromLatLong(27, -81.5);
    EXPECT_EQ(engine.UTMText, "17R 450392 2986534");
    EXPECT_EQ(engine.AlbersX, 376025);
    EXPECT_EQ(engine.USNGLat, 0);

    engine.LatLongFromUSNG("16R", "GU", "61158", "70495");
    EXPECT_EQ(engine.USNGLat, 30.4383);
    EXPECT_EQ(engine.USNGLong, -84.2807);
    EXPECT_EQ(engine.UTMText, "16R 761158 3370495");
    EXPECT_EQ(engine.AlbersY, 721400);
    EXPECT_TRUE(engine.QuarterName.empty());
}

TEST(lltoAlbersObject, TwoCallersDoNotShareResults) {
    lltoAlbers page;
    lltoAlbers batch;
    page.ProjectAlbers(27, -81.5);
    batch.ProjectAlbers(25, -80);
    page.USNGFromLatLong(30.5, -84.25);
    batch.USNGFromLatLong(-33.9, 18.4);
    EXPECT_EQ(page.AlbersX, 647616);
    EXPECT_EQ(batch.AlbersX, 803341);
    EXPECT_EQ(page.UTMText, "16R 763941 3377408");
    EXPECT_EQ(batch.UTMText, "34H 259583 6245888");
}

TEST(lltoAlbersObject, BatchWindowsMayOverwriteTheResults) {
    lltoAlbers engine;
    engine.LatLongFromUSNG("17R", "MK", "50392", "86534");
    engine.USNGLat = 1;
    engine.USNGLatDMS = "x";
    engine.LatLongFromUSNG("17R", "MK", "50392", "86534");
    EXPECT_EQ(engine.USNGLat, 27);
    EXPECT_EQ(engine.USNGLatDMS, " 27° 00' 00.00'' ");
}

}  // namespace

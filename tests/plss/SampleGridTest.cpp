#include "plss/SampleGrid.h"

#include "database/Database.h"
#include "plss/SectionLookup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <tuple>

namespace waypost::plss {
namespace {

const std::filesystem::path outlinePath = std::filesystem::path(WAYPOST_SOURCE_DIR) / "tools/plss/florida_outline.txt";

SectionDatabases builtDatabases() {
    const char* data = std::getenv("WAYPOST_DATA_DIR");
    return SectionDatabases::in(std::filesystem::path(data ? data : "WAYPOST_DATA_DIR unset") / "databases");
}

// Sections are numbered as the survey numbers them; the north row and the west
// column deviate from 640 acres by an amount fixed by the key, the rest are 640.
TEST(SampleGridTest, SectionsAreNumberedAsTheSurveyNumbersThemAndTheEdgesAreIrregular) {
    const int numbers[6][6] = {{6, 5, 4, 3, 2, 1},       {7, 8, 9, 10, 11, 12},   {18, 17, 16, 15, 14, 13},
                               {19, 20, 21, 22, 23, 24}, {30, 29, 28, 27, 26, 25}, {31, 32, 33, 34, 35, 36}};
    int outsideRegular = 0;
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 6; ++column) {
            const int section = numbers[row][column];
            EXPECT_EQ(sectionPlace(section), std::make_pair(row, column)) << section;
            const double acres = sampleSection(3, 'S', 7, 'E', section).acres;
            if (row > 0 && column > 0) {
                EXPECT_EQ(acres, 640) << section;
                continue;
            }
            EXPECT_TRUE(acres >= 560 && acres <= 720) << section << ": " << acres;
            EXPECT_EQ(acres, sampleSection(3, 'S', 7, 'E', section).acres);  // fixed by the key
            outsideRegular += acres < 580 || acres > 700;
        }
    }
    EXPECT_GT(outsideRegular, 0);
}

TEST(SampleGridTest, KeysAndCentresFollowTheDefinition) {
    // Centres from the initial point 30.434167 -84.277222, 0.014484 degree of
    // latitude and 69.172 * cos(latitude) miles a degree of longitude per mile.
    // Township, range and section; key; latitude and longitude of the centre.
    const std::tuple<int, char, int, char, int, std::string, double, double> cases[] = {
        {1, 'N', 1, 'E', 1, "T01N R01E S01", 30.513829, -84.184928},     // 5.5 miles east, 5.5 north
        {1, 'N', 5, 'W', 12, "T01N R05W S12", 30.499345, -84.688289},    // 24.5 west, 4.5 north
        {12, 'S', 10, 'E', 5, "T12S R10E S05", 29.470981, -83.355624},   // 55.5 east, 66.5 south
        {67, 'S', 34, 'W', 36, "T67S R34W S36", 24.618841, -87.433817},  // 198.5 west, 401.5 south
    };
    for (const auto& [township, townshipDirection, range, rangeDirection, section, key, latitude, longitude] : cases) {
        const SectionRecord record = sampleSection(township, townshipDirection, range, rangeDirection, section);
        EXPECT_EQ(record.key, key);
        EXPECT_NEAR(record.latitude, latitude, 5e-7) << key;
        EXPECT_NEAR(record.longitude, longitude, 5e-7) << key;
    }
}

// The outline keeps the state and leaves out its neighbours; the build laid the
// grid generated over it beside the program; the stream's grid in memory
// answers as the database's own queries do: the same section, the same
// iteration, the same widening steps, over the state (points on centres and on
// the lines between them included).
TEST(SampleGridTest, TheBuiltGridIsTheGeneratedOneAndTheMemoryIndexAnswersAsTheDatabase) {
    const Outline outline = Outline::read(outlinePath);
    EXPECT_TRUE(outline.contains(-84.2807, 30.4383));   // Tallahassee
    EXPECT_TRUE(outline.contains(-80.19, 25.77));       // Miami
    EXPECT_TRUE(outline.contains(-81.78, 24.555));      // Key West, an island ring
    EXPECT_FALSE(outline.contains(-84.39, 33.75));      // Atlanta
    EXPECT_FALSE(outline.contains(-85.5, 27.0));        // the Gulf

    ASSERT_NE(std::getenv("WAYPOST_DATA_DIR"), nullptr);
    const SectionDatabases files = builtDatabases();
    database::Database centres(files.centres.string(), database::Database::Mode::ReadOnly);
    database::Statement count = centres.prepare("SELECT count(*) FROM PLSS");
    count.step();
    const std::size_t generated = sampleSections(outline).size();
    EXPECT_EQ(static_cast<std::size_t>(count.columnInt(0)), generated);
    EXPECT_GT(generated, 50000U);  // Florida is some 58,000 square miles of land and water
    const SectionRecord first = sampleSection(1, 'N', 1, 'E', 1);
    const SectionPosition position = positionOfSection(files, first.key, 0, 0);
    ASSERT_TRUE(position.found);
    EXPECT_NEAR(position.latitude, first.latitude, 1e-4);
    EXPECT_NEAR(position.longitude, first.longitude, 1e-4);

    SectionFinder database(files, SectionFinder::Index::Database), memory(files, SectionFinder::Index::Memory);
    const SectionRecord centre = sampleSection(3, 'S', 2, 'E', 17);
    std::vector<std::pair<double, double>> points{
        {centre.latitude, centre.longitude}, {centre.latitude, centre.longitude + 0.0072}, {31.5, -86.0}, {24.0, -81.0}};
    std::mt19937_64 generator(88172645463325252ULL);  // the same points every run
    const auto next = [&] { return static_cast<double>(generator() % 1000000) / 1000000.0; };
    for (int i = 0; i < 1500; ++i) points.emplace_back(24.4 + 7 * next(), -87.7 + 7.8 * next());
    for (const auto& [latitude, longitude] : points) {
        const SectionSearch a = database.find(latitude, longitude), b = memory.find(latitude, longitude);
        ASSERT_EQ(std::pair(a.iteration, a.steps.size()), std::pair(b.iteration, b.steps.size())) << latitude << ' ' << longitude;
        ASSERT_EQ(a.section ? a.section->description : "", b.section ? b.section->description : "")
            << latitude << ' ' << longitude;
    }
}

}  // namespace
}  // namespace waypost::plss

#include "PlssFixture.h"

#include "plss/SectionLookup.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <regex>

namespace waypost::plss::test {
namespace {

constexpr double pointLatitude = 30.5;
constexpr double pointLongitude = -84.25;
const std::string key = "T01N R01E S01";

struct SearchCase {
    const char* name;
    std::vector<CentreRow> rows;
    int iteration;
    std::size_t steps;
    std::string description;  // empty: nothing found
};

class FindSectionTest : public PlssFixture, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(FindSectionTest, AnswersAsTheSearchDescribesIt) {
    const SearchCase& c = GetParam();
    std::vector<int> progress;
    const SectionSearch search = findSection(databases(c.rows), pointLatitude, pointLongitude,
                                             [&](int iteration) { progress.push_back(iteration); });
    EXPECT_EQ(search.iteration, c.iteration);
    EXPECT_EQ(search.steps.size(), c.steps);
    EXPECT_EQ(progress.size(), c.steps);  // one report per widening query
    if (!progress.empty()) {
        EXPECT_EQ(progress.back(), c.iteration);
    }
    EXPECT_EQ(search.section ? search.section->description : std::string(), c.description);
}

const SearchCase searchCases[] = {
    {"FoundOnIteration2", {{key, -84.2505, 30.5005, 640}}, 2, 1, "T01N R01E S01 NW 1/4 of the SE 1/4"},
    {"NothingWithin0019", {{key, -84.25, 30.52, 640}}, 20, 19, ""},
    {"FoundOnTheLastQuery", {{key, -84.25, 30.519, 640}}, 20, 19, "T01N R01E S01 SE 1/4 of the SW 1/4"},
    {"DueNorthIsNorthEast", {{key, -84.25, 30.4995, 640}}, 2, 1, "T01N R01E S01 SW 1/4 of the NE 1/4"},
    {"ExactCentreAnswersWithoutWidening", {{key, -84.25, 30.5, 640}}, 1, 0, "T01N R01E S01 SW 1/4 of the NE 1/4"},
    {"Acres579", {{key, -84.2505, 30.5005, 579}}, 2, 1, "T01N R01E S01 Irregular Section"},
    {"Acres580", {{key, -84.2505, 30.5005, 580}}, 2, 1, "T01N R01E S01 NW 1/4 of the SE 1/4"},
    {"Acres700", {{key, -84.2505, 30.5005, 700}}, 2, 1, "T01N R01E S01 NW 1/4 of the SE 1/4"},
    {"Acres701", {{key, -84.2505, 30.5005, 701}}, 2, 1, "T01N R01E S01 Irregular Section"},
    {"AcresMissing", {{key, -84.2505, 30.5005, std::nullopt}}, 2, 1, "T01N R01E S01 Irregular Section"},
    {"NearestOfSeveralAnswers",
     {{"T09S R09E S09", -84.2509, 30.5009, 640}, {key, -84.2498, 30.5003, 640}},
     2, 1, "T01N R01E S01 NE 1/4 of the SW 1/4"},
    {"EquallyNearGoesToTheFirstReturned",
     {{"T09S R09E S09", -84.2505, 30.5, 640}, {key, -84.2495, 30.5, 640}},
     2, 1, "T09S R09E S09 NW 1/4 of the SE 1/4"},
};

INSTANTIATE_TEST_SUITE_P(Search, FindSectionTest, ::testing::ValuesIn(searchCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlssFixture, LogBlockHasOneLinePerQueryWithItsCornersAndDistances) {
    const SectionSearch search =
        findSection(databases({{key, -84.2505, 30.5005, 640}}), pointLatitude, pointLongitude);
    const std::string block = searchLogBlock(search);
    const std::regex form(
        "CONVERSION RESULTS:\r\nNumber of Search Iterations:\r\n\r\n"
        "1:30\\.501,-84\\.249, ([0-9.]+) ,30\\.499,-84\\.251, ([0-9.]+)\r\n\r\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(block, match, form)) << block;
    // Both corners lie 0.001 degree away in latitude and longitude: haversine
    // with one minute of arc as 1.1515 statute miles.
    const auto miles = [](double lat1, double lon1, double lat2, double lon2) {
        const double r = 3.14159265358979 / 180;
        const double h = std::pow(std::sin((lat2 - lat1) * r / 2), 2) +
                         std::cos(lat1 * r) * std::cos(lat2 * r) * std::pow(std::sin((lon2 - lon1) * r / 2), 2);
        return 2 * std::asin(std::sqrt(h)) / r * 60 * 1.1515;
    };
    EXPECT_NEAR(std::stod(match[1]), miles(30.5, -84.25, 30.501, -84.249), 1e-6);
    EXPECT_NEAR(std::stod(match[2]), miles(30.5, -84.25, 30.499, -84.251), 1e-6);
}

TEST_F(PlssFixture, LogGetsTwoEmptyLinesBeforeEachLaterBlock) {
    const std::filesystem::path log = folder / "logs" / "search_results.txt";  // folder made on first use
    ASSERT_TRUE(appendToSearchLog(log, "A\r\n"));
    ASSERT_TRUE(appendToSearchLog(log, "B\r\n"));
    std::ifstream in(log, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "A\r\n\r\n\r\nB\r\n");
    EXPECT_FALSE(appendToSearchLog(folder, "C"));  // a folder where the log should be
}

struct PositionCase {
    const char* name;
    int longitudeOffsetMetres;
    double latitudeOffsetDegrees;
    std::string latitude, longitude;
};

class PositionTest : public PlssFixture, public ::testing::WithParamInterface<PositionCase> {};

TEST_P(PositionTest, MovesTheCentreToThePartAndRoundsToFourDecimals) {
    const PositionCase& c = GetParam();
    const SectionPosition position = positionOfSection(
        databases({{key, -84.25, 30.5, 640}, {"T01N R01E S02", -84.25678, 30.51234, 640}}),
        c.name == std::string("WholeSectionRounded") ? "T01N R01E S02" : key, c.longitudeOffsetMetres,
        c.latitudeOffsetDegrees);
    ASSERT_TRUE(position.found);
    EXPECT_EQ(position.latitudeText, c.latitude);
    EXPECT_EQ(position.longitudeText, c.longitude);
}

const PositionCase positionCases[] = {
    {"WholeSectionRounded", 0, 0, "30.512300", "-084.256800"},
    {"NorthEastQuarter", 400, 0.0036, "30.503600", "-084.245800"},
    {"SouthWestOfSouthWest", -600, -0.0055, "30.494500", "-084.256300"},
};

INSTANTIATE_TEST_SUITE_P(Convert, PositionTest, ::testing::ValuesIn(positionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlssFixture, UnknownKeyIsNotFoundAndUnreadableDatabasesThrowNamingTheFile) {
    const SectionDatabases files = databases({{key, -84.25, 30.5, 640}});
    EXPECT_FALSE(positionOfSection(files, "T01N R01E S02", 0, 0).found);

    std::filesystem::remove(files.search);
    try {
        (void)findSection(files, pointLatitude, pointLongitude);
        ADD_FAILURE() << "no error";
    } catch (const database::DatabaseError& error) {
        EXPECT_EQ(error.file(), files.search.string());
    }
    std::ofstream(files.centres, std::ios::trunc) << "not a database, only words in a file of some length";
    EXPECT_THROW((void)positionOfSection(files, key, 0, 0), database::DatabaseError);
}

}  // namespace
}  // namespace waypost::plss::test

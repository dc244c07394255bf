#include "PlssFixture.h"

#include "engine/SearchGeometry.h"
#include "plss/SectionLookup.h"

#include <fstream>
#include <iterator>
#include <regex>
#include <tuple>
#include <utility>

namespace waypost::plss::test {
namespace {

const std::string key = "T01N R01E S01";

// The search widens its box query by query, the nearest centre answers, and
// its acreage says whether the quarters describe it.
TEST_F(PlssFixture, FindSectionAnswersAsTheSearchDescribesIt) {
    // The point is 30.5 -84.25. The databases' rows; the iteration it ends on,
    // the queries made and the answer ("": nothing found).
    const std::tuple<std::vector<CentreRow>, int, std::size_t, std::string> cases[] = {
        {{{key, -84.2505, 30.5005, 640}}, 2, 1, "T01N R01E S01 NW 1/4 of the SE 1/4"},
        {{{key, -84.25, 30.52, 640}}, 20, 19, ""},  // nothing within 0.019
        {{{key, -84.25, 30.519, 640}}, 20, 19, "T01N R01E S01 SE 1/4 of the SW 1/4"},  // found on the last query
        {{{key, -84.25, 30.4995, 640}}, 2, 1, "T01N R01E S01 SW 1/4 of the NE 1/4"},   // due north is north-east
        {{{key, -84.25, 30.5, 640}}, 1, 0, "T01N R01E S01 SW 1/4 of the NE 1/4"},  // the exact centre: no widening
        // Acreage from 580 to 700 is a regular section, outside it or unknown an irregular one.
        {{{key, -84.2505, 30.5005, 579}}, 2, 1, "T01N R01E S01 Irregular Section"},
        {{{key, -84.2505, 30.5005, 580}}, 2, 1, "T01N R01E S01 NW 1/4 of the SE 1/4"},
        {{{key, -84.2505, 30.5005, 700}}, 2, 1, "T01N R01E S01 NW 1/4 of the SE 1/4"},
        {{{key, -84.2505, 30.5005, 701}}, 2, 1, "T01N R01E S01 Irregular Section"},
        {{{key, -84.2505, 30.5005, std::nullopt}}, 2, 1, "T01N R01E S01 Irregular Section"},
        // The nearest of several answers; of equally near ones the first returned.
        {{{"T09S R09E S09", -84.2509, 30.5009, 640}, {key, -84.2498, 30.5003, 640}}, 2, 1,
         "T01N R01E S01 NE 1/4 of the SW 1/4"},
        {{{"T09S R09E S09", -84.2505, 30.5, 640}, {key, -84.2495, 30.5, 640}}, 2, 1, "T09S R09E S09 NW 1/4 of the SE 1/4"}};
    for (const auto& [rows, iteration, steps, description] : cases) {
        std::vector<int> progress;
        const SectionSearch search = findSection(databases(rows), 30.5, -84.25, [&](int n) { progress.push_back(n); });
        EXPECT_EQ(search.section ? search.section->description : "", description);
        EXPECT_EQ(std::pair(search.iteration, search.steps.size()), std::pair(iteration, steps)) << description;
        EXPECT_EQ(progress.size(), steps);  // one report per widening query
        EXPECT_TRUE(progress.empty() || progress.back() == iteration);
    }
}

// The log's block has one line per query with its corners and their distances;
// a later block comes after two empty lines; an unwritable log is told.
TEST_F(PlssFixture, SearchLogHasALinePerQueryAndEmptyLinesBetweenBlocks) {
    const std::string block = searchLogBlock(findSection(databases({{key, -84.2505, 30.5005, 640}}), 30.5, -84.25));
    const std::regex form("CONVERSION RESULTS:\r\nNumber of Search Iterations:\r\n\r\n"
                          "1:30\\.501,-84\\.249, ([0-9.]+) ,30\\.499,-84\\.251, ([0-9.]+)\r\n\r\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(block, match, form)) << block;
    EXPECT_NEAR(std::stod(match[1]), engine::GreatCircleDistance(30.5, -84.25, 30.501, -84.249, 'M'), 1e-6);
    EXPECT_NEAR(std::stod(match[2]), engine::GreatCircleDistance(30.5, -84.25, 30.499, -84.251, 'M'), 1e-6);

    const std::filesystem::path log = folder / "logs" / "search_results.txt";  // folder made on first use
    ASSERT_TRUE(appendToSearchLog(log, "A\r\n"));
    ASSERT_TRUE(appendToSearchLog(log, "B\r\n"));
    std::ifstream in(log, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "A\r\n\r\n\r\nB\r\n");
    EXPECT_FALSE(appendToSearchLog(folder, "C"));  // a folder where the log should be
}

// A position moves the centre to the part asked for and rounds to four
// decimals; a missing key is not found; unreadable databases throw naming the file.
TEST_F(PlssFixture, PositionMovesTheCentreToThePartAndUnreadableDatabasesThrow) {
    const SectionDatabases files = databases({{key, -84.25, 30.5, 640}, {"T01N R01E S02", -84.25678, 30.51234, 640}});
    // Key, offsets in metres east and degrees north; latitude and longitude texts.
    const std::tuple<std::string, int, double, std::string, std::string> cases[] = {
        {"T01N R01E S02", 0, 0, "30.512300", "-084.256800"},  // the whole section, rounded
        {key, 400, 0.0036, "30.503600", "-084.245800"},       // its north-east quarter
        {key, -600, -0.0055, "30.494500", "-084.256300"},     // south-west of the south-west
    };
    for (const auto& [section, east, north, latitude, longitude] : cases) {
        const SectionPosition position = positionOfSection(files, section, east, north);
        ASSERT_TRUE(position.found);
        EXPECT_EQ(std::tie(position.latitudeText, position.longitudeText), std::tie(latitude, longitude));
    }
    EXPECT_FALSE(positionOfSection(files, "T01N R01E S03", 0, 0).found);

    std::filesystem::remove(files.search);
    try {
        (void)findSection(files, 30.5, -84.25);
        ADD_FAILURE() << "no error";
    } catch (const database::DatabaseError& error) {
        EXPECT_EQ(error.file(), files.search.string());
    }
    std::ofstream(files.centres, std::ios::trunc) << "not a database, only words in a file of some length";
    EXPECT_THROW((void)positionOfSection(files, key, 0, 0), database::DatabaseError);
}

}  // namespace
}  // namespace waypost::plss::test

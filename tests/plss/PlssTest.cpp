// PLSS sections: the sample grid against its definition, the look-ups over
// small databases made by each test, and the builder over a GDAL source.

#include "database/Database.h"
#include "engine/SearchGeometry.h"
#include "plss/SampleGrid.h"
#include "plss/SectionLookup.h"
#include "plss/SectionSource.h"

#include <GeographicLib/PolygonArea.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace waypost::plss {
namespace {

// ---------------------------------------------------------------- the sample grid

// Sections are numbered as the survey numbers them; the north row and the west
// column deviate from 640 acres by an amount fixed by the key, the rest are 640.
TEST(SampleGridTest, SectionsAreNumberedAsTheSurveyNumbersThemAndTheEdgesAreIrregular) {
    const int numbers[6][6] = {{6, 5, 4, 3, 2, 1},       {7, 8, 9, 10, 11, 12},   {18, 17, 16, 15, 14, 13},
                               {19, 20, 21, 22, 23, 24}, {30, 29, 28, 27, 26, 25}, {31, 32, 33, 34, 35, 36}};
    int outsideRegular = 0;
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 6; ++column) {
            const int section = numbers[row][column];
            EXPECT_EQ(sectionPlace(section), std::make_pair(row, column)) << section;
            const double acres = sampleSection(3, 'S', 7, 'E', section).acres;
            EXPECT_EQ(acres, sampleSection(3, 'S', 7, 'E', section).acres);  // fixed by the key
            if (row > 0 && column > 0) EXPECT_EQ(acres, 640) << section;
            else EXPECT_TRUE(acres >= 560 && acres <= 720) << section << ": " << acres;
            outsideRegular += acres < 580 || acres > 700;
        }
    EXPECT_GT(outsideRegular, 0);
}

TEST(SampleGridTest, KeysAndCentresFollowTheDefinition) {
    // Centres from the initial point 30.434167 -84.277222, 0.014484 degree of
    // latitude and 69.172 * cos(latitude) miles a degree of longitude per mile.
    // Township, range and section; key; latitude and longitude of the centre.
    const std::tuple<int, char, int, char, int, std::string, double, double> cases[] = {
        {1, 'N', 1, 'E', 1, "T01N R01E S01", 30.513829, -84.184928},      // 5.5 miles east, 5.5 north
        {67, 'S', 34, 'W', 36, "T67S R34W S36", 24.618841, -87.433817}};  // 198.5 west, 401.5 south
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
    const Outline outline = Outline::read(std::filesystem::path(WAYPOST_SOURCE_DIR) / "tools/plss/florida_outline.txt");
    // Tallahassee, Miami and Key West (an island ring) are in; Atlanta and the Gulf are out.
    for (const auto& [longitude, latitude, inside] :
         {std::tuple{-84.2807, 30.4383, true}, {-80.19, 25.77, true}, {-81.78, 24.555, true}, {-84.39, 33.75, false},
          {-85.5, 27.0, false}})
        EXPECT_EQ(outline.contains(longitude, latitude), inside) << longitude << " " << latitude;

    const char* data = std::getenv("WAYPOST_DATA_DIR");
    ASSERT_NE(data, nullptr);
    const SectionDatabases files = SectionDatabases::in(std::filesystem::path(data) / "databases");
    database::Database centres(files.centres.string(), database::Database::Mode::ReadOnly);
    database::Statement count = centres.prepare("SELECT count(*) FROM PLSS");
    ASSERT_TRUE(count.step());
    const std::size_t generated = sampleSections(outline).size();
    EXPECT_EQ(static_cast<std::size_t>(count.columnInt(0)), generated);
    EXPECT_GT(generated, 50000U);  // Florida is some 58,000 square miles of land and water

    SectionFinder database(files, SectionFinder::Index::Database), memory(files, SectionFinder::Index::Memory);
    const SectionRecord centre = sampleSection(3, 'S', 2, 'E', 17);
    std::vector<std::pair<double, double>> points{
        {centre.latitude, centre.longitude}, {centre.latitude, centre.longitude + 0.0072}, {31.5, -86.0}, {24.0, -81.0}};
    std::mt19937_64 generator(88172645463325252ULL);  // the same points every run
    const auto next = [&] { return static_cast<double>(generator() % 1000000) / 1000000.0; };
    for (int i = 0; i < 1500; ++i) points.emplace_back(24.4 + 7 * next(), -87.7 + 7.8 * next());
    for (const auto& [latitude, longitude] : points) {
        const SectionSearch a = database.find(latitude, longitude), b = memory.find(latitude, longitude);
        ASSERT_EQ(std::pair(a.iteration, a.steps.size()), std::pair(b.iteration, b.steps.size()))
            << latitude << ' ' << longitude;
        ASSERT_EQ(a.section ? a.section->description : "", b.section ? b.section->description : "")
            << latitude << ' ' << longitude;
    }
}

// ---------------------------------------------------------------- look-ups over small databases

struct CentreRow {
    std::string key;
    double longitude, latitude;
    std::optional<double> acres;  ///< no acreage row when absent
};

// Each test works in a fresh folder of its own, removed again afterwards.
class PlssFixture : public ::testing::Test {
protected:
    PlssFixture() { std::filesystem::remove_all(folder); std::filesystem::create_directories(folder); }
    ~PlssFixture() override { std::filesystem::remove_all(folder); }

    /// The three databases, each with its own table as the agency's files hold it, made anew with \p rows.
    SectionDatabases databases(const std::vector<CentreRow>& rows) const {
        const SectionDatabases files = SectionDatabases::in(folder);
        for (const auto& path : {files.centres, files.search, files.acres}) {
            std::filesystem::remove(path);
            database::Database db(path.string(), database::Database::Mode::Create);
            const bool acres = path == files.acres;
            db.execute(acres ? "CREATE TABLE kova_Acres (TRS TEXT, ACRES REAL)"
                             : "CREATE TABLE PLSS (TRS TEXT, LONGITUDE REAL, LATITUDE REAL)");
            for (const auto& [trs, longitude, latitude, area] : rows) {
                if (acres && area) db.prepare("INSERT INTO kova_Acres VALUES (?, ?)").bind(1, trs).bind(2, *area).run();
                if (!acres) db.prepare("INSERT INTO PLSS VALUES (?, ?, ?)").bind(1, trs).bind(2, longitude)
                                .bind(3, latitude).run();
            }
        }
        return files;
    }

    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
        ("waypost-plss-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
};

const std::string key = "T01N R01E S01";

// The search widens its box query by query, the nearest centre answers, and
// its acreage says whether the quarters describe it.
TEST_F(PlssFixture, FindSectionAnswersAsTheSearchDescribesIt) {
    // The point is 30.5 -84.25. The databases' rows; the iteration it ends on,
    // the queries made and the answer ("": nothing found).
    const std::string nwOfSe = key + " NW 1/4 of the SE 1/4", irregular = key + " Irregular Section";
    const std::tuple<std::vector<CentreRow>, int, std::size_t, std::string> cases[] = {
        {{{key, -84.25, 30.52, 640}}, 20, 19, ""},  // nothing within 0.019
        {{{key, -84.25, 30.519, 640}}, 20, 19, key + " SE 1/4 of the SW 1/4"},  // found on the last query
        {{{key, -84.25, 30.5, 640}}, 1, 0, key + " SW 1/4 of the NE 1/4"},  // the exact centre: no widening
        // Acreage from 580 to 700 is a regular section, outside it or unknown an irregular one.
        {{{key, -84.2505, 30.5005, 579}}, 2, 1, irregular}, {{{key, -84.2505, 30.5005, 580}}, 2, 1, nwOfSe},
        {{{key, -84.2505, 30.5005, 700}}, 2, 1, nwOfSe}, {{{key, -84.2505, 30.5005, 701}}, 2, 1, irregular},
        {{{key, -84.2505, 30.5005, std::nullopt}}, 2, 1, irregular},
        // The nearest of several answers; of equally near ones the first returned.
        {{{"T09S R09E S09", -84.2509, 30.5009, 640}, {key, -84.2498, 30.5003, 640}}, 2, 1,
         key + " NE 1/4 of the SW 1/4"},
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
// decimals; a database that is no database throws (a missing one is named:
// ConversionPageTest.unreadableDatabasesAreNamedAndLeaveNoHalfResult).
TEST_F(PlssFixture, PositionMovesTheCentreToThePartAndUnreadableDatabasesThrow) {
    const SectionDatabases files = databases({{key, -84.25, 30.5, 640}, {"T01N R01E S02", -84.25678, 30.51234, 640}});
    // Key, offsets in metres east and degrees north; latitude and longitude texts.
    const std::tuple<std::string, int, double, std::string, std::string> cases[] = {
        {"T01N R01E S02", 0, 0, "30.512300", "-084.256800"},  // the whole section, rounded
        {key, -600, -0.0055, "30.494500", "-084.256300"}};    // south-west of the south-west
    for (const auto& [section, east, north, latitude, longitude] : cases) {
        const SectionPosition position = positionOfSection(files, section, east, north);
        ASSERT_TRUE(position.found);
        EXPECT_EQ(std::tie(position.latitudeText, position.longitudeText), std::tie(latitude, longitude));
    }

    std::ofstream(files.centres, std::ios::trunc) << "not a database, only words in a file of some length";
    EXPECT_THROW((void)positionOfSection(files, key, 0, 0), database::DatabaseError);
}

// ---------------------------------------------------------------- the builder over a GDAL source

constexpr double mile = 1609.344;
constexpr double west = 760000, south = 3370000;  // a corner in UTM zone 16 north, near Tallahassee

/// A square mile with its south-west corner at \p x0, \p y0, as a GeoJSON geometry.
std::string square(double x0, double y0) {
    const auto at = [](double x, double y) { return '[' + std::to_string(x) + ", " + std::to_string(y) + ']'; };
    return R"({"type": "Polygon", "coordinates": [[)" + at(x0, y0) + ", " + at(x0 + mile, y0) + ", " +
           at(x0 + mile, y0 + mile) + ", " + at(x0, y0 + mile) + ", " + at(x0, y0) + "]]}";
}

using Feature = std::pair<std::vector<std::string>, std::string>;  // text fields and the GeoJSON geometry

/// A GeoJSON source in UTM zone 16 north (its coordinate system named as GDAL names it) with text fields \p names.
void writeSource(const std::filesystem::path& path, const std::vector<std::string>& names,
                 const std::vector<Feature>& features) {
    std::ofstream out(path);
    out << R"({"type": "FeatureCollection", "crs": {"type": "name", "properties": {"name": )"
        << R"("urn:ogc:def:crs:EPSG::32616"}}, "features": [)";
    for (std::size_t f = 0; f < features.size(); ++f) {
        out << (f ? ", " : "") << R"({"type": "Feature", "properties": {)";
        for (std::size_t i = 0; i < names.size(); ++i)
            out << (i ? ", " : "") << '"' << names[i] << R"(": ")" << features[f].first[i] << '"';
        out << R"(}, "geometry": )" << features[f].second << '}';
    }
    out << "]}\n";
}

/// Centre (longitude, latitude) and acres of a UTM rectangle by GeographicLib.
std::tuple<double, double, double> truth(double x0, double y0, double width, double height) {
    GeographicLib::PolygonArea polygon(GeographicLib::Geodesic::WGS84());
    double lat = 0, lon = 0, perimeter = 0, area = 0;
    for (const auto& [x, y] : {std::pair{x0, y0}, {x0 + width, y0}, {x0 + width, y0 + height}, {x0, y0 + height}}) {
        GeographicLib::UTMUPS::Reverse(16, true, x, y, lat, lon);
        polygon.AddPoint(lat, lon);
    }
    polygon.Compute(false, true, perimeter, area);
    GeographicLib::UTMUPS::Reverse(16, true, x0 + width / 2, y0 + height / 2, lat, lon);
    return {lon, lat, area / 4046.8564224};
}

// A key field gives one section per key (its pieces joined), its centre in
// WGS 84 and its acres on the ellipsoid; what cannot be read is counted by reason.
TEST_F(PlssFixture, KeyFieldSourceGivesCentresInWgs84AndAcresOnTheEllipsoid) {
    const auto source = folder / "sections.geojson";
    writeSource(source, {"TRS"},
                {{{"T1N R1E S1"}, square(west, south)},
                 {{"t01n r01e s01"}, square(west + mile, south)},  // the same section in two pieces
                 {{"T1N R1E S2"}, square(west, south + mile)},
                 {{"bogus"}, square(west, south + 2 * mile)},
                 {{"T1N R1E S3"}, R"({"type": "Point", "coordinates": [760000, 3370000]})"}});
    std::ostringstream progress;
    const SourceSections read = readSectionSource(source.string(), "", SectionFields{.key = "TRS"}, progress);
    EXPECT_EQ(read.skipped, (std::map<std::string, std::size_t>{{"key not understood", 1}, {"not a polygon", 1}}));
    ASSERT_EQ(read.sections.size(), 2U);
    const std::pair<std::string, std::tuple<double, double, double>> expected[] = {
        {"T01N R01E S01", truth(west, south, 2 * mile, mile)}, {"T01N R01E S02", truth(west, south + mile, mile, mile)}};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& [longitude, latitude, acres] = expected[i].second;
        EXPECT_EQ(read.sections[i].key, expected[i].first);
        EXPECT_NEAR(read.sections[i].acres, acres, 0.05);
        EXPECT_NEAR(read.sections[i].longitude, longitude, 2e-6);
        EXPECT_NEAR(read.sections[i].latitude, latitude, 2e-6);
    }
}

// Separate fields make the key (a bad direction skipped and told); the program
// replaces the databases only when complete, and a bad command line is refused.
TEST_F(PlssFixture, SeparateFieldsMakeTheKeyAndTheProgramReplacesDatabasesOnlyWhenComplete) {
    const std::string source = (folder / "fields.geojson").string(), output = (folder / "databases").string();
    writeSource(source, {"TWP", "TDIR", "RNG", "RDIR", "SEC"},
                {{{"001", "North", "05", "W", "12"}, square(west, south)},
                 {{"2", "X", "5", "W", "1"}, square(west, south + mile)}});
    std::ostringstream out, err;
    const auto build = [&](std::vector<std::string_view> args) { return runPlssBuild(args, out, err); };
    ASSERT_EQ(build({source, "--township-field", "TWP", "--range-field", "RNG", "--section-field", "SEC",
                     "--direction-fields", "TDIR,RDIR", "--output", output}), 0) << err.str();
    EXPECT_NE(err.str().find("skipped (direction is not N, S, E or W): 1"), std::string::npos) << err.str();
    EXPECT_TRUE(positionOfSection(SectionDatabases::in(output), "T01N R05W S12", 0, 0).found);

    const auto bytes = [&] {
        std::ifstream in(std::filesystem::path(output) / std::string(searchFileName), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string before = bytes();
    EXPECT_EQ(build({(folder / "none.geojson").string(), "--key-field", "TRS", "--output", output}), 1);
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(output), {}), 3);  // nothing left behind
    EXPECT_EQ(build({"--key-field", "TRS"}), 2);
}

}  // namespace
}  // namespace waypost::plss

#include "PlssFixture.h"

#include "plss/SectionSource.h"

#include <GeographicLib/PolygonArea.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>
#include <utility>

namespace waypost::plss::test {
namespace {

constexpr double mile = 1609.344;
constexpr double west = 760000, south = 3370000;  // a corner in UTM zone 16 north, near Tallahassee

using Feature = std::pair<std::vector<std::string>, std::string>;  // text fields and the geometry in WKT

/// A square mile with its south-west corner at \p x0, \p y0, in WKT.
std::string square(double x0, double y0) {
    const auto at = [](double x, double y) { return std::to_string(x) + ' ' + std::to_string(y); };
    return "POLYGON((" + at(x0, y0) + ',' + at(x0 + mile, y0) + ',' + at(x0 + mile, y0 + mile) + ',' +
           at(x0, y0 + mile) + ',' + at(x0, y0) + "))";
}

/// A GeoPackage layer in UTM zone 16 north with text fields \p names.
void writeLayer(const std::filesystem::path& path, const std::vector<std::string>& names,
                const std::vector<Feature>& features) {
    GDALAllRegister();
    GDALDatasetUniquePtr dataset(
        GetGDALDriverManager()->GetDriverByName("GPKG")->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    ASSERT_NE(dataset.get(), nullptr);
    OGRSpatialReference utm;
    utm.importFromEPSG(32616);
    OGRLayer* layer = dataset->CreateLayer("sections", &utm, wkbUnknown, nullptr);
    for (const std::string& name : names) {
        OGRFieldDefn field(name.c_str(), OFTString);
        layer->CreateField(&field);
    }
    for (const auto& [fields, wkt] : features) {
        OGRFeature feature(layer->GetLayerDefn());
        for (std::size_t i = 0; i < fields.size(); ++i) feature.SetField(static_cast<int>(i), fields[i].c_str());
        OGRGeometry* geometry = nullptr;
        OGRGeometryFactory::createFromWkt(wkt.c_str(), nullptr, &geometry);
        feature.SetGeometryDirectly(geometry);
        ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
    }
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
    const auto source = folder / "sections.gpkg";
    writeLayer(source, {"TRS"},
               {{{"T1N R1E S1"}, square(west, south)},
                {{"t01n r01e s01"}, square(west + mile, south)},  // the same section in two pieces
                {{"T1N R1E S2"}, square(west, south + mile)},
                {{"bogus"}, square(west, south + 2 * mile)},
                {{"T1N R1E S3"}, "POINT(760000 3370000)"}});
    std::ostringstream progress;
    SectionFields fields;
    fields.key = "TRS";
    const SourceSections read = readSectionSource(source.string(), "", fields, progress);
    EXPECT_EQ(read.featuresRead, 5U);
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
    const std::string source = (folder / "fields.gpkg").string(), output = (folder / "databases").string();
    writeLayer(source, {"TWP", "TDIR", "RNG", "RDIR", "SEC"},
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
    EXPECT_EQ(build({(folder / "none.gpkg").string(), "--key-field", "TRS", "--output", output}), 1);
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(output), {}), 3);  // nothing left behind
    EXPECT_EQ(build({"--key-field", "TRS"}), 2);
}

}  // namespace
}  // namespace waypost::plss::test

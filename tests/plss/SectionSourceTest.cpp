#include "PlssFixture.h"

#include "plss/SectionSource.h"

#include <GeographicLib/PolygonArea.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace waypost::plss::test {
namespace {

constexpr double mile = 1609.344;
constexpr double west = 760000, south = 3370000;  // a corner in UTM zone 16 north, near Tallahassee

struct Feature {
    std::vector<std::string> fields;
    std::string wkt;
};

std::string square(double x0, double y0, double side = mile) {
    std::ostringstream wkt;
    wkt.precision(12);
    wkt << "POLYGON((" << x0 << ' ' << y0 << ',' << x0 + side << ' ' << y0 << ',' << x0 + side << ' ' << y0 + side
        << ',' << x0 << ' ' << y0 + side << ',' << x0 << ' ' << y0 << "))";
    return wkt.str();
}

/// A GeoPackage layer in UTM zone 16 north with text fields \p names.
void writeLayer(const std::filesystem::path& path, const std::vector<std::string>& names,
                const std::vector<Feature>& features) {
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
    GDALDataset* dataset = driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr);
    ASSERT_NE(dataset, nullptr);
    OGRSpatialReference utm;
    utm.importFromEPSG(32616);
    OGRLayer* layer = dataset->CreateLayer("sections", &utm, wkbUnknown, nullptr);
    for (const std::string& name : names) {
        OGRFieldDefn field(name.c_str(), OFTString);
        layer->CreateField(&field);
    }
    for (const Feature& f : features) {
        OGRFeature feature(layer->GetLayerDefn());
        for (std::size_t i = 0; i < f.fields.size(); ++i) feature.SetField(static_cast<int>(i), f.fields[i].c_str());
        OGRGeometry* geometry = nullptr;
        OGRGeometryFactory::createFromWkt(f.wkt.c_str(), nullptr, &geometry);
        feature.SetGeometryDirectly(geometry);
        ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
    }
    GDALClose(dataset);
}

/// Centre (longitude, latitude) and acres of a UTM rectangle by GeographicLib.
struct Truth {
    double longitude, latitude, acres;
};
Truth truth(double x0, double y0, double width, double height) {
    GeographicLib::PolygonArea polygon(GeographicLib::Geodesic::WGS84());
    for (const auto& [x, y] : {std::pair{x0, y0}, {x0 + width, y0}, {x0 + width, y0 + height}, {x0, y0 + height}}) {
        double lat = 0, lon = 0;
        GeographicLib::UTMUPS::Reverse(16, true, x, y, lat, lon);
        polygon.AddPoint(lat, lon);
    }
    double perimeter = 0, area = 0;
    polygon.Compute(false, true, perimeter, area);
    double lat = 0, lon = 0;
    GeographicLib::UTMUPS::Reverse(16, true, x0 + width / 2, y0 + height / 2, lat, lon);
    return {lon, lat, area / 4046.8564224};
}

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

    const Truth whole = truth(west, south, 2 * mile, mile);
    EXPECT_EQ(read.sections[0].key, "T01N R01E S01");
    EXPECT_NEAR(read.sections[0].acres, whole.acres, 0.05);
    EXPECT_NEAR(read.sections[0].longitude, whole.longitude, 2e-6);
    EXPECT_NEAR(read.sections[0].latitude, whole.latitude, 2e-6);
    const Truth one = truth(west, south + mile, mile, mile);
    EXPECT_EQ(read.sections[1].key, "T01N R01E S02");
    EXPECT_NEAR(read.sections[1].acres, one.acres, 0.05);
    EXPECT_NEAR(read.sections[1].latitude, one.latitude, 2e-6);
}

TEST_F(PlssFixture, SeparateFieldsMakeTheKeyAndTheProgramReplacesDatabasesOnlyWhenComplete) {
    const auto source = folder / "fields.gpkg";
    writeLayer(source, {"TWP", "TDIR", "RNG", "RDIR", "SEC"},
               {{{"001", "North", "05", "W", "12"}, square(west, south)},
                {{"2", "X", "5", "W", "1"}, square(west, south + mile)}});
    const auto output = folder / "databases";
    const std::string sourceText = source.string(), outputText = output.string();
    const std::vector<std::string_view> args = {sourceText,        "--township-field", "TWP",     "--range-field",
                                                "RNG",             "--section-field",  "SEC",     "--direction-fields",
                                                "TDIR,RDIR",       "--output",         outputText};
    std::ostringstream out, err;
    ASSERT_EQ(runPlssBuild(args, out, err), 0) << err.str();
    EXPECT_NE(err.str().find("skipped (direction is not N, S, E or W): 1"), std::string::npos) << err.str();
    EXPECT_TRUE(positionOfSection(SectionDatabases::in(output), "T01N R05W S12", 0, 0).found);

    const auto bytes = [](const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string before = bytes(output / std::string(searchFileName));
    const std::string missing = (folder / "none.gpkg").string();
    const std::vector<std::string_view> failing = {missing, "--key-field", "TRS", "--output", outputText};
    EXPECT_EQ(runPlssBuild(failing, out, err), 1);
    EXPECT_EQ(bytes(output / std::string(searchFileName)), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(output), {}), 3);  // nothing left behind

    const std::vector<std::string_view> noSource = {"--key-field", "TRS"};
    EXPECT_EQ(runPlssBuild(noSource, out, err), 2);
}

}  // namespace
}  // namespace waypost::plss::test

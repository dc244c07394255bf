// A drawing read as a GIS reads it, measured against GeographicLib's geodesic
// figures (an independent computation; the state grid is equal-area).

#include "kmlimport/DrawnShapes.h"
#include "kmlimport/KmlDrawing.h"

#include <QStringList>

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/PolygonArea.hpp>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace waypost::kmlimport {
namespace {

constexpr double kSquareMetresPerAcre = 4046.85;
constexpr double kMetresPerMile = 1609.344;

const char* const kSquare = "-84.25,30.5 -84.24,30.5 -84.24,30.51 -84.25,30.51 -84.25,30.5";
const char* const kHoleCw = "-84.248,30.502 -84.248,30.504 -84.246,30.504 -84.246,30.502 -84.248,30.502";
const char* const kHoleCcw = "-84.248,30.502 -84.246,30.502 -84.246,30.504 -84.248,30.504 -84.248,30.502";
const char* const kOther = "-84.2,30.5 -84.19,30.5 -84.19,30.51 -84.2,30.51 -84.2,30.5";

std::string ring(const char* boundary, const std::string& coordinates) {
    return "<" + std::string(boundary) + "><LinearRing><coordinates>" + coordinates + "</coordinates></LinearRing></" +
           boundary + ">";
}

std::string polygon(const std::string& outer, const std::string& hole = {}) {
    return "<Polygon>" + ring("outerBoundaryIs", outer) + (hole.empty() ? "" : ring("innerBoundaryIs", hole)) +
           "</Polygon>";
}

std::string placemark(const std::string& geometry) { return "<Placemark>" + geometry + "</Placemark>"; }

QByteArray document(const std::string& body) {
    return QByteArray::fromStdString("<?xml version=\"1.0\" encoding=\"UTF-8\"?><kml xmlns=\"http://www.opengis.net/kml/2.2\" "
                                     "xmlns:gx=\"http://www.google.com/kml/ext/2.2\"><Document>" + body +
                                     "</Document></kml>");
}

/// Geodesic area (acres) and perimeter (miles) of a ring given as "lon,lat ..." text.
std::pair<double, double> geodesic(const std::string& ring, bool closed = true) {
    GeographicLib::PolygonArea area(GeographicLib::Geodesic::WGS84(), !closed);
    for (const QString& tuple : QString::fromStdString(ring).split(u' ', Qt::SkipEmptyParts)) {
        const QStringList parts = tuple.split(u',');
        area.AddPoint(parts[1].toDouble(), parts[0].toDouble());
    }
    double perimeter = 0, squareMetres = 0;
    area.Compute(false, true, perimeter, squareMetres);
    return {std::abs(squareMetres) / kSquareMetresPerAcre, perimeter / kMetresPerMile};
}

struct DrawingCase {
    const char* name;
    std::string body;
    std::size_t polygons, holes, lines, points;
    double acres, miles;  ///< of the polygons, or of the lines without polygons
    const char* description;
};

std::vector<DrawingCase> cases() {
    const auto [square, squareMiles] = geodesic(kSquare);
    const auto [hole, holeMiles] = geodesic(kHoleCw);
    const auto [other, otherMiles] = geodesic(kOther);
    const double trackMiles = geodesic("-84.3,30.5 -84.31,30.51 -84.32,30.51", false).second;
    // A GPS track with a vertex about every metre: rounding each vertex to
    // whole metres first would add several percent to its length.
    std::string dense;
    for (int i = 0; i <= 2000; ++i)
        dense += QStringLiteral("%1,%2 ").arg(-84.3 + i * 0.0000093, 0, 'f', 7).arg(30.5 + i * 0.0000031, 0, 'f', 7).toStdString();
    const double denseMiles = geodesic(dense, false).second;
    return {
        {"one_ring", placemark(polygon(kSquare)), 1, 0, 0, 0, square, squareMiles, "1 polygon"},
        {"hole_clockwise", placemark(polygon(kSquare, kHoleCw)), 1, 1, 0, 0, square - hole, squareMiles + holeMiles,
         "1 polygon (1 hole)"},
        {"hole_counter_clockwise", placemark(polygon(kSquare, kHoleCcw)), 1, 1, 0, 0, square - hole,
         squareMiles + holeMiles, "1 polygon (1 hole)"},
        {"two_polygons_in_one_multigeometry",
         placemark("<MultiGeometry>" + polygon(kSquare) + polygon(kOther) + "</MultiGeometry>"), 2, 0, 0, 0,
         square + other, squareMiles + otherMiles, "2 polygons"},
        {"label_point_beside", placemark(polygon(kSquare)) + placemark("<Point><coordinates>-84.245,30.505</coordinates></Point>"),
         1, 0, 0, 1, square, squareMiles, "1 polygon; 1 point not used"},
        {"overlay_corners",
         placemark(polygon(kSquare)) + "<GroundOverlay><Icon><href>map.png</href></Icon><gx:LatLonQuad><coordinates>"
                                       "-85,30 -84,30 -84,31 -85,31</coordinates></gx:LatLonQuad></GroundOverlay>",
         1, 0, 0, 0, square, squareMiles, "1 polygon"},
        {"gps_track",
         placemark("<gx:Track><when>2026-09-14T10:00:00Z</when><when>2026-09-14T10:01:00Z</when>"
                   "<when>2026-09-14T10:02:00Z</when><gx:coord>-84.3 30.5 0</gx:coord><gx:coord>-84.31 30.51 0</gx:coord>"
                   "<gx:coord>-84.32 30.51 0</gx:coord></gx:Track>"),
         0, 0, 1, 0, 0, trackMiles, "1 line"},
        {"dense_track", placemark("<LineString><coordinates>" + dense + "</coordinates></LineString>"), 0, 0, 1, 0, 0,
         denseMiles, "1 line"},
    };
}

class DrawnShapesTest : public ::testing::TestWithParam<DrawingCase> {};

TEST_P(DrawnShapesTest, AreReadAndMeasuredAsDrawn) {
    const DrawingCase& c = GetParam();
    const DrawnShapes shapes = readShapes(document(c.body), QStringLiteral("drawing.kml"));
    std::size_t holes = 0;
    double acres = 0, miles = 0;
    for (const DrawnPolygon& p : shapes.polygons) {
        holes += p.holes.size();
        acres += measurePolygon(p).acres;
        miles += measurePolygon(p).miles;
    }
    EXPECT_EQ(std::tuple(shapes.polygons.size(), holes, shapes.lines.size(), shapes.points.size()),
              std::tuple(c.polygons, c.holes, c.lines, c.points));
    EXPECT_EQ(describeShapes(shapes, false).toStdString(), c.description);
    if (shapes.polygons.empty())
        for (const Path& line : shapes.lines) miles += pathMiles(line, false);
    EXPECT_NEAR(acres, c.acres, c.acres * 0.0005);  // equal-area grid: within 0.05 %
    EXPECT_NEAR(miles, c.miles, c.miles * 0.005);   // lengths carry the grid's scale
}

INSTANTIATE_TEST_SUITE_P(Table, DrawnShapesTest, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The single ring gives the figures the window has always shown, up to the
// rounding of every vertex to whole metres.
TEST(DrawnShapes, OneRingKeepsTheFiguresOfTheWholeMetreGrid) {
    const QByteArray kml = document(placemark(polygon(kSquare)));
    std::vector<double> x, y;
    for (const Vertex& v : drawingVertices(kml, QStringLiteral("drawing.kml"))) {
        x.push_back(v.albersX);
        y.push_back(v.albersY);
    }
    const Measures measured = measurePolygon(readShapes(kml, QStringLiteral("drawing.kml")).polygons.at(0));
    EXPECT_NEAR(measured.acres, areaByCoordinates(x, y), areaByCoordinates(x, y) * 0.0005);
    EXPECT_NEAR(measured.miles, perimeterByCoordinates(x, y), 0.01);
}

TEST(DrawnShapes, AVertexOffTheEarthOrANonDrawingIsRefused) {
    EXPECT_THROW(readShapes(document(placemark("<Point><coordinates>-200,30</coordinates></Point>")), "d.kml"),
                 DrawingError);
    EXPECT_THROW(readShapes("not a drawing", "d.kml"), DrawingError);
}

}  // namespace
}  // namespace waypost::kmlimport

// Reading a Google Earth drawing: its vertices with an XML reader, its shapes
// as a GIS reads them, measured against GeographicLib's geodesic figures (an
// independent computation; the state grid is equal-area).

#include "kmlimport/DrawnShapes.h"
#include "kmlimport/KmlDrawing.h"
#include "support/KmlDocuments.h"
#include "support/Thrown.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/PolygonArea.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace waypost::kmlimport {
namespace {

using namespace Qt::StringLiterals;
using namespace waypost::test;

/// Geodesic area (acres) and perimeter (miles) of "lon,lat ..." text.
std::pair<double, double> geodesic(const QByteArray& ring, bool closed = true) {
    GeographicLib::PolygonArea area(GeographicLib::Geodesic::WGS84(), !closed);
    for (const QString& tuple : QString::fromLatin1(ring).split(u' ', Qt::SkipEmptyParts))
        area.AddPoint(tuple.section(u',', 1, 1).toDouble(), tuple.section(u',', 0, 0).toDouble());
    double perimeter = 0, squareMetres = 0;
    area.Compute(false, true, perimeter, squareMetres);
    return {std::abs(squareMetres) / 4046.85, perimeter / 1609.344};
}

// Worked values: a square of 201 metres, closed, open and drawn backwards.
TEST(AreaAndPerimeter, ASquareOf201MetresClosedAndOpen) {
    const std::vector<double> x{0, 201, 201, 0, 0}, y{0, 0, 201, 201, 0}, backX(x.rbegin(), x.rend()),
        backY(y.rbegin(), y.rend()), openX(x.begin(), x.end() - 1), openY(y.begin(), y.end() - 1);
    EXPECT_DOUBLE_EQ(areaByCoordinates(x, y), 9.98);
    EXPECT_DOUBLE_EQ(perimeterByCoordinates(x, y), 0.50);
    EXPECT_DOUBLE_EQ(areaByCoordinates(openX, openY), 9.98);
    EXPECT_DOUBLE_EQ(perimeterByCoordinates(openX, openY), 0.37);
    EXPECT_DOUBLE_EQ(areaByCoordinates(backX, backY), 9.98);  // either orientation
}

// Every <coordinates> element counts, in document order, whatever the line breaks.
TEST(KmlDrawing, EveryCoordinatesElementInDocumentOrderWhateverTheLineBreaks) {
    const QByteArray kml = document(
        "<Placemark><description>-84.3,30.1 is not a vertex</description>"
        "<LineString><coordinates>-84.25,30.5,12 -84.24,30.5</coordinates></LineString></Placemark>\n"
        "<Placemark><Point><coordinates>\n\t-84.23,30.51,0\n</coordinates></Point></Placemark>");
    const std::vector<Vertex> v = drawingVertices(kml, "two.kml");
    ASSERT_EQ(v.size(), 3U);
    EXPECT_EQ(QStringList({v[0].altitudeText, v[1].altitudeText, v[2].longitudeText}), QStringList({"12", "", "-84.23"}));
    EXPECT_GT(v[1].albersX, v[0].albersX);  // east is a larger easting
    EXPECT_FALSE(isClosedRing(v));
}

// Malformed input gets a clear reason naming the file, and no crash.
TEST(KmlDrawing, MalformedInputGetsAClearErrorAndNoCrash) {
    QByteArray deep;
    for (int i = 0; i < 20000; ++i) deep += "<a>";
    const std::pair<QByteArray, const char*> cases[] = {
        {document("<coordinates>-84.25;30.5</coordinates>"), "is not longitude,latitude"},
        {document("<coordinates>-84.25,95</coordinates>"), "outside"},
        {document("<coordinates>nan,30</coordinates>"), "is not longitude,latitude"},
        {document("<coordinates>1e400,30</coordinates>"), "is not longitude,latitude"},
        {document("<coordinates>-84.25,30.5"), "not well-formed"},  // never closed
        {QByteArray("\x00\x01\x02\xff\xfe binary", 12), "not well-formed"},
        {"<?xml version=\"1.0\"?><kml>" + deep, "not well-formed"},
        {"<html><body>not a drawing</body></html>", "not a KML document"},
    };
    for (const auto& [text, reason] : cases) {
        const auto e = thrown<DrawingError>([&] { (void)drawingVertices(text, u"bad.kml"_s); });
        EXPECT_TRUE(e && e->file() == u"bad.kml"_s && e->reason().contains(QLatin1String(reason)))
            << (e ? e->what() : "accepted") << " for " << text.left(60).toStdString();
    }
    // As a GIS reads it: a vertex off the earth, or a document that is no drawing.
    EXPECT_THROW(readShapes(document(placemark("<Point><coordinates>-200,30</coordinates></Point>")), "d.kml"), DrawingError);
    EXPECT_THROW(readShapes("not a drawing", "d.kml"), DrawingError);
}

// A document past the stated size is refused before it is read whole: a KMZ
// whose few megabytes unpack to a huge document (a long comment) included.
TEST(KmlDocument, OnePastTheLimitIsRefusedUnread) {
    QTemporaryDir dir;
    const QString kml = dir.filePath(u"huge.kml"_s), bomb = dir.filePath(u"bomb.kmz"_s);
    QFile huge(kml);
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kLargestDrawingBytes + 1));  // sparse
    huge.close();
    const QByteArray blanks(1 << 20, ' ');
    ASSERT_TRUE(writeKmz(bomb, "<kml><!--", blanks, kLargestDrawingBytes / blanks.size() + 1, "--></kml>"));
    for (const QString& path : {kml, bomb}) {
        const auto e = thrown<DrawingError>([&] { (void)kmlDocument(path); });
        EXPECT_TRUE(e && e->file() == path && e->reason().contains(u"larger than 256 MB"_s)) << path.toStdString();
    }
}

struct DrawingCase {
    const char* name;
    QByteArray body;
    std::size_t polygons, holes, lines, points;
    std::pair<double, double> figures;  ///< acres and miles of the polygons, or miles of the lines without polygons
    const char* description;
};

std::vector<DrawingCase> cases() {
    const auto [square, squareMiles] = geodesic(kSquare);
    const auto [hole, holeMiles] = geodesic(kHole);
    // A GPS track with a vertex about every metre: rounding each vertex to
    // whole metres first would add several percent to its length.
    QByteArray dense;
    for (int i = 0; i <= 2000; ++i)
        dense += QStringLiteral("%1,%2 ").arg(-84.3 + i * 0.0000093, 0, 'f', 7).arg(30.5 + i * 0.0000031, 0, 'f', 7)
                     .toLatin1();
    const std::pair<double, double> holed{square - hole, squareMiles + holeMiles};
    return {
        {"hole_clockwise", placemark(polygon(kSquare, kHoleOtherWay)), 1, 1, 0, 0, holed, "1 polygon (1 hole)"},
        {"hole_counter_clockwise", placemark(polygon(kSquare, kHole)), 1, 1, 0, 0, holed, "1 polygon (1 hole)"},
        {"label_point_beside", placemark(polygon(kSquare)) + placemark("<Point><coordinates>-84.245,30.505</coordinates></Point>"),
         1, 0, 0, 1, {square, squareMiles}, "1 polygon; 1 point not used"},
        {"overlay_corners",
         placemark(polygon(kSquare)) + "<GroundOverlay><Icon><href>map.png</href></Icon><gx:LatLonQuad><coordinates>"
                                       "-85,30 -84,30 -84,31 -85,31</coordinates></gx:LatLonQuad></GroundOverlay>",
         1, 0, 0, 0, {square, squareMiles}, "1 polygon"},
        {"dense_track", line(dense), 0, 0, 1, 0, {0, geodesic(dense, false).second}, "1 line"},
    };
}

class DrawnShapesTest : public ::testing::TestWithParam<DrawingCase> {};

// Polygons with their holes, lines and points are read as drawn, said as read,
// and measured as the geodesic figures within the equal-area grid's error.
TEST_P(DrawnShapesTest, AreReadAndMeasuredAsDrawn) {
    const DrawingCase& c = GetParam();
    const DrawnShapes shapes = readShapes(document(c.body), u"drawing.kml"_s);
    std::size_t holes = 0;
    double acres = 0, miles = 0;
    for (const DrawnPolygon& p : shapes.polygons) {
        holes += p.holes.size();
        acres += measurePolygon(p).acres;
        miles += measurePolygon(p).miles;
    }
    if (shapes.polygons.empty())
        for (const Path& line : shapes.lines) miles += pathMiles(line, false);
    EXPECT_EQ(std::tuple(shapes.polygons.size(), holes, shapes.lines.size(), shapes.points.size()),
              std::tuple(c.polygons, c.holes, c.lines, c.points));
    EXPECT_EQ(describeShapes(shapes, false).toStdString(), c.description);
    EXPECT_NEAR(acres, c.figures.first, c.figures.first * 0.0005);    // equal-area grid: within 0.05 %
    EXPECT_NEAR(miles, c.figures.second, c.figures.second * 0.005);  // lengths carry the grid's scale
}

INSTANTIATE_TEST_SUITE_P(Table, DrawnShapesTest, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace waypost::kmlimport

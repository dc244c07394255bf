// Reading a Google Earth drawing with an XML reader, and measuring it.

#include "kmlimport/KmlDrawing.h"

#include <cpl_vsi.h>

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace waypost::kmlimport {
namespace {

using namespace Qt::StringLiterals;

/// The DrawingError \p read throws; one naming nothing when it reads without one.
template <class F>
DrawingError refusal(F&& read) {
    try {
        read();
    } catch (const DrawingError& e) {
        return e;
    }
    return DrawingError(u"<accepted>"_s, 0, u"<accepted>"_s);
}

QByteArray kmlWith(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document>\n" + body +
           "\n</Document></kml>\n";
}

TEST(AreaAndPerimeter, ASquareOf201MetresClosedAndOpen) {
    const std::vector<double> x{0, 201, 201, 0, 0}, y{0, 0, 201, 201, 0}, backX(x.rbegin(), x.rend()),
        backY(y.rbegin(), y.rend()), openX(x.begin(), x.end() - 1), openY(y.begin(), y.end() - 1);
    EXPECT_DOUBLE_EQ(areaByCoordinates(x, y), 9.98);
    EXPECT_DOUBLE_EQ(perimeterByCoordinates(x, y), 0.50);
    EXPECT_DOUBLE_EQ(areaByCoordinates(openX, openY), 9.98);
    EXPECT_DOUBLE_EQ(perimeterByCoordinates(openX, openY), 0.37);
    EXPECT_DOUBLE_EQ(areaByCoordinates(backX, backY), 9.98);  // either orientation
}

TEST(KmlDrawing, EveryCoordinatesElementInDocumentOrderWhateverTheLineBreaks) {
    const QByteArray kml = kmlWith(
        "<Placemark><description>-84.3,30.1 is not a vertex</description>"
        "<LineString><coordinates>-84.25,30.5,12 -84.24,30.5</coordinates></LineString></Placemark>\n"
        "<Placemark><Point><coordinates>\n\t-84.23,30.51,0\n</coordinates></Point></Placemark>");
    const std::vector<Vertex> v = drawingVertices(kml, "two.kml");
    ASSERT_EQ(v.size(), 3U);
    EXPECT_EQ(QStringList({v[0].altitudeText, v[1].altitudeText, v[2].longitudeText}),
              QStringList({"12", "", "-84.23"}));
    EXPECT_GT(v[1].albersX, v[0].albersX);  // east is a larger easting
    EXPECT_FALSE(isClosedRing(v));
}

TEST(KmlDrawing, MalformedInputGetsAClearErrorAndNoCrash) {
    const std::string longLine(10 * 1024 * 1024, '7');
    QByteArray deep;
    for (int i = 0; i < 20000; ++i) deep += "<a>";
    const std::pair<QByteArray, const char*> cases[] = {
        {kmlWith("<coordinates>-84.25;30.5</coordinates>"), "is not longitude,latitude"},
        {kmlWith("<coordinates>-84.25,95</coordinates>"), "outside"},
        {kmlWith("<coordinates>nan,30</coordinates>"), "is not longitude,latitude"},
        {kmlWith("<coordinates>1e400,30</coordinates>"), "is not longitude,latitude"},
        {kmlWith(QByteArray("<coordinates>") + longLine.c_str() + "</coordinates>"), "is not longitude,latitude"},
        {kmlWith("<coordinates>-84.25,30.5").left(150), "not well-formed"},
        {QByteArray("\x00\x01\x02\xff\xfe binary", 12), "not well-formed"},
        {"<?xml version=\"1.0\"?><kml>" + deep, "not well-formed"},
        {"<html><body>not a drawing</body></html>", "not a KML document"},
    };
    for (const auto& [text, reason] : cases) {
        const DrawingError e = refusal([&] { (void)drawingVertices(text, "bad.kml"); });
        EXPECT_NE(e.reason().indexOf(QLatin1String(reason)), -1) << e.what() << " for " << text.left(60).toStdString();
        EXPECT_EQ(e.file(), u"bad.kml"_s);
    }
}

/// A KMZ whose doc.kml is \p head, \p repeat times \p block, then \p tail; false when it cannot be written.
bool writeKmz(const QString& kmz, const QByteArray& head, const QByteArray& block = {}, qint64 repeat = 0,
              const QByteArray& tail = {}) {
    VSILFILE* member = VSIFOpenL(("/vsizip/" + kmz.toUtf8() + "/doc.kml").constData(), "wb");
    const auto write = [&](const QByteArray& b) {
        return VSIFWriteL(b.constData(), 1, b.size(), member) == static_cast<size_t>(b.size());
    };
    bool written = member && write(head);
    for (qint64 i = 0; written && i < repeat; ++i) written = write(block);
    written = written && write(tail);
    return member && VSIFCloseL(member) == 0 && written;
}

TEST(KmlDrawing, AKmzIsReadThroughItsMainDocument) {
    QTemporaryDir dir;
    const QString kmz = dir.filePath(u"drawing.kmz"_s);
    ASSERT_TRUE(writeKmz(kmz, kmlWith("<coordinates>-84.25,30.5 -84.24,30.5 -84.24,30.51 -84.25,30.5</coordinates>")));
    const std::vector<Vertex> v = drawingVertices(kmlDocument(kmz), kmz);
    EXPECT_EQ(v.size(), 4U);
    EXPECT_TRUE(isClosedRing(v));
    EXPECT_THROW(kmlDocument(dir.filePath(u"none.kml"_s)), DrawingError);
}

// A drawing past the stated size is refused before it is read whole: a KMZ
// whose few megabytes unpack to a huge document (a long comment) included.
TEST(KmlDocument, ADocumentPastTheLimitIsRefusedUnread) {
    QTemporaryDir dir;
    const QString kml = dir.filePath(u"huge.kml"_s), kmz = dir.filePath(u"bomb.kmz"_s);
    QFile huge(kml);
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kLargestDrawingBytes + 1));  // sparse
    huge.close();
    const QByteArray blanks(1 << 20, ' ');
    ASSERT_TRUE(writeKmz(kmz, "<kml><!--", blanks, kLargestDrawingBytes / blanks.size() + 1, "--></kml>"));
    for (const QString& path : {kml, kmz}) {
        const DrawingError e = refusal([&] { (void)kmlDocument(path); });
        EXPECT_TRUE(e.reason().contains(u"larger than 256 MB"_s)) << path.toStdString() << ": " << e.what();
    }
}

}  // namespace
}  // namespace waypost::kmlimport

// Reading a Google Earth drawing with an XML reader, and measuring it.

#include "kmlimport/KmlDrawing.h"

#include <cpl_conv.h>
#include <cpl_vsi.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace waypost::kmlimport {
namespace {

QByteArray kmlWith(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document>\n" + body +
           "\n</Document></kml>\n";
}

TEST(AreaAndPerimeter, ASquareOf201MetresClosedAndOpen) {
    const std::vector<double> x{0, 201, 201, 0, 0}, y{0, 0, 201, 201, 0};
    EXPECT_DOUBLE_EQ(areaByCoordinates(x, y), 9.98);
    EXPECT_DOUBLE_EQ(perimeterByCoordinates(x, y), 0.50);
    const std::vector<double> openX{0, 201, 201, 0}, openY{0, 0, 201, 201};
    EXPECT_DOUBLE_EQ(areaByCoordinates(openX, openY), 9.98);
    EXPECT_DOUBLE_EQ(perimeterByCoordinates(openX, openY), 0.37);
    const std::vector<double> backX(x.rbegin(), x.rend()), backY(y.rbegin(), y.rend());
    EXPECT_DOUBLE_EQ(areaByCoordinates(backX, backY), 9.98);  // either orientation
}

TEST(KmlDrawing, EveryCoordinatesElementInDocumentOrderWhateverTheLineBreaks) {
    const QByteArray kml = kmlWith(
        "<Placemark><description>-84.3,30.1 is not a vertex</description>"
        "<LineString><coordinates>-84.25,30.5,12 -84.24,30.5</coordinates></LineString></Placemark>\n"
        "<Placemark><Point><coordinates>\n\t-84.23,30.51,0\n</coordinates></Point></Placemark>");
    const std::vector<Vertex> v = drawingVertices(kml, QStringLiteral("two.kml"));
    ASSERT_EQ(v.size(), 3U);
    EXPECT_EQ(v[0].altitudeText, QStringLiteral("12"));
    EXPECT_EQ(v[1].altitudeText, QString());
    EXPECT_EQ(v[2].longitudeText, QStringLiteral("-84.23"));
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
        try {
            (void)drawingVertices(text, QStringLiteral("bad.kml"));
            ADD_FAILURE() << "accepted: " << text.left(60).toStdString();
        } catch (const DrawingError& e) {
            EXPECT_NE(e.reason().indexOf(QLatin1String(reason)), -1) << e.what();
            EXPECT_EQ(e.file(), QStringLiteral("bad.kml"));
        }
    }
}

TEST(KmlDrawing, AKmzIsReadThroughItsMainDocument) {
    QTemporaryDir dir;
    const QString kmz = dir.filePath(QStringLiteral("drawing.kmz"));
    const QByteArray doc = kmlWith("<coordinates>-84.25,30.5 -84.24,30.5 -84.24,30.51 -84.25,30.5</coordinates>");
    void* zip = CPLCreateZip(kmz.toUtf8().constData(), nullptr);
    ASSERT_NE(zip, nullptr);
    ASSERT_EQ(CPLCreateFileInZip(zip, "doc.kml", nullptr), CE_None);
    ASSERT_EQ(CPLWriteFileInZip(zip, doc.constData(), static_cast<int>(doc.size())), CE_None);
    CPLCloseFileInZip(zip);
    CPLCloseZip(zip);
    const std::vector<Vertex> v = drawingVertices(kmlDocument(kmz), kmz);
    EXPECT_EQ(v.size(), 4U);
    EXPECT_TRUE(isClosedRing(v));
    EXPECT_THROW(kmlDocument(dir.filePath(QStringLiteral("none.kml"))), DrawingError);
}

}  // namespace
}  // namespace waypost::kmlimport

namespace waypost::kmlimport {

namespace {

// A drawing past the stated size is refused before it is read whole: a KMZ
// whose few megabytes unpack to a huge document (a long comment) included.
TEST(KmlDocument, ADocumentPastTheLimitIsRefusedUnread) {
    QTemporaryDir dir;
    const QString kml = dir.filePath(QStringLiteral("huge.kml"));
    {
        QFile f(kml);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(kLargestDrawingBytes + 1));  // sparse
    }
    const QString kmz = dir.filePath(QStringLiteral("bomb.kmz"));
    VSILFILE* member = VSIFOpenL(("/vsizip/" + kmz.toUtf8() + "/doc.kml").constData(), "wb");
    ASSERT_NE(member, nullptr);
    const QByteArray blanks(1 << 20, ' ');
    VSIFWriteL("<kml><!--", 1, 9, member);
    for (qint64 written = 0; written <= kLargestDrawingBytes; written += blanks.size())
        VSIFWriteL(blanks.constData(), 1, static_cast<size_t>(blanks.size()), member);
    VSIFWriteL("--></kml>", 1, 9, member);
    VSIFCloseL(member);
    for (const QString& path : {kml, kmz}) {
        try {
            (void)kmlDocument(path);
            ADD_FAILURE() << path.toStdString() << " was read";
        } catch (const DrawingError& e) {
            EXPECT_TRUE(e.reason().contains(QStringLiteral("larger than 256 MB"))) << e.reason().toStdString();
        }
    }
}

}  // namespace

}  // namespace waypost::kmlimport

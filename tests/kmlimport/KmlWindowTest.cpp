// The KML import window end to end: a drawing and its attributes become a
// shapefile, read back with GDAL.

#include "kmlimport/kml_firedp_0611.h"
#include "map/MapPanel.h"
#include "output/ProjectionFiles.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include <cpl_vsi.h>

#include <algorithm>
#include <cmath>

using namespace waypost;
using namespace waypost::test;

namespace {

const QByteArray kSquare = "-84.25,30.5 -84.24,30.5 -84.24,30.51 -84.25,30.51 -84.25,30.5";  // 1e-4 square degrees
const QByteArray kOpenFive = "-84.25,30.5 -84.24,30.5 -84.24,30.51 -84.245,30.515 -84.25,30.51";  // 1.25e-4 closed
const QByteArray kHole = "-84.248,30.502 -84.246,30.502 -84.246,30.504 -84.248,30.504 -84.248,30.502";  // 4e-6
const QByteArray kHoleOtherWay = "-84.248,30.502 -84.248,30.504 -84.246,30.504 -84.246,30.502 -84.248,30.502";
const QByteArray kOther = "-84.2,30.5 -84.19,30.5 -84.19,30.51 -84.2,30.51 -84.2,30.5";

QByteArray placemark(const QByteArray& geometry) { return "<Placemark>" + geometry + "</Placemark>"; }
QByteArray line(const QByteArray& tuples) {
    return placemark("<LineString><coordinates>\n" + tuples + "\n</coordinates></LineString>");
}
QByteArray polygon(const QByteArray& outer, const QByteArray& hole = {}) {
    const auto ring = [](const QByteArray& tuples) { return "<LinearRing><coordinates>" + tuples + "</coordinates></LinearRing>"; };
    return "<Polygon><outerBoundaryIs>" + ring(outer) + "</outerBoundaryIs>" +
           (hole.isEmpty() ? QByteArray() : "<innerBoundaryIs>" + ring(hole) + "</innerBoundaryIs>") + "</Polygon>";
}
QByteArray document(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
           "xmlns:gx=\"http://www.google.com/kml/ext/2.2\"><Document>\n" + body + "\n</Document></kml>\n";
}

bool writeKmz(const QString& path, const QByteArray& kml) {
    VSILFILE* member = VSIFOpenL(("/vsizip/" + path.toUtf8() + "/doc.kml").constData(), "wb");
    if (!member) return false;
    const bool whole = VSIFWriteL(kml.constData(), 1, size_t(kml.size()), member) == size_t(kml.size());
    return VSIFCloseL(member) == 0 && whole;
}

/// The rings (of polygons) and the vertices (of every part) of a written geometry.
std::pair<int, int> ringsAndVertices(const OGRGeometry& g) {
    if (const auto* curve = dynamic_cast<const OGRSimpleCurve*>(&g)) return {0, curve->getNumPoints()};
    std::pair<int, int> n{0, wkbFlatten(g.getGeometryType()) == wkbPoint ? 1 : 0};
    const auto add = [&n](const std::pair<int, int>& part) { n = {n.first + part.first, n.second + part.second}; };
    if (const auto* p = dynamic_cast<const OGRPolygon*>(&g)) {
        for (const OGRLinearRing* ring : *p) add({1, ring->getNumPoints()});
    } else if (const auto* parts = dynamic_cast<const OGRGeometryCollection*>(&g)) {
        for (const OGRGeometry* part : *parts) add(ringsAndVertices(*part));
    }
    return n;
}

}  // namespace

class KmlWindowTest : public QObject {
    Q_OBJECT

    struct Fixture : TestServices, WindowControls {
        kml_firedp_0611 window{services};
        Fixture() {
            setWindow(&window);
            if (!activate()) qWarning("the KML window did not become active");
        }
        /// Every attribute of \p kind filled in, the conversion enabled.
        void ready(const char* kind = "optFire") {
            click(kind);
            const std::pair<const char*, const char*> values[] = {{"txtF_Name", "Bear Creek"}, {"txtInc_num", "42"},
                {"meFireEnter", "09-14-26"}, {"txtArea", "120.00"}, {"txtPerim", "1.50"}};
            for (const auto& [field, value] : values) edit(field)->setText(QString::fromLatin1(value));
            for (const char* list : {"cmbfFuel", "cmbfCause", "cmbFtype"})
                if (child<QComboBox>(list)->count() > 0) child<QComboBox>(list)->setCurrentIndex(0);
            if (qstrcmp(kind, "optFire") == 0) {
                click("optRepI");
                click("OptfSigNo");
            }
            click("CmdEnable");
        }
        /// Converts \p kml written as \p name (a KMZ holds it as doc.kml), answering the questions with \p answers.
        void convert(const QByteArray& kml, const QString& name, const QList<bool>& answers) {
            QVERIFY(name.endsWith(u".kmz") ? writeKmz(path(name), kml) : writeFile(path(name), kml));
            prompter.choosePath(path(name));
            for (bool yes : answers) yes ? prompter.answerYes() : prompter.answerNo();
            click("cmdFireTab");
        }
    };

private slots:
    // What was drawn is what is written, as the answers chose it: read back with
    // GDAL as the same geometry (valid, the same area), its figures those of the
    // shapes as drawn, with the working names, the copy and the projection file.
    void drawingsAreWrittenAsDrawn_data() {
        QTest::addColumn<QByteArray>("placemarks");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("geometry");
        QTest::addColumn<int>("rings");     // of the polygons written, and shown on the map
        QTest::addColumn<int>("vertices");  // of every part written
        QTest::addColumn<double>("area");   // square degrees; 0: written on the Albers grid, as the window starts
        QTest::addColumn<QString>("told");  // what is said of the drawing before anything is written
        const auto row = [](const char* name, const QByteArray& body, QList<bool> answers, OGRwkbGeometryType geometry, int rings,
                            int vertices, double area = 0, const char* told = "", const char* file = "North Fire #2 (east).kml") {
            QTest::newRow(name) << body << QString::fromLatin1(file) << answers << int(geometry) << rings << vertices << area
                                << QString::fromLatin1(told);
        };
        const QByteArray square = polygon(kSquare);
        row("a single point", line("-84.25,30.5"), {}, wkbPoint, 0, 1);
        row("two vertices", line("-84.25,30.5 -84.24,30.5"), {false}, wkbLineString, 0, 2);
        row("all as points", line(kSquare), {true}, wkbMultiPoint, 0, 5);
        row("a GPS track",
            placemark("<gx:Track><when>2026-09-14T10:00:00Z</when><when>2026-09-14T10:01:00Z</when>"
                      "<when>2026-09-14T10:02:00Z</when><gx:coord>-84.3 30.5 0</gx:coord>"
                      "<gx:coord>-84.31 30.51 0</gx:coord><gx:coord>-84.32 30.51 0</gx:coord></gx:Track>"),
            {false, false}, wkbLineString, 0, 3);
        row("a closed path", line(kSquare), {false, false}, wkbPolygon, 1, 5, 1e-4);
        row("an open path built as a polygon", line(kOpenFive), {false, true}, wkbPolygon, 1, 6, 1.25e-4);
        row("a hole", placemark(polygon(kSquare, kHole)), {false, false}, wkbPolygon, 2, 10, 0.96e-4, "1 polygon (1 hole)");
        row("a hole drawn the other way", placemark(polygon(kSquare, kHoleOtherWay)), {false, false}, wkbPolygon, 2, 10, 0.96e-4,
            "1 polygon (1 hole)");
        row("two polygons", placemark("<MultiGeometry>" + square + polygon(kOther) + "</MultiGeometry>"), {false, false},
            wkbMultiPolygon, 2, 10, 2e-4, "2 polygons");
        row("a label point beside", placemark(square) + placemark("<Point><coordinates>-84.245,30.505</coordinates></Point>"),
            {false, false}, wkbPolygon, 1, 5, 1e-4, "1 polygon; 1 point not used");
        row("a KMZ", placemark(square), {false, false}, wkbPolygon, 1, 5, 1e-4, "", "North Fire #2 (east).kmz");
    }
    void drawingsAreWrittenAsDrawn() {
        QFETCH(QByteArray, placemarks);
        QFETCH(QString, file);
        QFETCH(QList<bool>, answers);
        QFETCH(int, geometry);
        QFETCH(int, rings);
        QFETCH(int, vertices);
        QFETCH(double, area);
        QFETCH(QString, told);
        Fixture f;
        f.ready();
        if (area > 0) f.click("optDD");  // degrees as drawn, so the area compares exactly
        f.convert(document(placemarks), file, answers);
        QVERIFY2(f.prompter.unexpected().isEmpty(), qPrintable(f.prompter.unexpected().join(u'|')));
        const QStringList messages = f.prompter.messageTexts();
        const char* kind = geometry == int(wkbLineString) ? "Polyline" : rings > 0 ? "Polygon" : "Point";
        QCOMPARE(messages.back(), QStringLiteral("KML Converted to %1 Shapefile").arg(QLatin1String(kind)));
        if (told.isEmpty()) QVERIFY(!messages.join(u'|').contains(QStringLiteral("Read from the drawing")));
        else QCOMPARE(messages.value(0), QStringLiteral("Read from the drawing: %1.").arg(told));
        const QString stem = f.path(QStringLiteral("wpNorthFire2"));
        QVERIFY(QFile::exists(stem + ".kml") && QFile::exists(stem + ".sqlite"));  // staging kept without the clean-up
        QCOMPARE(readAll(stem + ".prj"), QByteArray(area > 0 ? kWgs84Projection : kAlbersProjection) + "\r\n");

        GDALDatasetUniquePtr ds(GDALDataset::Open((stem + ".shp").toUtf8().constData(), GDAL_OF_VECTOR));
        QVERIFY(ds);
        OGRLayer* layer = ds->GetLayer(0);
        QCOMPARE(layer->GetFeatureCount(), 1);
        OGRFeatureUniquePtr feature(layer->GetNextFeature());
        const OGRGeometry* written = feature->GetGeometryRef();
        QCOMPARE(int(wkbFlatten(written->getGeometryType())), geometry);
        QVERIFY(written->IsValid());
        QCOMPARE(ringsAndVertices(*written), std::make_pair(rings, vertices));
        QCOMPARE(QString::fromUtf8(feature->GetFieldAsString("NAME")), QStringLiteral("Bear Creek"));
        // A line's reported acres are 0; the calculated figures are those shown.
        QCOMPARE(QString::fromUtf8(feature->GetFieldAsString("ACRES")),
                 geometry == int(wkbLineString) ? QStringLiteral("0.00") : QStringLiteral("120.00"));
        const double calculated = feature->GetFieldAsDouble("Calc_Acres");
        QCOMPARE(QString::number(calculated, 'f', 2), f.child<QLabel>("lblCalAcres")->text());
        QCOMPARE(QString::number(feature->GetFieldAsDouble("Calc_Perim"), 'f', 2), f.child<QLabel>("lblLength")->text());
        QVERIFY2(rings > 0 ? calculated > 100 : calculated == 0, qPrintable(QString::number(calculated)));
        if (rings > 0) {
            // The map shows the drawing as read, holes and all.
            int shown = 0;
            const auto drawn = f.child<MapPanel>("mapPanel")->content().drawing;
            QVERIFY(drawn);
            for (const MapShape& shape : *drawn) shown += int(shape.rings.size());
            QCOMPARE(shown, rings);
            const double writtenArea = geometry == int(wkbPolygon) ? written->toPolygon()->get_Area()
                                                                   : written->toMultiPolygon()->get_Area();
            QVERIFY2(std::abs(writtenArea - area) <= area * 1e-4,
                     qPrintable(QStringLiteral("%1 against %2").arg(writtenArea).arg(area)));
        }
    }

    // Options of another kind are unchecked; a field left with no number is
    // emptied. A mitigation lists the agency's units, asks for its Treatment Type,
    // writes its own columns with N/A for report and significance; the clean-up removes the staging.
    void kindsTheirOptionsAndTheirColumns() {
        Fixture f;
        f.click("optMit");
        QVERIFY(f.child<QRadioButton>("optNA")->isChecked());
        f.click("optFire");
        QVERIFY(!f.child<QRadioButton>("optNA")->isChecked());
        QVERIFY(!f.child<QRadioButton>("OptfSigNA")->isChecked());
        f.ready();
        f.edit("txtArea")->setFocus();
        f.edit("txtArea")->setText(QStringLiteral("1.2.3"));
        f.edit("txtF_Name")->setFocus();
        QCOMPARE(f.edit("txtArea")->text(), QString());
        f.click("CmdEnable");
        QCOMPARE(f.prompter.messageTexts().back(), QStringLiteral("Enter Area in acres"));
        QVERIFY(!f.child<QPushButton>("cmdFireTab")->isEnabled());

        f.ready("optMit");
        QCOMPARE(f.child<QComboBox>("cmbfCause")->itemText(15), QStringLiteral("Team 1"));  // the agency's units first
        f.child<QComboBox>("cmbFtype")->setCurrentIndex(-1);
        f.click("CmdEnable");
        QCOMPARE(f.prompter.messageTexts().back(), QStringLiteral("Please Select Treatment Type"));
        f.child<QComboBox>("cmbFtype")->setCurrentIndex(0);
        f.click("CmdEnable");
        f.click("optClean");
        f.convert(document(line(kSquare)), QStringLiteral("Big.kml"), {false, false});
        const ShapefileContent shp = readShapefile(f.path(QStringLiteral("wpBig.shp")));
        QVERIFY(shp.schema.contains(QStringLiteral("PROJECT:text:45")));
        QCOMPARE(shp.records.at(0).values.value(QStringLiteral("REPORT")), QStringLiteral("N/A"));
        QCOMPARE(shp.records.at(0).values.value(QStringLiteral("SIGNIF")), QStringLiteral("N/A"));
        QVERIFY(!QFile::exists(f.path(QStringLiteral("wpBig.sqlite"))));
        QVERIFY(!QFile::exists(f.path(QStringLiteral("ccwpBig.csv"))));
    }

    // A conversion that fails writes nothing: a malformed drawing is named with
    // its line; overwriting keeps the old set until the new one is complete.
    void aFailedConversionWritesNothingAndKeepsTheOldSet() {
        Fixture f;
        f.ready();
        f.convert(document(line("-84.25;30.5 -84.24,30.5")), QStringLiteral("bad.kml"), {});
        QVERIFY(f.prompter.messageTexts().back().contains(QStringLiteral("bad.kml, line")));
        QCOMPARE(filesIn(f.out.path()), QStringList{"bad.kml"});

        f.convert(document(line(kSquare)), QStringLiteral("Fire.kml"), {false, false});
        QStringList set;
        QList<QByteArray> before;
        for (const char* ext : {"shp", "shx", "dbf", "prj"}) {
            set << f.path(QStringLiteral("wpFire.") + QLatin1String(ext));
            before << readAll(set.last());
        }
        // A later step fails: the copy of the drawing cannot be written.
        QVERIFY(QFile::remove(f.path(QStringLiteral("wpFire.kml"))));
        QVERIFY(QDir(f.out.path()).mkdir(QStringLiteral("wpFire.kml")));
        f.convert(document(line(kOpenFive)), QStringLiteral("Fire.kml"), {true});
        const auto& calls = f.prompter.calls();
        QVERIFY(std::any_of(calls.begin(), calls.end(), [&](const auto& call) {
            return call.text == QStringLiteral("Shapefile %1 exists - overwrite?").arg(set[0]);
        }));
        QVERIFY(f.prompter.messageTexts().back().contains(QStringLiteral("wpFire.kml")));
        for (int i = 0; i < set.size(); ++i) QCOMPARE(readAll(set[i]), before[i]);
    }

};

QTEST_MAIN(KmlWindowTest)
#include "KmlWindowTest.moc"

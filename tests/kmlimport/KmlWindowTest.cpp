// The KML import window end to end: a drawing and its attributes become a
// shapefile, read back with GDAL.

#include "kmlimport/kml_firedp_0611.h"
#include "map/MapPanel.h"
#include "output/ProjectionFiles.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QComboBox>
#include <QFileInfo>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cmath>

using namespace waypost;
using namespace waypost::test;

namespace {

/// A KML with one LineString of \p tuples (blank-separated lon,lat).
QByteArray drawing(const QByteArray& tuples) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document><Placemark>"
           "<LineString><coordinates>\n" + tuples + "\n</coordinates></LineString></Placemark></Document></kml>\n";
}

const QByteArray kSquare = "-84.25,30.5,0 -84.24,30.5,0 -84.24,30.51,0 -84.25,30.51,0 -84.25,30.5,0";
const QByteArray kOpenFive = "-84.25,30.5 -84.24,30.5 -84.24,30.51 -84.245,30.515 -84.25,30.51";

const QByteArray kSquareRing = "-84.25,30.5 -84.24,30.5 -84.24,30.51 -84.25,30.51 -84.25,30.5";
const QByteArray kHoleRing = "-84.248,30.502 -84.246,30.502 -84.246,30.504 -84.248,30.504 -84.248,30.502";
const QByteArray kOtherRing = "-84.2,30.5 -84.19,30.5 -84.19,30.51 -84.2,30.51 -84.2,30.5";

QByteArray polygon(const QByteArray& outer, const QByteArray& hole = {}) {
    QByteArray p = "<Polygon><outerBoundaryIs><LinearRing><coordinates>" + outer +
                   "</coordinates></LinearRing></outerBoundaryIs>";
    if (!hole.isEmpty())
        p += "<innerBoundaryIs><LinearRing><coordinates>" + hole + "</coordinates></LinearRing></innerBoundaryIs>";
    return p + "</Polygon>";
}
QByteArray placemark(const QByteArray& geometry) { return "<Placemark>" + geometry + "</Placemark>"; }
QByteArray document(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
           "xmlns:gx=\"http://www.google.com/kml/ext/2.2\"><Document>\n" + body +
           "\n</Document></kml>\n";
}

/// Square degrees a ring of "lon,lat ..." tuples encloses (shoelace).
double ringArea(const QByteArray& ring) {
    std::vector<std::pair<double, double>> v;
    for (const QByteArray& tuple : ring.split(' ')) {
        const QList<QByteArray> parts = tuple.split(',');
        v.emplace_back(parts[0].toDouble(), parts[1].toDouble());
    }
    double twice = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const auto& [x1, y1] = v[i];
        const auto& [x2, y2] = v[(i + 1) % v.size()];
        twice += x1 * y2 - x2 * y1;
    }
    return std::abs(twice) / 2;
}

bool writeKmz(const QString& path, const QByteArray& kml) {
    VSILFILE* member = VSIFOpenL(("/vsizip/" + path.toUtf8() + "/doc.kml").constData(), "wb");
    if (!member) return false;
    const bool whole = VSIFWriteL(kml.constData(), 1, static_cast<size_t>(kml.size()), member) == static_cast<size_t>(kml.size());
    return VSIFCloseL(member) == 0 && whole;
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
            child<QLineEdit>("txtF_Name")->setText(QStringLiteral("Bear Creek"));
            child<QLineEdit>("txtInc_num")->setText(QStringLiteral("42"));
            child<QLineEdit>("meFireEnter")->setText(QStringLiteral("09-14-26"));
            child<QLineEdit>("txtArea")->setText(QStringLiteral("120.00"));
            child<QLineEdit>("txtPerim")->setText(QStringLiteral("1.50"));
            for (const char* list : {"cmbfFuel", "cmbfCause", "cmbFtype"})
                if (child<QComboBox>(list)->count() > 0) child<QComboBox>(list)->setCurrentIndex(0);
            if (QString::fromLatin1(kind) == QLatin1String("optFire")) {
                click("optRepI");
                click("OptfSigNo");
            }
            click("CmdEnable");
        }
        /// Converts \p kml written as \p name, answering the questions with \p answers.
        void convert(const QByteArray& kml, const QString& name, const std::vector<bool>& answers) {
            QVERIFY(writeFile(path(name), kml));
            prompter.choosePath(path(name));
            for (bool yes : answers) yes ? prompter.answerYes() : prompter.answerNo();
            click("cmdFireTab");
        }
    };

private slots:
    void shapeTypesFollowTheDrawingAndTheAnswers_data() {
        QTest::addColumn<QByteArray>("tuples");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("geometry");
        QTest::addColumn<int>("vertices");
        QTest::addColumn<QString>("done");
        QTest::addColumn<bool>("calculated");  // Calc_Acres holds the calculated acres
        QTest::newRow("a single point") << QByteArray("-84.25,30.5") << QList<bool>{} << int(wkbPoint) << 1
                                        << "KML Converted to Point Shapefile" << false;
        QTest::newRow("closed ring, No, No") << kSquare << QList<bool>{false, false} << int(wkbPolygon) << 5
                                             << "KML Converted to Polygon Shapefile" << true;
        QTest::newRow("two vertices") << QByteArray("-84.25,30.5 -84.24,30.5") << QList<bool>{false} << int(wkbLineString)
                                      << 2 << "KML Converted to Polyline Shapefile" << false;
        QTest::newRow("open five as a polygon") << kOpenFive << QList<bool>{false, true} << int(wkbPolygon) << 6
                                                << "KML Converted to Polygon Shapefile" << true;
        QTest::newRow("all as points") << kSquare << QList<bool>{true} << int(wkbMultiPoint) << 5
                                       << "KML Converted to Point Shapefile" << false;
    }
    void shapeTypesFollowTheDrawingAndTheAnswers() {
        QFETCH(QByteArray, tuples);
        QFETCH(QList<bool>, answers);
        QFETCH(int, geometry);
        QFETCH(int, vertices);
        QFETCH(QString, done);
        QFETCH(bool, calculated);
        Fixture f;
        f.ready();
        QVERIFY(f.child<QPushButton>("cmdFireTab")->isEnabled());
        f.convert(drawing(tuples), QStringLiteral("North Fire #2 (east).kml"), std::vector<bool>(answers.cbegin(), answers.cend()));
        QCOMPARE(f.prompter.messageTexts().back(), done);
        QVERIFY(QFile::exists(f.path(QStringLiteral("wpNorthFire2.kml"))));
        const ShapefileContent shp = readShapefile(f.path(QStringLiteral("wpNorthFire2.shp")));
        QCOMPARE(int(shp.type), geometry);
        QCOMPARE(shp.records.size(), 1U);
        const ShapeRecord& r = shp.records[0];
        QCOMPARE(int(r.vertices.size()), vertices);
        if (geometry == int(wkbPolygon)) {
            QCOMPARE(r.vertices.back(), r.vertices.front());  // closed
        }
        // Polygons carry the calculated acres; lines the reported acres, which are 0 for lines; points 0.
        const double calcAcres = r.values.value(QStringLiteral("Calc_Acres")).toDouble();
        QCOMPARE(calcAcres, calculated ? f.child<QLabel>("lblCalAcres")->text().toDouble() : 0.0);
        if (calculated) {
            QVERIFY(calcAcres > 100);
        }
        if (geometry == int(wkbLineString)) {
            QCOMPARE(r.values.value(QStringLiteral("ACRES")), QStringLiteral("0.00"));
        }
        QCOMPARE(r.values.value(QStringLiteral("NAME")), QStringLiteral("Bear Creek"));
        QCOMPARE(readAll(f.path(QStringLiteral("wpNorthFire2.prj"))), QByteArray(kAlbersProjection) + "\r\n");
        QVERIFY(QFile::exists(f.path(QStringLiteral("wpNorthFire2.sqlite"))));  // kept without the clean-up
    }

    void mitigationColumnsAndTheTypeWord() {
        Fixture f;
        f.click("optMit");
        QCOMPARE(f.child<QComboBox>("cmbfCause")->itemText(15), QStringLiteral("Team 1"));  // the agency's units first
        f.ready("optMit");
        f.child<QComboBox>("cmbFtype")->setCurrentIndex(-1);
        f.click("CmdEnable");
        QCOMPARE(f.prompter.messageTexts().back(), QStringLiteral("Please Select Treatment Type"));
        f.child<QComboBox>("cmbFtype")->setCurrentIndex(0);
        f.click("CmdEnable");
        f.click("optDD");
        f.click("optClean");
        f.convert(drawing(kSquare), QStringLiteral("Big.kml"), {false, false});
        const ShapefileContent shp = readShapefile(f.path(QStringLiteral("wpBig.shp")));
        QVERIFY(shp.schema.contains(QStringLiteral("PROJECT:text:45")));
        QVERIFY(shp.schema.contains(QStringLiteral("REPORT_UNIT:text:20")) || shp.schema.contains(QStringLiteral("REPORT_UNI:text:20")));
        QCOMPARE(shp.records.at(0).values.value(QStringLiteral("REPORT")), QStringLiteral("N/A"));
        QCOMPARE(shp.records.at(0).values.value(QStringLiteral("SIGNIF")), QStringLiteral("N/A"));
        QCOMPARE(shp.records.at(0).vertices.front(), std::make_pair(-84.25, 30.5));  // WGS 84
        QCOMPARE(readAll(f.path(QStringLiteral("wpBig.prj"))), QByteArray(kWgs84Projection) + "\r\n");
        QVERIFY(!QFile::exists(f.path(QStringLiteral("wpBig.sqlite"))));  // cleaned up
        QVERIFY(!QFile::exists(f.path(QStringLiteral("ccwpBig.csv"))));
    }

    void overwritingKeepsTheOldSetUntilTheNewOneIsComplete() {
        Fixture f;
        f.ready();
        f.convert(drawing(kSquare), QStringLiteral("Fire.kml"), {false, false});
        QStringList set;
        for (const char* ext : {"shp", "shx", "dbf", "prj"}) set << f.path(QStringLiteral("wpFire.") + QLatin1String(ext));
        QList<QByteArray> before;
        for (const QString& file : set) before << readAll(file);
        // A later step fails: the copy of the drawing cannot be written.
        QVERIFY(QFile::remove(f.path(QStringLiteral("wpFire.kml"))));
        QVERIFY(QDir(f.out.path()).mkdir(QStringLiteral("wpFire.kml")));
        f.convert(drawing(kOpenFive), QStringLiteral("Fire.kml"), {true});
        const auto asked = std::find_if(f.prompter.calls().begin(), f.prompter.calls().end(), [&](const auto& call) {
            return call.text == QStringLiteral("Shapefile %1 exists - overwrite?").arg(set[0]);
        });
        QVERIFY(asked != f.prompter.calls().end());
        QVERIFY(f.prompter.messageTexts().back().contains(QStringLiteral("wpFire.kml")));
        for (int i = 0; i < set.size(); ++i) QCOMPARE(readAll(set[i]), before[i]);
    }

    void optionsOfAnotherKindAreUncheckedAndNoNumberIsEmptied() {
        Fixture f;
        f.click("optMit");
        QVERIFY(f.child<QRadioButton>("optNA")->isChecked());
        f.click("optFire");
        QVERIFY(!f.child<QRadioButton>("optNA")->isChecked());
        QVERIFY(!f.child<QRadioButton>("OptfSigNA")->isChecked());

        f.ready();
        f.child<QLineEdit>("txtArea")->setFocus();
        f.child<QLineEdit>("txtArea")->setText(QStringLiteral("1.2.3"));
        f.child<QLineEdit>("txtF_Name")->setFocus();
        QCOMPARE(f.child<QLineEdit>("txtArea")->text(), QString());
        f.click("CmdEnable");
        QCOMPARE(f.prompter.messageTexts().back(), QStringLiteral("Enter Area in acres"));
        QVERIFY(!f.child<QPushButton>("cmdFireTab")->isEnabled());
    }

    // What was drawn is what is written: read back with GDAL as the same
    // geometry (valid, the same area), its figures from the shapes as drawn.
    void drawingsAreWrittenAsDrawn_data() {
        QTest::addColumn<QByteArray>("placemarks");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("geometry");
        QTest::addColumn<int>("rings");
        QTest::addColumn<double>("area");  // square degrees, of what should be written
        QTest::addColumn<QString>("told");
        const double square = ringArea(kSquareRing), hole = ringArea(kHoleRing), other = ringArea(kOtherRing);
        QTest::newRow("a hole") << placemark(polygon(kSquareRing, kHoleRing)) << "fire.kml" << QList<bool>{false, false}
                                << int(wkbPolygon) << 2 << square - hole << "1 polygon (1 hole)";
        QTest::newRow("a hole drawn the other way")
            << placemark(polygon(kSquareRing, "-84.248,30.502 -84.248,30.504 -84.246,30.504 -84.246,30.502 -84.248,30.502"))
            << "fire.kml" << QList<bool>{false, false} << int(wkbPolygon) << 2 << square - hole << "1 polygon (1 hole)";
        QTest::newRow("an overlay's corners")
            << placemark(polygon(kSquareRing)) + "<GroundOverlay><Icon><href>map.png</href></Icon><gx:LatLonQuad>"
                                                 "<coordinates>-85,30 -84,30 -84,31 -85,31</coordinates></gx:LatLonQuad>"
                                                 "</GroundOverlay>"
            << "fire.kml" << QList<bool>{false, false} << int(wkbPolygon) << 1 << square << "";
        QTest::newRow("a GPS track")
            << placemark("<gx:Track><when>2026-09-14T10:00:00Z</when><when>2026-09-14T10:01:00Z</when>"
                         "<when>2026-09-14T10:02:00Z</when><gx:coord>-84.3 30.5 0</gx:coord>"
                         "<gx:coord>-84.31 30.51 0</gx:coord><gx:coord>-84.32 30.51 0</gx:coord></gx:Track>")
            << "track.kml" << QList<bool>{false, false} << int(wkbLineString) << 1 << 0.0 << "";
        QTest::newRow("two polygons") << placemark("<MultiGeometry>" + polygon(kSquareRing) + polygon(kOtherRing) +
                                                   "</MultiGeometry>")
                                      << "fire.kml" << QList<bool>{false, false} << int(wkbMultiPolygon) << 2
                                      << square + other << "2 polygons";
        QTest::newRow("a label point beside")
            << placemark(polygon(kSquareRing)) + placemark("<Point><coordinates>-84.245,30.505</coordinates></Point>")
            << "fire.kml" << QList<bool>{false, false} << int(wkbPolygon) << 1 << square << "1 polygon; 1 point not used";
        QTest::newRow("an open path built as a polygon")
            << placemark("<LineString><coordinates>-84.25,30.5 -84.24,30.5 -84.24,30.51 -84.25,30.51</coordinates></LineString>")
            << "path.kml" << QList<bool>{false, true} << int(wkbPolygon) << 1 << square << "";
        QTest::newRow("a KMZ") << placemark(polygon(kSquareRing)) << "fire.kmz" << QList<bool>{false, false}
                               << int(wkbPolygon) << 1 << square << "";
    }
    void drawingsAreWrittenAsDrawn() {
        QFETCH(QByteArray, placemarks);
        QFETCH(QString, file);
        QFETCH(QList<bool>, answers);
        QFETCH(int, geometry);
        QFETCH(int, rings);
        QFETCH(double, area);
        QFETCH(QString, told);
        Fixture f;
        f.ready();
        f.click("optDD");  // degrees as drawn, so the area compares exactly
        const QByteArray kml = document(placemarks);
        if (file.endsWith(QLatin1String(".kmz"))) QVERIFY(writeKmz(f.path(file), kml));
        else QVERIFY(writeFile(f.path(file), kml));
        f.prompter.choosePath(f.path(file));
        for (bool yes : answers) yes ? f.prompter.answerYes() : f.prompter.answerNo();
        f.click("cmdFireTab");
        QVERIFY2(f.prompter.unexpected().isEmpty(), qPrintable(f.prompter.unexpected().join(u'|')));
        const QStringList messages = f.prompter.messageTexts();
        if (told.isEmpty()) QVERIFY(!messages.join(u'|').contains(QStringLiteral("Read from the drawing")));
        else QCOMPARE(messages.value(0), QStringLiteral("Read from the drawing: %1.").arg(told));

        const QString shp = f.path(QStringLiteral("wp") + QFileInfo(file).completeBaseName() + QStringLiteral(".shp"));
        GDALDatasetUniquePtr ds(GDALDataset::Open(shp.toUtf8().constData(), GDAL_OF_VECTOR));
        QVERIFY(ds);
        OGRLayer* layer = ds->GetLayer(0);
        QCOMPARE(layer->GetFeatureCount(), 1);
        OGRFeatureUniquePtr feature(layer->GetNextFeature());
        const OGRGeometry* written = feature->GetGeometryRef();
        QCOMPARE(int(wkbFlatten(written->getGeometryType())), geometry);
        QVERIFY(written->IsValid());
        if (geometry != int(wkbLineString)) {
            int writtenRings = 0;
            const auto count = [&](const OGRPolygon& p) { writtenRings += 1 + p.getNumInteriorRings(); };
            if (geometry == int(wkbPolygon)) count(*written->toPolygon());
            else for (const OGRPolygon* p : *written->toMultiPolygon()) count(*p);
            QCOMPARE(writtenRings, rings);
            // The map shows the drawing as read, holes and all.
            int shown = 0;
            for (const MapShape& shape : *f.child<MapPanel>("mapPanel")->content().drawing) shown += int(shape.rings.size());
            QCOMPARE(shown, rings);
            const double writtenArea = geometry == int(wkbPolygon) ? written->toPolygon()->get_Area()
                                                                   : written->toMultiPolygon()->get_Area();
            QVERIFY2(std::abs(writtenArea - area) <= area * 1e-4,
                     qPrintable(QStringLiteral("%1 against %2").arg(writtenArea).arg(area)));
        }
        // The calculated figures are those of the shapes as drawn, shown as written.
        QCOMPARE(QString::number(feature->GetFieldAsDouble("Calc_Acres"), 'f', 2), f.child<QLabel>("lblCalAcres")->text());
        QCOMPARE(QString::number(feature->GetFieldAsDouble("Calc_Perim"), 'f', 2), f.child<QLabel>("lblLength")->text());
    }

    void aMalformedDrawingIsNamedAndNothingWritten() {
        Fixture f;
        f.ready();
        f.convert(drawing("-84.25;30.5 -84.24,30.5"), QStringLiteral("bad.kml"), {});
        QVERIFY(f.prompter.messageTexts().back().contains(QStringLiteral("bad.kml, line")));
        QCOMPARE(filesIn(f.out.path()), QStringList{"bad.kml"});
    }
};

QTEST_MAIN(KmlWindowTest)
#include "KmlWindowTest.moc"

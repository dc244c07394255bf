// The KML import window end to end: a drawing and its attributes become a
// shapefile, read back with GDAL.

#include "kmlimport/kml_firedp_0611.h"
#include "map/MapPanel.h"
#include "output/ProjectionFiles.h"
#include "support/KmlDocuments.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include <algorithm>
#include <cmath>

using namespace waypost;
using namespace waypost::test;
using namespace Qt::StringLiterals;

namespace {

const QByteArray kOpenFive = "-84.25,30.5 -84.24,30.5 -84.24,30.51 -84.245,30.515 -84.25,30.51";  // 1.25e-4 closed

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

/// A drawing, the answers to the window's questions, and what is written of it.
struct Drawing {
    QByteArray placemarks;
    QList<bool> answers;
    int geometry = wkbUnknown;
    int rings = 0;     ///< of the polygons written, and shown on the map
    int vertices = 0;  ///< of every part written
    double area = 0;   ///< square degrees; 0: written on the Albers grid, as the window starts
    QString told;      ///< what is said of the drawing before anything is written
};

}  // namespace

Q_DECLARE_METATYPE(Drawing)

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
            if (qstrcmp(kind, "optFire") == 0)
                for (const char* option : {"optRepI", "OptfSigNo"}) click(option);
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
        QTest::addColumn<Drawing>("d");
        const QByteArray square = polygon(kSquare);
        QTest::newRow("a single point") << Drawing{line("-84.25,30.5"), {}, wkbPoint, 0, 1};
        QTest::newRow("two vertices") << Drawing{line("-84.25,30.5 -84.24,30.5"), {false}, wkbLineString, 0, 2};
        QTest::newRow("all as points") << Drawing{line(kSquare), {true}, wkbMultiPoint, 0, 5};
        QTest::newRow("a GPS track") << Drawing{kTrack, {false, false}, wkbLineString, 0, 3};
        QTest::newRow("a closed path") << Drawing{line(kSquare), {false, false}, wkbPolygon, 1, 5, 1e-4};
        QTest::newRow("an open path built as a polygon")
            << Drawing{line(kOpenFive), {false, true}, wkbPolygon, 1, 6, 1.25e-4};
        QTest::newRow("a hole") << Drawing{placemark(polygon(kSquare, kHole)), {false, false}, wkbPolygon, 2, 10,
                                           0.96e-4, u"1 polygon (1 hole)"_s};
        QTest::newRow("two polygons")
            << Drawing{placemark("<MultiGeometry>" + square + polygon(kOther) + "</MultiGeometry>"), {false, false},
                       wkbMultiPolygon, 2, 10, 2e-4, u"2 polygons"_s};
    }
    void drawingsAreWrittenAsDrawn() {
        QFETCH(Drawing, d);
        Fixture f;
        f.ready();
        if (d.area > 0) f.click("optDD");  // degrees as drawn, so the area compares exactly
        f.convert(document(d.placemarks), u"North Fire #2 (east).kml"_s, d.answers);
        QVERIFY2(f.prompter.unexpected().isEmpty(), qPrintable(f.prompter.unexpected().join(u'|')));
        const QStringList messages = f.prompter.messageTexts();
        if (d.told.isEmpty()) QVERIFY(!messages.join(u'|').contains(u"Read from the drawing"_s));
        else QCOMPARE(messages.value(0), u"Read from the drawing: %1."_s.arg(d.told));
        const QString stem = f.path(u"wpNorthFire2"_s);
        QVERIFY(QFile::exists(stem + ".kml") && QFile::exists(stem + ".sqlite"));  // staging kept without the clean-up
        QCOMPARE(readAll(stem + ".prj"), QByteArray(d.area > 0 ? kWgs84Projection : kAlbersProjection) + "\r\n");

        GDALDatasetUniquePtr ds(GDALDataset::Open((stem + ".shp").toUtf8().constData(), GDAL_OF_VECTOR));
        QVERIFY(ds);
        OGRLayer* layer = ds->GetLayer(0);
        QCOMPARE(layer->GetFeatureCount(), 1);
        OGRFeatureUniquePtr feature(layer->GetNextFeature());
        const OGRGeometry* written = feature->GetGeometryRef();
        QCOMPARE(int(wkbFlatten(written->getGeometryType())), d.geometry);
        QVERIFY(written->IsValid());
        QCOMPARE(ringsAndVertices(*written), std::make_pair(d.rings, d.vertices));
        // A line's reported acres are 0; the calculated figures are those shown.
        QCOMPARE(QString::fromUtf8(feature->GetFieldAsString("ACRES")),
                 d.geometry == int(wkbLineString) ? u"0.00"_s : u"120.00"_s);
        const double calculated = feature->GetFieldAsDouble("Calc_Acres");
        QCOMPARE(QString::number(calculated, 'f', 2), f.child<QLabel>("lblCalAcres")->text());
        QCOMPARE(QString::number(feature->GetFieldAsDouble("Calc_Perim"), 'f', 2), f.child<QLabel>("lblLength")->text());
        QVERIFY2(d.rings > 0 ? calculated > 100 : calculated == 0, qPrintable(QString::number(calculated)));
        if (d.rings > 0) {
            // The map shows the drawing as read, holes and all.
            int shown = 0;
            const auto drawn = f.child<MapPanel>("mapPanel")->content().drawing;
            QVERIFY(drawn);
            for (const MapShape& shape : *drawn) shown += int(shape.rings.size());
            QCOMPARE(shown, d.rings);
            const double writtenArea = d.geometry == int(wkbPolygon) ? written->toPolygon()->get_Area()
                                                                     : written->toMultiPolygon()->get_Area();
            QVERIFY2(std::abs(writtenArea - d.area) <= d.area * 1e-4,
                     qPrintable(u"%1 against %2"_s.arg(writtenArea).arg(d.area)));
        }
    }

    // Options of another kind are unchecked; a figure left with no number is
    // emptied. A mitigation lists the agency's units, asks for its Treatment Type,
    // writes its own columns with N/A for report and significance (a KMZ read
    // through its document); the clean-up removes the staging.
    void kindsTheirOptionsAndTheirColumns() {
        Fixture f;
        f.click("optMit");
        QVERIFY(f.child<QRadioButton>("optNA")->isChecked());
        f.click("optFire");
        QVERIFY(!f.child<QRadioButton>("optNA")->isChecked());
        QVERIFY(!f.child<QRadioButton>("OptfSigNA")->isChecked());
        f.ready();
        f.edit("txtArea")->setFocus();
        f.edit("txtArea")->setText(u"1.2.3"_s);
        f.edit("txtF_Name")->setFocus();
        QCOMPARE(f.edit("txtArea")->text(), QString());

        f.ready("optMit");
        QCOMPARE(f.child<QComboBox>("cmbfCause")->itemText(15), u"Team 1"_s);  // the agency's units first
        f.child<QComboBox>("cmbFtype")->setCurrentIndex(-1);
        f.click("CmdEnable");
        QCOMPARE(f.prompter.lastMessage(), u"Please Select Treatment Type"_s);
        f.child<QComboBox>("cmbFtype")->setCurrentIndex(0);
        f.click("CmdEnable");
        f.click("optClean");
        f.convert(document(line(kSquare)), u"Big.kmz"_s, {false, false});
        const ShapefileContent shp = readShapefile(f.path(u"wpBig.shp"_s));
        QVERIFY(shp.schema.contains(u"PROJECT:text:45"_s));
        QCOMPARE(shp.records.at(0).values.value(u"REPORT"_s), u"N/A"_s);
        QCOMPARE(shp.records.at(0).values.value(u"SIGNIF"_s), u"N/A"_s);
        QVERIFY(!QFile::exists(f.path(u"wpBig.sqlite"_s)));
    }

    // A conversion that fails writes nothing: a malformed drawing is named with
    // its line; overwriting keeps the old set until the new one is complete.
    void aFailedConversionWritesNothingAndKeepsTheOldSet() {
        Fixture f;
        f.ready();
        f.convert(document(line("-84.25;30.5 -84.24,30.5")), u"bad.kml"_s, {});
        QVERIFY(f.prompter.lastMessage().contains(u"bad.kml, line"_s));
        QCOMPARE(filesIn(f.out.path()), QStringList{"bad.kml"});

        f.convert(document(line(kSquare)), u"Fire.kml"_s, {false, false});
        const auto shapefileSet = [&f] {
            QList<QByteArray> set;
            for (const char* ext : {"shp", "shx", "dbf", "prj"})
                set << readAll(f.path(u"wpFire."_s + QLatin1String(ext)));
            return set;
        };
        const QList<QByteArray> before = shapefileSet();
        // A later step fails: the copy of the drawing cannot be written.
        QVERIFY(QFile::remove(f.path(u"wpFire.kml"_s)));
        QVERIFY(QDir(f.out.path()).mkdir(u"wpFire.kml"_s));
        f.convert(document(line(kOpenFive)), u"Fire.kml"_s, {true});
        QVERIFY(std::ranges::any_of(f.prompter.calls(), [&](const auto& call) {
            return call.text == u"Shapefile %1 exists - overwrite?"_s.arg(f.path(u"wpFire.shp"_s));
        }));
        QVERIFY(f.prompter.lastMessage().contains(u"wpFire.kml"_s));
        QCOMPARE(shapefileSet(), before);
    }
};

QTEST_MAIN(KmlWindowTest)
#include "KmlWindowTest.moc"

// The feature form's contract, through a small window of its own: enable
// checks, the output chooser's questions, the five outputs read back with a
// real reader, failures named, cancels silent, leaving.

#include "output/PointFile.h"
#include "output/ProjectionFiles.h"
#include "platform/WindowRegistry.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"
#include "widgets/FeatureForm.h"
#include "widgets/OutputButtons.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPointer>
#include <QTest>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

using namespace waypost;
using namespace waypost::test;

namespace {

const char* const kOutputs[] = {"cmdNew", "cmdAppend", "cmdShape", "cmdAppendShape", "cmdKml"};

/// A feature window of two fields (a name and a location) on the form.
class PointWindow final : public FeatureWindow {
public:
    QLineEdit* name = new QLineEdit;
    QString problem;  ///< what the shapefile check says; empty: nothing
    int afterNew = 0;

    PointWindow(const Services& services, WindowRegistry& registry) : FeatureWindow(nullptr, Qt::Window) {
        auto* grid = new QGridLayout(this);
        name->setObjectName(QStringLiteral("txtName"));
        grid->addWidget(name, 0, 0);
        const auto add = [&](auto* w, const char* objectName) {
            w->setObjectName(QString::fromLatin1(objectName));
            grid->addWidget(w, grid->count(), 0);
            return w;
        };
        FeatureDescription d;
        d.windowName = QStringLiteral("wpFac");
        d.outputs = {QStringLiteral("pt"), QStringLiteral("Point"), kAlbersPrjFile};
        d.fields = {{"Name", "Name", ShapefileWriter::Text, 10},
                    {"Latitude", "Lat", ShapefileWriter::Double},
                    {"Longitude", "Long", ShapefileWriter::Double}};
        d.heading = add(new QLabel, "lblHeading");
        d.labels = {add(new QLabel, "lblLat"), add(new QLabel, "lblLong"), add(new QLabel, "lblX"),
                    add(new QLabel, "lblY"),   add(new QLabel, "lblUtm"),  add(new QLabel, "lblUsng"), nullptr};
        QPushButton* b[9];
        for (int i = 0; i < 9; ++i)
            b[i] = add(new QPushButton(QStringLiteral("b%1").arg(i)),
                       std::array{"cmdLocate", "cmdEnable", "cmdClear", "cmdQuit", kOutputs[0], kOutputs[1],
                                  kOutputs[2], kOutputs[3], kOutputs[4]}[static_cast<std::size_t>(i)]);
        d.buttons = {b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8]};
        d.namedInputs = {name};
        d.requirements = [this] {
            return std::vector<Requirement>{
                {!name->text().isEmpty(), QStringLiteral("Enter Name"), QStringLiteral("txtName")},
                {m_form->location().has_value(), QStringLiteral("Please Convert Coordinates"), QStringLiteral("cmdLocate")}};
        };
        d.row = [this] {
            const WrittenLocation at = writtenLocation(m_form->location());
            return FieldRow{name->text(), at.latitude, at.longitude};
        };
        d.placemark = [this] {
            KmlPlacemark p;
            p.defaultFileName = QStringLiteral("pt") + name->text();
            p.placemarkName = name->text();
            p.iconFile = QStringLiteral("other.png");
            const WrittenLocation at = writtenLocation(m_form->location());
            p.latitude = at.latitudeText;
            p.longitude = at.longitudeText;
            p.latitudeDegrees = at.latitude;
            p.longitudeDegrees = at.longitude;
            return p;
        };
        d.shapefileProblem = [this] { return problem.isEmpty() ? std::nullopt : std::optional<QString>(problem); };
        d.clearFields = [this] { name->clear(); };
        d.afterNewRecordFile = [this] { ++afterNew; };
        m_form = new FeatureForm(services, registry, this, std::move(d));
    }
};

struct Fixture : TestServices, WindowControls {
    WindowRegistry registry;
    PointWindow* window = new PointWindow(services, registry);

    Fixture() { setWindow(window); }
    explicit Fixture(const QString& dataDir) : TestServices(dataDir) { setWindow(window); }
    ~Fixture() { delete window; }

    /// A named feature with a location, outputs enabled.
    void ready(const QString& name = QStringLiteral("Camp")) {
        window->name->setText(name);
        window->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        click("cmdEnable");
    }
    bool outputsEnabled(bool enabled) const {
        for (const char* b : kOutputs)
            if (child(b)->isEnabled() != enabled) return false;
        return true;
    }
    bool quiet() const { return prompter.messages().empty() && prompter.unexpected().isEmpty(); }
};

}  // namespace

class FeatureFormTest : public QObject {
    Q_OBJECT
private slots:
    void enableChecksStopAtTheFirstUnmetAndTouchingAFieldTurnsTheOutputsOff() {
        Fixture f;
        QVERIFY(f.activate());
        QVERIFY(f.outputsEnabled(false));
        f.click("cmdEnable");
        QCOMPARE(f.prompter.messageTexts(), QStringList{"Enter Name"});
        QCOMPARE(f.window->focusWidget(), f.window->name);
        f.window->name->setText(QStringLiteral("Camp"));
        f.click("cmdEnable");
        QCOMPARE(f.prompter.messageTexts().last(), QStringLiteral("Please Convert Coordinates"));
        QCOMPARE(f.window->focusWidget(), f.child("cmdLocate"));
        QVERIFY(f.outputsEnabled(false));
        f.window->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        f.click("cmdEnable");
        QCOMPARE(f.prompter.messages().size(), size_t(2));
        QVERIFY(f.outputsEnabled(true));
        f.window->name->setFocus();
        QVERIFY(f.outputsEnabled(false));
    }

    void aNewRecordFileIsPrefixedAndAnExistingOneAskedAboutInEveryRound() {
        Fixture f;
        QVERIFY(writeFile(f.path(QStringLiteral("pta.txt")), "keep\r\n"));
        QVERIFY(writeFile(f.path(QStringLiteral("ptb.txt")), "keep\r\n"));
        f.ready();
        f.prompter.choosePath(f.path(QStringLiteral("a.txt")));
        f.prompter.answerNo();
        f.prompter.choosePath(f.path(QStringLiteral("b.txt")));
        f.prompter.answerYes();
        f.click("cmdNew");
        QCOMPARE(readAll(f.path(QStringLiteral("pta.txt"))), QByteArray("keep\r\n"));
        QCOMPARE(readAll(f.path(QStringLiteral("ptb.txt"))),
                 QByteArray("\"Name\",\"Latitude\",\"Longitude\"\r\n\"Camp\",30.5,-84.25\r\n"));
        QCOMPARE(f.window->lastOutputPath(), f.path(QStringLiteral("ptb.txt")));
        QCOMPARE(f.prompter.calls()[1].text, QStringLiteral("File Already Exists  - Overwrite?"));
        QCOMPARE(f.prompter.calls()[1].defaultButton, Prompter::Answer::No);
        QCOMPARE(f.prompter.calls()[3].text, QStringLiteral("File Already Exists  - Overwrite?"));
        QCOMPARE(f.window->afterNew, 1);
        QVERIFY(f.quiet());
    }

    void appendCreatesAMissingFileWithoutAHeaderAndClearsNothing() {
        Fixture f;
        f.ready();
        for (int i = 0; i < 2; ++i) {
            f.prompter.choosePath(f.path(QStringLiteral("ptnew.txt")));
            f.click("cmdAppend");
        }
        QCOMPARE(readAll(f.path(QStringLiteral("ptnew.txt"))), QByteArray("\"Camp\",30.5,-84.25\r\n\"Camp\",30.5,-84.25\r\n"));
        QCOMPARE(f.prompter.calls().back().dialog.filter, QStringLiteral("Text Files (pt*.txt)"));
        QVERIFY(f.prompter.calls().back().dialog.allowNewName);
        QCOMPARE(f.window->name->text(), QStringLiteral("Camp"));
        QCOMPARE(f.window->afterNew, 0);
    }

    void aShapefileGetsItsProjectionAndAnAppendAddsAPoint() {
        Fixture f;
        f.ready(QStringLiteral("St. Marks"));
        f.prompter.choosePath(f.path(QStringLiteral("St. Marks")));  // the dot is no extension
        f.click("cmdShape");
        QVERIFY(!f.child("cmdAppendShape")->isEnabled());  // a new set and an append are not mixed
        QCOMPARE(filesIn(f.out.path()), QStringList({"ptSt. Marks.cpg", "ptSt. Marks.dbf", "ptSt. Marks.prj",
                                                     "ptSt. Marks.shp", "ptSt. Marks.shx"}));
        QCOMPARE(readAll(f.path(QStringLiteral("ptSt. Marks.prj"))), QByteArray(kAlbersProjection));
        f.window->name->setText(QString(12, u'N'));  // longer than its field
        f.click("cmdEnable");
        f.prompter.choosePath(f.path(QStringLiteral("ptSt. Marks.shp")));
        f.click("cmdAppendShape");
        QCOMPARE(f.prompter.calls()[f.prompter.calls().size() - 2].dialog.filter, QStringLiteral("Shape Files (pt*.shp)"));
        QVERIFY2(f.prompter.messageTexts().value(0).contains(QStringLiteral("Name (10 bytes)")),
                 qPrintable(f.prompter.messageTexts().join(u'|')));
        const ShapefileContent shp = readShapefile(f.path(QStringLiteral("ptSt. Marks.shp")));
        QCOMPARE(shp.type, wkbPoint);
        QCOMPARE(shp.records.size(), size_t(2));
        QCOMPARE(shp.records[0].vertices, (std::vector<std::pair<double, double>>{{376025.0, 721400.0}}));
        QCOMPARE(shp.records[0].values["Long"].toDouble(), -84.25);
        QCOMPARE(shp.records[1].values["Name"], QString(10, u'N'));
    }

    void aShapefileCheckStopsOnlyTheShapefile() {
        Fixture f;
        f.ready();
        f.window->problem = QStringLiteral("not a number");
        f.click("cmdShape");
        QCOMPARE(f.prompter.messageTexts(), QStringList{"not a number"});
        QVERIFY(filesIn(f.out.path()).isEmpty());
    }

    void aMissingProjectionFileIsNamedAndTheShapefileKept() {
        QTemporaryDir data;
        Fixture f(data.path());
        f.ready();
        f.prompter.choosePath(f.path(QStringLiteral("camps.shp")));
        f.click("cmdShape");
        QCOMPARE(f.prompter.messages().size(), size_t(1));
        QVERIFY(f.prompter.messages()[0].text.contains(data.filePath(QStringLiteral("fl_albers.prj"))));
        QCOMPARE(filesIn(f.out.path()), QStringList({"ptcamps.cpg", "ptcamps.dbf", "ptcamps.shp", "ptcamps.shx"}));
    }

    // The KML button also writes GPX, GeoJSON and GeoPackage: read back with
    // GDAL, each holds the point and the values of the shapefile.
    void thePlacemarkButtonAlsoWritesGpsAndGisFormats_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("GPX waypoint") << "camp.gpx";
        QTest::newRow("GeoJSON") << "camp.geojson";
        QTest::newRow("GeoPackage") << "camp.gpkg";
    }
    void thePlacemarkButtonAlsoWritesGpsAndGisFormats() {
        QFETCH(QString, file);
        Fixture f;
        f.ready();
        f.prompter.choosePath(f.path(QStringLiteral("camps.shp")));
        f.click("cmdShape");
        f.prompter.choosePath(f.path(file));
        f.click("cmdKml");
        QVERIFY(f.quiet());
        QCOMPARE(f.prompter.calls().back().dialog.otherExtensions, kPointFileExtensions);
        const ShapeRecord shape = readShapefile(f.path(QStringLiteral("ptcamps.shp"))).records.at(0);
        GDALDatasetUniquePtr ds(GDALDataset::Open(f.path(file).toUtf8().constData(), GDAL_OF_VECTOR));
        QVERIFY(ds);
        OGRLayer* layer = ds->GetLayerByName("waypoints") ? ds->GetLayerByName("waypoints") : ds->GetLayer(0);
        QCOMPARE(layer->GetFeatureCount(), 1);
        OGRFeatureUniquePtr point(layer->GetNextFeature());
        QCOMPARE(point->GetGeometryRef()->toPoint()->getX(), -84.25);
        QCOMPARE(point->GetGeometryRef()->toPoint()->getY(), 30.5);
        QCOMPARE(QString::fromUtf8(point->GetFieldAsString("Name")), shape.values["Name"]);
        // GPX keeps a name of its own schema apart with a prefix.
        const int latitude = std::max(point->GetFieldIndex("Latitude"), point->GetFieldIndex("ogr_Latitude"));
        QCOMPARE(point->GetFieldAsDouble(latitude), shape.values["Lat"].toDouble());
    }

    void aCancelledDialogWritesNothingAndSaysNothing() {
        Fixture f;
        f.ready();
        QVERIFY(writeFile(f.path(QStringLiteral("ptx.txt")), "keep"));
        for (const char* button : kOutputs) {
            f.click("cmdEnable");
            f.prompter.cancelDialog();
            f.click(button);
        }
        f.prompter.choosePath(f.path(QStringLiteral("x.txt")));
        f.prompter.answerNo();  // the existing file is kept, then the second dialog cancelled
        f.prompter.cancelDialog();
        f.click("cmdNew");
        QCOMPARE(filesIn(f.out.path()), QStringList{"ptx.txt"});
        QCOMPARE(readAll(f.path(QStringLiteral("ptx.txt"))), QByteArray("keep"));
        QVERIFY(f.quiet());
        QCOMPARE(f.window->afterNew, 0);
    }

    void aFailureNamesTheFileAndLeavesNothingHalfWritten() {
        Fixture f;
        f.ready();
        f.prompter.choosePath(f.path(QStringLiteral("gone/sites.txt")));
        f.click("cmdNew");
        f.prompter.choosePath(f.path(QStringLiteral("gone/camps.shp")));
        f.click("cmdShape");
        f.click("cmdEnable");
        f.prompter.choosePath(f.path(QStringLiteral("ptmissing.shp")));
        f.click("cmdAppendShape");
        const QStringList said = f.prompter.messageTexts();
        QCOMPARE(said.size(), 3);
        QVERIFY(said[0].contains(f.path(QStringLiteral("gone/ptsites.txt"))));
        QVERIFY(said[1].contains(f.path(QStringLiteral("gone"))));
        QVERIFY(said[2].contains(QStringLiteral("ptmissing.shp")));
        QVERIFY(filesIn(f.out.path()).isEmpty());
        QCOMPARE(f.window->afterNew, 0);
    }

    void clearingEmptiesTheFeatureAndLeavingClosesTheWindow() {
        Fixture f;
        f.ready();
        f.click("cmdClear");
        QCOMPARE(f.window->name->text(), QString());
        QCOMPARE(f.text("lblLat"), QString());
        QVERIFY(!f.window->location().location());
        QVERIFY(f.outputsEnabled(false));
        QVERIFY(f.activate());
        f.ready();
        f.click("cmdQuit");
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.text("lblLat"), QString());
        QVERIFY(!f.child("lblLat")->isEnabled());
    }
};

QTEST_MAIN(FeatureFormTest)
#include "FeatureFormTest.moc"

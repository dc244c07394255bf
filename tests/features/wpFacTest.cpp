#include "conversion/wp_ddc_0306.h"
#include "features/wpFac.h"
#include "features/FacilityFields.h"
#include "output/PointFile.h"
#include "output/ProjectionFiles.h"
#include "output/RecordFile.h"
#include "output/FacilityTypes.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"
#include "widgets/LocationLink.h"
#include "widgets/Look.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <string_view>
#include <vector>


using namespace waypost;

using namespace waypost::test;

class wpFacTest : public QObject {
    Q_OBJECT

    struct Fixture : TestServices, WindowControls {
        WindowRegistry registry;
        wpFac* fac = nullptr;

        explicit Fixture(const QString& dataDir = QStringLiteral(WAYPOST_SOURCE_DIR "/data")) : TestServices(dataDir) {
            registerWindows(registry, services);
            fac = qobject_cast<wpFac*>(registry.show(windowName::wpFac));
            setWindow(fac);
            if (!activate()) qWarning("the facilities window did not become active");
        }
        ~Fixture() {
            registry.unload(windowName::wpFac);
            registry.unload(windowName::wp_ddc_0306);
        }
        QString label(const char* name) const { return text(name); }

        /// A named ICS feature with a location handed back, outputs enabled.
        void readyFeature(const QString& name = QStringLiteral("Helibase 2"), const QString& type = QStringLiteral("Helibase")) {
            click("optICS");
            child<QComboBox>("cmbfacType")->setCurrentText(type);
            child<QLineEdit>("txtfacName")->setText(name);
            fac->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
            click("cmdEnableWriteFile");
        }
        bool outputsEnabled() const {
            for (const char* b : {"cmdAdNewdFac", "cmdAppendFile", "cmdWritefShape", "appendfShape", "cmdfKML"})
                if (!child<QPushButton>(b)->isEnabled()) return false;
            return true;
        }
        bool outputsDisabled() const {
            for (const char* b : {"cmdAdNewdFac", "cmdAppendFile", "cmdWritefShape", "appendfShape", "cmdfKML"})
                if (child<QPushButton>(b)->isEnabled()) return false;
            return true;
        }
    };

private slots:
    void startsWithTheOutputsOffAndTheFocusInTheName() {
        Fixture f;
        QVERIFY(!f.child<QComboBox>("cmbfacType")->isEnabled());
        QVERIFY(f.outputsDisabled());
        QCOMPARE(f.fac->focusWidget(), f.child<QLineEdit>("txtfacName"));
    }

    void familiesFillTheirListsFromTheTypeTable() {
        Fixture f;
        auto* combo = f.child<QComboBox>("cmbfacType");
        f.click("optDisease");
        QVERIFY(combo->isEnabled());
        QCOMPARE(combo->itemText(0), QStringLiteral("Black Turpentine Beetle"));
        QCOMPARE(combo->currentText(), QString());
        f.click("optICS");
        QCOMPARE(combo->itemText(13), QStringLiteral("Residence"));
        // Every type of the table has an icon that is shipped; a type without one shows "other.png".
        for (const FacilityType& t : facilityTypeTable())
            QVERIFY2(QFile::exists(f.paths.iconsDir() + u'/' + facilityIcon(t.type)), qPrintable(t.type));
        QCOMPARE(facilityIcon(QStringLiteral("Residence")), QStringLiteral("other.png"));
        QCOMPARE(facilityIcon(QStringLiteral("Staging Area")), QStringLiteral("staginga.png"));
        QVERIFY(!facilityTypes(FacilityFamily::ICS).contains(QStringLiteral("Staging Area")));
    }

    void enableChecksInOrder() {
        Fixture f;
        f.click("cmdEnableWriteFile");
        QCOMPARE(f.prompter.messageTexts(), QStringList{QStringLiteral("Enter Facility Name")});
        QCOMPARE(f.prompter.messages()[0].title, QStringLiteral("Waypost"));
        QCOMPARE(f.prompter.messages()[0].icon, Prompter::Icon::None);
        QCOMPARE(f.fac->focusWidget(), f.child<QLineEdit>("txtfacName"));

        // A name and a family but no type.
        f.child<QLineEdit>("txtfacName")->setText(QStringLiteral("North Camp"));
        f.click("optICS");
        f.click("cmdEnableWriteFile");
        QCOMPARE(f.prompter.messageTexts().last(), QStringLiteral("Select Facility Type"));
        QCOMPARE(f.fac->focusWidget(), f.child<QComboBox>("cmbfacType"));
        QVERIFY(f.outputsDisabled());

        f.child<QComboBox>("cmbfacType")->setCurrentText(QStringLiteral("Camp"));
        f.click("cmdEnableWriteFile");
        QCOMPARE(f.prompter.messageTexts().last(), QStringLiteral("Please Convert Coordinates"));
        QCOMPARE(f.fac->focusWidget(), f.child<QPushButton>("cmdfCoordCon"));
        QVERIFY(f.outputsDisabled());

        f.fac->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        f.click("cmdEnableWriteFile");
        QCOMPARE(f.prompter.messages().size(), size_t(3));
        QVERIFY(f.outputsEnabled());
        QCOMPARE(f.child<QPushButton>("cmdfKML")->palette().color(QPalette::Button), kEnabledOutputColour);

        // Touching the name again asks for a new enable.
        f.child<QLineEdit>("txtfacName")->setFocus();
        QVERIFY(f.outputsDisabled());
    }

    void restrictedCharactersAreRefusedAndCleaned() {
        Fixture f;
        auto* name = f.child<QLineEdit>("txtfacName");
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("Bear&Cub"));
        QCOMPARE(name->text(), QStringLiteral("BearCub"));
        QCOMPARE(f.prompter.messages().size(), size_t(1));
        QCOMPARE(f.prompter.messages()[0].text, QStringLiteral("This is a Restricted Character"));
        QCOMPARE(f.prompter.messages()[0].title, QStringLiteral("Input Error"));
        QCOMPARE(f.prompter.messages()[0].icon, Prompter::Icon::Warning);
        for (const QChar c : QStringLiteral("\"'/:<>\\")) QTest::keyClick(name, c.toLatin1());
        QCOMPARE(f.prompter.messages().size(), size_t(8));
        QCOMPARE(name->text(), QStringLiteral("BearCub"));

        // Pasted text is cleaned when the field is left.
        name->setText(QStringLiteral(" a/b "));
        f.child<QPushButton>("cmdfCoordCon")->setFocus();
        QCOMPARE(name->text(), QStringLiteral("a b"));

        auto* type = f.child<QComboBox>("cmbfacType");
        f.click("optICS");
        type->setFocus();
        QTest::keyClicks(type, QStringLiteral("My<Type"));
        QCOMPARE(type->currentText(), QStringLiteral("MyType"));
        QCOMPARE(f.prompter.messages().size(), size_t(9));
        f.registry.unload(windowName::wp_ddc_0306);
    }

    void newRecordFileIsPrefixedAndThenTheFeatureCleared() {
        Fixture f;
        f.readyFeature();
        f.prompter.choosePath(f.path(QStringLiteral("sites.txt")));
        f.click("cmdAdNewdFac");
        const QString written = f.path(QStringLiteral("pfsites.txt"));
        QCOMPARE(readAll(written),
                 QByteArray("\"Name\",\"Type\",\"Latitude\",\"Longitude\",\"AlbersX\",\"AlbersY\",\"UTM\",\"USNG\",\"STR\"\r\n"
                            "\"Helibase 2\",\"Helibase\",30.5,-84.25,376025,721400,\"16R 761158 3370495\","
                            "\"16R GU 61158 70495\",\"\"\r\n"));
        QCOMPARE(f.fac->lastOutputPath(), written);
        const auto& call = f.prompter.calls().front();
        QCOMPARE(call.dialog.filter, QStringLiteral("Text Files (*.txt)"));
        QCOMPARE(call.dialog.defaultExtension, QStringLiteral("txt"));
        QVERIFY(call.dialog.fileName.isEmpty());
        // Name and location cleared; family and type stay.
        QCOMPARE(f.child<QLineEdit>("txtfacName")->text(), QString());
        QCOMPARE(f.label("lblfDDLat"), QString());
        QCOMPARE(f.label("lblUSNG"), QString());
        QCOMPARE(f.child<QComboBox>("cmbfacType")->currentText(), QStringLiteral("Helibase"));
        QVERIFY(f.child<QRadioButton>("optICS")->isChecked());
        QCOMPARE(f.fac->focusWidget(), f.child<QLineEdit>("txtfacName"));
        QVERIFY(f.prompter.unexpected().isEmpty());
    }

    void overwriteQuestionAndSecondChoice() {
        Fixture f;
        for (const char* name : {"pfa.txt", "pfb.txt"}) {
            QFile file(f.path(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep\r\n");
        }
        f.readyFeature();
        f.prompter.choosePath(f.path(QStringLiteral("a.txt")));
        f.prompter.answerNo();
        f.prompter.choosePath(f.path(QStringLiteral("b.txt")));
        f.prompter.answerYes();  // the second existing file is asked about too
        f.click("cmdAdNewdFac");
        QCOMPARE(readAll(f.path(QStringLiteral("pfa.txt"))), QByteArray("keep\r\n"));
        QVERIFY(readAll(f.path(QStringLiteral("pfb.txt"))).startsWith("\"Name\""));
        const auto& q = f.prompter.calls()[1];
        QCOMPARE(q.text, QStringLiteral("File Already Exists  - Overwrite?"));
        QCOMPARE(q.title, QStringLiteral("File Exists"));
        QCOMPARE(q.defaultButton, Prompter::Answer::No);
        QVERIFY(f.prompter.unexpected().isEmpty());
    }

    void appendCreatesAMissingFileWithoutHeader() {
        Fixture f;
        f.readyFeature();
        f.prompter.choosePath(f.path(QStringLiteral("pfnew.txt")));
        f.click("cmdAppendFile");
        QCOMPARE(readAll(f.path(QStringLiteral("pfnew.txt"))),
                 QByteArray("\"Helibase 2\",\"Helibase\",30.5,-84.25,376025,721400,\"16R 761158 3370495\",\"16R GU 61158 70495\",\"\"\r\n"));
        QCOMPARE(f.prompter.calls().back().dialog.filter, QStringLiteral("Text Files (pf*.txt)"));
        QCOMPARE(f.prompter.calls().back().kind, ScriptedPrompter::Kind::OpenFile);
        QVERIFY(f.prompter.calls().back().dialog.allowNewName);  // a new name may be typed
        // Appending clears nothing.
        QCOMPARE(f.child<QLineEdit>("txtfacName")->text(), QStringLiteral("Helibase 2"));
        f.prompter.choosePath(f.path(QStringLiteral("pfnew.txt")));
        f.click("cmdAppendFile");
        QCOMPARE(readAll(f.path(QStringLiteral("pfnew.txt"))).count("\r\n"), 2);
    }

    // The KML button also writes a GPS unit's waypoint, GeoJSON and a
    // GeoPackage: read back with GDAL, each holds the point and every value
    // of the shapefile written from the same feature.
    void theKmlButtonAlsoWritesGpsAndGisFormats_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("GPX waypoint") << "camp.gpx";
        QTest::newRow("GeoJSON") << "camp.geojson";
        QTest::newRow("GeoPackage") << "camp.gpkg";
    }
    void theKmlButtonAlsoWritesGpsAndGisFormats() {
        QFETCH(QString, file);
        Fixture f;
        f.readyFeature();
        f.prompter.choosePath(f.path(QStringLiteral("camps.shp")));
        f.click("cmdWritefShape");
        f.prompter.choosePath(f.path(file));
        f.click("cmdfKML");
        QVERIFY2(f.prompter.unexpected().isEmpty(), qPrintable(f.prompter.unexpected().join(u'|')));
        QVERIFY(f.prompter.messageTexts().isEmpty());
        QCOMPARE(f.prompter.calls().back().dialog.otherExtensions, kPointFileExtensions);

        const ShapefileContent shapefile = readShapefile(f.path(QStringLiteral("pfcamps.shp")));
        QCOMPARE(shapefile.records.size(), 1U);
        GDALDatasetUniquePtr ds(GDALDataset::Open(f.path(file).toUtf8().constData(), GDAL_OF_VECTOR));
        QVERIFY(ds);
        OGRLayer* layer = ds->GetLayerByName("waypoints") ? ds->GetLayerByName("waypoints") : ds->GetLayer(0);
        QCOMPARE(layer->GetFeatureCount(), 1);
        OGRFeatureUniquePtr point(layer->GetNextFeature());
        const auto* position = point->GetGeometryRef()->toPoint();
        QCOMPARE(position->getX(), -84.25);
        QCOMPARE(position->getY(), 30.5);
        const bool gpx = file.endsWith(QLatin1String(".gpx"));
        if (gpx) QCOMPARE(QString::fromUtf8(point->GetFieldAsString("name")), QStringLiteral("Helibase 2"));
        for (const FieldSpec& spec : facilityFields()) {
            QString name = spec.recordName;
            if (gpx) name.replace(u' ', u'_');
            int index = point->GetFieldIndex(name.toUtf8().constData());
            if (index < 0) index = point->GetFieldIndex(("ogr_" + name).toUtf8().constData());
            QVERIFY2(index >= 0, qPrintable(name));
            const QString shown = shapefile.records[0].values.value(spec.shapeName);
            const QString here = QString::fromUtf8(point->GetFieldAsString(index));
            if (spec.type == ShapefileWriter::Text) QCOMPARE(here, shown);
            else QCOMPARE(here.toDouble(), shown.toDouble());
        }
    }

    void shapefileWithItsProjectionThenAppend() {
        Fixture f;
        f.readyFeature();
        f.prompter.choosePath(f.path(QStringLiteral("camps.shp")));
        f.click("cmdWritefShape");
        QVERIFY(!f.child<QPushButton>("appendfShape")->isEnabled());
        QCOMPARE(filesIn(f.out.path()),
                 QStringList({"pfcamps.cpg", "pfcamps.dbf", "pfcamps.prj", "pfcamps.shp", "pfcamps.shx"}));
        QCOMPARE(readAll(f.path(QStringLiteral("pfcamps.prj"))), QByteArray(kAlbersProjection));

        f.click("cmdEnableWriteFile");
        f.child<QLineEdit>("txtfacName")->setText(QStringLiteral("Camp Two"));
        f.click("cmdEnableWriteFile");
        f.prompter.choosePath(f.path(QStringLiteral("pfcamps.shp")));
        f.click("appendfShape");
        QVERIFY(!f.child<QPushButton>("cmdWritefShape")->isEnabled());
        QCOMPARE(f.prompter.calls().back().dialog.filter, QStringLiteral("Shape Files (pf*.shp)"));

        const ShapefileContent shp = readShapefile(f.path(QStringLiteral("pfcamps.shp")));
        QVERIFY(shp.opened);
        QCOMPARE(shp.type, wkbPoint);
        QCOMPARE(shp.records.size(), size_t(2));
        QCOMPARE(shp.records[0].values["Name"], QStringLiteral("Helibase 2"));
        QCOMPARE(shp.records[0].vertices, (std::vector<std::pair<double, double>>{{376025.0, 721400.0}}));
        QCOMPARE(shp.records[0].values["Long"].toDouble(), -84.25);
        QCOMPARE(shp.records[0].values["USNG"], QStringLiteral("16R GU 61158 70495"));
        QCOMPARE(shp.records[1].values["Name"], QStringLiteral("Camp Two"));
        QVERIFY(f.prompter.unexpected().isEmpty());
        QVERIFY(f.prompter.messages().empty());
    }

    void aMissingProjectionFileIsNamedAndTheShapefileKept() {
        QTemporaryDir data;  // a data folder without fl_albers.prj
        Fixture f(data.path());
        f.readyFeature();
        f.prompter.choosePath(f.path(QStringLiteral("camps.shp")));
        f.click("cmdWritefShape");
        QCOMPARE(f.prompter.messages().size(), size_t(1));
        QVERIFY(f.prompter.messages()[0].text.contains(data.filePath(QStringLiteral("fl_albers.prj"))));
        QCOMPARE(filesIn(f.out.path()), QStringList({"pfcamps.cpg", "pfcamps.dbf", "pfcamps.shp", "pfcamps.shx"}));
        QVERIFY(f.prompter.unexpected().isEmpty());
    }

    void aNameWithADotStillGetsItsExtension() {
        Fixture f;
        f.readyFeature(QStringLiteral("St. Marks Tower"), QStringLiteral("Tower"));
        f.prompter.choosePath(f.path(QStringLiteral("St. Marks")));
        f.click("cmdWritefShape");
        QVERIFY(QFile::exists(f.path(QStringLiteral("pfSt. Marks.shp"))));
        QVERIFY(QFile::exists(f.path(QStringLiteral("pfSt. Marks.prj"))));
        // Chosen again: the existing set is found and the question asked.
        f.click("cmdEnableWriteFile");
        f.prompter.choosePath(f.path(QStringLiteral("St. Marks")));
        f.prompter.answerNo();
        f.prompter.cancelDialog();
        f.click("cmdWritefShape");
        QCOMPARE(f.prompter.calls().back().kind, ScriptedPrompter::Kind::SaveFile);
        QCOMPARE(f.prompter.calls()[f.prompter.calls().size() - 2].text, QStringLiteral("File Already Exists  - Overwrite?"));
        f.prompter.choosePath(f.path(QStringLiteral("St. Marks")));
        f.click("cmdAdNewdFac");
        QVERIFY(QFile::exists(f.path(QStringLiteral("pfSt. Marks.txt"))));
        QVERIFY(f.prompter.unexpected().isEmpty());
        QCOMPARE(f.prompter.pendingAnswers(), size_t(0));
    }

    void kmlUsesTheTypesIconAndATypedTypeGetsOther() {
        Fixture f;
        f.readyFeature(QStringLiteral("XXL Camp"), QStringLiteral("Made Up Type"));
        f.prompter.choosePath(f.path(QStringLiteral("camp.kml")));
        f.prompter.answerNo();
        f.click("cmdfKML");
        QCOMPARE(f.prompter.calls()[0].dialog.fileName, QStringLiteral("pfXXL Camp"));
        const KmlContent kml = readKml(f.path(QStringLiteral("camp.kml")));
        QVERIFY2(kml.error.isEmpty(), qPrintable(kml.error));
        QCOMPARE(kml.names, QStringList{"XXL Camp"});
        QCOMPARE(kml.iconHrefs.size(), 1);
        QVERIFY(kml.iconHrefs[0].endsWith(QStringLiteral("/icons/other.png")));
    }

    void cancelAtEveryDialogWritesNothingAndSaysNothing() {
        Fixture f;
        f.readyFeature();
        for (const char* button : {"cmdAdNewdFac", "cmdAppendFile", "cmdfKML", "cmdWritefShape"}) {
            f.prompter.cancelDialog();
            f.click(button);
        }
        f.click("cmdEnableWriteFile");
        f.prompter.cancelDialog();
        f.click("appendfShape");
        // Overwrite question answered No, then the second dialog cancelled.
        QFile existing(f.path(QStringLiteral("pfx.txt")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("keep");
        existing.close();
        f.prompter.choosePath(f.path(QStringLiteral("x.txt")));
        f.prompter.answerNo();
        f.prompter.cancelDialog();
        f.click("cmdAdNewdFac");
        QCOMPARE(filesIn(f.out.path()), QStringList{QStringLiteral("pfx.txt")});
        QCOMPARE(readAll(f.path(QStringLiteral("pfx.txt"))), QByteArray("keep"));
        QVERIFY(f.prompter.messages().empty());
        QVERIFY(f.prompter.unexpected().isEmpty());
        QCOMPARE(f.child<QLineEdit>("txtfacName")->text(), QStringLiteral("Helibase 2"));  // nothing cleared
    }

    void failuresNameTheFileAndLeaveNothingHalfWritten() {
        Fixture f;
        f.readyFeature();
        const QString gone = f.path(QStringLiteral("gone/sites.txt"));
        f.prompter.choosePath(gone);
        f.click("cmdAdNewdFac");
        QCOMPARE(f.prompter.messages().size(), size_t(1));
        QVERIFY(f.prompter.messages()[0].text.contains(f.path(QStringLiteral("gone/pfsites.txt"))));
        QCOMPARE(f.child<QLineEdit>("txtfacName")->text(), QStringLiteral("Helibase 2"));  // kept after a failure

        f.prompter.choosePath(f.path(QStringLiteral("gone/camps.shp")));
        f.click("cmdWritefShape");
        QCOMPARE(f.prompter.messages().size(), size_t(2));
        QVERIFY(f.prompter.messages()[1].text.contains(QStringLiteral("gone")));

        f.click("cmdEnableWriteFile");
        f.prompter.choosePath(f.path(QStringLiteral("pfmissing.shp")));
        f.click("appendfShape");
        QCOMPARE(f.prompter.messages().size(), size_t(3));
        QVERIFY(filesIn(f.out.path()).isEmpty());
    }

    void locatingThroughThePageFollowsEveryKey() {
        Fixture f;
        f.click("optICS");
        f.child<QComboBox>("cmbfacType")->setCurrentText(QStringLiteral("Helibase"));
        QTest::keyClicks(f.child<QLineEdit>("txtfacName"), QStringLiteral("Helibase 2"));
        f.click("cmdfCoordCon");
        auto* page = qobject_cast<wp_ddc_0306*>(f.registry.existing(windowName::wp_ddc_0306));
        QVERIFY(page && page->isVisible());
        QCOMPARE(page->CallerName(), QStringLiteral("wpFac"));
        QCOMPARE(page->caller(), static_cast<QObject*>(f.fac));
        for (const char* name : {"lblfDDLat", "lblfDDLong", "lblfAlbersX", "lblfAlbersY", "lblUTMCoord", "lblUSNG", "lblSTR2"}) {
            QVERIFY2(f.child<QLabel>(name)->isEnabled(), name);
            QCOMPARE(f.child<QLabel>(name)->palette().color(QPalette::Window), kActiveLocationColour);
        }
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page));
        page->findChild<QAbstractButton*>(QStringLiteral("optDMS"))->click();

        const auto pageLabel = [page](const char* name) {
            return page->findChild<QLabel*>(QString::fromLatin1(name))->text();
        };
        const std::vector<std::pair<const char*, const char*>> typed{
            {"txtDMSlongdd", "084"}, {"txtDMSlongmm", "16"}, {"txtDMSlongss", "50"}, {"txtDMSlongssd", "52"},
            {"txtDMSlatdd", "30"},   {"txtDMSlatmm", "15"},  {"txtDMSlatss", "30"},  {"txtDMSlatssd", "50"}};
        QStringList latitudesSeen;
        for (const auto& [field, keys] : typed) {
            auto* edit = page->findChild<QLineEdit*>(QString::fromLatin1(field));
            QVERIFY2(edit, field);
            edit->setFocus(Qt::TabFocusReason);
            for (const char key : std::string_view(keys)) {
                QTest::keyClick(edit, key);
                // After every key the facilities window shows what the page shows.
                QCOMPARE(f.label("lblfDDLat"), pageLabel("lblDDLat"));
                QCOMPARE(f.label("lblfDDLong"), pageLabel("lblDDLong"));
                QCOMPARE(f.label("lblfAlbersX"), pageLabel("lblAlbersX"));
                QCOMPARE(f.label("lblfAlbersY"), pageLabel("lblAlbersY"));
                QCOMPARE(f.label("lblUSNG"), pageLabel("lblUSNG"));
                QCOMPARE(f.label("lblUTMCoord"), pageLabel("lblUTMCoord"));
                latitudesSeen << f.label("lblfDDLat");
            }
        }
        latitudesSeen.removeDuplicates();
        QVERIFY(latitudesSeen.size() > 4);
        QCOMPARE(f.label("lblfDDLat"), QStringLiteral("30.258472"));   // 30 15' 30.50"
        QCOMPARE(f.label("lblfDDLong"), QStringLiteral("-084.280700"));  // 84 16' 50.52" west
        QVERIFY(f.label("lblUSNG").startsWith(QStringLiteral("16R GU ")));

        // Coming back to the facilities window copies the page's labels again.
        f.child<QLabel>("lblfAlbersX")->setText(QStringLiteral("stale"));
        f.activate();
        QCOMPARE(f.label("lblfAlbersX"), pageLabel("lblAlbersX"));
        QCOMPARE(f.label("lblSTR2"), pageLabel("lblTRSres"));

        // Enable and write the KML: its point is the located one.
        f.click("cmdEnableWriteFile");
        QVERIFY(f.outputsEnabled());
        f.prompter.choosePath(f.path(QStringLiteral("heli.kml")));
        f.prompter.answerNo();
        f.click("cmdfKML");
        const KmlContent kml = readKml(f.path(QStringLiteral("heli.kml")));
        QVERIFY2(kml.error.isEmpty(), qPrintable(kml.error));
        QCOMPARE(kml.coordinates, QStringList{"-084.280700,30.258472,0"});
        QVERIFY(kml.iconHrefs.value(0).endsWith(QStringLiteral("/icons/helibasea.png")));
        QCOMPARE(kml.descriptions.value(0), QStringLiteral("<br>Helibase 2</br><br>Helibase</br><br>UTM Coord: %1</br>"
                                             "<br>National Grid Coord: %2</br><br>STR: %3</br>")
                                  .arg(f.label("lblUTMCoord"), f.label("lblUSNG"), f.label("lblSTR2")));

        // A new record file clears the location; coming back does not bring the old one again.
        f.prompter.choosePath(f.path(QStringLiteral("sites.txt")));
        f.click("cmdAdNewdFac");
        QCOMPARE(f.label("lblfDDLat"), QString());
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page));
        f.activate();
        QCOMPARE(f.label("lblfDDLat"), QString());
        QCOMPARE(f.label("lblUSNG"), QString());
        QVERIFY(f.prompter.unexpected().isEmpty());
    }

    void clearAndExit() {
        Fixture f;
        f.readyFeature();
        f.click("cmdClear");
        QCOMPARE(f.child<QLineEdit>("txtfacName")->text(), QString());
        QCOMPARE(f.child<QComboBox>("cmbfacType")->currentText(), QString());
        QCOMPARE(f.label("lblfAlbersX"), QString());
        QVERIFY(f.outputsDisabled());

        QPointer<wpFac> fac = f.fac;
        f.click("cmdfacDone");
        QVERIFY(!fac || !fac->isVisible());
        QTRY_VERIFY(fac.isNull());
        QVERIFY(!f.registry.existing(windowName::wpFac));
        f.fac = qobject_cast<wpFac*>(f.registry.show(windowName::wpFac));  // a fresh one for the fixture
    }

    // Characters XML cannot hold never reach the KML: pasted into the name
    // (refused as a restricted key is) or typed into the link (dropped).
    void controlCharactersNeverReachTheKml_data() {
        QTest::addColumn<QString>("pastedName");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("name");
        QTest::newRow("pasted into the name") << QStringLiteral("Camp\u000BNine") << QString() << "CampNine";
        QTest::newRow("in the link") << QString() << QStringLiteral("http://x.org/\u0001a") << "Helibase 2";
    }
    void controlCharactersNeverReachTheKml() {
        QFETCH(QString, pastedName);
        QFETCH(QString, link);
        QFETCH(QString, name);
        Fixture f;
        f.readyFeature();
        if (!pastedName.isEmpty()) {
            auto* edit = f.child<QLineEdit>("txtfacName");
            edit->clear();
            edit->setFocus();
            QGuiApplication::clipboard()->setText(pastedName);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(f.prompter.messageTexts().back(), QStringLiteral("This is a Restricted Character"));
            f.click("cmdEnableWriteFile");
        }
        f.prompter.choosePath(f.path(QStringLiteral("camp.kml")));
        if (link.isEmpty()) {
            f.prompter.answerNo();
        } else {
            f.prompter.answerYes();
            f.prompter.answerText(link);
        }
        f.click("cmdfKML");
        const KmlContent kml = readKml(f.path(QStringLiteral("camp.kml")));
        QVERIFY2(kml.error.isEmpty(), qPrintable(kml.error));
        QCOMPARE(kml.names, QStringList{name});
    }

    void aLongNameIsCutToTheShapefileFieldAndSaidSo() {
        Fixture f;
        f.readyFeature(QString(50, u'N'));
        f.prompter.choosePath(f.path(QStringLiteral("camps.shp")));
        f.click("cmdWritefShape");
        QVERIFY2(f.prompter.messageTexts().back().contains(QStringLiteral("Name (45 bytes)")),
                 qPrintable(f.prompter.messageTexts().join(u'|')));
        const ShapefileContent shp = readShapefile(f.path(QStringLiteral("pfcamps.shp")));
        QCOMPARE(shp.records.at(0).values.value(QStringLiteral("Name")), QString(45, u'N'));
    }
};

QTEST_MAIN(wpFacTest)
#include "wpFacTest.moc"

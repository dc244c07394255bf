#include "conversion/wp_ddc_0306.h"
#include "features/FieldRules.h"
#include "features/wpFac.h"
#include "output/ProjectionFiles.h"
#include "output/RecordFile.h"
#include "platform/ScriptedPrompter.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <string_view>
#include <vector>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

using namespace waypost;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList filesIn(const QString& dir) { return QDir(dir).entryList(QDir::Files, QDir::Name); }

/// A location as the conversion page hands it to the facilities window.
LocationTexts aLocation() {
    LocationTexts t;
    t.latitude = QStringLiteral("30.500000");
    t.longitude = QStringLiteral("-084.250000");
    t.albersX = QStringLiteral("376025");
    t.albersY = QStringLiteral("721400");
    t.utm = QStringLiteral("16R 761158 3370495");
    t.usng = QStringLiteral("16R GU 61158 70495");
    return t;
}

}  // namespace

class wpFacTest : public QObject {
    Q_OBJECT

    struct Fixture {
        QTemporaryDir out;
        ScriptedPrompter prompter;
        FixedClock clock{QDateTime(QDate(2026, 9, 14), QTime(14, 30))};
        FixedTimeZone zone{QStringLiteral("Eastern Standard Time"), QStringLiteral("Eastern Daylight Time"), true,
                           -5 * 3600};
        ProgramPaths paths;
        Services services{prompter, clock, zone, paths};
        WindowRegistry registry;
        wpFac* fac = nullptr;

        explicit Fixture(const QString& dataDir = QStringLiteral(WAYPOST_SOURCE_DIR "/data"))
            : paths(dataDir, out.filePath(QStringLiteral("logs"))) {
            registerWindows(registry, services);
            fac = qobject_cast<wpFac*>(registry.show(windowName::wpFac));
            activate();
        }
        /// Focus events need the window to be the active one.
        void activate() const {
            fac->activateWindow();
            if (!QTest::qWaitForWindowActive(fac)) qWarning("the facilities window did not become active");
        }
        ~Fixture() {
            registry.unload(windowName::wpFac);
            registry.unload(windowName::wp_ddc_0306);
        }
        template <class T>
        T* child(const char* name) const {
            auto* w = fac->findChild<T*>(QString::fromLatin1(name));
            if (!w) qFatal("no control %s", name);
            return w;
        }
        QString label(const char* name) const { return child<QLabel>(name)->text(); }
        void click(const char* name) const {
            auto* button = child<QAbstractButton>(name);
            if (qobject_cast<QRadioButton*>(button)) button->click();
            else QTest::mouseClick(button, Qt::LeftButton);
        }
        QString path(const QString& name) const { return out.filePath(name); }

        /// A named ICS feature with a location handed back, outputs enabled.
        void readyFeature(const QString& name = QStringLiteral("Helibase 2"), const QString& type = QStringLiteral("Helibase")) {
            click("optICS");
            child<QComboBox>("cmbfacType")->setCurrentText(type);
            child<QLineEdit>("txtfacName")->setText(name);
            fac->receiveLocation(aLocation());
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
    void captionsAndStartState() {
        Fixture f;
        QVERIFY(f.fac);
        QCOMPARE(f.fac->windowTitle(), QStringLiteral("Facilities Management"));
        QCOMPARE(f.label("lblHeading"), QStringLiteral("Facilities and Incidents"));
        QCOMPARE(f.label("lblfacName"), QStringLiteral("Facility/Incident  Name:"));
        QCOMPARE(f.child<QPushButton>("cmdfCoordCon")->text(), QStringLiteral("&Coordinate Conversion"));
        QCOMPARE(f.child<QPushButton>("cmdfacDone")->text(), QStringLiteral("E&xit"));
        QVERIFY(!f.child<QComboBox>("cmbfacType")->isEnabled());
        QVERIFY(f.outputsDisabled());
        QCOMPARE(f.child<QPushButton>("cmdfKML")->palette().color(QPalette::Button), kDisabledOutputColour);
        QCOMPARE(f.child<QPushButton>("cmdClear")->palette().color(QPalette::Button), kEnabledOutputColour);
        // Opened from the registry with the focus in the name field.
        QCOMPARE(f.fac->focusWidget(), f.child<QLineEdit>("txtfacName"));
    }

    void familiesFillTheirTypeLists() {
        Fixture f;
        auto* combo = f.child<QComboBox>("cmbfacType");
        f.click("optDisease");
        QVERIFY(combo->isEnabled());
        QCOMPARE(combo->count(), 8);
        QCOMPARE(combo->itemText(0), QStringLiteral("Black Turpentine Beetle"));
        f.click("optFac");
        QCOMPARE(combo->count(), 14);
        QCOMPARE(combo->itemText(7), QStringLiteral("Formerly Used Defense Site"));
        f.click("optICS");
        QCOMPARE(combo->count(), 15);
        QCOMPARE(combo->itemText(13), QStringLiteral("Residence"));
        QCOMPARE(combo->currentText(), QString());
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

        f.fac->receiveLocation(aLocation());
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

    void choosingAPrefixedFileWritesItTwicePrefixed() {
        Fixture f;
        QFile existing(f.path(QStringLiteral("pfsites.txt")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("old\r\n");
        existing.close();
        f.readyFeature();
        f.prompter.choosePath(f.path(QStringLiteral("pfsites.txt")));
        f.click("cmdAdNewdFac");
        QCOMPARE(readAll(f.path(QStringLiteral("pfsites.txt"))), QByteArray("old\r\n"));
        QVERIFY(readAll(f.path(QStringLiteral("pfpfsites.txt"))).startsWith("\"Name\""));
        QVERIFY(f.prompter.unexpected().isEmpty());  // pfpfsites.txt did not exist: no question
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
        f.click("cmdAdNewdFac");
        QCOMPARE(readAll(f.path(QStringLiteral("pfa.txt"))), QByteArray("keep\r\n"));
        QVERIFY(readAll(f.path(QStringLiteral("pfb.txt"))).startsWith("\"Name\""));
        const auto& q = f.prompter.calls()[1];
        QCOMPARE(q.text, QStringLiteral("File Already Exists  - Overwrite?"));
        QCOMPARE(q.title, QStringLiteral("File Exists"));
        QCOMPARE(q.defaultButton, Prompter::Answer::No);
        QVERIFY(f.prompter.unexpected().isEmpty());
    }

    void appendCreatesAMissingFileWithoutHeaderAndEmptyLabelsWriteZero() {
        Fixture f;
        f.readyFeature();
        LocationTexts partial = aLocation();
        partial.albersX.clear();
        partial.albersY = QStringLiteral("n/a");
        f.fac->receiveLocation(partial);
        f.prompter.choosePath(f.path(QStringLiteral("pfnew.txt")));
        f.click("cmdAppendFile");
        QCOMPARE(readAll(f.path(QStringLiteral("pfnew.txt"))),
                 QByteArray("\"Helibase 2\",\"Helibase\",30.5,-84.25,0,0,\"16R 761158 3370495\",\"16R GU 61158 70495\",\"\"\r\n"));
        QCOMPARE(f.prompter.calls().back().dialog.filter, QStringLiteral("Text Files (pf*.txt)"));
        QCOMPARE(f.prompter.calls().back().kind, ScriptedPrompter::Kind::OpenFile);
        QVERIFY(f.prompter.calls().back().dialog.allowNewName);  // a new name may be typed
        // Appending clears nothing.
        QCOMPARE(f.child<QLineEdit>("txtfacName")->text(), QStringLiteral("Helibase 2"));
        f.prompter.choosePath(f.path(QStringLiteral("pfnew.txt")));
        f.click("cmdAppendFile");
        QCOMPARE(readAll(f.path(QStringLiteral("pfnew.txt"))).count("\r\n"), 2);
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

        GDALAllRegister();
        const char* drivers[] = {"ESRI Shapefile", nullptr};
        GDALDatasetUniquePtr ds(GDALDataset::Open(f.path(QStringLiteral("pfcamps.shp")).toUtf8().constData(),
                                                  GDAL_OF_VECTOR, drivers, nullptr, nullptr));
        QVERIFY(ds);
        OGRLayer* layer = ds->GetLayer(0);
        QCOMPARE(wkbFlatten(layer->GetGeomType()), wkbPoint);
        const OGRFeatureDefn* defn = layer->GetLayerDefn();
        QStringList fields;
        for (int i = 0; i < defn->GetFieldCount(); ++i) {
            const OGRFieldDefn* fd = defn->GetFieldDefn(i);
            fields << QStringLiteral("%1:%2:%3").arg(QString::fromUtf8(fd->GetNameRef()))
                          .arg(fd->GetType() == OFTString ? QStringLiteral("text") : QStringLiteral("double"))
                          .arg(fd->GetType() == OFTString ? fd->GetWidth() : 0);
        }
        QCOMPARE(fields, QStringList({"Name:text:45", "Type:text:45", "Lat:double:0", "Long:double:0", "AlbersX:double:0",
                                      "AlbersY:double:0", "UTM:text:30", "USNG:text:30", "STR:text:40"}));
        QCOMPARE(layer->GetFeatureCount(), GIntBig(2));
        OGRFeatureUniquePtr first(layer->GetNextFeature());
        QCOMPARE(QString::fromUtf8(first->GetFieldAsString("Name")), QStringLiteral("Helibase 2"));
        QCOMPARE(first->GetGeometryRef()->toPoint()->getX(), 376025.0);
        QCOMPARE(first->GetGeometryRef()->toPoint()->getY(), 721400.0);
        QCOMPARE(first->GetFieldAsDouble("Long"), -84.25);
        QCOMPARE(QString::fromUtf8(first->GetFieldAsString("USNG")), QStringLiteral("16R GU 61158 70495"));
        OGRFeatureUniquePtr second(layer->GetNextFeature());
        QCOMPARE(QString::fromUtf8(second->GetFieldAsString("Name")), QStringLiteral("Camp Two"));
        QVERIFY(f.prompter.unexpected().isEmpty());
        QVERIFY(f.prompter.messages().empty());
    }

    void emptyLabelsWriteZeroIntoTheShapefile() {
        Fixture f;
        f.readyFeature();
        LocationTexts partial = aLocation();
        partial.latitude.clear();
        partial.albersY = QStringLiteral("n/a");
        f.fac->receiveLocation(partial);
        f.prompter.choosePath(f.path(QStringLiteral("zero.shp")));
        f.click("cmdWritefShape");
        QVERIFY(f.prompter.messages().empty());
        GDALAllRegister();
        const char* drivers[] = {"ESRI Shapefile", nullptr};
        GDALDatasetUniquePtr ds(GDALDataset::Open(f.path(QStringLiteral("pfzero.shp")).toUtf8().constData(),
                                                  GDAL_OF_VECTOR, drivers, nullptr, nullptr));
        QVERIFY(ds);
        OGRFeatureUniquePtr feature(ds->GetLayer(0)->GetNextFeature());
        QVERIFY(feature);
        QVERIFY(feature->IsFieldSetAndNotNull(feature->GetFieldIndex("Lat")));
        QCOMPARE(feature->GetFieldAsDouble("Lat"), 0.0);
        QCOMPARE(feature->GetFieldAsDouble("AlbersY"), 0.0);
        QCOMPARE(feature->GetGeometryRef()->toPoint()->getY(), 0.0);
        QCOMPARE(feature->GetFieldAsDouble("AlbersX"), 376025.0);
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
        QXmlStreamReader xml(readAll(f.path(QStringLiteral("camp.kml"))));
        QString name, href;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("name") && name.isEmpty()) name = xml.readElementText();
            if (xml.isStartElement() && xml.name() == QLatin1String("href") && href.isEmpty()) href = xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(name, QStringLiteral("XXL Camp"));
        QVERIFY(href.endsWith(QStringLiteral("/icons/other.png")));
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
        QXmlStreamReader xml(readAll(f.path(QStringLiteral("heli.kml"))));
        QString coordinates, href, description;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement()) continue;
            if (xml.name() == QLatin1String("coordinates")) coordinates = xml.readElementText().trimmed();
            else if (xml.name() == QLatin1String("href") && href.isEmpty()) href = xml.readElementText();
            else if (xml.name() == QLatin1String("description")) description = xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(coordinates, QStringLiteral("-084.280700,30.258472,0"));
        QVERIFY(href.endsWith(QStringLiteral("/icons/helibasea.png")));
        QCOMPARE(description, QStringLiteral("<br>Helibase 2</br><br>Helibase</br><br>UTM Coord: %1</br>"
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
};

QTEST_MAIN(wpFacTest)
#include "wpFacTest.moc"

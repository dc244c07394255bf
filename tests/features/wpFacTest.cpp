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
    };

private slots:
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

    void enableChecksAskForNameTypeAndLocationInThatOrder() {
        Fixture f;
        const QStringList expected{"Enter Facility Name", "Select Facility Type", "Please Convert Coordinates"};
        f.click("cmdEnableWriteFile");
        f.child<QLineEdit>("txtfacName")->setText(QStringLiteral("North Camp"));
        f.click("cmdEnableWriteFile");
        f.click("optICS");
        f.child<QComboBox>("cmbfacType")->setCurrentText(QStringLiteral("Camp"));
        f.click("cmdEnableWriteFile");
        QCOMPARE(f.prompter.messageTexts(), expected);
        QCOMPARE(f.fac->focusWidget(), f.child<QPushButton>("cmdfCoordCon"));
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
        // Name and location cleared; family and type stay.
        QCOMPARE(f.child<QLineEdit>("txtfacName")->text(), QString());
        QCOMPARE(f.label("lblfDDLat"), QString());
        QCOMPARE(f.label("lblUSNG"), QString());
        QCOMPARE(f.child<QComboBox>("cmbfacType")->currentText(), QStringLiteral("Helibase"));
        QVERIFY(f.child<QRadioButton>("optICS")->isChecked());
        QCOMPARE(f.fac->focusWidget(), f.child<QLineEdit>("txtfacName"));
        QVERIFY(f.prompter.unexpected().isEmpty());
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
        QVERIFY(f.child("cmdfKML")->isEnabled());
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

};

QTEST_MAIN(wpFacTest)
#include "wpFacTest.moc"

// The facilities window's own rules: its type lists, its enable checks, what
// a new record file holds and clears, locating through the real conversion
// page, and what its KML lets through. The form's contract is FeatureFormTest's.

#include "conversion/wp_ddc_0306.h"
#include "features/wpFac.h"
#include "output/FacilityTypes.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QTest>

#include <string_view>

using namespace waypost;
using namespace waypost::test;

class wpFacTest : public QObject {
    Q_OBJECT

    struct Fixture : TestServices, WindowControls {
        WindowRegistry registry;
        wpFac* fac = nullptr;

        Fixture() {
            registerWindows(registry, services);
            fac = qobject_cast<wpFac*>(registry.show(windowName::wpFac));
            setWindow(fac);
            if (!activate()) qWarning("the facilities window did not become active");
        }
        ~Fixture() {
            registry.unload(windowName::wpFac);
            registry.unload(windowName::wp_ddc_0306);
        }
        QComboBox* types() const { return child<QComboBox>("cmbfacType"); }
    };

private slots:
    // Each family option fills the type list with that family's types.
    void familiesFillTheirListsFromTheTypeTable() {
        Fixture f;
        const struct { const char* option; FacilityFamily family; int index; const char* type; } families[] = {
            {"optFac", FacilityFamily::Facilities, 0, "Accident"},
            {"optICS", FacilityFamily::ICS, 13, "Residence"},
            {"optDisease", FacilityFamily::ForestHealth, 0, "Black Turpentine Beetle"}};
        for (const auto& [option, family, index, type] : families) {
            f.click(option);
            QStringList shown;
            for (int i = 0; i < f.types()->count(); ++i) shown << f.types()->itemText(i);
            QCOMPARE(shown, facilityTypes(family));
            QCOMPARE(shown.value(index), QString::fromLatin1(type));
            QVERIFY(f.types()->isEnabled());
        }
    }

    // The checks ask for a name, a type (none is chosen with the family), a
    // location, in that order. The record file then holds the nine fields
    // under the "pf" prefix, and the name and location are cleared while the
    // family and type stay.
    void enableChecksThenANewRecordFileClearsTheFeature() {
        Fixture f;
        f.click("cmdEnableWriteFile");
        f.edit("txtfacName")->setText(QStringLiteral("Helibase 2"));
        f.click("optICS");
        f.click("cmdEnableWriteFile");
        f.types()->setCurrentText(QStringLiteral("Helibase"));
        f.click("cmdEnableWriteFile");
        QCOMPARE(f.prompter.messageTexts(),
                 (QStringList{"Enter Facility Name", "Select Facility Type", "Please Convert Coordinates"}));
        QCOMPARE(f.fac->focusWidget(), f.child("cmdfCoordCon"));

        f.fac->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        f.click("cmdEnableWriteFile");
        f.prompter.choosePath(f.path(QStringLiteral("sites.txt")));
        f.click("cmdAdNewdFac");
        QCOMPARE(readAll(f.path(QStringLiteral("pfsites.txt"))),
                 QByteArray("\"Name\",\"Type\",\"Latitude\",\"Longitude\",\"AlbersX\",\"AlbersY\",\"UTM\",\"USNG\",\"STR\"\r\n"
                            "\"Helibase 2\",\"Helibase\",30.5,-84.25,376025,721400,\"16R 761158 3370495\","
                            "\"16R GU 61158 70495\",\"\"\r\n"));
        QCOMPARE(f.text("txtfacName"), QString());
        QCOMPARE(f.text("lblfDDLat"), QString());
        QVERIFY(!f.fac->location().location());  // the location itself, not only its labels
        QCOMPARE(f.types()->currentText(), QStringLiteral("Helibase"));
        QVERIFY(f.child<QAbstractButton>("optICS")->isChecked());
        QCOMPARE(f.fac->focusWidget(), f.edit("txtfacName"));
        QVERIFY(f.prompter.unexpected().isEmpty());
    }

    // "Coordinate Conversion" opens the real page for the window: every key
    // there shows here as the page shows it, and the KML holds the located point.
    void locatingThroughThePageFollowsEveryKey() {
        Fixture f;
        f.click("optICS");
        f.types()->setCurrentText(QStringLiteral("Helibase"));
        QTest::keyClicks(f.edit("txtfacName"), QStringLiteral("Helibase 2"));
        f.click("cmdfCoordCon");
        auto* page = qobject_cast<wp_ddc_0306*>(f.registry.existing(windowName::wp_ddc_0306));
        QVERIFY(page && page->isVisible());
        QCOMPARE(page->CallerName(), QStringLiteral("wpFac"));
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page));
        page->findChild<QAbstractButton*>(QStringLiteral("optDMS"))->click();

        const auto pageLabel = [page](const char* name) {
            return page->findChild<QLabel*>(QString::fromLatin1(name))->text();
        };
        const std::pair<const char*, const char*> sameLabels[] = {
            {"lblfDDLat", "lblDDLat"},     {"lblfDDLong", "lblDDLong"}, {"lblfAlbersX", "lblAlbersX"},
            {"lblfAlbersY", "lblAlbersY"}, {"lblUSNG", "lblUSNG"},      {"lblUTMCoord", "lblUTMCoord"}};
        const std::pair<const char*, const char*> typed[] = {
            {"txtDMSlongdd", "084"}, {"txtDMSlongmm", "16"}, {"txtDMSlongss", "50"}, {"txtDMSlongssd", "52"},
            {"txtDMSlatdd", "30"},   {"txtDMSlatmm", "15"},  {"txtDMSlatss", "30"},  {"txtDMSlatssd", "50"}};
        for (const auto& [field, keys] : typed) {
            auto* edit = page->findChild<QLineEdit*>(QString::fromLatin1(field));
            QVERIFY2(edit, field);
            edit->setFocus(Qt::TabFocusReason);
            for (const char key : std::string_view(keys)) {
                QTest::keyClick(edit, key);
                for (const auto& [mine, its] : sameLabels) QCOMPARE(f.text(mine), pageLabel(its));
            }
        }
        QCOMPARE(f.text("lblfDDLat"), QStringLiteral("30.258472"));     // 30 15' 30.50"
        QCOMPARE(f.text("lblfDDLong"), QStringLiteral("-084.280700"));  // 84 16' 50.52" west
        QVERIFY(f.text("lblUSNG").startsWith(QStringLiteral("16R GU ")));

        f.activate();
        f.click("cmdEnableWriteFile");
        f.prompter.choosePath(f.path(QStringLiteral("heli.kml")));
        f.prompter.answerNo();
        f.click("cmdfKML");
        const KmlContent kml = readKml(f.path(QStringLiteral("heli.kml")));
        QVERIFY2(kml.error.isEmpty(), qPrintable(kml.error));
        QCOMPARE(kml.coordinates, QStringList{"-084.280700,30.258472,0"});
        QVERIFY(kml.iconHrefs.value(0).endsWith(QStringLiteral("/icons/helibasea.png")));
    }

    // Characters XML cannot hold never reach the KML: pasted into the name
    // (refused as a restricted key is) or typed into the link (dropped).
    void controlCharactersNeverReachTheKml() {
        Fixture f;
        f.click("optICS");
        f.types()->setCurrentText(QStringLiteral("Helibase"));
        f.fac->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        f.edit("txtfacName")->setFocus();
        QGuiApplication::clipboard()->setText(QStringLiteral("Camp\u000BNine"));
        QTest::keyClick(f.edit("txtfacName"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.prompter.messageTexts().back(), QStringLiteral("This is a Restricted Character"));
        f.click("cmdEnableWriteFile");
        f.prompter.choosePath(f.path(QStringLiteral("camp.kml")));
        f.prompter.answerYes();
        f.prompter.answerText(QStringLiteral("http://x.org/\u0001a"));
        f.click("cmdfKML");
        const KmlContent kml = readKml(f.path(QStringLiteral("camp.kml")));
        QVERIFY2(kml.error.isEmpty(), qPrintable(kml.error));
        QCOMPARE(kml.names, QStringList{"CampNine"});
    }
};

QTEST_MAIN(wpFacTest)
#include "wpFacTest.moc"
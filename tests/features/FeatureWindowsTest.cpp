// The facilities and wildfire windows' own rules (the hurricane window's are
// wpHcaneTest's, the form's contract FeatureFormTest's). Facilities: type
// lists, enable checks, what a new record file holds and clears, locating
// through the real conversion page, what the KML lets through. Wildfires:
// dates, area and percent, the eight enable checks, the report read back as
// another program would read it.

#include "conversion/wp_ddc_0306.h"
#include "features/frmDBMan.h"
#include "features/wpFac.h"
#include "output/FacilityTypes.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QSlider>
#include <QTest>

#include <functional>
#include <string_view>

using namespace waypost;
using namespace waypost::test;

namespace {

/// Every window registered and the window \p registered shown as the main window shows it, active; it and the
/// conversion page a test may have opened are unloaded at the end.
template <class W>
struct Opened : TestServices, WindowControls {
    WindowRegistry registry;
    W* window = nullptr;
    const QString registeredName;

    explicit Opened(const QString& registered) : registeredName(registered) {
        registerWindows(registry, services);
        window = qobject_cast<W*>(registry.show(registeredName));
        setWindow(window);
        if (!activate()) qWarning("the window %s did not become active", qPrintable(registeredName));
    }
    ~Opened() {
        registry.unload(registeredName);
        registry.unload(windowName::wp_ddc_0306);
    }
};

struct Facilities : Opened<wpFac> {
    Facilities() : Opened(windowName::wpFac) {}
    QComboBox* types() const { return child<QComboBox>("cmbfacType"); }
};

struct Wildfire : Opened<frmDBMan> {
    Wildfire() : Opened(windowName::frmDBMan) {}
    /// Clicks with the mouse, options too: getting the focus matters in this window.
    void click(const char* name) const { QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton); }
    /// Types \p text into a field and leaves it for the incident number.
    void typeAndLeave(const char* name, const QString& text) const {
        edit(name)->setFocus();
        edit(name)->selectAll();
        QTest::keyClicks(edit(name), text);
        edit(name == std::string_view("txtInc_num") ? "txtF_Name" : "txtInc_num")->setFocus();
    }
    QSlider* percent() const { return child<QSlider>("sldperCon"); }
};

}  // namespace

class FeatureWindowsTest : public QObject {
    Q_OBJECT

private slots:
    // Each family option fills the type list with that family's types. The checks ask for a name, a type (none is
    // chosen with the family), a location, in that order. The record file then holds the nine fields under the "pf"
    // prefix, and the name and location are cleared while the family and type stay.
    void facilityTypesAndChecksThenANewRecordFileClearsTheFeature() {
        Facilities f;
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

        f.click("cmdEnableWriteFile");
        f.edit("txtfacName")->setText(QStringLiteral("Helibase 2"));
        f.click("optICS");
        f.click("cmdEnableWriteFile");
        f.types()->setCurrentText(QStringLiteral("Helibase"));
        f.click("cmdEnableWriteFile");
        QCOMPARE(f.prompter.messageTexts(),
                 (QStringList{"Enter Facility Name", "Select Facility Type", "Please Convert Coordinates"}));
        QCOMPARE(f.window->focusWidget(), f.child("cmdfCoordCon"));

        f.window->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        f.click("cmdEnableWriteFile");
        f.prompter.choosePath(f.path(QStringLiteral("sites.txt")));
        f.click("cmdAdNewdFac");
        QCOMPARE(readAll(f.path(QStringLiteral("pfsites.txt"))),
                 QByteArray("\"Name\",\"Type\",\"Latitude\",\"Longitude\",\"AlbersX\",\"AlbersY\",\"UTM\",\"USNG\",\"STR\"\r\n"
                            "\"Helibase 2\",\"Helibase\",30.5,-84.25,376025,721400,\"16R 761158 3370495\","
                            "\"16R GU 61158 70495\",\"\"\r\n"));
        QCOMPARE(f.text("txtfacName"), QString());
        QCOMPARE(f.text("lblfDDLat"), QString());
        QVERIFY(!f.window->location().location());  // the location itself, not only its labels
        QCOMPARE(f.types()->currentText(), QStringLiteral("Helibase"));
        QVERIFY(f.child<QAbstractButton>("optICS")->isChecked());
        QCOMPARE(f.window->focusWidget(), f.edit("txtfacName"));
        QVERIFY(f.prompter.unexpected().isEmpty());
    }

    // "Coordinate Conversion" opens the real page for the window: every key there shows here as the page shows it,
    // and the KML holds the located point. Characters XML cannot hold never reach the KML: pasted into the name
    // (refused as a restricted key is) or typed into the link (dropped).
    void facilityLocatedThroughThePageFollowsEveryKeyAndItsKmlHoldsThePoint() {
        Facilities f;
        f.click("optICS");
        f.types()->setCurrentText(QStringLiteral("Helibase"));
        f.edit("txtfacName")->setFocus();
        QGuiApplication::clipboard()->setText(QStringLiteral("Camp\u000BNine"));
        QTest::keyClick(f.edit("txtfacName"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.prompter.messageTexts().back(), QStringLiteral("This is a Restricted Character"));
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
        f.prompter.choosePath(f.path(QStringLiteral("camp.kml")));
        f.prompter.answerYes();
        f.prompter.answerText(QStringLiteral("http://x.org/\u0001a"));
        f.click("cmdfKML");
        const KmlContent kml = readKml(f.path(QStringLiteral("camp.kml")));
        QVERIFY2(kml.error.isEmpty(), qPrintable(kml.error));
        QCOMPARE(kml.names, QStringList{"CampNine"});
        QCOMPARE(kml.coordinates, QStringList{"-084.280700,30.258472,0"});
        QVERIFY(kml.iconHrefs.value(0).endsWith(QStringLiteral("/icons/helibasea.png")));
    }

    // A date is asked about when left more than a year old or in the future;
    // a refused one is emptied and cannot be left behind empty.
    void wildfireDatesAreCheckedWhenLeft() {
        const struct { const char* field; const char* typed; bool accept; const char* question; const char* kept; } rows[] = {
            {"meFireEnter", "09132025", false, "Entry Date more than one year old! Accept?", ""},  // 366 days old
            {"meFireEnter", "09142025", false, "", "09-14-2025"},                              // 365 days old passes
            {"meFireEnter", "09152026", true, "Entry Date in the future! Accept?", "09-15-2026"},
            {"meFireSTart", "09132025", false, "Fire Start Date more than one year old! Accept?", ""}};
        for (const auto& [field, typed, accept, question, kept] : rows) {
            Wildfire f;
            accept ? f.prompter.answerYes() : f.prompter.answerNo();
            f.typeAndLeave(field, QString::fromLatin1(typed));
            const auto& calls = f.prompter.calls();
            if (!*question) {
                QVERIFY(calls.empty());
                QCOMPARE(f.window->focusWidget(), f.edit("txtInc_num"));
            } else {
                QCOMPARE(calls.size(), 1U);
                QCOMPARE(calls[0].text, QString::fromLatin1(question));
                QCOMPARE(calls[0].defaultButton, Prompter::Answer::No);
            }
            // The other date is still today's.
            QCOMPARE(f.window->values().entryDate + f.window->values().startDate,
                     QString::fromLatin1(kept) + QStringLiteral("09-14-2026"));
            if (!*kept) {
                QCOMPARE(f.edit(field)->displayText(), QStringLiteral("__-__-____"));
                QCOMPARE(f.window->focusWidget(), f.edit(field));
                f.edit("txtF_Name")->setFocus();
                QCOMPARE(f.prompter.messageTexts().value(0), QStringLiteral("You must enter a valid date"));
                QCOMPARE(f.window->focusWidget(), f.edit(field));
            }
        }
    }

    // The window opens with the focus in the name. The area keeps its grouped form and refuses what is no
    // number; the percent follows the slider, refuses more than 100 and rounds to a whole.
    void wildfireAreaAndPercentKeepTheirForms() {
        Wildfire f;
        QCOMPARE(f.window->focusWidget(), f.edit("txtF_Name"));
        f.typeAndLeave("txtArea", QStringLiteral("1234.5x"));
        QCOMPARE(f.prompter.messageTexts(), QStringList{QStringLiteral("Plese Enter Numbers Only")});
        QCOMPARE(f.text("txtArea"), QStringLiteral("1,234.50"));

        f.edit("txtArea")->setText(QStringLiteral("12..5"));  // pasted, not typed
        f.edit("txtArea")->setFocus();
        f.edit("txtInc_num")->setFocus();
        QCOMPARE(f.prompter.messages().back().text, QStringLiteral("Please Enter Numbers Only"));
        QCOMPARE(f.text("txtArea"), QStringLiteral("0.00"));
        QCOMPARE(f.window->focusWidget(), f.edit("txtArea"));

        f.percent()->setValue(45);
        QCOMPARE(f.text("txtPerCon"), QStringLiteral("45.00%"));
        f.typeAndLeave("txtPerCon", QStringLiteral("150"));
        QVERIFY(f.prompter.messages().back().text.contains(QStringLiteral("from 0 to 100")));
        QCOMPARE(f.text("txtPerCon"), QStringLiteral("45.00%"));
        QCOMPARE(f.percent()->value(), 45);
        f.typeAndLeave("txtPerCon", QStringLiteral("30.6"));
        QCOMPARE(f.percent()->value(), 31);
        QCOMPARE(f.text("txtPerCon"), QStringLiteral("31.00%"));
    }

    // The eight checks speak in order; entering the area needs them again.
    void wildfireEnableChecksRunInOrder() {
        Wildfire f;
        f.edit("meFireEnter")->clear();
        f.edit("txtPerCon")->clear();
        const std::pair<QString, std::function<void()>> steps[] = {
            {"Enter Fire Name", [&] { f.edit("txtF_Name")->setText(QStringLiteral("Bear Creek")); }},
            {"Enter Incident Number", [&] { f.edit("txtInc_num")->setText(QStringLiteral("42")); }},
            {"Please Convert Coodinates", [&] { f.window->location().receiveLocation(sampleLocation(), SectionHandover::Carried); }},
            {"Please Enter Data Entry Date", [&] { f.edit("meFireEnter")->setText(QStringLiteral("09-01-2026")); }},
            {"Please Select Fuel Type", [&] { f.child<QComboBox>("cmbfFuel")->setCurrentIndex(2); }},
            {"Please Select Fire Cause Type", [&] { f.child<QComboBox>("cmbfCause")->setCurrentIndex(0); }},
            {"Enter Area in acres", [&] { f.edit("txtArea")->setText(QStringLiteral("5.00")); }},
            {"Please Use the Slider Control to Enter Percent Contained", [&] { f.percent()->setValue(10); }},
        };
        for (const auto& [message, fill] : steps) {
            f.click("CmdEnable");
            QCOMPARE(f.prompter.messageTexts().back(), message);
            fill();
        }
        f.click("CmdEnable");
        QCOMPARE(f.prompter.messageTexts().size(), 8);
        QVERIFY(f.child("cmdwKML")->isEnabled());
        f.edit("txtArea")->setFocus();
        QVERIFY(!f.child("cmdwKML")->isEnabled());
    }

    // The record file gets the report as shown, the shapefile its dates as
    // dates and its area as a number; an area that is no number stops the
    // shapefile before its dialog.
    void wildfireOutputsWriteTheReportAsShownAndConverted() {
        Wildfire f;
        f.edit("txtInc_num")->setText(QStringLiteral("FL-TLF-0042"));
        f.window->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        f.child<QComboBox>("cmbfFuel")->setCurrentText(QStringLiteral("Palmetto-Gallberry"));
        f.child<QComboBox>("cmbfCause")->setCurrentText(QStringLiteral("lightning"));
        f.percent()->setValue(45);
        f.edit("txtF_Name")->setText(QStringLiteral("Bear Creek"));
        f.edit("txtArea")->setText(QStringLiteral("about ten"));
        f.click("CmdEnable");
        f.click("cmdWriteShape");
        QVERIFY(f.prompter.messageTexts().back().contains(QStringLiteral("\"about ten\" is not a number")));
        QVERIFY(filesIn(f.out.path()).isEmpty());
        f.edit("txtArea")->setText(QStringLiteral("1,234.50"));

        f.prompter.choosePath(f.path(QStringLiteral("fires.txt")));
        f.click("cmdAdNewdFire");
        const QList<QByteArray> lines = readAll(f.path(QStringLiteral("pwfires.txt"))).split('\n');
        QVERIFY(lines[0].startsWith("\"Name\",\"Incident_Number\",\"Report\",\"Latitude\""));
        QVERIFY2(lines[1].startsWith("\"Bear Creek\",\"FL-TLF-0042\",\"\",30.5,"), lines[1].constData());
        QVERIFY2(lines[1].contains(",\"09-14-2026\",\"09-14-2026\",\"1,234.50\",\"Palmetto-Gallberry\","
                                   "\"lightning\",\"45.00%\",\"\""), lines[1].constData());

        f.prompter.choosePath(f.path(QStringLiteral("fires.shp")));
        f.click("cmdWriteShape");
        const ShapefileContent shp = readShapefile(f.path(QStringLiteral("pwfires.shp")));
        QVERIFY(shp.schema.contains(QStringLiteral("EntryDate:date:0")));
        QVERIFY(shp.schema.contains(QStringLiteral("StartDate:date:0")));
        QCOMPARE(shp.records.size(), 1U);
        QCOMPARE(shp.records[0].values.value(QStringLiteral("EntryDate")), QStringLiteral("2026/09/14"));
        QCOMPARE(shp.records[0].values.value(QStringLiteral("Acres")).toDouble(), 1234.5);
        QCOMPARE(shp.records[0].values.value(QStringLiteral("Report")), QString());
        QCOMPARE(shp.records[0].vertices, (std::vector<std::pair<double, double>>{{376025, 721400}}));
        QVERIFY(QFile::exists(f.path(QStringLiteral("pwfires.prj"))));
    }
};

QTEST_MAIN(FeatureWindowsTest)
#include "FeatureWindowsTest.moc"

// The feature windows' own rules (the form's contract is KitTest's).
// Facilities: type lists, enable checks, what a new record file holds and
// clears, locating through the real conversion page, what the KML lets
// through. Wildfires: dates, area and percent, the eight enable checks, the
// report read back as another program would read it. Hurricanes, with a fixed
// clock and fixed zones: storm lists, winds and categories, the UTC day and
// the local time, the report date, and the outputs read back.

#include "conversion/wp_ddc_0306.h"
#include "features/HurricaneFields.h"
#include "features/frmDBMan.h"
#include "features/wpFac.h"
#include "features/wpHcane.h"
#include "output/FacilityTypes.h"
#include "output/TextCleaning.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

#include <functional>

using namespace waypost;
using namespace waypost::test;

namespace {

/// Every window registered (after \p before has set the services up) and the window \p registered shown as the
/// main window shows it, active; it and the conversion page a test may have opened are unloaded at the end.
template <class W>
struct Opened : TestServices, WindowControls {
    WindowRegistry registry;
    W* window = nullptr;
    const QString registeredName;

    explicit Opened(const QString& registered, const std::function<void(TestServices&)>& before = {})
        : registeredName(registered) {
        if (before) before(*this);
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
    /// Types \p text into a field and leaves it for the incident number.
    void typeAndLeave(const char* name, const QString& text) const {
        edit(name)->setFocus();
        edit(name)->selectAll();
        QTest::keyClicks(edit(name), text);
        edit("txtInc_num")->setFocus();
    }
    QSlider* percent() const { return child<QSlider>("sldperCon"); }
};

struct Hurricane : Opened<wpHcane> {
    /// The window opened at \p now; daylight time never, or (\p summer) from March to November.
    explicit Hurricane(const QDateTime& now = QDateTime(QDate(2026, 9, 14), QTime(14, 30)), bool summer = false)
        : Opened(windowName::wpHcane, [&](TestServices& s) {
              s.clock.set(now);
              s.zone.setDaylight(false);
              if (summer)
                  s.zone.setDaylightPeriod(QDateTime(QDate(2026, 3, 8), QTime(7, 0), Qt::UTC),
                                           QDateTime(QDate(2026, 11, 1), QTime(6, 0), Qt::UTC));
          }) {}
    QSlider* winds() const { return child<QSlider>("sldHwind"); }
    QComboBox* names() const { return child<QComboBox>("cmbName"); }
    void setUtc(int month, int day, int hour) const {
        child<QScrollBar>("HscrMon")->setValue(month);
        child<QScrollBar>("HscrDay")->setValue(day);
        child<QScrollBar>("HscrHour")->setValue(hour);
    }
};

}  // namespace

class FeatureWindowsTest : public QObject {
    Q_OBJECT

private slots:
    // Each family option fills the type list with that family's types. The checks ask for a name, a type (none is
    // chosen with the family), a location, in that order. The record file then holds the nine fields under the "pf"
    // prefix, and the name and location are cleared while the type stays. "Coordinate Conversion" opens the real page
    // for the window, whose labels show what the page shows of a location read there, and the KML holds that point.
    // Characters XML cannot hold never reach the KML: pasted into the name (refused as a restricted key is) or typed
    // into the link (dropped).
    void facilityTypesChecksRecordFileAndTheKmlOfAPointLocatedThroughThePage() {
        Facilities f;
        const std::pair<const char*, FacilityFamily> families[] = {
            {"optFac", FacilityFamily::Facilities}, {"optICS", FacilityFamily::ICS},
            {"optDisease", FacilityFamily::ForestHealth}};
        for (const auto& [option, family] : families) {
            f.click(option);
            QStringList shown;
            for (int i = 0; i < f.types()->count(); ++i) shown << f.types()->itemText(i);
            QCOMPARE(shown, facilityTypes(family));
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

        f.window->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        f.click("cmdEnableWriteFile");
        f.prompter.choosePath(f.path(QStringLiteral("sites.txt")));
        f.click("cmdAdNewdFac");
        QCOMPARE(readAll(f.path(QStringLiteral("pfsites.txt"))),
                 QByteArray("\"Name\",\"Type\",\"Latitude\",\"Longitude\",\"AlbersX\",\"AlbersY\",\"UTM\",\"USNG\",\"STR\"\r\n"
                            "\"Helibase 2\",\"Helibase\",30.5,-84.25,376025,721400,\"16R 761158 3370495\","
                            "\"16R GU 61158 70495\",\"\"\r\n"));
        QVERIFY(!f.window->location().location());  // the location itself, not only its labels
        QCOMPARE(f.types()->currentText(), QStringLiteral("Helibase"));
        QCOMPARE(f.window->focusWidget(), f.edit("txtfacName"));

        // Pasted into the emptied name: the KML's name below shows it was emptied.
        QGuiApplication::clipboard()->setText(QStringLiteral("Camp\u000BNine"));
        QTest::keyClick(f.edit("txtfacName"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.prompter.lastMessage(), QStringLiteral("This is a Restricted Character"));
        f.click("cmdfCoordCon");
        auto* page = qobject_cast<wp_ddc_0306*>(f.registry.existing(windowName::wp_ddc_0306));
        QVERIFY(page && page->isVisible());
        QCOMPARE(page->CallerName(), QStringLiteral("wpFac"));
        auto* any = page->findChild<QLineEdit*>(QStringLiteral("txtAnyLocation"));
        any->setText(QStringLiteral("16R GU 61158 70495"));  // 30 26' 17.87", 84 16' 50.52" west
        QTest::keyClick(any, Qt::Key_Return);
        const std::pair<const char*, const char*> sameLabels[] = {
            {"lblfDDLat", "lblDDLat"},     {"lblfDDLong", "lblDDLong"}, {"lblfAlbersX", "lblAlbersX"},
            {"lblfAlbersY", "lblAlbersY"}, {"lblUSNG", "lblUSNG"},      {"lblUTMCoord", "lblUTMCoord"}};
        for (const auto& [mine, its] : sameLabels)
            QCOMPARE(f.text(mine), page->findChild<QLabel*>(QString::fromLatin1(its))->text());

        f.activate();
        f.click("cmdEnableWriteFile");
        f.prompter.choosePath(f.path(QStringLiteral("camp.kml")));
        f.prompter.answerYes();
        f.prompter.answerText(QStringLiteral("http://x.org/\u0001a"));
        f.click("cmdfKML");
        const KmlContent kml = readKml(f.path(QStringLiteral("camp.kml")));
        QVERIFY2(kml.error.isEmpty(), qPrintable(kml.error));
        QCOMPARE(kml.names, QStringList{"CampNine"});
        QCOMPARE(kml.coordinates, QStringList{"-084.280700,30.438297,0"});
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
            QCOMPARE(f.prompter.calls().size(), *question ? 1U : 0U);
            if (*question) {
                QCOMPARE(f.prompter.calls()[0].text, QString::fromLatin1(question));
                QCOMPARE(f.prompter.calls()[0].defaultButton, Prompter::Answer::No);
            }
            // The other date is still today's.
            QCOMPARE(f.window->values().entryDate + f.window->values().startDate,
                     QString::fromLatin1(kept) + QStringLiteral("09-14-2026"));
            if (!*kept) {
                QCOMPARE(f.window->focusWidget(), f.edit(field));
                f.edit("txtF_Name")->setFocus();
                QCOMPARE(f.prompter.messageTexts().value(0), QStringLiteral("You must enter a valid date"));
                QCOMPARE(f.window->focusWidget(), f.edit(field));
            }
        }
    }

    // The area keeps its grouped form and refuses what is no number; the percent
    // follows the slider, refuses more than 100 and rounds to a whole.
    void wildfireAreaAndPercentKeepTheirForms() {
        Wildfire f;
        f.typeAndLeave("txtArea", QStringLiteral("1234.5x"));
        QCOMPARE(f.prompter.messageTexts(), QStringList{QStringLiteral("Plese Enter Numbers Only")});
        QCOMPARE(f.text("txtArea"), QStringLiteral("1,234.50"));

        f.typeAndLeave("txtArea", QStringLiteral("12..5"));  // keys it takes, but no number
        QCOMPARE(f.prompter.lastMessage(), QStringLiteral("Please Enter Numbers Only"));
        QCOMPARE(f.text("txtArea"), QStringLiteral("0.00"));
        QCOMPARE(f.window->focusWidget(), f.edit("txtArea"));

        f.percent()->setValue(45);
        f.typeAndLeave("txtPerCon", QStringLiteral("150"));
        QVERIFY(f.prompter.lastMessage().contains(QStringLiteral("from 0 to 100")));
        QCOMPARE(f.text("txtPerCon"), QStringLiteral("45.00%"));  // the slider's value again
        f.typeAndLeave("txtPerCon", QStringLiteral("30.6"));
        QCOMPARE(f.percent()->value(), 31);
        QCOMPARE(f.text("txtPerCon"), QStringLiteral("31.00%"));  // the box follows the slider
    }

    // The eight checks speak in order. The record file gets the report as shown,
    // the shapefile its dates as dates, its area as a number and its point on the
    // Albers grid; an area that is no number stops the shapefile before its dialog.
    // Entering the area needs the checks again.
    void wildfireChecksRunInOrderAndTheOutputsWriteTheReportAsShownAndConverted() {
        Wildfire f;
        f.edit("meFireEnter")->clear();
        f.edit("txtPerCon")->clear();
        // Fuel 6 and cause 0 of their lists are Palmetto-Gallberry and lightning.
        const std::pair<QString, std::function<void()>> steps[] = {
            {"Enter Fire Name", [&] { f.edit("txtF_Name")->setText(QStringLiteral("Bear Creek")); }},
            {"Enter Incident Number", [&] { f.edit("txtInc_num")->setText(QStringLiteral("FL-TLF-0042")); }},
            {"Please Convert Coodinates", [&] { f.window->location().receiveLocation(sampleLocation(), SectionHandover::Carried); }},
            {"Please Enter Data Entry Date", [&] { f.edit("meFireEnter")->setText(QStringLiteral("09-01-2026")); }},
            {"Please Select Fuel Type", [&] { f.child<QComboBox>("cmbfFuel")->setCurrentIndex(6); }},
            {"Please Select Fire Cause Type", [&] { f.child<QComboBox>("cmbfCause")->setCurrentIndex(0); }},
            {"Enter Area in acres", [&] { f.edit("txtArea")->setText(QStringLiteral("5.00")); }},
            {"Please Use the Slider Control to Enter Percent Contained", [&] { f.percent()->setValue(45); }},
        };
        for (const auto& [message, fill] : steps) {
            f.click("CmdEnable");
            QCOMPARE(f.prompter.lastMessage(), message);
            fill();
        }
        f.click("CmdEnable");  // the outputs open: the shapefile button answers below
        f.edit("txtArea")->setText(QStringLiteral("about ten"));  // not entered: the outputs stay open
        f.click("cmdWriteShape");
        QVERIFY(f.prompter.lastMessage().contains(QStringLiteral("\"about ten\" is not a number")));
        f.edit("txtArea")->setText(QStringLiteral("1,234.50"));

        f.prompter.choosePath(f.path(QStringLiteral("fires.txt")));
        f.click("cmdAdNewdFire");
        const QList<QByteArray> lines = readAll(f.path(QStringLiteral("pwfires.txt"))).split('\n');
        QVERIFY2(lines[1].startsWith("\"Bear Creek\",\"FL-TLF-0042\",\"\",30.5,"), lines[1].constData());
        QVERIFY2(lines[1].contains(",\"09-01-2026\",\"09-14-2026\",\"1,234.50\",\"Palmetto-Gallberry\","
                                   "\"lightning\",\"45.00%\",\"\""), lines[1].constData());

        f.prompter.choosePath(f.path(QStringLiteral("fires.shp")));
        f.click("cmdWriteShape");
        const ShapefileContent shp = readShapefile(f.path(QStringLiteral("pwfires.shp")));
        QVERIFY(shp.schema.contains(QStringLiteral("StartDate:date:0")));
        QCOMPARE(shp.records.size(), 1U);
        QCOMPARE(shp.records[0].values.value(QStringLiteral("EntryDate")), QStringLiteral("2026/09/01"));
        QCOMPARE(shp.records[0].values.value(QStringLiteral("Acres")).toDouble(), 1234.5);
        QCOMPARE(shp.records[0].vertices, (std::vector<std::pair<double, double>>{{376025, 721400}}));
        f.edit("txtArea")->setFocus();
        QVERIFY(!f.child("cmdwKML")->isEnabled());
    }

    // The slider gives knots (and the category: the record file in
    // outputsWriteTheStormAndItsPointInWgs84), and knots convert back to miles per
    // hour. A speed no slider holds is refused whole with the box's own message (it
    // never wraps round into a small speed: NumbersTest). A letter in the box beeps,
    // and an unnamed depression holds 38 mph at most.
    void windsConvertBothWaysAndRefuseWhatTheSliderCannotHold() {
        Hurricane f;
        f.winds()->setValue(115);
        QCOMPARE(f.text("txtKnots"), QStringLiteral("100"));
        f.edit("txtHwind")->setFocus();
        f.edit("txtHwind")->setText(QString(19, u'9'));  // pasted whole
        f.names()->setFocus();
        f.click("cmdCvrtKts");
        f.edit("txtKnots")->setText(QString(20, u'9'));
        f.click("cmdCkts");
        const QString said = f.prompter.messageTexts().join(u'|');
        QVERIFY2(said.contains(QLatin1String("cannot be shown: use 23 to 220 mph")) &&
                     said.contains(QLatin1String("knots cannot be shown on the slider")), qPrintable(said));
        QCOMPARE(f.winds()->value(), 115);
        QCOMPARE(f.text("txtHwind"), QStringLiteral("115"));

        f.edit("txtKnots")->setText(QStringLiteral("87"));
        f.click("cmdCkts");
        QCOMPARE(f.text("txtHwind"), QStringLiteral("100"));
        QVERIFY(!f.edit("txtKnots")->isEnabled());

        f.names()->setCurrentText(kUnnamedDepression);
        f.edit("txtHwind")->setFocus();
        f.edit("txtHwind")->selectAll();
        QTest::keyClicks(f.edit("txtHwind"), QStringLiteral("4a5"));  // the letter beeps
        QCOMPARE(f.prompter.beeps(), 1);
        f.names()->setFocus();  // leaves the box
        QVERIFY(f.prompter.lastMessage().contains(QStringLiteral("use 23 to 38 mph")));
        QCOMPARE(f.winds()->value(), 38);
        QCOMPARE(f.window->focusWidget(), f.edit("txtHwind"));
    }

    // Without the window: the category of a wind speed at the edges of the table, and a speed that is no number
    // (emptied, or too long to read) holding the outputs back.
    void categoriesAndSpeedsThatAreNoNumber() {
        const std::pair<int, const char*> rows[] = {{22, " "}, {38, "Tropical Depression"}, {73, "Tropical Storm"},
                                                    {74, "Category 1"}, {155, "Category 4"}, {156, "Category 5"}};
        for (const auto& [mph, category] : rows) QCOMPARE(hurricaneCategory(mph), QString::fromLatin1(category));

        HurricaneFeature v{.stormName = QStringLiteral("ARTHUR"), .positionType = QStringLiteral("Actual"),
                           .category = QStringLiteral("Category 3"), .at = sampleLocation()};
        const QString unmet = QStringLiteral("Enter Windspeed"), mph115 = QStringLiteral("115");
        const std::tuple<QString, QString, QString> speeds[] = {
            {mph115, QString(), unmet}, {mph115, QString(20, u'9'), unmet},
            {QString(19, u'9'), QStringLiteral("100"), unmet}, {mph115, QStringLiteral("100"), QString()}};
        for (const auto& [mph, knots, message] : speeds) {
            v.mph = mph;
            v.knots = knots;
            const std::optional<Requirement> first = firstUnmet(hurricaneRequirements(v));
            QCOMPARE(first ? first->message : QString(), message);
        }
    }

    // The local time is of the zone in force at the report's instant, not at
    // entry; local midnight reads 00 and an early UTC hour is the evening before.
    void localTimeFollowsTheZoneInForceAtTheReport() {
        const QDateTime september(QDate(2026, 9, 14), QTime(14, 30)), december(QDate(2026, 12, 6), QTime(9, 0));
        const struct { QDateTime now; bool summer; int month, hour; const char *utc, *local; } rows[] = {
            {september, false, 1, 5, "1/15/2026 05:00:00 UTC", "1/15/2026 00:00:00 AM EST"},
            {september, false, 1, 2, "1/15/2026 02:00:00 UTC", "1/14/2026 9:00:00 PM EST"},
            {december, true, 8, 15, "8/15/2026 15:00:00 UTC", "8/15/2026 11:00:00 AM EDT"}};  // August entered in December
        for (const auto& [now, summer, month, hour, utc, local] : rows) {
            Hurricane f(now, summer);
            f.setUtc(month, 15, hour);
            QCOMPARE(f.text("lblUTC_Cat"), QString::fromLatin1(utc));
            QCOMPARE(f.text("lblLtimeZ"), QString::fromLatin1(local));
        }
    }

    // Moving to February cuts the day to 28, or 29 in a leap year.
    void februaryCutsTheDay() {
        for (const auto& [year, day] : {std::pair{2026, 28}, std::pair{2028, 29}}) {
            Hurricane f(QDateTime(QDate(year, 1, 31), QTime(8, 0)));
            f.child<QScrollBar>("HscrMon")->setValue(2);
            QCOMPARE(f.text("lblDay"), QString::number(day));
            QCOMPARE(f.child<QScrollBar>("HscrDay")->maximum(), day);
        }
    }

    // A report date two years back is asked about twice; refused, it is emptied
    // (the default button and the focus kept: the wildfire dates, the same kind
    // of date field).
    void aDateTwoYearsBackAsksTwice() {
        Hurricane f;
        f.prompter.answerYes();
        f.prompter.answerNo();
        f.edit("meHEnter")->setFocus();
        f.edit("meHEnter")->setText(QStringLiteral("09-01-2024"));
        f.names()->setFocus();
        QCOMPARE(f.prompter.calls().size(), 2U);  // the year, then the date
        QCOMPARE(f.window->values().reportDate, QString());
    }

    // Without this year's storm list the missing file is named and a storm
    // name can still be typed; a list's names are read as CSV-like items.
    void aMissingStormListIsNamedAndANameCanBeTyped() {
        Hurricane f(QDateTime(QDate(2040, 6, 1), QTime(8, 0)));
        QVERIFY(f.prompter.messageTexts().value(0).contains(QStringLiteral("2040_hurricanes.txt")));
        QVERIFY(f.names()->isEditable());
        QCOMPARE(listItems(QStringLiteral("\"Unamed Depression\",Ana ,\"Bill, Jr\"\r\n\r\nCora")),
                 QStringList({"Unamed Depression", "Ana", "Bill, Jr", "Cora"}));
    }

    // The checks ask for a storm name and a position type; the shapefile point
    // is in WGS 84 with its projection, the record file holds the UTC time and
    // winds, and a new record file empties the name and location.
    void outputsWriteTheStormAndItsPointInWgs84() {
        Hurricane f;
        QCOMPARE(f.names()->itemText(1), QStringLiteral("Arthur"));  // this year's list
        f.click("cmdEnableWriteFile");
        QCOMPARE(f.prompter.lastMessage(), QStringLiteral("Enter Storm Name"));
        f.names()->setCurrentText(QStringLiteral("Bertha"));
        f.winds()->setValue(100);
        f.window->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        f.click("cmdEnableWriteFile");
        QCOMPARE(f.prompter.lastMessage(), QStringLiteral("Please Select Position Type"));
        f.click("optActual");
        f.setUtc(9, 14, 15);
        f.click("cmdEnableWriteFile");

        f.prompter.choosePath(f.path(QStringLiteral("storms.shp")));
        f.click("cmdWriteHShape");
        const ShapefileContent shp = readShapefile(f.path(QStringLiteral("phstorms.shp")));
        QCOMPARE(shp.records.size(), 1U);
        QCOMPARE(shp.records[0].vertices, (std::vector<std::pair<double, double>>{{-84.25, 30.5}}));
        QCOMPARE(shp.records[0].values.value(QStringLiteral("Local_Time")), QStringLiteral("9/14/2026 10:00:00 AM EST"));
        QCOMPARE(readAll(f.path(QStringLiteral("phstorms.prj"))), readAll(f.paths.dataFile(QStringLiteral("WGS1984.prj"))));
        // The KML is offered under the storm's name, UTC hour, month and day.
        f.prompter.cancelDialog();
        f.click("cmdKML");
        QCOMPARE(f.prompter.calls().back().dialog.fileName, QStringLiteral("phBertha_1500_Sep14"));

        f.prompter.choosePath(f.path(QStringLiteral("storms.txt")));
        f.click("cmdAdNewHFac");
        const QList<QByteArray> lines = readAll(f.path(QStringLiteral("phstorms.txt"))).split('\n');
        QVERIFY2(lines[1].startsWith("\"Bertha\",\"09-14-2026\",\"Actual\",\"9/14/2026 15:00:00 UTC\","), lines[1].constData());
        QVERIFY2(lines[1].endsWith(",100,87,\"Category 2\"\r"), lines[1].constData());
        QCOMPARE(f.names()->currentText(), QString());  // emptied for the next position
        QVERIFY(!f.window->values().at);
    }
};

QTEST_MAIN(FeatureWindowsTest)
#include "FeatureWindowsTest.moc"

// The hurricane window's own rules with a fixed clock and fixed zones: storm
// lists, winds and categories, the UTC day and the local time, the report
// date, and its outputs read back. The form's contract is FeatureFormTest's.

#include "features/HurricaneFields.h"
#include "features/wpHcane.h"
#include "output/TextCleaning.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QComboBox>
#include <QScrollBar>
#include <QSlider>

using namespace waypost;
using namespace waypost::test;

class wpHcaneTest : public QObject {
    Q_OBJECT

    struct Fixture : TestServices, WindowControls {
        WindowRegistry registry;
        wpHcane* storm = nullptr;

        /// Opens the window at \p now; daylight time never, or (\p summer) from March to November.
        explicit Fixture(const QDateTime& now = QDateTime(QDate(2026, 9, 14), QTime(14, 30)), bool summer = false) {
            clock.set(now);
            zone.setDaylight(false);
            if (summer)
                zone.setDaylightPeriod(QDateTime(QDate(2026, 3, 8), QTime(7, 0), Qt::UTC),
                                       QDateTime(QDate(2026, 11, 1), QTime(6, 0), Qt::UTC));
            registerWindows(registry, services);
            storm = qobject_cast<wpHcane*>(registry.show(windowName::wpHcane));
            setWindow(storm);
            if (!activate()) qWarning("the hurricane window did not become active");
        }
        ~Fixture() { registry.unload(windowName::wpHcane); }
        QSlider* winds() const { return child<QSlider>("sldHwind"); }
        QComboBox* names() const { return child<QComboBox>("cmbName"); }
        void setUtc(int month, int day, int hour) const {
            child<QScrollBar>("HscrMon")->setValue(month);
            child<QScrollBar>("HscrDay")->setValue(day);
            child<QScrollBar>("HscrHour")->setValue(hour);
        }
    };

private slots:
    // The slider gives knots (and the category: the record file in
    // outputsWriteTheStormAndItsPointInWgs84), and knots convert back to miles per
    // hour. A speed no slider holds is refused whole with the box's own message (it
    // never wraps round into a small speed: NumbersTest). A letter in the box beeps,
    // and an unnamed depression holds 38 mph at most.
    void windsConvertBothWaysAndRefuseWhatTheSliderCannotHold() {
        Fixture f;
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
        QVERIFY(f.prompter.messageTexts().back().contains(QStringLiteral("use 23 to 38 mph")));
        QCOMPARE(f.winds()->value(), 38);
        QCOMPARE(f.storm->focusWidget(), f.edit("txtHwind"));
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
            Fixture f(now, summer);
            f.setUtc(month, 15, hour);
            QCOMPARE(f.text("lblUTC_Cat"), QString::fromLatin1(utc));
            QCOMPARE(f.text("lblLtimeZ"), QString::fromLatin1(local));
        }
    }

    // Moving to February cuts the day to 28, or 29 in a leap year.
    void februaryCutsTheDay() {
        for (const auto& [year, day] : {std::pair{2026, 28}, std::pair{2028, 29}}) {
            Fixture f(QDateTime(QDate(year, 1, 31), QTime(8, 0)));
            f.child<QScrollBar>("HscrMon")->setValue(2);
            QCOMPARE(f.text("lblDay"), QString::number(day));
            QCOMPARE(f.child<QScrollBar>("HscrDay")->maximum(), day);
        }
    }

    // A report date two years back is asked about twice; refused, it is emptied
    // (the default button and the focus kept are FeatureWindowsTest's, for the
    // same date field).
    void aDateTwoYearsBackAsksTwice() {
        Fixture f;
        f.prompter.answerYes();
        f.prompter.answerNo();
        f.edit("meHEnter")->setFocus();
        f.edit("meHEnter")->setText(QStringLiteral("09-01-2024"));
        f.names()->setFocus();
        QCOMPARE(f.prompter.calls().size(), 2U);  // the year, then the date
        QCOMPARE(f.storm->values().reportDate, QString());
    }

    // Without this year's storm list the missing file is named and a storm
    // name can still be typed; a list's names are read as CSV-like items.
    void aMissingStormListIsNamedAndANameCanBeTyped() {
        Fixture f(QDateTime(QDate(2040, 6, 1), QTime(8, 0)));
        QVERIFY(f.prompter.messageTexts().value(0).contains(QStringLiteral("2040_hurricanes.txt")));
        QVERIFY(f.names()->isEditable());
        QCOMPARE(listItems(QStringLiteral("\"Unamed Depression\",Ana ,\"Bill, Jr\"\r\n\r\nCora")),
                 QStringList({"Unamed Depression", "Ana", "Bill, Jr", "Cora"}));
    }

    // The checks ask for a storm name and a position type; the shapefile point
    // is in WGS 84 with its projection, the record file holds the UTC time and
    // winds, and a new record file empties the name and location.
    void outputsWriteTheStormAndItsPointInWgs84() {
        Fixture f;
        QCOMPARE(f.names()->itemText(1), QStringLiteral("Arthur"));  // this year's list
        f.click("cmdEnableWriteFile");
        QCOMPARE(f.prompter.messageTexts().back(), QStringLiteral("Enter Storm Name"));
        f.names()->setCurrentText(QStringLiteral("Bertha"));
        f.winds()->setValue(100);
        f.storm->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        f.click("cmdEnableWriteFile");
        QCOMPARE(f.prompter.messageTexts().back(), QStringLiteral("Please Select Position Type"));
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
        QVERIFY(!f.storm->values().at);
    }
};

QTEST_MAIN(wpHcaneTest)
#include "wpHcaneTest.moc"

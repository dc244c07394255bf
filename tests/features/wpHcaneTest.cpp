// The hurricane window end to end with a fixed clock and fixed zones: storm
// lists, winds, the UTC day and the local time, the report date, and the
// outputs read back.

#include "features/HurricaneFields.h"
#include "features/wpHcane.h"
#include "output/TextCleaning.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"
#include "widgets/EnableChecks.h"
#include "widgets/LocationLink.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

using namespace waypost;
using namespace waypost::test;

class wpHcaneTest : public QObject {
    Q_OBJECT

    struct Fixture : TestServices, WindowControls {
        WindowRegistry registry;
        wpHcane* storm = nullptr;

        explicit Fixture(const QDateTime& now = QDateTime(QDate(2026, 9, 14), QTime(14, 30))) {
            clock.set(now);
            zone.setDaylight(false);
            registerWindows(registry, services);
        }
        ~Fixture() { registry.unload(windowName::wpHcane); }
        void open() {
            storm = qobject_cast<wpHcane*>(registry.show(windowName::wpHcane));
            setWindow(storm);
            if (!activate()) qWarning("the hurricane window did not become active");
        }
        void setUtc(int month, int day, int hour) const {
            child<QScrollBar>("HscrMon")->setValue(month);
            child<QScrollBar>("HscrDay")->setValue(day);
            child<QScrollBar>("HscrHour")->setValue(hour);
        }
    };

private slots:
    void categoriesFollowTheTable_data() {
        QTest::addColumn<int>("mph");
        QTest::addColumn<QString>("category");
        QTest::newRow("22") << 22 << " ";
        QTest::newRow("38") << 38 << "Tropical Depression";
        QTest::newRow("73") << 73 << "Tropical Storm";
        QTest::newRow("74") << 74 << "Category 1";
        QTest::newRow("155") << 155 << "Category 4";
        QTest::newRow("156") << 156 << "Category 5";
    }
    void categoriesFollowTheTable() {
        QFETCH(int, mph);
        QFETCH(QString, category);
        QCOMPARE(hurricaneCategory(mph), category);
    }

    void windsConvertBothWaysAndRefuseWhatTheSliderCannotHold() {
        Fixture f;
        f.open();
        f.child<QSlider>("sldHwind")->setValue(115);
        QCOMPARE(f.edit("txtKnots")->text(), QStringLiteral("100"));
        QCOMPARE(f.text("lblHCat"), QStringLiteral("Category 3"));

        f.click("cmdCvrtKts");
        f.edit("txtKnots")->setText(QStringLiteral("100"));
        f.click("cmdCkts");
        QCOMPARE(f.edit("txtHwind")->text(), QStringLiteral("115"));
        QVERIFY(!f.edit("txtKnots")->isEnabled());

        f.child<QComboBox>("cmbName")->setCurrentText(kUnnamedDepression);
        f.edit("txtHwind")->setFocus();
        f.edit("txtHwind")->selectAll();
        QTest::keyClicks(f.edit("txtHwind"), QStringLiteral("4a5"));  // the letter beeps
        QCOMPARE(f.prompter.beeps(), 1);
        f.child<QComboBox>("cmbName")->setFocus();  // leaves the box
        QVERIFY(f.prompter.messageTexts().front().contains(QStringLiteral("use 23 to 38 mph")));
        QCOMPARE(f.child<QSlider>("sldHwind")->value(), 38);
        QCOMPARE(f.storm->focusWidget(), f.edit("txtHwind"));
    }

    // A speed no slider holds is refused with the box's own message; it never
    // ends the program nor wraps round into a small speed.
    void windsBeyondTheSliderAreRefusedWhole_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("19 nines of mph") << "txtHwind" << QString(19, u'9') << "cannot be shown: use 23 to 220 mph";
        QTest::newRow("mph past 2^32") << "txtHwind" << "4294967319" << "cannot be shown: use 23 to 220 mph";
        QTest::newRow("20 digits of knots") << "txtKnots" << QString(20, u'9') << "knots cannot be shown on the slider";
        QTest::newRow("knots past 2^32") << "txtKnots" << "4294967319" << "knots cannot be shown on the slider";
    }
    void windsBeyondTheSliderAreRefusedWhole() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        Fixture f;
        f.open();
        f.child<QSlider>("sldHwind")->setValue(115);
        if (box == QLatin1String("txtHwind")) {
            f.edit("txtHwind")->setFocus();
            f.edit("txtHwind")->setText(typed);  // pasted whole
            f.child<QComboBox>("cmbName")->setFocus();
        } else {
            f.click("cmdCvrtKts");
            f.edit("txtKnots")->setText(typed);
            f.click("cmdCkts");
        }
        QVERIFY2(f.prompter.messageTexts().join(u'|').contains(message), qPrintable(f.prompter.messageTexts().join(u'|')));
        QCOMPARE(f.child<QSlider>("sldHwind")->value(), 115);
        QCOMPARE(f.text("lblHCat"), QStringLiteral("Category 3"));
        QCOMPARE(f.edit("txtHwind")->text(), QStringLiteral("115"));
    }

    void aSpeedThatIsNoNumberHoldsTheOutputsBack_data() {
        QTest::addColumn<QString>("mph");
        QTest::addColumn<QString>("knots");
        QTest::newRow("knots emptied") << "115" << "";
        QTest::newRow("knots of 20 digits") << "115" << QString(20, u'9');
        QTest::newRow("mph of 19 digits") << QString(19, u'9') << "100";
    }
    void aSpeedThatIsNoNumberHoldsTheOutputsBack() {
        QFETCH(QString, mph);
        QFETCH(QString, knots);
        HurricaneFeature v;
        v.stormName = QStringLiteral("ARTHUR");
        v.category = QStringLiteral("Category 3");
        v.at = sampleLocation();
        v.positionType = QStringLiteral("Actual");
        v.mph = mph;
        v.knots = knots;
        const std::optional<Requirement> unmet = firstUnmet(hurricaneRequirements(v));
        QVERIFY(unmet);
        QCOMPARE(unmet->message, QStringLiteral("Enter Windspeed"));
        v.mph = QStringLiteral("115");
        v.knots = QStringLiteral("100");
        QVERIFY(!firstUnmet(hurricaneRequirements(v)));
    }

    void localTimeFollowsTheZoneInForceAtTheReport_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<bool>("daylightSummer");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("hour");
        QTest::addColumn<QString>("utc");
        QTest::addColumn<QString>("local");
        const QDateTime september(QDate(2026, 9, 14), QTime(14, 30));
        QTest::newRow("05 UTC EST is midnight") << september << false << 1 << 5 << "1/15/2026 05:00:00 UTC"
                                                << "1/15/2026 00:00:00 AM EST";
        QTest::newRow("02 UTC EST the evening before") << september << false << 1 << 2 << "1/15/2026 02:00:00 UTC"
                                                       << "1/14/2026 9:00:00 PM EST";
        QTest::newRow("August entered in December") << QDateTime(QDate(2026, 12, 6), QTime(9, 0)) << true << 8 << 15
                                                    << "8/15/2026 15:00:00 UTC" << "8/15/2026 11:00:00 AM EDT";
    }
    void localTimeFollowsTheZoneInForceAtTheReport() {
        QFETCH(QDateTime, now);
        QFETCH(bool, daylightSummer);
        QFETCH(int, month);
        QFETCH(int, hour);
        QFETCH(QString, utc);
        QFETCH(QString, local);
        Fixture f(now);
        if (daylightSummer)
            f.zone.setDaylightPeriod(QDateTime(QDate(2026, 3, 8), QTime(7, 0), Qt::UTC),
                                     QDateTime(QDate(2026, 11, 1), QTime(6, 0), Qt::UTC));
        f.open();
        f.setUtc(month, 15, hour);
        QCOMPARE(f.text("lblUTC_Cat"), utc);
        QCOMPARE(f.text("lblLtimeZ"), local);
    }

    void februaryCutsTheDay_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("day");
        QTest::newRow("2026") << 2026 << "28";
        QTest::newRow("2028, a leap year") << 2028 << "29";
    }
    void februaryCutsTheDay() {
        QFETCH(int, year);
        QFETCH(QString, day);
        Fixture f(QDateTime(QDate(year, 1, 31), QTime(8, 0)));
        f.open();
        QCOMPARE(f.text("lblDay"), QStringLiteral("31"));
        f.child<QScrollBar>("HscrMon")->setValue(2);
        QCOMPARE(f.text("lblDay"), day);
        QCOMPARE(f.child<QScrollBar>("HscrDay")->maximum(), day.toInt());
    }

    void aDateTwoYearsBackAsksTwice() {
        Fixture f;
        f.open();
        f.prompter.answerYes();
        f.prompter.answerNo();
        f.edit("meHEnter")->setFocus();
        f.edit("meHEnter")->setText(QStringLiteral("09-01-2024"));
        f.child<QComboBox>("cmbName")->setFocus();
        const auto& calls = f.prompter.calls();
        QCOMPARE(calls.size(), 2U);
        QCOMPARE(calls[0].text, QStringLiteral("Year is  more than One year ago - Accept?"));
        QCOMPARE(calls[0].title, QStringLiteral("Accept Date?"));
        QCOMPARE(calls[1].text, QStringLiteral("Date more than one year old! Accept?"));
        QCOMPARE(calls[1].defaultButton, Prompter::Answer::No);
        QCOMPARE(f.storm->values().reportDate, QString());
        QCOMPARE(f.storm->focusWidget(), f.edit("meHEnter"));
    }

    void aMissingStormListIsNamedAndANameCanBeTyped() {
        Fixture f(QDateTime(QDate(2040, 6, 1), QTime(8, 0)));
        f.open();
        QCOMPARE(f.prompter.messageTexts().size(), 1);
        QVERIFY(f.prompter.messageTexts().front().contains(QStringLiteral("2040_hurricanes.txt")));
        QCOMPARE(f.child<QComboBox>("cmbName")->count(), 0);
        QVERIFY(f.child<QComboBox>("cmbName")->isEditable());
        QCOMPARE(listItems(QStringLiteral("\"Unamed Depression\",Ana ,\"Bill, Jr\"\r\n\r\nCora")),
                 QStringList({"Unamed Depression", "Ana", "Bill, Jr", "Cora"}));
    }

    void outputsWriteTheStormAndItsPointInWgs84() {
        Fixture f;
        f.open();
        QCOMPARE(f.child<QComboBox>("cmbName")->itemText(1), QStringLiteral("Arthur"));  // this year's list
        f.click("cmdEnableWriteFile");
        QCOMPARE(f.prompter.messageTexts().back(), QStringLiteral("Enter Storm Name"));
        f.child<QComboBox>("cmbName")->setCurrentText(QStringLiteral("Bertha"));
        f.child<QSlider>("sldHwind")->setValue(100);
        f.storm->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        f.click("cmdEnableWriteFile");
        QCOMPARE(f.prompter.messageTexts().back(), QStringLiteral("Please Select Position Type"));
        f.click("optActual");
        f.setUtc(9, 14, 15);
        f.click("cmdEnableWriteFile");
        QCOMPARE(f.prompter.messageTexts().size(), 2);
        QVERIFY(f.child<QPushButton>("cmdKML")->isEnabled());

        f.prompter.choosePath(f.path(QStringLiteral("storms.shp")));
        f.click("cmdWriteHShape");
        const ShapefileContent shp = readShapefile(f.path(QStringLiteral("phstorms.shp")));
        QVERIFY(shp.opened);
        QCOMPARE(shp.records.size(), 1U);
        QCOMPARE(shp.records[0].vertices, (std::vector<std::pair<double, double>>{{-84.25, 30.5}}));
        QCOMPARE(shp.records[0].values.value(QStringLiteral("Winds_KTS")).toDouble(), 87.0);
        QCOMPARE(shp.records[0].values.value(QStringLiteral("Local_Time")), QStringLiteral("9/14/2026 10:00:00 AM EST"));
        QCOMPARE(readAll(f.path(QStringLiteral("phstorms.prj"))), readAll(f.paths.dataFile(QStringLiteral("WGS1984.prj"))));

        f.prompter.choosePath(f.path(QStringLiteral("storms.txt")));
        f.click("cmdAdNewHFac");
        const QList<QByteArray> lines = readAll(f.path(QStringLiteral("phstorms.txt"))).split('\n');
        QVERIFY2(lines[1].startsWith("\"Bertha\",\"09-14-2026\",\"Actual\",\"9/14/2026 15:00:00 UTC\","), lines[1].constData());
        QVERIFY2(lines[1].endsWith(",100,87,\"Category 2\"\r"), lines[1].constData());
        QCOMPARE(f.child<QComboBox>("cmbName")->currentText(), QString());  // emptied for the next position
        QVERIFY(!f.storm->values().at);
    }
};

QTEST_MAIN(wpHcaneTest)
#include "wpHcaneTest.moc"

// The wildfire window's own rules: its dates, area and percent, its eight
// enable checks, and its report read back as another program would read it.
// The form's contract is FeatureFormTest's.

#include "features/frmDBMan.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QComboBox>
#include <QSlider>

#include <functional>
#include <string_view>

using namespace waypost;
using namespace waypost::test;

class frmDBManTest : public QObject {
    Q_OBJECT

    struct Fixture : TestServices, WindowControls {
        WindowRegistry registry;
        frmDBMan* fire = nullptr;

        Fixture() {
            registerWindows(registry, services);
            fire = qobject_cast<frmDBMan*>(registry.show(windowName::frmDBMan));
            setWindow(fire);
            if (!activate()) qWarning("the wildfire window did not become active");
        }
        ~Fixture() { registry.unload(windowName::frmDBMan); }
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

private slots:
    // A date is asked about when left more than a year old or in the future;
    // a refused one is emptied and cannot be left behind empty.
    void datesAreCheckedWhenLeft() {
        const struct { const char* field; const char* typed; bool accept; const char* question; const char* kept; } rows[] = {
            {"meFireEnter", "09132025", false, "Entry Date more than one year old! Accept?", ""},  // 366 days old
            {"meFireEnter", "09142025", false, "", "09-14-2025"},                              // 365 days old passes
            {"meFireEnter", "09152026", true, "Entry Date in the future! Accept?", "09-15-2026"},
            {"meFireSTart", "09132025", false, "Fire Start Date more than one year old! Accept?", ""}};
        for (const auto& [field, typed, accept, question, kept] : rows) {
            Fixture f;
            accept ? f.prompter.answerYes() : f.prompter.answerNo();
            f.typeAndLeave(field, QString::fromLatin1(typed));
            const auto& calls = f.prompter.calls();
            if (!*question) {
                QVERIFY(calls.empty());
                QCOMPARE(f.fire->focusWidget(), f.edit("txtInc_num"));
            } else {
                QCOMPARE(calls.size(), 1U);
                QCOMPARE(calls[0].text, QString::fromLatin1(question));
                QCOMPARE(calls[0].icon, Prompter::Icon::Critical);
                QCOMPARE(calls[0].defaultButton, Prompter::Answer::No);
            }
            // The other date is still today's.
            QCOMPARE(f.fire->values().entryDate + f.fire->values().startDate,
                     QString::fromLatin1(kept) + QStringLiteral("09-14-2026"));
            if (!*kept) {
                QCOMPARE(f.edit(field)->displayText(), QStringLiteral("__-__-____"));
                QCOMPARE(f.fire->focusWidget(), f.edit(field));
                f.edit("txtF_Name")->setFocus();
                QCOMPARE(f.prompter.messageTexts().value(0), QStringLiteral("You must enter a valid date"));
                QCOMPARE(f.fire->focusWidget(), f.edit(field));
            }
        }
    }

    // The window opens with today in both dates and the focus in the name.
    // The area keeps its grouped form and refuses what is no number; the
    // percent follows the slider, refuses more than 100 and rounds to a whole.
    void areaAndPercentKeepTheirForms() {
        Fixture f;
        QCOMPARE(f.fire->focusWidget(), f.edit("txtF_Name"));
        QCOMPARE(f.text("meFireEnter") + f.text("meFireSTart"), QStringLiteral("09-14-202609-14-2026"));
        QCOMPARE(f.text("txtPerCon"), QStringLiteral("0.00%"));
        f.typeAndLeave("txtArea", QStringLiteral("1234.5x"));
        QCOMPARE(f.prompter.messageTexts(), QStringList{QStringLiteral("Plese Enter Numbers Only")});
        QCOMPARE(f.text("txtArea"), QStringLiteral("1,234.50"));

        f.edit("txtArea")->setText(QStringLiteral("12..5"));  // pasted, not typed
        f.edit("txtArea")->setFocus();
        f.edit("txtInc_num")->setFocus();
        QCOMPARE(f.prompter.messages().back().text, QStringLiteral("Please Enter Numbers Only"));
        QCOMPARE(f.text("txtArea"), QStringLiteral("0.00"));
        QCOMPARE(f.fire->focusWidget(), f.edit("txtArea"));

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
    void enableChecksRunInOrder() {
        Fixture f;
        f.edit("meFireEnter")->clear();
        f.edit("txtPerCon")->clear();
        const std::pair<QString, std::function<void()>> steps[] = {
            {"Enter Fire Name", [&] { f.edit("txtF_Name")->setText(QStringLiteral("Bear Creek")); }},
            {"Enter Incident Number", [&] { f.edit("txtInc_num")->setText(QStringLiteral("42")); }},
            {"Please Convert Coodinates", [&] { f.fire->location().receiveLocation(sampleLocation(), SectionHandover::Carried); }},
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
    void outputsWriteTheReportAsShownAndConverted() {
        Fixture f;
        f.edit("txtInc_num")->setText(QStringLiteral("FL-TLF-0042"));
        f.fire->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
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

QTEST_MAIN(frmDBManTest)
#include "frmDBManTest.moc"
// The wildfire window end to end: its date, area and percent rules, the enable
// checks, and each output read back as another program would read it.

#include "features/frmDBMan.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"
#include "widgets/LocationLink.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

using namespace waypost;
using namespace waypost::test;

class frmDBManTest : public QObject {
    Q_OBJECT

    struct Fixture : TestServices, WindowControls {
        WindowRegistry registry;
        frmDBMan* fire = nullptr;

        Fixture() : TestServices(QStringLiteral(WAYPOST_SOURCE_DIR "/data")) {
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
        /// A report that passes the enable checks; no report option chosen.
        void readyReport(const QString& name) {
            edit("txtInc_num")->setText(QStringLiteral("FL-TLF-0042"));
            fire->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
            child<QComboBox>("cmbfFuel")->setCurrentText(QStringLiteral("Palmetto-Gallberry"));
            child<QComboBox>("cmbfCause")->setCurrentText(QStringLiteral("lightning"));
            typeAndLeave("txtArea", QStringLiteral("1234.5"));
            child<QSlider>("sldperCon")->setValue(45);
            edit("txtF_Name")->setText(name);  // never left, so never cleaned
            click("CmdEnable");
        }
    };

private slots:
    void opensWithTodayInBothDatesAndTheFocusInTheName() {
        Fixture f;
        QCOMPARE(f.fire->focusWidget(), f.edit("txtF_Name"));
        QCOMPARE(f.edit("meFireEnter")->text(), QStringLiteral("09-14-2026"));
        QCOMPARE(f.edit("meFireSTart")->text(), QStringLiteral("09-14-2026"));
        QCOMPARE(f.edit("txtPerCon")->text(), QStringLiteral("0.00%"));
    }

    void datesAreCheckedWhenLeft_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accept");  // the answer to a question
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("kept");
        QTest::newRow("366 days old, refused") << "meFireEnter" << "09132025" << false
                                               << "Entry Date more than one year old! Accept?"
                                               << "Confirm Entry Start Date" << "";
        QTest::newRow("365 days old passes") << "meFireEnter" << "09142025" << false << "" << "" << "09-14-2025";
        QTest::newRow("future, accepted") << "meFireEnter" << "09152026" << true << "Entry Date in the future! Accept?"
                                          << "Confirm Fire Start Date" << "09-15-2026";
        QTest::newRow("start 366 days old") << "meFireSTart" << "09132025" << false
                                            << "Fire Start Date more than one year old! Accept?"
                                            << "Confirm Fire Start Date" << "";
    }
    void datesAreCheckedWhenLeft() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(bool, accept);
        QFETCH(QString, question);
        QFETCH(QString, title);
        QFETCH(QString, kept);
        Fixture f;
        if (accept) f.prompter.answerYes();
        else f.prompter.answerNo();
        f.typeAndLeave(qPrintable(field), typed);
        const auto& calls = f.prompter.calls();
        if (question.isEmpty()) {
            QVERIFY(calls.empty());
            QCOMPARE(f.fire->focusWidget(), f.edit("txtInc_num"));
        } else {
            QCOMPARE(calls.size(), 1U);
            QCOMPARE(calls[0].text, question);
            QCOMPARE(calls[0].title, title);
            QCOMPARE(calls[0].icon, Prompter::Icon::Critical);
            QCOMPARE(calls[0].defaultButton, Prompter::Answer::No);
        }
        QCOMPARE(f.fire->values().entryDate + f.fire->values().startDate, kept + QStringLiteral("09-14-2026"));
        if (kept.isEmpty()) {
            QCOMPARE(f.edit(qPrintable(field))->displayText(), QStringLiteral("__-__-____"));
            QCOMPARE(f.fire->focusWidget(), f.edit(qPrintable(field)));
            // The emptied date cannot be left behind to be written empty.
            f.edit("txtF_Name")->setFocus();
            QCOMPARE(f.prompter.messageTexts().value(0), QStringLiteral("You must enter a valid date"));
            QCOMPARE(f.fire->focusWidget(), f.edit(qPrintable(field)));
        }
    }

    void areaAndPercentKeepTheirForms() {
        Fixture f;
        f.typeAndLeave("txtArea", QStringLiteral("1234.5x"));
        QCOMPARE(f.prompter.messageTexts(), QStringList{QStringLiteral("Plese Enter Numbers Only")});
        QCOMPARE(f.edit("txtArea")->text(), QStringLiteral("1,234.50"));

        f.edit("txtArea")->setText(QStringLiteral("12..5"));  // pasted, not typed
        f.edit("txtArea")->setFocus();
        f.edit("txtInc_num")->setFocus();
        QCOMPARE(f.prompter.messages().back().text, QStringLiteral("Please Enter Numbers Only"));
        QCOMPARE(f.prompter.messages().back().title, QStringLiteral("Numbers Only!"));
        QCOMPARE(f.edit("txtArea")->text(), QStringLiteral("0.00"));
        QCOMPARE(f.fire->focusWidget(), f.edit("txtArea"));

        f.child<QSlider>("sldperCon")->setValue(45);
        QCOMPARE(f.edit("txtPerCon")->text(), QStringLiteral("45.00%"));
        f.typeAndLeave("txtPerCon", QStringLiteral("150"));
        QVERIFY(f.prompter.messages().back().text.contains(QStringLiteral("from 0 to 100")));
        QCOMPARE(f.edit("txtPerCon")->text(), QStringLiteral("45.00%"));
        QCOMPARE(f.child<QSlider>("sldperCon")->value(), 45);
        f.typeAndLeave("txtPerCon", QStringLiteral("30.6"));
        QCOMPARE(f.child<QSlider>("sldperCon")->value(), 31);
        QCOMPARE(f.edit("txtPerCon")->text(), QStringLiteral("31.00%"));
    }

    void enableChecksRunInOrderAndFocusTheField() {
        Fixture f;
        f.edit("meFireEnter")->clear();
        f.edit("txtPerCon")->clear();
        const std::vector<std::pair<QString, std::function<void()>>> steps = {
            {"Enter Fire Name", [&] { f.edit("txtF_Name")->setText(QStringLiteral("Bear Creek")); }},
            {"Enter Incident Number", [&] { f.edit("txtInc_num")->setText(QStringLiteral("42")); }},
            {"Please Convert Coodinates", [&] { f.fire->location().receiveLocation(sampleLocation(), SectionHandover::Carried); }},
            {"Please Enter Data Entry Date", [&] { f.edit("meFireEnter")->setText(QStringLiteral("09-01-2026")); }},
            {"Please Select Fuel Type", [&] { f.child<QComboBox>("cmbfFuel")->setCurrentIndex(2); }},
            {"Please Select Fire Cause Type", [&] { f.child<QComboBox>("cmbfCause")->setCurrentIndex(0); }},
            {"Enter Area in acres", [&] { f.edit("txtArea")->setText(QStringLiteral("5.00")); }},
            {"Please Use the Slider Control to Enter Percent Contained", [&] { f.child<QSlider>("sldperCon")->setValue(10); }},
        };
        for (const auto& [message, fill] : steps) {
            f.click("CmdEnable");
            QCOMPARE(f.prompter.messageTexts().back(), message);
            QVERIFY(!f.child<QPushButton>("cmdwKML")->isEnabled());
            fill();
        }
        f.click("CmdEnable");
        QCOMPARE(f.prompter.messageTexts().size(), steps.size());
        QVERIFY(f.child<QPushButton>("cmdwKML")->isEnabled());
        f.child<QComboBox>("cmbfCause")->setFocus();  // an input touched again
        QVERIFY(!f.child<QPushButton>("cmdwKML")->isEnabled());
    }

    void outputsWriteTheReportAsShownAndConverted() {
        Fixture f;
        f.readyReport(QStringLiteral("Bear Creek"));
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
        QVERIFY(shp.opened);
        QVERIFY(shp.schema.contains(QStringLiteral("EntryDate:date:0")));
        QVERIFY(shp.schema.contains(QStringLiteral("StartDate:date:0")));
        QCOMPARE(shp.records.size(), 1U);
        QCOMPARE(shp.records[0].values.value(QStringLiteral("EntryDate")), QStringLiteral("2026/09/14"));
        QCOMPARE(shp.records[0].values.value(QStringLiteral("Acres")).toDouble(), 1234.5);
        QCOMPARE(shp.records[0].values.value(QStringLiteral("Report")), QString());
        QCOMPARE(shp.records[0].vertices, (std::vector<std::pair<double, double>>{{376025, 721400}}));
        QVERIFY(QFile::exists(f.path(QStringLiteral("pwfires.prj"))));
    }

    void ampersandNameAndUnconvertibleAreaAreHandled() {
        Fixture f;
        f.readyReport(QStringLiteral("Smith & Sons"));  // set directly: not yet cleaned
        f.prompter.cancelDialog();
        f.click("cmdwKML");
        QCOMPARE(f.prompter.calls()[0].dialog.fileName, QStringLiteral("pwSmith _ Sons"));

        f.edit("txtArea")->setText(QStringLiteral("about ten"));
        f.click("cmdWriteShape");
        QVERIFY(f.prompter.messageTexts().back().contains(QStringLiteral("\"about ten\" is not a number")));
        QVERIFY(filesIn(f.out.path()).isEmpty());  // no dialog, no half record
    }
};

QTEST_MAIN(frmDBManTest)
#include "frmDBManTest.moc"

// The conversion page's section look-ups: "&Convert" from the township, range
// and section fields, and "Find STR" from the degrees, over small databases.

#include "PageFixture.h"

#include "plss/SampleGrid.h"

#include <QProgressBar>
#include <QRegularExpression>

using namespace waypost;
using waypost::testing::PageFixture;
using waypost::testing::RecordingReceiver;

namespace {

const QString kNoRecords = QStringLiteral("No Records Found.");

/// A data folder holding two sections, and the page over it.
struct LookupFixture {
    QTemporaryDir data;
    bool built = build(data.path());
    PageFixture f{data.path()};

    static bool build(const QString& folder) {
        plss::writeSectionDatabases({{"T01N R01E S01", -84.25, 30.5, 640}, {"T01N R01E S02", -84.2505, 30.5005, 700}},
                                    (folder + QStringLiteral("/databases")).toStdString());
        return true;
    }

    /// The TRS group with north township 1, east range 1 and \\p section typed.
    void typeTrs(const QString& section) {
        QVERIFY(f.show());
        f.click("optTRS");
        f.click("optTnorth");
        f.typeInto("txtTown", QStringLiteral("1"));
        f.click("optRangeE");
        f.typeInto("txtRange", QStringLiteral("1"));
        f.typeInto("txtSection", section);
    }
    /// The decimal-degree group showing 30.5 N, 84.25 W.
    void typeDegrees() {
        QVERIFY(f.show());
        f.click("optDD");
        f.typeInto("txtDDlongD", QStringLiteral("084"));
        f.typeInto("txtDDLongDD", QStringLiteral("2498"));
        f.typeInto("txtDDLatD", QStringLiteral("30"));
        f.typeInto("txtDDLatDD", QStringLiteral("4997"));
    }
};

}  // namespace

class LookupPageTest : public QObject {
    Q_OBJECT

private slots:
    void convertShowsThePartsCentreHandsItBackAndResetsTheFields() {
        LookupFixture l;
        RecordingReceiver caller;
        l.f.page->startLocating(&caller, QStringLiteral("frmDBMan"));
        l.typeTrs(QStringLiteral("1"));
        l.f.click("optNE");
        l.f.mouseClick("cmdTRS2dd");
        QCOMPARE(l.f.prompter.messageTexts(), QStringList());
        QCOMPARE(l.f.text("lblDDLat"), QStringLiteral("30.503600"));
        QCOMPARE(l.f.text("lblDDLong"), QStringLiteral("-084.245800"));
        QCOMPARE(l.f.text("lblTRScon"), QStringLiteral("T01N R01E S01"));
        QVERIFY(l.f.text("lblUSNG").startsWith(QStringLiteral("16R GU")));
        QVERIFY(!caller.received.empty());
        QCOMPARE(caller.received.back().latitude(), QStringLiteral("30.503600"));
        QCOMPARE(caller.received.back().usng(), l.f.text("lblUSNG"));
        QCOMPARE(QStringList({l.f.text("txtTown"), l.f.text("txtRange"), l.f.text("txtSection")}),
                 QStringList({"00", "00", "0000"}));

        // A section that is not there leaves the page without a location, so
        // coming back to the window no longer shows the one before.
        l.typeTrs(QStringLiteral("9"));
        l.f.mouseClick("cmdTRS2dd");
        QCOMPARE(l.f.prompter.messageTexts(), QStringList{kNoRecords});
        QVERIFY(!l.f.page->location());
        l.f.page->handBackAgain();
        QVERIFY(!caller.received.back().location);
    }

    void convertFailuresSayWhyAndShowNoHalfResult_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<bool>("databases");
        QTest::addColumn<QString>("message");  // a pattern
        QTest::addColumn<QString>("latitude");
        QTest::newRow("key not in the database") << "9" << true << "^No Records Found\\.$" << "00";
        QTest::newRow("no database") << "1" << false << "PLSS_KOVA_DEC_2010\\.sqlite.*does not exist" << "";
    }
    void convertFailuresSayWhyAndShowNoHalfResult() {
        QFETCH(QString, section);
        QFETCH(bool, databases);
        QFETCH(QString, message);
        QFETCH(QString, latitude);
        LookupFixture l;
        if (!databases) QVERIFY(QDir(l.data.filePath(QStringLiteral("databases"))).removeRecursively());
        l.typeTrs(section);
        l.f.mouseClick("cmdTRS2dd");
        QCOMPARE(l.f.prompter.messageTexts().size(), 1);
        QVERIFY2(l.f.prompter.messageTexts().front().contains(QRegularExpression(message, QRegularExpression::DotMatchesEverythingOption)),
                 qPrintable(l.f.prompter.messageTexts().front()));
        QCOMPARE(l.f.text("lblDDLat"), latitude);
        QCOMPARE(l.f.text("txtTown"), QStringLiteral("1"));  // what was typed is kept
    }

    void convertUsesTheFieldsNotAnEarlierPreview() {
        LookupFixture l;
        l.typeTrs(QStringLiteral("2"));
        l.f.mouseClick("cmdTRScon");
        QCOMPARE(l.f.text("lblTRScon"), QStringLiteral("T01N R01E S02 "));
        l.f.typeInto("txtSection", QStringLiteral("1"));  // not left: no check has run
        l.f.mouseClick("cmdTRS2dd");
        QCOMPARE(l.f.text("lblTRScon"), QStringLiteral("T01N R01E S01"));
        QCOMPARE(l.f.text("lblDDLat"), QStringLiteral("30.500000"));
    }

    void findStrDescribesTheSectionLogsAndCopiesToTheCaller_data() {
        QTest::addColumn<QString>("caller");
        QTest::addColumn<bool>("copied");
        QTest::newRow("facilities") << "wpFac" << true;
        QTest::newRow("wildfires") << "frmDBMan" << true;
        QTest::newRow("hurricanes") << "wpHcane" << false;
    }
    void findStrDescribesTheSectionLogsAndCopiesToTheCaller() {
        QFETCH(QString, caller);
        QFETCH(bool, copied);
        LookupFixture l;
        RecordingReceiver window;
        l.f.page->startLocating(&window, caller);
        l.typeDegrees();
        l.f.mouseClick("cmdFindSTR");
        // 30.4997 N 84.2498 W: both centres lie in the first window; S01 is nearer.
        const QString found = QStringLiteral("T01N R01E S01 NW 1/4 of the SE 1/4");
        QCOMPARE(l.f.text("lblTRSres"), found);
        QCOMPARE(l.f.text("lblPercent"), QStringLiteral("STR found on iteration 2"));
        QCOMPARE(l.f.child<QProgressBar>("strProgress")->value(), 20);
        QVERIFY(l.f.child("strProgress")->isVisible());
        QVERIFY(test::readAll(l.f.paths.logDir() + QStringLiteral("/search_results.txt"))
                    .startsWith("CONVERSION RESULTS:\r\nNumber of Search Iterations:\r\n\r\n1:30.5007,-84.2488, "));
        QCOMPARE(window.foundSections.size(), copied ? 1U : 0U);
        if (copied) {
            QCOMPARE(QString::fromStdString(window.foundSections.front().sectionText()), found);
            QCOMPARE(QString::fromStdString(window.foundSections.front().utm), l.f.text("lblUTMCoord"));
        }

        l.f.mouseClick("cmdconClose");  // leaving the button hides the progress
        QVERIFY(!l.f.child("strProgress")->isVisible());
        QVERIFY(!l.f.child("lblPercent")->isVisible());
    }

    // A section goes back only with the point it was found for.
    void aSectionFoundEarlierDoesNotTravelWithANewPoint_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::newRow("another latitude") << "txtDDLatDD" << "3000";
        QTest::newRow("another longitude") << "txtDDLongDD" << "1000";
    }
    void aSectionFoundEarlierDoesNotTravelWithANewPoint() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        LookupFixture l;
        RecordingReceiver window;
        l.f.page->startLocating(&window, QStringLiteral("frmDBMan"));
        l.typeDegrees();
        l.f.mouseClick("cmdFindSTR");
        QVERIFY(!l.f.text("lblTRSres").isEmpty());
        window.received.clear();
        l.f.typeInto(field.toLatin1().constData(), typed);
        QVERIFY(!window.received.empty());
        QCOMPARE(window.received.back().section_(), QString());
        QCOMPARE(window.received.back().latitude(), l.f.text("lblDDLat"));
    }

    void findStrWithoutCoordinatesOrSectionsSaysSo() {
        LookupFixture l;
        QVERIFY(l.f.show());
        l.f.click("optDD");
        l.f.mouseClick("cmdFindSTR");
        QCOMPARE(l.f.prompter.messageTexts(), QStringList({"No Search Coordinates - Exiting Search Routine"}));

        l.f.typeInto("txtDDLatD", QStringLiteral("29"));  // a degree away from both sections
        l.f.mouseClick("cmdFindSTR");
        QCOMPARE(l.f.prompter.messageTexts().back(), kNoRecords);
        QCOMPARE(l.f.text("lblTRSres"), QStringLiteral("No Record"));
    }
};

QTEST_MAIN(LookupPageTest)
#include "LookupPageTest.moc"

// The conversion page's section look-ups: "&Convert" from the township, range
// and section fields, and "Find STR" from the degrees, over small databases.

#include "PageFixture.h"

#include "plss/SampleGrid.h"

using namespace waypost;
using waypost::testing::PageFixture;
using waypost::testing::RecordingReceiver;

namespace {

const QString kNoRecords = QStringLiteral("No Records Found.");

/// A data folder holding two sections, and the page over it.
struct LookupFixture {
    QTemporaryDir data;
    bool built = [this] {
        plss::writeSectionDatabases({{"T01N R01E S01", -84.25, 30.5, 640}, {"T01N R01E S02", -84.2505, 30.5005, 700}},
                                    (data.path() + QStringLiteral("/databases")).toStdString());
        return true;
    }();
    PageFixture f{data.path()};

    /// The TRS group with north township 1, east range 1 and \p section typed.
    void typeTrs(const QString& section) {
        QVERIFY(f.choose("optTRS", "optTnorth", "optRangeE"));
        f.typeAll({"txtTown=1", "txtRange=1", "txtSection=" + section});
    }
    /// The decimal-degree group showing 30.4997 N, 84.2498 W.
    void typeDegrees() {
        QVERIFY(f.choose("optDD"));
        f.typeAll({"txtDDlongD=084", "txtDDLongDD=2498", "txtDDLatD=30", "txtDDLatDD=4997"});
    }
};

}  // namespace

class LookupPageTest : public QObject {
    Q_OBJECT

private slots:
    // "&Convert" looks up what the fields name now, not an earlier preview; it shows
    // the part's centre, hands it back and resets the fields. A key not in the
    // database keeps what was typed and leaves the page without a location, so
    // coming back to the window no longer shows the one before.
    void convertFromTheFields() {
        LookupFixture l;
        RecordingReceiver caller;
        l.f.page->startLocating(&caller, QStringLiteral("frmDBMan"));
        l.typeTrs(QStringLiteral("2"));
        l.f.mouseClick("cmdTRScon");
        QCOMPARE(l.f.text("lblTRScon"), QStringLiteral("T01N R01E S02 "));
        l.f.typeInto("txtSection", QStringLiteral("1"));
        l.f.click("optNE");
        l.f.mouseClick("cmdTRS2dd");
        QCOMPARE(l.f.prompter.messageTexts(), QStringList());
        QCOMPARE(l.f.texts({"lblDDLat", "lblDDLong", "lblTRScon", "txtTown", "txtRange", "txtSection"}),
                 QStringList({"30.503600", "-084.245800", "T01N R01E S01", "00", "00", "0000"}));
        QVERIFY(!caller.received.empty());
        QCOMPARE(QStringList({caller.received.back().latitude(), caller.received.back().usng()}),
                 QStringList({"30.503600", l.f.text("lblUSNG")}));

        l.typeTrs(QStringLiteral("9"));
        l.f.mouseClick("cmdTRS2dd");
        QCOMPARE(l.f.prompter.messageTexts(), QStringList{kNoRecords});
        QCOMPARE(l.f.texts({"lblDDLat", "lblDDLong", "txtTown"}), QStringList({"00", "00", "1"}));
        QVERIFY(!l.f.page->location());
        l.f.page->handBackAgain();
        QVERIFY(!caller.received.back().location);
    }

    // Section databases that cannot be read are named, what was typed is kept and no
    // half result is shown.
    void unreadableDatabasesAreNamedAndLeaveNoHalfResult() {
        LookupFixture l;
        QVERIFY(QDir(l.data.filePath(QStringLiteral("databases"))).removeRecursively());
        // There are \p count messages, the last naming \p file as missing.
        const auto saysMissing = [&l](int count, const char* file) {
            const QStringList messages = l.f.prompter.messageTexts();
            return messages.size() == count && messages.back().contains(QLatin1String(file)) &&
                   messages.back().contains(QLatin1String("does not exist"));
        };
        l.typeTrs(QStringLiteral("1"));
        l.f.mouseClick("cmdTRS2dd");
        QVERIFY2(saysMissing(1, "PLSS_KOVA_DEC_2010.sqlite"), qPrintable(l.f.prompter.messageTexts().join('\n')));
        QCOMPARE(l.f.texts({"lblDDLat", "txtTown"}), QStringList({"", "1"}));
        l.typeDegrees();
        l.f.mouseClick("cmdFindSTR");
        QVERIFY2(saysMissing(2, "PLSS_2010_LL.sqlite"), qPrintable(l.f.prompter.messageTexts().join('\n')));
        QCOMPARE(l.f.text("lblTRSres"), QString());
    }

    void findStr_data() {
        QTest::addColumn<QString>("caller");
        QTest::addColumn<bool>("copied");   // the result of the search
        QTest::addColumn<bool>("carried");  // the section in the hand-back
        QTest::newRow("facilities") << "wpFac" << true << false;
        QTest::newRow("wildfires") << "frmDBMan" << true << true;
        QTest::newRow("hurricanes") << "wpHcane" << false << false;
    }
    // "Find STR" without a location says so. The section found is described, logged
    // and copied to the windows that take it, and goes back only with the point it
    // was found for; leaving the button hides the progress. No section near says so.
    void findStr() {
        QFETCH(QString, caller);
        QFETCH(bool, copied);
        QFETCH(bool, carried);
        LookupFixture l;
        RecordingReceiver window;
        l.f.page->startLocating(&window, caller);
        QVERIFY(l.f.choose("optDD"));
        l.f.mouseClick("cmdFindSTR");
        QCOMPARE(l.f.prompter.messageTexts(), QStringList({"No Search Coordinates - Exiting Search Routine"}));
        l.typeDegrees();
        l.f.mouseClick("cmdFindSTR");
        // 30.4997 N 84.2498 W: both centres lie in the first window; S01 is nearer.
        const QString found = QStringLiteral("T01N R01E S01 NW 1/4 of the SE 1/4");
        QCOMPARE(l.f.texts({"lblTRSres", "lblPercent"}), QStringList({found, "STR found on iteration 2"}));
        QVERIFY(l.f.child("strProgress")->isVisible());
        QVERIFY(test::readAll(l.f.paths.logDir() + QStringLiteral("/search_results.txt"))
                    .startsWith("CONVERSION RESULTS:\r\nNumber of Search Iterations:\r\n\r\n1:30.5007,-84.2488, "));
        QCOMPARE(window.foundSections.size(), copied ? 1U : 0U);
        if (copied) {
            QCOMPARE(QString::fromStdString(window.foundSections.front().sectionText()), found);
            QCOMPARE(QString::fromStdString(window.foundSections.front().utm), l.f.text("lblUTMCoord"));
        }
        l.f.page->handBackAgain();
        QCOMPARE(window.received.back().section_(), carried ? found : QString());
        // Away from the point and back: the section goes along again.
        for (const auto& [typing, withSection] :
             {std::pair{"txtDDLatDD=3000", false}, {"txtDDLatDD=4997", true}, {"txtDDLongDD=1000", false}}) {
            window.received.clear();
            l.f.typeAll({typing});
            QVERIFY2(!window.received.empty(), typing);
            QCOMPARE(window.received.back().section_(), withSection && carried ? found : QString());
        }
        QVERIFY(!l.f.child("strProgress")->isVisible());
        QVERIFY(!l.f.child("lblPercent")->isVisible());

        l.f.typeInto("txtDDLatD", QStringLiteral("29"));  // a degree away from both sections
        l.f.mouseClick("cmdFindSTR");
        QCOMPARE(l.f.prompter.messageTexts().back(), kNoRecords);
        QCOMPARE(l.f.text("lblTRSres"), QStringLiteral("No Record"));
    }
};

QTEST_MAIN(LookupPageTest)
#include "LookupPageTest.moc"

// The agency database from the windows, against the throwaway cluster: the
// settings window's test in words, a feature written from its window with the
// password asked once per run, a batch run on a server table, the look-ups.

#include "agency/AgencyDatabase.h"
#include "agency/AgencySections.h"
#include "agency/AgencySettings.h"
#include "batch/BatchWindows.h"
#include "features/wpFac.h"
#include "map/MapPanel.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"
#include "conversion/PageFixture.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

using namespace waypost;
using namespace waypost::test;
using namespace Qt::StringLiterals;

namespace {

/// The parts of the test server's connection string ("host=... port=... ...").
QMap<QString, QString> serverParts() {
    QMap<QString, QString> parts;
    for (const QString& pair : qEnvironmentVariable("WAYPOST_TEST_PG").split(u' ', Qt::SkipEmptyParts))
        parts.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    return parts;
}

struct Fixture : TestServices, WindowControls {
    WindowRegistry registry;
    QMap<QString, QString> server = serverParts();
    agency::Connection db{qEnvironmentVariable("WAYPOST_TEST_PG").toStdString()};
    using WindowControls::setWindow;
    explicit Fixture(bool lookUps = false) {
        registerWindows(registry, services);
        agency::saveSettings({QString(), server["host"], server["port"], server["dbname"], server["user"], lookUps});
        agency::setRunPassword(lookUps ? server["password"] : QString());
    }
};

}  // namespace

class AgencyWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(!serverParts().isEmpty(), "run through with_cluster.sh"); }

    // The settings window's Test says in words what it found, asking the password again only after a wrong one.
    void theSettingsWindowTestsInWordsAndAsksForThePasswordOnce() {
        Fixture f;
        f.setWindow(f.registry.show(windowName::frmAgency));
        f.prompter.answerText(u"wrong"_s);
        f.prompter.answerText(f.server["password"]);
        f.click("cmdTest");
        QVERIFY2(f.text("lblVerdict").contains(u"takes Waypost's records"_s), qPrintable(f.text("lblVerdict")));
        QCOMPARE(f.prompter.calls().size(), size_t(2));  // asked again after the wrong one
        f.edit("txtDatabase")->setText(u"plain"_s);
        f.click("cmdTest");
        QVERIFY(f.text("lblVerdict").contains(u"PostGIS is missing"_s));
        QCOMPARE(f.prompter.calls().size(), size_t(2));  // held for the run
        f.click("cmdSave");
        QCOMPARE(agency::savedSettings().database, u"plain"_s);
    }

    // A feature window writes its record (quotes kept); a table of another shape is refused whole, and said so.
    void aFeatureIsWrittenFromItsWindowAndAFailureSaysNothingWasWritten() {
        Fixture f;
        auto* fac = qobject_cast<wpFac*>(f.registry.show(windowName::wpFac));
        f.setWindow(fac);
        f.click("optICS");
        f.child<QComboBox>("cmbfacType")->setCurrentText(u"Helibase"_s);
        f.edit("txtfacName")->setText(u"O'Brien \"North\" Helibase"_s);
        fac->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        f.click("cmdEnableWriteFile");
        f.prompter.answerText(f.server["password"]);
        f.click("cmdAgency");
        f.click("cmdAgency");
        QCOMPARE(f.prompter.messageTexts(), QStringList({u"Written to the agency database: record 1 of \"facilities\"."_s,
                                                         u"Written to the agency database: record 2 of \"facilities\"."_s}));
        QCOMPARE(f.db.run("SELECT name, type, usng, ST_X(geom), ST_Y(geom) FROM facilities WHERE id = 1").at(0),
                 (agency::Row{"O'Brien \"North\" Helibase", "Helibase", "16R GU 61158 70495", "-84.25", "30.5"}));

        f.db.run("DROP TABLE facilities");
        f.db.run("CREATE TABLE facilities (id bigserial PRIMARY KEY, name text)");
        f.click("cmdAgency");
        QVERIFY2(f.prompter.lastMessage().endsWith(u"The record was not written."_s),
                 qPrintable(f.prompter.lastMessage()));
        QCOMPARE(f.db.run("SELECT count(*) FROM facilities").at(0).at(0), std::optional<std::string>("0"));
    }

    // A batch window lists the server's tables and converts one there, never showing the password; its map
    // shows the points read back from the table's new columns. (Their values: AgencyDatabaseTest.)
    void aBatchWindowConvertsATableOfTheAgencyDatabase() {
        Fixture f;
        f.db.run("CREATE TABLE \"calls 2026\" (ref) AS VALUES ('16R GU 61158 70495'), ('17R MK 50392 86534')");
        batch::frmdatabase window(f.services);
        f.setWindow(&window);
        f.prompter.answerText(f.server["password"]);
        f.click("cmdAgencyTables");
        const QList<QListWidgetItem*> found = f.child<QListWidget>("lstTables")->findItems(u"calls 2026"_s, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        found[0]->setCheckState(Qt::Checked);
        f.child<QListWidget>("lstTables")->setCurrentItem(found[0]);
        f.click("cmdFields");
        f.child<QListWidget>("lstFields")->item(0)->setCheckState(Qt::Checked);
        f.child<QListWidget>("lstFields")->setCurrentRow(0);
        QSignalSpy finished(&window, &batch::frmdatabase::runFinished);
        f.click("cmdConUSNG");
        QVERIFY(finished.wait(20000));
        const QString said = f.prompter.lastMessage();
        QVERIFY2(said.startsWith(u"Conversion Complete - 2 Records Converted"_s), qPrintable(said));
        QVERIFY2(!said.contains(f.server["password"]), "the password was shown");
        const MapPoints shown = f.child<MapPanel>("mapPanel")->content().points;
        QVERIFY(shown && shown->size() == 2);
    }

    // A table of the agency database is added to the maps by name, kept
    // without the password, and drawn with this run's.
    void anAgencyTableIsAddedToTheMaps() {
        Fixture f;
        f.db.run("CREATE TABLE fire_lines (id serial PRIMARY KEY, geom geometry(LineString, 4326))");
        f.db.run("INSERT INTO fire_lines (geom) VALUES ('SRID=4326;LINESTRING(-84.3 30.4, -84.2 30.5)')");
        f.db.run("CREATE TABLE \"odd name\" (geom geometry(Point, 4326))");
        testing::PageFixture p;
        QVERIFY(p.show());
        for (const QString& table : {u"public.nowhere"_s, u"public.odd name"_s, u"public.fire_lines"_s}) {
            if (table == u"public.nowhere"_s) p.prompter.answerText(f.server["password"]);
            p.prompter.answerText(table);
            p.click("cmdAgencyLayer");
        }
        const QStringList said = p.prompter.messageTexts();
        QVERIFY(said.value(0).contains(u"no table public.nowhere"_s) && said.value(1).contains(u"a blank"_s));
        auto* map = p.child<MapPanel>("mapPanel");
        QCOMPARE(map->layers().size(), size_t(1));
        const QString source = QString::fromStdString(map->layers()[0]);
        QVERIFY2(source.startsWith(u"PG:"_s) && source.endsWith(u" tables=public.fire_lines"_s), qPrintable(source));
        QVERIFY(!source.contains(f.server["password"]));
        QVERIFY(!layerProblem(map->layers()[0]));  // opened with this run's password
        p.click("cmdClearLayers");
    }

    // With the agency's look-ups chosen: Find STR answers the section whose
    // polygon holds the point, &Convert takes the server's centre, the zip
    // search the server's zip codes; elsewhere this desk's databases answer.
    void theLookUpsAskTheAgencyDatabaseFirstWhenChosen() {
        Fixture f(true);
        agency::loadSections(f.db, {{"T09S R09E S09", -84.2416, 30.50725, 640}},
                             {"SRID=4326;MULTIPOLYGON(((-84.25 30.5,-84.2332 30.5,-84.2332 30.5145,-84.25 30.5145,-84.25 30.5)))"});
        f.db.run("CREATE TABLE zipcodeq (\"ZIP_CODE\", \"City\", state) AS VALUES ('01001', 'Agawam', 'MA')");

        testing::PageFixture p(QStringLiteral(WAYPOST_SOURCE_DIR "/data"));
        QVERIFY(p.choose("optDD"));
        p.typeAll({"txtDDlongD=084", "txtDDLongDD=2450", "txtDDLatD=30", "txtDDLatDD=5050"});
        p.click("cmdFindSTR");
        QVERIFY2(p.text("lblTRSres").startsWith(u"T09S R09E S09 "_s), qPrintable(p.text("lblTRSres")));
        p.typeAll({"txtDDLatD=29"});
        p.click("cmdFindSTR");
        QVERIFY(!p.text("lblTRSres").startsWith(u"T09S"_s));

        QVERIFY(p.choose("optTRS", "optTSouth", "optRangeE"));
        p.typeAll({"txtTown=9", "txtRange=9", "txtSection=9"});
        p.click("cmdTRS2dd");
        QCOMPARE(p.text("lblDDLat"), u"30.507300"_s);  // the server's centre rounded to four decimals
        QVERIFY(p.prompter.messageTexts().filter(u"agency"_s).isEmpty());

        f.setWindow(f.registry.show(windowName::frmGEAddress));
        f.edit("meZip")->setText(u"01001"_s);
        f.child<QPushButton>("cmdZipSearch")->setEnabled(true);
        f.click("cmdZipSearch");
        QCOMPARE(f.edit("txtPacity")->text(), u"Agawam"_s);
    }
};

QTEST_MAIN(AgencyWindowTest)
#include "AgencyWindowTest.moc"

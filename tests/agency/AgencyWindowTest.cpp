// The agency database from the windows, against the throwaway cluster: the
// settings window's test in words, and a feature written from its window with
// the password asked once per run.

#include "agency/AgencyDatabase.h"
#include "agency/AgencySections.h"
#include "agency/AgencySettings.h"
#include "batch/BatchWindows.h"
#include "features/wpFac.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"
#include "shell/frmAgency.h"
#include "conversion/PageFixture.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

using namespace waypost;
using namespace waypost::test;

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
    using WindowControls::setWindow;
    Fixture() {
        registerWindows(registry, services);
        agency::saveSettings({QString(), server["host"], server["port"], server["dbname"], server["user"]});
        agency::setRunPassword(QString());
    }
};

}  // namespace

class AgencyWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(!serverParts().isEmpty(), "run through with_cluster.sh"); }

    void theSettingsWindowTestsInWordsAndAsksForThePasswordOnce() {
        Fixture f;
        auto* window = qobject_cast<frmAgency*>(f.registry.show(windowName::frmAgency));
        f.setWindow(window);
        QCOMPARE(f.text("txtHost"), f.server["host"]);  // the saved settings
        f.prompter.answerText(QStringLiteral("wrong"));
        f.prompter.answerText(f.server["password"]);
        f.click("cmdTest");
        QVERIFY2(f.text("lblVerdict").contains(QStringLiteral("takes Waypost's records")), qPrintable(f.text("lblVerdict")));
        QCOMPARE(f.prompter.calls().size(), size_t(2));  // asked again after the wrong one
        f.edit("txtDatabase")->setText(QStringLiteral("plain"));
        f.click("cmdTest");
        QVERIFY(f.text("lblVerdict").contains(QStringLiteral("PostGIS is missing")));
        QCOMPARE(f.prompter.calls().size(), size_t(2));  // held for the run
        f.click("cmdSave");
        QCOMPARE(agency::savedSettings().database, QStringLiteral("plain"));
    }

    void aFeatureIsWrittenFromItsWindowAndAFailureSaysNothingWasWritten() {
        Fixture f;
        auto* fac = qobject_cast<wpFac*>(f.registry.show(windowName::wpFac));
        f.setWindow(fac);
        f.click("optICS");
        f.child<QComboBox>("cmbfacType")->setCurrentText(QStringLiteral("Helibase"));
        f.edit("txtfacName")->setText(QStringLiteral("O'Brien \"North\" Helibase"));
        fac->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        f.click("cmdEnableWriteFile");
        f.prompter.answerText(f.server["password"]);
        f.click("cmdAgency");
        QCOMPARE(f.prompter.messageTexts(), QStringList{"Written to the agency database: record 1 of \"facilities\"."});
        f.click("cmdAgency");
        QCOMPARE(f.prompter.messageTexts().last(), QStringLiteral("Written to the agency database: record 2 of \"facilities\"."));

        agency::Connection server(qEnvironmentVariable("WAYPOST_TEST_PG").toStdString());
        const agency::Row r = server.run("SELECT name, type, usng, ST_X(geom), ST_Y(geom) FROM facilities WHERE id = 1").at(0);
        QCOMPARE(r, (agency::Row{"O'Brien \"North\" Helibase", "Helibase", "16R GU 61158 70495", "-84.25", "30.5"}));

        // A table of another shape: refused whole, and said so.
        server.run("CREATE TABLE wildfires (id bigserial PRIMARY KEY, name text)");
        f.setWindow(f.registry.show(windowName::frmDBMan));
        f.registry.unload(windowName::wpFac);
        auto* fire = dynamic_cast<FeatureWindow*>(f.registry.existing(windowName::frmDBMan));
        f.edit("txtF_Name")->setText(QStringLiteral("Bear"));
        f.edit("txtInc_num")->setText(QStringLiteral("7"));
        f.child<QComboBox>("cmbfFuel")->setCurrentIndex(0);
        f.child<QComboBox>("cmbfCause")->setCurrentIndex(0);
        f.edit("txtArea")->setText(QStringLiteral("5.00"));
        fire->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        f.click("CmdEnable");
        f.click("cmdAgency");
        QVERIFY2(f.prompter.messageTexts().last().endsWith(QStringLiteral("The record was not written.")),
                 qPrintable(f.prompter.messageTexts().last()));
        QCOMPARE(server.run("SELECT count(*) FROM wildfires").at(0).at(0), std::optional<std::string>("0"));
    }

    void aBatchWindowConvertsATableOfTheAgencyDatabase() {
        Fixture f;
        agency::Connection server(qEnvironmentVariable("WAYPOST_TEST_PG").toStdString());
        server.run("CREATE TABLE \"calls 2026\" (ref text)");
        server.run("INSERT INTO \"calls 2026\" VALUES ('16R GU 61158 70495'), ('17R MK 50392 86534')");
        batch::frmdatabase window(f.services);
        f.setWindow(&window);
        f.prompter.answerText(f.server["password"]);
        f.click("cmdAgencyTables");
        auto* tables = f.child<QListWidget>("lstTables");
        const QList<QListWidgetItem*> found = tables->findItems(QStringLiteral("calls 2026"), Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        found[0]->setCheckState(Qt::Checked);
        tables->setCurrentItem(found[0]);
        f.click("cmdFields");
        f.child<QListWidget>("lstFields")->item(0)->setCheckState(Qt::Checked);
        f.child<QListWidget>("lstFields")->setCurrentRow(0);
        QSignalSpy finished(&window, &batch::frmdatabase::runFinished);
        f.click("cmdConUSNG");
        QVERIFY(finished.wait(20000));
        const QString said = f.prompter.messages().back().text;
        QVERIFY2(said.startsWith(QStringLiteral("Conversion Complete - 2 Records Converted")), qPrintable(said));
        QVERIFY2(!said.contains(f.server["password"]), "the password was shown");
        QCOMPARE(server.run("SELECT count(*) FROM \"calls 2026\" WHERE \"Latitude\" BETWEEN 26 AND 31").at(0).at(0),
                 std::optional<std::string>("2"));
    }

    // With the agency's look-ups chosen: Find STR answers the section whose
    // polygon holds the point, &Convert takes the server's centre, the zip
    // search the server's zip codes; elsewhere this desk's databases answer.
    void theLookUpsAskTheAgencyDatabaseFirstWhenChosen() {
        Fixture f;
        agency::saveSettings({QString(), f.server["host"], f.server["port"], f.server["dbname"], f.server["user"], true});
        agency::setRunPassword(f.server["password"]);
        agency::Connection server(qEnvironmentVariable("WAYPOST_TEST_PG").toStdString());
        agency::loadSections(server, {{"T09S R09E S09", -84.2416, 30.50725, 640}},
                             {"SRID=4326;MULTIPOLYGON(((-84.25 30.5,-84.2332 30.5,-84.2332 30.5145,-84.25 30.5145,-84.25 30.5)))"});
        server.run("CREATE TABLE zipcodeq (\"ZIP_CODE\" text, \"City\" text, state text)");
        server.run("INSERT INTO zipcodeq VALUES ('01001', 'Agawam', 'MA')");

        testing::PageFixture p(QStringLiteral(WAYPOST_SOURCE_DIR "/data"));
        QVERIFY(p.choose("optDD"));
        p.typeAll({"txtDDlongD=084", "txtDDLongDD=2450", "txtDDLatD=30", "txtDDLatDD=5050"});
        p.click("cmdFindSTR");
        QVERIFY2(p.text("lblTRSres").startsWith(QStringLiteral("T09S R09E S09 ")), qPrintable(p.text("lblTRSres")));
        QCOMPARE(p.text("lblPercent"), QStringLiteral("STR found in the agency database"));
        p.typeAll({"txtDDLatD=29"});
        p.click("cmdFindSTR");
        QVERIFY(!p.text("lblTRSres").startsWith(QStringLiteral("T09S")));

        QVERIFY(p.choose("optTRS", "optTSouth", "optRangeE"));
        p.typeAll({"txtTown=9", "txtRange=9", "txtSection=9"});
        p.click("cmdTRS2dd");
        QCOMPARE(p.text("lblDDLat"), QStringLiteral("30.507300"));  // the centre rounded to four decimals
        QCOMPARE(p.text("lblDDLong"), QStringLiteral("-084.241600"));
        QVERIFY(p.prompter.messageTexts().filter(QStringLiteral("agency")).isEmpty());

        auto* address = f.registry.show(windowName::frmGEAddress);
        f.setWindow(address);
        f.edit("meZip")->setText(QStringLiteral("01001"));
        f.child<QPushButton>("cmdZipSearch")->setEnabled(true);
        f.click("cmdZipSearch");
        QCOMPARE(f.edit("txtPacity")->text(), QStringLiteral("Agawam"));
    }
};

QTEST_MAIN(AgencyWindowTest)
#include "AgencyWindowTest.moc"

// The agency database on a throwaway cluster (see with_cluster.sh): records
// written whole or not at all, two desks at once, failures in words. And the
// batch runs on its tables: the answers of the SQLite run, all or nothing, the
// failing record named, a lost connection changing nothing, the points read
// back with GDAL.

#include "agency/AgencyDatabase.h"
#include "batch/ServerRun.h"
#include "database/Database.h"
#include "output/ProjectionFiles.h"
#include "support/Thrown.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <tuple>

using namespace waypost;
using namespace waypost::agency;
using namespace waypost::batch;
using namespace Qt::StringLiterals;
using waypost::test::thrown;

namespace {

std::string server(const char* variable = "WAYPOST_TEST_PG") {
    const char* value = std::getenv(variable);
    if (!value) ADD_FAILURE() << variable << " is not set: run the test through with_cluster.sh";
    return value ? value : "";
}

/// The first value of \p sql's answer ("" for NULL).
std::string value(Connection& c, const std::string& sql, const Parameters& parameters = {}) {
    return c.run(sql, parameters).at(0).at(0).value_or("");
}

const FieldTable kFields{{"Name", "Name", ShapefileWriter::Text, 45},
                         {"Latitude", "Lat", ShapefileWriter::Double},
                         {"Entry Date/Time", "", ShapefileWriter::Text},
                         {"", "EntryDate", ShapefileWriter::Date}};

FieldRow row(const QString& name, const QString& date = u"2026-09-14"_s) { return {name, 30.5, u"09-14-2026"_s, date}; }

const std::vector<std::string> kReferences{"16R GU 63941 77408", "17R MK 50392 86534", "16RGU6394177408", "16R FU 1 2"};

/// A server table \p table of the references, with text columns of latitudes and longitudes.
void makeTable(Connection& c, const std::string& table, const std::vector<std::string>& references) {
    const std::string name = c.quoted(table);
    c.run("DROP TABLE IF EXISTS " + name);
    c.run("CREATE TABLE " + name + " (\"USNG Ref\" text, lat text, lon text)");
    for (std::size_t i = 0; i < references.size(); ++i)
        c.run("INSERT INTO " + name + " VALUES ($1, $2, $3)",
              {references[i], std::to_string(30 + 0.1 * double(i)), std::to_string(84 + 0.1 * double(i))});
}

/// Every test has a connection to the test server.
struct AgencyDatabase : ::testing::Test {
    Connection c{server()};
};
using ServerRun = AgencyDatabase;

}  // namespace

// A record lands with its point, who wrote it and when, in a table whose name needs quoting.
TEST_F(AgencyDatabase, ARecordIsWrittenWithItsPointAndWhoWroteItIntoAQuotedTable) {
    const std::string table = "fire's \"camp\" list";
    EXPECT_GT(writeFeature(c, table, kFields, row(u"Bear & \"Cub\"'s"_s), -84.25, 30.5), 0);
    EXPECT_EQ(c.run("SELECT name, lat, entrydate::text, ST_AsText(geom), ST_SRID(geom), written_by, "
                    "written_at IS NOT NULL FROM " + c.quoted(table)).at(0),
              (Row{"Bear & \"Cub\"'s", "30.5", "2026-09-14", "POINT(-84.25 30.5)", "4326", "waypost", "t"}));
    // The record-file-only text is not a column; the spatial index is there.
    EXPECT_TRUE(c.run("SELECT 1 FROM information_schema.columns WHERE column_name = 'entry date/time'").empty());
    EXPECT_EQ(value(c, "SELECT indexdef LIKE '%gist%' FROM pg_indexes WHERE tablename = $1 AND indexname LIKE '%geom'",
                    {table}), "t");
}

// Two desks writing into the same table at once both land whole.
TEST_F(AgencyDatabase, TwoDesksWritingAtOnceBothLand) {
    const auto desk = [](int n) {
        Connection own(server());
        for (int i = 0; i < 40; ++i) writeFeature(own, "two desks", kFields, row(u"desk %1"_s.arg(n)), -84, 30);
    };
    std::thread a(desk, 1), b(desk, 2);
    a.join();
    b.join();
    EXPECT_EQ(value(c, "SELECT count(*) FROM \"two desks\""), "80");
}

// A failed record, or a commit on a lost connection, leaves nothing written and says why.
TEST_F(AgencyDatabase, AFailedRecordLeavesNothingWrittenAndSaysWhy) {
    const std::string count = "SELECT count(*) FROM \"half written\"";
    writeFeature(c, "half written", kFields, row(u"first"_s), -84, 30);
    const auto refused = thrown<AgencyError>(
        [&] { writeFeature(c, "half written", kFields, row(u"second"_s, u"not a date"_s), -84, 30); });
    EXPECT_TRUE(refused && refused->words().contains(u"not a date"_s))
        << (refused ? refused->what() : "the record was written");
    EXPECT_EQ(value(c, count), "1");

    Connection other(server());
    Transaction open(c);
    c.run("INSERT INTO \"half written\" (name, geom) VALUES ('lost', ST_SetSRID(ST_MakePoint(0, 0), 4326))");
    other.run("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE pid <> pg_backend_pid() AND "
              "datname = current_database() AND state LIKE 'idle in transaction%'");
    const auto lost = thrown<AgencyError>([&] { open.commit(); });
    EXPECT_TRUE(lost && lost->words().contains(u"lost"_s)) << (lost ? lost->what() : "a commit taken for done");
    EXPECT_EQ(value(other, count), "1");
}

// The Test command says what is wrong in words. (A server not reachable: sections_on_server.sh.)
TEST_F(AgencyDatabase, TheTestSaysWhatIsWrongInWords) {
    std::string wrong = server();
    wrong.replace(wrong.find("password="), std::string::npos, "password=wrong");
    for (const auto& [connection, ok, words] :
         {std::tuple{server(), true, "takes Waypost's records"}, std::tuple{wrong, false, "authentication failed"},
          std::tuple{server("WAYPOST_TEST_PG_PLAIN"), false, "PostGIS is missing"},
          std::tuple{server("WAYPOST_TEST_PG_CLERK"), false, "no permission"}}) {
        const Verdict verdict = testConnection(connection);
        EXPECT_EQ(verdict.ok, ok) << words;
        EXPECT_TRUE(verdict.words.contains(QLatin1String(words), Qt::CaseInsensitive)) << verdict.words.toStdString();
    }
}

// The settings quote their values and never hold a password. (The password
// given for a run goes into the connection: AgencyWindowTest.)
TEST_F(AgencyDatabase, SettingsQuoteTheirValuesAndNeverHoldAPassword) {
    ConnectionSettings s;
    s.host = u"db host"_s;
    s.user = u"o'neil\\x"_s;
    EXPECT_EQ(s.connectionString(), "host='db host' user='o\\'neil\\\\x' connect_timeout='5' application_name='Waypost'");
}

// A table whose name needs quoting has its columns listed; a run gives the
// answers of the SQLite run, a second one the ux columns, a third is refused.
// Latitude and longitude to references forces the hemispheres as the SQLite
// run does. (The table listed: AgencyWindowTest.)
TEST_F(ServerRun, UsngToLatLongGivesTheAnswersOfTheSqliteRun) {
    const std::string table = "fire \"calls\" 2026";
    const QString name = QString::fromStdString(table), field = u"USNG Ref"_s;
    makeTable(c, table, kReferences);
    EXPECT_EQ(serverColumns(server(), name), (QStringList{"USNG Ref", "lat", "lon"}));
    EXPECT_THROW(serverColumns(server(), u"no such table"_s), RunError);
    EXPECT_EQ(convertUsngToLatLongOnServer(server(), name, field).records, 4);

    QTemporaryDir dir;
    const QString sqlite = dir.filePath(u"calls.sqlite"_s);
    database::Database db(sqlite.toStdString(), database::Database::Mode::Create);
    db.execute("CREATE TABLE calls (ref TEXT)");
    for (const std::string& r : kReferences) db.prepare("INSERT INTO calls VALUES (?)").bind(1, r).run();
    convertUsngToLatLong(sqlite, u"calls"_s, u"ref"_s);
    database::Statement expected = db.prepare("SELECT Latitude, Longitude FROM calls ORDER BY rowid");
    for (const Row& r : c.run("SELECT \"Latitude\", \"Longitude\" FROM " + c.quoted(table) + " ORDER BY ctid")) {
        ASSERT_TRUE(expected.step());
        EXPECT_DOUBLE_EQ(std::stod(*r.at(0)), expected.columnDouble(0));
        EXPECT_DOUBLE_EQ(std::stod(*r.at(1)), expected.columnDouble(1));
    }
    EXPECT_EQ(convertUsngToLatLongOnServer(server(), name, field).latitudeColumn, u"uxLatitude"_s);
    EXPECT_THROW(convertUsngToLatLongOnServer(server(), name, field), RunError);

    EXPECT_EQ(convertLatLongToUsngOnServer(server(), name, u"lat"_s, u"lon"_s, Hemispheres{}).records, 4);
    for (const Row& r : c.run("SELECT \"USNGCoord\", lat, lon FROM " + c.quoted(table) + " ORDER BY ctid"))
        EXPECT_EQ(r.at(0), std::optional<std::string>(referenceOfRecord(1, r.at(1), r.at(2), Hemispheres{})));
}

// A refused record is named, and the table is as it was. (Nothing was changed, said: the lost connection below.)
TEST_F(ServerRun, ARefusedRecordIsNamedAndTheTableIsAsItWas) {
    makeTable(c, "refused", {"16R GU 63941 77408", "17R MK 50392 86534", "not a reference", "16R GU 1 1"});
    const auto refused = thrown<RunError>([] { convertUsngToLatLongOnServer(server(), u"refused"_s, u"USNG Ref"_s); });
    ASSERT_TRUE(refused) << "a bad reference was converted";
    EXPECT_EQ(refused->record(), 3);
    EXPECT_TRUE(refused->message().contains(u"\"not a reference\""_s)) << refused->what();
    EXPECT_EQ(value(c, "SELECT count(*) FROM information_schema.columns WHERE table_name = 'refused'"), "3");
}

// A connection lost in the middle of a run changes nothing, and says so.
TEST_F(ServerRun, ALostConnectionInTheMiddleChangesNothing) {
    c.run("DROP TABLE IF EXISTS big");
    c.run("CREATE TABLE big AS SELECT '16R GU 63941 77408'::text AS ref FROM generate_series(1, 1500000)");
    RunCounter done{0};
    std::thread cut([&] {
        while (done.load() == 0) std::this_thread::yield();
        Connection other(server());
        other.run("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE pid <> pg_backend_pid() AND "
                  "datname = current_database() AND query LIKE '%waypost\\_r%'");
    });
    const auto failure = thrown<RunError>([&] { convertUsngToLatLongOnServer(server(), u"big"_s, u"ref"_s, &done); });
    EXPECT_TRUE(failure && failure->message().contains(u"Nothing was changed"_s))
        << (failure ? failure->what() : "the run ended as if complete");
    cut.join();
    EXPECT_EQ(value(c, "SELECT count(*) FROM information_schema.columns WHERE table_name = 'big'"), "1");
}

// A server table's points, named after the table, read back with GDAL; a shapefile's .prj; no leftovers.
TEST_F(ServerRun, ThePointsOfAServerTableReadBackWithGdal) {
    makeTable(c, "fire calls", kReferences);
    convertUsngToLatLongOnServer(server(), u"fire calls"_s, u"USNG Ref"_s);
    const double longitude = std::stod(value(c, "SELECT \"Longitude\" FROM \"fire calls\" ORDER BY ctid LIMIT 1"));
    QTemporaryDir dir;
    GDALAllRegister();
    for (const PointFormat format : {PointFormat::Shapefile, PointFormat::GeoPackage}) {
        const QString file =
            writeServerTablePoints(server(), u"fire calls"_s, u"Latitude"_s, u"Longitude"_s, format, dir.path());
        EXPECT_EQ(QFileInfo(file).completeBaseName(), u"fire calls"_s);
        GDALDatasetUniquePtr ds(GDALDataset::Open(file.toUtf8().constData(), GDAL_OF_VECTOR));
        ASSERT_TRUE(ds) << file.toStdString();
        OGRLayer* layer = ds->GetLayer(0);
        EXPECT_EQ(layer->GetFeatureCount(), 4);
        OGRFeatureUniquePtr first(layer->GetNextFeature());
        EXPECT_NEAR(first->GetGeometryRef()->toPoint()->getX(), longitude, 1e-9);
        EXPECT_EQ(std::string(first->GetFieldAsString(first->GetFieldIndex("USNG Ref"))), kReferences[0]);
    }
    QFile prj(dir.filePath(u"fire calls.prj"_s));
    ASSERT_TRUE(prj.open(QIODevice::ReadOnly));
    EXPECT_EQ(prj.readAll(), QByteArray(kWgs84Projection) + "\r\n");
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .filter(u".waypost"_s).isEmpty());
}

// The batch runs on a table of the agency database (a throwaway cluster, see
// with_cluster.sh): the same answers as on a SQLite table, all or nothing, the
// failing record named, a lost connection changing nothing, the points read
// back with GDAL.

#include "agency/AgencyDatabase.h"
#include "batch/ServerRun.h"
#include "database/Database.h"
#include "output/ProjectionFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

using namespace waypost;
using namespace waypost::batch;

namespace {

std::string server() {
    const char* value = std::getenv("WAYPOST_TEST_PG");
    if (!value) ADD_FAILURE() << "WAYPOST_TEST_PG is not set: run the test through with_cluster.sh";
    return value ? value : "";
}

const std::vector<std::string> kReferences{"16R GU 63941 77408", "17R MK 50392 86534", "16RGU6394177408", "16R FU 1 2"};

/// A server table \p table of the references (and a text column of latitudes and longitudes).
void makeTable(agency::Connection& c, const std::string& table, const std::vector<std::string>& references) {
    const std::string name = c.quoted(table);
    c.run("DROP TABLE IF EXISTS " + name);
    c.run("CREATE TABLE " + name + " (\"USNG Ref\" text, lat text, lon text)");
    for (std::size_t i = 0; i < references.size(); ++i)
        c.run("INSERT INTO " + name + " VALUES ($1, $2, $3)",
              {references[i], std::to_string(30 + 0.1 * double(i)), std::to_string(84 + 0.1 * double(i))});
}

std::vector<agency::Row> rows(agency::Connection& c, const std::string& sql) { return c.run(sql); }

}  // namespace

TEST(ServerRun, UsngToLatLongGivesTheAnswersOfTheSqliteRunInOneTransaction) {
    agency::Connection c(server());
    const std::string table = "fire \"calls\" 2026";
    makeTable(c, table, kReferences);
    const RunResult result = convertUsngToLatLongOnServer(server(), QString::fromStdString(table), QStringLiteral("USNG Ref"));
    EXPECT_EQ(result.records, 4);
    EXPECT_EQ(result.outputColumns, QStringLiteral("Latitude, Longitude"));

    // The same records through the SQLite run.
    QTemporaryDir dir;
    const std::string sqlite = dir.filePath(QStringLiteral("calls.sqlite")).toStdString();
    {
        database::Database db(sqlite, database::Database::Mode::Create);
        db.execute("CREATE TABLE calls (ref TEXT)");
        for (const std::string& r : kReferences) db.prepare("INSERT INTO calls VALUES (?)").bind(1, r).run();
    }
    convertUsngToLatLong(QString::fromStdString(sqlite), QStringLiteral("calls"), QStringLiteral("ref"));
    database::Database db(sqlite, database::Database::Mode::ReadOnly);
    database::Statement expected = db.prepare("SELECT Latitude, Longitude FROM calls ORDER BY rowid");
    for (const agency::Row& row : rows(c, "SELECT \"Latitude\", \"Longitude\" FROM " + c.quoted(table) + " ORDER BY ctid")) {
        ASSERT_TRUE(expected.step());
        EXPECT_DOUBLE_EQ(std::stod(*row.at(0)), expected.columnDouble(0));
        EXPECT_DOUBLE_EQ(std::stod(*row.at(1)), expected.columnDouble(1));
    }
    // A second run takes the ux columns; a third is refused.
    EXPECT_EQ(convertUsngToLatLongOnServer(server(), QString::fromStdString(table), QStringLiteral("USNG Ref")).latitudeColumn,
              QStringLiteral("uxLatitude"));
    try {
        convertUsngToLatLongOnServer(server(), QString::fromStdString(table), QStringLiteral("USNG Ref"));
        ADD_FAILURE() << "a third run was taken";
    } catch (const RunError& refused) {
        EXPECT_EQ(refused.message(), kPreviousUsngToLatLong);
    }
}

TEST(ServerRun, ARefusedRecordIsNamedAndTheTableIsAsItWas) {
    agency::Connection c(server());
    makeTable(c, "refused", {"16R GU 63941 77408", "17R MK 50392 86534", "not a reference", "16R GU 1 1"});
    try {
        convertUsngToLatLongOnServer(server(), QStringLiteral("refused"), QStringLiteral("USNG Ref"));
        ADD_FAILURE() << "a bad reference was converted";
    } catch (const RunError& refused) {
        EXPECT_EQ(refused.record(), 3);
        EXPECT_TRUE(refused.message().contains(QStringLiteral("\"not a reference\""))) << refused.what();
        EXPECT_TRUE(refused.message().contains(QStringLiteral("Nothing was changed"))) << refused.what();
    }
    EXPECT_EQ(rows(c, "SELECT count(*) FROM information_schema.columns WHERE table_name = 'refused'").at(0).at(0),
              std::optional<std::string>("3"));
}

TEST(ServerRun, LatLongToUsngForcesTheHemispheres) {
    agency::Connection c(server());
    makeTable(c, "positions", {"a", "b"});
    const RunResult result = convertLatLongToUsngOnServer(server(), QStringLiteral("positions"), QStringLiteral("lat"),
                                                          QStringLiteral("lon"), Hemispheres{true, true});
    EXPECT_EQ(result.records, 2);
    const std::vector<agency::Row> got = rows(c, "SELECT \"USNGCoord\", lat, lon FROM positions ORDER BY ctid");
    for (const agency::Row& row : got)
        EXPECT_EQ(row.at(0), std::optional<std::string>(referenceOfRecord(1, row.at(1), row.at(2), Hemispheres{true, true})));
}

TEST(ServerRun, ALostConnectionInTheMiddleChangesNothing) {
    agency::Connection c(server());
    c.run("DROP TABLE IF EXISTS big");
    c.run("CREATE TABLE big AS SELECT '16R GU 63941 77408'::text AS ref FROM generate_series(1, 1500000)");
    RunCounter done{0};
    std::thread cut([&] {
        while (done.load() == 0) std::this_thread::yield();
        agency::Connection other(server());
        other.run("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE pid <> pg_backend_pid() AND "
                  "datname = current_database() AND query LIKE '%waypost\\_r%'");
    });
    try {
        convertUsngToLatLongOnServer(server(), QStringLiteral("big"), QStringLiteral("ref"), &done);
        ADD_FAILURE() << "the run ended as if complete";
    } catch (const RunError& failure) {
        EXPECT_TRUE(failure.message().contains(QStringLiteral("Nothing was changed"))) << failure.what();
    }
    cut.join();
    EXPECT_EQ(rows(c, "SELECT count(*) FROM information_schema.columns WHERE table_name = 'big'").at(0).at(0),
              std::optional<std::string>("1"));
}

TEST(ServerRun, ThePointsOfAServerTableReadBackWithGdal) {
    agency::Connection c(server());
    const std::string table = "fire calls";
    makeTable(c, table, kReferences);
    convertUsngToLatLongOnServer(server(), QString::fromStdString(table), QStringLiteral("USNG Ref"));
    QTemporaryDir dir;
    for (const PointFormat format : {PointFormat::Shapefile, PointFormat::GeoPackage}) {
        const QString file = writeServerTablePoints(server(), QString::fromStdString(table), QStringLiteral("Latitude"),
                                                    QStringLiteral("Longitude"), format, dir.path());
        EXPECT_EQ(QFileInfo(file).completeBaseName(), QStringLiteral("fire calls"));
        GDALAllRegister();
        GDALDatasetUniquePtr ds(GDALDataset::Open(file.toUtf8().constData(), GDAL_OF_VECTOR));
        ASSERT_TRUE(ds) << file.toStdString();
        OGRLayer* layer = ds->GetLayer(0);
        EXPECT_EQ(layer->GetFeatureCount(), 4);
        OGRFeatureUniquePtr first(layer->GetNextFeature());
        EXPECT_NEAR(first->GetGeometryRef()->toPoint()->getX(), std::stod(*rows(c, "SELECT \"Longitude\" FROM " +
                                                                                       c.quoted(table) + " ORDER BY ctid LIMIT 1").at(0).at(0)), 1e-9);
        EXPECT_EQ(std::string(first->GetFieldAsString(first->GetFieldIndex("USNG Ref"))), kReferences[0]);
    }
    QFile prj(dir.filePath(QStringLiteral("fire calls.prj")));
    ASSERT_TRUE(prj.open(QIODevice::ReadOnly));
    EXPECT_EQ(prj.readAll(), QByteArray(kWgs84Projection) + "\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).filter(QStringLiteral(".waypost")),
              QStringList());
}

TEST(ServerRun, TheTablesOfTheServerAreListed) {
    agency::Connection c(server());
    makeTable(c, "listed table", {"a"});
    EXPECT_TRUE(serverTables(server()).contains(QStringLiteral("listed table")));
    EXPECT_EQ(serverColumns(server(), QStringLiteral("listed table")), (QStringList{"USNG Ref", "lat", "lon"}));
    EXPECT_THROW(serverColumns(server(), QStringLiteral("no such table")), RunError);
}

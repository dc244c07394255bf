// The agency database on a throwaway cluster (see with_cluster.sh): records
// written whole or not at all, two desks at once, failures in words.

#include "agency/AgencyDatabase.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

using namespace waypost;
using namespace waypost::agency;

namespace {

std::string server(const char* variable = "WAYPOST_TEST_PG") {
    const char* value = std::getenv(variable);
    if (!value) ADD_FAILURE() << variable << " is not set: run the test through with_cluster.sh";
    return value ? value : "";
}

const FieldTable kFields{{"Name", "Name", ShapefileWriter::Text, 45},
                         {"Latitude", "Lat", ShapefileWriter::Double},
                         {"Entry Date/Time", "", ShapefileWriter::Text},
                         {"", "EntryDate", ShapefileWriter::Date}};

FieldRow row(const QString& name, const QString& date = QStringLiteral("2026-09-14")) {
    return {name, 30.5, QStringLiteral("09-14-2026"), date};
}

std::string count(Connection& c, const std::string& table) {
    return c.run("SELECT count(*) FROM " + c.quoted(table)).at(0).at(0).value_or("");
}

}  // namespace

TEST(AgencyDatabase, ARecordIsWrittenWithItsPointAndWhoWroteItIntoAQuotedTable) {
    Connection c(server());
    const std::string table = "fire's \"camp\" list";
    const long long id = writeFeature(c, table, kFields, row(QStringLiteral("Bear & \"Cub\"'s")), -84.25, 30.5);
    EXPECT_GT(id, 0);
    const Row r = c.run("SELECT name, lat, entrydate::text, ST_AsText(geom), ST_SRID(geom), written_by, "
                        "written_at IS NOT NULL FROM " + c.quoted(table)).at(0);
    EXPECT_EQ(r, (Row{"Bear & \"Cub\"'s", "30.5", "2026-09-14", "POINT(-84.25 30.5)", "4326", "waypost", "t"}));
    // The record-file-only text is not a column; the spatial index is there.
    EXPECT_TRUE(c.run("SELECT 1 FROM information_schema.columns WHERE column_name = 'entry date/time'").empty());
    EXPECT_EQ(c.run("SELECT indexdef LIKE '%gist%' FROM pg_indexes WHERE tablename = $1 AND indexname LIKE '%geom'",
                    {table}).at(0).at(0), std::optional<std::string>("t"));
}

TEST(AgencyDatabase, TwoDesksWritingAtOnceBothLand) {
    const std::string table = "two desks";
    const auto desk = [&](int n) {
        Connection c(server());
        for (int i = 0; i < 40; ++i) writeFeature(c, table, kFields, row(QStringLiteral("desk %1").arg(n)), -84, 30);
    };
    std::thread a(desk, 1), b(desk, 2);
    a.join();
    b.join();
    Connection c(server());
    EXPECT_EQ(count(c, table), "80");
}

TEST(AgencyDatabase, AFailedRecordLeavesNothingWrittenAndSaysWhy) {
    Connection c(server());
    const std::string table = "half written";
    writeFeature(c, table, kFields, row(QStringLiteral("first")), -84, 30);
    try {
        writeFeature(c, table, kFields, row(QStringLiteral("second"), QStringLiteral("not a date")), -84, 30);
        ADD_FAILURE() << "a date that is no date was written";
    } catch (const AgencyError& failure) {
        EXPECT_TRUE(failure.words().contains(QStringLiteral("not a date"))) << failure.what();
    }
    EXPECT_EQ(count(c, table), "1");

    // A connection lost in the middle: the server rolls back.
    Connection other(server());
    Transaction open(c);
    c.run("INSERT INTO " + c.quoted(table) + " (name, geom) VALUES ('lost', ST_SetSRID(ST_MakePoint(0, 0), 4326))");
    other.run("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE pid <> pg_backend_pid() AND "
              "datname = current_database() AND state LIKE 'idle in transaction%'");
    try {
        open.commit();
        ADD_FAILURE() << "a commit on a lost connection was taken for done";
    } catch (const AgencyError& failure) {
        EXPECT_TRUE(failure.words().contains(QStringLiteral("lost"))) << failure.what();
    }
    EXPECT_EQ(count(other, table), "1");
}

TEST(AgencyDatabase, TheTestSaysWhatIsWrongInWords) {
    std::string wrong = server();
    wrong.replace(wrong.find("password="), std::string::npos, "password=wrong");
    std::string nowhere = server();
    nowhere.replace(0, nowhere.find(' '), "host=/nonexistent");
    const struct {
        std::string connection;
        bool ok;
        const char* words;
    } cases[] = {
        {server(), true, "takes Waypost's records"},
        {wrong, false, "authentication failed"},
        {nowhere, false, "not reachable"},
        {server("WAYPOST_TEST_PG_PLAIN"), false, "PostGIS is missing"},
        {server("WAYPOST_TEST_PG_CLERK"), false, "no permission"},
    };
    for (const auto& c : cases) {
        const Verdict verdict = testConnection(c.connection);
        EXPECT_EQ(verdict.ok, c.ok) << c.words;
        EXPECT_TRUE(verdict.words.contains(QLatin1String(c.words), Qt::CaseInsensitive)) << verdict.words.toStdString();
    }
}

TEST(AgencyDatabase, SettingsQuoteTheirValuesAndNeverHoldAPassword) {
    ConnectionSettings s;
    s.host = QStringLiteral("db host");
    s.user = QStringLiteral("o'neil\\x");
    EXPECT_EQ(s.connectionString(), "host='db host' user='o\\'neil\\\\x' connect_timeout='5' application_name='Waypost'");
    EXPECT_NE(s.connectionString(QStringLiteral("pw")).find("password='pw'"), std::string::npos);
}

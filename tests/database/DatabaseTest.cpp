#include "database/Database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <tuple>

namespace {

using namespace waypost::database;

// Each test works in a fresh folder of its own, removed again afterwards.
class DatabaseTest : public ::testing::Test {
protected:
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
        ("waypost-db-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    DatabaseTest() { std::filesystem::remove_all(folder); std::filesystem::create_directories(folder); }
    ~DatabaseTest() override { std::filesystem::remove_all(folder); }
    std::string file(const std::string& name) const { return (folder / name).string(); }
};

// Quoted names and bound values round-trip whatever their blanks and quotes; the schema lists tables in the
// order they were made and columns with their declared types.
TEST_F(DatabaseTest, NamesAndValuesWithQuotesRoundTripAndTheSchemaIsListed) {
    Database db(file("a.sqlite"), Database::Mode::Create);
    const std::string table = quoteIdentifier("my \"big\" table"), column = quoteIdentifier("Fire Name");
    db.execute("CREATE TABLE " + table + " (" + column + " TEXT, \"Acres\" DECIMAL(7,4), n);"
               "CREATE TABLE \"Alpha Table\" (a); CREATE INDEX zi ON \"Alpha Table\" (a)");
    const std::string value = "O'Brien \"Camp\"; DROP TABLE x; --";
    Statement insert = db.prepare("INSERT INTO " + table + " VALUES (:name, ?2, 1)");
    insert.bind(":name", value).bind(2, 12.5).run();
    insert.reset();
    insert.bind(":name", "second").bindNull(2).run();
    EXPECT_THROW(insert.bind(":nobody", 1), DatabaseError);

    Statement read = db.prepare("SELECT * FROM " + table + " WHERE " + column + " = ?");
    ASSERT_TRUE(read.bind(1, value).step());
    EXPECT_EQ(std::pair(read.columnText(0), read.columnDouble(1)), std::pair(value, 12.5));
    read.reset();
    ASSERT_TRUE(read.bind(1, "second").step());
    EXPECT_FALSE(read.columnOptionalDouble(1).has_value());

    EXPECT_EQ(db.userTables(), (std::vector<std::string>{"my \"big\" table", "Alpha Table"}));
    const auto columns = db.tableColumns("my \"big\" table");
    ASSERT_EQ(columns.size(), 3U);
    EXPECT_EQ(std::tie(columns[0].name, columns[1].declaredType, columns[2].declaredType),
              std::tie("Fire Name", "DECIMAL(7,4)", ""));
    EXPECT_TRUE(db.hasTable("ALPHA TABLE"));
    EXPECT_THROW((void)db.tableColumns("missing"), DatabaseError);
}

// A transaction left by an exception leaves nothing written; a committed one keeps its rows.
TEST_F(DatabaseTest, TransactionRollsBackUnlessCommitted) {
    Database db(file("t.sqlite"), Database::Mode::Create);
    db.execute("CREATE TABLE t (v INTEGER)");
    for (const bool commit : {false, true}) {
        try {
            Transaction transaction(db);
            db.execute("INSERT INTO t VALUES (1)");
            if (!commit) throw std::runtime_error("record 2 failed");
            transaction.commit();
        } catch (const std::runtime_error&) {
        }
        Statement count = db.prepare("SELECT count(*) FROM t");
        ASSERT_TRUE(count.step());
        EXPECT_EQ(count.columnInt(0), commit ? 1 : 0);
    }
}

// Each failure names the file and gives SQLite's reason; an empty file is a new database; a read creates nothing.
TEST_F(DatabaseTest, FailuresNameTheFileAndSqlitesReason) {
    Database(file("r.sqlite"), Database::Mode::Create).execute("CREATE TABLE t (v)");
    std::ofstream(file("notes.sqlite")) << "this is a text file, not a database, and rather long for one\n";
    std::ofstream(file("empty.sqlite"));
    // The file, how it is opened, the SQL run on it, part of the reason.
    const std::tuple<std::string, Database::Mode, std::string, std::string> cases[] = {
        {file("missing.sqlite"), Database::Mode::ReadOnly, "", "does not exist"},
        {file("notes.sqlite"), Database::Mode::ReadOnly, "", "not a database"},
        {file("r.sqlite"), Database::Mode::ReadOnly, "INSERT INTO t VALUES (1)", "readonly"},
        {file("r.sqlite"), Database::Mode::ReadWrite, "SELECT nonsense FROM t", "no such column"}};
    for (const auto& [path, mode, sql, reason] : cases) {
        try {
            Database db(path, mode);
            if (!sql.empty()) db.execute(sql);
            ADD_FAILURE() << "no error: " << path << " " << sql;
        } catch (const DatabaseError& error) {
            EXPECT_EQ(error.file(), path);
            EXPECT_NE(error.reason().find(reason), std::string::npos) << error.reason();
            EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
        }
    }
    EXPECT_TRUE(Database(file("empty.sqlite"), Database::Mode::ReadOnly).userTables().empty());
    EXPECT_FALSE(std::filesystem::exists(file("missing.sqlite")));
}

}  // namespace

#include "database/Database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <tuple>

namespace {

using namespace waypost::database;

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string file(const std::string& name) const { return (folder / name).string(); }

    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
        ("waypost-db-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
};

TEST_F(DatabaseTest, NamesWithBlanksAndQuotesAndValuesWithQuotesRoundTrip) {
    Database db(file("a.sqlite"), Database::Mode::Create);
    const std::string table = quoteIdentifier("my \"big\" table"), column = quoteIdentifier("Fire Name");
    db.execute("CREATE TABLE " + table + " (" + column + " TEXT, \"Acres\" REAL)");
    const std::string value = "O'Brien \"Camp\"; DROP TABLE x; --";
    Statement insert = db.prepare("INSERT INTO " + table + " VALUES (:name, ?2)");
    insert.bind(":name", value).bind(2, 12.5).run();
    insert.reset();
    insert.bind(":name", "second").bindNull(2).run();

    Statement read = db.prepare("SELECT * FROM " + table + " WHERE " + column + " = ?");
    read.bind(1, value);
    ASSERT_TRUE(read.step());
    EXPECT_EQ(read.columnText(0), value);
    EXPECT_DOUBLE_EQ(read.columnDouble(1), 12.5);
    EXPECT_FALSE(read.step());
    read.reset();
    read.bind(1, "second");
    ASSERT_TRUE(read.step());
    EXPECT_FALSE(read.columnOptionalDouble(1).has_value());

    EXPECT_THROW(insert.bind(":nobody", 1), DatabaseError);
}

TEST_F(DatabaseTest, SchemaListsTablesInCreationOrderAndColumnsWithTypes) {
    Database db(file("s.sqlite"), Database::Mode::Create);
    db.execute("CREATE TABLE zeta (a TEXT); CREATE TABLE \"Alpha Table\" (\"Lat\" REAL, \"Long\" DECIMAL(7,4), n);"
               "CREATE INDEX zi ON zeta (a)");
    EXPECT_EQ(db.userTables(), (std::vector<std::string>{"zeta", "Alpha Table"}));
    const auto columns = db.tableColumns("Alpha Table");
    ASSERT_EQ(columns.size(), 3U);
    EXPECT_EQ(columns[0].name, "Lat");
    EXPECT_EQ(columns[1].declaredType, "DECIMAL(7,4)");
    EXPECT_EQ(columns[2].declaredType, "");
    EXPECT_TRUE(db.hasTable("ZETA"));
    EXPECT_THROW((void)db.tableColumns("missing"), DatabaseError);
}

TEST_F(DatabaseTest, TransactionRollsBackUnlessCommitted) {
    Database db(file("t.sqlite"), Database::Mode::Create);
    db.execute("CREATE TABLE t (v INTEGER)");
    const auto count = [&] {
        Statement c = db.prepare("SELECT count(*) FROM t");
        c.step();
        return c.columnInt(0);
    };
    try {
        Transaction transaction(db);
        db.execute("INSERT INTO t VALUES (1)");
        throw std::runtime_error("record 2 failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(count(), 0);
    {
        Transaction transaction(db);
        db.execute("INSERT INTO t VALUES (1)");
        transaction.commit();
    }
    EXPECT_EQ(count(), 1);
}

TEST_F(DatabaseTest, FailuresNameTheFileAndSqlitesReason) {
    Database(file("r.sqlite"), Database::Mode::Create).execute("CREATE TABLE t (v)");
    std::ofstream(file("notes.sqlite")) << "this is a text file, not a database, and rather long for one\n";
    std::ofstream(file("empty.sqlite"));
    // The file, how it is opened, the SQL run on it, part of the reason.
    const std::tuple<std::string, Database::Mode, std::string, std::string> cases[] = {
        {file("missing.sqlite"), Database::Mode::ReadOnly, "", "does not exist"},
        {file("missing.sqlite"), Database::Mode::ReadWrite, "", "does not exist"},
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
    // An empty file is a new, empty database; a missing one is not created by a read.
    EXPECT_TRUE(Database(file("empty.sqlite"), Database::Mode::ReadOnly).userTables().empty());
    EXPECT_FALSE(std::filesystem::exists(file("missing.sqlite")));
}

}  // namespace

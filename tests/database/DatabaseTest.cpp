#include "database/Database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

using waypost::database::Database;
using waypost::database::DatabaseError;
using waypost::database::Statement;
using waypost::database::Transaction;

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("waypost-db-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string file(const std::string& name) const { return (folder / name).string(); }

    std::filesystem::path folder;
};

TEST_F(DatabaseTest, NamesWithBlanksAndQuotesAndValuesWithQuotesRoundTrip) {
    Database db(file("a.sqlite"), Database::Mode::Create);
    const std::string table = "my \"big\" table";
    const std::string column = "Fire Name";
    db.execute("CREATE TABLE " + waypost::database::quoteIdentifier(table) + " (" +
               waypost::database::quoteIdentifier(column) + " TEXT, \"Acres\" REAL)");
    const std::string value = "O'Brien \"Camp\"; DROP TABLE x; --";
    Statement insert = db.prepare("INSERT INTO " + waypost::database::quoteIdentifier(table) + " VALUES (:name, ?2)");
    insert.bind(":name", value).bind(2, 12.5);
    insert.run();
    insert.reset();
    insert.bind(":name", "second").bindNull(2);
    insert.run();

    Statement read = db.prepare("SELECT * FROM " + waypost::database::quoteIdentifier(table) + " WHERE " +
                                waypost::database::quoteIdentifier(column) + " = ?");
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
    {
        Database db(file("r.sqlite"), Database::Mode::Create);
        db.execute("CREATE TABLE t (v)");
    }
    std::ofstream(file("notes.sqlite")) << "this is a text file, not a database, and rather long for one\n";
    std::ofstream(file("empty.sqlite"));

    struct Case {
        std::string path;
        Database::Mode mode;
        std::string sql;
        std::string reason;  // part of the message
    };
    const Case cases[] = {
        {file("missing.sqlite"), Database::Mode::ReadOnly, "", "does not exist"},
        {file("missing.sqlite"), Database::Mode::ReadWrite, "", "does not exist"},
        {file("notes.sqlite"), Database::Mode::ReadOnly, "", "not a database"},
        {file("r.sqlite"), Database::Mode::ReadOnly, "INSERT INTO t VALUES (1)", "readonly"},
        {file("r.sqlite"), Database::Mode::ReadWrite, "SELECT nonsense FROM t", "no such column"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + c.sql);
        try {
            Database db(c.path, c.mode);
            if (!c.sql.empty()) db.execute(c.sql);
            ADD_FAILURE() << "no error";
        } catch (const DatabaseError& error) {
            EXPECT_EQ(error.file(), c.path);
            EXPECT_NE(error.reason().find(c.reason), std::string::npos) << error.reason();
            EXPECT_NE(std::string(error.what()).find(c.path), std::string::npos);
        }
    }
    // An empty file is a new, empty database; a missing one is not created by a read.
    EXPECT_TRUE(Database(file("empty.sqlite"), Database::Mode::ReadOnly).userTables().empty());
    EXPECT_FALSE(std::filesystem::exists(file("missing.sqlite")));
}

}  // namespace

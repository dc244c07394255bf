#pragma once
// Small section databases for one test, in a folder of its own.

#include "database/Database.h"
#include "plss/SectionLookup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace waypost::plss::test {

struct CentreRow {
    std::string key;
    double longitude;
    double latitude;
    std::optional<double> acres;  ///< no acreage row when absent
};

class PlssFixture : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("waypost-plss-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    /// The three databases holding \p rows (in this order).
    SectionDatabases databases(const std::vector<CentreRow>& rows) const {
        const SectionDatabases files = SectionDatabases::in(folder);
        for (const auto& path : {files.centres, files.search}) {
            database::Database db(path.string(), database::Database::Mode::Create);
            db.execute("CREATE TABLE PLSS (TRS TEXT, LONGITUDE REAL, LATITUDE REAL)");
            database::Statement insert = db.prepare("INSERT INTO PLSS VALUES (?, ?, ?)");
            for (const CentreRow& row : rows) {
                insert.reset();
                insert.bind(1, row.key).bind(2, row.longitude).bind(3, row.latitude).run();
            }
        }
        database::Database acres(files.acres.string(), database::Database::Mode::Create);
        acres.execute("CREATE TABLE kova_Acres (TRS TEXT, ACRES REAL)");
        database::Statement insert = acres.prepare("INSERT INTO kova_Acres VALUES (?, ?)");
        for (const CentreRow& row : rows) {
            if (!row.acres) continue;
            insert.reset();
            insert.bind(1, row.key).bind(2, *row.acres).run();
        }
        return files;
    }

    std::filesystem::path folder;
};

}  // namespace waypost::plss::test

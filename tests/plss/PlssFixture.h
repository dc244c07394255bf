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
    double longitude, latitude;
    std::optional<double> acres;  ///< no acreage row when absent
};

class PlssFixture : public ::testing::Test {
protected:
    void SetUp() override { makeFolder(); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    void makeFolder() {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }

    /// The three databases holding \p rows (in this order), in an emptied folder.
    SectionDatabases databases(const std::vector<CentreRow>& rows) {
        makeFolder();
        const SectionDatabases files = SectionDatabases::in(folder);
        for (const auto& path : {files.centres, files.search, files.acres}) {
            const bool acres = path == files.acres;
            database::Database db(path.string(), database::Database::Mode::Create);
            db.execute(acres ? "CREATE TABLE kova_Acres (TRS TEXT, ACRES REAL)"
                             : "CREATE TABLE PLSS (TRS TEXT, LONGITUDE REAL, LATITUDE REAL)");
            database::Statement insert =
                db.prepare(acres ? "INSERT INTO kova_Acres VALUES (?, ?)" : "INSERT INTO PLSS VALUES (?, ?, ?)");
            for (const CentreRow& row : rows) {
                if (acres && !row.acres) continue;
                insert.reset();
                if (acres) insert.bind(1, row.key).bind(2, *row.acres).run();
                else insert.bind(1, row.key).bind(2, row.longitude).bind(3, row.latitude).run();
            }
        }
        return files;
    }

    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
        ("waypost-plss-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
};

}  // namespace waypost::plss::test

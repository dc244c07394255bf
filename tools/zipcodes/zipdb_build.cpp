// waypost-zipdb CSV OUTPUT: the zip-code database of the address window,
// built from the committed list of US zip codes. The database is written
// under a temporary name and renamed into place when complete.

#include "database/Database.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

/// The fields of one CSV line; a quoted field may hold commas and doubled quotes.
std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') out.back() += line[++i];
            else if (c == '"') quoted = false;
            else out.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            out.emplace_back();
        } else if (c != '\r') {
            out.back() += c;
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: waypost-zipdb CSV OUTPUT.sqlite\n";
        return 2;
    }
    const std::filesystem::path output = argv[2];
    const std::filesystem::path temporary = output.string() + ".building";
    try {
        std::ifstream csv(argv[1]);
        if (!csv) throw std::runtime_error(std::string(argv[1]) + ": cannot be read");
        std::filesystem::create_directories(output.parent_path());
        std::filesystem::remove(temporary);
        std::size_t rows = 0;
        {
            waypost::database::Database db(temporary.string(), waypost::database::Database::Mode::Create);
            db.execute("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
                       "CREATE TABLE \"zipcodeq\" (\"ZIP_CODE\" TEXT NOT NULL, \"CITY\" TEXT, \"STATE\" TEXT)");
            waypost::database::Transaction transaction(db);
            auto insert = db.prepare("INSERT INTO \"zipcodeq\" VALUES (?, ?, ?)");
            std::string line;
            std::getline(csv, line);  // the header
            while (std::getline(csv, line)) {
                const std::vector<std::string> f = fields(line);
                if (f.size() < 3 || f[0].empty()) continue;
                insert.reset();
                insert.bind(1, f[0]).bind(2, f[1]).bind(3, f[2]).run();
                ++rows;
            }
            db.execute("CREATE INDEX \"zipcodeq_ZIP_CODE\" ON \"zipcodeq\" (\"ZIP_CODE\")");
            transaction.commit();
        }
        if (rows == 0) throw std::runtime_error(std::string(argv[1]) + ": holds no zip code");
        std::filesystem::rename(temporary, output);
        std::cerr << "zip codes written: " << rows << " to " << output.string() << '\n';
    } catch (const std::exception& failure) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        std::cerr << "waypost-zipdb: " << failure.what() << '\n';
        return 1;
    }
    return 0;
}

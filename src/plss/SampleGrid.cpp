#include "plss/SampleGrid.h"

#include "database/Database.h"
#include "numbers/Numbers.h"
#include "plss/SectionKey.h"
#include "plss/SectionLookup.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <sstream>
#include <stdexcept>

namespace waypost::plss {

namespace {

constexpr int sectionsPerRow = 6;
constexpr int sectionsPerTownship = 36;
constexpr double townshipMiles = 6;

/// FNV-1a, 32 bits: a fixed, portable spread of the key.
std::uint32_t keyHash(std::string_view key) {
    std::uint32_t hash = 2166136261U;
    for (const char c : key) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619U;
    }
    return hash;
}

bool onNorthRowOrWestColumn(int section) {
    const auto [row, column] = sectionPlace(section);
    return row == 0 || column == 0;
}

}  // namespace

// ---------------------------------------------------------------- outline

Outline Outline::read(const std::filesystem::path& path) {
    std::ifstream file(path);
    if (!file) throw std::runtime_error(path.string() + ": cannot be read");
    std::vector<Ring> rings;
    std::string line;
    int lineNumber = 0;
    while (std::getline(file, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line.starts_with("ring ") || line.starts_with("hole ")) {
            rings.emplace_back();
            continue;
        }
        std::istringstream vertex(line);
        double longitude = 0, latitude = 0;
        if (rings.empty() || !(vertex >> longitude >> latitude))
            throw std::runtime_error(path.string() + ": line " + std::to_string(lineNumber) +
                                     " is not a vertex of a ring");
        rings.back().emplace_back(longitude, latitude);
    }
    if (rings.empty()) throw std::runtime_error(path.string() + ": holds no ring");
    return Outline(std::move(rings));
}

bool Outline::contains(double longitude, double latitude) const {
    bool inside = false;
    for (const Ring& ring : m_rings) {
        for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            const auto [xi, yi] = ring[i];
            const auto [xj, yj] = ring[j];
            if ((yi > latitude) != (yj > latitude) &&
                longitude < (xj - xi) * (latitude - yi) / (yj - yi) + xi)
                inside = !inside;
        }
    }
    return inside;
}

// ---------------------------------------------------------------- the grid

std::pair<int, int> sectionPlace(int section) {
    const int row = (section - 1) / sectionsPerRow;
    const int along = (section - 1) % sectionsPerRow;
    // Even rows run east to west, odd rows west to east.
    const int column = row % 2 == 0 ? sectionsPerRow - 1 - along : along;
    return {row, column};
}

SectionRecord sampleSection(int township, char townshipDirection, int range, char rangeDirection, int section) {
    using namespace sampleGrid;
    const double northEdgeMiles = townshipDirection == 'N' ? township * townshipMiles : -(township - 1) * townshipMiles;
    const double westEdgeMiles = rangeDirection == 'E' ? (range - 1) * townshipMiles : -range * townshipMiles;
    const auto [row, column] = sectionPlace(section);
    const double x = westEdgeMiles + column + 0.5;
    const double y = northEdgeMiles - row - 0.5;

    SectionRecord record;
    record.key = sectionKey(township, townshipDirection, range, rangeDirection, section);
    const double latitude = initialLatitude + y * degreesLatitudePerMile;
    const double longitude =
        initialLongitude + x / (milesPerDegreeOfLongitude * std::cos(latitude * std::numbers::pi / 180));
    record.latitude = numbers::roundFixed(latitude, centreDecimals);
    record.longitude = numbers::roundFixed(longitude, centreDecimals);
    record.acres = regularAcres;
    if (onNorthRowOrWestColumn(section))
        record.acres = smallestIrregularAcres +
                       static_cast<int>(keyHash(record.key) % (largestIrregularAcres - smallestIrregularAcres + 1));
    return record;
}

std::vector<SectionRecord> sampleSections(const Outline& outline) {
    using namespace sampleGrid;
    std::vector<SectionRecord> sections;
    const auto addTownship = [&](int township, char townshipDirection, int range, char rangeDirection) {
        for (int section = 1; section <= sectionsPerTownship; ++section) {
            SectionRecord record = sampleSection(township, townshipDirection, range, rangeDirection, section);
            if (outline.contains(record.longitude, record.latitude)) sections.push_back(std::move(record));
        }
    };
    for (const char townshipDirection : {'N', 'S'}) {
        const int townships = townshipDirection == 'N' ? northTownships : southTownships;
        for (int township = 1; township <= townships; ++township) {
            for (int range = 1; range <= eastRanges; ++range) addTownship(township, townshipDirection, range, 'E');
            for (int range = 1; range <= westRanges; ++range) addTownship(township, townshipDirection, range, 'W');
        }
    }
    return sections;
}

// ---------------------------------------------------------------- the databases

void writeSectionDatabases(const std::vector<SectionRecord>& sections, const std::filesystem::path& folder) {
    using database::Database;
    using database::quoteIdentifier;
    std::filesystem::create_directories(folder);
    struct Target {
        std::string_view name;
        bool acres;
        std::string_view indexes;
    };
    const Target targets[] = {
        {centresFileName, false, "CREATE INDEX \"PLSS_TRS\" ON \"PLSS\" (\"TRS\")"},
        {searchFileName, false, "CREATE INDEX \"PLSS_LATITUDE\" ON \"PLSS\" (\"LATITUDE\", \"LONGITUDE\")"},
        {acresFileName, true, "CREATE INDEX \"kova_Acres_TRS\" ON \"kova_Acres\" (\"TRS\")"},
    };
    std::vector<std::filesystem::path> built;
    try {
        for (const Target& target : targets) {
            const std::filesystem::path temporary = folder / ("." + std::string(target.name) + ".building");
            std::filesystem::remove(temporary);
            built.push_back(temporary);
            Database db(temporary.string(), Database::Mode::Create);
            db.execute("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF");
            const std::string table = quoteIdentifier(target.acres ? acresTable : sectionTable);
            db.execute(target.acres ? "CREATE TABLE " + table + " (\"TRS\" TEXT NOT NULL, \"ACRES\" REAL)"
                                    : "CREATE TABLE " + table +
                                          " (\"TRS\" TEXT NOT NULL, \"LONGITUDE\" REAL, \"LATITUDE\" REAL)");
            database::Transaction transaction(db);
            database::Statement insert =
                db.prepare(target.acres ? "INSERT INTO " + table + " (\"TRS\", \"ACRES\") VALUES (?, ?)"
                                        : "INSERT INTO " + table +
                                              " (\"TRS\", \"LONGITUDE\", \"LATITUDE\") VALUES (?, ?, ?)");
            for (const SectionRecord& section : sections) {
                insert.reset();
                insert.bind(1, section.key);
                if (target.acres) {
                    insert.bind(2, section.acres);
                } else {
                    insert.bind(2, section.longitude);
                    insert.bind(3, section.latitude);
                }
                insert.run();
            }
            db.execute(target.indexes);
            transaction.commit();
        }
        for (std::size_t i = 0; i < built.size(); ++i)
            std::filesystem::rename(built[i], folder / targets[i].name);
    } catch (...) {
        std::error_code ignored;
        for (const auto& temporary : built) std::filesystem::remove(temporary, ignored);
        throw;
    }
}

}  // namespace waypost::plss

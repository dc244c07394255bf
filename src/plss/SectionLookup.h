#pragma once
// The two PLSS look-ups over the section databases: where a township, range
// and section lies, and which section a latitude/longitude lies in.

#include "database/Database.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace waypost::plss {

/// File names of the three section databases in the program's databases folder.
inline constexpr std::string_view centresFileName = "PLSS_KOVA_DEC_2010.sqlite";  ///< key look-up
inline constexpr std::string_view searchFileName = "PLSS_2010_LL.sqlite";        ///< nearest-section search
inline constexpr std::string_view acresFileName = "kova_acres.sqlite";           ///< section areas
/// Tables: PLSS (TRS, LONGITUDE, LATITUDE) in the first two, kova_Acres (TRS, ACRES) in the third.
inline constexpr std::string_view sectionTable = "PLSS";
inline constexpr std::string_view acresTable = "kova_Acres";

/// The three databases, each opened read-only for one look-up and closed again.
struct SectionDatabases {
    std::filesystem::path centres;
    std::filesystem::path search;
    std::filesystem::path acres;

    /// The three files in \p folder.
    static SectionDatabases in(const std::filesystem::path& folder);
};

/// Where a section, or a part of it, lies.
struct SectionPosition {
    bool found = false;           ///< false: the key is not in the database
    double latitude = 0;          ///< the part's centre, rounded to 4 decimals
    double longitude = 0;
    std::string latitudeText;     ///< "00.000000": "30.419700"
    std::string longitudeText;    ///< "000.000000": "-084.259100"
};

/// Looks \p key ("T01S R05E S12") up in the section-centre database and moves
/// the centre by the offsets of the chosen part of the section (0 and 0 for
/// the whole section): the longitude offset in metres is turned into degrees
/// with 69.172 miles to a degree of longitude at the equator.
/// \throws database::DatabaseError when the database cannot be read.
[[nodiscard]] SectionPosition positionOfSection(const SectionDatabases& databases, std::string_view key,
                                                int longitudeOffsetMetres, double latitudeOffsetDegrees);

/// The position of the part of a section whose centre is (\p longitudeC,
/// \p latitudeC), moved by the part's offsets as positionOfSection moves it.
[[nodiscard]] SectionPosition positionFromCentre(double longitudeC, double latitudeC, int longitudeOffsetMetres,
                                                 double latitudeOffsetDegrees);

/// One widening step of the nearest-section search: the corners of the
/// square and their distances in statute miles from the point.
struct SearchStep {
    int number = 0;  ///< 1 for the first widening query
    double northEastLatitude = 0, northEastLongitude = 0, northEastMiles = 0;
    double southWestLatitude = 0, southWestLongitude = 0, southWestMiles = 0;
};

/// The section the search settled on, with its description.
struct FoundSection {
    std::string key;                ///< "T01S R05E S12"
    double longitude = 0;           ///< section centre
    double latitude = 0;
    double acres = 0;               ///< 0 when the acreage is not known
    std::string quarter;            ///< "NE 1/4" ...
    std::string quarterQuarter;     ///< likewise, within the quarter
    std::string description;        ///< "T01S R05E S12 SW 1/4 of the NE 1/4" or "... Irregular Section"
};

/// The section \p key with centre (\p longitudeC, \p latitudeC) and \p acres
/// described for the point (\p latitude, \p longitude): its quarter and
/// quarter-quarter by compass bearings from the centre, or irregular when its
/// acreage is not that of a regular section.
[[nodiscard]] FoundSection describeSection(std::string key, double longitudeC, double latitudeC, double acres,
                                           double latitude, double longitude);

/// The outcome of one nearest-section search.
struct SectionSearch {
    /// The iteration that found the section (1 for the exact attempt, 2 for
    /// the first widening query ...), or 20 when nothing was found.
    int iteration = 0;
    std::vector<SearchStep> steps;  ///< the widening queries, in order
    std::optional<FoundSection> section;
    /// The widening step was reached (the exact attempt found nothing): the
    /// search log gets a block.
    bool widened() const { return iteration != 1; }
};

/// Called after every widening query with the iteration counter (2, 3, ... 20).
using SearchProgress = std::function<void(int iteration)>;

/// Which section is (\p latitude, \p longitude) in? First the exact attempt
/// (a section centre at the very point), then a square window growing by
/// 0.001 degree per query up to 0.019 degree. Of the sections in the first
/// window that holds any, the one whose centre is nearest the point answers.
/// Its quarter and quarter-quarter follow from compass bearings; a section of
/// 580 to 700 acres is described by them, any other (or one whose acreage is
/// missing) as irregular.
/// \throws database::DatabaseError when the search database cannot be read.
[[nodiscard]] SectionSearch findSection(const SectionDatabases& databases, double latitude, double longitude,
                                        const SearchProgress& progress = {});

/// findSection over databases that stay open for many searches (the
/// command line's stream); the acreage database is optional as above.
class SectionFinder {
public:
    /// Where the search windows are looked up: the database's own queries, or
    /// (for a stream of many searches) every section centre read once into a
    /// grid in memory, which gives the same answers many times faster.
    enum class Index { Database, Memory };

    /// \throws database::DatabaseError when the search database cannot be read.
    explicit SectionFinder(const SectionDatabases& databases, Index index = Index::Database);
    ~SectionFinder();
    [[nodiscard]] SectionSearch find(double latitude, double longitude, const SearchProgress& progress = {});

private:
    struct Centre {
        std::string key;
        double longitude, latitude;
    };
    class Grid;

    FoundSection describe(std::string key, double longitudeC, double latitudeC, double latitude, double longitude);
    /// The centre at exactly the point, as the database's exact query finds it.
    std::optional<Centre> exactly(double latitude, double longitude);
    /// Every centre within the window (bounds included), in the order the
    /// database's window query returns them.
    void window(double west, double east, double south, double north, const std::function<void(const Centre&)>& each);

    database::Database m_sections;
    std::optional<database::Database> m_acres;
    database::Statement m_exact;
    database::Statement m_window;
    std::optional<database::Statement> m_acreage;
    std::unique_ptr<Grid> m_grid;  ///< with Index::Memory
};

/// positionOfSection over a database that stays open for many look-ups.
class SectionLocator {
public:
    /// \throws database::DatabaseError when the section-centre database cannot be read.
    explicit SectionLocator(const SectionDatabases& databases);
    [[nodiscard]] SectionPosition locate(std::string_view key, int longitudeOffsetMetres, double latitudeOffsetDegrees);

private:
    database::Database m_centres;
    database::Statement m_query;
};

/// The search log's block for \p search (CR LF line ends): the heading and one
/// line per widening query, each followed by an empty line.
[[nodiscard]] std::string searchLogBlock(const SectionSearch& search);

/// Adds \p block to the log at \p path in one write: a missing or empty log
/// is created with the block alone; otherwise two empty lines come first. The
/// folder is created when missing. \return false when the log cannot be written.
bool appendToSearchLog(const std::filesystem::path& path, std::string_view block);

}  // namespace waypost::plss

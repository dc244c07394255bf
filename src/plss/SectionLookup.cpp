#include "plss/SectionLookup.h"

#include "engine/SearchGeometry.h"
#include "numbers/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <system_error>
#include <unordered_map>

namespace waypost::plss {

namespace {

namespace nb = waypost::numbers;
using database::Database;
using database::Statement;

constexpr double pi = 3.14159265358979;
constexpr double milesPerDegreeOfLongitude = 69.172;  // at the equator
constexpr double metresPerMile = 1609.35;
constexpr double secondsPerDegree = 3600;
constexpr int shiftDecimals = 4;

constexpr double searchStepDegrees = 0.001;
constexpr int iterationLimit = 20;  // at most 19 widening queries
constexpr double quarterLatitudeOffset = 0.003621;
constexpr double quarterLongitudeOffset = 0.003625;
constexpr double smallestRegularAcres = 580;
constexpr double largestRegularAcres = 700;

constexpr std::string_view crlf = "\r\n";

std::string sql(std::string_view before, std::string_view table, std::string_view after) {
    std::string text(before);
    text += database::quoteIdentifier(table);
    text += after;
    return text;
}

/// \p value as the search writes it into its query texts and log: the
/// general form (15 significant digits), read back.
double asWritten(double value) { return std::strtod(nb::generalForm(value).c_str(), nullptr); }

}  // namespace

SectionDatabases SectionDatabases::in(const std::filesystem::path& folder) {
    return {folder / centresFileName, folder / searchFileName, folder / acresFileName};
}

SectionLocator::SectionLocator(const SectionDatabases& databases)
    : m_centres(databases.centres.string(), Database::Mode::ReadOnly),
      m_query(m_centres.prepare(
          sql("SELECT \"LONGITUDE\", \"LATITUDE\" FROM ", sectionTable, " WHERE \"TRS\" = ? LIMIT 1"))) {}

SectionPosition SectionLocator::locate(std::string_view key, int longitudeOffsetMetres, double latitudeOffsetDegrees) {
    SectionPosition position;
    m_query.reset();
    m_query.bind(1, key);
    if (!m_query.step()) return position;
    const double longitude = m_query.columnDouble(0);
    const double latitude = m_query.columnDouble(1);
    m_query.reset();
    return positionFromCentre(longitude, latitude, longitudeOffsetMetres, latitudeOffsetDegrees);
}

SectionPosition positionFromCentre(double longitudeC, double latitudeC, int longitudeOffsetMetres,
                                   double latitudeOffsetDegrees) {
    SectionPosition position;
    // The centre as the result labels show it, read back.
    const double longitude0 = asWritten(longitudeC);
    const double latitude0 = asWritten(latitudeC);
    const double metresPerSecond =
        std::cos(latitude0 * pi / 180) * milesPerDegreeOfLongitude * metresPerMile / secondsPerDegree;
    const double longitudeShift = (longitudeOffsetMetres / metresPerSecond) / secondsPerDegree;
    position.found = true;
    position.latitude = nb::roundFixed(latitude0 + latitudeOffsetDegrees, shiftDecimals);
    position.longitude = nb::roundFixed(longitude0 + longitudeShift, shiftDecimals);
    position.latitudeText = nb::formatPattern(position.latitude, "00.000000");
    position.longitudeText = nb::formatPattern(position.longitude, "000.000000");
    return position;
}

SectionPosition positionOfSection(const SectionDatabases& databases, std::string_view key, int longitudeOffsetMetres,
                                  double latitudeOffsetDegrees) {
    return SectionLocator(databases).locate(key, longitudeOffsetMetres, latitudeOffsetDegrees);
}

/// Every section centre in cells of a fixed size, each cell's centres in the
/// order of the database's (latitude, longitude) index.
class SectionFinder::Grid {
public:
    explicit Grid(Database& sections) {
        Statement all = sections.prepare(sql("SELECT \"TRS\", \"LONGITUDE\", \"LATITUDE\" FROM ", sectionTable,
                                             " WHERE \"LONGITUDE\" IS NOT NULL AND \"LATITUDE\" IS NOT NULL"
                                             " ORDER BY \"LATITUDE\", \"LONGITUDE\", rowid"));
        while (all.step()) {
            const double longitude = all.columnDouble(1), latitude = all.columnDouble(2);
            if (!std::isfinite(longitude) || !std::isfinite(latitude)) continue;
            m_cells[cellOf(longitude, latitude)].push_back(m_centres.size());
            m_centres.push_back({all.columnText(0), longitude, latitude});
        }
    }

    /// Every centre within the bounds (included), in index order.
    void window(double west, double east, double south, double north, std::vector<std::size_t>& found) const {
        found.clear();
        if (!(west <= east && south <= north)) return;
        const auto [x0, y0] = cell(west, south);
        const auto [x1, y1] = cell(east, north);
        for (std::int64_t y = y0; y <= y1; ++y)
            for (std::int64_t x = x0; x <= x1; ++x)
                if (const auto it = m_cells.find(key(x, y)); it != m_cells.end())
                    for (const std::size_t i : it->second) {
                        const Centre& c = m_centres[i];
                        if (c.longitude >= west && c.longitude <= east && c.latitude >= south && c.latitude <= north)
                            found.push_back(i);
                    }
        // The positions were taken in index order, so their order is that order.
        std::sort(found.begin(), found.end());
    }

    const Centre& operator[](std::size_t i) const { return m_centres[i]; }

private:
    static constexpr double cellDegrees = 0.02;  // wider than the largest search window's half

    static std::pair<std::int64_t, std::int64_t> cell(double longitude, double latitude) {
        return {static_cast<std::int64_t>(std::floor(longitude / cellDegrees)),
                static_cast<std::int64_t>(std::floor(latitude / cellDegrees))};
    }
    static std::int64_t key(std::int64_t x, std::int64_t y) { return x * 100000 + y; }
    static std::int64_t cellOf(double longitude, double latitude) {
        const auto [x, y] = cell(longitude, latitude);
        return key(x, y);
    }

    std::vector<Centre> m_centres;  // in index order
    std::unordered_map<std::int64_t, std::vector<std::size_t>> m_cells;
};

SectionFinder::~SectionFinder() = default;

std::optional<SectionFinder::Centre> SectionFinder::exactly(double latitude, double longitude) {
    if (m_grid) {
        std::vector<std::size_t> found;
        m_grid->window(longitude, longitude, latitude, latitude, found);
        if (found.empty()) return std::nullopt;
        return (*m_grid)[found.front()];
    }
    m_exact.reset();
    m_exact.bind(1, longitude).bind(2, latitude);
    std::optional<Centre> centre;
    if (m_exact.step()) centre = Centre{m_exact.columnText(0), m_exact.columnDouble(1), m_exact.columnDouble(2)};
    m_exact.reset();
    return centre;
}

void SectionFinder::window(double west, double east, double south, double north,
                           const std::function<void(const Centre&)>& each) {
    if (m_grid) {
        static thread_local std::vector<std::size_t> found;
        m_grid->window(west, east, south, north, found);
        for (const std::size_t i : found) each((*m_grid)[i]);
        return;
    }
    m_window.reset();
    m_window.bind(1, west).bind(2, east).bind(3, south).bind(4, north);
    while (m_window.step()) each({m_window.columnText(0), m_window.columnDouble(1), m_window.columnDouble(2)});
    m_window.reset();
}

SectionFinder::SectionFinder(const SectionDatabases& databases, Index index)
    : m_sections(databases.search.string(), Database::Mode::ReadOnly),
      m_exact(m_sections.prepare(sql("SELECT \"TRS\", \"LONGITUDE\", \"LATITUDE\" FROM ", sectionTable,
                                     " WHERE \"LONGITUDE\" = ? AND \"LATITUDE\" = ? LIMIT 1"))),
      m_window(m_sections.prepare(sql("SELECT \"TRS\", \"LONGITUDE\", \"LATITUDE\" FROM ", sectionTable,
                                      " WHERE \"LONGITUDE\" BETWEEN ? AND ? AND \"LATITUDE\" BETWEEN ? AND ?"))) {
    try {
        m_acres.emplace(databases.acres.string(), Database::Mode::ReadOnly);
        m_acreage.emplace(m_acres->prepare(sql("SELECT \"ACRES\" FROM ", acresTable, " WHERE \"TRS\" = ? LIMIT 1")));
    } catch (const database::DatabaseError&) {
        // Without the acreage database every section reads as irregular.
        m_acreage.reset();
        m_acres.reset();
    }
    if (index == Index::Memory) m_grid = std::make_unique<Grid>(m_sections);
}

FoundSection SectionFinder::describe(std::string key, double longitudeC, double latitudeC, double latitude,
                                     double longitude) {
    double acres = 0;
    if (m_acreage) {
        m_acreage->reset();
        m_acreage->bind(1, key);
        if (m_acreage->step()) acres = m_acreage->columnOptionalDouble(0).value_or(0);
        m_acreage->reset();
    }
    return describeSection(std::move(key), longitudeC, latitudeC, acres, latitude, longitude);
}

FoundSection describeSection(std::string key, double longitudeC, double latitudeC, double acres, double latitude,
                             double longitude) {
    FoundSection found;
    found.key = std::move(key);
    found.longitude = longitudeC;
    found.latitude = latitudeC;
    found.acres = acres;
    found.quarter = engine::bearingFromTo(longitudeC, latitudeC, longitude, latitude).quarter;
    const bool north = found.quarter == "NE 1/4" || found.quarter == "NW 1/4";
    const bool east = found.quarter == "NE 1/4" || found.quarter == "SE 1/4";
    const double latitudeQ = latitudeC + (north ? quarterLatitudeOffset : -quarterLatitudeOffset);
    const double longitudeQ = longitudeC + (east ? quarterLongitudeOffset : -quarterLongitudeOffset);
    found.quarterQuarter = engine::bearingFromTo(longitudeQ, latitudeQ, longitude, latitude).quarter;
    if (found.acres >= smallestRegularAcres && found.acres <= largestRegularAcres)
        found.description = found.key + " " + found.quarterQuarter + " of the " + found.quarter;
    else
        found.description = found.key + " Irregular Section";
    return found;
}

SectionSearch findSection(const SectionDatabases& databases, double latitude, double longitude,
                          const SearchProgress& progress) {
    return SectionFinder(databases).find(latitude, longitude, progress);
}

SectionSearch SectionFinder::find(double latitude, double longitude, const SearchProgress& progress) {
    SectionSearch search;
    // The exact attempt: a section centre at the very point.
    if (std::optional<Centre> centre = exactly(latitude, longitude)) {
        search.iteration = 1;
        search.section = describe(std::move(centre->key), centre->longitude, centre->latitude, centre->latitude,
                                  centre->longitude);
        return search;
    }

    int k = 1;
    bool any = false;
    std::string bestKey;
    double bestLongitude = 0, bestLatitude = 0;
    while (k != iterationLimit && !any) {
        const double s = searchStepDegrees * k;
        SearchStep step;
        step.number = k;
        step.northEastLatitude = asWritten(latitude + s);
        step.northEastLongitude = asWritten(longitude + s);
        step.southWestLatitude = asWritten(latitude - s);
        step.southWestLongitude = asWritten(longitude - s);
        step.northEastMiles = engine::GreatCircleDistance(latitude, longitude, step.northEastLatitude,
                                                          step.northEastLongitude, 'M');
        step.southWestMiles = engine::GreatCircleDistance(latitude, longitude, step.southWestLatitude,
                                                          step.southWestLongitude, 'M');
        search.steps.push_back(step);

        double bestMiles = 0;
        window(step.southWestLongitude, step.northEastLongitude, step.southWestLatitude, step.northEastLatitude,
               [&](const Centre& centre) {
                   const double miles =
                       engine::GreatCircleDistance(latitude, longitude, centre.latitude, centre.longitude, 'M');
                   // The nearest centre answers; of equally near ones the first returned.
                   if (!any || miles < bestMiles) {
                       any = true;
                       bestMiles = miles;
                       bestKey = centre.key;
                       bestLongitude = centre.longitude;
                       bestLatitude = centre.latitude;
                   }
               });
        k = k + 1;
        if (progress) progress(k);
    }
    search.iteration = k;
    if (any) search.section = describe(std::move(bestKey), bestLongitude, bestLatitude, latitude, longitude);
    return search;
}

std::string searchLogBlock(const SectionSearch& search) {
    std::string block = "CONVERSION RESULTS:";
    block += crlf;
    block += "Number of Search Iterations:";
    block += crlf;
    block += crlf;
    for (const SearchStep& step : search.steps) {
        block += std::to_string(step.number);
        block += ':';
        block += nb::generalForm(step.northEastLatitude);
        block += ',';
        block += nb::generalForm(step.northEastLongitude);
        block += ", ";
        block += nb::generalForm(step.northEastMiles);
        block += " ,";
        block += nb::generalForm(step.southWestLatitude);
        block += ',';
        block += nb::generalForm(step.southWestLongitude);
        block += ", ";
        block += nb::generalForm(step.southWestMiles);
        block += crlf;
        block += crlf;
    }
    return block;
}

bool appendToSearchLog(const std::filesystem::path& path, std::string_view block) {
    std::error_code error;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), error);
    const auto size = std::filesystem::file_size(path, error);
    const bool hasContent = !error && size >= 1;
    std::string text;
    if (hasContent) {
        text += crlf;
        text += crlf;
    }
    text += block;
    // One write of whole lines: an earlier block is never touched.
    std::ofstream log(path, hasContent ? std::ios::binary | std::ios::app : std::ios::binary | std::ios::trunc);
    if (!log) return false;
    log.write(text.data(), static_cast<std::streamsize>(text.size()));
    log.flush();
    return static_cast<bool>(log);
}

}  // namespace waypost::plss

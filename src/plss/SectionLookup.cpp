#include "plss/SectionLookup.h"

#include "engine/SearchGeometry.h"
#include "numbers/Numbers.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <system_error>

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
    // The centre as the result labels show it, read back.
    const double longitude0 = asWritten(m_query.columnDouble(0));
    const double latitude0 = asWritten(m_query.columnDouble(1));
    m_query.reset();
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

SectionFinder::SectionFinder(const SectionDatabases& databases)
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
}

FoundSection SectionFinder::describe(std::string key, double longitudeC, double latitudeC, double latitude,
                                     double longitude) {
    FoundSection found;
    found.key = std::move(key);
    found.longitude = longitudeC;
    found.latitude = latitudeC;
    found.quarter = engine::bearingFromTo(longitudeC, latitudeC, longitude, latitude).quarter;
    if (m_acreage) {
        m_acreage->reset();
        m_acreage->bind(1, found.key);
        if (m_acreage->step()) found.acres = m_acreage->columnOptionalDouble(0).value_or(0);
        m_acreage->reset();
    }
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
    m_exact.reset();
    m_exact.bind(1, longitude).bind(2, latitude);
    if (m_exact.step()) {
        search.iteration = 1;
        const double longitudeC = m_exact.columnDouble(1);
        const double latitudeC = m_exact.columnDouble(2);
        std::string key = m_exact.columnText(0);
        m_exact.reset();
        search.section = describe(std::move(key), longitudeC, latitudeC, latitudeC, longitudeC);
        return search;
    }
    m_exact.reset();

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

        m_window.reset();
        m_window.bind(1, step.southWestLongitude).bind(2, step.northEastLongitude);
        m_window.bind(3, step.southWestLatitude).bind(4, step.northEastLatitude);
        double bestMiles = 0;
        while (m_window.step()) {
            const double longitudeC = m_window.columnDouble(1);
            const double latitudeC = m_window.columnDouble(2);
            const double miles = engine::GreatCircleDistance(latitude, longitude, latitudeC, longitudeC, 'M');
            // The nearest centre answers; of equally near ones the first returned.
            if (!any || miles < bestMiles) {
                any = true;
                bestMiles = miles;
                bestKey = m_window.columnText(0);
                bestLongitude = longitudeC;
                bestLatitude = latitudeC;
            }
        }
        k = k + 1;
        if (progress) progress(k);
    }
    m_window.reset();
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

// "Find STR" over the generated statewide sample grid, as the page runs it:
// the databases opened for each search, the search, and its block appended to
// a log. Then waypost-convert str over a file of points (throughput).
//
// Usage: plss_bench [SEARCHES] [CONVERT_LINES] [WORK_FOLDER]
//        (defaults 1000, 100000 and the system temporary folder)

#include "plss/SampleGrid.h"
#include "plss/SectionLookup.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

/// Random points inside the state's outline, six decimals like typed coordinates.
std::vector<std::pair<double, double>> pointsInState(std::size_t count, unsigned seed) {
    const waypost::plss::Outline outline = waypost::plss::Outline::read(WAYPOST_OUTLINE);
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> latitude(24.5, 31.0), longitude(-87.6, -80.0);
    std::vector<std::pair<double, double>> points;
    while (points.size() < count) {
        const double lat = std::round(latitude(rng) * 1e6) / 1e6, lon = std::round(longitude(rng) * 1e6) / 1e6;
        if (outline.contains(lon, lat)) points.emplace_back(lat, lon);
    }
    return points;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
    const long searches = argc > 1 ? std::atol(argv[1]) : 1000;
    const long lines = argc > 2 ? std::atol(argv[2]) : 100000;
    const std::filesystem::path folder = argc > 3 ? argv[3] : std::filesystem::temp_directory_path();
    if (searches <= 0 || lines <= 0) {
        std::cerr << "usage: plss_bench [SEARCHES] [CONVERT_LINES] [WORK_FOLDER]\n";
        return 2;
    }
    const auto databases = waypost::plss::SectionDatabases::in(WAYPOST_DATABASES);
    const std::filesystem::path log = folder / "plss_bench_search_results.txt";
    std::filesystem::remove(log);

    std::vector<double> milliseconds;
    std::size_t found = 0, widened = 0;
    for (const auto& [lat, lon] : pointsInState(static_cast<std::size_t>(searches), 2010)) {
        const auto start = Clock::now();
        const auto search = waypost::plss::findSection(databases, lat, lon);
        if (search.widened()) waypost::plss::appendToSearchLog(log, waypost::plss::searchLogBlock(search));
        milliseconds.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        found += search.section ? 1 : 0;
        widened += search.widened() ? 1 : 0;
    }
    std::printf("Find STR, %ld points in the state: median %.3f ms, 95th percentile %.3f ms, max %.3f ms "
                "(%zu found, %zu logged, log %ju bytes)\n",
                searches, percentile(milliseconds, 0.5), percentile(milliseconds, 0.95),
                *std::max_element(milliseconds.begin(), milliseconds.end()), found, widened,
                static_cast<std::uintmax_t>(std::filesystem::file_size(log)));

    const std::filesystem::path input = folder / "plss_bench_points.txt";
    const std::filesystem::path output = folder / "plss_bench_sections.txt";
    {
        std::ofstream out(input);
        out.precision(6);
        out << std::fixed;
        for (const auto& [lat, lon] : pointsInState(static_cast<std::size_t>(lines), 1866)) out << lat << ' ' << lon << '\n';
    }
    const std::string command = std::string(WAYPOST_CONVERT_PATH) + " str --databases '" + WAYPOST_DATABASES + "' < '" +
                                input.string() + "' > '" + output.string() + "'";
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("waypost-convert str, %ld lines: %.2f s, %.0f lines/s (exit status %d)\n", lines, seconds,
                static_cast<double>(lines) / seconds, status);
    return status == 0 ? 0 : 1;
}
